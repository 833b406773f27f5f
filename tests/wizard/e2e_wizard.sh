#!/usr/bin/env bash
# A new user's first start, in a real X session: the wizard opens by itself in front of the
# main window and with the focus, is driven with xdotool (details, footer choice, Next to
# the end), "Finished Wizard" is answered, and the files are checked: the settings file
# holds the profile in slot 1 with its three paths and names it as the last profile,
# "firstheader.txt" holds exactly the typed lines, and the signature file holds those lines
# above one entry of "words.txt".
#   e2e_wizard.sh PROGRAM
set -u
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../support/xvfb_session.sh
source "$here/../support/xvfb_session.sh"

root=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    xvfb_session_stop
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/runtime" "$root/config" "$root/data" "$root/bin"
chmod 700 "$root/runtime"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
# The first start opens the quick-start page in the browser; here it is only noted.
printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$root" >"$root/bin/xdg-open"
chmod +x "$root/bin/xdg-open"
export PATH=$root/bin:$PATH

ini=$root/config/Quillmark/Quillmark.INI
sigs=$root/data/Quillmark/Sigs
name="Ann Example"
email="ann@example.org"

fail() {
    echo "FAIL: $*"
    echo "--- program output:"; cat "$root/stdout" 2>/dev/null
    echo "--- settings file:"; cat "$ini" 2>/dev/null
    exit 1
}

window_named() {
    local w
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$w" ] && echo "$w"
}
# Waits up to $2 tenths of a second for a visible window titled $1 and prints its id.
wait_window() {
    xvfb_session_wait "$2" window_named "$1" || return 1
    window_named "$1"
}
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# Sends keys to window $1 once it is the active window, so none land in the main window.
keys_to() {
    local w=$1
    shift
    xdotool windowactivate "$w" >/dev/null 2>&1
    xvfb_session_wait 30 is_active "$w" || fail "window $w did not become active"
    xdotool "$@"
    sleep 0.3
}

xvfb_session_start || fail "no X session"
"$program" >"$root/stdout" 2>&1 &
pid=$!

wizard=$(wait_window "Quillmark Signature Wizard" 150) || fail "the wizard did not open on a fresh account"
# Start-up goes on after showing the wizard (it is not modal): let it settle first.
sleep 1
# The wizard is in front of the main window and has the focus, before anyone touches it.
main=$(wait_window "Quillmark( Last Update .*)?" 30) || fail "the main window is not shown on a first start"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | tr '\n' ' ')
main_at=$(echo "$stacking" | grep -obw "$(printf '0x%x' "$main")" | cut -d: -f1)
wizard_at=$(echo "$stacking" | grep -obw "$(printf '0x%x' "$wizard")" | cut -d: -f1)
[ -n "$main_at" ] && [ -n "$wizard_at" ] && [ "$wizard_at" -gt "$main_at" ] ||
    fail "the wizard is not stacked above the main window: $stacking"
is_active "$wizard" || fail "the wizard does not have the focus; $(xdotool getactivewindow) has"
# Page 1 keeps the suggested name "Friends".
keys_to "$wizard" key --clearmodifiers alt+n
keys_to "$wizard" type --delay 20 "$name"
keys_to "$wizard" key --clearmodifiers Tab
keys_to "$wizard" type --delay 20 "$email"
keys_to "$wizard" key --clearmodifiers alt+n
# Page 3 keeps "Creative Words".
keys_to "$wizard" key --clearmodifiers alt+n

finished=$(wait_window "Finished Wizard" 50) || fail "no \"Finished Wizard\" message"
keys_to "$finished" key --clearmodifiers Return
xvfb_session_wait 30 sh -c "! xdotool search --onlyvisible --name '^Quillmark Signature Wizard\$' >/dev/null" ||
    fail "the wizard stayed open after it finished"

kill -0 "$pid" 2>/dev/null || fail "quillmark ended"
kill -TERM "$pid"
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || fail "exit status $status after SIGTERM"

setting() { grep -i "^$1=" "$ini" | head -1 | cut -d= -f2-; }
[ "$(setting 'PROFILE 1')" = "Friends" ] || fail "slot 1 does not hold Friends"
[ "$(setting 'HEADER FILE 1')" = "$sigs/firstheader.txt" ] || fail "wrong header path in slot 1"
[ "$(setting 'FOOTER FILE 1')" = "$sigs/words.txt" ] || fail "wrong footer path in slot 1"
[ "$(setting 'SIG FILE 1')" = "$sigs/sig.txt" ] || fail "wrong output path in slot 1"
[ "$(setting 'LAST PROFILE')" = "Friends" ] || fail "LAST PROFILE does not name Friends"

expected_header=$(printf '%s\n%s\n' "$name" "$email" | od -c)
[ "$(od -c <"$sigs/firstheader.txt")" = "$expected_header" ] ||
    fail "firstheader.txt holds $(od -c <"$sigs/firstheader.txt")"

# The signature: optional dashes, the two typed lines, then one whole entry of words.txt.
sig=$(cat "$sigs/sig.txt")
sig=${sig#-- $'\n'}
prefix="$name"$'\n'"$email"$'\n'
[ "${sig#"$prefix"}" != "$sig" ] || fail "the signature does not begin with the typed lines: $sig"
footer=${sig#"$prefix"}
found=no
entry=""
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    '#'*) continue ;;
    '%'*)
        [ "$entry" = "$footer" ] && found=yes
        entry=""
        continue
        ;;
    esac
    if [ -z "$entry" ]; then entry=$line; else entry=$entry$'\n'$line; fi
done <"$sigs/words.txt"
[ "$entry" = "$footer" ] && found=yes
[ $found = yes ] || fail "the signature's footer is no entry of words.txt: $footer"
echo "OK: the wizard made profile Friends and its first signature"

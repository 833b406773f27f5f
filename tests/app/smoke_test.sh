#!/usr/bin/env bash
# The real quillmark offscreen: no display, a rewrite every second, stop requests (also while
# a start-up message box is open) ending it within a second with status 0 and the settings saved.
set -u
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb_session.sh"
ini=$root/config/Quillmark/Quillmark.INI
out=$root/sig.txt
mkdir "$root/folder"
printf 'Head A\n%%\nHead B\n' >"$root/header.txt"
printf 'Foot 1\n%%\nFoot 2\n%%\nFoot 3\n' >"$root/footer.txt"

said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help 2>&1)
status=$?
[ $status -eq 1 ] && [ "$(wc -l <<<"$said")" -eq 1 ] && grep -q 'desktop session.*quillmark-cli' <<<"$said" ||
    fail "with no display it ends with status $status and says: $said"
export QT_QPA_PLATFORM=offscreen

# Starts the program on the header $1 and waits until start-up has written its defaults.
start() {
    printf '%s\n' '[SETTINGS]' INTERVAL_1=1 'ADD DASHES TO SIG HEADER=False' '[Profiles]' 'PROFILE 1=Smoke' \
        "HEADER FILE 1=$1" "FOOTER FILE 1=$root/footer.txt" "SIG FILE 1=$out" >"$ini"
    "$program" >"$root/quillmark.out" 2>&1 &
    pid=$!
    pids+=($pid)
    xvfb_session_wait 50 grep -q '^RUN AT BOOTUP=' "$ini"
    sleep 0.3
    kill -0 $pid 2>/dev/null || fail "quillmark ended at start-up"
}
# Sends the signals $1... and checks the end: within a second, status 0, settings saved.
stop() {
    for signal in "$@"; do kill -"$signal" $pid 2>/dev/null; done
    xvfb_session_wait 10 eval '! kill -0 $pid' || fail "$*: still running after a second"
    wait $pid || fail "$*: exit status $?"
    # Start-up stores the default "True"; only the save writes the box's state as "1".
    grep -q '^DISPLAY PROPORTIONAL FONTS=1' "$ini" || fail "$*: settings were not saved"
}

start "$root/header.txt"
for _ in 1 2 3 4; do
    before=$(stat -c "%i %y" "$out" 2>/dev/null)
    xvfb_session_wait 15 eval '[ "$(stat -c "%i %y" "$out")" != "$before" ]' || fail "no rewrite in 1.5 seconds"
    [[ "$(cat "$out")" == "Head "[AB]$'\n'"Foot "[123] ]] || fail "unexpected signature: $(cat "$out")"
done
stop TERM
ls -A "$root" | grep -q '^\.sig' && fail "a temporary file was left behind"

# A folder as header: start-up waits at a message box.
for signals in INT "TERM INT"; do
    start "$root/folder"
    stop $signals
done
echo OK

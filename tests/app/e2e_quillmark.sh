#!/usr/bin/env bash
# The real quillmark in a real (virtual) X session with a tray: Xvfb, openbox, trayer.
#   e2e_quillmark.sh QUILLMARK
# Checks: without a tray the window stays in the task list; the icon is in the tray within
# a second of the start; with a profile the main window starts hidden; a left click on the
# icon shows it, and so do the icon and "MAIN SCREEN" after each of 20 Hides; the
# right-click menu's "Next Sig" rewrites the signature file; a second copy says it is
# already running, brings the first one's window back, ends with status 0 and
# touches no file; the tray's "Exit" asks, and on Yes saves the settings and ends the
# program with status 0, taking the icon away.
set -u
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../support/xvfb_session.sh
source "$here/../support/xvfb_session.sh"

root=$(mktemp -d)
pid=""
second=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    [ -n "$second" ] && kill -9 "$second" 2>/dev/null
    xvfb_session_stop
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/runtime" "$root/config/Quillmark" "$root/data" "$root/sigs" "$root/logs"
chmod 700 "$root/runtime"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
# No session bus here: Qt uses the XEmbed tray, which is what trayer offers.
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
ini=$root/config/Quillmark/Quillmark.INI
sig=$root/sigs/sig.txt
printf 'Head A\n%%\nHead B\n' >"$root/sigs/header.txt"
printf 'Foot 1\n%%\nFoot 2\n' >"$root/sigs/footer.txt"
# An hour between updates: every rewrite seen here comes from a command.
write_settings() {
    cat >"$ini" <<INI
[SETTINGS]
INTERVAL_1=3600
SHOW SPLASH SCREEN=False
QUILLMARK RUN BEFORE=True
[Profiles]
PROFILE 1=Home
HEADER FILE 1=$root/sigs/header.txt
FOOTER FILE 1=$root/sigs/footer.txt
SIG FILE 1=$sig
INI
}
write_settings

fail() {
    echo "FAIL: $*"
    echo "--- our windows and their state:"
    local w
    for w in $(xdotool search --classname '^quillmark$' 2>/dev/null); do
        echo "$w '$(xdotool getwindowname "$w" 2>/dev/null)' $(xprop -id "$w" WM_STATE 2>/dev/null | grep state)"
    done
    echo "--- program output:"
    cat "$root/logs/stdout" 2>/dev/null
    exit 1
}

now_ms() { date +%s%3N; }
stamp() { stat -c '%i %s %y' "$1" 2>/dev/null; }

# The icon: a visible window of ours embedded in the tray, icon-sized.
icon_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^quillmark$' 2>/dev/null); do
        xwininfo -id "$w" -tree 2>/dev/null | grep -q 'Parent window id: .*(has no name)' || continue
        xwininfo -id "$w" | grep -q 'Width: [0-9]\{1,2\}$' && { echo "$w"; return 0; }
    done
    return 1
}
# The main window's caption is "Quillmark" or "Quillmark Last Update hh:mm:ss".
main_shown() { xdotool search --onlyvisible --name '^Quillmark( Last Update .*)?$' >/dev/null 2>&1; }
# The menu opens on a right click; from no selection "Up" reaches the last item first.
# Keys go to the menu only once it is open, which takes longer on a busy machine: wait for
# one more visible window of ours, and after the keys for it to close.
our_windows() { xdotool search --onlyvisible --classname '^quillmark$' 2>/dev/null | sort; }
menu_window() { comm -13 <(echo "$1") <(our_windows) | head -1; }
tray_menu() {
    local before menu=""
    before=$(our_windows)
    xdotool mousemove --window "$icon" 8 8 click 3
    for _ in $(seq 1 50); do
        menu=$(menu_window "$before")
        [ -n "$menu" ] && break
        sleep 0.1
    done
    [ -n "$menu" ] || fail "the tray menu did not open"
    sleep 0.2
    xdotool key "$@"
    xvfb_session_wait 50 bash -c "! xdotool search --onlyvisible --classname '^quillmark\$' | grep -qx $menu"
}

# The main window as the window manager lists it (shown or minimised, not hidden).
main_listed() {
    local w
    for w in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        xdotool getwindowname "$w" 2>/dev/null | grep -Eq '^Quillmark( Last Update .*)?$' && return 0
    done
    return 1
}

xvfb_session_start || fail "no X session"

# 0. Without a tray the window must stay reachable: minimised in the task list, not hidden.
"$program" >"$root/logs/stdout" 2>&1 &
pid=$!
xvfb_session_wait 50 test -s "$sig" || fail "no first signature without a tray"
xvfb_session_wait 30 main_listed || fail "without a tray the main window is not in the task list"
kill "$pid"
wait "$pid"
pid=""
rm -f "$sig"
write_settings
echo "without a tray the main window stays in the task list"

xvfb_session_start_tray || fail "no tray"

# 1. The icon is in the tray within a second; the window stays hidden in it.
deadline_ms=${QUILLMARK_TRAY_ICON_MS:-1000}
start=$(now_ms)
"$program" >"$root/logs/stdout" 2>&1 &
pid=$!
until icon_window >/dev/null; do
    [ $(($(now_ms) - start)) -le "$deadline_ms" ] || fail "no icon within $deadline_ms ms of the start"
    kill -0 "$pid" 2>/dev/null || fail "quillmark ended at start-up"
    sleep 0.02
done
echo "icon in the tray $(($(now_ms) - start)) ms after the start"
icon=$(icon_window)
xvfb_session_wait 50 test -s "$sig" || fail "no first signature"
sleep 0.5
main_shown && fail "the main window is shown at start although a profile exists and a tray runs"
echo "main window hidden in the tray at start"

# 2. A left click brings the main window back.
xdotool mousemove --window "$icon" 8 8 click 1
xvfb_session_wait 30 main_shown || fail "a left click on the icon did not show the main window"
echo "left click shows the main window"

# 2a. Hide, then back from the tray, 20 times: a click on the icon, every fourth time the
# menu's "MAIN SCREEN". The window must come back and stay (not show and hide again).
main_id() { xdotool search --onlyvisible --name '^Quillmark( Last Update .*)?$' 2>/dev/null | head -1; }
main_hidden() { ! main_shown; }
# The Hide button sits at the right end of the bottom row, above the status line: clicks go
# up that column from the bottom edge (free window space) until one hides the window; the
# height that worked is tried first the next time.
hide_from_bottom=""
click_hide() {
    local WINDOW X Y WIDTH HEIGHT SCREEN dy main
    main=$(main_id)
    [ -n "$main" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$main")"
    for dy in $hide_from_bottom 12 20 28 36 44; do
        xdotool mousemove --window "$WINDOW" $((WIDTH - 50)) $((HEIGHT - dy)) click 1
        xvfb_session_wait 5 main_hidden && { hide_from_bottom=$dy; return 0; }
    done
    xvfb_session_wait 30 main_hidden
}
for try in $(seq 1 20); do
    click_hide || fail "try $try: Hide did not hide the window"
    if [ $((try % 4)) -eq 0 ]; then tray_menu Up Up Up Return; else xdotool mousemove --window "$icon" 8 8 click 1; fi
    xvfb_session_wait 30 main_shown || fail "try $try: the window did not come back from the tray"
    sleep 0.4
    main_shown || fail "try $try: the window came back from the tray and hid again"
done
echo "Hide and back from the tray 20 times"

# 3. "Next Sig" in the tray menu writes a new signature file.
before=$(stamp "$sig")
tray_menu Up Up Return
xvfb_session_wait 30 bash -c "[ \"\$(stat -c '%i %s %y' '$sig')\" != '$before' ]" ||
    fail "Next Sig did not rewrite the signature file"
case "$(cat "$sig")" in
"-- "$'\n'"Head "[AB]$'\n'"Foot "[12] | "Head "[AB]$'\n'"Foot "[12]) ;;
*) fail "unexpected signature: $(printf '%q' "$(cat "$sig")")" ;;
esac
echo "tray menu's Next Sig rewrites the signature file"

# 4. A second copy: its message, the first copy's window back in front, no file touched.
main=$(xdotool search --onlyvisible --name '^Quillmark( Last Update .*)?$' | head -1)
xdotool windowminimize "$main"
xvfb_session_wait 30 bash -c '! xdotool search --onlyvisible --name "^Quillmark( Last Update .*)?\$"' ||
    fail "minimising did not hide the window in the tray"
files_before=$(find "$root" \( -path "$root/runtime" -o -path "$root/logs" \) -prune -o -type f -printf '%p %s %T@\n' | sort)
ini_sum=$(sha256sum "$ini")
"$program" >"$root/logs/second" 2>&1 &
second=$!
box=""
for _ in $(seq 1 50); do
    box=$(xdotool search --onlyvisible --pid "$second" 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "the second copy showed no message"
xwininfo -id "$box" | grep -q '"Quillmark"' || fail "the second copy's message has the wrong title"
xvfb_session_wait 30 main_shown || fail "the second copy did not bring the first one's window back"
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool windowfocus "$box" key Return
xvfb_session_wait 50 bash -c "! kill -0 $second 2>/dev/null" || fail "the second copy did not end"
wait "$second"
status=$?
second=""
[ $status -eq 0 ] || fail "the second copy ended with status $status"
[ "$(sha256sum "$ini")" = "$ini_sum" ] || fail "the second copy changed the settings file"
files_after=$(find "$root" \( -path "$root/runtime" -o -path "$root/logs" \) -prune -o -type f -printf '%p %s %T@\n' | sort)
[ "$files_after" = "$files_before" ] ||
    fail "the second copy touched files: $(diff <(echo "$files_before") <(echo "$files_after"))"
kill -0 "$pid" 2>/dev/null || fail "the first copy ended too"
echo "second copy: message answered, status 0, no file touched, first copy in front"

grep VmRSS "/proc/$pid/status" | sed 's/^/resident memory: /'

# 5. The tray's Exit asks; Yes saves and ends the program with status 0.
tray_menu Up Return
question=""
for _ in $(seq 1 30); do
    question=$(xdotool search --onlyvisible --name '^Exit Quillmark$' 2>/dev/null | head -1)
    [ -n "$question" ] && break
    sleep 0.1
done
[ -n "$question" ] || fail "Exit did not ask"
xdotool windowactivate --sync "$question" key Return 2>/dev/null || xdotool windowfocus "$question" key Return
xvfb_session_wait 50 bash -c "! kill -0 $pid 2>/dev/null" || fail "the program did not end after Yes"
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || fail "exit status $status after Exit"
# Start-up stores the default "True"; only the save writes the box's state as "1".
grep -q '^DISPLAY PROPORTIONAL FONTS=1' "$ini" || fail "the settings were not saved: $(cat "$ini")"
icon_window >/dev/null && fail "the icon stayed after the program ended"
echo "Exit asks; Yes saves and ends with status 0"

# 6. The tray host ends while the window is hidden in it: the window comes back to the task list.
"$program" >"$root/logs/stdout" 2>&1 &
pid=$!
xvfb_session_wait 50 icon_window || fail "no icon at the second start"
sleep 0.5
main_listed && fail "the main window is listed although it is hidden in the tray"
xvfb_session_stop_tray
xvfb_session_wait 30 main_listed || fail "the tray host ended and the hidden main window stayed out of reach"
kill "$pid"
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || fail "exit status $status after SIGTERM"
echo "a tray host that ends gives the window back to the task list"
echo "PASS"

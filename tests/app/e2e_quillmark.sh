#!/usr/bin/env bash
# The real quillmark in a virtual X session with a tray, from start to Exit:
#   e2e_quillmark.sh QUILLMARK
set -u
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb_session.sh"
ini=$root/config/Quillmark/Quillmark.INI
sig=$root/sig.txt
echo 'Head A' >"$root/header.txt"
printf '%s\n' '[SETTINGS]' INTERVAL_1=3600 'SHOW SPLASH SCREEN=False' 'QUILLMARK RUN BEFORE=True' \
    '[Profiles]' 'PROFILE 1=Home' "HEADER FILE 1=$root/header.txt" "SIG FILE 1=$sig" >"$ini"

start() {
    "$program" >"$root/quillmark.out" 2>&1 &
    pid=$!
    pids+=($pid)
}
stop() {
    kill "$pid"
    wait "$pid" || fail "exit status $? after SIGTERM"
}
ours() { xdotool search --onlyvisible --classname '^quillmark$' 2>/dev/null | sort; }
# The icon: a small window of ours that the tray embeds.
icon_window() {
    local w
    for w in $(ours); do
        xwininfo -id "$w" -tree | grep -q 'Parent window id: .*(has no name)' &&
            xwininfo -id "$w" | grep -q 'Width: [0-9]\{1,2\}$' && echo "$w" && return 0
    done
    return 1
}
main_id() { xdotool search --onlyvisible --name '^Quillmark( Last Update .*)?$' 2>/dev/null | head -1; }
main_shown() { [ -n "$(main_id)" ]; }
main_hidden() { ! main_shown; }
main_listed() {
    local w
    for w in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        xdotool getwindowname "$w" | grep -Eq '^Quillmark( Last Update .*)?$' && return 0
    done
    return 1
}
# Right click on the icon; keys go to the menu once it is open (one more window of ours).
menu_open() { [ -n "$(comm -13 <(echo "$before_menu") <(ours))" ]; }
menu_closed() { [ "$(ours)" = "$before_menu" ]; }
tray_menu() {
    before_menu=$(ours)
    xdotool mousemove --window "$icon" 8 8 click 3
    xvfb_session_wait 50 menu_open || fail "the tray menu did not open"
    sleep 0.2
    xdotool key "$@"
    xvfb_session_wait 50 menu_closed
}
# Answers the box that `xdotool search --onlyvisible ARGS` finds with Return.
answer_box() {
    xvfb_session_wait 50 xdotool search --onlyvisible "$@" || fail "no box: $*"
    box=$(xdotool search --onlyvisible "$@" | head -1)
    xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool windowfocus "$box" key Return
}
files() { find "$root" -path "$root/runtime" -prune -o -type f ! -name '*.out' -printf '%p %s %T@\n' | sort; }

xvfb_session_start
start
xvfb_session_wait 50 test -s "$sig" || fail "no first signature"
xvfb_session_wait 30 main_listed || fail "without a tray the window is not in the task list"
xvfb_session_start_tray
xvfb_session_wait 30 icon_window || fail "no icon in a tray started after the program"
xvfb_session_stop_tray
xvfb_session_start_tray
xvfb_session_wait 30 icon_window || fail "no icon after the tray restarted"
stop

start
xvfb_session_wait 20 icon_window || fail "no icon within two seconds"
icon=$(icon_window)
sleep 0.5
main_hidden || fail "the window is shown at start although a tray runs"
xdotool mousemove --window "$icon" 8 8 click 1
xvfb_session_wait 30 main_shown || fail "a click on the icon did not show the window"

for try in 1 2; do
    xdotool windowactivate --sync "$(main_id)" key --clearmodifiers alt+h
    xvfb_session_wait 30 main_hidden || fail "try $try: Hide did not hide the window"
    if ((try % 2 == 0)); then tray_menu Up Up Up Return; else xdotool mousemove --window "$icon" 8 8 click 1; fi
    xvfb_session_wait 30 main_shown || fail "try $try: the window did not come back from the tray"
    sleep 0.4
    main_shown || fail "try $try: the window came back from the tray and hid again"
done

xdotool windowminimize "$(main_id)"
xvfb_session_wait 30 main_hidden || fail "minimising did not hide the window in the tray"
before=$(files)
"$program" >"$root/second.out" 2>&1 &
second=$!
pids+=($second)
answer_box --all --pid "$second" --name '^Quillmark$'
xvfb_session_wait 30 main_shown || fail "the second copy did not bring the first one's window back"
wait "$second" || fail "the second copy ended with status $?"
[ "$(files)" = "$before" ] || fail "the second copy touched a file"

tray_menu Up Return
answer_box --name '^Exit Quillmark$'
xvfb_session_wait 50 eval '! kill -0 $pid' || fail "the program did not end after Yes"
wait "$pid" || fail "exit status $? after Exit"
# Start-up stores the default "True"; only the save writes the box's state as "1".
grep -q '^DISPLAY PROPORTIONAL FONTS=1' "$ini" || fail "Exit did not save the settings"
icon_window && fail "the icon stayed after the program ended"

start
xvfb_session_wait 50 icon_window || fail "no icon at the next start"
sleep 0.5
main_listed && fail "the window is listed although it is hidden in the tray"
xvfb_session_stop_tray
xvfb_session_wait 30 main_listed || fail "the tray ended and the hidden window stayed out of reach"
stop
echo PASS

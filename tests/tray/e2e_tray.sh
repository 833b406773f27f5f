#!/usr/bin/env bash
# The tray icon in a real X session: Xvfb, openbox and trayer as the XEmbed tray.
#   e2e_tray.sh PROGRAM   (PROGRAM takes a log file and writes one line per tray command)
# Checks: the icon is in the tray within a second of the start; a left click brings the
# main window back; the right-click menu runs "Next Sig"; a tray started after the program,
# or restarted, still shows the icon; "Exit" ends the program and takes the icon away.
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
mkdir -p "$root/runtime" "$root/config" "$root/data"
chmod 700 "$root/runtime"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
# No session bus here: Qt uses the XEmbed tray, which is what trayer offers.
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
log=$root/actions.log

fail() {
    echo "FAIL: $*"
    echo "--- program log:"; cat "$log" 2>/dev/null
    echo "--- program output:"; cat "$root/stdout" 2>/dev/null
    exit 1
}

# The icon: the program's visible window inside the tray (its main window stays hidden).
icon_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname "^$(basename "$program")\$" 2>/dev/null); do
        xwininfo -id "$w" -tree 2>/dev/null | grep -q 'Parent window id: .*(has no name)' || continue
        xwininfo -id "$w" | grep -q 'Width: [0-9]\{1,2\}$' && { echo "$w"; return 0; }
    done
    return 1
}

# Waits up to $1 tenths of a second for line $2 to appear in the log.
wait_for_log() {
    xvfb_session_wait "$1" grep -qx -- "$2" "$log"
}

start_program() {
    : >"$log"
    "$program" "$log" >"$root/stdout" 2>&1 &
    pid=$!
    wait_for_log 100 ready || fail "the program did not start"
}

now_ms() { date +%s%3N; }

xvfb_session_start || fail "no X session"

main_window() { xdotool search --name '^Tray Demo$' 2>/dev/null | head -1; }
in_task_list() { xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$1")"; }
iconic() { xprop -id "$1" WM_STATE | grep -q 'Iconic'; }

# 1. Without a tray, minimising leaves the window in the task list; a tray that appears
# after the program started still gets the icon, and from then on minimising hides.
start_program
main=$(main_window)
[ -n "$main" ] || fail "no main window"
xvfb_session_wait 30 in_task_list "$main" || fail "the main window is not in the task list"
icon_window >/dev/null && fail "an icon window is visible without a tray"
xdotool windowminimize "$main"
xvfb_session_wait 30 iconic "$main" || fail "the main window did not minimise"
sleep 0.3
in_task_list "$main" || fail "minimised without a tray, the window left the task list"
grep -qx hidden "$log" && fail "the window hid itself although no tray shows the icon"
echo "without a tray a minimised window stays in the task list"

xvfb_session_start_tray || fail "trayer did not start"
xvfb_session_wait 30 icon_window || fail "the icon did not appear in a tray started after the program"
echo "icon shown in a tray started later"
xdotool windowactivate "$main" 2>/dev/null
xvfb_session_wait 30 bash -c "! xprop -id $main WM_STATE | grep -q Iconic" || fail "the window did not come back"
xdotool windowminimize "$main"
wait_for_log 30 hidden || fail "with a tray, minimising did not hide the window"
xvfb_session_wait 30 bash -c "! xprop -root _NET_CLIENT_LIST | grep -qi $(printf '0x%x' "$main")" ||
    fail "the hidden window is still in the task list"
echo "with a tray a minimised window hides in it"

# 2. A tray that restarts gets the icon again.
xvfb_session_stop_tray
xvfb_session_start_tray || fail "trayer did not restart"
xvfb_session_wait 30 icon_window || fail "the icon did not come back after the tray restarted"
echo "icon shown again after the tray restarted"
kill "$pid"
wait "$pid" 2>/dev/null
pid=""

# 3. With the tray running, the icon is there within a second of the start (a loaded
# machine may set QUILLMARK_TRAY_ICON_MS higher).
deadline_ms=${QUILLMARK_TRAY_ICON_MS:-1000}
start=$(now_ms)
: >"$log"
"$program" "$log" >"$root/stdout" 2>&1 &
pid=$!
until icon_window >/dev/null; do
    [ $(($(now_ms) - start)) -le "$deadline_ms" ] || fail "no icon within $deadline_ms ms of the start"
    sleep 0.02
done
elapsed=$(($(now_ms) - start))
echo "icon in the tray ${elapsed} ms after the start"
icon=$(icon_window)
wait_for_log 50 ready || fail "the program did not start"
main=$(main_window)
xvfb_session_wait 30 in_task_list "$main" || fail "the main window is not shown"
xdotool windowminimize "$main"
wait_for_log 30 hidden || fail "minimising did not hide the window"
xvfb_session_wait 30 bash -c "! xdotool search --onlyvisible --name '^Tray Demo\$'" || fail "the window stayed visible"

# 4. A left click brings the main window back.
xdotool mousemove --window "$icon" 8 8 click 1
wait_for_log 30 restore || fail "a left click on the icon did not restore the main window"
xvfb_session_wait 30 xdotool search --onlyvisible --name '^Tray Demo$' || fail "the main window is not shown"
echo "left click restores the main window"

# 5. The right-click menu: the last item but one is "Next Sig".
xdotool mousemove --window "$icon" 8 8 click 3
sleep 0.5
xdotool key Up Up Return
wait_for_log 30 nextSig || fail "choosing Next Sig in the tray menu did nothing"
[ "$(tr '\n' ' ' <"$log")" = "ready hidden restore nextSig " ] || fail "unexpected commands: $(tr '\n' ' ' <"$log")"
echo "right-click menu runs Next Sig"

grep VmRSS "/proc/$pid/status" | sed 's/^/idle resident memory: /'

# 6. Exit from the menu ends the program and removes the icon.
xdotool mousemove --window "$icon" 8 8 click 3
sleep 0.5
xdotool key Up Return
wait_for_log 30 exit || fail "Exit in the tray menu did nothing"
xvfb_session_wait 50 bash -c "! kill -0 $pid 2>/dev/null" || fail "the program did not end after Exit"
pid=""
icon_window >/dev/null && fail "the icon stayed after the program ended"
echo "Exit ends the program and removes the icon"
echo "PASS"

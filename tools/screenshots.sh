#!/usr/bin/env bash
# Takes the README's screenshots into docs/: the main window in both colour schemes, the
# splash screen, the tray menu and the About box. Runs the built quillmark in a virtual X
# session with a tray (Xvfb, openbox, trayer; tools/dev.sh installs them) and a throw-away
# home folder, so nothing of yours is read or changed.
#   bash tools/screenshots.sh        (after a build: bash tools/dev.sh test)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${QUILLMARK_BUILD_DIR:-$here/build}"
program=$build/bin/quillmark
docs=$here/docs
[ -x "$program" ] || {
    echo "No $program: build first (bash tools/dev.sh test)." >&2
    exit 1
}
# shellcheck source=../tests/support/xvfb_session.sh
source "$here/tests/support/xvfb_session.sh"

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    xvfb_session_stop
    rm -rf "$work"
}
trap cleanup EXIT

grab=$work/grab_window
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC "$here/tools/grab_window.cpp" $(pkg-config --cflags --libs Qt6Gui) -o "$grab"

home=$work/home
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
ini=$XDG_CONFIG_HOME/Quillmark/Quillmark.INI

# A fresh home with one profile. $1: "True" for the boring scheme; $2: "True" to show the
# splash; $3: the header file (a folder stops start-up at a message box, splash still up).
prepare() {
    rm -rf "$home"
    mkdir -p "$XDG_CONFIG_HOME/Quillmark" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$home/sigs/folder"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf 'Jane Doe\nHalvrene Design\n%%\nJ. Doe, quill keeper\n' >"$home/sigs/header.txt"
    printf '"Write drunk, edit sober."\n%%\n"Brevity is the soul of wit."\n' >"$home/sigs/footer.txt"
    cat >"$ini" <<INI
[SETTINGS]
INTERVAL_1=3600
BORING COLOUR SCHEME=$1
SHOW SPLASH SCREEN=$2
QUILLMARK RUN BEFORE=True
[Profiles]
PROFILE 1=Home
HEADER FILE 1=$3
FOOTER FILE 1=$home/sigs/footer.txt
SIG FILE 1=$home/sigs/sig.txt
PROFILE 2=Work
HEADER FILE 2=$home/sigs/header.txt
FOOTER FILE 2=$home/sigs/footer.txt
SIG FILE 2=$home/sigs/work.txt
[User]
LAST PROFILE=Home
INI
}

# Waits up to $1 tenths of a second for a visible window whose name matches $2; prints it.
find_window() {
    local i w
    for ((i = 0; i < $1; i++)); do
        w=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    echo "no window named $2" >&2
    return 1
}

icon_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^quillmark$' 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Width: [0-9]\{1,2\}$' && { echo "$w"; return 0; }
    done
    return 1
}

# The open tray menu's rectangle, widened to take in the tray below it: WxH+X+Y.
menu_with_tray() {
    local w WIDTH HEIGHT X Y SCREEN
    for w in $(xdotool search --onlyvisible --classname '^quillmark$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -ge 100 ] && [ "$HEIGHT" -ge 100 ]; then
            local left=$((X - 20)) top=$((Y - 20))
            local right=$(xdotool getdisplaygeometry | cut -d' ' -f1) bottom=$(xdotool getdisplaygeometry | cut -d' ' -f2)
            echo "$((right - left))x$((bottom - top))+$left+$top"
            return 0
        fi
    done
    return 1
}

start() {
    "$program" >"$work/output" 2>&1 &
    pid=$!
    xvfb_session_wait 50 icon_window || { echo "no tray icon: $(cat "$work/output")" >&2; exit 1; }
    icon=$(icon_window)
}

stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    pid=""
}

shot() {
    "$grab" "$docs/$1" "${@:2}"
    echo "docs/$1"
}

xvfb_session_start
xvfb_session_start_tray
mkdir -p "$docs"

# The main window in both schemes; with the decorative one, also the tray menu and About.
for scheme in decorative plain; do
    boring=False
    [ $scheme = plain ] && boring=True
    prepare "$boring" False "$home/sigs/header.txt"
    start
    xdotool mousemove --window "$icon" 8 8 click 1
    main=$(find_window 50 '^Quillmark( Last Update .*)?$')
    sleep 0.5
    shot "main-window-$scheme.png" "$main"
    if [ $scheme = decorative ]; then
        xdotool windowactivate --sync "$main" key alt+r
        sleep 0.5
        shot profiles-tab.png "$main"
        xdotool key alt+s
        xdotool windowminimize "$main"
        sleep 0.5
        xdotool mousemove --window "$icon" 8 8 click 3
        sleep 0.7
        # The menu and, below it, the tray with the icon.
        menu_rect=$(menu_with_tray) || { echo "the tray menu did not open" >&2; exit 1; }
        shot tray-menu.png root "$menu_rect"
        # From the bottom: Exit, Next Sig, MAIN SCREEN, Help, About.
        xdotool key Up Up Up Up Up Return
        about=$(find_window 50 '^About Quillmark$')
        sleep 0.5
        shot about.png "$about"
    fi
    stop
done

# A first start: no settings file, so the wizard leads to a first profile.
rm -rf "$home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$program" >"$work/output" 2>&1 &
pid=$!
wizard=$(find_window 50 '^Quillmark Signature Wizard$')
# The quick-start help page may want a browser: nothing answers here.
sleep 0.7
xdotool windowactivate --sync "$wizard" 2>/dev/null || true
sleep 0.3
shot wizard.png "$wizard"
stop

# The splash stays up while start-up waits at a message box; the box is moved aside.
prepare False True "$home/sigs/folder"
start
splash=$(find_window 50 '^Loading Quillmark\.\.\.$')
box=$(find_window 50 '^Quillmark$')
xdotool windowmove "$box" 0 0
sleep 0.5
shot splash.png "$splash"
stop

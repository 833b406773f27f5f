#!/usr/bin/env bash
# A throw-away X session for end-to-end tests: Xvfb on a free display, openbox as the
# window manager and, on request, trayer as an XEmbed system tray. Source this file, then:
#   xvfb_session_start      # Xvfb + openbox; exports DISPLAY
#   xvfb_session_start_tray # trayer; waits until its window exists
#   xvfb_session_stop_tray
#   xvfb_session_stop       # everything started here (also run on EXIT by the caller's trap)
# Each helper returns non-zero with a message on stderr when something does not come up.

xvfb_session_dir=""
xvfb_session_xvfb=""
xvfb_session_wm=""
xvfb_session_tray=""

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
xvfb_session_wait() {
    local tenths=$1
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

xvfb_session_start() {
    xvfb_session_dir=$(mktemp -d)
    # -displayfd lets the server pick a free display number itself: no race with other tests.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_session_dir/display" \
        >"$xvfb_session_dir/xvfb.log" 2>&1 &
    xvfb_session_xvfb=$!
    if ! xvfb_session_wait 100 test -s "$xvfb_session_dir/display"; then
        echo "Xvfb did not start (log: $xvfb_session_dir/xvfb.log)" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$xvfb_session_dir/display")"
    if command -v openbox >/dev/null; then
        openbox --sm-disable >"$xvfb_session_dir/openbox.log" 2>&1 &
        xvfb_session_wm=$!
        xvfb_session_wait 50 xvfb_session_wm_ready ||
            echo "openbox did not come up; going on without a window manager" >&2
    fi
    return 0
}

# openbox sets this root property once it manages the screen.
xvfb_session_wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

xvfb_session_tray_ready() {
    xdotool search --classname '^trayer$'
}

xvfb_session_start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >"$xvfb_session_dir/trayer.log" 2>&1 &
    xvfb_session_tray=$!
    if ! xvfb_session_wait 50 xvfb_session_tray_ready; then
        echo "trayer did not start (log: $xvfb_session_dir/trayer.log)" >&2
        return 1
    fi
}

xvfb_session_stop_tray() {
    [ -n "$xvfb_session_tray" ] || return 0
    kill "$xvfb_session_tray" 2>/dev/null
    wait "$xvfb_session_tray" 2>/dev/null
    xvfb_session_tray=""
}

xvfb_session_stop() {
    xvfb_session_stop_tray
    local pid
    for pid in $xvfb_session_wm $xvfb_session_xvfb; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    xvfb_session_wm=""
    xvfb_session_xvfb=""
    [ -n "$xvfb_session_dir" ] && rm -rf "$xvfb_session_dir"
    xvfb_session_dir=""
}

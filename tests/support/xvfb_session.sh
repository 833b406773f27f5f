#!/usr/bin/env bash
# Sourced by the end-to-end tests: a private home in $root, stopped and removed on exit, and
# a throw-away X session (Xvfb with openbox, trayer as the tray).
root=$(mktemp -d)
mkdir -p "$root/runtime" "$root/config/Quillmark" "$root/data" "$root/bin"
chmod 700 "$root/runtime"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
# No session bus and no desktop: Qt uses the XEmbed tray trayer offers, the root window is painted.
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait "${pids[@]}" 2>/dev/null; xvfb_session_stop; rm -rf "$root"' EXIT

fail() {
    echo "FAIL: $*"
    cat "$root"/*.out 2>/dev/null
    exit 1
}

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
xvfb_session_wait() {
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

xvfb_session_start() {
    # -noreset: a server that resets when its last client leaves can miss the stop request.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$root/display" >"$root/xvfb.log" 2>&1 &
    xvfb_session_x=$!
    xvfb_session_wait 100 test -s "$root/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$root/display")"
    openbox --sm-disable >/dev/null 2>&1 &
    xvfb_session_wm=$!
    xvfb_session_wait 50 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        fail "openbox did not start"
}

xvfb_session_start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >/dev/null 2>&1 &
    xvfb_session_tray=$!
    xvfb_session_wait 50 xdotool search --classname '^trayer$' || fail "trayer did not start"
}

xvfb_session_stop_tray() {
    kill "${xvfb_session_tray:-}" 2>/dev/null && wait "$xvfb_session_tray" 2>/dev/null
    xvfb_session_tray=""
}

xvfb_session_stop() {
    xvfb_session_stop_tray
    kill ${xvfb_session_x:-} ${xvfb_session_wm:-} 2>/dev/null
    wait ${xvfb_session_x:-} ${xvfb_session_wm:-} 2>/dev/null
}

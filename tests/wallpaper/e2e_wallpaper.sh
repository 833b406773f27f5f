#!/usr/bin/env bash
# End to end on a bare X server (no desktop session, no window manager): add a picture to
# the wallpaper list, change the wallpaper, and read the root window back.
#   e2e_wallpaper.sh WALLPAPER_DEMO ROOT_PROBE
set -uo pipefail
demo=$1
probe=$2

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# -noreset: with no window manager the server would otherwise start afresh each time the
# last program disconnects, and wipe the root window with it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# No desktop session: the root window itself is painted.
unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION XDG_SESSION_TYPE WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/Quillmark"
chmod 700 "$XDG_RUNTIME_DIR"

"$demo" picture "$work/wide.png" 2000 1000 || fail "could not write the test picture"
"$demo" change "$work/Quillmark" "$work/wide.png" || fail "the wallpaper change reported a failure"

[ "$(cat "$work/Quillmark/wallpaper.lst")" = "$work/wide.png" ] || fail "the list file does not hold the picture"
rendered="$work/Quillmark/QuillmarkWallpaper.png"
[ -f "$rendered" ] || fail "no rendered wallpaper in the program folder"
# 2000 x 1000 shrunk to a 1024 x 768 screen.
size=$("$demo" size "$rendered")
[ "$size" = "1024x512" ] || fail "the rendered wallpaper is $size, not 1024x512"

xprop -root _XROOTPMAP_ID | grep -q "pixmap id # 0x" || fail "_XROOTPMAP_ID is not set: $(xprop -root _XROOTPMAP_ID)"
xprop -root ESETROOT_PMAP_ID | grep -q "pixmap id # 0x" || fail "ESETROOT_PMAP_ID is not set"
first=$(xprop -root _XROOTPMAP_ID | sed 's/.*# //')
# The server keeps the pixmap after the program has gone.
[ "$("$probe" pixmap "$first")" = "1024x768" ] || fail "the root pixmap $first was not kept after the program ended"

# The picture is centred: 1024 x 512 from y = 128; black above and below.
pixels=$("$probe" 256 384 768 384 512 40 512 700) || fail "could not read the root window"
expected="256,384 FF0000
768,384 0000FF
512,40 000000
512,700 000000"
[ "$pixels" = "$expected" ] || fail "root window pixels are
$pixels
expected
$expected"

# A second change keeps the root window painted and replaces the retained pixmap.
"$demo" change "$work/Quillmark" "$work/wide.png" || fail "the second change reported a failure"
[ -f "$work/Quillmark/QuillmarkWallpaper2.png" ] || fail "the second change did not use the other file name"
[ ! -e "$rendered" ] || fail "the first wallpaper file was not removed"
[ "$("$probe" 256 384)" = "256,384 FF0000" ] || fail "the root window lost the picture after the second change"
second=$(xprop -root _XROOTPMAP_ID | sed 's/.*# //')
[ "$second" != "$first" ] || fail "the second change did not publish a new pixmap"
[ "$("$probe" pixmap "$second")" = "1024x768" ] || fail "the new root pixmap was not kept"
# The previous picture's memory in the server is given back.
[ "$("$probe" pixmap "$first")" = "gone" ] || fail "the previous root pixmap $first was never freed"
echo "wallpaper end-to-end: OK"

#!/usr/bin/env bash
# The real quillmark in a virtual X session: the user adds a picture on the Wallpaper tab
# and changes the wallpaper; it stays after the program ends.   e2e_wallpaper.sh QUILLMARK ROOT_PROBE
set -u
program=$1
probe=$2
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb_session.sh"
folder=$root/data/Quillmark
printf '%s\n' '[SETTINGS]' 'QUILLMARK RUN BEFORE=True' 'SHOW SPLASH SCREEN=False' '[Profiles]' 'PROFILE 1=Home' \
    "HEADER FILE 1=$root/header.txt" "SIG FILE 1=$root/sig.txt" >"$root/config/Quillmark/Quillmark.INI"
# 2048 x 1024, left half red, right half blue.
printf '%.0s\xff\x00\x00' {1..1024} >"$root/row"
printf '%.0s\x00\x00\xff' {1..1024} >>"$root/row"
for _ in {1..10}; do cat "$root/row" "$root/row" >"$root/rows" && mv "$root/rows" "$root/row"; done
{ printf 'P6\n2048 1024\n255\n' && cat "$root/row"; } >"$root/wide.ppm"

keys() { xdotool windowactivate --sync "$1" key --clearmodifiers "${@:2}" 2>/dev/null; }
window() { xdotool search --onlyvisible --name "$1" | head -1 | grep .; }
# Each change publishes a new root pixmap; the window is then minimised, off the picture.
changed() { [ "$(root_pixmap)" != "$1" ] && [ -f "$folder/$2" ]; }
change() {
    local before
    before=$(root_pixmap)
    keys "$main" alt+r
    xvfb_session_wait 50 changed "$before" "$1" || fail "no new root pixmap and $1"
    xdotool windowminimize --sync "$main"
}
# The root window's pixels at the points given, as "x,y RRGGBB ...", once they are $1.
pixels_are() { [ "$("$probe" "${@:2}" | tr '\n' ' ')" = "$1" ]; }
root_pixmap() { xprop -root _XROOTPMAP_ID | sed 's/.*# //'; }
xvfb_session_start
"$program" >"$root/quillmark.out" 2>&1 &
pids+=($!)
# Its caption tells when it wrote the signature.
xvfb_session_wait 100 xdotool search --name '^Quillmark Last Update' || fail "no main window"
main=$(xdotool search --name '^Quillmark Last Update' | head -1)
sleep 1 # start-up goes on a moment after the first signature
keys "$main" alt+w alt+a
xvfb_session_wait 50 window '^Choose Wallpaper files$' || fail "Add did not open the file dialog"
xdotool type --delay 10 "$root/wide.ppm"
keys "$(window '^Choose Wallpaper files$')" Return
xvfb_session_wait 50 sh -c "! xdotool search --onlyvisible --name '^Choose Wallpaper files\$'" || fail "the dialog stayed"
change QuillmarkWallpaper.png
# 2048 x 1024 shrunk to the 1024 x 768 screen: 1024 x 512, centred, black above and below.
xvfb_session_wait 30 pixels_are "256,384 FF0000 768,384 0000FF 512,40 000000 512,700 000000 " 256 384 768 384 512 40 \
    512 700 || fail "root window pixels: $("$probe" 256 384 768 384 512 40 512 700)"
keys "$main" alt+g # leaving the tab saves the list
xvfb_session_wait 30 grep -qx "$root/wide.ppm" "$folder/wallpaper.lst" || fail "the list does not hold the picture"
xprop -root ESETROOT_PMAP_ID | grep -q "# $(root_pixmap)" || fail "ESETROOT_PMAP_ID does not name the pixmap"
kill "${pids[0]}" && wait "${pids[0]}" || fail "exit status $? after SIGTERM"
[ "$("$probe" pixmap "$(root_pixmap)")" = 1024x768 ] || fail "the root pixmap was not kept after the program ended"
echo PASS

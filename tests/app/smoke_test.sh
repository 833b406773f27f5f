#!/usr/bin/env bash
# Starts the built quillmark offscreen with an interval of 1 second and checks that the
# output file is rewritten every second with signatures made of the prepared entries,
# and that SIGTERM saves the settings and ends the program with status 0; and that with no
# display it says so in one line and ends with status 1.
set -u
program=$1
root=$(mktemp -d)
pid=""
trap 'kill -9 $pid 2>/dev/null; rm -rf "$root"' EXIT
mkdir -p "$root/config/Quillmark" "$root/data" "$root/runtime" "$root/sigs"
chmod 700 "$root/runtime"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_RUNTIME_DIR=$root/runtime
export QT_QPA_PLATFORM=offscreen
printf 'Head A\n%%\nHead B\n' >"$root/sigs/header.txt"
printf 'Foot 1\n%%\nFoot 2\n%%\nFoot 3\n' >"$root/sigs/footer.txt"
cat >"$root/config/Quillmark/Quillmark.INI" <<INI
[SETTINGS]
INTERVAL_1=1
ADD DASHES TO SIG HEADER=False
[Profiles]
PROFILE 1=Smoke
HEADER FILE 1=$root/sigs/header.txt
FOOTER FILE 1=$root/sigs/footer.txt
SIG FILE 1=$root/sigs/sig.txt
INI

fail() { echo "FAIL: $*"; exit 1; }

# With no window system, "--help" included, one line says what is missing, and status 1.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help 2>&1)
status=$?
[ $status -eq 1 ] || fail "with no display the status is $status: $said"
[ "$(wc -l <<<"$said")" -eq 1 ] && grep -q 'desktop session.*quillmark-cli' <<<"$said" ||
    fail "with no display it says: $said"

"$program" >"$root/stdout" 2>&1 &
pid=$!
out=$root/sigs/sig.txt
declare -A seen=()
writes=0
last=""
# Watch for 4.5 seconds: at least four distinct writes, each a valid signature.
for _ in $(seq 1 45); do
    sleep 0.1
    [ -f "$out" ] || continue
    stamp=$(stat -c "%i %y" "$out" 2>/dev/null) || continue
    [ "$stamp" = "$last" ] && continue
    last=$stamp
    writes=$((writes + 1))
    content=$(cat "$out")
    case "$content" in
    "Head "[AB]$'\n'"Foot "[123]) seen["$content"]=1 ;;
    *) fail "unexpected signature: $(printf '%q' "$content")" ;;
    esac
done
kill -0 $pid 2>/dev/null || fail "quillmark exited early: $(cat "$root/stdout")"
[ $writes -ge 4 ] || fail "only $writes writes in 4.5 seconds"
kill -TERM $pid
wait $pid
status=$?
[ $status -eq 0 ] || fail "exit status $status after SIGTERM"
grep -q '^RUN AT BOOTUP=True' "$root/config/Quillmark/Quillmark.INI" || fail "settings were not saved"
ls "$root/sigs" | grep -q '^\.sig' && fail "a temporary file was left behind"
echo "OK: $writes writes, ${#seen[@]} different signatures"

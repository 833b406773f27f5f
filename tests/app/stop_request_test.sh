#!/usr/bin/env bash
# A stop request (SIGTERM, SIGINT) must end quillmark within one second, with status 0 and
# the settings saved, even while a message box of start-up is open: here the profile's
# header path is a folder, so start-up stops at the "subLoadFiles:" box and waits.
set -u
program=$1
root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$root"' EXIT
export QT_QPA_PLATFORM=offscreen

fail() {
    echo "FAIL: $*"
    exit 1
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program in a fresh home and waits until start-up has written the defaults,
# which it does right before it loads the profile's files and opens the box.
start() {
    rm -rf "$root/home"
    mkdir -p "$root/home/config/Quillmark" "$root/home/data" "$root/home/runtime" "$root/home/sigs/folder"
    chmod 700 "$root/home/runtime"
    export HOME=$root/home XDG_CONFIG_HOME=$root/home/config XDG_DATA_HOME=$root/home/data
    export XDG_RUNTIME_DIR=$root/home/runtime
    printf 'Foot\n' >"$root/home/sigs/footer.txt"
    ini=$root/home/config/Quillmark/Quillmark.INI
    cat >"$ini" <<INI
[Profiles]
PROFILE 1=Broken
HEADER FILE 1=$root/home/sigs/folder
FOOTER FILE 1=$root/home/sigs/footer.txt
SIG FILE 1=$root/home/sigs/sig.txt
INI
    "$program" >"$root/output" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
        grep -q '^RUN AT BOOTUP=' "$ini" && break
        sleep 0.05
    done
    grep -q '^RUN AT BOOTUP=' "$ini" || fail "start-up did not write its defaults: $(cat "$root/output")"
    sleep 0.3
    kill -0 $pid 2>/dev/null || fail "quillmark ended before the stop request: $(cat "$root/output")"
}

# Waits up to one second for the program to end; prints the milliseconds it took.
await_end() {
    local began=$1 took=0
    while kill -0 $pid 2>/dev/null && [ $took -le 1000 ]; do
        sleep 0.01
        took=$(($(now_ms) - began))
    done
    took=$(($(now_ms) - began))
    kill -0 $pid 2>/dev/null && fail "$2: still running after ${took} ms"
    wait $pid
    local status=$?
    pid=""
    [ $status -eq 0 ] || fail "$2: exit status $status"
    [ $took -le 1000 ] || fail "$2: took ${took} ms"
    # Start-up stores the default "True"; only the save writes the box's state as "1".
    grep -q '^DISPLAY PROPORTIONAL FONTS=1' "$ini" || fail "$2: settings were not saved: $(cat "$ini")"
    echo "$2: ended in ${took} ms"
}

for signal in TERM INT; do
    start
    began=$(now_ms)
    kill -$signal $pid
    await_end "$began" "SIG$signal with the box open"
done

# A second request while the first is being honoured changes nothing.
start
began=$(now_ms)
kill -TERM $pid
kill -INT $pid 2>/dev/null
await_end "$began" "SIGTERM then SIGINT"
echo "OK"

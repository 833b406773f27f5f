#!/usr/bin/env bash
# A mail program may read the signature file at any moment. While quillmark-cli next
# rewrites it 2,000 times, a reader opening and reading it nonstop must only ever see a
# whole signature: never a missing, empty or partial file.
# Usage: torn_read_cli_test.sh PATH-TO-quillmark-cli PATH-TO-torn_reader
set -u
cli=$1
reader=$2
runs=${TORN_READ_RUNS:-2000}
root=$(mktemp -d)
reader_pid=
cleanup() {
    [ -n "$reader_pid" ] && kill "$reader_pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/config/Quillmark" "$root/sigs" "$root/forms"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
fail() { echo "FAIL: $*"; exit 1; }

sig=$root/sigs/out.txt
printf 'Alpha\n%%\nBeta\nline two\n' >"$root/sigs/h.txt"
printf 'One\n%%\nTwo\n' >"$root/sigs/f.txt"
printf '[Profiles]\nPROFILE 1=Torn\nHEADER FILE 1=%s\nFOOTER FILE 1=%s\nSIG FILE 1=%s\n' \
    "$root/sigs/h.txt" "$root/sigs/f.txt" "$sig" >"$root/config/Quillmark/Quillmark.INI"
# The four whole signatures: dashes, one header entry, one footer entry, a final line end.
printf -- '-- \nAlpha\nOne\n' >"$root/forms/1"
printf -- '-- \nAlpha\nTwo\n' >"$root/forms/2"
printf -- '-- \nBeta\nline two\nOne\n' >"$root/forms/3"
printf -- '-- \nBeta\nline two\nTwo\n' >"$root/forms/4"

"$cli" next >/dev/null || fail "first run: status $?"
"$reader" "$sig" "$root/stop" "$root"/forms/* >"$root/reader.out" 2>"$root/reader.err" &
reader_pid=$!
for ((i = 0; i < runs; i++)); do
    "$cli" next >/dev/null || fail "run $i: status $?"
done
touch "$root/stop"
wait "$reader_pid"
status=$?
reader_pid=
cat "$root/reader.out" "$root/reader.err"
[ $status -eq 0 ] || fail "the reader saw a missing, empty or partial signature"
grep -q 'distinct=[234]' "$root/reader.out" || fail "the reader never saw the signature change"
ls -A "$root/sigs" | grep -q '^\.' && fail "a temporary file was left"
echo "OK: $runs rewrites"

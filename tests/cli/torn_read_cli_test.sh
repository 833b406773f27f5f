#!/usr/bin/env bash
# A mail program may read the signature file at any moment. While quillmark-cli next rewrites
# it 2,000 times, a reader reading it nonstop must only ever see a whole signature.
# Usage: torn_read_cli_test.sh PATH-TO-quillmark-cli
source "$(dirname "$0")/../support/cli_env.sh"
cli=$1
runs=${TORN_READ_RUNS:-2000}
sig=$root/out.txt
printf 'Alpha\n%%\nBeta\nline two\n' >"$root/h.txt"
printf 'One\n%%\nTwo\n' >"$root/f.txt"
printf '[Profiles]\nPROFILE 1=Torn\nHEADER FILE 1=%s\nFOOTER FILE 1=%s\nSIG FILE 1=%s\n' \
    "$root/h.txt" "$root/f.txt" "$sig" >"$ini"
# The reader (bash's own read, no process per read) stops after its first pass once the stop
# file is there, and counts the whole signatures it saw.
read_nonstop() {
    local text last=
    local -A seen=()
    while [ -z "$last" ]; do
        [ -e "$root/stop" ] && last=1
        for _ in {1..64}; do
            text=
            IFS= read -r -d '' text <"$sig"
            case "$text" in
            $'-- \nAlpha\nOne\n' | $'-- \nAlpha\nTwo\n' | $'-- \nBeta\nline two\nOne\n' | $'-- \nBeta\nline two\nTwo\n')
                seen[$text]=1 ;;
            *) echo "torn read: '$text'"; exit 1 ;;
            esac
        done
    done
    [ ${#seen[@]} -ge 2 ] || { echo "the reader never saw the signature change"; exit 1; }
}
"$cli" next >/dev/null || fail "first run: status $?"
read_nonstop &
reader=$!
for ((i = 0; i < runs; i++)); do
    "$cli" next >/dev/null || fail "run $i: status $?"
done
touch "$root/stop"
wait "$reader" || fail "the reader saw a missing, empty or partial signature"
echo "OK: $runs rewrites"

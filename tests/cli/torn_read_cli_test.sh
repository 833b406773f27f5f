#!/usr/bin/env bash
# While quillmark-cli next rewrites the signature, a reader reading it nonstop sees only whole ones.
source "$(dirname "$0")/../support/cli_env.sh"
cli=$1
runs=${TORN_READ_RUNS:-2000}
sig=$root/out.txt
printf 'Alpha\n%%\nBeta\nline two\n' >"$root/h.txt"
printf 'One\n%%\nTwo\n' >"$root/f.txt"
printf '[Profiles]\nPROFILE 1=Torn\nHEADER FILE 1=%s\nFOOTER FILE 1=%s\nSIG FILE 1=%s\n' \
    "$root/h.txt" "$root/f.txt" "$sig" >"$ini"
# bash's own read (no process per read); stops after its first pass once the stop file is there.
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

#!/usr/bin/env bash
# quillmark-cli next with a profile whose output file is its own header file: the
# signature engine refuses the write, so the header file survives and the status says so.
# Relies on the engine's same-file check (ErrorCode::SameFile in the signature write).
set -u
cli=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/config/Quillmark" "$root/sigs"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
ini=$root/config/Quillmark/Quillmark.INI
fail() { echo "FAIL: $*"; exit 1; }

printf 'Only header\n' >"$root/sigs/h.txt"
printf 'Footer\n' >"$root/sigs/f.txt"
# Case: which source the output file names.
for own in h.txt f.txt; do
    printf '[Profiles]\nPROFILE 1=Loop\nHEADER FILE 1=%s\nFOOTER FILE 1=%s\nSIG FILE 1=%s\n' \
        "$root/sigs/h.txt" "$root/sigs/f.txt" "$root/sigs/$own" >"$ini"
    before=$(cat "$root/sigs/$own")
    "$cli" next --profile Loop >/dev/null 2>"$root/err"; status=$?
    [ $status -eq 1 ] || fail "output file = $own: status $status"
    [ "$(cat "$root/sigs/$own")" = "$before" ] || fail "output file = $own: the source was replaced"
    grep -qiE "is the profile's (header|footer) file" "$root/err" || fail "output file = $own: message '$(cat "$root/err")'"
done
echo OK

#!/usr/bin/env bash
# quillmark-cli next as a mail program's hook runs it: a fresh signature printed and written,
# on a first run from the samples, and a status that tells every failure. It never changes
# the settings file.
# Usage: next_cli_test.sh PATH-TO-quillmark-cli SAMPLE-SIGS-FOLDER
source "$(dirname "$0")/../support/cli_env.sh"
cli=$1
samples=$2
sigs=$root/data/Quillmark/Sigs
# First run: the samples copied, a signature printed, a hint how to go on, no settings file made.
"$cli" next >"$root/printed" 2>"$root/err" || fail "first run: status $?: $(cat "$root/err")"
cmp -s "$samples/header.txt" "$sigs/header.txt" || fail "header.txt not copied from the samples"
cmp -s "$root/printed" "$sigs/sig.txt" || fail "first run: printed bytes differ from sig.txt"
grep -q "quillmark-cli profile add" "$root/err" || fail "no hint how to make a profile"
[ -e "$ini" ] && fail "the settings file was created"
# The user's own files in the signature folder are used and never replaced.
printf 'My header\n' >"$sigs/header.txt"
printf 'My footer\n' >"$sigs/footer.txt"
"$cli" next >"$root/printed" 2>"$root/err" || fail "second run: status $?"
[ "$(cat "$root/printed")" = $'-- \nMy header\nMy footer' ] || fail "second run: $(cat "$root/printed")"
[ -s "$root/err" ] && fail "the hint again, though no sample was copied: $(cat "$root/err")"
# A profile added from here has its first signature at once.
"$cli" profile add Mine --header "$sigs/header.txt" --footer "$sigs/footer.txt" --output "$root/mine.txt" ||
    fail "profile add: status $?"
[ "$(cat "$root/mine.txt")" = $'-- \nMy header\nMy footer' ] || fail "profile add wrote no first signature"

mkdir -p "$root/s/folder"
printf 'Only header\n' >"$root/s/h.txt"
printf '# comment\r\nFirst\r\nfooter\r\n' >"$root/s/f.txt"
printf '[SETTINGS]\nADD DASHES TO SIG HEADER=False\n[Profiles]\nPROFILE 1=\nPROFILE 2=Work\nHEADER FILE 2=%s\nFOOTER FILE 2=%s\nSIG FILE 2=%s\nPROFILE 3=Broken\nSIG FILE 3=%s\nPROFILE 4=Gone\nHEADER FILE 4=%s\nFOOTER FILE 4=%s\nSIG FILE 4=%s\n[User]\nLAST PROFILE=\n' \
    "$root/s/h.txt" "$root/s/f.txt" "$root/s/out.txt" "$root/missing/out.txt" "$root/s/folder" "$root/s/f.txt" \
    "$root/s/gone.txt" >"$ini"
before=$(md5sum <"$ini")
# --profile ignores case; without it, the first profile serves (slot 1 is free, "Last Profile" empty).
"$cli" next --profile WORK >"$root/printed" 2>"$root/err" || fail "next: status $? $(cat "$root/err")"
cmp -s "$root/printed" "$root/s/out.txt" || fail "next: printed bytes differ from the file"
[ "$(cat "$root/printed")" = $'Only header\nFirst\nfooter' ] || fail "next: $(od -c "$root/printed" | head -3)"
ls -A "$root/s" | grep -q '^\.' && fail "a temporary file was left"

# Statuses: 2 for what the user typed wrong, 1 for what could not be done.
"$cli" next --profile Nobody >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown profile must give 2"
"$cli" next --profile broken >"$root/printed" 2>"$root/err"; status=$?
[ $status -eq 1 ] && [ -s "$root/printed" ] || fail "unwritable output: status $status, or nothing printed"
grep -q "missing/out.txt" "$root/err" || fail "unwritable output: no message"
"$cli" next --profile gone >"$root/printed" 2>"$root/err"; status=$?
[ $status -eq 1 ] && [ -s "$root/printed" ] && grep -q "s/folder" "$root/err" || fail "unreadable header: status $status"
for command in next profiles; do
    "$cli" $command >/dev/full 2>"$root/err"; status=$?
    [ $status -eq 1 ] && grep -q "standard output" "$root/err" || fail "$command >/dev/full: status $status"
done
# The README's line for each mail program gives one "-- " line with the text above it,
# whatever "Add dashes" says: mutt and Evolution put their own above the output, aerc none.
readme=$(dirname "$0")/../../README.md
mutt=$(sed -n 's/^ *set signature="quillmark-cli \(.*\)|"$/\1/p' "$readme")
aerc=$(sed -n 's/^ *signature-cmd = quillmark-cli \(.*\)$/\1/p' "$readme")
evolution=$(sed -n 's/^ *exec quillmark-cli \(.*\)$/\1/p' "$readme")
[ -n "$mutt" ] && [ -n "$aerc" ] && [ -n "$evolution" ] || fail "a mail program's line is missing from the README"
for dashes in True False; do
    sed -i "s/^ADD DASHES TO SIG HEADER=.*/ADD DASHES TO SIG HEADER=$dashes/" "$ini"
    for own in "$mutt" "$evolution"; do
        # shellcheck disable=SC2086
        [ "$("$cli" $own)" = $'Only header\nFirst\nfooter' ] || fail "$own with dashes $dashes"
    done
    # shellcheck disable=SC2086
    "$cli" $aerc >"$root/printed" || fail "$aerc: status $?"
    [ "$(cat "$root/printed")" = $'\n-- \nOnly header\nFirst\nfooter' ] || fail "$aerc with dashes $dashes"
done
[ "$(md5sum <"$ini")" = "$before" ] || fail "the settings file was changed"

# A settings file that cannot be read is not a store without profiles, and a named pipe in
# its place is refused at once, never waited on.
rm "$ini" && mkfifo "$ini"
timeout 10 "$cli" next >/dev/null 2>"$root/err"; status=$?
[ $status -eq 1 ] && grep -q "cannot read the settings file" "$root/err" || fail "settings file a pipe: $status $(cat "$root/err")"
echo OK

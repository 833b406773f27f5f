#!/usr/bin/env bash
# Runs quillmark-cli next/profiles as a process against a prepared settings file.
set -u
cli=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/config/Quillmark" "$root/sigs"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
ini=$root/config/Quillmark/Quillmark.INI
fail() { echo "FAIL: $*"; exit 1; }

printf 'Only header\n' >"$root/sigs/h.txt"
printf '# comment\r\nFirst\r\nfooter\r\n%%%%\r\n' >"$root/sigs/f.txt"
printf '[SETTINGS]\nSIG SEPARATOR CHARACTER=%%\nADD DASHES TO SIG HEADER=False\n[Profiles]\nPROFILE 1=\nPROFILE 2=Work\nHEADER FILE 2=%s\nFOOTER FILE 2=%s\nSIG FILE 2=%s\nPROFILE 3=Broken\nSIG FILE 3=%s\n[User]\nLAST PROFILE=\n' \
    "$root/sigs/h.txt" "$root/sigs/f.txt" "$root/sigs/out.txt" "$root/missing/out.txt" >"$ini"
before=$(md5sum <"$ini")

[ "$("$cli" profiles)" = $'Work\nBroken' ] || fail "profiles listing"

# Default profile: slot 1 is free and "Last Profile" is empty, so the first profile.
for _ in 1 2 3 4 5 6; do
    "$cli" next >"$root/printed" 2>"$root/err" || fail "next: status $? $(cat "$root/err")"
    cmp -s "$root/printed" "$root/sigs/out.txt" || fail "printed bytes differ from the file"
    case "$(cat "$root/printed")" in
    $'Only header\nFirst\nfooter' | 'Only header') ;;
    *) fail "unexpected signature $(od -c "$root/printed" | head -3)" ;;
    esac
done
ls -A "$root/sigs" | grep -q '^\.' && fail "a temporary file was left"

# --profile matches ignoring case; an unknown name is a usage error.
"$cli" next --profile WORK >/dev/null || fail "--profile WORK"
"$cli" next --profile Nobody >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown profile must give 2"
"$cli" next --bogus >/dev/null 2>&1; [ $? -eq 2 ] || fail "bad option must give 2"
"$cli" next --help | grep -q 'Usage: quillmark-cli next' || fail "next --help"
"$cli" profiles --help | grep -q 'Usage: quillmark-cli profiles' || fail "profiles --help"

# An output file that cannot be written: status 1, message, signature still printed.
"$cli" next --profile broken >"$root/printed" 2>"$root/err"; status=$?
[ $status -eq 1 ] || fail "unwritable output: status $status"
[ -s "$root/printed" ] || fail "unwritable output: nothing printed"
grep -q "missing/out.txt" "$root/err" || fail "unwritable output: no message"

# Standard output that cannot take the signature or the list: status 1 and a message.
for command in next profiles; do
    "$cli" $command >/dev/full 2>"$root/err"; status=$?
    [ $status -eq 1 ] || fail "$command >/dev/full: status $status"
    grep -q "standard output" "$root/err" || fail "$command >/dev/full: no message"
    "$cli" $command >&- 2>"$root/err"; status=$?
    [ $status -eq 1 ] || fail "$command with standard output closed: status $status"
    grep -q "standard output" "$root/err" || fail "$command with standard output closed: no message"
done
[ "$(md5sum <"$ini")" = "$before" ] || fail "the settings file was changed"

# The last of the 64 slots is listed, found by name and used as the current profile.
printf 'Top\n' >"$root/sigs/h64.txt"
printf 'Bottom\n' >"$root/sigs/f64.txt"
printf '[SETTINGS]\nADD DASHES TO SIG HEADER=False\n[Profiles]\nPROFILE 64=Last slot\nHEADER FILE 64=%s\nFOOTER FILE 64=%s\nSIG FILE 64=%s\n[User]\nLAST PROFILE=last SLOT\n' \
    "$root/sigs/h64.txt" "$root/sigs/f64.txt" "$root/sigs/out64.txt" >"$ini"
[ "$("$cli" profiles)" = 'Last slot' ] || fail "slot 64 not listed"
for args in "" "--profile LAST SLOT"; do
    rm -f "$root/sigs/out64.txt"
    # shellcheck disable=SC2086
    "$cli" next ${args:+--profile "${args#--profile }"} >"$root/printed" 2>"$root/err" || fail "slot 64 ($args): status $? $(cat "$root/err")"
    [ "$(cat "$root/sigs/out64.txt")" = $'Top\nBottom' ] || fail "slot 64 ($args): wrong output file"
    cmp -s "$root/printed" "$root/sigs/out64.txt" || fail "slot 64 ($args): printed bytes differ"
done

# The entry index in the cache folder: a footer rewritten with the same size and put back
# to the same time ("touch -d") must never give an entry of the old text.
export XDG_CACHE_HOME=$root/cache
printf 'old1\n%%\nold2\n' >"$root/sigs/f64.txt"
for _ in 1 2 3 4; do "$cli" next >/dev/null || fail "indexed next: status $?"; done
ls "$root/cache/quillmark/"*.idx >/dev/null 2>&1 || fail "no entry index was written"
stamp=$(stat -c %y "$root/sigs/f64.txt")
printf 'NEW1\n%%\nNEW2\n' >"$root/sigs/f64.txt"
touch -d "$stamp" "$root/sigs/f64.txt"
for _ in $(seq 12); do
    "$cli" next >"$root/printed" || fail "after the rewrite: status $?"
    grep -q old "$root/printed" && fail "an entry of the old text after a same-size, same-time rewrite"
done
# A planted link where the index goes is replaced, not written through.
for index in "$root/cache/quillmark/"*.idx; do rm "$index"; ln -s "$root/victim" "$index"; done
printf 'keep' >"$root/victim"
"$cli" next >/dev/null || fail "with a planted link: status $?"
[ "$(cat "$root/victim")" = keep ] || fail "the index was written through a planted link"
# A cache folder that cannot be made: the whole file is read, with the same result.
rm -rf "$root/cache"
printf 'not a folder' >"$root/cache"
"$cli" next >"$root/printed" || fail "without a cache folder: status $?"
grep -q NEW "$root/printed" || fail "without a cache folder: $(cat "$root/printed")"
rm -f "$root/cache"
unset XDG_CACHE_HOME

# A settings file that cannot be read is not a store without profiles, and a named pipe
# in place of any file that is read is refused at once, never waited on.
mv "$ini" "$root/ini.saved"
for kind in folder pipe; do
    if [ $kind = folder ]; then mkdir "$ini"; else mkfifo "$ini"; fi
    for command in next profiles; do
        timeout 10 "$cli" $command >"$root/printed" 2>"$root/err"; status=$?
        [ $status -eq 1 ] || fail "$command with the settings file a $kind: status $status"
        grep -q "cannot read the settings file" "$root/err" || fail "$command: $(cat "$root/err")"
        grep -q "no profile" "$root/err" && fail "$command blamed missing profiles"
    done
    rm -r "$ini"
done
mv "$root/ini.saved" "$ini"
for source in h64 f64; do
    mv "$root/sigs/$source.txt" "$root/saved.txt" && mkfifo "$root/sigs/$source.txt"
    timeout 10 "$cli" next >"$root/printed" 2>"$root/err"; status=$?
    [ $status -eq 1 ] || fail "next with $source.txt a named pipe: status $status"
    grep -q "sigs/$source.txt" "$root/err" || fail "next with $source.txt a named pipe: $(cat "$root/err")"
    rm "$root/sigs/$source.txt" && mv "$root/saved.txt" "$root/sigs/$source.txt"
done

echo OK

#!/usr/bin/env bash
# Runs "quillmark-cli encrypt|decrypt" as a process through pipes.
# Usage: crypt_cli_test.sh PATH-TO-quillmark-cli
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every byte value, CR LF and a lone CR included.
for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >all.bin
printf 'Dear Ann,\r\nsee you at 5!\rBye\n' >>all.bin

export QM_PASSWORD='s3cret $pass!'
"$cli" encrypt --password-env QM_PASSWORD <all.bin >enc.bin || fail "encrypt exit status $?"
"$cli" decrypt --password-env QM_PASSWORD <enc.bin | cat >dec.bin
cmp -s all.bin dec.bin || fail "password round trip changed the bytes"
cmp -s all.bin enc.bin && fail "the ciphertext equals the plain text"
printf -- '-- begin Quillmark encrypted text (www.quillmark.org/) :\r\n' >begin.bin
cmp -s -n "$(wc -c <begin.bin)" begin.bin enc.bin || fail "the ciphertext does not start with the begin line"
printf '\r\n-- end Quillmark encrypted text --' >end.bin
tail -c "$(wc -c <end.bin)" enc.bin | cmp -s - end.bin || fail "the ciphertext does not end with the end line"

# The file's first line is the password; its line end is not part of it.
printf 's3cret $pass!\r\nsecond line\n' >password.txt
"$cli" decrypt --password-file password.txt <enc.bin | cmp -s - all.bin || fail "--password-file round trip"

[ "$(printf 'Hello, World!' | "$cli" encrypt --rot 13)" = 'Uryyb, Jbeyq!' ] || fail "--rot 13"
"$cli" encrypt --rot 3 <all.bin | "$cli" decrypt --rot 3 | cmp -s - all.bin || fail "--rot round trip"

# Usage errors: status 2, exactly one line on stderr, nothing on stdout.
export QM_EMPTY=
check_usage_error() {
    echo data | "$cli" "$@" >out.txt 2>err.txt
    local status=$?
    [ "$status" -eq 2 ] || fail "$* exited with $status, not 2"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$* wrote $(wc -l <err.txt) error lines"
    [ -s out.txt ] && fail "$* wrote to standard output"
}
check_usage_error
check_usage_error encrypt
check_usage_error scramble --rot 13
check_usage_error encrypt --rot
check_usage_error encrypt --rot 13 --password-env HOME
check_usage_error encrypt --key x
check_usage_error decrypt --password-env QM_EMPTY
check_usage_error decrypt --password-env QM_UNSET_VARIABLE
check_usage_error encrypt --password-file "$work/missing/password.txt"

"$cli" encrypt --help | grep -q -- '--password-file FILE' || fail "encrypt --help does not describe --password-file"

# Rotation by 26 is accepted and, a full turn of the alphabet, changes nothing.
for command in encrypt decrypt; do
    "$cli" $command --rot 26 <all.bin >rot26.bin || fail "$command --rot 26: status $?"
    cmp -s all.bin rot26.bin || fail "$command --rot 26 changed the text"
done

# Standard input that cannot be read (a folder): status 1 and a message, not a crash.
"$cli" encrypt --rot 13 <"$work" >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "standard input a folder: status $status"
grep -q "cannot read standard input" err.txt || fail "standard input a folder: no message"

# A password file is read to the end of its first line only, at most 64 KB of it.
{ head -c 65536 /dev/zero | tr '\0' 'k'; printf '\n'; head -c 1000000 /dev/zero; } >long-first-line.txt
echo data | "$cli" encrypt --password-file long-first-line.txt >/dev/null || fail "a 64 KB password was refused"
{ printf k; cat long-first-line.txt; } | head -c 65537 >too-long.txt
echo data | "$cli" encrypt --password-file too-long.txt >/dev/null 2>err.txt
[ $? -eq 2 ] || fail "a password longer than 64 KB was taken"
grep -q "64 KB" err.txt || fail "a password longer than 64 KB: no message"
# A password file that is there but cannot be read (a folder; a named pipe, which is
# refused, not waited on): status 1, like standard input.
mkfifo pipe
for file in "$work" pipe; do
    echo data | timeout 10 "$cli" encrypt --password-file "$file" >out.txt 2>err.txt
    status=$?
    [ "$status" -eq 1 ] || fail "--password-file $file: status $status"
done
grep -q "pipe" err.txt || fail "--password-file on a named pipe: $(cat err.txt)"

[ "$failures" -eq 0 ] || exit 1
echo "crypt_cli: all checks passed"

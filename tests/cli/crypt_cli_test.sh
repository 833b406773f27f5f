#!/usr/bin/env bash
# quillmark-cli encrypt/decrypt through pipes: every byte comes back; a wrong use gives status 2.
source "$(dirname "$0")/../support/cli_env.sh"
cli=$1
cd "$root" || exit 1
# Every byte value, CR LF and a lone CR included.
for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >all.bin
printf 'Dear Ann,\r\nsee you at 5!\rBye\n' >>all.bin
export QM_PASSWORD='s3cret $pass!'
"$cli" encrypt --password-env QM_PASSWORD <all.bin >enc.bin || fail "encrypt exit status $?"
head -c 55 enc.bin | grep -q '^-- begin Quillmark encrypted text' || fail "no begin line"
# The file's first line is the password; its line end is not part of it.
printf 's3cret $pass!\r\nsecond line\n' >password.txt
"$cli" decrypt --password-file password.txt <enc.bin | cmp -s - all.bin || fail "--password-file round trip"
[ "$(printf 'Hello, World!' | "$cli" encrypt --rot 13)" = 'Uryyb, Jbeyq!' ] || fail "--rot 13"
"$cli" encrypt --rot 3 <all.bin | "$cli" decrypt --rot 3 | cmp -s - all.bin || fail "--rot round trip"
# The option parse: status 2, a message on stderr, nothing on stdout.
export QM_EMPTY=
for args in "" "encrypt --rot" "encrypt --rot 13 --password-env HOME" "decrypt --password-env QM_EMPTY"; do
    # shellcheck disable=SC2086
    echo data | "$cli" $args >out.txt 2>err.txt; status=$?
    [ "$status" -eq 2 ] || fail "'$args' exited with $status, not 2"
    [ -s err.txt ] || fail "'$args' gave no message"
    [ -s out.txt ] && fail "'$args' wrote to standard output"
done
echo OK

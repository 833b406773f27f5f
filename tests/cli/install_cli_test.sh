#!/usr/bin/env bash
# "cmake --install" puts quillmark-cli, its manual page and its bash completion in place,
# and the completion offers the commands and the profile names.
# Usage: install_cli_test.sh BUILD-FOLDER
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install: status $?"
[ -x "$prefix/bin/quillmark-cli" ] || fail "no quillmark-cli"
completion=$prefix/share/bash-completion/completions/quillmark-cli
[ -f "$completion" ] || fail "no bash completion"
if command -v help2man >/dev/null; then
    page=$prefix/share/man/man1/quillmark-cli.1
    [ -f "$page" ] || fail "no manual page"
    grep -q 'profile add' "$page" || fail "the manual page lacks the profile commands"
fi
bash -n "$completion" || fail "the completion script does not parse"
# The completion, with stand-ins for what bash-completion provides.
out=$(bash -c '
    _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
    _filedir() { :; }
    quillmark-cli() { printf "Work\nFriends\n"; }
    source "$1"
    COMP_WORDS=(quillmark-cli pro); COMP_CWORD=1; _quillmark_cli; echo "${COMPREPLY[*]}"
    COMP_WORDS=(quillmark-cli profile use W); COMP_CWORD=3; _quillmark_cli; echo "${COMPREPLY[*]}"
' _ "$completion")
[ "$out" = $'profiles profile\nWork' ] || fail "completion gave: $out"
echo OK

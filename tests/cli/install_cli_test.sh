#!/usr/bin/env bash
# "cmake --install" puts quillmark-cli, its manual page and its bash completion in place, and
# the completion offers the commands and the profile names.
# Usage: install_cli_test.sh BUILD-FOLDER
set -u
source "$(dirname "$0")/../support/cli_env.sh"
prefix=$root
cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install: status $?"
[ -x "$prefix/bin/quillmark-cli" ] || fail "no quillmark-cli"
if command -v help2man >/dev/null; then
    grep -q 'profile add' "$prefix/share/man/man1/quillmark-cli.1" || fail "no manual page with the profile commands"
fi
# The completion, with stand-ins for what bash-completion provides.
out=$(bash -c '
    _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
    _filedir() { :; }
    quillmark-cli() { printf "Work\nFriends\n"; }
    source "$1" || exit 1
    COMP_WORDS=(quillmark-cli pro); COMP_CWORD=1; _quillmark_cli; echo "${COMPREPLY[*]}"
    COMP_WORDS=(quillmark-cli profile use W); COMP_CWORD=3; _quillmark_cli; echo "${COMPREPLY[*]}"
' _ "$prefix/share/bash-completion/completions/quillmark-cli")
[ "$out" = $'profiles profile\nWork' ] || fail "completion gave: $out"
echo OK

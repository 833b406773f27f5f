#!/usr/bin/env bash
# "cmake --install" puts quillmark-cli, its manual page and its bash completion in place.
# Usage: install_cli_test.sh BUILD-FOLDER
source "$(dirname "$0")/../support/cli_env.sh"
prefix=$root
cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install: status $?"
[ -x "$prefix/bin/quillmark-cli" ] || fail "no quillmark-cli"
if command -v help2man >/dev/null; then
    grep -q 'profile add' "$prefix/share/man/man1/quillmark-cli.1" || fail "no manual page with the profile commands"
fi
[ -s "$prefix/share/bash-completion/completions/quillmark-cli" ] || fail "no bash completion"
echo OK

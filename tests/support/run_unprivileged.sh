#!/usr/bin/env bash
# File permissions stop nothing for root, so the cases about read-only and unreadable
# files skip there. When the suite runs as root, run it once more as "nobody".
set -u
test_binary=$1
if [ "$(id -u)" -ne 0 ]; then
    echo "Not root: the permission cases already ran."
    exit 0
fi
if ! command -v setpriv >/dev/null; then
    echo "setpriv is missing; cannot drop to an ordinary user."
    exit 0
fi
drop=(setpriv --reuid=65534 --regid=65534 --clear-groups)
if ! "${drop[@]}" test -x "$test_binary"; then
    echo "An ordinary user cannot reach $test_binary here; the permission cases stay skipped."
    exit 0
fi
home=$(mktemp -d)
chown 65534:65534 "$home"
trap 'rm -rf "$home"' EXIT
"${drop[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" TMPDIR=/tmp \
    "$test_binary"

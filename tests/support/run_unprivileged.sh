#!/usr/bin/env bash
# Under root, runs the permission cases (GTEST_FILTER), which skip for root, again as "nobody".
set -u
drop=(setpriv --reuid=65534 --regid=65534 --clear-groups)
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null || ! "${drop[@]}" test -x "$1"; then
    echo "Not root, no setpriv, or $1 out of an ordinary user's reach: nothing to run again."
    exit 0
fi
home=$(mktemp -d)
chown 65534:65534 "$home"
trap 'rm -rf "$home"' EXIT
"${drop[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" TMPDIR=/tmp "$1"

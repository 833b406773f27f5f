# Sourced by the command-line tests: a fresh home $root, removed at exit; $ini is the settings file.
set -u
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data XDG_CACHE_HOME=$root/cache
ini=$root/config/Quillmark/Quillmark.INI
mkdir -p "$root/config/Quillmark"
fail() { echo "FAIL: $*"; exit 1; }

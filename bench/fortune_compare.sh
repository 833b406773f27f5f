#!/usr/bin/env bash
# Times "quillmark-cli next" against Debian's fortune, both drawing one entry from the
# same corpus (every fortune file of the fortunes and fortunes-min packages, about
# 2.5 MB and 15,000 entries), as whole processes over many alternated pairs, and prints
# the median wall-time ratio. Exits 1 when quillmark-cli takes more than 1.5 times as
# long as fortune, 2 when something needed is missing.
#
# Usage: bench/fortune_compare.sh [path/to/quillmark-cli] [pairs (default 200)]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-}
pairs=${2:-200}
target=1.5

if [ -z "$cli" ]; then
    for candidate in "$root/build/src/cli/quillmark-cli" "$root/build/bin/quillmark-cli"; do
        if [ -x "$candidate" ]; then
            cli=$candidate
            break
        fi
    done
fi
if [ -z "$cli" ]; then
    cli=$(find "$root" -maxdepth 4 -type f -name quillmark-cli -perm -u+x 2>/dev/null | head -n 1 || true)
fi

# The data files, strfile and fortune itself.
missing=()
for package in fortunes fortunes-min fortune-mod; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
fortune=/usr/games/fortune
command -v strfile >/dev/null || { echo "strfile not found" >&2; exit 2; }
[ -x "$fortune" ] || { echo "$fortune not found" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 not found" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The corpus: the packages' text files one after the other. A file whose last entry has
# no closing "%" line would run into the next file's first entry, so one is added.
corpus=$work/corpus
: >"$corpus"
while IFS= read -r file; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    case "$file" in *.dat | *.u8) continue ;; esac
    cat "$file" >>"$corpus"
    [ -z "$(tail -c 1 "$file")" ] || printf '\n' >>"$corpus"
    [ "$(tail -n 1 "$corpus")" = "%" ] || printf '%%\n' >>"$corpus"
done < <(dpkg -L fortunes fortunes-min | grep '^/usr/share/games/fortunes/' | sort -u)
entries=$(strfile "$corpus" | sed -n 's/^There were \([0-9]*\) strings.*/\1/p')
printf 'Corpus: %s bytes, %s entries (strfile)\n' "$(stat -c %s "$corpus")" "$entries"

# A profile whose footer file is the corpus, in settings and data folders of our own.
mkdir -p "$work/config/Quillmark" "$work/data" "$work/home"
: >"$work/header.txt"
cat >"$work/config/Quillmark/Quillmark.INI" <<EOF
[Profiles]
PROFILE 1=Fortunes
HEADER FILE 1=$work/header.txt
FOOTER FILE 1=$corpus
SIG FILE 1=$work/sig.txt
[User]
LAST PROFILE=Fortunes
EOF
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

"$fortune" "$corpus" >/dev/null || { echo "fortune failed" >&2; exit 2; }

if [ -z "$cli" ] || [ ! -x "$cli" ]; then
    echo "quillmark-cli not found (give its path as the first argument); timing fortune alone" >&2
    cli=""
else
    cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
    "$cli" next >/dev/null || { echo "quillmark-cli next failed" >&2; exit 2; }
    [ -s "$work/sig.txt" ] || { echo "quillmark-cli next wrote no signature" >&2; exit 2; }
fi

# Each run is one process started and waited for; the pairs alternate which goes first
# so that neither always meets a cache the other warmed.
python3 - "$pairs" "$target" "$fortune" "$corpus" "$cli" <<'EOF'
import os
import statistics
import sys
import time

pairs, target = int(sys.argv[1]), float(sys.argv[2])
fortune = [sys.argv[3], sys.argv[4]]
cli = [sys.argv[5], "next"] if sys.argv[5] else None
devnull = os.open(os.devnull, os.O_WRONLY)


def run(argv):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, status = os.waitpid(pid, 0)
    elapsed = (time.perf_counter_ns() - start) / 1e6
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed")
    return elapsed


for _ in range(10):
    run(fortune)
    if cli:
        run(cli)

fortune_ms, cli_ms, ratios = [], [], []
for i in range(pairs):
    if cli and i % 2:
        c = run(cli)
        f = run(fortune)
    else:
        f = run(fortune)
        c = run(cli) if cli else None
    fortune_ms.append(f)
    if cli:
        cli_ms.append(c)
        ratios.append(c / f)

print(f"fortune        median {statistics.median(fortune_ms):7.2f} ms  (min {min(fortune_ms):.2f}) over {pairs} runs")
if not cli:
    sys.exit(2)
print(f"quillmark-cli  median {statistics.median(cli_ms):7.2f} ms  (min {min(cli_ms):.2f}) over {pairs} runs")
ratio = statistics.median(ratios)
print(f"median ratio quillmark-cli / fortune: {ratio:.2f} (target at most {target})")
sys.exit(0 if ratio <= target else 1)
EOF

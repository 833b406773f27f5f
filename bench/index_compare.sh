#!/usr/bin/env bash
# Times "quillmark-cli next" against Debian's fortune on the fortunes corpus (about
# 2.5 MB) and on that corpus 40 times over (about 100 MB, 600,000 entries): whole
# processes, alternated pairs, medians. quillmark-cli's entry index is warm for these
# (one call before timing). Then the first call on the new 100 MB file, with the index
# cold (the cache folder emptied before each call), and, when a second quillmark-cli is
# given (one without the index, for example built from an older commit), that program's
# full parse of the same file for comparison.
#
# Targets: warm at most 1.0 times fortune on 100 MB and 1.2 times on 2.5 MB; cold at most
# 1.5 times the full parse. Exits 1 when a target is missed, 2 when something is missing.
#
# Usage: bench/index_compare.sh [quillmark-cli] [full-parse-quillmark-cli] [pairs (default 100)]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/bin/quillmark-cli}
baseline=${2:-}
pairs=${3:-100}
[ -x "$cli" ] || { echo "quillmark-cli not found at $cli" >&2; exit 2; }
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
[ -z "$baseline" ] || baseline=$(cd "$(dirname "$baseline")" && pwd)/$(basename "$baseline")

# fortune, strfile and the fortunes themselves; installed here, never by the tests.
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
[ -x "$fortune" ] && command -v strfile >/dev/null && command -v python3 >/dev/null ||
    { echo "fortune, strfile or python3 missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Quillmark" "$work/data" "$work/home" "$work/cache"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache

# The corpus: the packages' text files one after the other, each closed by a "%" line.
small=$work/fortunes
: >"$small"
while IFS= read -r file; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    case "$file" in *.dat | *.u8) continue ;; esac
    cat "$file" >>"$small"
    [ -z "$(tail -c 1 "$file")" ] || printf '\n' >>"$small"
    [ "$(tail -n 1 "$small")" = "%" ] || printf '%%\n' >>"$small"
done < <(dpkg -L fortunes fortunes-min | grep '^/usr/share/games/fortunes/' | sort -u)
large=$work/fortunes40
for _ in $(seq 40); do cat "$small"; done >"$large"
for corpus in "$small" "$large"; do
    printf '%s: %s bytes, %s entries\n' "$(basename "$corpus")" "$(stat -c %s "$corpus")" \
        "$(strfile "$corpus" | sed -n 's/^There were \([0-9]*\) strings.*/\1/p')"
done


python3 - "$pairs" "$fortune" "$cli" "$baseline" "$small" "$large" "$work" <<'PY'
import os, shutil, statistics, subprocess, sys, time

pairs, fortune, cli, baseline, small, large, work = sys.argv[1:8]
pairs = int(pairs)
devnull = os.open(os.devnull, os.O_WRONLY)
cache = os.path.join(work, "cache")
failed = False


def profile(corpus):
    subprocess.run(["bash", "-c", f'''cat >"{work}/config/Quillmark/Quillmark.INI" <<INI
[Profiles]
PROFILE 1=Fortunes
HEADER FILE 1={work}/header.txt
FOOTER FILE 1={corpus}
SIG FILE 1={work}/sig.txt
[User]
LAST PROFILE=Fortunes
INI'''], check=True)
    open(f"{work}/header.txt", "w").close()


def run(argv):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, status = os.waitpid(pid, 0)
    elapsed = (time.perf_counter_ns() - start) / 1e6
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed")
    return elapsed


def warm(corpus, target):
    global failed
    profile(corpus)
    for _ in range(5):
        run([fortune, corpus]); run([cli, "next"])
    f_ms, c_ms, ratios = [], [], []
    for i in range(pairs):
        if i % 2:
            c = run([cli, "next"]); f = run([fortune, corpus])
        else:
            f = run([fortune, corpus]); c = run([cli, "next"])
        f_ms.append(f); c_ms.append(c); ratios.append(c / f)
    ratio = statistics.median(ratios)
    name = os.path.basename(corpus)
    print(f"{name}: fortune median {statistics.median(f_ms):.2f} ms, quillmark-cli (index warm) "
          f"median {statistics.median(c_ms):.2f} ms, median ratio {ratio:.2f} (target <= {target})")
    failed |= ratio > target


def cold(corpus, runs=15):
    global failed
    profile(corpus)
    cold_ms, full_ms = [], []
    for _ in range(runs):
        shutil.rmtree(cache, ignore_errors=True)
        os.makedirs(cache)
        cold_ms.append(run([cli, "next"]))
        if baseline:
            full_ms.append(run([baseline, "next"]))
    line = f"{os.path.basename(corpus)}: first call, index cold: median {statistics.median(cold_ms):.2f} ms"
    if baseline:
        ratio = statistics.median(cold_ms) / statistics.median(full_ms)
        line += f"; full parse without the index: median {statistics.median(full_ms):.2f} ms; ratio {ratio:.2f} (target <= 1.5)"
        failed |= ratio > 1.5
    print(line)


warm(small, 1.2)
warm(large, 1.0)
cold(large)
sys.exit(1 if failed else 0)
PY

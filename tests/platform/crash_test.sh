#!/usr/bin/env bash
# crash_test.sh CRASH_WRITER [KILLS]: after each random kill both files hold one version whole.
set -u
writer=$1
kills=${2:-300}
seed=${CRASH_SEED:-$(date +%s)}
RANDOM=$seed
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() { echo "seed=$seed kill $k: $*"; exit 1; }
k=0
"$writer" once "$folder" || fail "the first write failed"
last=0
for ((k = 1; k <= kills; k++)); do
    "$writer" loop "$folder" &
    sleep "0.0$(printf %02d $((RANDOM % 40 + 1)))" # 1 to 40 ms
    kill -KILL $!
    wait $! 2>/dev/null
    report=$("$writer" check "$folder") || fail "$report"
    settings=${report#settings=}
    [ "$settings" -ge "$last" ] || fail "settings went back from version $last to $settings"
    last=$settings
    "$writer" once "$folder" && report=$("$writer" check "$folder") || fail "the write after the kill: $report"
    extra=$(ls -A "$folder" | grep -vxE 'Quillmark\.INI(\.lock)?|sig\.txt') # the lock file is meant to stay
    [ -z "$extra" ] || fail "temporary files stay after the next write: $extra"
done
echo "seed=$seed kills=$kills versions=$last"

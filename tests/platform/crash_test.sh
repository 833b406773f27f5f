#!/usr/bin/env bash
# Kills a program that rewrites its settings file and a signature file, at random
# moments, and checks after each kill that both files hold one version whole, that the
# versions never go back, and that the next write leaves no temporary file behind.
# Usage: crash_test.sh CRASH_WRITER [KILLS]; CRASH_SEED repeats a run.
set -u
writer=$1
kills=${2:-300}
seed=${CRASH_SEED:-$(date +%s)}
RANDOM=$seed
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
folder=$root/files
mkdir "$folder"

violations=0
leftoverKills=0
last=0
violation() {
    echo "kill $1: $2"
    violations=$((violations + 1))
}

"$writer" once "$folder" || { echo "the first write failed"; exit 1; }
for ((k = 1; k <= kills; k++)); do
    "$writer" loop "$folder" &
    pid=$!
    # 1 to 40 ms: from before the first write to deep into the loop.
    sleep "0.0$(printf %02d $((RANDOM % 40 + 1)))"
    kill -KILL $pid
    wait $pid 2>/dev/null
    if ! report=$("$writer" check "$folder"); then
        violation $k "$report"
        continue
    fi
    settings=${report#settings=}
    settings=${settings%% *}
    [ "$settings" -ge "$last" ] || violation $k "settings went back from version $last to $settings"
    last=$settings
    [ "${report##*leftovers=}" -eq 0 ] || leftoverKills=$((leftoverKills + 1))

    # What a kill left must be gone after the next write.
    "$writer" once "$folder" || violation $k "the write after the kill failed"
    report=$("$writer" check "$folder") || violation $k "$report"
    [ "${report##*leftovers=}" -eq 0 ] || violation $k "temporary files stay after the next write: $(ls -A "$folder")"
done

if [ -s "$root/crash_writer.log" ]; then
    violation end "writes failed: $(head -3 "$root/crash_writer.log")"
fi
echo "seed=$seed kills=$kills versions=$last kills_leaving_a_temporary_file=$leftoverKills violations=$violations"
[ $violations -eq 0 ]

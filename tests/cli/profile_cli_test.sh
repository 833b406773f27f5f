#!/usr/bin/env bash
# quillmark-cli profile commands as processes: exit statuses, the settings lock, and
# concurrent writers that must not lose each other's changes.
# Usage: profile_cli_test.sh PATH-TO-quillmark-cli PATH-TO-settings_writer
set -u
cli=$1
writer=$2
root=$(mktemp -d)
holder=
cleanup() {
    [ -n "$holder" ] && kill "$holder" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/config/Quillmark" "$root/sigs dir"
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
ini=$root/config/Quillmark/Quillmark.INI
fail() { echo "FAIL: $*"; exit 1; }
printf 'Top\n' >"$root/sigs dir/h.txt"
printf 'Bottom\n' >"$root/sigs dir/f.txt"

# Relative paths are stored absolute; the output defaults to sig.txt in the signature
# folder, which a fresh account does not have yet.
(cd "$root/sigs dir" && "$cli" profile add "Work mail" --header h.txt --footer f.txt) || fail "add: status $?"
[ "$("$cli" profile show)" = "header: $root/sigs dir/h.txt
footer: $root/sigs dir/f.txt
output: $root/data/Quillmark/Sigs/sig.txt" ] || fail "show: $("$cli" profile show)"
"$cli" next >/dev/null || fail "next after add: status $?"
[ "$(cat "$root/data/Quillmark/Sigs/sig.txt")" = $'-- \nTop\nBottom' ] || fail "next did not use the new profile"
"$cli" profile add "work MAIL" --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" 2>/dev/null
[ $? -eq 2 ] || fail "duplicate name: status not 2"
"$cli" profile add Other --header "$root/nothing.txt" --footer "$root/sigs dir/f.txt" 2>/dev/null
[ $? -eq 1 ] || fail "missing header file: status not 1"
# A named pipe in place of the settings file is refused at once, never waited on.
mv "$ini" "$root/ini.saved" && mkfifo "$ini"
timeout 10 "$cli" profile add Other --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" 2>"$root/err"
[ $? -eq 1 ] || fail "settings file a named pipe: status not 1"
grep -qF "$ini" "$root/err" || fail "settings file a named pipe: $(cat "$root/err")"
rm "$ini" && mv "$root/ini.saved" "$ini"
"$cli" profile add Other --header "$root/sigs dir/h.txt" 2>/dev/null
[ $? -eq 2 ] || fail "missing --footer: status not 2"
"$cli" profile use Nobody 2>/dev/null
[ $? -eq 2 ] || fail "use of an unknown profile: status not 2"
"$cli" profile --help | grep -q "add" || fail "profile --help"

# A program that holds the lock and never lets go: give up after 5 s, change nothing.
before=$(md5sum <"$ini")
# One process that takes the lock and then becomes "sleep", so killing it ends the lock.
bash -c 'exec 9>>"$1" && flock 9 && exec sleep 60' _ "$ini.lock" &
holder=$!
sleep 0.3
start=$(date +%s%N)
"$cli" profile add Blocked --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" 2>"$root/err"
status=$?
elapsed=$((($(date +%s%N) - start) / 1000000))
[ $status -eq 1 ] || fail "lock held: status $status"
grep -q "did not let go within 5 s" "$root/err" || fail "lock held: $(cat "$root/err")"
[ $elapsed -ge 4900 ] && [ $elapsed -lt 9000 ] || fail "lock held: gave up after $elapsed ms"
[ "$(md5sum <"$ini")" = "$before" ] || fail "lock held: the settings file changed"
"$cli" next >/dev/null || fail "next must not wait for the lock"
# Its holder killed: the lock file stays behind and blocks nobody.
kill -9 "$holder"
wait "$holder" 2>/dev/null
holder=
[ -e "$ini.lock" ] || fail "the lock file is gone"
timeout 2 "$cli" profile add Freed --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" ||
    fail "after a killed holder: status $?"

# Two profile adds and a third writer through the settings engine, all at once, 200 times.
runs=${PROFILE_RACE_RUNS:-200}
for ((i = 0; i < runs; i++)); do
    "$cli" profile add "A$i" --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" &
    a=$!
    "$cli" profile add "B$i" --header "$root/sigs dir/h.txt" --footer "$root/sigs dir/f.txt" &
    b=$!
    "$writer" "$ini" SETTINGS "W$i" "$i" &
    w=$!
    wait $a || fail "run $i: add A: status $?"
    wait $b || fail "run $i: add B: status $?"
    wait $w || fail "run $i: writer: status $?"
    names=$("$cli" profiles)
    grep -qx "A$i" <<<"$names" || fail "run $i: profile A$i lost"
    grep -qx "B$i" <<<"$names" || fail "run $i: profile B$i lost"
    grep -q "^W$i=$i\$" "$ini" || fail "run $i: the writer's key lost"
    "$cli" profile remove "A$i" & a=$!
    "$cli" profile remove "B$i" & b=$!
    wait $a && wait $b || fail "run $i: remove: status $?"
done
[ "$("$cli" profiles)" = $'Work mail\nFreed' ] || fail "after the races: $("$cli" profiles)"
for ((i = 0; i < runs; i++)); do grep -q "^W$i=$i\$" "$ini" || fail "key W$i lost at the end"; done
echo "OK: $runs rounds"

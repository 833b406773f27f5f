#!/usr/bin/env bash
# quillmark-cli's profile commands: refusals change nothing, concurrent commands lose nothing.
source "$(dirname "$0")/../support/cli_env.sh"
cli=$1
mkdir "$root/s d"
printf 'Top\n' >"$root/s d/h.txt"
printf 'Bottom\n' >"$root/s d/f.txt"
add() { "$cli" profile add "$1" --header "$root/s d/h.txt" --footer "$root/s d/f.txt" "${@:2}"; }

# Relative paths are stored absolute; the output defaults to sig.txt in a new signature folder.
(cd "$root/s d" && "$cli" profile add "Work mail" --header h.txt --footer f.txt) || fail "add: status $?"
[ "$("$cli" profile show "work MAIL")" = "header: $root/s d/h.txt
footer: $root/s d/f.txt
output: $root/data/Quillmark/Sigs/sig.txt" ] || fail "show: $("$cli" profile show "work MAIL")"
add Other --output "$root/other.txt" && "$cli" profile use "WORK MAIL" || fail "add Other, use: status $?"
"$cli" next >/dev/null || fail "next after use: status $?"
[ "$(cat "$root/data/Quillmark/Sigs/sig.txt")" = $'-- \nTop\nBottom' ] || fail "next did not use the chosen profile"

# Refusals: status 2 for what the user typed wrong, 1 for what could not be done; nothing changes.
refused() {
    local status=$1 message=$2 before
    shift 2
    before=$(md5sum <"$ini")
    "$@" >/dev/null 2>"$root/err"
    local got=$?
    [ $got -eq "$status" ] && grep -qF -- "$message" "$root/err" || fail "$*: status $got, $(cat "$root/err")"
    [ "$(md5sum <"$ini")" = "$before" ] || fail "$*: the settings file changed"
}
refused 2 "already a profile called 'Work mail'" add "work MAIL"
refused 1 "does not exist" add Missing --output "$root/missing/sig.txt"
refused 2 "header file" add Loop --output "$root/s d/h.txt"
refused 1 "no file at" "$cli" profile add Nothing --header "$root/nothing.txt" --footer "$root/s d/f.txt"
refused 2 "Nobody" "$cli" profile remove Nobody
# A program that holds the lock and never lets go: status 1 after 5 s.
bash -c 'exec 9>>"$1" && flock 9 && exec sleep 60' _ "$ini.lock" &
holder=$!
sleep 0.3
refused 1 "did not let go within 5 s" add Blocked
"$cli" next >/dev/null || fail "next must not wait for the lock"
kill "$holder" && wait "$holder" 2>/dev/null

# Two adds at once, then two removes at once, many times: no change is lost.
runs=${PROFILE_RACE_RUNS:-50}
for ((i = 0; i < runs; i++)); do
    add "A$i" & a=$!
    add "B$i" & b=$!
    wait $a && wait $b || fail "run $i: add: status $?"
    names=$("$cli" profiles)
    grep -qx "A$i" <<<"$names" && grep -qx "B$i" <<<"$names" || fail "run $i: a profile was lost: $names"
    "$cli" profile remove "A$i" & a=$!
    "$cli" profile remove "B$i" & b=$!
    wait $a && wait $b || fail "run $i: remove: status $?"
done
[ "$("$cli" profiles)" = $'Work mail\nOther' ] || fail "after the races: $("$cli" profiles)"
echo "OK: $runs rounds"

#!/usr/bin/env bash
# quillmark-cli next on a machine where Quillmark never ran: a signature from the samples.
# Usage: first_run_cli_test.sh PATH-TO-quillmark-cli SAMPLE-SIGS-FOLDER
set -u
cli=$1
samples=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export HOME=$root XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
ini=$root/config/Quillmark/Quillmark.INI
sigs=$root/data/Quillmark/Sigs
fail() { echo "FAIL: $*"; exit 1; }

"$cli" next >"$root/printed" 2>"$root/err"; status=$?
[ $status -eq 0 ] || fail "first run: status $status: $(cat "$root/err")"
cmp -s "$samples/header.txt" "$sigs/header.txt" || fail "header.txt not copied from the samples"
cmp -s "$samples/footer.txt" "$sigs/footer.txt" || fail "footer.txt not copied from the samples"
[ -s "$root/printed" ] || fail "nothing printed"
cmp -s "$root/printed" "$sigs/sig.txt" || fail "printed bytes differ from sig.txt"
[ "$(wc -l <"$root/err")" -eq 1 ] || fail "expected one line on stderr: $(cat "$root/err")"
grep -q "quillmark-cli profile add" "$root/err" || fail "no hint how to make a profile"
[ -e "$ini" ] && fail "the settings file was created"

# The user's own files in the signature folder are used and never replaced.
printf 'My header\n' >"$sigs/header.txt"
printf 'My footer\n' >"$sigs/footer.txt"
"$cli" next >"$root/printed" 2>/dev/null || fail "second run: status $?"
[ "$(cat "$sigs/header.txt")" = 'My header' ] || fail "the user's header.txt was replaced"
[ "$(cat "$root/printed")" = $'-- \nMy header\nMy footer' ] || fail "unexpected signature $(cat "$root/printed")"

# A signature folder chosen in the preferences is where the samples go.
mkdir -p "$root/config/Quillmark" "$root/mine"
printf '[Paths]\nDEFAULT SIG PATH=%s/\n[SETTINGS]\nADD DASHES TO SIG HEADER=False\n' "$root/mine" >"$ini"
before=$(md5sum <"$ini")
"$cli" next >"$root/printed" 2>/dev/null || fail "chosen folder: status $?"
[ -f "$root/mine/header.txt" ] && [ -f "$root/mine/sig.txt" ] || fail "chosen folder not used"
[ "$(md5sum <"$ini")" = "$before" ] || fail "the settings file was changed"

# No samples and no files of the user's: status 1 and a message, nothing printed.
rm -f "$root/mine"/*
cp "$cli" "$root/lonely-cli"
"$root/lonely-cli" next >"$root/printed" 2>"$root/err"; status=$?
if [ ! -d /usr/local/share/quillmark/Sigs ] && [ ! -d /usr/share/quillmark/Sigs ]; then
    [ $status -eq 1 ] || fail "no samples: status $status"
    grep -q "no sample files" "$root/err" || fail "no samples: $(cat "$root/err")"
    [ -s "$root/printed" ] && fail "no samples: something printed"
fi
echo OK

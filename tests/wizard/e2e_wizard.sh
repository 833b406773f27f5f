#!/usr/bin/env bash
# A new user's first start in a virtual X session, the wizard driven with the keyboard:
#   e2e_wizard.sh QUILLMARK
set -u
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb_session.sh"
# The first start opens the quick-start page in the browser; here it is only noted.
printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$root" >"$root/bin/xdg-open"
chmod +x "$root/bin/xdg-open"
export PATH=$root/bin:$PATH
ini=$root/config/Quillmark/Quillmark.INI
sigs=$root/data/Quillmark/Sigs
mkdir -p "$root/data/Quillmark" && cp -r "$(dirname "${BASH_SOURCE[0]}")/../../resources/Sigs" "$sigs"

window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 | grep .; }
active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# Sends keys to window $1 once it is active, so that none land in the main window.
keys_to() {
    xdotool windowactivate "$1" >/dev/null 2>&1
    xvfb_session_wait 30 active "$1" || fail "window $1 did not become active"
    xdotool "${@:2}"
    sleep 0.3
}

xvfb_session_start
"$program" >"$root/quillmark.out" 2>&1 &
pids+=($!)
xvfb_session_wait 150 window "Quillmark Signature Wizard" || fail "the wizard did not open on a first start"
sleep 1 # start-up goes on after showing the wizard
wizard=$(window "Quillmark Signature Wizard")
window "Quillmark( Last Update .*)?" >/dev/null || fail "the main window is not shown on a first start"
active "$wizard" || fail "the wizard does not have the focus"
keys_to "$wizard" key --clearmodifiers alt+n # page 1 keeps the name "Friends"
keys_to "$wizard" type --delay 20 "Ann Example"
keys_to "$wizard" key --clearmodifiers Tab
keys_to "$wizard" type --delay 20 "ann@example.org"
keys_to "$wizard" key --clearmodifiers alt+n
keys_to "$wizard" key --clearmodifiers alt+n # page 3 keeps "Creative Words"
xvfb_session_wait 50 window "Finished Wizard" || fail "no \"Finished Wizard\" message"
keys_to "$(window "Finished Wizard")" key --clearmodifiers Return
xvfb_session_wait 30 sh -c "! xdotool search --onlyvisible --name '^Quillmark Signature Wizard\$'" ||
    fail "the wizard stayed open"

kill "${pids[0]}"
wait "${pids[0]}" || fail "exit status $? after SIGTERM"
grep -qx "PROFILE 1=Friends" "$ini" && grep -qx "FOOTER FILE 1=$sigs/words.txt" "$ini" &&
    grep -qx "LAST PROFILE=Friends" "$ini" || fail "the settings do not hold profile Friends"
sig=$(cat "$sigs/sig.txt")
[[ "${sig#-- $'\n'}" == $'Ann Example\nann@example.org\n'?* ]] || fail "the signature is: $sig"
echo PASS

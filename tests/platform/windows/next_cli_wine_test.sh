#!/usr/bin/env bash
# quillmark-cli.exe under Wine: CR LF signatures, and names no code page holds kept whole.
set -u
wine=$1
cli=$2
fail() { echo "FAIL: $*"; exit 1; }
export WINEDEBUG=-all LC_ALL=C.UTF-8 # Wine hands the arguments over in the locale's encoding
win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
folder=$(winepath -u "$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Quillmark
[ -d "${folder%/Quillmark}" ] || fail "no %APPDATA% under Wine: $folder"
root=$(mktemp -d)
mkdir -p "$folder"
[ -e "$folder/Quillmark.INI" ] && cp "$folder/Quillmark.INI" "$root/saved.ini"
trap 'if [ -e "$root/saved.ini" ]; then cp "$root/saved.ini" "$folder/Quillmark.INI"; else rm -f "$folder/Quillmark.INI"; fi; rm -rf "$root"' EXIT
check_signature() {
    case "$(cat "$1")" in
    $'Kind regards\r\nAnn\r\nQuote one\r' | $'Kind regards\r\nAnn\r\nQuote two\r') ;;
    *) fail "not the signature, or not every line ends in CR LF: $(od -An -c "$1" 2>&1) $(cat "$root/err")" ;;
    esac
    ls -A "$(dirname "$1")" | grep -q '^\.' && fail "a temporary file was left"
}
printf 'Kind regards\nAnn\n' >"$root/header.txt"
printf 'Quote one\r\n%%\r\nQuote two\r\n' >"$root/quotes.txt"
out="$root/sig ü.txt"
printf '[SETTINGS]\r\nADD DASHES TO SIG HEADER=False\r\n[Profiles]\r\nPROFILE 1=Work\r\nHEADER FILE 1=%s\r\nFOOTER FILE 1=%s\r\nSIG FILE 1=%s\r\n' \
    "$(win_path "$root/header.txt")" "$(win_path "$root/quotes.txt")" "$(win_path "$out")" >"$folder/Quillmark.INI"
"$wine" "$cli" next >/dev/null 2>"$root/err" || fail "next: status $? $(cat "$root/err")"
check_signature "$out"

name="Łódź ü Ω"
mkdir -p "$root/wyjście Ω"
cp "$root/header.txt" "$root/nagłówek Ω.txt"
cp "$root/quotes.txt" "$root/stopka Ω.txt"
"$wine" "$cli" profile add "$name" --header "$(win_path "$root/nagłówek Ω.txt")" \
    --footer "$(win_path "$root/stopka Ω.txt")" --output "$(win_path "$root/wyjście Ω/sig.txt")" \
    >/dev/null 2>"$root/err" || fail "profile add: status $? $(cat "$root/err")"
grep -qF "=$name"$'\r' "$folder/Quillmark.INI" || fail "profile name not kept: $(cat "$folder/Quillmark.INI")"
"$wine" "$cli" next >/dev/null 2>"$root/err" || fail "next with $name: status $? $(cat "$root/err")"
check_signature "$root/wyjście Ω/sig.txt"
echo OK

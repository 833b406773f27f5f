#!/usr/bin/env bash
# quillmark-cli.exe next under Wine, against a settings file in Wine's %APPDATA%: the
# signature file and the printed signature have Windows line ends (CR LF).
# Arguments: the Wine launcher and the program. WINEPREFIX names the Wine prefix.
set -u
wine=$1
cli=$2
fail() { echo "FAIL: $*"; exit 1; }
export WINEDEBUG=-all

# Wine's own idea of %APPDATA%, as a Unix path.
appdata_win=$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
[ -n "$appdata_win" ] || fail "no %APPDATA% under Wine"
appdata=$("${wine%/*}/winepath" -u "$appdata_win" 2>/dev/null || winepath -u "$appdata_win")
[ -d "$appdata" ] || fail "%APPDATA% ($appdata_win) is no folder: $appdata"

root=$(mktemp -d)
folder="$appdata/Quillmark"
saved=""
if [ -e "$folder/Quillmark.INI" ]; then
    saved="$root/saved.ini"
    cp "$folder/Quillmark.INI" "$saved"
fi
cleanup() {
    if [ -n "$saved" ]; then cp "$saved" "$folder/Quillmark.INI"; else rm -f "$folder/Quillmark.INI"; fi
    rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$folder" "$root/sigs"

win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
printf 'Kind regards\nAnn\n' >"$root/sigs/header.txt"
printf 'Quote one\r\n%%\r\nQuote two\r\n' >"$root/sigs/quotes.txt"
printf '[SETTINGS]\r\nSIG SEPARATOR CHARACTER=%%\r\nADD DASHES TO SIG HEADER=False\r\n[Profiles]\r\nPROFILE 1=Work\r\nHEADER FILE 1=%s\r\nFOOTER FILE 1=%s\r\nSIG FILE 1=%s\r\n[User]\r\nLAST PROFILE=Work\r\n' \
    "$(win_path "$root/sigs/header.txt")" "$(win_path "$root/sigs/quotes.txt")" \
    "$(win_path "$root/sigs/sig ü.txt")" >"$folder/Quillmark.INI"

"$wine" "$cli" next >"$root/printed" 2>"$root/err" || fail "next: status $? $(cat "$root/err")"
out="$root/sigs/sig ü.txt"
[ -f "$out" ] || fail "no signature file written: $(ls "$root/sigs") $(cat "$root/err")"
sig=$(od -An -c "$out" | tr -s ' ')
case "$(tr -d '\r' <"$out")" in
$'Kind regards\nAnn\nQuote one' | $'Kind regards\nAnn\nQuote two') ;;
*) fail "unexpected signature: $sig" ;;
esac
lf=$(tr -cd '\n' <"$out" | wc -c)
crlf=$(grep -c $'\r$' "$out")
[ "$lf" -ge 2 ] || fail "too few lines: $sig"
[ "$crlf" -eq "$lf" ] || fail "not every line ends in CR LF: $sig"
grep -q $'\r\r' "$out" && fail "doubled CR: $sig"
ls -A "$root/sigs" | grep -q '^\.' && fail "a temporary file was left"
echo "signature: $sig"
exit 0

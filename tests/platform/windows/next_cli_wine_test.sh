#!/usr/bin/env bash
# quillmark-cli.exe next under Wine, against a settings file in Wine's %APPDATA%: the
# signature file and the printed signature have Windows line ends (CR LF). Then a profile
# added with names outside the code page (read from the UTF-16 command line) is used by next.
# Arguments: the Wine launcher and the program. WINEPREFIX names the Wine prefix.
set -u
wine=$1
cli=$2
fail() { echo "FAIL: $*"; exit 1; }
export WINEDEBUG=-all
# Wine hands the arguments over in the Unix locale's encoding.
export LC_ALL=C.UTF-8

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

# The signature file: one header and one footer entry, every line ended by CR LF.
check_signature() {
    [ -f "$1" ] || fail "no signature file $1: $(ls "$(dirname "$1")") $(cat "$root/err")"
    local sig lf crlf
    sig=$(od -An -c "$1" | tr -s ' ')
    case "$(tr -d '\r' <"$1")" in
    $'Kind regards\nAnn\nQuote one' | $'Kind regards\nAnn\nQuote two') ;;
    *) fail "unexpected signature: $sig" ;;
    esac
    lf=$(tr -cd '\n' <"$1" | wc -c)
    crlf=$(grep -c $'\r$' "$1")
    [ "$lf" -ge 2 ] || fail "too few lines: $sig"
    [ "$crlf" -eq "$lf" ] || fail "not every line ends in CR LF: $sig"
    grep -q $'\r\r' "$1" && fail "doubled CR: $sig"
    ls -A "$(dirname "$1")" | grep -q '^\.' && fail "a temporary file was left"
    echo "signature: $sig"
}
win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
printf 'Kind regards\nAnn\n' >"$root/sigs/header.txt"
printf 'Quote one\r\n%%\r\nQuote two\r\n' >"$root/sigs/quotes.txt"
printf '[SETTINGS]\r\nSIG SEPARATOR CHARACTER=%%\r\nADD DASHES TO SIG HEADER=False\r\n[Profiles]\r\nPROFILE 1=Work\r\nHEADER FILE 1=%s\r\nFOOTER FILE 1=%s\r\nSIG FILE 1=%s\r\n[User]\r\nLAST PROFILE=Work\r\n' \
    "$(win_path "$root/sigs/header.txt")" "$(win_path "$root/sigs/quotes.txt")" \
    "$(win_path "$root/sigs/sig ü.txt")" >"$folder/Quillmark.INI"

"$wine" "$cli" next >"$root/printed" 2>"$root/err" || fail "next: status $? $(cat "$root/err")"
check_signature "$root/sigs/sig ü.txt"

# Letters no Windows code page holds all of: only the UTF-16 command line keeps them.
name="Łódź ü Ω"
mkdir -p "$root/wyjście Ω"
cp "$root/sigs/header.txt" "$root/sigs/nagłówek Ω.txt"
cp "$root/sigs/quotes.txt" "$root/sigs/stopka Ω.txt"
"$wine" "$cli" profile add "$name" --header "$(win_path "$root/sigs/nagłówek Ω.txt")" \
    --footer "$(win_path "$root/sigs/stopka Ω.txt")" --output "$(win_path "$root/wyjście Ω/sig.txt")" \
    >/dev/null 2>"$root/err" || fail "profile add: status $? $(cat "$root/err")"
grep -qF "=$name"$'\r' "$folder/Quillmark.INI" || fail "profile name not kept: $(cat "$folder/Quillmark.INI")"
"$wine" "$cli" next >/dev/null 2>"$root/err" || fail "next with $name: status $? $(cat "$root/err")"
check_signature "$root/wyjście Ω/sig.txt"
exit 0

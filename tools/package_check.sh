#!/usr/bin/env bash
# Checks a built quillmark .deb: lintian finds no error, the AppStream and desktop files
# validate, every file the programs look for sits under /usr/share/quillmark (where they
# look after the folder beside the executable), and the unpacked programs start. With
# --install (as root on a throwaway machine such as CI) it also installs the package, runs
# the installed programs on a fresh account, and removes the package again.
# Usage: package_check.sh QUILLMARK.deb [--install]
set -euo pipefail

deb=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-package.XXXXXX")
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT
fail() {
    echo "package check: $*" >&2
    exit 1
}

version=$(dpkg-deb -f "$deb" Version)
echo "== $(basename "$deb"): $(du -k "$deb" | cut -f1) KB, $(dpkg-deb -c "$deb" | grep -vc '/$') files"
echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian reports an error"

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
appstreamcli validate --no-net "$share/metainfo/org.quillmark.Quillmark.metainfo.xml" >/dev/null ||
    fail "the AppStream metadata does not validate"
desktop-file-validate "$share/applications/org.quillmark.Quillmark.desktop" || fail "the desktop file does not validate"
grep -q "<release version=\"$version\"" "$share/metainfo/org.quillmark.Quillmark.metainfo.xml" ||
    fail "the AppStream metadata has no release $version"
changelog=$(zcat "$share/doc/quillmark/changelog.gz")
[[ $changelog == "quillmark ($version) "* ]] || fail "the changelog's newest entry is not $version"

# Every Help page the programs open, the samples the wizard and "next" copy, the pictures of
# the decorative scheme.
pages=$(grep -rhoE '"[a-z]+\.htm"' "$here/src" | tr -d '"' | sort -u)
for f in $(printf 'Help/%s ' $pages) Sigs/header.txt Sigs/footer.txt Sigs/blank.txt Sigs/words.txt \
    Sigs/humour.txt looks/button.png looks/background.png; do
    [ -f "$share/quillmark/$f" ] || fail "/usr/share/quillmark/$f is missing"
done
for f in man/man1/quillmark.1.gz man/man1/quillmark-cli.1.gz bash-completion/completions/quillmark-cli \
    icons/hicolor/scalable/apps/org.quillmark.Quillmark.svg icons/hicolor/256x256/apps/org.quillmark.Quillmark.png \
    doc/quillmark/copyright; do
    [ -f "$share/$f" ] || fail "/usr/share/$f is missing"
done
# The programs look for their data in the folder compiled in from the install prefix.
! grep -l /usr/local "$root/usr/bin/"* || fail "a program looks for its data under /usr/local"
echo "== files in place"

# A fresh account for one program: an empty home folder, nothing else from this one.
fresh() {
    home=$(mktemp -d "$tmp/home.XXXXXX")
    env=(env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen)
}

# Starts the programs of BIN; with "installed", also checks what needs the data folder
# /usr/share/quillmark: the samples copied at the first start, and "next".
run_programs() {
    local bin=$1 home pid said
    local -a env
    fresh
    [ "$("${env[@]}" "$bin/quillmark-cli" --version)" = "quillmark-cli $version" ] ||
        fail "$bin/quillmark-cli --version does not say $version"
    # quillmark has no --version: it has started when it still runs a few seconds later (the
    # first-start wizard waits offscreen).
    "${env[@]}" "$bin/quillmark" >"$home/quillmark.log" 2>&1 &
    pid=$!
    sleep 3
    kill -0 $pid 2>/dev/null || { cat "$home/quillmark.log"; fail "$bin/quillmark ended at start"; }
    kill $pid
    wait $pid 2>/dev/null || true
    echo "== $bin: quillmark-cli --version and quillmark start"
    [ "$2" = installed ] || return 0
    [ -f "$home/.local/share/Quillmark/Sigs/header.txt" ] || fail "quillmark did not copy the samples"
    fresh
    said=$("${env[@]}" "$bin/quillmark-cli" next 2>/dev/null) || fail "quillmark-cli next failed"
    [ -n "$said" ] && [ "$(cat "$home/.local/share/Quillmark/Sigs/sig.txt")" = "$said" ] ||
        fail "quillmark-cli next did not write the signature it printed"
    echo "== $bin: quillmark-cli next on a fresh account:"
    printf '%s\n' "$said"
}

run_programs "$root/usr/bin" unpacked

if [ "${2:-}" = --install ]; then
    [ "$(id -u)" -eq 0 ] || fail "--install needs root"
    ! dpkg-query -W -f='${Status}' quillmark 2>/dev/null | grep -q 'install ok installed' ||
        fail "quillmark is installed on this machine already; the check would remove it"
    trap 'apt-get remove -y -qq quillmark >/dev/null || true; cleanup' EXIT
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 ||
        { cat "$tmp/apt.log"; fail "apt-get install failed"; }
    run_programs /usr/bin installed
fi
echo "== package check passed"

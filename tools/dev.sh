#!/usr/bin/env bash
# Builds Quillmark on Debian 12 and starts it ("start"), runs every test ("test"), builds
# the core, the command line and their tests for Windows and runs them under Wine
# ("test-windows"), runs the fuzz targets for SECONDS each ("fuzz [SECONDS]", default 60), or
# compares the size of the tests with the size of the code ("test-size"), or builds the Debian
# package quillmark_VERSION_amd64.deb in build-package/ and checks it ("package [--install]":
# --install, as root on a throwaway machine such as CI, installs it to run the installed
# programs and removes it again).
# Installs the Debian packages it needs when they are missing (as root, or with sudo).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${QUILLMARK_BUILD_DIR:-$here/build}"
packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    libx11-dev fonts-comic-neue libcli11-dev help2man xvfb trayer xdotool openbox x11-utils)
# libFuzzer comes with clang's runtime libraries.
fuzz_packages=(cmake make clang libclang-rt-dev)
# The Windows cross build (posix threads: std::mutex and std::thread), Wine to run it, and
# the build machine's Qt headers and code generators for the compile check of the Qt program.
windows_packages=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest wine wine64
    qt6-base-dev qt6-base-dev-tools libcli11-dev)
# The package build (dpkg-shlibdeps, Debian's hardening flags) and its checks.
package_packages=(dpkg-dev ccache lintian appstream desktop-file-utils)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The build's own output is kept in a log and shown only when the build fails.
configure_and_build() {
    mkdir -p "$build"
    local log="$build/build.log"
    if ! { cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_WERROR=ON "$@" &&
        cmake --build "$build" -j"$(nproc)"; } >"$log" 2>&1; then
        cat "$log"
        echo "The build failed (log: $log)." >&2
        exit 1
    fi
}

case "${1:-}" in
start)
    install_missing "${packages[@]}"
    configure_and_build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
        echo "No desktop session here (neither DISPLAY nor WAYLAND_DISPLAY is set): use $build/bin/quillmark-cli next instead."
        exit 1
    fi
    exec "$build/bin/quillmark"
    ;;
test)
    install_missing "${packages[@]}"
    configure_and_build
    cd "$build"
    ctest --output-on-failure -j"$(nproc)"
    ;;
test-windows)
    install_missing "${windows_packages[@]}"
    build="${QUILLMARK_WINDOWS_BUILD_DIR:-$here/build-windows}"
    # No Qt for Windows here: the Qt program's sources are compiled for Windows as a check
    # (QUILLMARK_CHECK_UI_SOURCES), the core, the CLI and their tests are built and run.
    configure_and_build -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DQUILLMARK_BUILD_UI=OFF -DQUILLMARK_CHECK_UI_SOURCES=ON -DQUILLMARK_BUILD_BENCH=OFF
    # A fresh Wine prefix each run: no registry values or files left from an earlier one. Wine's
    # menu builder would write desktop menus and MIME files into the real home: it is off.
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quillmark-wine.XXXXXX")
    export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # One wine server for the whole run instead of one per test program, stopped at the end.
    cleanup_wine() {
        wineserver -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    }
    trap cleanup_wine EXIT
    wineserver -p
    wineboot -i >/dev/null 2>&1
    cd "$build"
    ctest --output-on-failure -j"$(nproc)"
    ;;
test-size)
    # Non-blank lines: the program's C++ against every kind of test file (the fuzz corpus
    # aside). The tests are kept at about a third of the code; above 0.36 this fails.
    nonblank() { xargs -0 cat | grep -cv '^[[:space:]]*$'; }
    cd "$here"
    code=$(find src -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | nonblank)
    tests=$(find tests -type f -not -path '*/corpus/*' \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' \
        -o -name '*.py' -o -name CMakeLists.txt -o -name '*.cmake' \) -print0 | nonblank)
    echo "code $code lines, tests $tests lines: ratio $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')"
    awk -v t="$tests" -v c="$code" 'BEGIN { exit !(t <= 0.36 * c) }' || { echo "The tests are more than 0.36 of the code." >&2; exit 1; }
    ;;
package)
    install_missing "${packages[@]}" "${package_packages[@]}"
    build="${QUILLMARK_PACKAGE_BUILD_DIR:-$here/build-package}"
    # Debian's optimisation and hardening flags; no debug information, as the package is stripped.
    eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_STRIP=-g dpkg-buildflags --export=sh)"
    configure_and_build -DCMAKE_BUILD_TYPE=Release -DQUILLMARK_WERROR=OFF -DQUILLMARK_BUILD_TESTS=OFF \
        -DQUILLMARK_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
        -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
    rm -f "$build"/quillmark_*.deb
    (cd "$build" && cpack -G DEB >>build.log 2>&1) || { cat "$build/build.log"; echo "cpack failed." >&2; exit 1; }
    exec bash "$here/tools/package_check.sh" "$build"/quillmark_*_amd64.deb "${@:2}"
    ;;
fuzz)
    install_missing "${fuzz_packages[@]}"
    exec bash "$here/tests/fuzz/run_fuzzers.sh" "${2:-60}"
    ;;
*)
    echo "Usage: $0 start|test|test-windows|test-size|package [--install]|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac

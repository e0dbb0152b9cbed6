# shellcheck shell=bash
# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.

LEXBIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LEXBIN_BUILD=${LEXBIN_BUILD:-$LEXBIN_ROOT/build}

# What building and running need (Qt's own Japanese texts are compiled in from
# qt6-translations-l10n).
LEXBIN_RUN_PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-translations-l10n libxcb1-dev
    fonts-ipafont-gothic)
# What the tests add: a headless X server, a window manager, a key typist, a session bus;
# a headless Wayland compositor and Qt's Wayland plugin;
# clang with its sanitizer and libFuzzer run-times and llvm-symbolizer, for the sanitizer
# build; the packaging tools (CPack's DEB generator runs `file` before dpkg-shlibdeps) and
# their checkers (lintian, hardening-check from devscripts);
# glibc's locale sources, from which the tests compile the locales they need; xclip, which
# fills the clipboard for the clipboard forms' end-to-end test.
LEXBIN_TEST_PACKAGES=(libbenchmark-dev xvfb xauth xdotool xclip openbox dbus x11-utils
    weston qt6-wayland clang-14 libclang-rt-14-dev llvm-14 dpkg-dev desktop-file-utils
    appstream file locales lintian devscripts)
# The sanitizer and fuzz build of scripts/test (LEXBIN_SANITIZE, LEXBIN_FUZZ), beside build/.
LEXBIN_SANITIZE_BUILD=${LEXBIN_SANITIZE_BUILD:-$LEXBIN_ROOT/build-asan}
LEXBIN_SANITIZE_CONFIG=(-DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug
    "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DLEXBIN_SANITIZE=ON -DLEXBIN_FUZZ=ON
    -DLEXBIN_BUILD_BENCH=OFF)

# The Windows build (scripts/test-windows): Qt for mingw-w64 and the toolchain file, given
# beside the tree in ../shared/windows (its README.md).
LEXBIN_WINDOWS_KIT=${LEXBIN_WINDOWS_KIT:-$LEXBIN_ROOT/../shared/windows}
LEXBIN_QT_WINDOWS_ARCHIVE=$LEXBIN_WINDOWS_KIT/qt6-mingw-6.4.2.tar.xz

say() { printf 'lexbin: %s\n' "$*" >&2; }

missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            printf '%s\n' "$package"
    done
}

# Installs the named Debian packages that are not installed yet (apt-get as root, sudo
# otherwise). Installs nothing, and asks for nothing, when all are present.
ensure_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { say "need root or sudo to install: ${missing[*]}"; return 1; }
        sudo=(sudo)
    fi
    say "installing: ${missing[*]}"
    if [ -z "$(find /var/lib/apt/lists -maxdepth 1 -name '*Packages*' -print -quit 2>/dev/null)" ]; then
        "${sudo[@]}" apt-get update -qq || return 1
    fi
    if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
        # The package lists may be stale: refresh them once and try again.
        "${sudo[@]}" apt-get update -qq &&
            "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
                apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# Configures (once) and builds into $LEXBIN_BUILD; extra arguments go to the configure step.
build_lexbin() {
    build_lexbin_in "$LEXBIN_BUILD" "$@"
}

# build_lexbin_in DIR [CONFIGURE ARGUMENTS...]: the same into DIR.
build_lexbin_in() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$LEXBIN_ROOT" -B "$dir" -G Ninja -DLEXBIN_WERROR=ON "$@" >/dev/null ||
            return 1
    fi
    cmake --build "$dir"
}

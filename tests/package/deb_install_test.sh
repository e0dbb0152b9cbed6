#!/usr/bin/env bash
# Packaging end-to-end: makes the Debian package with CPack from the build folder, unpacks it
# into a throw-away root, checks its control fields, its files and their validators, then
# runs the INSTALLED program as an unprivileged user with a fresh home on a private X server
# and checks that a stored note goes to ~/.local/share/Lexbin/LexbinDB.txt (the program's
# folder is not writable) and not beside the program.
#
# Usage: deb_install_test.sh BUILD_DIR CPACK PROJECT_VERSION "MAINTAINER" HOMEPAGE
#   BUILD_DIR        the configured and built tree (holds CPackConfig.cmake)
#   CPACK            the cpack program
#   PROJECT_VERSION  project(VERSION), e.g. 1.2; the package version is 1.2.0
#   MAINTAINER       "Name <address>" expected in the Maintainer field
#   HOMEPAGE         the homepage setting, expected in the control file and AppStream data
#
# lintian must find no error and no warning (overridden tags are named in
# resources/debian/lintian-overrides), and hardening-check the hardening of Debian's build;
# both are skipped in the sanitizer build, which is not the one that gets packaged.
#
# Run as root (CI), the program is started as uid/gid 65534 through setpriv, since root may
# write to any folder; run as another user, the program's folder is made read-only instead.
#
# In the sanitizer build CTest sets LEXBIN_SANITIZER_REPORTS (the build's report folder) and
# LEXBIN_LSAN_SUPPRESSIONS. The checkout may lie in a folder the test user cannot enter, so
# the program reads a copy of the suppressions and reports into a folder of its own here;
# its reports are moved into the build's folder at the end, where the test run checks them.
source "$(dirname -- "${BASH_SOURCE[0]}")/../e2e/lib.sh"

BUILD_DIR=${1:-}
CPACK=${2:-}
PROJECT_VER=${3:-}
MAINTAINER=${4:-}
HOMEPAGE=${5:-}
[[ -n "$BUILD_DIR" && -n "$CPACK" && -n "$PROJECT_VER" && -n "$MAINTAINER" && -n "$HOMEPAGE" ]] || {
    echo "usage: $0 BUILD_DIR CPACK PROJECT_VERSION MAINTAINER HOMEPAGE" >&2
    exit 2
}
[[ -f "$BUILD_DIR/CPackConfig.cmake" ]] || { echo "no CPackConfig.cmake in $BUILD_DIR" >&2; exit 2; }
[[ -x "$CPACK" ]] || { echo "not an executable file: $CPACK" >&2; exit 2; }
for tool in dpkg dpkg-deb desktop-file-validate appstreamcli lintian hardening-check man setpriv Xvfb \
    xdotool xdpyinfo xwininfo; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

UNPRIV_ID=65534  # nobody / nogroup
ROOT=""          # the unpacked package
SAN_DIR=""       # the program's sanitizer reports and suppressions, in a sanitizer build

# The unpacked program folder is made read-only below; give the write bit back so the
# EXIT trap of lib.sh can remove the temporary folder, keeping the exit status for it.
package_cleanup() {
    local status=$? report
    [[ -n "$ROOT" && -d "$ROOT/usr/bin" ]] && chmod u+w -- "$ROOT/usr/bin" 2>/dev/null
    if [[ -n "$SAN_DIR" ]]; then
        for report in "$SAN_DIR"/reports/*; do
            [[ -f "$report" ]] || continue
            cp -- "$report" "$LEXBIN_SANITIZER_REPORTS/" || {
                echo "cannot collect the sanitizer report $report:" >&2
                cat -- "$report" >&2
                status=1
            }
        done
    fi
    (exit "$status")
    e2e_cleanup
}

# The temporary folder must be reachable by the unprivileged user: 0755, not mktemp's 0700.
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/lexbin-pkg.XXXXXX") || exit 2
trap package_cleanup EXIT
trap 'echo "stopped by SIGINT" >&2; exit 130' INT
trap 'echo "stopped by SIGTERM" >&2; exit 143' TERM
trap 'echo "stopped by SIGHUP" >&2; exit 129' HUP
chmod 0755 -- "$E2E_TMP"
mkdir -p "$E2E_TMP/logs" "$E2E_TMP/pkg"
SAN_ENV=()
if [[ -n "${LEXBIN_SANITIZER_REPORTS:-}" ]]; then
    [[ -d "$LEXBIN_SANITIZER_REPORTS" && -r "${LEXBIN_LSAN_SUPPRESSIONS:-}" ]] || {
        echo "no report folder $LEXBIN_SANITIZER_REPORTS or suppressions ${LEXBIN_LSAN_SUPPRESSIONS:-}" >&2
        exit 2
    }
    SAN_DIR="$E2E_TMP/sanitizer"
    mkdir -p -- "$SAN_DIR/reports"
    cp -- "$LEXBIN_LSAN_SUPPRESSIONS" "$SAN_DIR/lsan.supp"
    chmod 0755 -- "$SAN_DIR"
    chmod 0644 -- "$SAN_DIR/lsan.supp"
    SAN_ENV=(ASAN_OPTIONS="log_path=$SAN_DIR/reports/report"
        UBSAN_OPTIONS="log_path=$SAN_DIR/reports/report"
        LSAN_OPTIONS="suppressions=$SAN_DIR/lsan.supp")
fi

if (($(id -u) == 0)); then
    RUN_AS=(setpriv --reuid="$UNPRIV_ID" --regid="$UNPRIV_ID" --clear-groups)
else
    RUN_AS=()
fi
run_as() { "${RUN_AS[@]}" "$@"; }

# ---------------------------------------------------------------------------------------
# 1. The package

# Debian version: project(VERSION) as three numeric fields, 1.2 -> 1.2.0.
IFS=. read -r v_major v_minor v_patch _ <<<"$PROJECT_VER"
WANT_VERSION="$v_major.${v_minor:-0}.${v_patch:-0}"
ARCH=$(dpkg --print-architecture)
WANT_DEB="lexbin_${WANT_VERSION}_${ARCH}.deb"

note "cpack -G DEB in $BUILD_DIR"
(cd -- "$BUILD_DIR" && "$CPACK" -G DEB -B "$E2E_TMP/pkg") >"$E2E_TMP/logs/cpack.log" 2>&1 ||
    fail "cpack failed:
$(cat -- "$E2E_TMP/logs/cpack.log")"
debs=$(cd -- "$E2E_TMP/pkg" && ls -- *.deb 2>/dev/null)
assert_eq "package file name" "$WANT_DEB" "$debs"
DEB="$E2E_TMP/pkg/$WANT_DEB"
note "made $WANT_DEB"

field() { dpkg-deb -f "$DEB" "$1"; }
assert_eq "Package" lexbin "$(field Package)"
assert_eq "Version" "$WANT_VERSION" "$(field Version)"
assert_eq "Architecture" "$ARCH" "$(field Architecture)"
assert_eq "Maintainer" "$MAINTAINER" "$(field Maintainer)"
assert_eq "Section" utils "$(field Section)"
assert_eq "Homepage" "$HOMEPAGE" "$(field Homepage)"
depends=$(field Depends)
# From dpkg-shlibdeps: the Qt libraries the program links.
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends," == *", $lib ("* ]] || fail "Depends lacks $lib: $depends"
done
[[ ", $depends," == *", fonts-ipafont-gothic |"* ]] ||
    fail "Depends lacks the Japanese font (fonts-ipafont-gothic | ...): $depends"
description=$(field Description)
summary=${description%%$'\n'*}
[[ -n "$summary" && "$description" == *$'\n'* ]] ||
    fail "the Description needs a summary line and a long description: $description"
((${#summary} <= 80)) || fail "the Description summary is longer than 80 characters: $summary"

# ---------------------------------------------------------------------------------------
# 2. The unpacked files

# files_in DIR: every non-folder below DIR (hidden ones too), relative to DIR, sorted.
files_in() {
    local f
    (
        shopt -s globstar dotglob nullglob
        for f in "$1"/**; do
            [[ -d "$f" && ! -L "$f" ]] || printf '%s\n' "${f#"$1"/}"
        done
    ) | LC_ALL=C sort
}

# xml_value FILE REGEX: the first capture of the first line of FILE matching REGEX.
xml_value() {
    local line
    while IFS= read -r line || [[ -n "$line" ]]; do
        [[ "$line" =~ $2 ]] && { printf '%s\n' "${BASH_REMATCH[1]}"; return 0; }
    done <"$1"
    return 0
}

ROOT="$E2E_TMP/root"
mkdir -- "$ROOT"
dpkg -x "$DEB" "$ROOT" || fail "dpkg -x failed"
chmod 0755 -- "$ROOT"

BIN="$ROOT/usr/bin/lexbin"
DESKTOP="$ROOT/usr/share/applications/lexbin.desktop"
METAINFO="$ROOT/usr/share/metainfo/org.example.lexbin.metainfo.xml"
ICON_DIR="$ROOT/usr/share/icons/hicolor"
want_files="usr/bin/lexbin
usr/share/applications/lexbin.desktop
usr/share/bash-completion/completions/lexbin
usr/share/doc/lexbin/changelog.gz
usr/share/doc/lexbin/copyright
usr/share/icons/hicolor/128x128/apps/lexbin.png
usr/share/icons/hicolor/16x16/apps/lexbin.png
usr/share/icons/hicolor/256x256/apps/lexbin.png
usr/share/icons/hicolor/32x32/apps/lexbin.png
usr/share/icons/hicolor/48x48/apps/lexbin.png
usr/share/icons/hicolor/64x64/apps/lexbin.png
usr/share/icons/hicolor/scalable/apps/lexbin.svg
usr/share/lintian/overrides/lexbin
usr/share/man/ja/man1/lexbin.1.gz
usr/share/man/man1/lexbin.1.gz
usr/share/metainfo/org.example.lexbin.metainfo.xml"
assert_eq "files in the package" "$want_files" \
    "$(files_in "$ROOT")"

[[ -x "$BIN" && "$(od -An -N4 -tx1 -- "$BIN")" == ' 7f 45 4c 46' ]] ||
    fail "usr/bin/lexbin is not an executable ELF file"

# png_size FILE: "WIDTHxHEIGHT" from the IHDR chunk of a PNG file.
png_size() {
    local sig b
    sig=$(od -An -N8 -tx1 -- "$1" | tr -d ' ')
    [[ "$sig" == 89504e470d0a1a0a ]] || { echo "not-a-png"; return; }
    # Width and height: two big-endian 32-bit numbers at byte 16.
    read -r -a b <<<"$(od -An -j16 -N8 -tu1 -- "$1")"
    echo "$((b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3]))x$((b[4] << 24 | b[5] << 16 | b[6] << 8 | b[7]))"
}
for size in 16 32 48 64 128 256; do
    assert_eq "icon ${size}x${size}" "${size}x${size}" "$(png_size "$ICON_DIR/${size}x${size}/apps/lexbin.png")"
done
[[ "$(xml_value "$ICON_DIR/scalable/apps/lexbin.svg" '<svg ([^>]*)>')" == *'viewBox="0 0 32 32"'* ]] ||
    fail "the scalable icon is no 32x32 SVG"

# gzip -9n: no file name (FLG 0), no time stamp (MTIME 0), best compression (XFL 2).
DOC="$ROOT/usr/share/doc/lexbin"
for gz in "$DOC/changelog.gz" "$ROOT/usr/share/man/man1/lexbin.1.gz" \
    "$ROOT/usr/share/man/ja/man1/lexbin.1.gz"; do
    assert_eq "gzip header of ${gz#"$ROOT"/}" "1f 8b 08 00 00 00 00 00 02 03" \
        "$(od -An -N10 -tx1 -- "$gz" | xargs)"
done
IFS= read -r changelog_head < <(gzip -dc -- "$DOC/changelog.gz")
assert_eq "changelog's newest entry" "lexbin ($WANT_VERSION) unstable; urgency=medium" "$changelog_head"
IFS= read -r copyright_format <"$DOC/copyright"
assert_eq "copyright format" \
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$copyright_format"
for page in "man/man1" "man/ja/man1"; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l -- "$ROOT/usr/share/$page/lexbin.1.gz" 2>&1)
    [[ "$out" == *"--importance"* && "$out" == *"LexbinDB.txt"* ]] ||
        fail "the manual page $page/lexbin.1 lacks the options or the files: $out"
done

# The completion offers the options, and the three codes after -i and --importance.
complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _lexbin
        printf "%s\n" "${COMPREPLY[@]}"' _ "$ROOT/usr/share/bash-completion/completions/lexbin" "$@"
}
assert_eq "completion after -i" "A B C" "$(complete_words lexbin -i '' | xargs)"
assert_eq "completion after --importance" "B" "$(complete_words lexbin --importance B | xargs)"
assert_eq "completion of --i" "--importance" "$(complete_words lexbin --i | xargs)"
assert_eq "completion after --note" "" "$(complete_words lexbin --note '' | xargs)"

# desktop_key KEY: the value of KEY in the desktop entry.
desktop_key() { xml_value "$DESKTOP" "^$1=(.*)$"; }
assert_eq "desktop Name" Lexbin "$(desktop_key Name)"
assert_eq "desktop Exec" lexbin "$(desktop_key Exec)"
assert_eq "desktop Icon" lexbin "$(desktop_key Icon)"
assert_eq "desktop Categories" "Utility;" "$(desktop_key Categories)"
[[ -n "$(desktop_key 'Comment\[ja\]')" ]] || fail "the desktop entry has no Japanese Comment[ja]"

out=$(desktop-file-validate "$DESKTOP" 2>&1)
rc=$?
[[ $rc -eq 0 && -z "$out" ]] || fail "desktop-file-validate (status $rc): $out"

assert_eq "AppStream id" org.example.lexbin "$(xml_value "$METAINFO" '<id>([^<]*)</id>')"
assert_eq "AppStream launchable" lexbin.desktop \
    "$(xml_value "$METAINFO" '<launchable type="desktop-id">([^<]*)</launchable>')"
assert_eq "AppStream licence" MIT "$(xml_value "$METAINFO" '<project_license>([^<]*)</project_license>')"
assert_eq "AppStream homepage" "$HOMEPAGE" "$(xml_value "$METAINFO" '<url type="homepage">([^<]*)</url>')"
assert_eq "AppStream newest release" "$WANT_VERSION" \
    "$(xml_value "$METAINFO" '<release version="([^"]*)"')"
# appstreamcli fails on warnings; the output is checked too, in case a version does not.
issue_re=$'(^|\n) *[EW]: '
for check in "validate --no-net $METAINFO" "validate-tree --no-net $ROOT"; do
    # shellcheck disable=SC2086  # the words of $check are the arguments
    out=$(appstreamcli $check 2>&1)
    rc=$?
    [[ $rc -eq 0 && ! "$out" =~ $issue_re ]] || fail "appstreamcli $check (status $rc):
$out"
done
note "files, desktop entry and AppStream data are valid"

if [[ -n "$SAN_DIR" ]]; then
    note "sanitizer build: lintian and hardening-check skipped (its package is not hardened)"
else
    # Errors and warnings fail; informational tags that stay: binary-has-unneeded-section
    # (CPack strips without removing .comment), hardening-no-fortify-functions (built with
    # _FORTIFY_SOURCE=2, every call it could check is proven safe at compile time).
    out=$(lintian --display-info --pedantic --no-tag-display-limit -- "$DEB" 2>&1)
    rc=$?
    tags=$(grep -E '^[EW]: ' <<<"$out")
    [[ $rc -eq 0 && -z "$tags" ]] || fail "lintian (status $rc):
$out"
    note "lintian: no error, no warning ($(grep -cE '^[IPX]: ' <<<"$out") other tags)"
    # Fortify is checked where the compiler is told (see above); CET is not asked for.
    out=$(hardening-check --nofortify --nocfprotection -- "$BIN" 2>&1)
    rc=$?
    [[ $rc -eq 0 ]] || fail "hardening-check (status $rc): $out"
    for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection; do
        unhardened=$(grep '"command":' -- "$BUILD_DIR/compile_commands.json" | grep -cv -- "$flag")
        assert_eq "compile commands without $flag" 0 "$unhardened"
    done
    note "hardened: PIE, stack protector, read-only relocations, immediate binding"
fi

# ---------------------------------------------------------------------------------------
# 3. The installed program, run by an unprivileged user with a fresh home

APP_HOME="$E2E_TMP/home"
RUNTIME="$E2E_TMP/runtime"
mkdir -m 0700 -- "$APP_HOME" "$RUNTIME"
chmod a-w -- "$ROOT/usr/bin"  # root ignores this; it matters when not run as root
if ((${#RUN_AS[@]})); then
    chown "$UNPRIV_ID:$UNPRIV_ID" -- "$APP_HOME" "$RUNTIME" ${SAN_DIR:+"$SAN_DIR/reports"} ||
        fail "cannot chown the home"
fi
[[ -z "$SAN_DIR" ]] || run_as test -w "$SAN_DIR/reports" ||
    fail "the test user cannot write its sanitizer report folder $SAN_DIR/reports"
run_as test -x "$BIN" || fail "the test user cannot run $BIN (is ${TMPDIR:-/tmp} reachable?)"
run_as test -w "$APP_HOME" || fail "the test user cannot write its home $APP_HOME"
! run_as test -w "$ROOT/usr/bin" || fail "the program's folder is writable for the test user"

start_xvfb
# Xvfb runs without -auth: no cookie is needed and any local client may connect; the
# program gets no XAUTHORITY of root's (env -i). Checked, so a change shows here.
run_as env -i DISPLAY="$DISPLAY" xdpyinfo >/dev/null 2>&1 ||
    fail "the test user cannot connect to the X server $DISPLAY"

DATA="$APP_HOME/.local/share/Lexbin/LexbinDB.txt"
tree_before=$(files_under "$ROOT")

E2E_APP_LOG="$E2E_TMP/logs/lexbin.log"
# Not through run_as: a function would run in a forked shell, and $! would not be the program.
"${RUN_AS[@]}" env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LC_ALL=C.UTF-8 \
    HOME="$APP_HOME" XDG_RUNTIME_DIR="$RUNTIME" "${SAN_ENV[@]}" \
    "$BIN" >"$E2E_APP_LOG" 2>&1 &
E2E_APP_PID=$!  # setpriv and env exec: this is the program's own process
E2E_APP_WID=$(wait_window '^Lexbin$' 60) || {
    app_running || fail "the installed program ended at start"
    fail "the Lexbin window did not appear"
}
focus_window "$E2E_APP_WID"
app_uid=$(stat -c %u -- "/proc/$E2E_APP_PID")
note "installed program running as uid $app_uid"
if ((${#RUN_AS[@]})); then
    assert_eq "uid of the program" "$UNPRIV_ID" "$app_uid"
fi

# data_files: every file in the installed tree and in the home, to show where a note went.
data_files() { files_in "$ROOT"; files_in "$APP_HOME"; }

before=$(now_stamp)
type_text "packaged note 1"
press ctrl+s
wait_for 60 file_has_lines "$DATA" 1 || fail "no record in $DATA after Ctrl+S; files now:
$(data_files)"
assert_records "$DATA" "$before" "$(now_stamp)" "C,packaged note 1"
record_re=$'^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},C,packaged note 1\r$'
IFS= read -r record <"$DATA"
[[ "$record" =~ $record_re ]] || fail "record shape: $(od -c -- "$DATA")"
if ((${#RUN_AS[@]})); then
    assert_eq "owner of the data file" "$UNPRIV_ID" "$(stat -c %u -- "$DATA")"
fi
[[ ! -e "$ROOT/usr/bin/LexbinDB.txt" ]] || fail "the data file was made beside the program"
assert_eq "installed tree after the store" "$tree_before" "$(files_under "$ROOT")"

# Ctrl+Q stores the second note into the same file and quits.
type_text "packaged note 2"
press ctrl+q
wait_app_exit 60
assert_eq "exit status" 0 "$E2E_APP_STATUS"
assert_records "$DATA" "$before" "$(now_stamp)" "C,packaged note 1" "C,packaged note 2"
assert_eq "installed tree after quitting" "$tree_before" "$(files_under "$ROOT")"
note "the installed program stored its notes in ~/.local/share/Lexbin/LexbinDB.txt"

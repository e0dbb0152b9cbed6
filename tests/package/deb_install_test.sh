#!/usr/bin/env bash
# Packaging end-to-end: makes the Debian package with CPack from the build folder, unpacks it
# into a throw-away root, checks its control fields, its files and their validators, then
# runs the INSTALLED program as an unprivileged user with a fresh home on a private X server
# and checks that a stored note goes to ~/.local/share/Lexbin/LexbinDB.txt (the program's
# folder is not writable) and not beside the program.
#
# Usage: deb_install_test.sh BUILD_DIR CPACK PROJECT_VERSION "MAINTAINER"
#   BUILD_DIR        the configured and built tree (holds CPackConfig.cmake)
#   CPACK            the cpack program
#   PROJECT_VERSION  project(VERSION), e.g. 1.2; the package version is 1.2.0
#   MAINTAINER       "Name <address>" expected in the Maintainer field
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
[[ -n "$BUILD_DIR" && -n "$CPACK" && -n "$PROJECT_VER" && -n "$MAINTAINER" ]] || {
    echo "usage: $0 BUILD_DIR CPACK PROJECT_VERSION MAINTAINER" >&2
    exit 2
}
[[ -f "$BUILD_DIR/CPackConfig.cmake" ]] || { echo "no CPackConfig.cmake in $BUILD_DIR" >&2; exit 2; }
[[ -x "$CPACK" ]] || { echo "not an executable file: $CPACK" >&2; exit 2; }
for tool in dpkg dpkg-deb desktop-file-validate appstreamcli setpriv Xvfb xdotool xdpyinfo xwininfo; do
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
usr/share/icons/hicolor/16x16/apps/lexbin.png
usr/share/icons/hicolor/32x32/apps/lexbin.png
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
for size in 16 32; do
    assert_eq "icon ${size}x${size}" "${size}x${size}" "$(png_size "$ICON_DIR/${size}x${size}/apps/lexbin.png")"
done

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

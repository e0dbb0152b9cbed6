#!/usr/bin/env bash
# The Windows downloads under Wine, as a user gets them: the installer run silently (/S),
# the installed program started from its folder on a private Xvfb, a note stored in code
# page 932, the user's PATH, a silent uninstall; then the portable zip unpacked and run.
# Usage: installer_wine.sh lexbin-1.02-setup.exe lexbin-1.02-windows-x64.zip
# One Wine prefix of its own, without the QT_ variables the unit suite's prefix holds: the
# program must find its DLLs and plugins beside itself.
source "$(dirname -- "${BASH_SOURCE[0]}")/../e2e/lib.sh"

setup=${1:-} zip=${2:-}
[[ -f "$setup" && -f "$zip" ]] || { echo "usage: $0 SETUP.exe PORTABLE.zip" >&2; exit 2; }
for tool in wine wineserver wineboot Xvfb xdotool xclip unzip; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/lexbin-installer.XXXXXX") || exit 2
mkdir -p "$E2E_TMP/logs"
CLIP_PID=""
cleanup() {
    local status=$?
    e2e_kill "$CLIP_PID"
    wineserver -k 2>/dev/null  # this prefix's processes only
    (exit "$status")
    e2e_cleanup
}
trap cleanup EXIT
trap 'echo "stopped by SIGINT" >&2; exit 130' INT
trap 'echo "stopped by SIGTERM" >&2; exit 143' TERM

export WINEPREFIX=$E2E_TMP/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset WINEPATH
# Code page 932 from the Unix locale, for Wine only (lib.sh keeps the script in C.UTF-8).
on_wine() { LC_ALL=ja_JP.UTF-8 "$@"; }
# reg_value KEY NAME: "TYPE DATA" of a registry value, or nothing.
reg_value() {
    on_wine wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{1,\}\(REG_[A-Z_]*\) \{1,\}/\1 /p"
}
windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }  # Wine's Z: is the Unix root
unix_path() { on_wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexbin'
settings_key='HKCU\Software\Lexbin\Lexbin\Main'

start_xvfb
on_wine wineboot -i >/dev/null 2>&1 && wineserver -w || fail "cannot make a Wine prefix"
local_app_data=$(on_wine wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
[[ "$local_app_data" == [A-Z]:\\* ]] || fail "no %LOCALAPPDATA%: '$local_app_data'"
install_dir="$local_app_data\\Programs\\Lexbin"
install_unix=$(unix_path "$install_dir")
notes_unix=$(unix_path "$local_app_data\\Lexbin\\LexbinDB.txt")
# A PATH of the user's own, with a variable in it: kept, and kept unexpanded.
on_wine wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d '%USERPROFILE%\bin' /f \
    >/dev/null 2>&1 || fail "cannot set the user's PATH"

# program_window: the program's main window, once shown. Found by its name alone: this X
# server shows no other program, and the X window's PID is not always the one started here.
program_window() {
    local wid
    wid=$(timeout 20 xdotool search --all --onlyvisible --name '^Lexbin$' 2>/dev/null | head -n1)
    [[ -n "$wid" ]] && echo "$wid"
}
program_shown() { [[ -n "$(program_window)" ]]; }

# start_program WINDOWS_PATH: the program started as Explorer would, from its own folder.
start_program() {
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$SECONDS-$RANDOM.log"
    LC_ALL=ja_JP.UTF-8 wine "$1" >"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    wait_for 60 program_shown || {
        app_running || fail "$1 ended at start"
        fail "the window of $1 did not appear within 60 s"
    }
    E2E_APP_WID=$(program_window)
    focus_window "$E2E_APP_WID"
}

# store_note DATA_FILE TEXT: types TEXT, pastes 超重要 from the X clipboard, stores with
# Ctrl+S and quits with Ctrl+Q; the data file must then end with the record in code page 932.
store_note() {
    local data=$1 text=$2 lines=0
    [[ -f "$data" ]] && lines=$(line_count "$data")
    printf '超重要' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
    CLIP_PID=$!
    type_text "$text"
    press ctrl+v ctrl+s
    wait_for 60 file_has_lines "$data" $((lines + 1)) || fail "no record in $data after Ctrl+S"
    press ctrl+q
    wait_app_exit 60
    assert_eq "exit status" 0 "$E2E_APP_STATUS"
    e2e_kill "$CLIP_PID"
    CLIP_PID=""
    tail -n 1 -- "$data" | cut -b 18- >"$E2E_TMP/got.txt"
    printf 'C,%s\x92\xb4\x8f\x64\x97\x76\r\n' "$text" >"$E2E_TMP/want.txt"
    assert_file_bytes "$E2E_TMP/got.txt" "$E2E_TMP/want.txt"
    local stamp_re='^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},$'
    tail -n 1 -- "$data" | head -c 17 | LC_ALL=C grep -Eq "$stamp_re" ||
        fail "the record has no stamp: $(tail -n 1 -- "$data" | od -c)"
}

note "a. silent install: files, Start menu, uninstall entry, PATH; no data file shipped"
on_wine wine "$(realpath "$setup")" /S >"$E2E_TMP/logs/setup.log" 2>&1 ||
    fail "the installer failed"
wineserver -w
for file in lexbin.exe lexbin.com qt.conf Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    LICENSE.txt licenses/THIRD-PARTY.txt uninstall.exe; do
    [[ -f "$install_unix/$file" ]] || fail "not installed: $install_dir\\$file"
done
[[ ! -e "$install_unix/LexbinDB.txt" ]] || fail "the installer shipped a LexbinDB.txt"
app_data=$(on_wine wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
start_menu=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")
[[ -f "$start_menu/Lexbin.lnk" ]] || fail "no Start-menu entry in $start_menu"
assert_eq "DisplayVersion" "REG_SZ 1.02" "$(reg_value "$uninstall_key" DisplayVersion)"
assert_eq "InstallLocation" "REG_SZ $install_dir" "$(reg_value "$uninstall_key" InstallLocation)"
assert_eq "UninstallString" "REG_SZ \"$install_dir\\uninstall.exe\"" \
    "$(reg_value "$uninstall_key" UninstallString)"
assert_eq "NoModify" "REG_DWORD 0x1" "$(reg_value "$uninstall_key" NoModify)"
size=$(reg_value "$uninstall_key" EstimatedSize)
[[ "$size" =~ ^REG_DWORD\ 0x[0-9a-f]+$ ]] && (($(printf '%d' "${size#REG_DWORD }") > 10000)) ||
    fail "EstimatedSize (in KiB) is '$size'"
assert_eq "the user's PATH" "REG_EXPAND_SZ %USERPROFILE%\\bin;$install_dir" \
    "$(reg_value 'HKCU\Environment' Path)"
# A program started afterwards finds the folder on its PATH.
path_seen=$(on_wine wine cmd /c echo %PATH% 2>/dev/null | tr -d '\r')
[[ ";$path_seen;" == *";$install_dir;"* ]] ||
    fail "a new program's PATH lacks the folder: $path_seen"
# There cmd finds the console launcher, lexbin.com, before lexbin.exe.
version=$(on_wine wine cmd /c 'cd /d %TEMP% && lexbin --version' 2>/dev/null | tr -d '\r')
assert_eq "lexbin --version from the PATH" "Lexbin 1.02" "$version"

note "b. the installed program: a note in %LOCALAPPDATA%\\Lexbin, in code page 932"
start_program "$install_dir\\lexbin.exe"
store_note "$notes_unix" "installed "
[[ "$(reg_value "$settings_key" Width)" == "REG_SZ "[0-9]* ]] ||
    fail "no settings in $settings_key: $(on_wine wine reg query "$settings_key" 2>&1)"
on_wine wine reg export "$settings_key" "$(windows_path "$E2E_TMP/settings-before.reg")" /y \
    >/dev/null 2>&1 || fail "cannot export $settings_key"
cp -- "$notes_unix" "$E2E_TMP/notes-before.txt"

note "c. silent uninstall: program, Start menu, entry and PATH part gone; notes and settings kept"
on_wine wine "$install_dir\\uninstall.exe" /S >"$E2E_TMP/logs/uninstall.log" 2>&1 ||
    fail "the uninstaller failed"
wineserver -w  # the uninstaller runs from a copy of itself in %TEMP% and returns at once
[[ ! -e "$install_unix" ]] || fail "left behind: $(find "$install_unix")"
[[ ! -e "$start_menu/Lexbin.lnk" ]] || fail "the Start-menu entry is still there"
assert_eq "uninstall entry" "" "$(reg_value "$uninstall_key" DisplayVersion)"
assert_eq "the user's PATH" "REG_EXPAND_SZ %USERPROFILE%\\bin" \
    "$(reg_value 'HKCU\Environment' Path)"
assert_file_bytes "$notes_unix" "$E2E_TMP/notes-before.txt"
on_wine wine reg export "$settings_key" "$(windows_path "$E2E_TMP/settings-after.reg")" /y \
    >/dev/null 2>&1 || fail "the settings are gone"
assert_file_bytes "$E2E_TMP/settings-after.reg" "$E2E_TMP/settings-before.reg"

note "d. the portable zip: its own LexbinDB.txt beside the program takes the note"
unzip -q -d "$E2E_TMP/portable" "$zip" || fail "cannot unpack $zip"
portable=$(find "$E2E_TMP/portable" -name lexbin.exe -printf '%h\n')
[[ -f "$portable/LexbinDB.txt" && ! -s "$portable/LexbinDB.txt" ]] ||
    fail "the zip holds no empty LexbinDB.txt"
# The notices name the code bundled in the DLLs, each with its licence text.
for part in 'Files: src/3rdparty/pcre2/src/\*' 'Files: src/3rdparty/harfbuzz-ng/\*' \
    'Files: src/3rdparty/freetype/\*' 'Files: mingw-w64-libraries/winpthreads/\*' \
    '^License: Zlib$' '^License: FTL$' '^GCC RUNTIME LIBRARY EXCEPTION$'; do
    grep -q -- "$part" "$portable/licenses/THIRD-PARTY.txt" ||
        fail "the notices lack '$part'"
done
for file in LICENSE.txt licenses/LGPL-3.txt licenses/GPL-3.txt licenses/QT-SOURCE.txt \
    licenses/build-qt.sh; do
    [[ -s "$portable/$file" ]] || fail "the zip lacks $file"
done
start_program "$(windows_path "$portable/lexbin.exe")"
store_note "$portable/LexbinDB.txt" "portable "
assert_eq "records in the zip's data file" 1 "$(line_count "$portable/LexbinDB.txt")"
assert_file_bytes "$notes_unix" "$E2E_TMP/notes-before.txt"
note "e. a user without a PATH of their own: the folder alone, and no value left after"
on_wine wine reg delete 'HKCU\Environment' /v Path /f >/dev/null 2>&1 ||
    fail "cannot remove the user's PATH"
on_wine wine "$(realpath "$setup")" /S >>"$E2E_TMP/logs/setup.log" 2>&1 ||
    fail "the second install failed"
wineserver -w
assert_eq "the user's PATH" "REG_EXPAND_SZ $install_dir" "$(reg_value 'HKCU\Environment' Path)"
on_wine wine "$install_dir\\uninstall.exe" /S >>"$E2E_TMP/logs/uninstall.log" 2>&1 ||
    fail "the second uninstall failed"
wineserver -w
assert_eq "the user's PATH" "" "$(reg_value 'HKCU\Environment' Path)"
[[ ! -e "$install_unix" ]] || fail "left behind: $(find "$install_unix")"
note "all installer and zip cases passed"

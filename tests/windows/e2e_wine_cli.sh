#!/usr/bin/env bash
# End-to-end under Wine: the command line through cmd.exe, which finds the console launcher
# lexbin.com before lexbin.exe in the program's folder. Notes from arguments and from a
# pipe (UTF-8, code page 932, neither), their records in code page 932; a character code
# page 932 lacks; bad usage and --help through cmd's own redirections; --edit opening the
# window while cmd waits for it; the stop event the launcher sets on Ctrl+C (set here by
# stop_lexbin.exe: Wine has no console to press it in) ending the window with status 0 and
# its settings saved.
# Usage: e2e_wine_cli.sh LEXBIN.EXE LEXBIN.COM STOP_LEXBIN.EXE. From CTest's environment
# (wine.cmake): LEXBIN_WINE_DLL_PATH and LEXBIN_QT_PLUGINS.
here=$(dirname -- "${BASH_SOURCE[0]}")
source "$here/../e2e/lib.sh"
e2e_init "${1:-}"
launcher=${2:?usage: e2e_wine_cli.sh LEXBIN.EXE LEXBIN.COM STOP_LEXBIN.EXE}
stopper=${3:?usage: e2e_wine_cli.sh LEXBIN.EXE LEXBIN.COM STOP_LEXBIN.EXE}

windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

export WINEPREFIX=$E2E_TMP/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
WINEPATH=
IFS=: read -ra folders <<<"$LEXBIN_WINE_DLL_PATH"
for folder in "${folders[@]}"; do
    WINEPATH+="${WINEPATH:+;}$(windows_path "$folder")"
done
export WINEPATH LC_ALL=ja_JP.UTF-8
bin=$E2E_TMP/bin
mv -- "$E2E_BIN" "$bin/lexbin.exe"
cp -- "$launcher" "$bin/lexbin.com"
cp -- "$stopper" "$bin/stop_lexbin.exe"
KEY='HKCU\Software\Lexbin\Lexbin\Main'
data=$E2E_TMP/notes.txt

end_wine() {
    local status=$?
    wineserver -k 2>/dev/null
    (exit "$status")
    e2e_cleanup
}
trap end_wine EXIT

# The display first: Wine's desktop process, started with the first program of the prefix,
# keeps the display it found then.
start_xvfb
note "making the Wine prefix"
wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
wineserver -w && wineserver -p || fail "wineserver -p failed"
wine reg add 'HKCU\Environment' /v QT_PLUGIN_PATH /t REG_SZ \
    /d "$(windows_path "$LEXBIN_QT_PLUGINS")" /f >/dev/null || fail "reg add failed"
wine reg add "$KEY" /v DataFilePath /t REG_SZ /d "$(windows_path "$data")" /f >/dev/null ||
    fail "reg add DataFilePath failed"

# lexbin ARGUMENTS...: `cmd /c "lexbin ARGUMENTS"` in the program's folder, standard input
# the script's; sets STATUS (cmd's, which is the program's), and returns it for a pipeline,
# which runs the function in a subshell of its own.
lexbin() {
    (cd "$bin" && wine cmd /c "lexbin $*")
    STATUS=$?
    return "$STATUS"
}
cp932() { iconv -f UTF-8 -t CP932; }
# record_is LABEL TEXT: the data file holds one record, TEXT after its stamp, in code page
# 932 with CR LF; the file is emptied for the next case.
record_is() {
    local got=$E2E_TMP/got want=$E2E_TMP/want
    [[ -f "$data" ]] || fail "$1: no data file"
    assert_eq "$1: records" 1 "$(line_count "$data")"
    [[ "$(head -c 17 -- "$data")" =~ ^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},$ ]] ||
        fail "$1: no stamp: $(od -c "$data" | head -3)"
    tail -c +18 -- "$data" >"$got"
    printf '%s\r\n' "$2" | cp932 >"$want"
    assert_file_bytes "$got" "$want"
    rm -f -- "$data"
}
nothing_stored() { [[ ! -s "$data" ]] || fail "$1: something was stored: $(od -c "$data")"; }

note "notes from the command line, in code page 932"
err=$E2E_TMP/err.txt
lexbin --note 電話メモ -i B
assert_eq "note: status" 0 "$STATUS"
record_is "note" "B,電話メモ"
lexbin --note 'a¥b' "2>$(windows_path "$err")"
assert_eq "unrepresentable: status" 1 "$STATUS"
[[ "$(iconv -f CP932 -t UTF-8 "$err")" == "lexbin: エラー番号:1001 "*'U+00A5'* ]] ||
    fail "unrepresentable: the error line: $(iconv -f CP932 -t UTF-8 "$err")"
nothing_stored "unrepresentable"
lexbin --bogus "2>$(windows_path "$err")"
assert_eq "bad option: status" 2 "$STATUS"
assert_eq "bad option: the error line" "lexbin: 不明なオプションです: --bogus" \
    "$(iconv -f CP932 -t UTF-8 "$err" | head -n1)"

note "notes from a pipe: UTF-8, code page 932, neither"
printf '一行目\n二行目\n' | lexbin --note - -i A
STATUS=$?
assert_eq "UTF-8 pipe: status" 0 "$STATUS"
record_is "UTF-8 pipe" "A,一行目二行目"
printf 'ｶﾅと漢字\r\n' | cp932 | lexbin --note -
STATUS=$?
assert_eq "932 pipe: status" 0 "$STATUS"
record_is "932 pipe" "C,ｶﾅと漢字"
printf 'ab\x81' | lexbin --note - "2>$(windows_path "$err")"
STATUS=$?
assert_eq "undecodable pipe: status" 1 "$STATUS"
[[ "$(iconv -f CP932 -t UTF-8 "$err")" == "lexbin: エラー番号:1004 "* ]] ||
    fail "undecodable pipe: the error line: $(iconv -f CP932 -t UTF-8 "$err")"
nothing_stored "undecodable pipe"

note "--help into a file, into a full disk"
help=$E2E_TMP/help.txt
lexbin --help ">$(windows_path "$help")"
assert_eq "help: status" 0 "$STATUS"
[[ "$(iconv -f CP932 -t UTF-8 "$help" | head -n1)" == "使い方: lexbin [--edit テキスト | --edit-clipboard]" ]] ||
    fail "help: $(head -c 200 "$help" | od -c | head -5)"
lexbin --help '>Z:\dev\full' "2>$(windows_path "$err")"
assert_eq "help into a full disk: status" 1 "$STATUS"
[[ "$(iconv -f CP932 -t UTF-8 "$err")" == "lexbin: エラー番号:61 "* ]] ||
    fail "help into a full disk: $(iconv -f CP932 -t UTF-8 "$err")"

# The window's id on this script's own display: it belongs to lexbin.exe, a process that
# cmd's child started, not to the one waited for.
lexbin_window() {
    local wid
    wid=$(timeout 20 xdotool search --all --onlyvisible --name '^Lexbin$' 2>/dev/null | head -n1)
    [[ -n "$wid" ]] && echo "$wid"
}
# start_cmd ARGUMENTS...: cmd /c "lexbin ARGUMENTS" in the background, waited for by
# wait_app_exit; the window found and focused.
start_cmd() {
    E2E_APP_LOG=$E2E_TMP/logs/cmd-$SECONDS-$RANDOM.log
    (cd "$bin" && exec wine cmd /c "lexbin $*") >"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    wait_for 60 lexbin_window >/dev/null && E2E_APP_WID=$(lexbin_window) ||
        fail "the Lexbin window did not appear; windows: $(xdotool search --name '' \
            getwindowname %@ 2>/dev/null | tr '\n' ' '); cmd: $(app_running && echo running \
            || echo ended) $(iconv -f CP932 -t UTF-8 -c "$E2E_APP_LOG")"
    focus_window "$E2E_APP_WID"
}

note "--edit: the window with the text, cmd waiting until it is closed"
start_cmd --edit 編集中のメモ
type_text "X"
app_running || fail "edit: cmd ended while the window is open"
# cmd chose the console launcher, which Wine maps from its file, before lexbin.exe.
grep -qs -- "$bin/lexbin.com" /proc/[0-9]*/maps || fail "edit: no lexbin.com runs"
press ctrl+q
wait_for 60 app_gone || fail "edit: cmd did not end after Ctrl+Q"
wait_app_exit 10
assert_eq "edit: status" 0 "$E2E_APP_STATUS"
record_is "edit" "C,編集中のメモX"

note "--edit -: standard input read by the launcher, handed to the window"
printf 'パイプの\nメモ\n' | cp932 >"$E2E_TMP/in.txt"
start_cmd --edit - "<$(windows_path "$E2E_TMP/in.txt")"
type_text "Y"
press ctrl+q
wait_for 60 app_gone || fail "edit -: cmd did not end after Ctrl+Q"
wait_app_exit 10
assert_eq "edit -: status" 0 "$E2E_APP_STATUS"
record_is "edit -" "C,パイプのメモY"

note "the stop event: the window ends with status 0, its settings saved, nothing stored"
wine reg delete "$KEY" /v Width /f >/dev/null 2>&1
start_cmd --edit 止める
(cd "$bin" && wine stop_lexbin.exe) || fail "stop: no lexbin.exe to stop"
wait_for 60 app_gone || fail "stop: cmd did not end after the stop event"
wait_app_exit 10
assert_eq "stop: status" 0 "$E2E_APP_STATUS"
[[ "$(wine reg query "$KEY" /v Width 2>/dev/null | tr -d '\r')" =~ Width\ +REG_SZ\ +[0-9] ]] ||
    fail "stop: the settings were not saved"
nothing_stored "stop"
note "all cases passed"

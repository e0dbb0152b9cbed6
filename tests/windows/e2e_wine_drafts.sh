#!/usr/bin/env bash
# End-to-end under Wine: drafts of the unsaved note in the real lexbin.exe on a private Xvfb
# under openbox. A typed note outlives kill -9 of its Wine process and is back at the next
# start; Ctrl+Q, the title bar's close and Ctrl+S leave no draft; two instances killed come
# back one each, oldest first; the end of the session (wineboot --end-session) with the error
# box open writes the draft and the settings.
# Usage: e2e_wine_drafts.sh LEXBIN.EXE LIST_WINDOWS.EXE. From CTest's environment
# (wine.cmake): LEXBIN_WINE_DLL_PATH and LEXBIN_QT_PLUGINS.
here=$(dirname -- "${BASH_SOURCE[0]}")
source "$here/../e2e/lib.sh"
e2e_init "${1:-}"
list_windows=${2:?usage: e2e_wine_drafts.sh LEXBIN.EXE LIST_WINDOWS.EXE}

windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

export WINEPREFIX=$E2E_TMP/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
WINEPATH=
IFS=: read -ra folders <<<"$LEXBIN_WINE_DLL_PATH"
for folder in "${folders[@]}"; do
    WINEPATH+="${WINEPATH:+;}$(windows_path "$folder")"
done
export WINEPATH
mv -- "$E2E_BIN" "$E2E_TMP/bin/lexbin.exe"
E2E_BIN=$E2E_TMP/bin/lexbin.exe
cp -- "$list_windows" "$E2E_TMP/bin/list_windows.exe"
KEY='HKCU\Software\Lexbin\Lexbin\Main'
JA=(env LC_ALL=ja_JP.UTF-8)
DATA=$E2E_TMP/notes.txt

end_wine() {
    local status=$?
    wineserver -k 2>/dev/null
    (exit "$status")
    e2e_cleanup
}
trap end_wine EXIT

note "making the Wine prefix"
"${JA[@]}" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
wineserver -w && wineserver -p || fail "wineserver -p failed"
"${JA[@]}" wine reg add 'HKCU\Environment' /v QT_PLUGIN_PATH /t REG_SZ \
    /d "$(windows_path "$LEXBIN_QT_PLUGINS")" /f >/dev/null || fail "reg add failed"
local_app_data=$("${JA[@]}" wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
DRAFTS=$("${JA[@]}" winepath -u "$local_app_data" 2>/dev/null)/Lexbin/drafts
[[ "$DRAFTS" == "$WINEPREFIX"/* ]] || fail "no %LOCALAPPDATA% in the prefix: '$local_app_data'"

reg_set() {
    "${JA[@]}" wine reg add "$KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null || fail "reg add $1"
}
reg_value() {
    "${JA[@]}" wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; sub(/^ +/, ""); print; exit }'
}
fresh_settings() {  # fresh_settings DATA_FILE
    "${JA[@]}" wine reg delete 'HKCU\Software\Lexbin' /f >/dev/null 2>&1
    reg_set DataFilePath "$(windows_path "$1")"
}

start_wine_app() {
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$SECONDS-$RANDOM.log"
    (cd "$E2E_TMP/bin" && exec env LC_ALL=ja_JP.UTF-8 wine "$E2E_BIN") >"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    E2E_APP_WID=$(wait_window '^Lexbin$' 60) || {
        app_running || fail "the program ended at start"
        fail "the Lexbin window did not appear; its windows:$(app_windows)$(wm_state)"
    }
    focus_window "$E2E_APP_WID"
}

drafts_left() { compgen -G "$DRAFTS/[1-9]*.txt" || true; }
no_drafts() { [[ -z "$(drafts_left)" ]]; }
# drafts_hold TEXT...: the drafts left hold these notes, one each, in any order.
drafts_hold() {
    local file texts=()
    while IFS= read -r file; do
        [[ -n "$file" ]] && texts+=("$(cat -- "$file")")
    done < <(drafts_left)
    ((${#texts[@]} == $#)) &&
        [[ "$(printf '%s\n' "${texts[@]}" | LC_ALL=C sort)" == "$(printf '%s\n' "$@" | LC_ALL=C sort)" ]]
}
# kill_by_window: kill -9 of the Wine process that shows the window, as End task would.
kill_by_window() {
    local pid
    pid=$(xdotool getwindowpid "$E2E_APP_WID") || fail "no pid for window $E2E_APP_WID"
    kill -KILL "$pid"
    wait_for 30 app_gone || fail "the program outlived kill -9"
    wait "$E2E_APP_PID" 2>/dev/null
    forget_app
}
# ended LABEL: the program has ended with status 0.
ended() {
    wait_app_exit 60
    assert_eq "$1: exit status" 0 "$E2E_APP_STATUS"
}
# records_are TEXT...: the data file's notes, stamp and importance left out, in order.
records_are() {
    local got want
    got=$(iconv -f CP932 -t UTF-8 "$DATA" | tr -d '\r' | cut -d, -f4-)
    want=$(printf '%s\n' "$@")
    assert_eq "records" "$want" "$got"
}
windows_listing() {
    rm -f -- "$1"
    "${JA[@]}" wine "$E2E_TMP/bin/list_windows.exe" "$(windows_path "$1")" lexbin.exe \
        >/dev/null 2>&1 && [[ -f "$1" ]]
}
error_box_listed() { windows_listing "$1" && grep -q 'title=エラー - Lexbin$' "$1"; }

# a. kill -9 once the draft is written: back at the next start; Ctrl+Q stores it, no draft.
case_kill() {
    note "a. kill -9 after typing; the note comes back; Ctrl+Q stores it"
    rm -f -- "$DATA"
    fresh_settings "$DATA"
    start_wine_app
    type_text "killed note"
    wait_for 60 drafts_hold "killed note" || fail "a: no draft while typing: $(drafts_left)"
    kill_by_window
    drafts_hold "killed note" || fail "a: no draft after kill -9: $(drafts_left)"
    start_wine_app
    press ctrl+q
    ended "a"
    records_are "killed note"
    no_drafts || fail "a: a draft is left after Ctrl+Q: $(drafts_left)"
}

# b. the title bar's close (openbox's Alt+F4) drops the note; Ctrl+S drops the draft at once.
case_user_ends() {
    note "b. the title bar's close and Ctrl+S leave no draft"
    rm -f -- "$DATA"
    fresh_settings "$DATA"
    start_wine_app
    type_text "dropped"
    wait_for 60 drafts_hold "dropped" || fail "b: no draft while typing"
    press alt+F4
    ended "b"
    no_drafts || fail "b: a draft is left after the close: $(drafts_left)"
    start_wine_app
    type_text "stored"
    wait_for 60 drafts_hold "stored" || fail "b: no draft while typing"
    press ctrl+s
    wait_for 60 file_has_lines "$DATA" 1 || fail "b: no record after Ctrl+S"
    no_drafts || fail "b: a draft is left after Ctrl+S: $(drafts_left)"
    kill_by_window
    no_drafts || fail "b: a kill after the store left a draft: $(drafts_left)"
    records_are "stored"
}

# c. two instances killed: the next two starts take one draft each, the older first.
case_two() {
    note "c. two instances killed come back one each"
    rm -f -- "$DATA"
    fresh_settings "$DATA"
    start_wine_app
    type_text "first one"
    wait_for 60 drafts_hold "first one" || fail "c: no first draft"
    local first_pid=$E2E_APP_PID first_wid=$E2E_APP_WID
    E2E_APP_PID=""
    start_wine_app
    type_text "second one"
    wait_for 60 drafts_hold "first one" "second one" || fail "c: drafts: $(drafts_left)"
    kill_by_window
    E2E_APP_PID=$first_pid E2E_APP_WID=$first_wid
    kill_by_window
    start_wine_app
    press ctrl+q
    ended "c"
    start_wine_app
    press ctrl+q
    ended "c"
    records_are "first one" "second one"
    no_drafts || fail "c: drafts left: $(drafts_left)"
}

# d. the session ends while the error box of a failed store is open: the box goes, the
#    draft and the settings are written, and the next start has the note.
case_session_end() {
    note "d. the session ends with the error box open"
    local listing=$E2E_TMP/d-windows.txt
    rm -f -- "$DATA"
    fresh_settings "$E2E_TMP/missing/notes.txt"
    start_wine_app
    type_text "session note"
    press ctrl+s
    wait_for 60 error_box_listed "$listing" || fail "d: no error box: $(cat "$listing")"
    timeout 120 "${JA[@]}" wineboot --end-session >/dev/null 2>&1 ||
        fail "d: wineboot --end-session failed"
    wait_for 60 app_gone || fail "d: the program outlived the session's end"
    wait "$E2E_APP_PID" 2>/dev/null
    forget_app
    drafts_hold "session note" || fail "d: no draft after the session's end: $(drafts_left)"
    local name
    for name in AutoEnableIME Width Height; do
        [[ "$(reg_value "$name")" =~ ^REG_SZ\ +[0-9]+ ]] || fail "d: $name was not written"
    done
    reg_set DataFilePath "$(windows_path "$DATA")"
    start_wine_app
    press ctrl+q
    ended "d"
    records_are "session note"
    no_drafts || fail "d: drafts left: $(drafts_left)"
}

start_xvfb
start_openbox
case_kill
case_user_ends
case_two
case_session_end
note "all cases passed"

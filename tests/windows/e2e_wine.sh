#!/usr/bin/env bash
# End-to-end under Wine: the real lexbin.exe in code page 932 on a private Xvfb, without a
# window manager and under openbox. Typed and pasted Japanese stored with an importance in
# code page 932 and CR LF; the settings in the registry; the geometry through a restart; the
# error box of a missing folder, read back by list_windows.exe; the clipboard forms of the
# command line.
# Usage: e2e_wine.sh LEXBIN.EXE LIST_WINDOWS.EXE. From CTest's environment (wine.cmake):
# LEXBIN_WINE_DLL_PATH (the Unix folders of the DLLs) and LEXBIN_QT_PLUGINS.
# Wine hands a Windows program no QT_ variable of the Unix environment: Qt's plugin folder
# goes into the prefix's HKCU\Environment.
here=$(dirname -- "${BASH_SOURCE[0]}")
source "$here/../e2e/lib.sh"
e2e_init "${1:-}"
list_windows=${2:?usage: e2e_wine.sh LEXBIN.EXE LIST_WINDOWS.EXE}
command -v xclip >/dev/null || { echo "missing tool: xclip" >&2; exit 2; }

windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# One prefix for the script; the program and the helper under the names Windows gives them.
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

end_wine() {
    local status=$?
    wineserver -k 2>/dev/null
    (exit "$status")
    e2e_cleanup
}
trap end_wine EXIT

note "making the Wine prefix"
# One wineserver for the whole script: a Wine program started while the last one's server is
# ending may find no server (seen as an empty `wine reg query`).
"${JA[@]}" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
wineserver -w && wineserver -p || fail "wineserver -p failed"
"${JA[@]}" wine reg add 'HKCU\Environment' /v QT_PLUGIN_PATH /t REG_SZ \
    /d "$(windows_path "$LEXBIN_QT_PLUGINS")" /f >/dev/null || fail "reg add failed"

reg_set() {  # reg_set NAME VALUE
    "${JA[@]}" wine reg add "$KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null || fail "reg add $1"
}
# reg_value NAME: "TYPE VALUE" (single blanks); empty when absent.
reg_value() {
    "${JA[@]}" wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; sub(/^ +/, ""); print; exit }'
}
reg_forget() { "${JA[@]}" wine reg delete 'HKCU\Software\Lexbin' /f >/dev/null 2>&1; true; }

start_wine_app() {  # start_wine_app [ARG...]
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$SECONDS-$RANDOM.log"
    (cd "$E2E_TMP/bin" && exec env LC_ALL=ja_JP.UTF-8 wine "$E2E_BIN" "$@") >"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    E2E_APP_WID=$(wait_window '^Lexbin$' 60) || {
        app_running || fail "the program ended at start"
        fail "the Lexbin window did not appear; its windows:$(app_windows)$(wm_state)"
    }
    focus_window "$E2E_APP_WID"
}

# windows_listing FILE: the program's top-level windows and their texts (list_windows.exe).
windows_listing() {
    rm -f -- "$1"
    "${JA[@]}" wine "$E2E_TMP/bin/list_windows.exe" "$(windows_path "$1")" lexbin.exe \
        >/dev/null 2>&1 && [[ -f "$1" ]]
}
# quit LABEL [KEY...]: Ctrl+Q (or the keys given), and the program ends with status 0.
quit() {
    local label=$1
    shift
    press "${@:-ctrl+q}"
    wait_for 60 app_gone || {
        windows_listing "$E2E_TMP/left.txt"
        fail "$label: the program did not end; its windows: $(cat "$E2E_TMP/left.txt")"
    }
    wait_app_exit 10
    assert_eq "$label: exit status" 0 "$E2E_APP_STATUS"
}
box_gone() { windows_listing "$1" && ! grep -q '^window #32770 ' "$1"; }
error_box_listed() { windows_listing "$1" && grep -q 'title=エラー - Lexbin$' "$1"; }

# case_store LABEL: the window's icons; a typed and a pasted note with 超重要 (Alt+A), Ctrl+S; the
# record's bytes in code page 932 with CR LF; Ctrl+Q writes the IME choice and the geometry
# as text.
case_store() {
    local label=$1 data="$E2E_TMP/$1-notes.txt" before got want clip
    note "$label: typed and pasted Japanese, Alt+A, Ctrl+S, Ctrl+Q"
    reg_forget
    reg_set DataFilePath "$(windows_path "$data")"
    before=$(now_stamp)
    start_wine_app
    # The window icon: the 32 x 32 and the 16 x 16 image, as Wine hands them to X.
    local icons
    icons=$(xprop -id "$E2E_APP_WID" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u)
    assert_eq "$label: window icons" $'Icon (16 x 16)\nIcon (32 x 32)' "$icons"
    # Nothing stored: the system's default place (Wine's), not the centre Qt would choose.
    client_geometry "$E2E_APP_WID"
    ((GEO_X != (E2E_SCREEN_W - GEO_W) / 2 || GEO_Y != (E2E_SCREEN_H - GEO_H) / 2)) ||
        fail "$label: a first start is centred at $GEO_X,$GEO_Y"
    type_text "note one "
    printf '超重要の件' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    clip=$!
    wait_for 30 bash -c 'xclip -o -selection clipboard | grep -q 超重要の件' ||
        fail "$label: the clipboard does not hold the text"
    press ctrl+v alt+a ctrl+s
    wait_for 60 file_has_lines "$data" 1 || fail "$label: no record after Ctrl+S"
    e2e_kill "$clip"
    local stamp_re='^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},$'
    [[ "$(head -c 17 -- "$data")" =~ $stamp_re ]] || fail "$label: no stamp: $(od -c "$data")"
    [[ ! "$(head -c 16 -- "$data")" < "$before" ]] || fail "$label: stamped before the start"
    got=$E2E_TMP/$label-got want=$E2E_TMP/$label-want
    tail -c +18 -- "$data" >"$got"
    printf 'A,note one 超重要の件\r\n' | iconv -f UTF-8 -t CP932 >"$want"
    assert_file_bytes "$got" "$want"
    quit "$label"
    local name value
    for name in AutoEnableIME Left Top Width Height; do
        value=$(reg_value "$name")
        [[ "$value" =~ ^REG_SZ\ +-?[0-9]+(\.[0-9]+)?$ ]] ||
            fail "$label: $name in the registry: '$value'"
    done
    assert_eq "$label: AutoEnableIME" "REG_SZ 0" "$(reg_value AutoEnableIME)"
}

# case_geometry LABEL LEFT TOP: a stored geometry is applied, stored again unchanged at
# Ctrl+Q, and brings the window back to the same place and size after a restart.
case_geometry() {
    local label=$1 left=$2 top=$3 run first="" place
    note "$label: geometry at $left,$top twips through a restart"
    reg_forget
    reg_set Left "$left" && reg_set Top "$top" && reg_set Width 6000 && reg_set Height 4500
    for run in 1 2; do
        start_wine_app
        client_geometry "$E2E_APP_WID"
        place="$GEO_X,$GEO_Y,$GEO_W,$GEO_H"
        [[ -z "$first" ]] || assert_eq "$label: the window after a restart" "$first" "$place"
        first=$place
        SIZE_96="$GEO_W $GEO_H"
        quit "$label"
        assert_eq "$label: run $run: Left" "REG_SZ $left" "$(reg_value Left)"
        assert_eq "$label: run $run: Top" "REG_SZ $top" "$(reg_value Top)"
        assert_eq "$label: run $run: Width" "REG_SZ 6000" "$(reg_value Width)"
        assert_eq "$label: run $run: Height" "REG_SZ 4500" "$(reg_value Height)"
    done
}

# case_error_box LABEL: a store into a missing folder shows the error box, system-modal,
# owned by the main window, which it disables; its five lines; Enter closes it; the note
# stays.
case_error_box() {
    local label=$1 listing="$E2E_TMP/$1-windows.txt" missing="$E2E_TMP/missing/notes.txt"
    note "$label: a missing folder gives the error box"
    reg_forget
    reg_set DataFilePath "$(windows_path "$missing")"
    start_wine_app
    type_text "lost"
    press ctrl+s
    wait_for 60 error_box_listed "$listing" || fail "$label: no error box:
$(cat "$listing" 2>/dev/null)"
    local want="$E2E_TMP/$label-box-want" got="$E2E_TMP/$label-box-got"
    {
        printf 'window #32770 enabled=1 topmost=1 owner=Lexbin title=エラー - Lexbin\n'
        printf 'text エラー番号:76\n'
        printf 'text 場所:mdlLexbin!SaveData - Lexbin12\n'
        printf 'text パスが見つかりません。 (%s)\n' "$(windows_path "$missing")"
        printf 'text 上記の説明と、エラーの発生したときの簡単な状況を書いて、\n'
        printf 'text "Lexbin Project" <lexbin@example.org> まで連絡してください。\n'
    } >"$want"
    awk '/^window #32770 /{on=1; print; next} /^window /{on=0} on' "$listing" >"$got"
    diff -u "$want" "$got" >&2 || fail "$label: the error box"
    grep -q '^window .* enabled=0 .*title=Lexbin$' "$listing" ||
        fail "$label: the main window is not disabled under the box: $(cat "$listing")"
    # X may report the box focused before Wine has made it its focus window, and Wine drops
    # a key sent meanwhile: Enter is pressed again until the box is gone, as focus_window asks
    # again.
    local box deadline=$((SECONDS + 60))
    box=$(wait_window '^エラー - Lexbin$' 60) || fail "$label: no X window for the box"
    until box_gone "$listing"; do
        ((SECONDS < deadline)) || fail "$label: Enter does not close the box: $(cat "$listing")"
        focus_window "$box"
        press Return
        wait_for 5 box_gone "$listing" || true
    done
    # The note that was not stored stays in the box, and Ctrl+Q would try again: File, Exit.
    focus_window "$E2E_APP_WID"
    press alt+f
    wait_for 60 menu_shown || fail "$label: the File menu did not open"
    quit "$label" x
    [[ ! -e "$missing" ]] || fail "$label: a file appeared in the missing folder"
}

# case_dpi LABEL: at 144 dots per inch (Wine's LogPixels) the same stored twips give a window
# 1.5 times the size it has at 96 (15 twips a device-independent pixel, Qt scaling to the
# screen), and are stored again unchanged. Run after case_geometry with 1500,1200.
case_dpi() {
    local label=$1 width height
    note "$label: geometry at 144 dots per inch"
    read -r width height <<<"$SIZE_96"
    "${JA[@]}" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
        >/dev/null || fail "$label: cannot set LogPixels"
    reg_forget
    reg_set Left 1500 && reg_set Top 1200 && reg_set Width 6000 && reg_set Height 4500
    start_wine_app
    client_geometry "$E2E_APP_WID"
    # The client area: the frame around it scales too, so within a few pixels.
    ((GEO_W * 2 >= width * 3 - 8 && GEO_W * 2 <= width * 3 + 8 &&
        GEO_H * 2 >= height * 3 - 8 && GEO_H * 2 <= height * 3 + 8)) ||
        fail "$label: ${GEO_W}x$GEO_H at 144 dpi, ${width}x$height at 96"
    note "$label: client area ${GEO_W}x$GEO_H at 144 dpi, ${width}x$height at 96"
    quit "$label"
    assert_eq "$label: Width" "REG_SZ 6000" "$(reg_value Width)"
    assert_eq "$label: Height" "REG_SZ 4500" "$(reg_value Height)"
    assert_eq "$label: Left" "REG_SZ 1500" "$(reg_value Left)"
    "${JA[@]}" wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null ||
        fail "$label: cannot reset LogPixels"
}

# case_font_dialog LABEL: the font size dialog is owned by the main window, so Wine asks the
# window manager to keep it out of the taskbar, as Windows shows no button for it.
case_font_dialog() {
    local label=$1 dialog
    note "$label: the font size dialog has no taskbar entry"
    reg_forget
    start_wine_app
    press alt+o f
    dialog=$(wait_window '^フォントサイズ設定$' 60) || fail "$label: no font size dialog"
    wait_for 60 window_viewable "$dialog" || fail "$label: the dialog is not shown"
    [[ "$(xprop -id "$dialog" _NET_WM_STATE)" == *_NET_WM_STATE_SKIP_TASKBAR* ]] ||
        fail "$label: the dialog is listed in the taskbar: $(xprop -id "$dialog" _NET_WM_STATE)"
    press Escape
    wait_for 60 window_not_viewable "$dialog" || fail "$label: Escape leaves the dialog open"
    focus_window "$E2E_APP_WID"
    quit "$label"
}

# case_clipboard LABEL: two lines of Japanese on the X clipboard, which reaches Wine through
# its X11 driver: --note-clipboard -i B stores them at once, --edit-clipboard puts them in
# the box; both records in code page 932.
case_clipboard() {
    local label=$1 data="$E2E_TMP/$1-clipboard-notes.txt" clip status got want
    note "$label: --note-clipboard -i B and --edit-clipboard"
    reg_forget
    reg_set DataFilePath "$(windows_path "$data")"
    printf '電話メモ\n田中さん' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    clip=$!
    wait_for 30 bash -c 'xclip -o -selection clipboard | grep -q 田中さん' ||
        fail "$label: the clipboard does not hold the text"
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$SECONDS-$RANDOM.log"
    (cd "$E2E_TMP/bin" && exec env LC_ALL=ja_JP.UTF-8 timeout 120 wine "$E2E_BIN" \
        --note-clipboard -i B) >"$E2E_APP_LOG" 2>&1
    status=$?
    assert_eq "$label: --note-clipboard: exit status" 0 "$status"
    start_wine_app --edit-clipboard
    type_text "X"
    quit "$label"
    e2e_kill "$clip"
    got=$E2E_TMP/$label-clipboard-got want=$E2E_TMP/$label-clipboard-want
    cut -b 18- -- "$data" >"$got"
    printf 'B,電話メモ田中さん\r\nC,電話メモ田中さんX\r\n' | iconv -f UTF-8 -t CP932 >"$want"
    assert_file_bytes "$got" "$want"
}

start_xvfb
case_clipboard none
case_store none
case_error_box none
case_geometry none 1500 1200
case_dpi none
# Without a window manager a window at 0,0 comes back there. Under openbox Wine places the
# frame by Windows' frame sizes, not openbox's: not checked there.
case_geometry none 0 0
start_openbox
case_store openbox
case_error_box openbox
case_geometry openbox 1500 1200
case_font_dialog openbox
note "all cases passed"

#!/usr/bin/env bash
# End-to-end: the Settings and Help menus. The font size dialog (its frame, hint on a size
# out of range with Return and the keypad's Enter, stored size applied at once and after a
# restart, Esc), the data file path box (the
# path typed is stored and used, a folder path is refused), the input method item, and the
# About box. Runs the real program on a private X server, first without a window manager,
# then the dialog cases again under openbox.
# Usage: settings_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
start_xvfb

MODE=""
WIN=""

# shown_windows: the names of the visible named windows, for failure messages.
shown_windows() {
    local wid
    for wid in $(timeout 20 xdotool search --onlyvisible --name . 2>/dev/null); do
        printf " [%s]" "$(xdotool getwindowname "$wid" 2>/dev/null)"
    done
}

# await_window NAME_REGEX WHAT: waits for the program's window so named and for the keyboard
# focus to reach it (the program hands it over by itself); sets WIN.
await_window() {
    WIN=$(wait_window "$1" 60) || {
        app_running || fail "$MODE: $2: the program ended"
        fail "$MODE: $2: no window named $1; shown:$(shown_windows)"
    }
    wait_for 60 focused_is "$WIN" ||
        fail "$MODE: $2: window $WIN ($1) did not get the focus; it is on $(xdotool getwindowfocus)"
}

# focus_back WID WHAT: after a window of the program closed, the keyboard focus goes to WID.
# Handing it back is the window manager's job (openbox: checked); without one X gives it to
# the root window, so it is set here.
focus_back() {
    if [[ -n "$E2E_WM_PID" ]]; then
        wait_for 60 focused_is "$1" ||
            fail "$MODE: $2: the focus did not come back to window $1; it is on $(xdotool getwindowfocus)"
    else
        focus_window "$1"
    fi
}

# await_closed WID WHAT: WID disappears, the program still runs, the main window has the focus.
await_closed() {
    wait_for 60 window_not_viewable "$1" || fail "$MODE: $2: window $1 is still shown; shown:$(shown_windows)"
    app_running || fail "$MODE: $2: the program ended"
    focus_back "$E2E_APP_WID" "$2"
}

# conf_drop KEY: removes KEY from the settings file while the program runs (replaced in one
# rename, so the program never reads half a file).
conf_drop() {
    local line tmp="$E2E_TMP/conf-edit.tmp"
    : >"$tmp"
    while IFS= read -r line || [[ -n "$line" ]]; do
        [[ "${line%$'\r'}" == "$1="* ]] || printf '%s\n' "$line" >>"$tmp"
    done <"$E2E_APP_CONF"
    mv -f -- "$tmp" "$E2E_APP_CONF" || fail "cannot rewrite $E2E_APP_CONF"
    [[ -z "$(conf_value "$1")" ]] || fail "conf_drop: $1 is still in $E2E_APP_CONF"
}

conf_is() { [[ "$(conf_value "$1")" == "$2" ]]; }

# expect_conf KEY VALUE WHAT: waits for the settings file to hold KEY=VALUE.
expect_conf() {
    wait_for 60 conf_is "$1" "$2" ||
        fail "$MODE: $3: expected $1=$2 in the settings, got $1=$(conf_value "$1")"
}

# conf_keep, then assert_conf_kept WHAT: the settings file has not changed in between.
conf_keep() { cp -- "$E2E_APP_CONF" "$E2E_TMP/conf-kept" || fail "cannot copy $E2E_APP_CONF"; }
assert_conf_kept() {
    [[ "$(od -An -v -tx1 -- "$E2E_APP_CONF")" == "$(od -An -v -tx1 -- "$E2E_TMP/conf-kept")" ]] ||
        fail "$MODE: $1: the settings file changed
--- before ---
$(cat -- "$E2E_TMP/conf-kept")
--- after ---
$(cat -- "$E2E_APP_CONF")"
}

quit_app() {  # quit_app WHAT: Ctrl+Q in the main window, exit status 0
    press ctrl+q
    wait_app_exit 60
    assert_eq "$MODE: $1: exit status" 0 "$E2E_APP_STATUS"
}

open_font_dialog() {  # sets FONT_DLG
    press alt+o f
    await_window '^フォントサイズ設定$' "$1: font size dialog"
    FONT_DLG=$WIN
}

# font_dialog_offers SIZE WHAT: the dialog, opened with no FontSize in the settings, stores
# what it offers when confirmed at once: the note box's current size, rounded down.
font_dialog_offers() {
    conf_drop FontSize
    open_font_dialog "$2"
    press Return
    await_closed "$FONT_DLG" "$2: Return in the font size dialog"
    expect_conf FontSize "$1" "$2: size offered by the dialog"
}

# font_hint TEXT [KEY]: TEXT typed into the open dialog and Return (or KEY) bring the hint;
# the dialog stays, with the focus, and nothing is stored.
font_hint() {
    local what="font size '$1' and ${2:-Return}"
    conf_keep
    type_text "$1"
    press "${2:-Return}"
    await_window '^ヒント - Lexbin$' "$what: hint"
    local hint=$WIN
    window_viewable "$FONT_DLG" || fail "$MODE: $what: the dialog closed under the hint"
    assert_conf_kept "$what: with the hint shown"
    press Return
    wait_for 60 window_not_viewable "$hint" || fail "$MODE: $what: Return did not dismiss the hint"
    window_viewable "$FONT_DLG" || fail "$MODE: $what: the dialog closed with the hint"
    focus_back "$FONT_DLG" "$what"
    assert_conf_kept "$what: after the hint"
}

# assert_dialog_frame WID WHAT: a fixed frame with a title bar and a close box only, kept out
# of the taskbar, as the program asks for it; under openbox, also that it cannot be maximized
# (openbox gives every dialog a minimize button whatever it asks).
assert_dialog_frame() {
    local hints normal state
    hints=$(xprop -id "$1" _MOTIF_WM_HINTS)
    normal=$(xprop -id "$1" WM_NORMAL_HINTS)
    state=$(xprop -id "$1" _NET_WM_STATE)
    # flags: functions and decorations; functions resize, move, close; decorations border,
    # resize handle, title, menu: no minimize or maximize.
    assert_eq "$MODE: $2: _MOTIF_WM_HINTS" \
        "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x26, 0x1e, 0x0, 0x0" "$hints"
    local re='minimum size: ([0-9]+) by ([0-9]+).*maximum size: ([0-9]+) by ([0-9]+)'
    [[ "${normal//$'\n'/ }" =~ $re && "${BASH_REMATCH[1]}x${BASH_REMATCH[2]}" == \
        "${BASH_REMATCH[3]}x${BASH_REMATCH[4]}" ]] || fail "$MODE: $2: not a fixed size: $normal"
    [[ "$state" == *_NET_WM_STATE_SKIP_TASKBAR* ]] || fail "$MODE: $2: listed in the taskbar: $state"
    if [[ -n "$E2E_WM_PID" ]]; then
        [[ "$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)" != *MAXIMIZE* ]] ||
            fail "$MODE: $2: the window manager allows maximizing it"
    fi
}

# a. Font size: the dialog offers 10 at first; sizes out of range bring the hint and keep
#    the dialog, their text selected again; a valid size is stored and used by the note box
#    at once and after a restart; Esc stores nothing.
case_font_size() {
    note "$MODE: a. font size dialog"
    new_home
    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt"
    start_app
    # A fresh start: the dialog offers the note box's size, 10.
    open_font_dialog "a"
    press Return
    await_closed "$FONT_DLG" "a: Return at once"
    expect_conf FontSize 10 "a: size offered at first"

    # Each text replaces the previous one only if the dialog selected it again after the
    # hint ("851" and "5114" would be refused as well).
    open_font_dialog "a"
    assert_dialog_frame "$FONT_DLG" "a: frame"
    font_hint 8
    font_hint 51
    font_hint abc KP_Enter
    type_text 14
    press Return
    await_closed "$FONT_DLG" "a: size 14"
    expect_conf FontSize 14 "a: size 14"
    font_dialog_offers 14 "a: the note box uses the size at once"

    # Esc, with another valid size typed: the dialog closes, the settings stay as they are.
    conf_keep
    open_font_dialog "a (Esc)"
    type_text 33
    press Escape
    await_closed "$FONT_DLG" "a: Esc"
    assert_conf_kept "a: Esc"
    quit_app "a"
    assert_eq "$MODE: a: FontSize after the close" 14 "$(conf_value FontSize)"

    # The size is read back at the next start.
    start_app
    font_dialog_offers 14 "a: after the restart"
    quit_app "a: after the restart"
}

open_path_box() {  # sets PATH_BOX
    press alt+o p
    await_window '^Lexbin先のパス$' "$1: path box"
    PATH_BOX=$WIN
}

# b. Data file path: Esc stores nothing; the box holds the current path; the path typed is
#    stored as typed and the next note goes there; a path ending in / or \ brings the
#    warning and stores nothing.
case_data_path() {
    note "$MODE: b. data file path"
    new_home
    local first="$E2E_APP_HOME/first.txt" other="$E2E_APP_HOME/other dir/notes 2.txt" before
    mkdir -p -- "$E2E_APP_HOME/other dir"
    write_conf "DataFilePath=$first"
    start_app

    conf_keep
    open_path_box "b (Esc)"
    type_text "ignored"
    press Escape
    await_closed "$PATH_BOX" "b: Esc"
    assert_conf_kept "b: Esc"

    # The text typed after End lands behind the path the box was filled with.
    open_path_box "b (End)"
    press End
    type_text ".old"
    press Return
    await_closed "$PATH_BOX" "b: path with .old"
    expect_conf DataFilePath "$first.old" "b: End, .old"

    open_path_box "b (new path)"
    press ctrl+a
    type_text "$other"
    press Return
    await_closed "$PATH_BOX" "b: new path"
    expect_conf DataFilePath "$other" "b: new path"

    before=$(now_stamp)
    type_text "to the new file"
    press ctrl+s
    wait_for 60 file_has_lines "$other" 1 || fail "$MODE: b: no record in $other after Ctrl+S"
    assert_records "$other" "$before" "$(now_stamp)" "C,to the new file"
    [[ ! -e "$first" && ! -e "$first.old" ]] || fail "$MODE: b: a record went to an old path"

    local end
    for end in / "\\"; do
        conf_keep
        open_path_box "b ($end)"
        press ctrl+a
        type_text "$E2E_APP_HOME/folder$end"
        press Return
        await_window '^注意$' "b: path ending in $end: warning"
        window_not_viewable "$PATH_BOX" || fail "$MODE: b: the path box is still shown with the warning"
        assert_conf_kept "b: path ending in $end, warning shown"
        press Return
        await_closed "$WIN" "b: warning for $end"
        assert_conf_kept "b: path ending in $end, warning dismissed"
    done
    quit_app "b"
    assert_eq "$MODE: b: DataFilePath after the close" "$other" "$(conf_value DataFilePath)"
    assert_records "$other" "$before" "$(now_stamp)" "C,to the new file"
}

# c. The input method item: checked and saved as 1, then read back checked and unchecked to 0.
case_ime_item() {
    note "$MODE: c. IMEの自動起動 item"
    new_home
    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt"
    start_app
    press alt+o i
    quit_app "c: first start"
    assert_eq "$MODE: c: AutoEnableIME after checking" 1 "$(conf_value AutoEnableIME)"
    start_app
    press alt+o i
    quit_app "c: second start"
    assert_eq "$MODE: c: AutoEnableIME after unchecking" 0 "$(conf_value AutoEnableIME)"
}

# d. The About box comes and goes; the program goes on storing notes.
case_about() {
    note "$MODE: d. About box"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before
    write_conf "DataFilePath=$data"
    start_app
    press alt+h a
    await_window '^バージョン情報$' "d: About box"
    window_viewable "$E2E_APP_WID" || fail "$MODE: d: the main window is gone"
    press Return
    await_closed "$WIN" "d: About box"
    before=$(now_stamp)
    type_text "after about"
    press ctrl+s
    wait_for 60 file_has_lines "$data" 1 || fail "$MODE: d: no record after the About box"
    assert_records "$data" "$before" "$(now_stamp)" "C,after about"
    quit_app "d"
}

MODE="no window manager"
case_font_size
case_data_path
case_ime_item
case_about

start_openbox
MODE="openbox"
case_font_size
case_data_path
case_about

note "all settings cases passed"

#!/usr/bin/env bash
# End-to-end: storing notes with Ctrl+S / Ctrl+Q, the importance keys, and a store that
# fails. Runs the real program on a private X server without a window manager.
# Usage: store_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
start_xvfb

# The text box fills the window below the option buttons: a point near the bottom-left
# corner lies in it.
click_text_box() {
    client_geometry "$E2E_APP_WID"
    click_at "$E2E_APP_WID" 30 $((GEO_H - 20))
}

# a. A two-line note stored with 重要 (Alt+B): one record, line break removed, box emptied,
#    importance kept for the next note; a blank note writes nothing.
case_store_two_lines() {
    note "a. two-line note, Alt+B, Ctrl+S; the box is emptied and the importance kept"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before
    write_conf "DataFilePath=$data"
    before=$(now_stamp)
    start_app
    type_text "line1"
    press Return
    type_text "line2"
    press alt+b ctrl+s
    wait_for 60 file_has_lines "$data" 1 || fail "a: no record after Ctrl+S"
    assert_records "$data" "$before" "$(now_stamp)" "B,line1line2"
    local record re=$'^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},B,line1line2\r$'
    IFS= read -r record <"$data"
    [[ "$record" =~ $re ]] || fail "a: record format: $(od -c -- "$data")"

    # Alt+B leaves the keyboard focus on the 重要 button: click back into the text box.
    click_text_box
    type_text "x"
    press ctrl+s
    wait_for 60 file_has_lines "$data" 2 || fail "a: no second record"
    # Blank box: Ctrl+S must add nothing; the next real note shows it did not.
    press ctrl+s
    type_text "y"
    press ctrl+s
    wait_for 60 file_has_lines "$data" 3 || fail "a: no third record"
    assert_records "$data" "$before" "$(now_stamp)" "B,line1line2" "B,x" "B,y"
    press ctrl+q
    wait_app_exit 60
    assert_eq "a: exit status" 0 "$E2E_APP_STATUS"
}

# b. An option key pressed right before Ctrl+S counts for that store, for all three keys;
#    with no key pressed the note is 普通 (C).
case_key_then_store_at_once() {
    note "b. Alt+A/B/C immediately followed by Ctrl+S"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before
    write_conf "DataFilePath=$data"
    before=$(now_stamp)
    start_app
    type_text "plain"
    press ctrl+s
    wait_for 60 file_has_lines "$data" 1 || fail "b: no record for the default importance"
    local n=1 key
    for key in b a c; do
        click_text_box
        type_text "note-$key"
        xdotool key --delay 0 "alt+$key" ctrl+s
        n=$((n + 1))
        wait_for 60 file_has_lines "$data" $n || fail "b: no record after alt+$key ctrl+s"
    done
    assert_records "$data" "$before" "$(now_stamp)" \
        "C,plain" "B,note-b" "A,note-a" "C,note-c"
    stop_app
}

# c. Ctrl+Q stores the note, quits with status 0 and writes the window's settings.
case_store_and_quit() {
    note "c. Ctrl+Q stores, exits 0 and writes the settings"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before
    write_conf "DataFilePath=$data"
    before=$(now_stamp)
    start_app
    client_geometry "$E2E_APP_WID"  # no window manager: the window is its own frame
    local x=$GEO_X y=$GEO_Y w=$GEO_W h=$GEO_H
    type_text "bye"
    press ctrl+q
    wait_app_exit 60
    assert_eq "c: exit status" 0 "$E2E_APP_STATUS"
    assert_records "$data" "$before" "$(now_stamp)" "C,bye"
    assert_eq "c: Left" $((x * 15)) "$(conf_value Left)"
    assert_eq "c: Top" $((y * 15)) "$(conf_value Top)"
    assert_eq "c: Width" $((w * 15)) "$(conf_value Width)"
    assert_eq "c: Height" $((h * 15)) "$(conf_value Height)"
    assert_eq "c: AutoEnableIME" 0 "$(conf_value AutoEnableIME)"
    assert_eq "c: DataFilePath" "$data" "$(conf_value DataFilePath)"
}

# The files of the run but the drafts (the note in the box is in one at the latest when a
# store begins), and the sizes of the folders above them.
files_but_drafts() {
    local h=$E2E_APP_HOME t=$'\t'
    files_under "$h" | grep -v -e "$t$h\$" -e "$t$h/home\$" -e "$t$h/home/.local\$" \
        -e "$t$h/home/.local/state"
}

# Waits for the error box, checks nothing was written, dismisses it with Return.
expect_error_box() {
    local what=$1 listing_before=$2 box
    box=$(wait_window '^エラー - Lexbin$' 60) || fail "$what: no error box"
    assert_eq "$what: files after the failed store" "$listing_before" "$(files_but_drafts)"
    focus_window "$box"
    press Return
    wait_for 60 window_not_viewable "$box" || fail "$what: Return did not dismiss the error box"
    app_running || fail "$what: the program ended after the error box"
    window_viewable "$E2E_APP_WID" || fail "$what: the main window is gone"
}

# d. The data file's folder is missing: the error box appears, nothing is written, the note
#    stays in the box and is stored once the folder exists; Ctrl+Q does not quit then.
case_store_fails() {
    note "d. store into a missing folder (Ctrl+S, then Ctrl+Q)"
    new_home
    local dir="$E2E_APP_HOME/missing" before listing
    write_conf "DataFilePath=$dir/notes.txt"
    before=$(now_stamp)
    start_app
    type_text "keep me"
    listing=$(files_but_drafts)
    press ctrl+s
    expect_error_box "d (Ctrl+S)" "$listing"
    mkdir -- "$dir"
    focus_window "$E2E_APP_WID"
    press ctrl+s
    wait_for 60 file_has_lines "$dir/notes.txt" 1 || fail "d: no record once the folder exists"
    assert_records "$dir/notes.txt" "$before" "$(now_stamp)" "C,keep me"
    stop_app

    new_home
    dir="$E2E_APP_HOME/also-missing"
    write_conf "DataFilePath=$dir/notes.txt"
    before=$(now_stamp)
    start_app
    type_text "still here"
    listing=$(files_but_drafts)
    press ctrl+q
    expect_error_box "d (Ctrl+Q)" "$listing"
    # Still running with the note: once the folder exists Ctrl+Q stores it and quits.
    mkdir -- "$dir"
    focus_window "$E2E_APP_WID"
    press ctrl+q
    wait_app_exit 60
    assert_eq "d: exit status" 0 "$E2E_APP_STATUS"
    assert_records "$dir/notes.txt" "$before" "$(now_stamp)" "C,still here"
}

# e. Closing (ファイル > 終了) stores nothing, yet quits and writes the settings.
case_exit_stores_nothing() {
    note "e. ファイル > 終了 with a note stores nothing"
    new_home
    local data="$E2E_APP_HOME/notes.txt"
    write_conf "DataFilePath=$data"
    start_app
    type_text "not stored"
    press alt+f x
    wait_app_exit 60
    assert_eq "e: exit status" 0 "$E2E_APP_STATUS"
    [[ ! -e "$data" ]] || fail "e: closing stored something: $(od -c -- "$data")"
    assert_eq "e: AutoEnableIME written at close" 0 "$(conf_value AutoEnableIME)"
}

case_store_two_lines
case_key_then_store_at_once
case_store_and_quit
case_store_fails
case_exit_stores_nothing
note "all store cases passed"

#!/usr/bin/env bash
# End-to-end: lexbin --edit TEXT opens the window with TEXT in the box and the cursor after
# it, with Qt's own window options passed on; with and without a window manager.
# Usage: edit_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
start_xvfb

# Typing goes after the start text, so the record shows both the text and the cursor.
case_edit() {
    note "$MODE: --edit with a line break, Qt's -session and -name taken by Qt"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before
    write_conf "DataFilePath=$data"
    before=$(now_stamp)
    start_app -session lexbin-e2e -name lexbin-e2e --edit $'選択した\nテキスト'
    type_text "X"
    press ctrl+q
    wait_app_exit 60
    assert_eq "$MODE: exit status" 0 "$E2E_APP_STATUS"
    assert_records "$data" "$before" "$(now_stamp)" "C,選択したテキストX"
}

MODE="no window manager"
case_edit

start_openbox
MODE="openbox"
case_edit

note "all --edit cases passed"

#!/usr/bin/env bash
# End-to-end: lexbin --edit TEXT opens the window with TEXT in the box and the cursor after
# it, with Qt's own window options passed on; with and without a window manager. The
# clipboard forms read what xclip holds.
# Usage: edit_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
command -v xclip >/dev/null || { echo "missing tool: xclip" >&2; exit 2; }
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

# run_once ARG...: the program in the current home, no window expected; sets E2E_APP_STATUS.
run_once() {
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$E2E_RUN-$SECONDS-$RANDOM.log"
    env -i PATH="$PATH" DISPLAY="$DISPLAY" LC_ALL=C.UTF-8 \
        HOME="$E2E_APP_HOME/home" XDG_CONFIG_HOME="$E2E_APP_HOME/config" \
        XDG_RUNTIME_DIR="$E2E_APP_HOME/runtime" \
        timeout 60 "$E2E_BIN" "$@" >"$E2E_APP_LOG" 2>&1
    E2E_APP_STATUS=$?
}

# An empty clipboard is a blank note; then two lines held by xclip, stored at once with -i A,
# and put in the box, where typing goes after them.
case_clipboard() {
    note "$MODE: --note-clipboard and --edit-clipboard"
    new_home
    local data="$E2E_APP_HOME/notes.txt" before clip
    write_conf "DataFilePath=$data"
    run_once --note-clipboard
    assert_eq "$MODE: empty clipboard: exit status" 0 "$E2E_APP_STATUS"
    [[ ! -e "$data" ]] || fail "$MODE: an empty clipboard wrote a record"
    printf '電話メモ\n田中さん' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    clip=$!
    wait_for 30 bash -c 'xclip -o -selection clipboard | grep -q 田中さん' ||
        fail "$MODE: the clipboard does not hold the text"
    before=$(now_stamp)
    run_once --note-clipboard -i A
    assert_eq "$MODE: --note-clipboard: exit status" 0 "$E2E_APP_STATUS"
    start_app --edit-clipboard
    type_text "X"
    press ctrl+q
    wait_app_exit 60
    e2e_kill "$clip"
    assert_eq "$MODE: --edit-clipboard: exit status" 0 "$E2E_APP_STATUS"
    assert_records "$data" "$before" "$(now_stamp)" "A,電話メモ田中さん" "C,電話メモ田中さんX"
}

MODE="no window manager"
case_edit
case_clipboard

start_openbox
MODE="openbox"
case_edit

note "all --edit and clipboard cases passed"

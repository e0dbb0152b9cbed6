#!/usr/bin/env bash
# End-to-end: the unsaved note survives kill -9, SIGTERM and the loss of the display as a
# draft, comes back at the next start, and leaves no draft once stored or closed by the user;
# two instances keep one draft each; drafts that cannot be written or read stop nothing. Runs
# the real program on a private X server, without a window manager, then with openbox.
# Usage: drafts_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
start_xvfb

DRAFTS=""  # the draft folder of the current home

fresh_home() {
    new_home
    DRAFTS="$E2E_APP_HOME/home/.local/state/Lexbin"
    DATA="$E2E_APP_HOME/notes.txt"
    write_conf "DataFilePath=$DATA"
}

no_drafts() { [[ -z "$(drafts_left)" ]]; }

# draft_holds TEXT: one draft, holding TEXT.
draft_holds() {
    local files
    files=$(drafts_left)
    [[ -n "$files" && "$files" != *$'\n'* && "$(cat -- "$files")" == "$1" ]]
}

# store_and_quit: Ctrl+S, then Ctrl+Q with the box empty; status 0.
store_and_quit() {
    local lines=0
    [[ -f "$DATA" ]] && lines=$(line_count "$DATA")
    press ctrl+s
    wait_for 60 file_has_lines "$DATA" $((lines + 1)) || fail "$1: no record after Ctrl+S"
    press ctrl+q
    wait_app_exit 60
    assert_eq "$1: exit status" 0 "$E2E_APP_STATUS"
}

# only_window: the program shows its main window and nothing else (no box).
only_window() {
    local wids
    wids=$(xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name '.' 2>/dev/null)
    assert_eq "$1: windows shown" "$E2E_APP_WID" "$wids"
}

# a. kill -9 once the draft is written: the next start has the note, cursor at its end;
#    storing it leaves the record and no draft.
case_kill() {
    note "$MODE a. kill -9 after typing; the note comes back"
    fresh_home
    local before
    before=$(now_stamp)
    start_app
    type_text "killed note"
    wait_for 60 draft_holds "killed note" || fail "a: no draft while typing: $(drafts_left)"
    kill -KILL "$E2E_APP_PID"
    wait_app_exit 30
    draft_holds "killed note" || fail "a: no draft after kill -9: $(drafts_left)"
    start_app --with-draft
    type_text "+"
    store_and_quit "a"
    assert_records "$DATA" "$before" "$(now_stamp)" "C,killed note+"
    no_drafts || fail "a: a draft is left after the note was stored: $(drafts_left)"
}

# b. SIGTERM right after typing: status 0, settings written, the note kept.
case_term() {
    note "$MODE b. SIGTERM right after typing"
    fresh_home
    local before
    before=$(now_stamp)
    start_app
    type_text "term note"
    input_taken
    kill -TERM "$E2E_APP_PID"
    wait_app_exit 60
    assert_eq "b: exit status" 0 "$E2E_APP_STATUS"
    [[ -n "$(conf_value Width)" ]] || fail "b: the settings were not written"
    draft_holds "term note" || fail "b: no draft after SIGTERM: $(drafts_left)"
    start_app --with-draft
    store_and_quit "b"
    assert_records "$DATA" "$before" "$(now_stamp)" "C,term note"
    no_drafts || fail "b: a draft is left: $(drafts_left)"
}

# c. Closed by the user after typing (Exit; with a window manager also Alt+F4, its close
#    box): no draft, the next start is empty.
case_user_close() {
    note "$MODE c. a close by the user drops the note"
    fresh_home
    start_app
    type_text "dropped"
    wait_for 60 draft_holds "dropped" || fail "c: no draft while typing"
    if [[ -n "$E2E_WM_PID" ]]; then
        press alt+F4
    else
        press alt+f
        sleep 0.3
        press x  # File > Exit
    fi
    wait_app_exit 60
    assert_eq "c: exit status" 0 "$E2E_APP_STATUS"
    no_drafts || fail "c: a draft is left after the close: $(drafts_left)"
}

# d. Two instances killed with different notes: the next two starts get one note each.
case_two_instances() {
    note "$MODE d. two instances, two drafts, one each"
    fresh_home
    local before first
    before=$(now_stamp)
    start_app
    type_text "first"
    wait_for 60 draft_holds "first" || fail "d: no draft of the first instance"
    first=$E2E_APP_PID
    E2E_APP_PID="" E2E_APP_WID=""
    start_app --with-draft
    type_text "second"
    wait_for 60 drafts_hold first second || fail "d: no draft of the second instance"
    kill -KILL "$first" "$E2E_APP_PID"
    wait "$first" 2>/dev/null
    wait_app_exit 30
    [[ "$(drafts_left | wc -l)" == 2 ]] || fail "d: expected two drafts: $(drafts_left)"
    start_app --with-draft
    first=$E2E_APP_PID
    local first_wid=$E2E_APP_WID
    E2E_APP_PID="" E2E_APP_WID=""
    start_app --with-draft
    press ctrl+s
    wait_for 60 file_has_lines "$DATA" 1 || fail "d: no record from the second start"
    focus_window "$first_wid"
    press ctrl+s
    wait_for 60 file_has_lines "$DATA" 2 || fail "d: no record from the first start"
    # The oldest draft went to the first start.
    assert_records "$DATA" "$before" "$(now_stamp)" "C,second" "C,first"
    no_drafts || fail "d: a draft is left: $(drafts_left)"
    stop_app
    E2E_APP_PID=$first E2E_APP_WID=$first_wid
    stop_app
}

# e. Drafts that cannot be kept (the state folder is a file; the temporary file cannot be
#    made): typing and storing work, no box.
case_unwritable() {
    local how
    for how in "folder is a file" "writes fail"; do
        note "$MODE e. drafts cannot be written: $how"
        fresh_home
        mkdir -p "$(dirname -- "$DRAFTS")"
        if [[ "$how" == "folder is a file" ]]; then
            echo "not a folder" >"$DRAFTS"
        else
            mkdir -p -m 0700 "$DRAFTS/1.tmp"
        fi
        local before
        before=$(now_stamp)
        start_app
        type_text "no draft"
        sleep 1.5
        only_window "e ($how)"
        store_and_quit "e ($how)"
        assert_records "$DATA" "$before" "$(now_stamp)" "C,no draft"
    done
}

# f. A garbled draft: the box starts empty, the file is set aside unchanged.
case_garbled() {
    note "$MODE f. a garbled draft is set aside"
    fresh_home
    mkdir -p -m 0700 "$DRAFTS"
    printf 'bad \377\376 bytes' >"$DRAFTS/1.txt"
    local before
    before=$(now_stamp)
    start_app --with-draft
    type_text "fresh"
    only_window "f"
    store_and_quit "f"
    assert_records "$DATA" "$before" "$(now_stamp)" "C,fresh"
    local aside
    aside=$(compgen -G "$DRAFTS/unreadable-1-*.txt") || fail "f: nothing set aside"
    printf 'bad \377\376 bytes' >"$E2E_TMP/garbled"
    assert_file_bytes "$aside" "$E2E_TMP/garbled"
}

# g. The display goes away 0.2 s after typing, before the first draft is due: the program
#    ends (Qt's exit(1)) with the note in the draft; the next start, on a new display, has it.
case_display_lost() {
    note "$MODE g. the display goes away right after typing"
    fresh_home
    local before
    before=$(now_stamp)
    start_app
    type_text "lost"
    sleep 0.2  # the scenario: sooner than the first draft write
    kill -KILL "$E2E_XVFB_PID"
    wait "$E2E_XVFB_PID" 2>/dev/null
    E2E_XVFB_PID=""
    wait_app_exit 20
    draft_holds "lost" || fail "g: no draft after the display went away: $(drafts_left)"
    start_xvfb
    start_app --with-draft
    store_and_quit "g"
    assert_records "$DATA" "$before" "$(now_stamp)" "C,lost"
}

MODE="[no wm]"
case_display_lost
case_kill
case_term
case_user_close
case_two_instances
case_unwritable
case_garbled

start_openbox
MODE="[openbox]"
case_kill
case_term
case_user_close

note "all draft cases passed"

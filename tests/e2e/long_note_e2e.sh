#!/usr/bin/env bash
# End-to-end: a 10 MiB one-line note pasted from the X clipboard. The window must stay
# responsive: typing costs well under 100 ms of CPU a key, the idle box (cursor blinking)
# under 5 % of a core, and the stored record is the pasted text byte for byte. Runs
# without a window manager, then under openbox.
# Usage: long_note_e2e.sh /path/to/lexbin /path/to/clipboard_owner
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
OWNER=${2:-}
[[ -x "$OWNER" ]] || { echo "not an executable file: $OWNER" >&2; exit 2; }
start_xvfb

OWNER_PID=""
# The helper ends first; e2e_cleanup then sees the script's own exit status.
trap 'status=$?; e2e_kill "$OWNER_PID"; (exit "$status"); e2e_cleanup' EXIT

TICKS=$(getconf CLK_TCK)
KEYS=20

cpu_ticks() {  # utime + stime of the program, in clock ticks
    local -a stat
    read -r -a stat <"/proc/$E2E_APP_PID/stat" || fail "the program is gone"
    echo $((stat[13] + stat[14]))
}

# wait_idle SECONDS: until the program spends at most one tick in half a second.
wait_idle() {
    local deadline=$((SECONDS + $1)) before after
    while ((SECONDS < deadline)); do
        before=$(cpu_ticks)
        sleep 0.5
        after=$(cpu_ticks)
        ((after - before <= 1)) && return 0
    done
    return 1
}

# draft_size_is BYTES: one draft, of BYTES bytes (written whole: it is renamed into place).
draft_size_is() {
    local files
    files=$(drafts_left)
    [[ -n "$files" && "$files" != *$'\n'* && "$(stat -c %s -- "$files")" == "$1" ]]
}

# The note: numbered 16-character pieces, so a piece lost or doubled shows.
make_note() {
    local i
    for ((i = 0; i < 10 * 1024 * 1024 / 16; i++)); do printf '%015d ' "$i"; done >"$1"
}

case_paste() {
    local what=$1 data text="$E2E_TMP/note.txt"
    note "$what: paste 10 MiB in one line, idle, type $KEYS keys, store"
    [[ -f "$text" ]] || make_note "$text"
    new_home
    data="$E2E_APP_HOME/notes.txt"
    write_conf "DataFilePath=$data"
    "$OWNER" "$text" >"$E2E_TMP/logs/owner.log" 2>&1 &
    OWNER_PID=$!
    wait_for 60 grep -q ready "$E2E_TMP/logs/owner.log" || fail "$what: no clipboard owner"
    start_app

    local start=$SECONDS
    press ctrl+v
    # The paste is in the box once its draft holds all of it.
    wait_for 120 draft_size_is "$(stat -c %s -- "$text")" ||
        fail "$what: no draft of the whole note 120 s after the paste: $(drafts_left)"
    wait_idle 120 || fail "$what: still busy 120 s after the paste"
    note "$what: pasted and idle after $((SECONDS - start)) s"

    local idle0 idle1 percent
    idle0=$(cpu_ticks)
    sleep 4
    idle1=$(cpu_ticks)
    percent=$(((idle1 - idle0) * 100 / (4 * TICKS)))
    note "$what: idle CPU $((idle1 - idle0)) ticks in 4 s ($percent %)"
    ((percent < 5)) || fail "$what: the idle window uses $percent % of a core"

    local typed0 typed1 per_key began=$SECONDS
    typed0=$(cpu_ticks)
    xdotool type --delay 50 -- "$(printf 'k%.0s' $(seq "$KEYS"))"
    wait_idle 60 || fail "$what: still busy 60 s after typing"
    typed1=$(cpu_ticks)
    per_key=$(((typed1 - typed0) * 1000 / TICKS / KEYS))
    note "$what: $KEYS keys cost $((typed1 - typed0)) ticks ($per_key ms each), idle after $((SECONDS - began)) s"
    ((per_key < 100)) || fail "$what: a key costs $per_key ms of CPU"

    press ctrl+s
    wait_for 60 file_has_lines "$data" 1 || fail "$what: no record after Ctrl+S"
    local want="$E2E_TMP/want.txt" got="$E2E_TMP/got.txt"
    { printf 'C,'; cat -- "$text"; printf 'k%.0s' $(seq "$KEYS"); printf '\r\n'; } >"$want"
    cut -b 18- -- "$data" >"$got"
    cmp -s -- "$want" "$got" || fail "$what: the record is not the pasted text and the keys"
    press ctrl+q
    wait_app_exit 60
    e2e_kill "$OWNER_PID"
    OWNER_PID=""
}

case_paste "without a window manager"
start_openbox
case_paste "under openbox"
note "all long-note cases passed"

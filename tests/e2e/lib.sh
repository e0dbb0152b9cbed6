# shellcheck shell=bash
# Helpers for the end-to-end scripts: a private X server, an optional window manager, the
# program started with a throw-away home, key presses and checks. Source this file, then
# call e2e_init with the program's path.
#
# Everything started here is ended, and every temporary folder removed, by the EXIT trap.

set -u -o pipefail
export LC_ALL=C.UTF-8  # fixed collation for stamp comparisons, UTF-8 window names

E2E_SCREEN_W=1280
E2E_SCREEN_H=1024

E2E_BIN=""
E2E_TMP=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_APP_PID=""
E2E_APP_WID=""
E2E_APP_HOME=""
E2E_APP_CONF=""
E2E_APP_LOG=""
E2E_APP_STATUS=""
E2E_RUN=0

fail() {
    echo "FAIL: $*" >&2
    if [[ -n "$E2E_APP_LOG" && -s "$E2E_APP_LOG" ]]; then
        echo "--- program output ($E2E_APP_LOG) ---" >&2
        cat -- "$E2E_APP_LOG" >&2
    fi
    exit 1
}

note() { echo "# $*"; }

# e2e_kill PID: ends one process this script started, and reaps it. SIGTERM first: the
# program writes its settings and draft then, which the sanitizer build does slowly.
e2e_kill() {
    local pid=$1 deadline=$((SECONDS + 20))
    [[ -n "$pid" ]] || return 0
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
            sleep 0.05
        done
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    return 0
}

e2e_cleanup() {
    local status=$?
    trap - EXIT
    e2e_kill "$E2E_APP_PID"
    e2e_kill "$E2E_WM_PID"
    e2e_kill "$E2E_XVFB_PID"
    [[ -n "$E2E_TMP" && -d "$E2E_TMP" ]] && rm -rf -- "$E2E_TMP"
    exit "$status"
}

# e2e_init BINARY: checks the tools and the program, makes the temporary folder, sets traps.
e2e_init() {
    local bin=${1:-} tool
    [[ -n "$bin" ]] || { echo "usage: $0 /path/to/lexbin" >&2; exit 2; }
    [[ -f "$bin" && -x "$bin" ]] || { echo "not an executable file: $bin" >&2; exit 2; }
    for tool in Xvfb xdotool xdpyinfo xprop xwininfo openbox; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
    done
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/lexbin-e2e.XXXXXX") || exit 2
    trap e2e_cleanup EXIT
    trap 'echo "stopped by SIGINT" >&2; exit 130' INT
    trap 'echo "stopped by SIGTERM" >&2; exit 143' TERM
    trap 'echo "stopped by SIGHUP" >&2; exit 129' HUP
    # A private copy: the script starts the program several times, and a rebuild of the
    # tree meanwhile must not swap (or half-write) the binary between two starts.
    mkdir -p "$E2E_TMP/bin" "$E2E_TMP/logs"
    cp -- "$bin" "$E2E_TMP/bin/lexbin" || fail "cannot copy $bin"
    E2E_BIN="$E2E_TMP/bin/lexbin"
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds; fails after SECONDS.
# Every wait here waits for what it needs, bounded in tens of seconds: CI shares two cores,
# and the sanitizer build runs the program several times slower. The bound costs time only
# when the test fails.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" 2>/dev/null; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# ---------------------------------------------------------------------------------------
# X server and window manager

xvfb_owns_display() {  # the lock file of display $1 names our Xvfb
    local owner
    read -r owner <"/tmp/.X$1-lock" || return 1
    [[ "$owner" == "$E2E_XVFB_PID" ]]
}

xvfb_answers() { xdpyinfo -display ":$1" >/dev/null 2>&1; }

# start_xvfb: a private X server on a free display, searched from a per-process number.
# Another test may race for the same number: the loser's server exits (or the lock file
# names the other server), and the loop goes on to the next number.
start_xvfb() {
    local first=$(($$ % 400)) n tries deadline
    for ((tries = 0; tries < 100; tries++)); do
        n=$(((first + tries) % 400 + 100))
        [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
        Xvfb ":$n" -nolisten tcp -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -noreset \
            >"$E2E_TMP/logs/xvfb-$n.log" 2>&1 &
        E2E_XVFB_PID=$!
        deadline=$((SECONDS + 30))
        while kill -0 "$E2E_XVFB_PID" 2>/dev/null && ((SECONDS < deadline)); do
            if xvfb_answers "$n" && xvfb_owns_display "$n"; then
                export DISPLAY=":$n"
                note "Xvfb on $DISPLAY"
                return 0
            fi
            sleep 0.05
        done
        e2e_kill "$E2E_XVFB_PID"
        E2E_XVFB_PID=""
    done
    fail "could not start Xvfb on any display"
}

wm_manages() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK)" == *'window id'* ]]; }

# wm_state: whether the window manager still runs, and what it said, for failure messages.
wm_state() {
    [[ -n "$E2E_WM_PID" ]] || return 0
    printf '\nopenbox (pid %s) %s; its output:\n' "$E2E_WM_PID" \
        "$(kill -0 "$E2E_WM_PID" 2>/dev/null && cat "/proc/$E2E_WM_PID/wchan" || echo ended)"
    cat -- "$E2E_TMP/logs/openbox.log"
}

# start_openbox: openbox, once it has finished starting. The root window property that
# says a window manager runs comes early in its start; a window mapped between then and the
# end of the start stayed unmapped for good (seen under load, the first start of the program
# after openbox's). --startup runs its command once openbox has started.
start_openbox() {
    local started="$E2E_TMP/wm/started"
    mkdir -p "$E2E_TMP/wm/home" "$E2E_TMP/wm/config"
    HOME="$E2E_TMP/wm/home" XDG_CONFIG_HOME="$E2E_TMP/wm/config" \
        openbox --sm-disable --startup "touch '$started'" >"$E2E_TMP/logs/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    wait_for 60 test -e "$started" && wait_for 60 wm_manages ||
        { cat "$E2E_TMP/logs/openbox.log" >&2; fail "openbox does not manage the screen"; }
    kill -0 "$E2E_WM_PID" 2>/dev/null || fail "openbox exited"
    note "openbox running"
}

# ---------------------------------------------------------------------------------------
# The program

# new_home: a fresh HOME / XDG_CONFIG_HOME / XDG_RUNTIME_DIR for the next run(s); sets
# E2E_APP_HOME and E2E_APP_CONF (the settings file, not written yet).
new_home() {
    E2E_RUN=$((E2E_RUN + 1))
    E2E_APP_HOME="$E2E_TMP/run$E2E_RUN"
    mkdir -p "$E2E_APP_HOME/home" "$E2E_APP_HOME/config/Lexbin" "$E2E_APP_HOME/runtime"
    chmod 0700 "$E2E_APP_HOME/runtime"
    E2E_APP_CONF="$E2E_APP_HOME/config/Lexbin/Lexbin.conf"
}

# write_conf KEY=VALUE...: the settings file, group [Main].
write_conf() {
    { printf '[Main]\n'; printf '%s\n' "$@"; } >"$E2E_APP_CONF"
}

# conf_value KEY: the value of KEY in the settings file (empty when absent).
conf_value() {
    local line
    while IFS= read -r line || [[ -n "$line" ]]; do
        line=${line%$'\r'}
        [[ "$line" == "$1="* ]] && { echo "${line#"$1="}"; return 0; }
    done <"$E2E_APP_CONF"
    return 0
}

# drafts_left: the drafts of unsaved notes that runs in the current home left (none: empty).
drafts_left() {
    compgen -G "$E2E_APP_HOME/home/.local/state/Lexbin/[1-9]*.txt" || true
}

# drafts_hold TEXT...: the drafts left hold these notes, one each, in any order.
drafts_hold() {
    local file texts=() want
    while IFS= read -r file; do
        [[ -n "$file" ]] && texts+=("$(cat -- "$file")")
    done < <(drafts_left)
    ((${#texts[@]} == $#)) || return 1
    want=$(printf '%s\n' "$@" | LC_ALL=C sort)
    [[ "$(printf '%s\n' "${texts[@]}" | LC_ALL=C sort)" == "$want" ]]
}

# start_app [--with-draft] [ARG...]: starts the program with ARGs in the current home, waits
# for its window, focuses it. A draft left by an earlier run would put its note in the box:
# only a start that says so may find one.
start_app() {
    [[ -z "$E2E_APP_PID" ]] || fail "start_app: the program is already running"
    local with_draft=false
    if [[ "${1:-}" == --with-draft ]]; then
        with_draft=true
        shift
    fi
    if ! $with_draft && [[ -n "$(drafts_left)" ]]; then
        fail "start_app: an earlier run left a draft: $(drafts_left)"
    fi
    E2E_APP_LOG="$E2E_TMP/logs/lexbin-$E2E_RUN-$SECONDS-$RANDOM.log"
    env -i PATH="$PATH" DISPLAY="$DISPLAY" LC_ALL=C.UTF-8 \
        HOME="$E2E_APP_HOME/home" XDG_CONFIG_HOME="$E2E_APP_HOME/config" \
        XDG_RUNTIME_DIR="$E2E_APP_HOME/runtime" \
        "$E2E_BIN" "$@" >"$E2E_APP_LOG" 2>&1 &
    E2E_APP_PID=$!
    E2E_APP_WID=$(wait_window '^Lexbin$' 60) || {
        app_running || fail "the program ended at start"
        fail "the Lexbin window did not appear; the program's windows:$(app_windows)$(wm_state)"
    }
    focus_window "$E2E_APP_WID"
}

focused_is() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }

# focus_window WID: gives WID the keyboard focus and waits until X reports it. Asked again
# every few seconds: a window manager that is slow to map the window may drop the request.
focus_window() {
    local wid=$1 deadline=$((SECONDS + 60)) ask=(windowfocus)
    [[ -z "$E2E_WM_PID" ]] || ask=(windowactivate)
    until focused_is "$wid"; do
        ((SECONDS < deadline)) || fail "window $wid did not get the focus"
        timeout 60 xdotool "${ask[@]}" "$wid" >/dev/null 2>&1 ||
            fail "could not ${ask[0]#window} window $wid"
        wait_for 5 focused_is "$wid" || true
    done
}

app_running() { kill -0 "$E2E_APP_PID" 2>/dev/null; }
app_gone() { ! kill -0 "$E2E_APP_PID" 2>/dev/null; }

# After the program ended: its window must be gone before the next start looks for one.
forget_app() {
    [[ -z "$E2E_APP_WID" ]] || wait_for 30 window_not_viewable "$E2E_APP_WID" ||
        fail "the window of the ended program is still shown"
    E2E_APP_PID=""
    E2E_APP_WID=""
}

# wait_app_exit SECONDS: waits for the program to end; sets E2E_APP_STATUS.
wait_app_exit() {
    wait_for "$1" app_gone || fail "the program did not exit within $1 s"
    wait "$E2E_APP_PID"
    E2E_APP_STATUS=$?
    forget_app
}

stop_app() {  # ends a program left running on purpose
    e2e_kill "$E2E_APP_PID"
    forget_app
}

# wait_window NAME_REGEX SECONDS: waits for a visible window of the program so named, while
# it runs; prints its id. (Polled here: `xdotool search --sync` looks only twice a second.)
wait_window() {
    local wid="" deadline=$((SECONDS + $2))
    while :; do
        wid=$(timeout 20 xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name "$1" \
            2>/dev/null | head -n1)
        [[ -z "$wid" ]] || break
        app_running && ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
    echo "$wid"
}

# app_windows: the program's windows, named and not, with their map state, for failure messages.
app_windows() {
    local wid
    for wid in $(timeout 20 xdotool search --all --pid "$E2E_APP_PID" --name '' 2>/dev/null); do
        printf ' %s [%s] %s;' "$wid" "$(xdotool getwindowname "$wid" 2>/dev/null)" \
            "$(xwininfo -id "$wid" 2>/dev/null | grep -o 'Map State: [A-Za-z]*')"
    done
}

window_viewable() { [[ "$(xwininfo -id "$1" 2>/dev/null)" == *'Map State: IsViewable'* ]]; }
window_not_viewable() { ! window_viewable "$1"; }

# ---------------------------------------------------------------------------------------
# Input (through XTEST, to the focused window)

type_text() { xdotool type --delay 30 -- "$1"; }
press() { xdotool key --delay 30 "$@"; }

# menu_shown: a window of the program besides the main one is shown; sets MENU_WID.
menu_shown() {
    local wid
    for wid in $(timeout 20 xdotool search --all --onlyvisible --pid "$E2E_APP_PID" --name '' \
        2>/dev/null); do
        [[ "$wid" == "$E2E_APP_WID" ]] || { MENU_WID=$wid; return 0; }
    done
    return 1
}

# input_taken: returns once the program has handled every key sent so far, for a step that
# does not go through X (a signal, a look at its files). X hands the program its events in
# order, so the File menu that one more Alt+F opens shows only after them. One Escape closes
# it, a second one leaves the menu bar, and the keys go to the note box again.
input_taken() {
    ! menu_shown || fail "input_taken: a window besides the main one is open"
    press alt+f
    wait_for 60 menu_shown || fail "input_taken: the File menu did not open"
    press Escape Escape
    wait_for 30 window_not_viewable "$MENU_WID" || fail "input_taken: the File menu stays open"
}

# click_at WID X Y: a left click at X,Y inside window WID. No --sync: it waits for a motion
# that never comes when the pointer is already there; the server applies the fake motion
# before the fake click anyway.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3" click 1 || fail "cannot click in $1"
}

# ---------------------------------------------------------------------------------------
# Geometry

# client_geometry WID: sets GEO_X GEO_Y (absolute position of the window itself, inside any
# window-manager frame) and GEO_W GEO_H (its size). xwininfo, not `xdotool
# getwindowgeometry`: that one counts the frame offset twice under a reparenting manager.
client_geometry() {
    local out re
    out=$(xwininfo -id "$1") || fail "no geometry for window $1"
    re='Absolute upper-left X: +(-?[0-9]+).*Absolute upper-left Y: +(-?[0-9]+).*'
    re+='Width: +([0-9]+).*Height: +([0-9]+)'
    [[ "$out" =~ $re ]] || fail "cannot read the geometry of window $1: $out"
    GEO_X=${BASH_REMATCH[1]} GEO_Y=${BASH_REMATCH[2]}
    GEO_W=${BASH_REMATCH[3]} GEO_H=${BASH_REMATCH[4]}
}

# frame_extents WID: sets EXT_L EXT_R EXT_T EXT_B (0 without a window manager).
frame_extents() {
    local out
    out=$(xprop -id "$1" _NET_FRAME_EXTENTS)
    if [[ "$out" =~ =\ *([0-9]+),\ *([0-9]+),\ *([0-9]+),\ *([0-9]+) ]]; then
        EXT_L=${BASH_REMATCH[1]} EXT_R=${BASH_REMATCH[2]}
        EXT_T=${BASH_REMATCH[3]} EXT_B=${BASH_REMATCH[4]}
    else
        EXT_L=0 EXT_R=0 EXT_T=0 EXT_B=0
    fi
}

# frame_geometry WID: sets FRAME_X FRAME_Y (top-left of the decorated window) and the
# client_geometry values.
frame_geometry() {
    client_geometry "$1"
    frame_extents "$1"
    FRAME_X=$((GEO_X - EXT_L))
    FRAME_Y=$((GEO_Y - EXT_T))
}

# ---------------------------------------------------------------------------------------
# Data file checks

# now_stamp: the local time as the program writes it.
now_stamp() { env -u TZ date '+%Y/%m/%d,%H:%M'; }

line_count() { tr -cd '\n' <"$1" | wc -c; }

file_has_lines() {  # file_has_lines FILE N: FILE exists and holds at least N line ends
    [[ -f "$1" ]] && (($(line_count "$1") >= $2))
}

# assert_file_bytes FILE EXPECTED_FILE: byte-for-byte equality.
assert_file_bytes() {
    [[ -f "$1" ]] || fail "$1 does not exist"
    [[ "$(od -An -v -tx1 -- "$1")" == "$(od -An -v -tx1 -- "$2")" ]] ||
        fail "$1 differs from what was expected
--- expected (od -c) ---
$(od -c -- "$2")
--- actual (od -c) ---
$(od -c -- "$1")"
}

# assert_records FILE BEFORE AFTER RECORD...: FILE holds exactly the records given (each
# "CODE,TEXT"), one per CR LF ended line, in order, each stamped with a date and time
# between the stamps BEFORE and AFTER (from now_stamp).
assert_records() {
    local file=$1 before=$2 after=$3 stamp_re n=0 line stamp
    shift 3
    [[ -f "$file" ]] || fail "the data file $file does not exist"
    stamp_re='^[0-9]{4}/[0-9]{2}/[0-9]{2},[0-9]{2}:[0-9]{2},[ABC],'
    while IFS= read -r line || [[ -n "$line" ]]; do
        n=$((n + 1))
        [[ "$line" =~ $stamp_re ]] ||
            fail "line $n of the data file does not start with a stamp and a code:
$(od -c -- "$file")"
        stamp=${line:0:16}
        [[ ! "$stamp" < "$before" && ! "$stamp" > "$after" ]] ||
            fail "line $n is stamped $stamp, not between $before and $after"
    done <"$file"
    local want="$E2E_TMP/records-expected.txt" got="$E2E_TMP/records-without-stamps.txt"
    printf '%s\r\n' "$@" >"$want"
    # The records without their stamps; the file's own line ends are kept.
    cut -b 18- -- "$file" >"$got"
    [[ "$(tail -c1 -- "$file" | od -An -c | tr -d ' ')" == '\n' ]] ||
        fail "the data file does not end with a line break:
$(od -c -- "$file")"
    assert_file_bytes "$got" "$want"
}

# files_under DIR: every file and folder below DIR with its size, for before/after checks.
files_under() { du -a --apparent-size -b -- "$1" | LC_ALL=C sort -k2; }

assert_eq() {  # assert_eq WHAT EXPECTED ACTUAL
    [[ "$2" == "$3" ]] || fail "$1: expected '$2', got '$3'"
}

#!/usr/bin/env bash
# End-to-end: the window's position and size saved at close and restored at start, without
# a window manager and under openbox; a position off every screen is brought back; a first
# start leaves the place to the window manager, a stored 0,0 is kept.
# Usage: geometry_e2e.sh /path/to/lexbin
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "${1:-}"
start_xvfb

MODE=""

# The settings written at close, as one comparable line.
saved_geometry() {
    echo "Left=$(conf_value Left) Top=$(conf_value Top) Width=$(conf_value Width) Height=$(conf_value Height)"
}

frame_is() {  # frame_is X Y W H: the frame's top-left and the window's own size
    frame_geometry "$E2E_APP_WID"
    [[ "$FRAME_X $FRAME_Y $GEO_W $GEO_H" == "$1 $2 $3 $4" ]]
}

# frame_on_screen: the decorated window lies on the screen; sets FRAME_RIGHT FRAME_BOTTOM.
frame_on_screen() {
    frame_geometry "$E2E_APP_WID"
    FRAME_RIGHT=$((FRAME_X + EXT_L + GEO_W + EXT_R))
    FRAME_BOTTOM=$((FRAME_Y + EXT_T + GEO_H + EXT_B))
    ((FRAME_X >= 0 && FRAME_Y >= 0 && FRAME_RIGHT <= E2E_SCREEN_W && FRAME_BOTTOM <= E2E_SCREEN_H))
}

# assert_window_at X Y W H WHAT: the frame's top-left is X,Y and the window (without the
# decoration) W x H. Waited for: the window may still be placed or moved by the program or the
# window manager after it is shown.
assert_window_at() {
    wait_for 30 frame_is "$1" "$2" "$3" "$4" ||
        fail "$MODE: $5: expected frame at $1,$2 and size $3x$4, got frame at $FRAME_X,$FRAME_Y size ${GEO_W}x$GEO_H"
}

# quit_app WHAT: Ctrl+Q with an empty box: nothing stored, exit status 0.
quit_app() {
    press ctrl+q
    wait_app_exit 60
    assert_eq "$MODE: $1: exit status" 0 "$E2E_APP_STATUS"
    [[ ! -e "$E2E_APP_HOME/notes.txt" ]] || fail "$MODE: $1: an empty note was stored"
}

case_round_trip() {
    note "$MODE: geometry round trip"
    new_home
    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt" Left=1500 Top=1200 Width=9000 Height=6000
    local first="Left=1500 Top=1200 Width=9000 Height=6000" second third

    # Round 1: what was read is written back unchanged, twice.
    local start
    for start in 1 2; do
        start_app
        assert_window_at 100 80 600 400 "start $start"
        quit_app "start $start"
        assert_eq "$MODE: settings after start $start" "$first" "$(saved_geometry)"
    done

    # Round 2: moved and resized, then saved and restored without drift.
    start_app
    timeout 60 xdotool windowmove --sync "$E2E_APP_WID" 200 150 ||
        fail "$MODE: windowmove did not take effect"
    timeout 60 xdotool windowsize --sync "$E2E_APP_WID" 700 500 ||
        fail "$MODE: windowsize did not take effect"
    frame_extents "$E2E_APP_WID"
    wait_for 60 frame_is 200 150 700 500 ||
        fail "$MODE: after the move the frame is at $FRAME_X,$FRAME_Y size ${GEO_W}x$GEO_H"
    quit_app "after the move"
    second=$(saved_geometry)
    assert_eq "$MODE: settings after the move" \
        "Left=3000 Top=2250 Width=10500 Height=7500" "$second"

    start_app
    assert_window_at 200 150 700 500 "start after the move"
    quit_app "start after the move"
    third=$(saved_geometry)
    assert_eq "$MODE: settings after the restart" "$second" "$third"
}

case_off_screen() {
    note "$MODE: a position off every screen"
    new_home
    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt" \
        Left=-300000 Top=-300000 Width=9000 Height=6000
    start_app
    wait_for 30 frame_on_screen ||
        fail "$MODE: the window is not on the ${E2E_SCREEN_W}x$E2E_SCREEN_H screen: frame $FRAME_X,$FRAME_Y to $FRAME_RIGHT,$FRAME_BOTTOM"
    assert_eq "$MODE: size kept" "600x400" "${GEO_W}x$GEO_H"
    local x=$FRAME_X y=$FRAME_Y
    quit_app "off screen"
    assert_eq "$MODE: settings after the off-screen start" \
        "Left=$((x * 15)) Top=$((y * 15)) Width=9000 Height=6000" "$(saved_geometry)"
}

# placed_by_program: the window asks for its own position (WM_NORMAL_HINTS).
placed_by_program() { [[ "$(xprop -id "$E2E_APP_WID" WM_NORMAL_HINTS)" == *'specified location'* ]]; }

case_placement() {
    note "$MODE: a first start is placed by the desktop; 0,0 is a stored place like any other"
    new_home
    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt"
    start_app
    ! placed_by_program || fail "$MODE: a first start asks for a position"
    quit_app "first start"

    write_conf "DataFilePath=$E2E_APP_HOME/notes.txt" Left=0 Top=0 Width=9000 Height=6000
    start_app
    placed_by_program || fail "$MODE: a stored position is not asked for"
    assert_window_at 0 0 600 400 "stored at 0,0"
    quit_app "stored at 0,0"
    assert_eq "$MODE: settings after a start at 0,0" \
        "Left=0 Top=0 Width=9000 Height=6000" "$(saved_geometry)"
}

MODE="no window manager"
case_round_trip
case_off_screen
case_placement

start_openbox
MODE="openbox"
case_round_trip
case_off_screen
case_placement

note "all geometry cases passed"

#!/bin/bash
# Runs startup_bench on a private Xvfb, so the figures do not depend on the desktop in use.
# Usage: bench/startup.sh [--wm] [startup_bench options, e.g. --rounds 20]
#   --wm  also start openbox, to measure with a reparenting window manager in place.
# STARTUP_BENCH overrides the path of the startup_bench executable.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bench=${STARTUP_BENCH:-$here/../build/bench/startup_bench}
with_wm=0
if [[ ${1:-} == --wm ]]; then
    with_wm=1
    shift
fi
[[ -x $bench ]] || { echo "startup.sh: $bench not built (ninja -C build startup_bench)" >&2; exit 1; }

xvfb_pid=
wm_pid=
cleanup() {
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Take the first display number whose lock file is free; if another server grabs it
# between the check and our start, Xvfb exits and we move on to the next number.
for n in $(seq 90 189); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do  # up to 10 s for the server to accept connections
        xdpyinfo -display ":$n" >/dev/null 2>&1 && break 2
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "startup.sh: could not start Xvfb" >&2; exit 1; }
export DISPLAY=:$n

if ((with_wm)); then
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    # Ready once it announces itself on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi

"$bench" "$@"

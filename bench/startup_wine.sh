#!/bin/bash
# Start-up of the Windows program under Wine against the floor window (startup_floor.exe:
# the same widgets, nothing else), on a private Xvfb: the time from `wine PROGRAM` to its
# window being shown, launches interleaved (ABBA...), medians compared with the target
# lexbin <= 1.3 x floor. Both run from a copy of the staged zip folder, so they load the
# same DLLs the same way; one Wine prefix kept up (wineserver -p) for all launches.
# Usage: bench/startup_wine.sh [ROUNDS]   (after cmake --build build-windows --target
#        windows_zip startup_floor; LEXBIN_WINDOWS_BUILD names another build folder)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${LEXBIN_WINDOWS_BUILD:-$here/../build-windows}
rounds=${1:-11}
stage=$(find "$build/windows" -maxdepth 1 -name 'lexbin-*-windows-x64' -type d | head -n1)
floor=$build/startup_floor.exe
[[ -n $stage && -f $stage/lexbin.exe && -f $floor ]] || {
    echo "startup_wine.sh: build windows_zip and startup_floor in $build first" >&2
    exit 1
}

work=$(mktemp -d "${TMPDIR:-/var/tmp}/lexbin-startup-wine.XXXXXX")
xvfb_pid=
program_pid=
cleanup() {
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf -- "$work"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

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
[[ -n $xvfb_pid ]] || { echo "startup_wine.sh: could not start Xvfb" >&2; exit 1; }
export DISPLAY=:$n

export WINEPREFIX=$work/prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset WINEPATH
cp -r -- "$stage" "$work/app"
cp -- "$floor" "$work/app/"
wineboot -i >/dev/null 2>&1 && wineserver -w
wineserver -p  # kept up: no launch pays for starting it

shown() { [[ -n $(xdotool search --onlyvisible --name "$1" 2>/dev/null) ]]; }

# launch PROGRAM WINDOW_NAME: prints the milliseconds to the window, then ends the program.
launch() {
    local start end
    start=$(date +%s%N)
    wine "$work/app/$1" >/dev/null 2>&1 &
    program_pid=$!
    until shown "$2"; do
        kill -0 "$program_pid" 2>/dev/null || { echo "$1 ended at start" >&2; exit 1; }
        (($(date +%s%N) - start < 60000000000)) || { echo "$1 showed no window" >&2; exit 1; }
    done
    end=$(date +%s%N)
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    while shown "$2"; do sleep 0.05; done
    echo $(((end - start) / 1000000))
}

# One launch of each first, not counted: the first start of a prefix reads every DLL cold.
launch lexbin.exe '^Lexbin$' >/dev/null
launch startup_floor.exe '^Floor$' >/dev/null
lexbin=() floor=()
# ABBA...: each goes first in every other round, so neither always follows the other's exit.
for ((i = 0; i < rounds; i++)); do
    if ((i % 2 == 0)); then
        lexbin+=("$(launch lexbin.exe '^Lexbin$')")
        floor+=("$(launch startup_floor.exe '^Floor$')")
    else
        floor+=("$(launch startup_floor.exe '^Floor$')")
        lexbin+=("$(launch lexbin.exe '^Lexbin$')")
    fi
done
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
l=$(median "${lexbin[@]}")
f=$(median "${floor[@]}")
echo "lexbin.exe:        ${lexbin[*]} ms; median $l ms"
echo "startup_floor.exe: ${floor[*]} ms; median $f ms"
awk -v l="$l" -v f="$f" 'BEGIN { printf "ratio %.2f (target <= 1.3)\n", l / f }'

#!/bin/bash
# `lexbin --note x` through the console launcher under Wine against its floor
# (note_floor_wine.exe: the same DLLs, a QCoreApplication and a raw append): the time from
# `wine PROGRAM` to its exit, runs interleaved (ABBA...), medians compared with the target
# lexbin <= 1.2 x floor. Both run from a copy of the staged zip folder (the floor beside
# lexbin.com), in one Wine prefix kept up (wineserver -p), storing into files of their own.
# Usage: bench/note_wine.sh [ROUNDS]   (after cmake --build build-windows --target
#        windows_zip note_floor_wine; LEXBIN_WINDOWS_BUILD names another build folder)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${LEXBIN_WINDOWS_BUILD:-$here/../build-windows}
rounds=${1:-20}
stage=$(find "$build/windows" -maxdepth 1 -name 'lexbin-*-windows-x64' -type d | head -n1)
floor=$build/note_floor_wine.exe
[[ -n $stage && -f $stage/lexbin.com && -f $floor ]] || {
    echo "note_wine.sh: build windows_zip and note_floor_wine in $build first" >&2
    exit 1
}
work=$(mktemp -d "${TMPDIR:-/var/tmp}/lexbin-note-wine.XXXXXX")
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
    rm -rf -- "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
cp -r -- "$stage" "$work/program"
rm -f -- "$work/program/LexbinDB.txt"  # no portable copy: the settings name the file
cp -- "$floor" "$work/program/"
wineboot -i >/dev/null 2>&1
wineserver -w && wineserver -p  # one server for every run (after the boot's has ended)
wine reg add 'HKCU\Software\Lexbin\Lexbin\Main' /v DataFilePath /t REG_SZ \
    /d 'Z:'"${work//\//\\}"'\lexbin.txt' /f >/dev/null
cd "$work/program"
# run PROGRAM ARGUMENTS...: the wall time of one run in microseconds.
run() {
    local start end
    start=$(date +%s%N)
    wine "$@" >/dev/null 2>&1 || { echo "note_wine.sh: $1 failed" >&2; exit 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
for _ in 1 2 3; do  # warm the prefix and the page cache
    run lexbin.com --note x >/dev/null
    run note_floor_wine.exe "Z:${work//\//\\}\\floor.txt" >/dev/null
done
: >"$work/lexbin.times"
: >"$work/floor.times"
for ((i = 0; i < rounds; i++)); do
    if ((i % 2 == 0)); then
        run lexbin.com --note x >>"$work/lexbin.times"
        run note_floor_wine.exe "Z:${work//\//\\}\\floor.txt" >>"$work/floor.times"
    else
        run note_floor_wine.exe "Z:${work//\//\\}\\floor.txt" >>"$work/floor.times"
        run lexbin.com --note x >>"$work/lexbin.times"
    fi
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
lexbin=$(median "$work/lexbin.times")
floor_us=$(median "$work/floor.times")
records=$(wc -l <"$work/lexbin.txt")
awk -v l="$lexbin" -v f="$floor_us" -v r="$rounds" -v n="$records" 'BEGIN {
    printf "lexbin.com --note x: %.1f ms   floor: %.1f ms   ratio %.2f x (median of %d; %d records stored)\n",
        l / 1000, f / 1000, l / f, r, n }'

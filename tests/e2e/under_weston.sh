#!/usr/bin/env bash
# Runs a command as the client of a private, headless Weston compositor, with Qt on its
# Wayland plugin, and exits with the command's status.
# Usage: under_weston.sh COMMAND [ARGUMENTS...]
set -u -o pipefail
(($# > 0)) || { echo "usage: $0 COMMAND [ARGUMENTS...]" >&2; exit 2; }
command -v weston >/dev/null || { echo "missing tool: weston" >&2; exit 2; }

# Weston wants a runtime folder of its own (mode 0700) for its socket.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/lexbin-weston.XXXXXX") || exit 2
weston_pid=""
cleanup() {
    local status=$?
    if [[ -n "$weston_pid" ]]; then
        kill -TERM "$weston_pid" 2>/dev/null
        wait "$weston_pid" 2>/dev/null
    fi
    rm -rf -- "$tmp"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
chmod 0700 -- "$tmp"
export XDG_RUNTIME_DIR=$tmp WAYLAND_DISPLAY=lexbin-test

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    --log="$tmp/weston.log" >/dev/null 2>&1 &
weston_pid=$!
deadline=$((SECONDS + 60))
until [[ -S "$tmp/$WAYLAND_DISPLAY" ]]; do
    if ! kill -0 "$weston_pid" 2>/dev/null || ((SECONDS >= deadline)); then
        echo "weston did not start:" >&2
        cat -- "$tmp/weston.log" >&2
        exit 1
    fi
    sleep 0.05
done

QT_QPA_PLATFORM=wayland "$@"

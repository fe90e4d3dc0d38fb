#!/bin/sh
# The window benchmarks on both platforms in one go: first offscreen, then on a
# private Xvfb display (a real X server with its round trips).
#
#   bench/windows_figures.sh [build folder [work folder]]
#                                   (default: build, and /dev/shm when there is one)
set -eu
build=${1:-build}
work=${2:-$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}" )}
for bench in bench_windows_run bench_windows_log_listing; do
    [ -x "$build/bench/$bench" ] || { echo "build $bench first" >&2; exit 2; }
done
status=0
run() {
    "$build/bench/bench_windows_run" "$work" || status=1
    "$build/bench/bench_windows_log_listing" || status=1
}

echo "== offscreen"
QT_QPA_PLATFORM=offscreen run

echo "== Xvfb"
fifo=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$fifo/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$fifo"' EXIT
for _ in $(seq 50); do [ -s "$fifo/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$fifo/display") QT_QPA_PLATFORM=xcb run
exit $status

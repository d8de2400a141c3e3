#!/usr/bin/env bash
# Measures the game beside its floor (the game's own window in its polling
# loop) and Wine's Minesweeper under Wine on a virtual display, and prints
# the table (also kept in build/bench.md).
#   bash scripts/bench.sh [--runs N] [--idle-seconds S]
# The bench has a Wine prefix of its own, so that it neither disturbs nor is
# disturbed by an end-to-end run in the test prefix.
set -u
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$ROOT/build/wineprefix-bench-$WINE_ARCH"
source "$ROOT/scripts/xvfb.sh"

BENCH_EXE="$BUILD_DIR/bench/quorvant_bench.exe"
BARE_EXE="$BUILD_DIR/bench/bare_dialog.exe"
SHIP_EXE="$ROOT/build/i686/Quorvant.exe"
require_built "build the i686 and $WINE_ARCH trees first" "$GAME_EXE" "$BENCH_EXE" "$BARE_EXE" "$SHIP_EXE"

finish() {
    # Only this prefix's server and programs: the bench prefix is the bench's own.
    "$WINESERVER" -k >/dev/null 2>&1
    stop_xvfb
}
trap finish EXIT
trap 'exit 130' INT TERM

start_xvfb || exit 1
wine_prefix_ready
"$WINESERVER" -p
wine_unmanaged_windows
# Let the prefix's own services finish starting before anything is timed.
sleep 2

report="$ROOT/build/bench.md"
{
    echo "Machine: $(nproc) processors, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
         "Linux $(uname -r), $("$WINE" --version), game build $WINE_ARCH (this kernel runs"\
         "$( [ "$WINE_ARCH" = i686 ] && echo "32-bit" || echo "no 32-bit") programs), Xvfb 1024x768x24, no audio device."
    echo "Command: make bench${*:+ BENCH_ARGS=\"$*\"}"
    echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$report"
timeout --kill-after=10 1500 "$WINE" "$BENCH_EXE" \
    --game "$(windows_path "$GAME_EXE")" \
    --peer 'C:\windows\system32\winemine.exe' \
    --bare "$(windows_path "$BARE_EXE")" \
    --ship "$(windows_path "$SHIP_EXE")" \
    --prefix "$WINEPREFIX" "$@" 2>"$BUILD_DIR/bench-wine.log" | tee -a "$report"
status=${PIPESTATUS[0]}
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$report"
exit "$status"

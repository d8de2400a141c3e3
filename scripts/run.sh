#!/usr/bin/env bash
# `make run`: builds the artwork and the game alone and starts it under Wine;
# without a display, plays it on a virtual one for a few seconds and saves a
# screenshot. The build's and Wine's chatter goes to build/run.log, not here.
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
LOG="$ROOT/build/run.log"
SHOT="$ROOT/build/screenshots/run.png"
JOBS="${JOBS:-$(nproc)}"
mkdir -p "$ROOT/build"
: >"$LOG"

say() {
    echo "$*"
    echo "==== $*" >>"$LOG"
}
# A failure still shows its cause: the end of the log, where it is.
fail() {
    echo "$1. The end of build/run.log:" >&2
    tail -n 25 "$LOG" >&2
    exit 1
}
logged() {
    "$@" >>"$LOG" 2>&1
}

if ! bash scripts/install-deps.sh --check; then
    say "Installing the build and run packages with apt (first run only)"
    logged bash scripts/install-deps.sh || fail "Installing the packages failed"
fi

source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/xvfb.sh"

say "Building the artwork and sounds (native generator)"
logged cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo || fail "Configuring the native build failed"
logged cmake --build build/native --target assets -j "$JOBS" || fail "Building the artwork failed"
if [ "$WINE_ARCH" = i686 ]; then
    say "Building Quorvant.exe (i686)"
else
    say "Building Quorvant.exe (x86_64: this kernel runs no 32-bit programs, so Wine plays the 64-bit build)"
fi
logged cmake -S . -B "build/$WINE_ARCH" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$WINE_ARCH.cmake" -DQUORVANT_ASSET_DIR="$ROOT/build/native/assets" ||
    fail "Configuring the Windows build failed"
logged cmake --build "build/$WINE_ARCH" --target Quorvant -j "$JOBS" || fail "Building Quorvant.exe failed"

[ -f "$WINEPREFIX/system.reg" ] || say "Preparing Wine's prefix build/wineprefix-$WINE_ARCH (first run only)"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    logged wine_prefix_ready
    say "Starting Quorvant on display $DISPLAY; close its window to end (Wine's messages: build/run.log)"
    logged "$WINE" "$GAME_EXE"
    status=$?
    [ "$status" = 0 ] || fail "Quorvant ended with exit code $status"
    say "Quorvant closed"
    exit 0
fi

game=""
# Whatever ends the script, no Wine process may outlive the display it draws
# on: Wine complains loudly when its X connection breaks.
finish() {
    if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
        logged "$WINESERVER" -k
    fi
    logged "$WINESERVER" -w
    stop_xvfb
}
trap finish EXIT
trap 'exit 130' INT TERM

say "There is no display here: Quorvant plays on a virtual one (Xvfb) for a few seconds"
logged start_xvfb || fail "Xvfb did not start"
logged wine_prefix_ready
"$WINE" "$GAME_EXE" >>"$LOG" 2>&1 &
game=$!

window=""
for _ in $(seq 600); do
    window=$(xdotool search --name '^QUORVANT' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$game" 2>/dev/null || fail "Quorvant ended before its window appeared"
    sleep 0.1
done
[ -n "$window" ] || fail "Quorvant's window did not appear within a minute"
# Time to deal the first game and paint it.
sleep 4

mkdir -p "$(dirname "$SHOT")"
logged import -window "$window" "$SHOT" || logged import -window root "$SHOT" || fail "The screenshot failed"
say "Screenshot of the board: build/screenshots/run.png"

# Closed as the player would close it: WM_CLOSE, then the game's own exit.
logged "$WINE" taskkill /im Quorvant.exe
for _ in $(seq 150); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
    say "Quorvant did not close within 15 seconds; Wine's processes were ended instead"
    exit 1
fi
wait "$game"
status=$?
[ "$status" = 0 ] || fail "Quorvant ended with exit code $status"
say "Quorvant closed cleanly"

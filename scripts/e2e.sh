#!/usr/bin/env bash
# Runs the end-to-end driver against the built game under Wine on a virtual
# display, then turns its screenshots into PNGs in build/screenshots/.
#   bash scripts/e2e.sh [--only TEXT] [window|newgame|shortcut]...
# No group runs all of them; --only keeps the cases whose names contain TEXT.
# Exits with the driver's status; its last line is the driver's summary.
set -u
source "$(dirname "$0")/wine-env.sh"
source "$ROOT/scripts/xvfb.sh"

# A prefix and a desktop of its own: the game started by hand or by other
# tools of this tree writes its shortcut to build/home's desktop, and would
# overwrite the one under test. The prefix links its desktop to $HOME/Desktop
# when it is made.
export HOME="$ROOT/build/e2e-home"
export WINEPREFIX="$ROOT/build/wineprefix-e2e-$WINE_ARCH"
mkdir -p "$HOME/Desktop"

require_built "build the $WINE_ARCH tree first" "$GAME_EXE" "$E2E_EXE"

SHOTS="$ROOT/build/screenshots"
RAW_SHOTS="$BUILD_DIR/e2e-screenshots"
rm -rf "$RAW_SHOTS"
mkdir -p "$RAW_SHOTS" "$SHOTS"

finish() {
    # Ends every program of this prefix still running, the games included,
    # and the server that -p kept alive.
    "$WINESERVER" -k >/dev/null 2>&1
    stop_xvfb
}
trap finish EXIT
trap 'exit 130' INT TERM

# Two runs on one prefix would end each other's programs with wineserver -k.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
if ! flock -n 9; then
    echo "waiting for another run on $WINEPREFIX"
    flock -w 1200 9 || { echo "the other run did not end"; exit 1; }
fi

start_xvfb || exit 1
wine_prefix_ready
# One server for the whole run: each game start then skips the server's start-up.
"$WINESERVER" -p
wine_unmanaged_windows

log="$BUILD_DIR/e2e.log"
wine_log="$BUILD_DIR/e2e-wine.log"
# The driver reports on standard output; Wine's own complaints (no sound
# card, and the like) go to their own log. The driver's watchdog ends it
# after 900 s (a later --timeout wins); this time-out is the last resort,
# E2E_TIME_LIMIT seconds for runs that pass a longer --timeout.
timeout --kill-after=10 "${E2E_TIME_LIMIT:-1200}" "$WINE" "$E2E_EXE" \
    --game "$(windows_path "$GAME_EXE")" \
    --shots "$(windows_path "$RAW_SHOTS")" \
    --timeout 900 "$@" 2>"$wine_log" | tee "$log"
status=${PIPESTATUS[0]}

converted=0
for bmp in "$RAW_SHOTS"/*.bmp; do
    [ -e "$bmp" ] || continue
    png="$SHOTS/$(basename "${bmp%.bmp}").png"
    # /usr/bin/convert is ImageMagick's; another convert may come first in PATH.
    if /usr/bin/convert "$bmp" "$png"; then
        echo "screenshot: $png"
        converted=1
    fi
done

summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
if [ -z "$summary" ]; then
    echo "the driver ended without its summary (status $status); Wine's messages: $wine_log"
    [ "$status" = 0 ] && status=1
elif [ "$converted" = 1 ]; then
    # The summary stays the last line.
    echo "$summary"
fi
exit "$status"

#!/usr/bin/env bash
# Starts the game under Wine. Without a display, plays it on a virtual one for
# a few seconds and saves a screenshot of the board instead.
set -u
source "$(dirname "$0")/wine-env.sh"
source "$ROOT/scripts/xvfb.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine_prefix_ready
    exec "$WINE" "$GAME_EXE"
fi

echo "There is no display here, so the game runs on a virtual one (Xvfb) instead."
start_xvfb || exit 1
trap stop_xvfb EXIT
wine_prefix_ready
"$WINE" "$GAME_EXE" &
game=$!
sleep 10
shot="$ROOT/build/screenshots/run.png"
mkdir -p "$(dirname "$shot")"
window=$(xdotool search --name QUORVANT 2>/dev/null | head -n 1)
if [ -n "$window" ]; then
    import -window "$window" "$shot" 2>/dev/null || import -window root "$shot"
else
    import -window root "$shot"
fi
echo "Screenshot of the board: $shot"
kill "$game" 2>/dev/null
wait "$game" 2>/dev/null
exit 0

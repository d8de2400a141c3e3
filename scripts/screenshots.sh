#!/usr/bin/env bash
# Real captures of the X display with the game on it, taken by the driver's
# newgame group into build/screenshots/: numbers-start.png (the board at
# start) and numbers-offer.png (a banker's offer waiting), among others. The
# start board becomes docs/board.png, the README's picture.
#   bash scripts/screenshots.sh
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/e2e.sh" newgame || exit 1
cp "$ROOT/build/screenshots/numbers-start.png" "$ROOT/docs/board.png"
echo "docs/board.png updated from build/screenshots/numbers-start.png; the offer: build/screenshots/numbers-offer.png"

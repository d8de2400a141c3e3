#!/usr/bin/env bash
# Real captures of the X display with the game on it, taken by the driver's
# game group into build/screenshots/: game-start.png (the board at start),
# game-offer.png (a banker's offer waiting) and game-verdict.png (after the
# verdict), each of the midsummer deal. The start board becomes
# docs/board.png, the README's picture.
#   bash scripts/screenshots.sh
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/e2e.sh" game || exit 1
cp "$ROOT/build/screenshots/game-start.png" "$ROOT/docs/board.png"
echo "docs/board.png updated from build/screenshots/game-start.png; the offer: build/screenshots/game-offer.png"

#!/usr/bin/env bash
# Real captures of the X display with the game on it: the board at start and
# with a banker's offer showing, into build/screenshots/; the start board
# becomes docs/board.png, the README's picture.
#   bash scripts/screenshots.sh
set -u
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/e2e.sh" screenshots || exit 1
cp "$ROOT/build/screenshots/board.png" "$ROOT/docs/board.png"
echo "build/screenshots/board.png, build/screenshots/offer.png; docs/board.png updated"

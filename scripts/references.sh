#!/usr/bin/env bash
# Renews the reference pictures that the end-to-end look checks compare the
# game window with, after an intended change of the artwork or the layout:
# plays the game and newgame groups with --renew, which saves its captures at each moment
# as tests/e2e/references/*.png, checks the window group (the other display
# scalings) against them, and shows each beside the committed picture and
# where the two differ, in build/screenshots/references-review.png (opened
# where there is a display). Look at it before committing the pictures.
#   bash scripts/references.sh      (make references)
set -u -o pipefail   # a failed renewal must stop here, not hide behind tail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
REFS=tests/e2e/references
OUT=build/screenshots
mkdir -p "$OUT"
bash scripts/e2e.sh --renew game newgame | tail -n 3 || exit 1
bash scripts/e2e.sh window | tail -n 3
rows=()
for new in "$REFS"/*.png; do
    name=$(basename "$new" .png)
    old="$OUT/reference-$name-committed.png"
    # A picture new to the repository is set beside a black one.
    git show "HEAD:$new" >"$old" 2>/dev/null || convert "$new" -fill black -colorize 100 "$old"
    compare "$old" "$new" "$OUT/reference-$name-difference.png" 2>/dev/null
    convert "$old" "$new" "$OUT/reference-$name-difference.png" +append "$OUT/reference-$name-row.png"
    rows+=("$OUT/reference-$name-row.png")
done
convert "${rows[@]}" -append "$OUT/references-review.png"
echo "Committed | renewed | where they differ, one row per moment: $OUT/references-review.png"
git status --short "$REFS"
if [ -n "${DISPLAY:-}" ] && command -v display >/dev/null 2>&1; then
    display "$OUT/references-review.png" &
fi

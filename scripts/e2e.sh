#!/usr/bin/env bash
# Runs the end-to-end driver against the built game under Wine on virtual displays.
#   bash scripts/e2e.sh [DRIVER OPTION...] [GROUP...]
# Without a group the groups run in the shards below, all at once, each with
# its own Xvfb display, Wine prefix, wineserver and home: real mouse input of
# one never reaches another, nor a shortcut written by one the other's desktop.
# With groups named, one driver runs just those ("1250: game" under that code
# page, as below; "planted: ..." as scripts/audio-e2e.sh runs it). The last
# line is the summary.
set -u
source "$(dirname "$0")/wine-env.sh"
source "$ROOT/scripts/xvfb.sh"

# One shard per line, each about 70 s; balance them by the times the driver
# prints per case. The game mostly waits on its one-second clock, so three
# shards share two cores without slowing each other much.
SHARDS=(
    "game"
    "window newgame shell session"
    "storm closing"
    "1250: window game shell"
)
# A shard written "CODEPAGE: GROUPS" runs on a system of that code page, as a
# player in Warsaw or Moscow would, by a user whose name and the game's folder
# hold letters outside it: every text must still show its own characters,
# and the shortcut must still lead to the game.
# Every display has a panel, on the top or on the left by turns: the root
# window's work area, which Wine takes when it starts, so set before it.
PANELS=("0,120,1024,648" "200,0,824,768")
declare -A LOCALES=([1250]=pl_PL.UTF-8 [1251]=ru_RU.UTF-8 [932]=ja_JP.UTF-8)
FOREIGN_FOLDER="Łódź Ωμέγα 游戏" FOREIGN_USER="Ωμέγα"

require_built "build the $WINE_ARCH tree first" "$GAME_EXE" "$E2E_EXE"
SHOTS="$ROOT/build/screenshots"
mkdir -p "$SHOTS"
options=()
groups=()
while [ $# -gt 0 ]; do
    case "$1" in
        --renew) options+=("$1"); shift ;;
        --*) options+=("$1" "$2"); shift 2 ;;
        *) groups+=("$1"); shift ;;
    esac
done
[ ${#groups[@]} -gt 0 ] && SHARDS=("${groups[*]}")

# run_shard N GROUPS: the driver on a display and prefix of its own; its
# report goes to $BUILD_DIR/e2e-N.log, Wine's complaints to e2e-N-wine.log.
run_shard() {
    local n="$1" log="$BUILD_DIR/e2e-$1.log" groups="$2" game="$GAME_EXE" shots="$SHOTS" code_page=()
    export HOME="$ROOT/build/e2e-home-$n"
    export WINEPREFIX="$ROOT/build/wineprefix-e2e-$n-$WINE_ARCH"
    mkdir -p "$HOME/Desktop"
    case "$groups" in
    planted:*)   # Windows' own load order, with libraries of the system's names beside the game
        game="$HOME/planted/Quorvant.exe"
        mkdir -p "$HOME/planted" && rm -f "$HOME/planted/"*.mark
        cp "$GAME_EXE" "$BUILD_DIR/tests/e2e/planted/"*.dll "$HOME/planted/"
        export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm,ole32,shell32=n,b" ;;
    *:*)
        code_page=(--code-page "${groups%%:*}")
        export LANG="${LOCALES[${groups%%:*}]:-C.UTF-8}" LC_ALL="" USER="$FOREIGN_USER"
        export WINEPREFIX="$WINEPREFIX-${groups%%:*}"
        shots="$SHOTS/cp${groups%%:*}"
        game="$HOME/$FOREIGN_FOLDER/Quorvant.exe"
        mkdir -p "$shots" "$(dirname "$game")" && cp "$GAME_EXE" "$game" ;;
    esac
    groups="${groups#*:}"
    # Two runs on one prefix would end each other's programs with wineserver -k.
    exec 9>"$WINEPREFIX.lock"
    flock -w 1200 9 || { echo "another run holds $WINEPREFIX" >"$log"; return 1; }
    trap '"$WINESERVER" -k >/dev/null 2>&1; stop_xvfb' EXIT
    start_xvfb || return 1
    xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "${PANELS[$((n % 2))]}"
    wine_prefix_ready
    "$WINESERVER" -p   # one server for the whole run: game starts skip its start-up
    wine_unmanaged_windows
    # The driver's watchdog ends it after --timeout (900 s unless given);
    # this time-out is the last resort.
    timeout --kill-after=10 "${E2E_TIME_LIMIT:-1200}" "$WINE" "$E2E_EXE" --timeout 900 \
        --game "$(windows_path "$game")" --shots "$(windows_path "$shots")" \
        --references "$(windows_path "$ROOT/tests/e2e/references")" "${code_page[@]}" "${options[@]}" $groups \
        >"$log" 2>"$BUILD_DIR/e2e-$n-wine.log"
}

start=$(date +%s)
pids=()
for n in "${!SHARDS[@]}"; do
    (run_shard "$n" "${SHARDS[$n]}") &
    pids+=($!)
done
status=0 passed=0 failed=0
for n in "${!SHARDS[@]}"; do
    wait "${pids[$n]}" || status=1
    log="$BUILD_DIR/e2e-$n.log"
    echo "== shard $n: ${SHARDS[$n]}"
    cat "$log"
    summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        echo "shard $n ended without its summary; Wine's messages: $BUILD_DIR/e2e-$n-wine.log"
        status=1 failed=$((failed + 1))
    else
        passed=$((passed + ${summary%% *})) failed=$((failed + $(echo "$summary" | cut -d' ' -f3)))
    fi
done
echo "e2e wall time: $(( $(date +%s) - start )) s; screenshots in $SHOTS"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ] || status=1
exit "$status"

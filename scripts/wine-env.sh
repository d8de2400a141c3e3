# Sourced: one Wine prefix per build tree, a home with a Desktop folder, and
# the loader that fits this host. Sets WINE, WINE_ARCH, GAME_EXE, E2E_EXE.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WINE_ARCH="$(bash "$ROOT/scripts/wine-arch.sh")"
BUILD_DIR="$ROOT/build/$WINE_ARCH"
export HOME="$ROOT/build/home"
export WINEPREFIX="$ROOT/build/wineprefix-$WINE_ARCH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
if [ "$WINE_ARCH" = i686 ]; then
    export WINEARCH=win32
    WINE=/usr/lib/wine/wine
else
    export WINEARCH=win64
    WINE=/usr/lib/wine/wine64
fi
WINESERVER=/usr/lib/wine/wineserver
GAME_EXE="$BUILD_DIR/Quorvant.exe"
E2E_EXE="$BUILD_DIR/tests/e2e/quorvant_e2e.exe"
mkdir -p "$HOME/Desktop"

# Wine's drive Z: is the Unix root.
windows_path() {
    local path="$1"
    printf 'Z:%s' "${path//\//\\}"
}

# Exits with 2 when one of the files is missing: require_built HINT FILE...
require_built() {
    local hint="$1" file
    shift
    for file in "$@"; do
        if [ ! -f "$file" ]; then
            echo "missing $file: $hint"
            exit 2
        fi
    done
}

# A fresh prefix takes a while to settle; later runs reuse it.
# Wine's own faces (Marlett draws the caption buttons' symbols; without it
# they read "0 1 r") lie in /usr/share/wine/fonts. Wine looks for them under
# its data folder, which Debian's loader knows as /usr/lib/wine/../../share/wine;
# turned into a Windows path that keeps its "..", and Wine never opens the
# fonts folder below it (strace shows the folder's parts looked up, then
# nothing opened), so no face of its own is loaded. Named as a font path of
# the prefix, the folder is searched and Marlett found.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
    if ! grep -q 'share\\\\wine\\\\fonts' "$WINEPREFIX/user.reg" 2>/dev/null; then
        "$WINE" reg add 'HKCU\Software\Wine\Fonts' /v Path /d "$(windows_path /usr/share/wine/fonts)" /f >/dev/null 2>&1
        "$WINESERVER" -w
    fi
}

# Xvfb has no window manager. Wine, when it leaves its windows to one, waits
# 2 s at every hidden window (each message box answered, each window closed)
# for the manager's answer that never comes (fixme:event:wait_for_withdrawn_state);
# on a desktop the answer is at once. Headless runs manage their windows in Wine.
wine_unmanaged_windows() {
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

#!/usr/bin/env bash
# The release zip: built twice from clean exports of HEAD in two unlike folders,
# and refused unless both builds give the same bytes.
#   build/dist/Quorvant-<version>.zip   the game, the guide and the exe's SHA-256
#   build/dist/a, build/dist/b          the two builds and their logs
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
DIST="$ROOT/build/dist"
JOBS="${JOBS:-$(nproc)}"

bash scripts/install-deps.sh

VERSION="$(head -n 1 VERSION)"
[[ "$VERSION" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "VERSION holds '$VERSION', not major.minor.patch" >&2; exit 1; }
NAME="Quorvant-$VERSION"
COMMIT="$(git rev-parse HEAD)"
# Every time inside the zip is the commit's, so the same commit zips the same.
# Only the zip gets it: the compiler and linker honour it too, and would hide
# from the comparison a time stamp that every other build of the exe carries.
ZIP_TIME="$(git log -1 --format=%ct "$COMMIT")"
unset SOURCE_DATE_EPOCH

if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "Note: the release is built from the last commit ${COMMIT:0:12}; uncommitted changes are not in it."
fi

# The zip of one build: fixed names, order, modes and times, no owner ids
# (-X), no folder entries (-D); TZ=UTC because zip stores local times.
package() {
    local tree="$1" stage="$1/stage/$NAME"
    rm -rf "$1/stage" && mkdir -p "$stage"
    cp "$tree/src/build/i686/Quorvant.exe" "$stage/Quorvant.exe"
    sed -e "s/@VERSION@/$VERSION/" -e 's/$/\r/' "$tree/src/docs/how-to-play.txt" >"$stage/How to play.txt"
    (cd "$stage" && sha256sum Quorvant.exe >Quorvant.exe.sha256)
    chmod 0644 "$stage"/*
    TZ=UTC touch -d "@$ZIP_TIME" "$stage"/*
    rm -f "$tree/$NAME.zip"
    (cd "$1/stage" && TZ=UTC zip -X -D -q -9 "$tree/$NAME.zip" \
        "$NAME/Quorvant.exe" "$NAME/Quorvant.exe.sha256" "$NAME/How to play.txt")
}

# One build from a clean export: the native asset generator and its output,
# then the i686 game alone. Chatter goes to the tree's build.log.
build_tree() {
    local tree="$1" src="$1/src"
    rm -rf "$tree" && mkdir -p "$src"
    git archive --format=tar "$COMMIT" | tar -x -C "$src"
    if ! (
        cd "$src"
        cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release
        cmake --build build/native --target assets -j "$JOBS"
        cmake -S . -B build/i686 -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DQUORVANT_ASSET_DIR="$PWD/build/native/assets"
        cmake --build build/i686 --target Quorvant -j "$JOBS"
    ) >"$tree/build.log" 2>&1; then
        echo "The build in $tree failed; the end of $tree/build.log:" >&2
        tail -n 30 "$tree/build.log" >&2
        exit 1
    fi
    package "$tree"
}

echo "Building $NAME from ${COMMIT:0:12} twice, in two folders (logs: build/dist/a/build.log, build/dist/b/.../build.log)"
mkdir -p "$DIST"
rm -f "$DIST/$NAME.zip"
A="$DIST/a"
# The second build differs in everything that must not matter: a deeper and
# longer path, another umask, time zone and locale.
B="$DIST/b/a-longer-folder-name/for-the-second-build"
rm -rf "$DIST/a" "$DIST/b"
build_tree "$A"
(umask 0077; export TZ=Pacific/Auckland LC_ALL=C.UTF-8; build_tree "$B")

same=1
if ! diff -r "$A/src/build/native/assets" "$B/src/build/native/assets" >/dev/null; then
    echo "NOT REPRODUCIBLE: the asset generator wrote different files in the two builds:" >&2
    diff -rq "$A/src/build/native/assets" "$B/src/build/native/assets" >&2 || true
    same=0
fi
for file in "src/build/i686/Quorvant.exe" "$NAME.zip"; do
    if ! cmp -s "$A/$file" "$B/$file"; then
        echo "NOT REPRODUCIBLE: $(basename "$file") differs between $A and $B; first differing bytes:" >&2
        cmp -l "$A/$file" "$B/$file" | head -n 10 >&2 || true
        same=0
    fi
done
# A time stamp or a path shows up in the headers: name the fields that differ.
if [ "$same" = 0 ]; then
    diff <(cd "$A/src/build/i686" && i686-w64-mingw32-objdump -p Quorvant.exe) \
         <(cd "$B/src/build/i686" && i686-w64-mingw32-objdump -p Quorvant.exe) | head -n 20 >&2 || true
fi
if grep -a -q -F "$ROOT" "$A/src/build/i686/Quorvant.exe"; then
    echo "NOT REPRODUCIBLE: the exe holds a build path:" >&2
    strings -a "$A/src/build/i686/Quorvant.exe" | grep -F -e "$ROOT" | head -n 5 >&2 || true
    same=0
fi
[ "$same" = 1 ] || exit 1

cp "$A/$NAME.zip" "$DIST/$NAME.zip"
echo "Both builds are byte for byte the same."
echo "  $(cd "$A/src/build/i686" && sha256sum Quorvant.exe)"
echo "  $(cd "$DIST" && sha256sum "$NAME.zip")"
echo "Release: build/dist/$NAME.zip"

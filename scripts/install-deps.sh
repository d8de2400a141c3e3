#!/usr/bin/env bash
# Installs what building, testing and releasing need on Debian 12: the i686
# MinGW-w64 cross compiler, 32-bit Wine, a virtual X display, fonts, FreeType for the
# artwork generator, GoogleTest, PulseAudio/sox for the audio path tests, and
# git and zip for the release, and a Polish locale for a run under code page 1250.
# 64-bit MinGW and Wine too: on kernels without 32-bit support the tests run
# a 64-bit build of the same sources.
# Quick when everything is present already, so every make target can call it.
#   --check   install nothing; exit 1 when something is missing
set -euo pipefail

need_cmds=(cmake g++ i686-w64-mingw32-g++-win32 i686-w64-mingw32-windres
           x86_64-w64-mingw32-g++-win32 wine Xvfb xdotool xdpyinfo import
           pulseaudio parec sox git zip)
need_files=(/usr/include/freetype2/ft2build.h /usr/include/gtest/gtest.h
            /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
            /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll
            /usr/lib/wine/wine64 /usr/bin/convert)

# The end-to-end run under another system code page: Wine takes it from the
# Unix locale, which must exist.
need_locale=pl_PL.UTF-8

missing=0
for c in "${need_cmds[@]}"; do command -v "$c" >/dev/null 2>&1 || missing=1; done
for f in "${need_files[@]}"; do [ -e "$f" ] || missing=1; done
locale -a 2>/dev/null | grep -qix "${need_locale/UTF-8/utf8}" || missing=1
[ "$missing" = 0 ] && exit 0
[ "${1:-}" = --check ] && exit 1

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake make pkg-config \
    g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev \
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
    wine wine32:i386 libwine:i386 wine64 \
    xvfb xauth x11-utils xdotool \
    fonts-dejavu-core fonts-liberation fonts-wine \
    libfreetype-dev googletest libgtest-dev \
    pulseaudio pulseaudio-utils libasound2-plugins:i386 libpulse0:i386 \
    sox imagemagick git zip locales \
    >/dev/null
locale -a 2>/dev/null | grep -qix "${need_locale/UTF-8/utf8}" ||
    $SUDO localedef -i "${need_locale%%.*}" -f UTF-8 "$need_locale"

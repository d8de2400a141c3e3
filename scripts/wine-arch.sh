#!/usr/bin/env bash
# Tells which Windows build this host can run under Wine. Some kernels run
# 64-bit user code only (no IA-32 emulation): there Wine's 32-bit loader
# cannot start, and the tests fall back to the x86_64 build of the same code.
#   --can-run-32   exit 0 when 32-bit Wine works here
#   (no argument)  print the build folder to use: build/i686 or build/x86_64
set -u
can_run_32() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
case "${1:-}" in
    --can-run-32) can_run_32 ;;
    *) if can_run_32; then echo i686; else echo x86_64; fi ;;
esac

#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix and returns its exit code.
#   scripts/wine-run.sh [--init-prefix] [program.exe [args...]]
#   scripts/wine-run.sh --runs-32-bit   exit 0 when 32-bit Windows programs run here
#   scripts/wine-run.sh --32 program.exe  runs a 32-bit program: natively where the
#       kernel runs 32-bit programs, else the whole 32-bit Wine under user-mode
#       emulation (qemu-i386-static; about a minute of processor time per start).
#       KIROPAD_NO_32=1 takes the emulated way (and the x86_64 loader for the rest)
#       even where native would work.
# Environment: KIROPAD_WINEPREFIX overrides the prefix (default build/wine).
# When there is no DISPLAY, an Xvfb server is started on a free display for the
# duration of the run and stopped afterwards. Only processes started here are stopped.
set -u
repo="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${KIROPAD_WINEPREFIX:-$repo/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

# A kernel without 32-bit ELF support cannot start Wine's 32-bit loader, so no
# 32-bit Windows program runs: the callers run the x86_64 build instead, through
# Wine's 64-bit loader. The commands that start the loader by name (wine, and
# wineboot through wine-stable) are pointed at it from a folder of the build.
# KIROPAD_NO_32=1 behaves as such a kernel does, to try that way here.
runs_32_bit() {
  [ "${KIROPAD_NO_32:-}" != 1 ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
if [ "${1:-}" = "--runs-32-bit" ]; then
  runs_32_bit
  exit $?
fi
emulate_32=""
if [ "${1:-}" = "--32" ]; then
  shift
  if ! runs_32_bit; then
    command -v qemu-i386-static >/dev/null || { echo "wine-run: qemu-i386-static is missing (scripts/setup.sh)" >&2; exit 2; }
    emulate_32=1
  fi
fi
use_wine64_loader_if_needed() {
  runs_32_bit && return 0
  [ -x /usr/lib/wine/wine64 ] || return 0
  local shim="$repo/build/wine-loader"
  mkdir -p "$shim"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
    chmod +x "$shim/$name"
  done
  export WINELOADER=/usr/lib/wine/wine64
  export PATH="$shim:$PATH"
}
use_wine64_loader_if_needed

. "$repo/scripts/xvfb.sh"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
    stop_xvfb
  fi
}
trap cleanup EXIT

init_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    echo "wine-run: creating the Wine prefix (first start takes a while)" >&2
    wineboot --init >/dev/null 2>&1
    # Windows not managed by an X window manager: under Xvfb there is none, and
    # Wine otherwise waits about two seconds for one each time a window shows.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1 || true
  fi
}

if [ "${1:-}" = "--init-prefix" ]; then
  shift
  start_xvfb
  init_prefix
  [ $# -eq 0 ] && exit 0
fi

[ $# -ge 1 ] || { echo "usage: wine-run.sh [--init-prefix] program.exe [args...]" >&2; exit 2; }
start_xvfb
init_prefix
if [ -n "$emulate_32" ]; then
  # The 32-bit loader run by the emulator itself rather than by the kernel; Wine
  # then must not re-execute itself (its preloader would be started by the kernel).
  # The prefix itself is made by the native loader above. A process that this Wine
  # starts (Kirostart's Kiropad) is started through WINELOADER, which therefore
  # runs the emulator too; Wine asks for WINELOADER64 for a 64-bit one.
  shim="$repo/build/wine-loader-emulated"
  mkdir -p "$shim"
  printf '#!/bin/sh\nWINELOADERNOEXEC=1 exec qemu-i386-static /usr/lib/wine/wine "$@"\n' >"$shim/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine64"
  chmod +x "$shim/wine" "$shim/wine64"
  WINELOADER="$shim/wine" WINELOADERNOEXEC=1 qemu-i386-static /usr/lib/wine/wine "$@"
  exit $?
fi
wine "$@"
exit $?

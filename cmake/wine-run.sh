#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build tree's own, made
# on first use: wine-run.sh PREFIX win32|win64 PROGRAM [ARGUMENT]...
# Headless and quiet: no debug channels, no .NET or HTML engine installs.
# Each architecture runs on its own loader. Where the kernel cannot execute
# 32-bit programs (IA-32 emulation off), a 32-bit program cannot run at all:
# the script says so and exits with 77, which the tests report as skipped.
prefix=$1
arch=$2
shift 2
if [ "$arch" = win32 ]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
if [ "$arch" = win32 ] && ! "$loader" --version >/dev/null 2>&1 &&
   "$loader" --version 2>&1 | grep -qi "exec format error"; then
  echo "skipped: this machine's kernel does not execute 32-bit programs, so 32-bit Wine cannot run here" >&2
  exit 77
fi
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$loader"
exec "$loader" "$@"

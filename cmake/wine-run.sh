#!/bin/sh
# Runs a Windows program under Wine in a prefix of the build tree's own, made
# on first use: wine-run.sh PREFIX win32|win64 PROGRAM [ARGUMENT]...
# Headless and quiet: no debug channels, no .NET or HTML engine installs.
prefix=$1
arch=$2
shift 2
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"

#!/usr/bin/env bash
# The Windows step of ./test.sh: cross-builds the dependencies (cached outside
# the checkout) and both Windows configurations, runs their tests under Wine
# (prefixes in the build trees, windows on a virtual display), then reads the
# built modules on this machine and compares them with the resource table,
# and runs the Debug build's Wine tests (label "windows": veyra.exe and both
# modules against the Linux build).
# Expects scripts/bootstrap.sh --windows to have run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
start=$SECONDS

# A kernel with IA-32 emulation off executes no 32-bit program: the x86 build
# is still made and its files checked on this machine, but nothing of it runs
# under Wine (the tests report those runs as skipped). Said here and at the end.
x86_note=""
probe=$(/usr/lib/wine/wine --version 2>&1 || true)
if [[ ${probe,,} == *"exec format error"* ]]; then
  x86_note="the x86 programs were built and their files checked, but not run: this machine's kernel does not execute 32-bit programs"
  echo "== NOTE: $x86_note"
fi

echo "== windows dependencies"
scripts/build-windows-deps.sh x86 x64

modules=()
for arch in x86 x64; do
  echo "== windows-$arch build"
  cmake --preset "windows-$arch" >/dev/null
  cmake --build "build/windows-$arch" -j "$jobs"
  echo "== windows-$arch tests (Wine)"
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "build/windows-$arch" --output-on-failure -j "$jobs"
  modules+=("$PWD/build/windows-$arch/plug-ins/KVO_Veyra.8bf")
done

echo "== windows package check"
# The cross builds' system files (the mingw-w64 compilers, headers and
# libraries), and the Wine the tests run them with: each architecture's
# loader (tests/wine) and the server.
scripts/check-packages.sh --windows --uses /usr/lib/wine/wine --uses /usr/lib/wine/wine64 \
  --uses "$(command -v wineserver)" build/windows-x86 build/windows-x64
# ... and that check does name a missing package for these builds.
out=$(tests/scripts/CheckPackagesTest.sh --windows "$PWD" 2>&1) || { echo "$out"; exit 1; }

echo "== windows modules read on this machine, veyra.exe against the Linux build"
[[ -f build/debug/build.ninja ]] || cmake --preset debug >/dev/null
cmake --build build/debug -j "$jobs"
VEYRA_WINDOWS_MODULES=$(IFS=:; echo "${modules[*]}") \
  build/debug/bin/test_host --gtest_filter='WindowsModuleFile.*'
VEYRA_REQUIRE_WINDOWS=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/debug --output-on-failure -j "$jobs" -L windows
echo "== windows step done in $((SECONDS - start)) s"
[[ -z $x86_note ]] || echo "== NOTE: $x86_note"

#!/usr/bin/env bash
# Builds Veyra in Debug and in AddressSanitizer + UndefinedBehaviorSanitizer
# form, checks that every system file the builds used comes from a package
# bootstrap installs, and runs the whole test suite in both builds; then the
# Windows step: both Windows builds (x86, x64), their tests under Wine
# (scripts/test-windows.sh); then the package step: the release build's Debian
# package, unpacked into a scratch root and run from there
# (scripts/test-package.sh).
# Usage: ./test.sh [debug|asan|windows|package]...   (default: all four)
set -euo pipefail
cd "$(dirname "$0")"

configs=("$@")
((${#configs[@]})) || configs=(debug asan windows package)
jobs=$(nproc)
native=()
windows=0
package=0
for config in "${configs[@]}"; do
  case "$config" in
    windows) windows=1 ;;
    package) package=1 ;;
    *) native+=("$config") ;;
  esac
done

# The bootstrap groups beyond the base one that the tests need (--NAME each);
# the package check below covers the same groups.
groups=(--gimp)
((windows)) && groups+=(--windows)
scripts/bootstrap.sh "${groups[@]}"

for config in "${native[@]}"; do
  echo "== $config build"
  cmake --preset "$config" >/dev/null
  cmake --build "build/$config" -j "$jobs"
done

if ((${#native[@]})); then
  echo "== package check"
  builds=()
  for config in "${native[@]}"; do builds+=("build/$config"); done
  scripts/check-packages.sh "${groups[@]}" "${builds[@]}"
fi

for config in "${native[@]}"; do
  echo "== $config tests"
  # The dialog tests need a display; give them a virtual one. The tests of
  # the Windows builds (label "windows") run in their own step.
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "build/$config" --output-on-failure -j "$jobs" -LE windows
done

if ((windows)); then
  scripts/test-windows.sh
fi

if ((package)); then
  echo "== Debian package"
  cmake --preset release >/dev/null
  cmake --build build/release -j "$jobs"
  scripts/test-package.sh build/release
fi

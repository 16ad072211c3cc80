#!/usr/bin/env bash
# Builds Veyra in Debug and in AddressSanitizer + UndefinedBehaviorSanitizer
# form, checks that every system file the builds used comes from a package
# bootstrap installs, and runs the whole test suite in both builds.
# Usage: ./test.sh [debug|asan]...   (default: debug asan)
set -euo pipefail
cd "$(dirname "$0")"
# The bootstrap groups beyond the base one that the tests need (--NAME each);
# the package check below covers the same groups.
groups=()
scripts/bootstrap.sh "${groups[@]}"

configs=("$@")
((${#configs[@]})) || configs=(debug asan)
jobs=$(nproc)
for config in "${configs[@]}"; do
  echo "== $config build"
  cmake --preset "$config" >/dev/null
  cmake --build "build/$config" -j "$jobs"
done

echo "== package check"
builds=()
for config in "${configs[@]}"; do builds+=("build/$config"); done
scripts/check-packages.sh "${groups[@]}" "${builds[@]}"

for config in "${configs[@]}"; do
  echo "== $config tests"
  # The dialog tests need a display; give them a virtual one. The tests of
  # the Windows builds (label "windows") run in their own step.
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "build/$config" --output-on-failure -j "$jobs" -LE windows
done

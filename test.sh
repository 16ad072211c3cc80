#!/usr/bin/env bash
# Builds Veyra and runs the whole test suite: first in the Debug build, then
# in the AddressSanitizer + UndefinedBehaviorSanitizer build.
# Usage: ./test.sh [debug|asan]...   (default: debug asan)
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh

configs=("$@")
((${#configs[@]})) || configs=(debug asan)
jobs=$(nproc)
for config in "${configs[@]}"; do
  echo "== $config build"
  cmake --preset "$config" >/dev/null
  cmake --build "build/$config" -j "$jobs"
  echo "== $config tests"
  # The dialog tests need a display; give them a virtual one.
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "build/$config" --output-on-failure -j "$jobs"
done

#!/usr/bin/env bash
# Fuzzes one of the fuzz targets in tests/fuzz with afl++: builds it with
# afl-g++ and the address and undefined-behaviour sanitizers in build/fuzz,
# then runs afl-fuzz from the target's corpus at the lowest CPU priority.
#
# Usage: scripts/fuzz.sh TARGET [SECONDS]    TARGET: shape, image or action
#                                            SECONDS: how long to fuzz (300)
# Findings: build/fuzz/findings/TARGET/default/{crashes,hangs}. Replay one with
# build/debug/bin/fuzz_TARGET FILE; once mended, copy it into
# tests/fuzz/corpus/TARGET/, where the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-}
seconds=${2:-300}
case "$target" in
  shape | image | action) ;;
  *) echo "usage: scripts/fuzz.sh shape|image|action [SECONDS]" >&2; exit 2 ;;
esac
scripts/bootstrap.sh --fuzz

# The sanitizer build's configuration, with afl's compiler for the code
# under test (scripts/afl-launcher.sh).
build=build/fuzz
if [[ ! -f $build/build.ninja ]]; then
  cmake --preset asan -B "$build" -DCMAKE_C_COMPILER_LAUNCHER="$PWD/scripts/afl-launcher.sh" \
    -DCMAKE_CXX_COMPILER_LAUNCHER="$PWD/scripts/afl-launcher.sh" \
    -DCMAKE_CXX_LINKER_LAUNCHER="$PWD/scripts/afl-launcher.sh" >/dev/null
fi
nice cmake --build "$build" --target "fuzz_$target" -j 2

findings=$build/findings/$target
mkdir -p "$findings"
# The machine's core pattern and CPU governor are left as they are; afl++
# is told not to insist on them. -m none: the sanitizers reserve far more
# address space than afl's default limit.
AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1 AFL_NO_UI=1 \
  ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
  nice -n 19 afl-fuzz -i "tests/fuzz/corpus/$target" -o "$findings" -m none -t 2000 -V "$seconds" \
  -- "$build/bin/fuzz_$target" @@
for kind in crashes hangs; do
  n=$(find "$findings/default/$kind" -type f -name 'id:*' 2>/dev/null | wc -l)
  echo "fuzz $target: $n $kind in $findings/default/$kind"
done

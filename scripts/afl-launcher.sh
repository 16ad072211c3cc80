#!/usr/bin/env bash
# Compiler and linker launcher of the fuzzing build (scripts/fuzz.sh): the
# code the fuzz targets read outside input with is compiled by afl++'s
# instrumenting compiler, so that the fuzzer sees its coverage; everything
# else is compiled as in the sanitizer build (through ccache when present),
# and every link goes through afl-g++, which adds afl's runtime.
#
# Usage (as CMake's launcher): afl-launcher.sh COMPILER ARGS...
set -euo pipefail
compiler=$1
shift
instrumented=(
  tests/fuzz/FuzzShape.cpp tests/fuzz/FuzzImage.cpp tests/fuzz/FuzzAction.cpp
  render/ShapeFile.cpp
  app/ImageFile.cpp app/PngFile.cpp app/JpegFile.cpp app/TiffFile.cpp app/Document.cpp app/DocumentBuilder.cpp
  app/ActionFile.cpp app/Descriptor.cpp app/Terminology.cpp app/PropertyList.cpp app/EnableExpression.cpp
)
afl=afl-gcc
[[ $compiler == *++ ]] && afl=afl-g++
compiling=0
source=""
for arg in "$@"; do
  [[ $arg == -c ]] && compiling=1
  [[ $arg == *.cpp || $arg == *.c ]] && source=$arg
done
((compiling)) || exec env AFL_QUIET=1 afl-g++ "$@"
for s in "${instrumented[@]}"; do
  [[ $source == */"$s" ]] && exec env AFL_QUIET=1 "$afl" "$@"
done
if command -v ccache >/dev/null; then exec ccache "$compiler" "$@"; fi
exec "$compiler" "$@"

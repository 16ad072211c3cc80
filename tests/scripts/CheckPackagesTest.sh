#!/usr/bin/env bash
# The package check must fail, naming the package, when the bootstrap lists
# leave out a package the build needs. Native build: fluid (a file FLTK's
# CMake package requires), libxext-dev (a library on the link line) and
# nlohmann-json3-dev (headers and a CMake package). Windows builds: the x86
# cross compiler and the 32-bit Wine the tests run.
# Usage: CheckPackagesTest.sh SOURCE_DIR BUILD_DIR
#        CheckPackagesTest.sh --windows SOURCE_DIR   (build/windows-x86 and -x64 of SOURCE_DIR)
set -euo pipefail
if [[ $1 == --windows ]]; then
  src=$2
  dropped=(g++-mingw-w64-i686-posix wine32:i386)
  groups=(--windows)
  check=(--windows --uses /usr/lib/wine/wine --uses /usr/lib/wine/wine64 "$src/build/windows-x86" "$src/build/windows-x64")
else
  src=$1
  dropped=(fluid libxext-dev nlohmann-json3-dev)
  groups=()
  check=("$2")
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

alternatives=$(IFS='|'; echo "${dropped[*]}")
sed -E "s/([ (])(${alternatives//+/\\+})( |\)|$)/\1\3/g" "$src/scripts/bootstrap.sh" >"$tmp/bootstrap.sh"
for p in "${dropped[@]}"; do
  if bash "$tmp/bootstrap.sh" --list "${groups[@]}" | grep -qx -- "$p"; then
    echo "FAIL: could not drop $p from the test's bootstrap copy"; exit 1
  fi
done

rc=0
"$src/scripts/check-packages.sh" --bootstrap "$tmp/bootstrap.sh" "${check[@]}" >"$tmp/out" 2>&1 || rc=$?
cat "$tmp/out"
[[ $rc == 1 ]] || { echo "FAIL: exit status $rc, expected 1"; exit 1; }
for p in "${dropped[@]}"; do
  grep -qx "  package: ${p%%:*}" "$tmp/out" || { echo "FAIL: $p not named"; exit 1; }
done
echo "PASS: the check names ${dropped[*]}"

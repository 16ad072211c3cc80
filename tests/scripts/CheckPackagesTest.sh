#!/usr/bin/env bash
# The package check must fail, naming the package, when the bootstrap lists
# leave out a package the build needs: fluid (a file FLTK's CMake package
# requires), libxext-dev (a library on the link line) and nlohmann-json3-dev
# (headers and a CMake package).
# Usage: CheckPackagesTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

dropped=(fluid libxext-dev nlohmann-json3-dev)
sed -E "s/ (fluid|libxext-dev|nlohmann-json3-dev)( |$)/ /g" "$src/scripts/bootstrap.sh" >"$tmp/bootstrap.sh"
for p in "${dropped[@]}"; do
  if bash "$tmp/bootstrap.sh" --list | grep -qx -- "$p"; then
    echo "FAIL: could not drop $p from the test's bootstrap copy"; exit 1
  fi
done

rc=0
"$src/scripts/check-packages.sh" --bootstrap "$tmp/bootstrap.sh" "$build" >"$tmp/out" 2>&1 || rc=$?
cat "$tmp/out"
[[ $rc == 1 ]] || { echo "FAIL: exit status $rc, expected 1"; exit 1; }
for p in "${dropped[@]}"; do
  grep -qx "  package: $p" "$tmp/out" || { echo "FAIL: $p not named"; exit 1; }
done
echo "PASS: the check names ${dropped[*]}"

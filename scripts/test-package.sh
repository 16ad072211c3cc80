#!/usr/bin/env bash
# Makes the Debian package of a build tree (cpack -G DEB), unpacks it into a
# scratch root with dpkg -x and runs veyra from there: the package must hold
# veyra, the module with its Patterns and veyra-gimp, declare its libraries,
# and light a picture exactly as the build tree does.
# Usage: scripts/test-package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
src=$(cd "$(dirname "$0")/.." && pwd)
rm -f "$build"/veyra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/veyra_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
fail() { echo "package: $*" >&2; exit 1; }
for f in usr/bin/veyra usr/lib/veyra/plug-ins/KVO_Veyra.8bf usr/lib/veyra/plug-ins/Patterns/Window.png \
         usr/lib/gimp/2.0/plug-ins/veyra-gimp/veyra-gimp; do
  [[ -f "$root/$f" ]] || fail "$(basename "$deb") has no /$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libfltk1.3 libgimp2.0 libpng16 libjpeg62-turbo libtiff6 liblcms2 libstdc++6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
# The unpacked veyra finds only the unpacked module (../lib/veyra/plug-ins).
settings=(--quiet --set sBln=sOnl --set lBln=lScr --set sRot=-15)
env -u VEYRA_PLUGIN "$root/usr/bin/veyra" apply "$src/samples/Room.jpg" "$root/lit.png" "${settings[@]}" \
  --set sNam="$root/usr/lib/veyra/plug-ins/Patterns/Window.png"
"$build/bin/veyra" apply "$src/samples/Room.jpg" "$root/expected.png" "${settings[@]}" \
  --plugin "$build/plug-ins/KVO_Veyra.8bf" --set sNam="$build/plug-ins/Patterns/Window.png"
cmp -s "$root/lit.png" "$root/expected.png" || fail "the unpacked veyra lights the sample differently"
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) unpacks and runs; Depends: $depends"

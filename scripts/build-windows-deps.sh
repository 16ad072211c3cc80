#!/usr/bin/env bash
# Cross-builds the libraries the Windows binaries link statically, from
# Debian 12's own source packages (fetched with `apt-get source`) and
# libz-mingw-w64-dev, for x86 and x64, into a cache outside the checkout:
#
#   ${VEYRA_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/veyra/windows-deps}/<arch>
#
# An architecture is rebuilt only when something that went into it changed:
# the source versions apt knows, this script, the toolchain files, the cross
# compiler or zlib. A warm run checks that and exits without network access.
# Nothing is downloaded from anywhere but the machine's Debian archive.
#
# Usage: scripts/build-windows-deps.sh [x86|x64]...   (default: x86 x64)
# Needs: scripts/bootstrap.sh --windows (cross compilers, dpkg-dev, nasm and
# the deb-src entries).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${VEYRA_WINDOWS_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/veyra/windows-deps}
jobs=${VEYRA_JOBS:-$(nproc)}
arches=("$@")
((${#arches[@]})) || arches=(x86 x64)

# Source packages in build order. FLTK is used by veyra.exe's dialog manager;
# the others by the module (libpng, libjpeg) and veyra.exe (all).
packages=(libjpeg-turbo libpng1.6 tiff lcms2 fltk1.3)

log() { echo "windows-deps: $*" >&2; }

triple_of() {
  case $1 in
    x86) echo i686-w64-mingw32 ;;
    x64) echo x86_64-w64-mingw32 ;;
    *) log "unknown architecture '$1' (x86 or x64)"; exit 2 ;;
  esac
}
toolchain_of() { echo "$root/cmake/toolchains/mingw-w64-${1%%-*}.cmake"; }

for arch in "${arches[@]}"; do triple_of "$arch" >/dev/null; done
command -v dpkg-source >/dev/null || { log "dpkg-source missing: run scripts/bootstrap.sh --windows"; exit 1; }

mkdir -p "$cache/src"
# One build at a time per cache (several checkouts and CI share it).
exec 9>"$cache/.lock"
flock 9

# Source versions apt knows for a package, newest first.
known_versions() {
  local versions=() v i j t
  mapfile -t versions < <(apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u)
  for ((i = 1; i < ${#versions[@]}; i++)); do
    for ((j = i; j > 0; j--)); do
      if dpkg --compare-versions "${versions[j]}" gt "${versions[j - 1]}"; then
        t=${versions[j]}; versions[j]=${versions[j - 1]}; versions[j - 1]=$t
      else
        break
      fi
    done
  done
  printf '%s\n' "${versions[@]}"
}

# Everything an architecture's build depends on, as text: when it is the
# stamp the cache holds, the cache is current.
build_key() {
  local arch=$1 triple
  triple=$(triple_of "$arch")
  for p in "${packages[@]}"; do echo "$p $(known_versions "$p" | tr '\n' ' ')"; done
  sha256sum "$0" "$root/cmake/toolchains/mingw-w64.cmake" "$(toolchain_of "$triple")" | cut -d' ' -f1
  "$triple-gcc-posix" --version | head -1
  dpkg-query -W -f='${Package} ${Version}\n' libz-mingw-w64-dev
}

# Unpacks the newest version of a source package that the archive serves and
# prints its folder. Unpacked sources are kept by version.
fetch_source() {
  local pkg=$1 v dir tmp
  while read -r v; do
    [[ -n $v ]] || continue
    dir="$cache/src/${pkg}_${v//:/_}"
    if [[ -f $dir/.unpacked ]]; then
      echo "$dir"
      return 0
    fi
    tmp=$(mktemp -d "$cache/src/.fetch.XXXXXX")
    if (cd "$tmp" && apt-get source -qq "$pkg=$v" >"$tmp.log" 2>&1); then
      rm -rf "$dir"
      mv "$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -1)" "$dir"
      touch "$dir/.unpacked"
      rm -rf "$tmp" "$tmp.log"
      log "fetched $pkg $v"
      echo "$dir"
      return 0
    fi
    log "the archive does not serve $pkg $v: $(grep -m1 -E '^E:' "$tmp.log" || true)"
    rm -rf "$tmp" "$tmp.log"
  done < <(known_versions "$pkg")
  return 1
}

cmake_build() {
  local src=$1 build=$2 triple=$3 prefix=$4
  shift 4
  cmake -S "$src" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$triple")" -DVEYRA_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$build.log" 2>&1 ||
    { tail -30 "$build.log" >&2; return 1; }
  cmake --build "$build" -j "$jobs" >>"$build.log" 2>&1 && cmake --install "$build" >>"$build.log" 2>&1 ||
    { tail -30 "$build.log" >&2; return 1; }
}

build_package() {
  local pkg=$1 src=$2 arch=$3 prefix=$4 triple build
  triple=$(triple_of "$arch")
  build="$cache/build/$arch/$pkg"
  rm -rf "$build"
  mkdir -p "$build"
  case $pkg in
    libjpeg-turbo)
      cmake_build "$src" "$build" "$triple" "$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON ;;
    libpng1.6)
      cmake_build "$src" "$build" "$triple" "$prefix" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF ;;
    tiff)
      cmake_build "$src" "$build" "$triple" "$prefix" -DBUILD_SHARED_LIBS=OFF \
        -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
        -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dlibdeflate=OFF -Djbig=OFF -Dlerc=OFF \
        -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF ;;
    lcms2)
      (cd "$build" &&
        "$src/configure" --host="$triple" --prefix="$prefix" --disable-shared --enable-static \
          --without-jpeg --without-tiff CC="$triple-gcc-posix" CFLAGS="-O2" >"$build.log" 2>&1 &&
        make -j "$jobs" -C src >>"$build.log" 2>&1 &&
        make -C src install >>"$build.log" 2>&1 && make -C include install >>"$build.log" 2>&1 &&
        make install-pkgconfigDATA >>"$build.log" 2>&1) || { tail -30 "$build.log" >&2; return 1; }
      ;;
    fltk1.3)
      cmake_build "$src" "$build" "$triple" "$prefix" -DOPTION_BUILD_SHARED_LIBS=OFF \
        -DFLTK_BUILD_TEST=OFF -DOPTION_BUILD_EXAMPLES=OFF -DOPTION_BUILD_HTML_DOCUMENTATION=OFF \
        -DOPTION_BUILD_PDF_DOCUMENTATION=OFF -DOPTION_USE_GL=OFF -DOPTION_USE_SYSTEM_LIBPNG=ON \
        -DOPTION_USE_SYSTEM_LIBJPEG=ON -DOPTION_USE_SYSTEM_ZLIB=ON ;;
  esac
}

for arch in "${arches[@]}"; do
  key=$(build_key "$arch")
  prefix="$cache/$arch"
  if [[ -f $prefix/.stamp ]] && [[ "$(cat "$prefix/.stamp")" == "$key" ]]; then
    log "$arch is current ($prefix)"
    continue
  fi
  log "building $arch into $prefix"
  stage="$prefix.new"
  rm -rf "$stage" "$cache/build/$arch"
  mkdir -p "$stage"
  missing=()
  for pkg in "${packages[@]}"; do
    if ! src=$(fetch_source "$pkg"); then
      # Without FLTK's sources the module and the rest still build; veyra.exe
      # then goes without the dialog manager. The others are required.
      if [[ $pkg == fltk1.3 ]]; then
        missing+=("$pkg")
        continue
      fi
      log "no source of $pkg could be fetched"
      exit 1
    fi
    start=$SECONDS
    build_package "$pkg" "$src" "$arch" "$stage" || { log "$pkg failed for $arch"; exit 1; }
    log "$arch: $pkg $(basename "$src" | cut -d_ -f2-) built in $((SECONDS - start)) s"
    basename "$src" >>"$stage/.versions"
  done
  printf '%s\n' "${missing[@]}" >"$stage/.missing"
  echo "$key" >"$stage/.stamp"
  rm -rf "$prefix" "$cache/build/$arch"
  mv "$stage" "$prefix"
  ((${#missing[@]} == 0)) || log "$arch: built without ${missing[*]} (sources not served by the archive)"
done

#!/usr/bin/env bash
# Installs the Debian packages Veyra needs, skipping those already present.
# Run as root on Debian 12. Safe to run repeatedly.
#
# Usage: scripts/bootstrap.sh [--GROUP]... [--list]
#   The base group (compiler, build tools, the libraries, the test tools) is
#   always installed; each --GROUP adds a named group below. --list prints the
#   selected packages, one a line, and installs nothing.
#
# Each group is one `if want GROUP` block of single-line `packages+=(...)`
# entries, so the lists stay readable by scripts that collect them.
set -euo pipefail

groups=(base)
list_only=0
for arg in "$@"; do
  case "$arg" in
    --list) list_only=1 ;;
    --*) groups+=("${arg#--}") ;;
    *) echo "bootstrap: unknown argument '$arg' (use --GROUP or --list)" >&2; exit 2 ;;
  esac
done
want() {
  local g
  for g in "${groups[@]}"; do [[ "$g" == "$1" ]] && return 0; done
  return 1
}

# base: build, run and test. FLTK's CMake package names /usr/bin/fluid (only
# recommended by libfltk1.3-dev), and CMake's FLTK module links Xext, SM and
# ICE where their development files are present: list them so every machine
# configures and links alike.
packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev liblcms2-dev
  libfltk1.3-dev fluid libcli11-dev nlohmann-json3-dev
  libxext-dev libsm-dev libice-dev
  libgtest-dev libgmock-dev
  xvfb xauth
)

# bench: Google Benchmark and the peers the benchmarks measure against.
if want bench; then
  packages+=(libbenchmark-dev libopencv-dev libvips-dev)
fi

# fuzz: afl++ for scripts/fuzz.sh (afl-g++ compiles the fuzz targets).
if want fuzz; then
  packages+=(afl++)
fi

# windows: the cross compilers (posix thread model: the module uses
# std::thread) and Debian's zlib for them; dpkg-dev and nasm to fetch and build
# Debian's own sources of the other Windows dependencies
# (scripts/build-windows-deps.sh); zip for the packages; Wine, 64- and 32-bit
# (wine32 comes from the i386 architecture, added below), to run the programs.
if want windows; then
  packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev)
  packages+=(dpkg-dev nasm zip)
  packages+=(wine wine64 wine32:i386)
fi

# gimp: veyra-gimp and its tests, which run the real GIMP (headless, and
# its window on the virtual display, keys sent with xdotool).
if want gimp; then
  packages+=(gimp libgimp2.0-dev xdotool)
fi

# The groups are the `if want NAME` blocks above.
known_groups=(base $(sed -n 's/^if want \([A-Za-z0-9_-]*\);.*/\1/p' "${BASH_SOURCE[0]}"))
for g in "${groups[@]}"; do
  case " ${known_groups[*]} " in
    *" $g "*) ;;
    *) echo "bootstrap: unknown group '--$g' (known: ${known_groups[*]})" >&2; exit 2 ;;
  esac
done

if ((list_only)); then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

# The windows group also needs the i386 architecture (wine32) and source
# entries for `apt-get source`, with package lists that include both.
if want windows && [[ $(id -u) -eq 0 ]]; then
  "$(dirname "${BASH_SOURCE[0]}")/windows-deb-src.sh"
  if ! dpkg --print-foreign-architectures | grep -qx i386 ||
     ! apt-get source --print-uris -qq libpng1.6 >/dev/null 2>&1; then
    dpkg --add-architecture i386
    apt-get update -qq
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}" >&2
  if [[ $(id -u) -ne 0 ]]; then
    echo "bootstrap: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # Another checkout may be bootstrapping at the same time: wait for it.
  apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=900 "${missing[@]}" >/dev/null
fi

#!/usr/bin/env bash
# Installs the Debian packages Veyra needs to build, test and run, skipping
# those already present. Run as root on Debian 12. Safe to run repeatedly.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev liblcms2-dev
  libfltk1.3-dev fluid libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev
  xvfb xauth
)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(libbenchmark-dev libopencv-dev libvips-dev)
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
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

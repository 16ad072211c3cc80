#!/usr/bin/env bash
# Builds Veyra (Release) and lights the bundled sample: window light from the
# bundled "Window" shape falling on the sample room. Prints where the result is.
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build build/release -j "$(nproc)"
mkdir -p out
build/release/bin/veyra apply samples/Room.jpg out/Room-lit.jpg \
  --set sNam="$PWD/build/release/plug-ins/Patterns/Window.png" \
  --set sBln=sOnl --set lSrc=sMat --set lBln=lScr --set lBrt=85 --set lBlr=8 \
  --set sXsc=55 --set sYsc=70 --set sXbl=4 --set sYbl=4 \
  --set cp0X=0.25 --set cp0Y=0.12 --set cp1X=0.62 --set cp1Y=0.2 \
  --set cp2X=0.7 --set cp2Y=0.95 --set cp3X=0.2 --set cp3Y=0.8 \
  --set lClX=33000 --set lClY=32000 --set lClZ=21000
echo "Result: $PWD/out/Room-lit.jpg"

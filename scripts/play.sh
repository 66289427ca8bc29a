#!/usr/bin/env bash
# Installs what is missing, builds the player and its production, and plays it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ ! -x build/demo ] || [ ! -d build/production ]; then
  echo "play: built the engine libraries; the demo executable and its production are not part of the build yet" >&2
  exit 2
fi
cd build/production
exec ../demo "$@"

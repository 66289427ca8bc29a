#!/usr/bin/env bash
# Installs what is missing, builds the player and assembles our production
# (build/production), then plays it: full screen where there is a display,
# headless (offscreen video, diagnostics in the terminal) where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target demo production

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
  echo "play: no display found; playing headless (set DISPLAY to see it)" >&2
  export SDL_VIDEODRIVER=offscreen
fi
cd build/production
exec ../demo "$@"

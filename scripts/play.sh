#!/usr/bin/env bash
# Installs what is missing, builds the player and assembles our production
# (build/production), then plays it: full screen where there is a display.
# Where there is none, it renders the show to build/show.mp4 instead (at a
# size and frame rate a machine without a GPU finishes in minutes) and says
# where the video is. Arguments are passed on to the player.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target demo production

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
  echo "play: no display found; rendering the show to build/show.mp4 instead" >&2
  build/demo --render build/show.mp4 --overwrite --size 1280x720 --fps 30 "$@" build/production
  echo "play: the show is in $(pwd)/build/show.mp4" >&2
  exit 0
fi
exec build/demo "$@" build/production

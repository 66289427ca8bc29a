#!/usr/bin/env bash
# Installs what is missing, builds the player and assembles our production
# (build-play/production), then plays it: full screen where there is a
# display. Where there is none, it renders the show to build-play/show.mp4
# instead and says where the video is. Arguments are passed on to the player.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build-play.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
  echo "play: no display found; rendering the show to build-play/show.mp4 instead" >&2
  build-play/demoplayer --render build-play/show.mp4 --overwrite --size 1280x720 --fps 30 "$@" build-play/production
  echo "play: the show is in $(pwd)/build-play/show.mp4" >&2
  exit 0
fi
exec build-play/demoplayer "$@" build-play/production

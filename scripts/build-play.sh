#!/usr/bin/env bash
# Builds what the play command plays, in its own folder (build-play/): the
# player, optimised, and our assembled production (build-play/production),
# with what installing it needs besides (the manual page and the icons).
# Warnings are shown but never stop this build; the test command builds the
# same folder the same way, so a change that breaks it fails the tests, and
# the two commands never reconfigure each other's folder.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-play -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEMO_WERROR=OFF \
  -DDEMO_BUILD_BENCH=OFF
cmake --build build-play -j "$(nproc)" --target demoplayer production installed_files

#!/usr/bin/env bash
# Makes the golden frames (tests/golden/*/*.png) anew from the current build.
# Use it after a change that is meant to alter the picture (the lighting, a
# texture or a camera of our production), once the difference pictures of the
# failing test (build/golden-failures/) show only what was meant to change;
# never to quiet a test whose failure is not understood. Commit the new
# pictures with the change.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --build build --target test_golden demoplayer production
DEMO_UPDATE_GOLDEN=1 SDL_VIDEODRIVER=offscreen build/tests/test_golden
git status --short tests/golden

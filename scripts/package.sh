#!/usr/bin/env bash
# Builds the Debian package of the player in the play command's build folder
# (build-play/, optimised): the player, our production, the manual page and
# the icons, then `cpack -G DEB` with the dependencies dpkg-shlibdeps finds.
# The package is build-play/demoplayer_VERSION_ARCH.deb; check it with
# scripts/check-package.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build-play.sh
rm -f build-play/demoplayer_*.deb
(cd build-play && cpack -G DEB)

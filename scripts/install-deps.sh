#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, benchmark
# and play, and only those that are missing. Safe to run again.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config
  # window, input, GL context, message boxes, audio device, music stream
  libsdl2-dev libsdl2-mixer-dev
  # the sound library, quieted while it looks for a device
  libasound2-dev
  # OpenGL 4.5 core through libepoxy; Mesa's software rasteriser without a GPU
  libepoxy-dev libgl1-mesa-dri libegl-mesa0 libegl1 libgl1
  # fonts
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev imagemagick
  # a real X screen for the full-screen and free-camera tests, the tool that
  # lists its windows and the one that types and moves the mouse into it
  xvfb xauth x11-utils xdotool
  # video files of the show: H.264 and AAC, containers, scaling, resampling
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  # renders split into chunks across job slots and machines (scripts/render-farm.sh)
  parallel
  # content tools
  libvorbis-dev libstb-dev
  # model conversion, and the import library's sample models for its tests
  libassimp-dev assimp-testmodels
  # the player's command line
  libcli11-dev
  # fuzzing the loaders (scripts/fuzz.sh): clang with its fuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # the manual page, the Debian package (dpkg-shlibdeps, which CPack finds
  # binaries for with file) and the tools that check it
  scdoc dpkg-dev file lintian desktop-file-utils appstream ffmpeg man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: run as root to install packages" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Timed runs on our production (build it first): one render of a span
# against the render farm's chunks of it on this machine's job slots, and the
# cost of the seek each chunk makes to its first frame.
#   bash bench/farm_bench.sh [SIZE] [FPS] [FIRST] [END] [CHUNKS] [SLOTS]
set -euo pipefail
cd "$(dirname "$0")/.."

size=${1:-640x360}
fps=${2:-30}
first=${3:-1800}
end=${4:-2160}
chunks=${5:-3}
slots=${6:-2}
export DEMOPLAYER=$PWD/build/demoplayer
production=$PWD/build/production
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# Wall seconds of a command.
timed() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

frames=$((end - first))
chunk=$(((frames + chunks - 1) / chunks))
echo "span: frames $first:$end ($frames frames) at $fps frames/s, $size; farm: $chunks chunks on $slots slots"
one=$(timed "$DEMOPLAYER" --render "$out/one.mp4" --size "$size" --fps "$fps" --frames "$first:$end" "$production")
farm=$(timed scripts/render-farm.sh "$out/farm.mp4" --size "$size" --fps "$fps" --frames "$first:$end" \
  --chunk "$chunk" --jobs "$slots" "$production")
awk -v a="$one" -v b="$farm" 'BEGIN { printf "one process %.1f s, farm %.1f s: %.2f times as fast\n", a, b, a / b }'

# One frame at the start of the show, and one at the start of each chunk:
# the difference is loading nothing more, only the world run to that frame.
base=$(timed "$DEMOPLAYER" --render "$out/0.mp4" --size "$size" --fps "$fps" --frames 0:1 "$production")
for ((a = first; a < end; a += chunk)); do
  at=$(timed "$DEMOPLAYER" --render "$out/$a.mp4" --size "$size" --fps "$fps" --frames "$a:$((a + 1))" "$production")
  awk -v a="$base" -v b="$at" -v f="$a" -v r="$fps" 'BEGIN {
    printf "seek to frame %d (%.1f s): %.2f s more than frame 0 (one frame alone took %.2f s)\n", f, f / r, b - a, a }'
done

#!/usr/bin/env bash
# Timed runs of the player on our production (build it first): frames a
# second of a video render at three sizes, what encoding beside rendering
# costs (the same frames drawn on the fixed-step clock without being read
# back or encoded), and what seeking costs. Each figure subtracts a run that
# renders a single frame, so loading the production is not counted.
#   bash bench/render_bench.sh [SECONDS_OF_SHOW]
set -euo pipefail
cd "$(dirname "$0")/.."

demo=build/demoplayer
production=build/production
span=${1:-5}
fps=30
from=60
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# Wall seconds of one run of the player.
timed() {
  local start end
  start=$(date +%s.%N)
  "$demo" "$@" "$production" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

frames=$((span * fps))
to=$(awk -v a="$from" -v s="$span" 'BEGIN { print a + s }')
one=$(awk -v a="$from" -v f="$fps" 'BEGIN { printf "%.4f", a + 1 / f }')

echo "span: ${span} s of show from ${from} s at ${fps} frames/s ($frames frames)"
for size in 1920x1080 1280x720 640x360; do
  base=$(timed --render "$out/one_$size.mp4" --overwrite --size "$size" --fps "$fps" --start "$from" --end "$one")
  video=$(timed --render "$out/$size.mp4" --overwrite --size "$size" --fps "$fps" --start "$from" --end "$to")
  drawnBase=$(timed --fixed-step --windowed --size "$size" --fps "$fps" --start "$from" --end "$one")
  drawn=$(timed --fixed-step --windowed --size "$size" --fps "$fps" --start "$from" --end "$to")
  awk -v n="$frames" -v b="$base" -v v="$video" -v c="$drawnBase" -v d="$drawn" -v s="$size" 'BEGIN {
    printf "%-9s  video %6.2f frames/s   drawn only %6.2f frames/s   encoding and read-back cost %5.1f%%\n",
           s, n / (v - b), n / (d - c), 100 * ((v - b) - (d - c)) / (d - c) }'
done

near=$(timed --render "$out/near.mp4" --overwrite --size 640x360 --fps "$fps" --start 1 --end 1.04)
far=$(timed --render "$out/far.mp4" --overwrite --size 640x360 --fps "$fps" --start 150 --end 150.04)
awk -v a="$near" -v b="$far" 'BEGIN { printf "seeking to 150 s costs %.2f s more than starting at 1 s\n", b - a }'

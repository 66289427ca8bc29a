#!/usr/bin/env bash
# Real-time frame rate of the player on our production (build demoplayer and
# production first): the show plays on the real clock in a window on a
# virtual X screen, without sound, from --start for SPAN seconds, and the
# player's closing log line counts the frames it drew and the time they took
# (the first frame of the show, which carries its start, left out).
#   bash bench/realtime_bench.sh [SPAN_SECONDS] [START_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

span=${1:-20}
from=${2:-60}
to=$(awk -v a="$from" -v s="$span" 'BEGIN { print a + s }')
export SDL_AUDIODRIVER=dummy
for size in 1920x1080 960x540; do
  line=$(xvfb-run -a -s "-screen 0 1920x1080x24" build/demoplayer --windowed --size "$size" --start "$from" --end "$to" \
           build/production 2>/dev/null | grep "real-time show" || echo "no frames counted")
  echo "$size  $line"
done

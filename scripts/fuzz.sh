#!/usr/bin/env bash
# Builds the libFuzzer executables with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and fuzzes one entry, or each in
# turn, for the given number of seconds (default 60), starting from its seed
# corpus. New interesting inputs go to build-fuzz/corpus/<entry>; a failing
# input is written to build-fuzz/crashes/<entry>/ — copy it into
# fuzz/regressions/<entry>/ with the fix so that the test command replays it.
#   scripts/fuzz.sh [xml|mesh|bitmap|scene|all] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

entry=${1:-all}
seconds=${2:-60}
entries=(xml mesh bitmap scene)
if [ "$entry" != all ]; then
  if [[ " ${entries[*]} " != *" $entry "* ]]; then
    echo "unknown fuzzing entry '$entry': one of ${entries[*]} or all" >&2
    exit 2
  fi
  entries=("$entry")
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DDEMO_BUILD_BENCH=OFF -DDEMO_BUILD_TOOLS=OFF
cmake --build build-fuzz -j "$(nproc)" --target "${entries[@]/#/fuzz_}"

# Longest input per entry: markup is local, so short inputs reach every
# branch of the reader and the loaders while keeping each run fast.
declare -A max_len=([xml]=512 [scene]=1024 [mesh]=8192 [bitmap]=8192)

for name in "${entries[@]}"; do
  corpus=build-fuzz/corpus/$name
  crashes=build-fuzz/crashes/$name
  mkdir -p "$corpus" "$crashes"
  echo "== fuzzing $name for $seconds s"
  # The seeds are read, new finds are written to the build's own corpus.
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="${max_len[$name]}" -rss_limit_mb=2048 \
    -timeout=10 -artifact_prefix="$crashes/" -print_final_stats=1 \
    "$corpus" "fuzz/corpus/$name"
done

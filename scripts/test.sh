#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the check
# that every include stays in its layer, the play command's build and the
# Debian package made from it, checked unpacked, the plain build (warnings
# are errors), the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer with the whole production played to its end, and
# the threaded tests under ThreadSanitizer with the whole demo's load and
# first half minute.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
passed=0
failed=0

# Runs ctest with the given arguments and adds its counts to the totals.
run_ctest() {
  local log
  log=$(mktemp)
  local status=0
  # Without address-space randomisation: ThreadSanitizer in this toolchain
  # cannot map its shadow memory under the kernel's high-entropy layout.
  setarch "$(uname -m)" -R ctest --output-on-failure --timeout 600 -j "$jobs" "$@" 2>&1 | tee "$log" || status=1
  local summary
  summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$summary" ]; then
    local total bad
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    failed=$((failed + 1))
  fi
  rm -f "$log"
  return $status
}

overall=0

echo "== layers"
if bash scripts/check-layers.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  overall=1
fi

# The build the play command plays from, as it makes it: a change that
# breaks it fails here.
echo "== play build (build-play/, as the play command makes it)"
if bash scripts/build-play.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  overall=1
fi

# The Debian package, made from that folder, unpacked without root rights
# and run from elsewhere with the production installed in it.
echo "== package (made from build-play/, unpacked and run from another folder)"
if bash scripts/package.sh && bash scripts/check-package.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  overall=1
fi

echo "== build (warnings are errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_WERROR=ON
cmake --build build -j "$jobs"
run_ctest --test-dir build || overall=1

# The sanitizer builds also play the production the plain build assembled.
production="$PWD/build/production"

echo "== unit tests and the whole production under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDEMO_WERROR=ON \
  -DDEMO_SANITIZE=address -DDEMO_BUILD_BENCH=OFF -DDEMO_BUILD_TOOLS=OFF \
  -DDEMO_WHOLE_RUN_PRODUCTION="$production"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/sanitizers/lsan.supp":print_suppressions=0 \
  run_ctest --test-dir build-asan -L 'unit|wholerun' || overall=1

echo "== threaded tests and the whole demo under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDEMO_WERROR=ON \
  -DDEMO_SANITIZE=thread -DDEMO_BUILD_BENCH=OFF -DDEMO_BUILD_TOOLS=OFF \
  -DDEMO_WHOLE_RUN_PRODUCTION="$production"
cmake --build build-tsan -j "$jobs" --target demo_threaded_tests demoplayer
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  run_ctest --test-dir build-tsan -L 'threads|wholerun' || overall=1

echo "$passed passed, $failed failed"
exit $overall

#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for a bounded time: `scripts/fuzz.sh [seconds per target]` (default 15).
# Prints the executions, coverage and findings of each; exits non-zero on any finding.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
seconds=${1:-15}
targets=$(cd tests/fuzz && ls Fuzz*.cpp | sed "s/\.cpp$//")
[ -n "$targets" ] || { echo "fuzz: no target found in tests/fuzz" >&2; exit 1; }
cmake --preset fuzz >/dev/null
# Every target found, not only those the build preset lists.
cmake --build --preset fuzz -j "$(nproc)" --target $targets
status=0
for target in $targets; do
  [ -x build/fuzz/bin/$target ] || { echo "fuzz: $target was not built" >&2; status=1; continue; }
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus" build/fuzz/crashes
  log=build/fuzz/$target.log
  if build/fuzz/bin/$target -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=1024 \
       -artifact_prefix=build/fuzz/crashes/ "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FINDING; status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}')
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | awk '{print $2}')
  printf '%-22s %8ss  executions %-10s coverage %-6s %s\n' "$target" "$seconds" "${runs:-?}" "${cov:-?}" "$result"
  [ "$result" = ok ] || tail -40 "$log"
done
exit $status

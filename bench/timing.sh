# Sourced by the benchmark scripts that time whole processes.

# Wall time of one run in microseconds; the run must succeed.
time_us() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# compare RUNS NAME_A COMMAND_A NAME_B COMMAND_B: runs both commands (functions or programs,
# no arguments) once to warm the file cache, then RUNS times each, interleaved, and prints
# their medians in microseconds and the ratio A / B.
compare() {
  local runs=$1 name_a=$2 a=$3 name_b=$4 b=$5 i median_a median_b
  local times_a=() times_b=()
  "$a" >/dev/null 2>&1
  "$b" >/dev/null 2>&1
  for ((i = 0; i < runs; i++)); do
    times_a+=("$(time_us "$a")")
    times_b+=("$(time_us "$b")")
  done
  median_a=$(printf '%s\n' "${times_a[@]}" | median)
  median_b=$(printf '%s\n' "${times_b[@]}" | median)
  printf '%-52s %10s\n' "median of $runs runs, interleaved" "µs"
  printf '%-52s %10d\n' "$name_a" "$median_a" "$name_b" "$median_b"
  awk -v a="$median_a" -v b="$median_b" -v n="ratio of the medians, first / second" 'BEGIN { printf "%-52s %10.2f\n", n, a / b }'
}

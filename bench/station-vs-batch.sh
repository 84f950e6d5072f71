#!/usr/bin/env bash
# The station against batch mode on the same bench, in the same run: eight tokens whose
# initialisation (E_InitPkiToken; with --wipe the wipe, E_InitBlankToken) takes 3 s each in the
# stand-in.
#   1. `vantor-cli station init`, all eight plugged together: start to the eighth outcome;
#   2. `vantor-cli watch init` handling the same eight one after another, each plugged as the
#      previous one ends (one pull and one plug per token, as an operator's hands do);
#   3. eight tokens of which one never returns: start to the other seven outcomes, next to
#      seven tokens alone.
# Targets: the station at least 6 times as fast as batch mode (8 is the limit); the seven beside
# a hung token within 10 % of seven alone. Runs the Windows edition this machine can run under
# Wine in Xvfb (as scripts/benchmark.sh picks it), or the native build with --native.
#   bench/station-vs-batch.sh [--native] [--wipe] [seconds per initialisation, default 3]
# Exit code: 0 when both targets are met.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
native=0 wipe=0
[ "${1:-}" = --native ] && { native=1; shift; }
[ "${1:-}" = --wipe ] && { wipe=1; shift; }
[ "${1:-}" = --init ] && shift
seconds=${1:-3}
# Ends a run that never reaches its count (a run that lost a token), well after any good one.
deadline=$((seconds * 40 + 120))

if [ "$native" = 1 ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native -j2 --target vantor_cli orbelcsp11 >/dev/null
  bin=$root/build/native/bin
  edition=native
  cli() { timeout "$deadline" "$bin/vantor-cli" --module "$bin/liborbelcsp11.so" "$@"; }
  host_path() { echo "$1"; }
else
  source scripts/edition.sh
  if [ -z "${VANTOR_IN_XVFB:-}" ]; then
    cmake --preset "$edition" >/dev/null
    cmake --build --preset "$edition" -j2 --target vantor_cli orbelcsp11 >/dev/null
    # The wineserver lives and dies inside the X server it serves.
    exec xvfb-run -a env VANTOR_IN_XVFB=1 bash "$0" "$([ "$wipe" = 1 ] && echo --wipe || echo --init)" "$@"
  fi
  bin=$root/build/$edition/bin
  export WINEDEBUG=-all
  source scripts/wine-env.sh
  bash scripts/wine-prefix.sh
  wineserver -p
  trap 'wineserver -k; wineserver -w' EXIT
  cli() { timeout "$deadline" "$root/scripts/wine-run.sh" "$bin/vantor-cli.exe" --module "$(host_path "$bin/orbelcsp11.dll")" "$@"; }
  host_path() { winepath -w "$1" 2>/dev/null; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"; [ "$native" = 1 ] || { wineserver -k; wineserver -w; }' EXIT
printf 'label = Station\n' >"$work/profile.ini"
export SO=Kw5Zp9 UPIN=Ux4Tq2
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# run NAME PLUG BENCH-LINES COMMAND...: the command on a fresh bench; the milliseconds from its
# start to each counted outcome (JSON line) go to $work/NAME.times. PLUG=1: each outcome pulls
# the token and plugs the next one (two slot events), as batch mode is worked.
run() {
  local name=$1 plug=$2 lines=$3 start count=0 line
  shift 3
  local bench=$work/$name.bench
  printf 'reset\n%s\n' "$lines" >"$bench"
  export VANTOR_BENCH_FILE VANTOR_LEDGER_DIR
  VANTOR_BENCH_FILE=$(host_path "$bench")
  VANTOR_LEDGER_DIR=$(host_path "$work/$name.ledger")
  : >"$work/$name.times"
  start=$(now_ms)
  : >"$work/$name.json"
  while IFS= read -r line; do
    echo "$line" >>"$work/$name.json"
    case $line in *'"outcome":"success"'* | *'"outcome":"failure"'*) ;; *) continue ;; esac
    count=$((count + 1))
    echo $(($(now_ms) - start)) >>"$work/$name.times"
    if [ "$plug" = 1 ] && [ "$count" -lt 8 ]; then
      printf 'churn 0 2 %s serial=00000000000000%02X\n' "$keys" "$count" >>"$bench"
    fi
  done < <(cli "$@" --json 2>"$work/$name.err")
}

if [ "$wipe" = 1 ]; then
  call=E_InitBlankToken keys="so=$SO" operation=wipe
  job=(wipe --so-pin-env SO)
else
  call=E_InitPkiToken keys=type=blank operation=init
  job=(init --profile "$(host_path "$work/profile.ini")" --so-pin-env SO --user-pin-env UPIN)
fi
tokens() { for ((slot = 0; slot < $1; slot++)); do printf 'insert %d %s serial=00000000000000%02X\n' "$slot" "$keys" "$slot"; done; }
slow="delay $call $((seconds * 1000))"

# The station runs three times each, interleaved, their medians taken; batch mode once (its
# half minute dwarfs any noise).
median() { sort -n | sed -n 2p; }
for round in 1 2 3; do
  run station 0 "$(tokens 8)"$'\n'"$slow" station "${job[@]}" --count 8
  run seven 0 "$(tokens 7)"$'\n'"$slow" station "${job[@]}" --count 7
  run hung 0 "$(tokens 8)"$'\n'"$slow"$'\n'"hang $call slot=7" station "${job[@]}" --count 8 --limit $((seconds * 3))
  for expected in station:8 seven:7 hung:8; do
    name=${expected%:*}
    [ "$(grep -c . "$work/$name.times")" = "${expected#*:}" ] || { echo "the $name run lost an outcome:"; cat "$work/$name.err"; exit 1; }
  done
  sed -n 8p "$work/station.times" >>"$work/station.rounds"
  sed -n 7p "$work/seven.times" >>"$work/seven.rounds"
  sed -n 7p "$work/hung.times" >>"$work/hung.rounds"
done
run batch 1 "$(tokens 1)"$'\n'"$slow" watch "${job[@]}" --count 8
batch_ms=$(sed -n 8p "$work/batch.times")
[ -n "$batch_ms" ] || { echo "the batch run lost an outcome:"; cat "$work/batch.err"; exit 1; }
station_ms=$(median <"$work/station.rounds") seven_ms=$(median <"$work/seven.rounds") hung_ms=$(median <"$work/hung.rounds")
timed_out=$(grep -c . "$work/hung.times")
hung_ended=$(grep -c '"message":"操作超时"' "$work/hung.json" || true)
status=0
printf 'edition %s, %s: %s %d s per token\n' "$edition" "$operation" "$call" "$seconds"
printf '%-66s %8s\n' "figure (station runs: median of 3, interleaved)" "ms"
printf '%-66s %8d\n' "station $operation, 8 tokens plugged together: start to 8th outcome" "$station_ms" \
  "watch $operation, the same 8 one after another: start to 8th outcome" "$batch_ms" \
  "station $operation, 7 tokens: start to 7th outcome" "$seven_ms" \
  "station $operation, 8 tokens, one hanging: start to the other 7 outcomes" "$hung_ms"
awk -v s="$station_ms" -v b="$batch_ms" 'BEGIN { r = b / s; printf "%-66s %8.2f  %s\n", "ratio batch / station (target >= 6, limit 8)", r, (r >= 6 ? "MET" : "MISSED"); exit !(r >= 6) }' || status=1
awk -v h="$hung_ms" -v s="$seven_ms" 'BEGIN { r = h / s; printf "%-66s %8.2f  %s\n", "ratio 7 beside a hung one / 7 alone (target <= 1.10)", r, (r <= 1.10 ? "MET" : "MISSED"); exit !(r <= 1.10) }' || status=1
printf '%-66s %8d\n' "outcomes of the last hung run" "$timed_out" "of them recorded as timed out (操作超时)" "$hung_ended"
exit $status

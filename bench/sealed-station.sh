#!/usr/bin/env bash
# What sealing each token's own user PIN costs a station: eight tokens plugged together, whose
# initialisation (E_InitPkiToken) takes 3 s each in the stand-in, initialised by
# `vantor-cli station init` with the typed user PIN and with `--random-user-pin 8 --seal-to
# CERT` (a PIN drawn, sealed in a CMS envelope and flushed to disk before each token is
# touched), five runs of each, interleaved; the medians from start to the eighth outcome.
# Target: sealing adds at most 5 %. Natively: under Wine the Windows edition cannot seal (its
# CryptoAPI has no AES-256 for envelopes), so there is nothing to measure there.
#   bench/sealed-station.sh [seconds per initialisation, default 3]
# Exit code: 0 when the target is met.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-3}
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vantor_cli orbelcsp11 >/dev/null
bin=$root/build/native/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -subj "/CN=Supervisor" \
  -days 30 2>/dev/null
printf 'label = Station\n' >"$work/profile.ini"
export SO=Kw5Zp9 UPIN=Ux4Tq2
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# run NAME OPTIONS...: a station over eight fresh tokens; the milliseconds from its start to the
# eighth counted outcome are added to $work/NAME.rounds.
run() {
  local name=$1 start count=0 line
  shift
  export VANTOR_BENCH_FILE=$work/$name.bench VANTOR_LEDGER_DIR=$work/$name.ledger
  rm -rf "$VANTOR_LEDGER_DIR"
  { echo reset; for slot in 0 1 2 3 4 5 6 7; do printf 'insert %d type=blank serial=00000000000000%02X\n' $slot $slot; done
    echo "delay E_InitPkiToken $((seconds * 1000))"; } >"$VANTOR_BENCH_FILE"
  start=$(now_ms)
  while IFS= read -r line; do
    case $line in *'"outcome":"success"'*) count=$((count + 1)) ;; *) continue ;; esac
    [ "$count" = 8 ] && echo $(($(now_ms) - start)) >>"$work/$name.rounds"
  done < <("$bin/vantor-cli" --module "$bin/liborbelcsp11.so" --json station init --profile "$work/profile.ini" \
    --so-pin-env SO --count 8 "$@" 2>"$work/$name.err")
  [ "$count" = 8 ] || { echo "the $name run had $count successes of 8:"; cat "$work/$name.err"; exit 1; }
}
for round in 1 2 3 4 5; do
  run typed --user-pin-env UPIN
  run sealed --random-user-pin 8 --seal-to "$work/cert.pem"
done
[ "$(find "$work/sealed.ledger/pins" -name '*.der' | wc -l)" = 8 ] || { echo "the last sealed run left no eight envelopes"; exit 1; }
median() { sort -n | sed -n 3p; }
typed_ms=$(median <"$work/typed.rounds") sealed_ms=$(median <"$work/sealed.rounds")
printf 'native build, E_InitPkiToken %d s per token\n' "$seconds"
printf '%-66s %8s\n' "figure (median of 5, interleaved)" "ms"
printf '%-66s %8d\n' "station init, 8 tokens, typed user PIN: start to 8th outcome" "$typed_ms" \
  "station init, 8 tokens, random user PINs sealed: start to 8th outcome" "$sealed_ms"
awk -v s="$sealed_ms" -v t="$typed_ms" 'BEGIN { r = s / t; printf "%-66s %8.3f  %s\n", "ratio sealed / typed (target <= 1.05)", r, (r <= 1.05 ? "MET" : "MISSED"); exit !(r <= 1.05) }'

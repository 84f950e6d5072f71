#!/usr/bin/env bash
# Initialising a SoftHSM2 token through standard calls: vantor-cli init (C_InitToken, C_InitPIN
# and its read-back: token information, user and SO login) next to the same work done with
# the module's own tool, softhsm2-util --init-token, followed by pkcs11-tool --init-pin, which
# read nothing back. Both start from the same initialised token, interleaved; medians of
# [runs] (default 11) and their ratio.
#   bench/standard-init-vs-softhsm2.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
module=/usr/lib/softhsm/libsofthsm2.so
for tool in softhsm2-util pkcs11-tool; do
  command -v $tool >/dev/null || { echo "$tool not installed (Debian packages softhsm2, opensc)"; exit 1; }
done
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vantor_cli >/dev/null
cli=$PWD/build/native/bin/vantor-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/tokens"
printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' "$work" >"$work/softhsm2.conf"
export SOFTHSM2_CONF=$work/softhsm2.conf VANTOR_LEDGER_DIR=$work/ledger
export BENCH_SO=Bso81234 BENCH_USER=Bus5678
softhsm2-util --init-token --free --label bench --so-pin "$BENCH_SO" --pin "$BENCH_USER" >/dev/null
serial=$(pkcs11-tool --module "$module" --list-token-slots | awk '/serial num *: [0-9a-f]/{ print $4 }')
printf 'label=bench\n' >"$work/profile.ini"

vantor() {
  "$cli" --no-ledger --module "$module" init --profile "$work/profile.ini" --so-pin-env BENCH_SO \
    --user-pin-env BENCH_USER --current-so-pin-env BENCH_SO
}
baseline() {
  softhsm2-util --init-token --serial "$serial" --label bench --so-pin "$BENCH_SO" --pin "$BENCH_USER" &&
    pkcs11-tool --module "$module" --token-label bench --login --login-type so --so-pin "$BENCH_SO" \
      --init-pin --new-pin "$BENCH_USER"
}

source bench/timing.sh

compare "$runs" "vantor-cli init (with read-back)" vantor \
  "softhsm2-util --init-token + pkcs11-tool --init-pin" baseline

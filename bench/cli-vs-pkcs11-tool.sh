#!/usr/bin/env bash
# Start-to-end time of `vantor-cli info` next to OpenSC's `pkcs11-tool -T` (list the token
# slots) on the same native stand-in module and bench: 11 runs each, interleaved, medians
# and their ratio. Both start a process, load the module, initialise it, list the slots and
# read one token; the figure says what the console twin costs over a plain PKCS#11 client.
#   bench/cli-vs-pkcs11-tool.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vantor_cli orbelcsp11 >/dev/null
bin=$PWD/build/native/bin
module=$bin/liborbelcsp11.so
command -v pkcs11-tool >/dev/null || { echo "pkcs11-tool not installed (Debian package opensc)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_BENCH_FILE=$work/bench.txt
printf 'reset\ninsert 0 serial=01A2000000003C4D\n' >"$VANTOR_BENCH_FILE"

source bench/timing.sh

vantor() { "$bin/vantor-cli" --module "$module" info; }
baseline() { pkcs11-tool --module "$module" -T; }
compare "$runs" "vantor-cli info" vantor "pkcs11-tool --module <stand-in> -T" baseline

#!/usr/bin/env bash
# A real PKCS#11 client lists the stand-in's virtual tokens from a bench file written with
# scripts/bench.sh before the client starts.
#   pkcs11_tool_test.sh <liborbelcsp11.so> <scripts/bench.sh>
set -euo pipefail
source "$(dirname "$0")/../../scripts/report-failure.sh"
command -v pkcs11-tool >/dev/null || { echo "FAIL: pkcs11-tool (OpenSC) is not installed" >&2; exit 1; }
module=$1
bench=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VANTOR_BENCH_FILE=$work/bench.txt

bash "$bench" --file "$VANTOR_BENCH_FILE" insert 2 label=Alpha serial=01A2000000003C4D
bash "$bench" --file "$VANTOR_BENCH_FILE" insert 5 type=blank serial=00000000000000B5
bash "$bench" --file "$VANTOR_BENCH_FILE" insert 9 type=pki label=中文标签 serial=FFEEDDCCBBAA9988

fail() { echo "FAIL: $*" >&2; printf '%s\n' "$out" >&2; exit 1; }
expect() { grep -qF -- "$1" <<<"$out" || fail "missing '$1'"; }

out=$(pkcs11-tool --module "$module" --list-slots 2>&1) || fail "pkcs11-tool --list-slots failed"
expect "Available slots:"
expect "Orbel USBKey virtual reader 0"
expect "Orbel USBKey virtual reader 15"
expect "token label        : Alpha"
expect "token label        : 中文标签"
expect "serial num         : 01A2000000003C4D"
expect "serial num         : FFEEDDCCBBAA9988"
expect "token state:   uninitialized" # the blank token, which has no details to show
[ "$(grep -c "(empty)" <<<"$out")" = 13 ] || fail "expected 13 empty slots"

out=$(pkcs11-tool --module "$module" --list-token-slots 2>&1) || fail "pkcs11-tool --list-token-slots failed"
[ "$(grep -c "^Slot " <<<"$out")" = 3 ] || fail "expected exactly 3 slots with a token"
expect "token label        : Alpha"
expect "serial num         : FFEEDDCCBBAA9988"
if grep -q "reader 0$" <<<"$out"; then fail "an empty slot was listed"; fi
echo "pkcs11-tool lists the bench's tokens"

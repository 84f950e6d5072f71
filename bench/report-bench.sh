#!/usr/bin/env bash
# The supervisor's report of a busy day: generates a sealed ledger of LINES lines (default
# 100000) in a fresh folder, then times `vantor-cli report` and `vantor-cli ledger verify` over
# it with the native build. Target: the report written in under 2 s.
#   bench/report-bench.sh [LINES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$root/build/native/bin/vantor-cli
lines=${1:-100000}
[ -x "$cli" ] || { echo "report-bench: build the native preset first ($cli missing)" >&2; exit 2; }
work=$(mktemp -d /tmp/vantor-report-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ledger"

# Lines as the program writes them: two stations, three operators, every hour of the day,
# one failure in eight, a duplicate now and then, each sealed with its chain value.
python3 - "$work/ledger/2026-12-06.csv" "$lines" <<'PY'
import hashlib, sys
path, count = sys.argv[1], int(sys.argv[2])
header = "time,station,user,operation,mode,slot,serial,cos_version,type_before,label,outcome,rv,message,chain"
out = bytearray(b"\xef\xbb\xbf" + header.encode() + b"\r\n")
last, pending = b"", bytes(out)
for i in range(count):
    hour, minute, second = (i * 24 // count), (i * 7) % 60, i % 60
    fails = i % 8 == 7
    op = ("wipe", "pki", "info")[i % 3]
    serial = "01A2%012X" % (i if i % 50 else i - 1)
    message = "管理员PIN错误" if fails else "初始化为空锁成功，请更换USBKey"
    body = ("2026-12-06T%02d:%02d:%02d+08:00,ST-%02d,operator%d,%s,batch,1,%s,2.05,pki,,%s,0x%08X,%s"
            % (hour, minute, second, i % 2 + 1, i % 3, op, serial, "failure" if fails else "success",
               0xA0 if fails else 0, message)).encode()
    last = hashlib.sha256(last + pending + body).hexdigest().encode()
    pending = b""
    out += body + b"," + last + b"\r\n"
open(path, "wb").write(out)
PY

cd "$work"
export VANTOR_LEDGER_DIR=$work/ledger
start=$(date +%s.%N)
"$cli" report --from 2026-12-06 --out "$work/report.html" >/dev/null
mid=$(date +%s.%N)
"$cli" ledger verify "$work/ledger/2026-12-06.csv" >/dev/null
end=$(date +%s.%N)
awk -v l="$lines" -v r="$(echo "$mid - $start" | bc)" -v v="$(echo "$end - $mid" | bc)" 'BEGIN {
  printf "report of a %d-line day: %.3f s (target < 2 s)\n", l, r
  printf "ledger verify of it:      %.3f s\n", v }'

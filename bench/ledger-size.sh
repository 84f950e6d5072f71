#!/usr/bin/env bash
# The ledger's cost against the size of a day file: a sealed day file is grown to each size
# (default 10, 100 and 1000 MB) in a temporary folder of its own, and at each size
# `vantor-cli ledger verify`, `vantor-cli report` and one ledger line written by the program
# (`vantor-cli info` on the stand-in module) are run under /usr/bin/time -v: peak resident
# memory and wall time. Memory should stay flat (under 64 MB) and time grow linearly.
#   bench/ledger-size.sh [MB...]
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("${@:-10 100 1000}")
read -r -a sizes <<<"${sizes[*]}"
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vantor_cli orbelcsp11 >/dev/null
bin=$PWD/build/native/bin
[ -x /usr/bin/time ] || { echo "ledger-size: /usr/bin/time missing (Debian package time)" >&2; exit 1; }

work=$(mktemp -d /tmp/vantor-ledger-size-XXXXXX)
trap 'rm -rf "$work"' EXIT
export VANTOR_LEDGER_DIR=$work/ledger VANTOR_BENCH_FILE=$work/bench.txt
mkdir -p "$VANTOR_LEDGER_DIR"
printf 'reset\ninsert 0 serial=01A2000000003C4D\n' >"$VANTOR_BENCH_FILE"
today=$(date +%F)
file=$VANTOR_LEDGER_DIR/$today.csv

# Grows the day file to $1 MB with lines as the program writes them (two stations, three
# operators, every hour, one failure in eight), each chained to the one before it, whoever
# wrote that one.
grow() {
  python3 - "$file" "$1" <<'PY'
import hashlib, os, sys
path, target = sys.argv[1], int(sys.argv[2]) << 20
header = b"time,station,user,operation,mode,slot,serial,cos_version,type_before,label,outcome,rv,message,chain"
if not os.path.exists(path):
    open(path, "wb").write(b"\xef\xbb\xbf" + header + b"\r\n")
    last, pending = b"", b"\xef\xbb\xbf" + header + b"\r\n"
else:
    with open(path, "rb") as f:
        f.seek(max(0, os.path.getsize(path) - 200))
        last, pending = f.read().rstrip(b"\r\n").rsplit(b",", 1)[1], b""
size, i = os.path.getsize(path), 0
with open(path, "ab", buffering=1 << 20) as out:
    while size < target:
        hour, minute, second = i % 24, (i * 7) % 60, i % 60
        fails = i % 8 == 7
        op = ("wipe", "pki", "info")[i % 3]
        message = "管理员PIN错误" if fails else "初始化为空锁成功，请更换USBKey"
        body = ("%sT%02d:%02d:%02d+08:00,ST-%02d,operator%d,%s,batch,1,01A2%012X,2.05,pki,,%s,0x%08X,%s"
                % (sys.argv[1][-14:-4], hour, minute, second, i % 2 + 1, i % 3, op, i,
                   "failure" if fails else "success", 0xA0 if fails else 0, message)).encode()
        last = hashlib.sha256(last + pending + body).hexdigest().encode()
        pending = b""
        line = body + b"," + last + b"\r\n"
        out.write(line)
        size += len(line)
        i += 1
PY
}

# Peak resident memory (MB) and wall time (s) of one command.
measure() {
  local log=$work/time.log
  /usr/bin/time -v "$@" >/dev/null 2>"$log" || { tail -5 "$log" >&2; exit 1; }
  awk -F': ' '/Maximum resident set size/ { rss = $2 / 1024 }
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = t[n] + (n > 1 ? t[n-1] * 60 : 0) }
    END { printf "%8.1f MB %8.2f s", rss, wall }' "$log"
}

printf '%-9s %-24s %-24s %-24s\n' "day file" "ledger verify" "report" "one line written"
for mb in "${sizes[@]}"; do
  grow "$mb"
  actual=$(( $(stat -c %s "$file") >> 20 ))
  verify=$(measure "$bin/vantor-cli" ledger verify "$file")
  report=$(measure "$bin/vantor-cli" report --from "$today" --to "$today" --out "$work/report.html")
  append=$(measure "$bin/vantor-cli" --module "$bin/liborbelcsp11.so" info)
  "$bin/vantor-cli" ledger verify "$file" | grep -q "完好" || { echo "ledger-size: the file no longer verifies" >&2; exit 1; }
  printf '%-9s %-24s %-24s %-24s\n' "${actual} MB" "$verify" "$report" "$append"
done

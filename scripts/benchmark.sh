#!/usr/bin/env bash
# Builds the Windows configuration's benchmark programs and prints a table of figures, each
# measured next to its baseline or target in the same run: start-up, batch latency, idle
# cost, endurance over 10,000 batch attempts, and footprint. Runs Vantor.exe under Wine in
# Xvfb with the stand-in module; takes some minutes. Arguments go to VantorBench.exe (names
# of single benchmarks: startup latency idle endurance; --runs= --events= --idle= --churn=).
# Measures the edition this machine can run (the 32-bit one where 32-bit programs execute,
# else the 64-bit one; VANTOR_WIN64=1 takes the 64-bit one anywhere).
# Exit code: 0 when every figure was measured and met its target.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/edition.sh
bin=$root/build/$edition/bin
[ "$edition" = windows64 ] && triple=x86_64-w64-mingw32 || triple=i686-w64-mingw32

# CPU time (clock ticks) the wineserver of this prefix has used, 0 when it is not found.
server_ticks() {
  [ -n "$server" ] && awk '{print $14 + $15}' "/proc/$server/stat" 2>/dev/null || echo 0
}

# Inside Xvfb: the wineserver lives and dies inside the X server it serves. Rows on stdout.
under_xvfb() {
  set +e
  bash scripts/wine-prefix.sh
  wineserver -p
  bash scripts/wine-run.sh cmd /c ver >/dev/null 2>&1 </dev/null
  server=
  for p in /proc/[0-9]*; do
    case $(cat "$p/comm" 2>/dev/null || true) in wineserver*) ;; *) continue ;; esac # wineserver32/64
    if { tr '\0' '\n' <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null; then
      server=${p#/proc/}
    fi
  done
  # Line by line as they come (no filter that buffers in between), so the marks are timely.
  (cd "$bin" && "$root/scripts/wine-run.sh" ./VantorBench.exe "$@" </dev/null) | {
    while IFS= read -r line; do
      line=${line%$'\r'}
      case $line in
        'MARK|begin') begin=$(server_ticks) ;;
        'MARK|end|'*)
          # MARK|end|<wall ms>|<figure>: the wineserver's time over that stretch, in which the
          # benchmark program itself mostly waits.
          IFS='|' read -r _ _ wall figure <<<"$line"
          if [ -n "$server" ]; then
            awk -v t="$(( $(server_ticks) - begin ))" -v hz="$(getconf CLK_TCK)" -v ms="$wall" -v f="$figure" \
              'BEGIN { printf "ROW|%s|%.3f %% of one core|serves every Wine process|INFO\n", f, t * 1000 / hz / ms * 100 }'
          else
            echo "NOTE|wineserver not found: $figure not measured"
          fi ;;
        *) echo "$line" ;;
      esac
    done
  }
  local rc=${PIPESTATUS[0]}
  wineserver -k
  wineserver -w
  return "$rc"
}

if [ "${1:-}" = --under-xvfb ]; then
  shift
  under_xvfb "$@"
  exit
fi

bash scripts/setup.sh >/dev/null
echo "benchmark: $edition_reason" >&2
cmake --preset "$edition" >/dev/null
cmake --build --preset "$edition" -j "$(nproc)" --target Vantor orbelcsp11 MinimalDialog TemplateDialog VantorBench >/dev/null

rows=$(mktemp)
stripped=$(mktemp)
trap 'rm -f "$rows" "$stripped"' EXIT

kib() { echo $(( ($1 + 1023) / 1024 )); }
# File size, and what is left without the symbol tables.
sizes() {
  cp "$1" "$stripped" && "$triple-strip" "$stripped"
  echo "$(kib "$(stat -c %s "$1")") KiB ($(kib "$(stat -c %s "$stripped")") KiB without symbols)"
}

# Footprint: what the operator's folder holds and what it needs from the system.
# Those loaded before the program starts, and those it loads on first use.
imports=$("$triple-objdump" -p "$bin/Vantor.exe" | awk '/DLL Name:/ {print $3}')
named=$(bash scripts/named-dlls.sh "$triple-objcopy" "$bin/Vantor.exe")
later=$(echo "$named" | grep -vixF -f <(echo "$imports") || true)
system_dlls='^(kernel32|user32|gdi32|comctl32|shell32|advapi32|ole32|oleaut32|comdlg32|msvcrt|ntdll|version|uxtheme|imm32|winmm|bcrypt|crypt32)\.dll$'
foreign=$(echo "$named" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
{
  echo "ROW|footprint: Vantor.exe|$(sizes "$bin/Vantor.exe")|MinimalDialog.exe $(sizes "$bin/MinimalDialog.exe")|INFO"
  echo "ROW|footprint: DLLs Vantor.exe imports|$(echo $imports | tr ' ' ','); on first use: $(echo $later | tr ' ' ',')|system DLLs only|$([ -z "$foreign" ] && echo PASS || echo FAIL)"
} >>"$rows"

unset WINEPREFIX
export WINEDEBUG=-all
source scripts/wine-env.sh
echo "Running the benchmarks under Wine in Xvfb; this takes some minutes..." >&2
set +e
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --under-xvfb "$@" >>"$rows"
rc=$?
set -e

awk -F'|' '
  $1 == "ROW"  { n++; f[n] = $2; v[n] = $3; r[n] = $4; p[n] = $5
                 if (length($2) > wf) wf = length($2)
                 if (length($3) > wv) wv = length($3)
                 if (length($4) > wr) wr = length($4) }
  $1 == "NOTE" { notes[++m] = $2 }
  END {
    rule = sprintf("%*s", wf + wv + wr + 15, ""); gsub(/ /, "-", rule)
    printf "%-*s | %-*s | %-*s | %s\n", wf, "figure", wv, "value", wr, "baseline / target", "result"
    print rule
    for (i = 1; i <= n; i++) printf "%-*s | %-*s | %-*s | %s\n", wf, f[i], wv, v[i], wr, r[i], p[i]
    print rule
    for (i = 1; i <= m; i++) print "* " notes[i]
  }' "$rows"

failed=$(grep -c '|FAIL$' "$rows" || true)
[ "$rc" -eq 0 ] && [ "$failed" -eq 0 ]

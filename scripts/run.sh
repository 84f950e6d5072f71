#!/usr/bin/env bash
# Builds Vantor.exe if needed and starts it under Wine with the stand-in token module on its
# default bench. With a display it runs until the window is closed; without one it runs in
# Xvfb, writes a screenshot to artifacts/vantor.png and ends (VANTOR_RUN_SECONDS keeps it
# running that many seconds first, so virtual tokens can be plugged in with scripts/bench.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target Vantor orbelcsp11

bin=$root/build/windows/bin
export WINEPREFIX=$root/build/wine-prefix WINEARCH=win32 WINEDEBUG=-all
mkdir -p artifacts

if [ -n "${DISPLAY:-}" ]; then
  bash scripts/wine-prefix.sh
  cd "$bin" && exec "$root/scripts/wine-run.sh" ./Vantor.exe
fi

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  bash scripts/wine-prefix.sh
  wineserver -p
  bash scripts/wine-run.sh cmd /c ver >/dev/null 2>&1 </dev/null
  (cd "'"$bin"'" && "'"$root"'/scripts/wine-run.sh" ./Vantor.exe) &
  # Wait for the main window to be mapped, then give it a moment to paint.
  for _ in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "Orbel PKI" && break
    sleep 0.5
  done
  sleep 2
  sleep "${VANTOR_RUN_SECONDS:-0}"
  import -window root artifacts/vantor.png && echo "screenshot: artifacts/vantor.png"
  wineserver -k; wineserver -w'

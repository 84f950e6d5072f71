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
# Without a bench file the stand-in starts on its default bench: one PKI token in slot 0.
rm -f "$bin/orbelcsp11-bench.txt"
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
  # A Wine desktop of its own draws the window frame and title that no window manager adds here.
  (cd "'"$bin"'" && "'"$root"'/scripts/wine-run.sh" explorer /desktop=Vantor,720x540 ./Vantor.exe \
     </dev/null >/dev/null 2>&1) &
  for _ in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "Vantor" && break
    sleep 0.5
  done
  sleep 4
  sleep "${VANTOR_RUN_SECONDS:-0}"
  import -window root -crop 720x540+0+0 +repage artifacts/vantor.png && echo "screenshot: artifacts/vantor.png"
  wineserver -k; wineserver -w'

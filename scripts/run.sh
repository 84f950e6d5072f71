#!/usr/bin/env bash
# Builds Vantor.exe if needed and starts it under Wine with the stand-in token module on its
# default bench: the 32-bit edition where this machine executes 32-bit programs, else the
# 64-bit one (VANTOR_WIN64=1 takes the 64-bit one anywhere). With a display it runs until the
# window is closed; without one it runs in Xvfb, writes a screenshot to artifacts/vantor.png
# and ends (VANTOR_RUN_SECONDS keeps it running that many seconds first, so virtual tokens
# can be plugged in with scripts/bench.sh). Either way it exits non-zero, saying why, when
# the Vantor window does not appear.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
source scripts/edition.sh
echo "run: $edition_reason"
cmake --preset "$edition" >/dev/null
cmake --build --preset "$edition" -j "$(nproc)" --target Vantor orbelcsp11

bin=$root/build/$edition/bin
# Without a bench file the stand-in starts on its default bench: one PKI token in slot 0.
rm -f "$bin/orbelcsp11-bench.txt"
unset WINEPREFIX
export WINEDEBUG=-all
source scripts/wine-env.sh
# The main window's caption: the program's title in its string table.
title=$(sed -n 's/^VANTOR_STRING(115, "\(.*\)")$/\1/p' res/strings.inc)
export bin root title
mkdir -p artifacts

# Waits until the main window (its title, its size) is on the display; fails after two
# minutes, under load a start can be slow. Given to the Xvfb run as text: xvfb-run is
# a POSIX shell script, which drops exported bash functions.
wait_for_window='
  wait_for_window() {
    for _ in $(seq 1 240); do
      # The main window, shown, not a message box under the same caption: at least 600x400.
      for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" |
                  awk '"'"'{ for (i = 1; i <= NF; i++) if (split($i, d, /[x+]/) == 4 && d[1] >= 600 && d[2] >= 400) print $1 }'"'"'); do
        xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && return 0
      done
      sleep 0.5
    done
    return 1
  }'
eval "$wait_for_window"
export wait_for_window

if [ -n "${DISPLAY:-}" ]; then
  xwininfo -root >/dev/null 2>&1 || { echo "run: cannot open the display $DISPLAY; the Vantor window cannot appear" >&2; exit 1; }
  bash scripts/wine-prefix.sh
  (cd "$bin" && exec "$root/scripts/wine-run.sh" ./Vantor.exe) &
  program=$!
  if ! wait_for_window; then
    kill "$program" 2>/dev/null || true
    echo "run: the Vantor window (\"$title\") did not appear on $DISPLAY" >&2
    exit 1
  fi
  wait "$program"
  exit
fi

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  eval "$wait_for_window"
  shot=artifacts/vantor.png
  rm -f "$shot"
  bash scripts/wine-prefix.sh
  wineserver -p
  bash scripts/wine-run.sh cmd /c ver >/dev/null 2>&1 </dev/null
  # A Wine desktop of its own draws the window frame and title that no window manager adds here.
  (cd "$bin" && "$root/scripts/wine-run.sh" explorer /desktop=Vantor,720x540 ./Vantor.exe \
     </dev/null >/dev/null 2>&1) &
  rc=0
  if ! wait_for_window; then
    echo "run: the Vantor window (\"$title\") did not appear" >&2
    rc=1
  else
    # The window is there; give its first paint a moment before the picture is taken.
    sleep 2
    sleep "${VANTOR_RUN_SECONDS:-0}"
    import -window root -crop 720x540+0+0 +repage "$shot"
    # A picture of one colour shows no window, whatever the window list says.
    colours=$(convert "$shot" -format "%k" info: 2>/dev/null || echo 0)
    if [ "${colours:-0}" -le 1 ]; then
      echo "run: the screenshot $shot shows no window (one colour)" >&2
      rc=1
    else
      echo "screenshot: $shot ($colours colours)"
    fi
  fi
  wineserver -k; wineserver -w
  exit $rc'

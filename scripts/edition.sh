# Sourced by test.sh, run.sh and benchmark.sh: which Windows edition this machine can run.
# Some machines of ours cannot execute 32-bit programs at all (the kernel answers "Exec format
# error", Wine's 32-bit loader included); there the 64-bit edition runs under wine64.
# VANTOR_WIN64=1 takes the 64-bit path on any machine. Sets:
#   edition         the CMake preset of the edition to run: windows or windows64
#   WINEARCH        win32 or win64
#   edition_reason  one sentence saying which edition and why
#   runs_32bit      1 when this machine executes 32-bit programs, else 0
# One start of the 32-bit loader says whether 32-bit programs execute here.
probe_rc=127 probe="not installed"
[ -x /usr/lib/wine/wine ] && { probe=$(/usr/lib/wine/wine --version 2>&1) && probe_rc=0 || probe_rc=$?; }
runs_32bit=$([ "$probe_rc" = 0 ] && echo 1 || echo 0)
if [ "${VANTOR_WIN64:-0}" = 1 ]; then
  edition=windows64
  edition_reason="64-bit build under 64-bit Wine (VANTOR_WIN64=1 asks for it)"
elif [ "$runs_32bit" = 1 ]; then
  edition=windows
  edition_reason="32-bit build under 32-bit Wine (this machine executes 32-bit programs)"
elif [ ! -x /usr/lib/wine/wine ]; then
  edition=windows64
  edition_reason="64-bit build under 64-bit Wine (Wine's 32-bit loader is not installed)"
elif [[ $probe == *"Exec format error"* || $probe_rc = 126 ]]; then
  edition=windows64
  edition_reason="64-bit build under 64-bit Wine (this machine cannot execute 32-bit programs: Exec format error)"
else
  edition=windows64
  edition_reason="64-bit build under 64-bit Wine (Wine's 32-bit loader failed: ${probe%%$'\n'*})"
fi
if [ "$edition" = windows64 ]; then export WINEARCH=win64; else export WINEARCH=win32; fi

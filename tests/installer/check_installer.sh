#!/usr/bin/env bash
# The operators' installer in a fresh Wine prefix, silently, as an administrator deploys it:
# guards against an installer that leaves files, shortcut or uninstall entry behind or
# missing, ships the stand-in module, installs a program that cannot start, takes the
# ledger with it on uninstall, or adds a second entry on upgrade; and against one that speaks
# Chinese on an English desktop or leaves the other language's note or shortcut behind.
# Usage: check_installer.sh win32|win64 SETUP_EXE STANDIN_DLL VERSION PUBLISHER PROGRAM...
set -euo pipefail
source "$(dirname "$0")/../../scripts/report-failure.sh"
arch=$1
# A machine that cannot execute 32-bit code cannot run the 32-bit installer: say so, as a failure.
if [ "$arch" = win32 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "FAIL: this machine cannot run the 32-bit installer (Wine's 32-bit loader does not start)"
  exit 1
fi
# Without a display, the whole run (and its wineserver) lives inside its own X server.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
setup=$2 standin=$3 version=$4 publisher=$5
shift 5
programs=("$@")
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=$arch WINEDEBUG=-all
# Each edition's own name and entry, so both can stand side by side on one desktop.
if [ "$arch" = win64 ]; then
  display_name='Vantor (64 位)' display_name_en='Vantor (64-bit)' key_name=Vantor64
else
  display_name=Vantor display_name_en=Vantor key_name=Vantor
fi
cleanup() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
wine_run() { bash "$here/scripts/wine-run.sh" "$@" </dev/null; }
# A Windows path as a Unix one inside the prefix ("C:\..." only).
unix_path() { local p=${1#[Cc]:\\}; echo "$WINEPREFIX/drive_c/${p//\\//}"; }
# Waits for an outcome; the limit only ends a hung run.
wait_for() { local i; for i in $(seq 600); do "$@" && return 0; sleep 0.1; done; return 1; }

bash "$here/scripts/wine-prefix.sh"
wineserver -p
# Wine's background services start with the first program: away from our pipes.
wine_run cmd /c ver >/dev/null 2>&1

key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$key_name"
# "name<TAB>value" per value of the uninstall entry (reg writes the console's code page).
entry() { wine_run reg query "$key" 2>/dev/null | iconv -f GB18030 -t UTF-8 | tr -d '\r' |
          sed -nE 's/^ +([A-Za-z]+) +REG_[A-Z_]+ +(.*)$/\1\t\2/p'; }
value() { entry | awk -F'\t' -v n="$1" '$1 == n { print $2 }'; }
entries_named() { wine_run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
                  iconv -f GB18030 -t UTF-8 | tr -d '\r' | sed -nE 's/^ +DisplayName +REG_SZ +(.*)$/\1/p' |
                  grep -cxF "$1" || true; }
localappdata=$(unix_path "$(wine_run cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
programs_menu=$(unix_path "$(wine_run cmd /c echo %ALLUSERSPROFILE% | tr -d '\r')")'/Microsoft/Windows/Start Menu/Programs'
shortcut=$programs_menu/$display_name.lnk
shortcut_en=$programs_menu/$display_name_en.lnk

wine_run "$setup" /S || fail "silent install exited with $?"
folder=$(unix_path "$(value InstallLocation)")
[ "$folder" = "$WINEPREFIX/drive_c/Program Files/Vantor" ] || fail "installed into $folder"
listing=$(cd "$folder" && ls | sort)
expected=$(printf '%s\n' "${programs[@]}" 操作说明.txt Uninstall.exe | sort)
[ "$listing" = "$expected" ] || fail "installed files: $listing"
[ -z "$(find "$WINEPREFIX/drive_c" -iname orbelcsp11.dll)" ] || fail "the stand-in module was installed"
[ -s "$shortcut" ] || fail "no Start-menu shortcut"
grep -qa 'Vantor.exe' "$shortcut" || fail "the shortcut does not start Vantor.exe"
[ "$(value DisplayName)" = "$display_name" ] || fail "DisplayName: $(value DisplayName)"
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion: $(value DisplayVersion)"
[ "$(value Publisher)" = "$publisher" ] || fail "Publisher: $(value Publisher)"
for name in DisplayName DisplayIcon EstimatedSize UninstallString QuietUninstallString; do
  [ -n "$(value $name)" ] || fail "the uninstall entry has no $name"
done

# The installed program starts with the module in a folder on PATH (never next to it).
mkdir "$work/module"
cp "$standin" "$work/module/orbelcsp11.dll"
journal=$work/journal.txt
WINEPATH="Z:${work//\//\\}\\module" VANTOR_JOURNAL_FILE="Z:${journal//\//\\}" \
  bash "$here/scripts/wine-run.sh" "$folder/Vantor.exe" </dev/null >/dev/null 2>&1 &
program=$!
journal_initialised() { grep -qs '^C_Initialize' "$journal"; }
wait_for journal_initialised || fail "the installed Vantor.exe did not initialise the module on PATH"
kill -KILL $program; wait $program 2>/dev/null || true

# Upgrade in place on an English desktop: a second installation over the first keeps one
# entry, now named in English, with the English note and shortcut in place of the Chinese ones.
VANTOR_WINE_LANG=en_US.UTF-8 wine_run "$setup" /S || fail "second silent install (English) exited with $?"
[ "$(entries_named "$display_name_en")" = 1 ] || fail "$(entries_named "$display_name_en") uninstall entries after an upgrade"
[ "$(value DisplayName)" = "$display_name_en" ] || fail "DisplayName on an English desktop: $(value DisplayName)"
expected_en=$(printf '%s\n' "${programs[@]}" "Operator's note.txt" Uninstall.exe | sort)
[ "$(cd "$folder" && ls | sort)" = "$expected_en" ] || fail "files after the English upgrade: $(ls "$folder")"
cmp -s "$folder/Operator's note.txt" "$here/app/operator-note.en.txt" || fail "the English note is not app/operator-note.en.txt"
[ -s "$shortcut_en" ] || fail "no Start-menu shortcut $display_name_en.lnk"
[ "$shortcut" = "$shortcut_en" ] || [ ! -e "$shortcut" ] || fail "the Chinese shortcut stayed beside the English one"

# The uninstaller copies itself away and returns at once: wait for the folder to go.
mkdir -p "$localappdata/Vantor/ledger"
echo 'ledger line' > "$localappdata/Vantor/ledger/2026-01-02.csv"
quiet=$(value QuietUninstallString)
[[ $quiet =~ ^\"(.*)\"\ /S$ ]] || fail "QuietUninstallString: $quiet"
wine_run "${BASH_REMATCH[1]}" /S || fail "silent uninstall exited with $?"
folder_gone() { [ ! -e "$folder" ]; }
wait_for folder_gone || fail "files left after uninstall: $(ls "$folder")"
[ ! -e "$shortcut" ] && [ ! -e "$shortcut_en" ] || fail "shortcut left after uninstall"
[ -z "$(entry)" ] || fail "uninstall entry left after uninstall"
[ "$(cat "$localappdata/Vantor/ledger/2026-01-02.csv")" = 'ledger line' ] || fail "the ledger went with the uninstall"
echo "installer: install, start, upgrade (on an English desktop) and uninstall passed"

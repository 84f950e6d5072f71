#!/usr/bin/env bash
# scripts/check-texts.py on a scratch copy of the tree: passes on the tree as it is, and fails,
# naming file and line, on an entry missing from one string table, on placeholders that differ
# (a Localized() pair over several lines, a dialog template), on a Chinese text without its
# English twin, and on a frozen Chinese text split into pieces.
# Usage: check_texts.sh SCRATCH_FOLDER [--no-fail-unpaired] (the latter while VANTOR_TEXT_CHECK_STRICT is OFF)
set -euo pipefail
source "$(dirname "$0")/../../scripts/report-failure.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$1
mode=(${2:-})
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$scratch" "$scratch.clean"
mkdir -p "$scratch/scripts"
cp "$root/scripts/check-texts.py" "$scratch/scripts/"
for dir in app attempt base cli controls info infopage ledger letters pagekit pki pkipage report res \
           seal station stationpage stock token wipe wipepage workbench win; do
  [ ! -d "$root/$dir" ] || cp -r "$root/$dir" "$scratch/"
done
check() { "${PYTHON:-python3}" "$scratch/scripts/check-texts.py" --root "$scratch" "$@" 2>&1; }
# expect_failure WHERE... [-- OPTIONS]: the check fails and names each WHERE (file:line).
expect_failure() {
  local where=() out w
  while [ $# -gt 0 ] && [ "$1" != -- ]; do where+=("$1"); shift; done
  shift || true
  if out=$(check "$@"); then echo "$out"; fail "the check passed; expected failures at ${where[*]}"; fi
  for w in "${where[@]}"; do
    grep -qF "$w: " <<<"$out" || { echo "$out"; fail "the failure does not name $w"; }
  done
}
expect_pass() { local out; out=$(check "${mode[@]}") || { echo "$out"; fail "$*"; }; }
lines() { wc -l <"$scratch/$1"; }

# A frozen text written as one literal over two lines is the same text.
echo '冻结的文字' >>"$scratch/res/texts.zh.frozen"
printf '%s\n' 'const char* kWhole = Localized("冻结的"' '                               "文字", "Frozen text");' \
  >"$scratch/base/ScratchFrozen.cpp"
expect_pass "the tree as it is fails the check"
cp -r "$scratch" "$scratch.clean"

# Each kind of fault at once: a Chinese entry without its English twin; placeholders in another
# order, in literals spread over lines; a template missing a control; the frozen text broken
# into two Localized() pieces.
echo 'VANTOR_STRING(990, "仅有中文")' >>"$scratch/res/strings.inc"
cat >"$scratch/base/ScratchPair.cpp" <<'CPP'
const char* Counted() {
    return Localized("共 %d 支锁，"
                     "%s",  // why
                     "%s: %d tokens");
}
CPP
cat >"$scratch/res/dialogs/scratch.rc" <<'RC'
LANGUAGE 4, 2
IDD_SCRATCH DIALOGEX 0, 0, 100, 50
BEGIN
    DEFPUSHBUTTON   "确定", IDOK, 10, 10, 50, 14
    LTEXT           "说明", IDC_STATIC, 10, 30, 50, 8
END
LANGUAGE 9, 1
IDD_SCRATCH DIALOGEX 0, 0, 100, 50
BEGIN
    LTEXT           "Note", IDC_STATIC, 10, 30, 50, 8
END
RC
echo 'std::string Pieces() { return std::string(Localized("冻结的", "Frozen ")) + Localized("文字", "text"); }' \
  >"$scratch/base/ScratchFrozen.cpp"
expect_failure "res/strings.inc:$(lines res/strings.inc)" base/ScratchPair.cpp:2 res/dialogs/scratch.rc:8 \
  "res/texts.zh.frozen:$(lines res/texts.zh.frozen)" -- "${mode[@]}"
rm -rf "$scratch"
mv "$scratch.clean" "$scratch"

# A bare Chinese literal: a failure, a warning only with --no-fail-unpaired, allowed with a reason.
echo 'const char* kBare = "没有英文的文字";' >"$scratch/base/ScratchBare.cpp"
expect_failure base/ScratchBare.cpp:1
out=$(check --no-fail-unpaired) || { echo "$out"; fail "--no-fail-unpaired fails on a text without its twin"; }
grep -qF "base/ScratchBare.cpp:1: warning: " <<<"$out" || { echo "$out"; fail "--no-fail-unpaired does not report the text"; }
echo '"没有英文的文字" matches what an operator types' >>"$scratch/res/texts.zh.allowed"
expect_pass "an allowed text still fails"
echo "check-texts: passes on the tree, fails at the fault's file and line on each kind of fault"

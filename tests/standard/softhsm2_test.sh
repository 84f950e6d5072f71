#!/usr/bin/env bash
# vantor-cli reads, initialises and wipes SoftHSM2 tokens through standard calls only; after
# every write pkcs11-tool, a client nobody here wrote, confirms what the token holds. Every case
# has its own SoftHSM2 configuration, token folder and ledger in a folder of its own.
#   softhsm2_test.sh <vantor-cli>
set -uo pipefail
cli=$1
module=/usr/lib/softhsm/libsofthsm2.so
for tool in softhsm2-util pkcs11-tool; do
  command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (Debian packages softhsm2, opensc)" >&2; exit 1; }
done
[ -f $module ] || { echo "FAIL: the SoftHSM2 module $module is missing (Debian package softhsm2)" >&2; exit 1; }

source "$(dirname "$0")/softhsm2_cases.sh"
profile() { printf '%s\n' "$@" >"$work/profile.ini"; }

# pkcs11-tool's view of the one token with a serial number (the spare slot has none).
witness() { out=$(pkcs11-tool --module "$module" --list-token-slots 2>&1); }
slot_id() {
  pkcs11-tool --module "$module" --list-token-slots 2>/dev/null |
    awk '/^Slot /{ id = $3; gsub(/[():]/, "", id) } /serial num *: [0-9a-f]/{ print id; exit }'
}
# pkcs11-tool logs in to that token: login_works so|user PIN.
login_works() {
  local option=--pin
  [ "$1" = so ] && option=--so-pin
  pkcs11-tool --module "$module" --slot "$(slot_id)" --session-rw --login --login-type "$1" "$option" "$2" \
    --list-objects >/dev/null 2>&1
}
# The objects pkcs11-tool sees without logging in: one unindented line each.
objects() {
  pkcs11-tool --module "$module" --slot "$(slot_id)" --list-objects 2>/dev/null | grep -c '^[A-Za-z]'
}

export OLD_SO=Soa7731x OLD_USER=Usr4410 NEW_SO=Nso2984q NEW_USER=Nus6602 SHORT=abc

# Information: the token information's fields; what the standard has no place for is marked
# unavailable; the ledger line carries the serial number the token gives.
begin info Shelf-3 "$OLD_SO" "$OLD_USER"
vantor 0 info
expect "序列号：" && expect "制造商：SoftHSM project" && expect "型号：SoftHSM v2" && expect "名称：Shelf-3"
expect "已初始化：是" && expect "生产日期：不可用" && expect "ATR（16进制值）：不可用"
serial=$(pkcs11-tool --module "$module" --list-token-slots | awk '/serial num *: [0-9a-f]/{ print $4 }')
expect "序列号：$serial"
grep -q ",info,single,[0-9]*,$serial,2\.6," "$work"/ledger/* || fail "no ledger line with the token's serial"
vantor 0 --json info
expect "\"serial\":\"$serial\"" && expect '"atr":"不可用"' && expect '"token_label":"Shelf-3"'
[ "$(grep -o '"slot":' <<<"$out" | wc -l)" = 1 ] || fail "a JSON key twice"
end

# A token never initialised has no serial number yet; alone it is the token. A stock list
# cannot hold it and the station, which keys tokens by serial, leaves it alone: both say so
# and write nothing. Initialised, it is recorded by the serial SoftHSM2 gave it; the spare slot
# SoftHSM2 then keeps beside it is passed over, as pkcs11-tool confirms.
begin fresh
vantor 0 info
expect "序列号：不可用" && expect "已初始化：否" && expect "制造商：SoftHSM project"
printf '0123456789abcdef\n' >"$work/stock.txt"
profile "label=First 1"
vantor 1 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --stock "$work/stock.txt"
expect "该锁不在本批清单中"
vantor 0 station init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --idle 1
expect "工位模式不处理"
witness
expect "token state:   uninitialized"
refuse "token label"
vantor 0 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER
expect "初始化为PKI应用成功"
witness
expect "token label        : First 1"
serial=$(awk '/serial num *: [0-9a-f]/{ print $4 }' <<<"$out")
[ -n "$serial" ] || fail "pkcs11-tool shows no serial number after the initialisation"
grep -q ",pki,single,[0-9]*,$serial,2\.6,,First 1,success," "$work"/ledger/* ||
  fail "no ledger line of the success with the serial $serial"
login_works user "$NEW_USER" || fail "the user PIN does not log in"
vantor 0 info
expect "序列号：$serial"
vantor 1 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER
expect "该锁已初始化，需要提供当前的管理员PIN"
profile "label=Second 2"
vantor 0 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env NEW_SO
witness
[ "$(grep -c 'token state:   uninitialized' <<<"$out")" = 1 ] || fail "the spare slot is gone"
[ "$(grep -c 'token label' <<<"$out")" = 1 ] || fail "the spare slot was initialised"
expect "token label        : Second 2" && expect "serial num         : $serial"
end

# watch init takes a token never initialised too, and records the serial it was given.
begin fresh-watch
profile "label=Batch 1"
vantor 0 watch init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --idle 1
expect "总数：1 成功：1 失败：0"
serial=$(pkcs11-tool --module "$module" --list-token-slots | awk '/serial num *: [0-9a-f]/{ print $4 }')
[ -n "$serial" ] || fail "pkcs11-tool shows no initialised token"
grep -q ",pki,batch,[0-9]*,$serial,2\.6,,Batch 1,success," "$work"/ledger/* ||
  fail "no ledger line of the batch success with the serial $serial"
end

# Two tokens: refused before anything is read.
begin count
softhsm2-util --init-token --free --label one --so-pin "$OLD_SO" --pin "$OLD_USER" >/dev/null
softhsm2-util --init-token --free --label two --so-pin "$OLD_SO" --pin "$OLD_USER" >/dev/null
vantor 3 info
expect "一次只能对一支USBKey进行操作"
end

# Initialisation of a token initialised before: without its current SO PIN, with a wrong one,
# with a profile that sets what the standard cannot set: refused, the token as it was. With
# its current SO PIN: new label, user PIN and SO PIN, as pkcs11-tool confirms.
begin init Before "$OLD_SO" "$OLD_USER"
profile "label=Bench 7"
vantor 1 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER
expect "该锁已初始化，需要提供当前的管理员PIN"
vantor 1 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env NEW_SO
expect "管理员PIN错误"
vantor 1 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env SHORT
expect "PIN长度不在该锁允许的范围内"
profile "label=Bench 7" "so_pin_max_retry=5"
vantor 2 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env OLD_SO
expect "标准接口无法设置PIN重试次数和存储区大小"
witness
expect "token label        : Before"
login_works so "$OLD_SO" || fail "the refused attempts changed the SO PIN"
login_works user "$OLD_USER" || fail "the refused attempts changed the user PIN"

profile "label=Bench 7"
vantor 0 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env OLD_SO
expect "初始化为PKI应用成功"
witness
expect "token label        : Bench 7"
expect "token initialized, PIN initialized"
login_works user "$NEW_USER" || fail "the new user PIN does not log in"
login_works so "$NEW_SO" || fail "the new SO PIN does not log in"
if login_works so "$OLD_SO"; then fail "the old SO PIN still logs in"; fi
for pin in "$NEW_SO" "$NEW_USER" "$OLD_SO" "$OLD_USER"; do refuse "$pin"; done
grep -q ",pki,single,[0-9]*,[0-9a-f]\{16\},2\.6,,Bench 7,success," "$work"/ledger/* || fail "no ledger line of the success"
end

# Wipe: a wrong SO PIN leaves the token and its objects; the right one leaves it initialised
# with an empty label, no user PIN and no object. A wiped token counts as blank, and is
# initialised again with the SO PIN it has.
begin wipe Filled "$OLD_SO" "$OLD_USER"
printf 'payload' >"$work/data.bin"
pkcs11-tool --module "$module" --slot "$(slot_id)" --login --pin "$OLD_USER" --write-object "$work/data.bin" \
  --type data --label kept >/dev/null 2>&1 || fail "pkcs11-tool could not write an object"
[ "$(objects)" = 1 ] || fail "the test object is not listed"
vantor 1 wipe --so-pin-env NEW_SO
expect "管理员PIN错误"
vantor 1 wipe --so-pin-env SHORT
expect "PIN长度不在该锁允许的范围内"
[ "$(objects)" = 1 ] || fail "a refused wipe removed the object"
vantor 0 wipe --so-pin-env OLD_SO
expect "初始化为空锁成功"
witness
expect "token initialized"
refuse "PIN initialized"
expect "token label        : "
refuse "token label        : Filled"
[ "$(objects)" = 0 ] || fail "objects left after the wipe"
login_works so "$OLD_SO" || fail "the SO PIN no longer logs in after the wipe"
profile "label=Again"
vantor 0 init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env OLD_SO
witness
expect "token label        : Again"
login_works user "$NEW_USER" || fail "the user PIN set after the wipe does not log in"
end

# Batch: watch wipe stops after the wrong SO PIN, as on the vendor path; so do watch init and
# a PKI station after a wrong current SO PIN, which C_InitToken spent a try on.
begin watch Kept "$OLD_SO" "$OLD_USER"
vantor 1 watch wipe --so-pin-env NEW_SO --idle 1
expect "批量已停止"
expect "总数：1 成功：0 失败：1"
profile "label=Batch"
vantor 1 watch init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env NEW_SO --idle 1
expect "管理员PIN错误，批量已停止，请核对管理员PIN"
expect "总数：1 成功：0 失败：1"
vantor 1 station init --profile "$work/profile.ini" --so-pin-env NEW_SO --user-pin-env NEW_USER --current-so-pin-env NEW_SO --idle 1
expect "管理员PIN错误，已停止接收新的锁，请核对管理员PIN"
expect "总数：1 成功：0 失败：1"
login_works so "$OLD_SO" || fail "the refused runs changed the SO PIN"
end

if [ "$failures" != 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "vantor-cli reads, initialises and wipes SoftHSM2 tokens; pkcs11-tool confirms each write"

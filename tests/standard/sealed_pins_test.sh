#!/usr/bin/env bash
# Random user PINs sealed to the supervisor's certificate, on SoftHSM2 tokens: every envelope
# is opened by `openssl cms` and its PIN logs in with pkcs11-tool, two witnesses nobody here
# wrote. No PIN may be found in clear under the ledger folder, and a certificate that cannot be
# used stops the run before any token is written to.
#   sealed_pins_test.sh <vantor-cli>
set -uo pipefail
cli=$1
module=/usr/lib/softhsm/libsofthsm2.so
for tool in softhsm2-util pkcs11-tool openssl; do
  command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (Debian packages softhsm2, opensc, openssl)" >&2; exit 1; }
done

source "$(dirname "$0")/softhsm2_cases.sh"
# A fresh SoftHSM2 without tokens, the supervisor's certificate and key, and a profile.
begin_sealed() {
  begin "$1"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -subj "/CN=Supervisor" \
    -days 30 2>/dev/null || fail "openssl could not make the supervisor's certificate"
  printf 'label=Desk\n' >"$work/profile.ini"
}
# One line "serial label user_pin holder" per envelope (those named, or all), opened by openssl.
open_envelopes() {
  local file
  [ $# -gt 0 ] || set -- "$work"/ledger/pins/*/*.der
  for file in "$@"; do
    [ -f "$file" ] || continue
    openssl cms -decrypt -inform DER -in "$file" -recip "$work/cert.pem" -inkey "$work/key.pem" 2>/dev/null |
      awk -F= '{ v[$1] = substr($0, length($1) + 2) } END { print v["serial"] "\t" v["label"] "\t" v["user_pin"] "\t" v["holder"] }' ||
      fail "openssl cannot open $file"
  done
}
user_login() { # label PIN
  pkcs11-tool --module "$module" --token-label "$1" --login --pin "$2" --list-objects >/dev/null 2>&1
}
no_pin_in_clear() {
  local pin
  for pin in "$@"; do
    if grep -rqa -- "$pin" "$work/ledger"; then fail "a PIN lies in clear under the ledger folder"; fi
  done
}

export NEW_SO=Nso2984q OLD_SO=Soa7731x OLD_USER=Usr4410

# One token by init: the envelope, named after the serial SoftHSM2 gave the fresh token, holds
# a PIN of eight digits that logs in; the ledger line names the envelope; no PIN in clear.
begin_sealed init
vantor 0 init --profile "$work/profile.ini" --so-pin-env NEW_SO --random-user-pin 8 --seal-to "$work/cert.pem"
expect "初始化为PKI应用成功" && expect "PIN信封：pins/"
envelopes=$(open_envelopes)
[ "$(wc -l <<<"$envelopes")" = 1 ] || fail "one envelope expected: $envelopes"
IFS=$'\t' read -r serial label pin holder <<<"$envelopes"
[[ "$pin" =~ ^[0-9]{8}$ ]] || fail "the sealed PIN is not eight digits"
[ "$label" = Desk ] || fail "the envelope's label is '$label'"
ls "$work"/ledger/pins/*/"$serial"-*.der >/dev/null 2>&1 || fail "the envelope is not named after the serial $serial"
grep -q ",pki,single,[0-9]*,$serial,.*PIN信封：pins/" "$work"/ledger/*.csv || fail "the ledger line does not name the envelope"
user_login Desk "$pin" || fail "the sealed PIN does not log in"
no_pin_in_clear "$pin"
# watch init gives the same token a PIN of its own again, sealed in a second envelope.
vantor 0 watch init --profile "$work/profile.ini" --so-pin-env NEW_SO --current-so-pin-env NEW_SO \
  --random-user-pin 8 --seal-to "$work/cert.pem" --count 1
named=$(grep -o 'pins/[^）]*' <<<"$out")
IFS=$'\t' read -r _ _ again _ <<<"$(open_envelopes "$work/ledger/$named")"
[ -n "$again" ] && [ "$again" != "$pin" ] || fail "watch init sealed no new PIN"
user_login Desk "$again" || fail "the PIN sealed by watch init does not log in"
no_pin_in_clear "$pin" "$again"
# The supervisor's letters open the program's own envelopes: each PIN is on the page, once.
out=$("$cli" pins letters --key "$work/key.pem" --out "$work/letters.html" 2>&1) || fail "pins letters failed"
for sealed in "$pin" "$again"; do
  [ "$(grep -o "$sealed" "$work/letters.html" | wc -l)" = 1 ] || fail "the letters do not carry each sealed PIN once"
done
end

# A station (SoftHSM2's own object store does not bear two processes initialising tokens at
# once, so one token here) with a CSV stock list naming the token's holder and label: the token
# gets its own label and PIN, sealed with its holder's name, and a second run another PIN.
begin_sealed station
softhsm2-util --init-token --free --label "Old" --so-pin "$NEW_SO" --pin "$OLD_USER" >/dev/null || fail "softhsm2-util"
serial=$(pkcs11-tool --module "$module" --list-token-slots | awk '/serial num *: [0-9a-f]/{ print $4 }')
printf 'serial,holder,label\n%s,"Li Ming, <b>",Staff 7\n' "$serial" >"$work/stock.csv"
pins=()
for run in 1 2; do
  vantor 0 station init --profile "$work/profile.ini" --so-pin-env NEW_SO --current-so-pin-env NEW_SO \
    --random-user-pin 10 --seal-to "$work/cert.pem" --stock "$work/stock.csv" --count 1
  expect "初始化为PKI应用成功"
  envelopes=$(open_envelopes)
  [ "$(wc -l <<<"$envelopes")" = "$run" ] || fail "$run envelope(s) expected: $envelopes"
  named=$(grep -o 'pins/[^）]*' <<<"$out")
  IFS=$'\t' read -r sealed label pin holder <<<"$(open_envelopes "$work/ledger/$named")"
  [ "$sealed" = "$serial" ] && [ "$label" = "Staff 7" ] && [ "$holder" = "Li Ming, <b>" ] ||
    fail "the envelope reads '$sealed' '$label' '$holder'"
  [[ "$pin" =~ ^[0-9]{10}$ ]] || fail "the sealed PIN is not ten digits"
  user_login "Staff 7" "$pin" || fail "the PIN sealed by the station does not log in"
  pins+=("$pin")
done
[ "${pins[0]}" != "${pins[1]}" ] || fail "two runs gave the same PIN"
no_pin_in_clear "${pins[@]}"
end

# A certificate that cannot be used (missing, a folder, a key instead of a certificate) and a
# random PIN without a certificate are refused before the module is touched: no token changes,
# no envelope, no ledger line.
begin_sealed refused
softhsm2-util --init-token --free --label "Keep" --so-pin "$OLD_SO" --pin "$OLD_USER" >/dev/null || fail "softhsm2-util"
for cert in "$work/missing.pem" "$work" "$work/key.pem"; do
  vantor 2 init --profile "$work/profile.ini" --so-pin-env NEW_SO --current-so-pin-env OLD_SO \
    --random-user-pin 8 --seal-to "$cert"
  expect "PIN信封证书"
done
vantor 2 init --profile "$work/profile.ini" --so-pin-env NEW_SO --random-user-pin 8
expect "--seal-to"
user_login Keep "$OLD_USER" || fail "a refused run changed the token"
[ ! -e "$work/ledger" ] || [ -z "$(find "$work/ledger" -type f)" ] || fail "a refused run wrote under the ledger folder"
end

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "sealed user PINs: every case passed"

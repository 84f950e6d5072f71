# What the SoftHSM2 tests share (sourced): the failures counted by case, a fresh SoftHSM2 with
# its own token folder and ledger for every case, and vantor-cli run on the SoftHSM2 module.
# The sourcing script sets $cli and $module.
failures=0
case_name=
out=
fail() {
  echo "FAIL [$case_name]: $*" >&2
  printf '%s\n' "$out" | sed 's/^/    /' >&2
  failures=$((failures + 1))
}
expect() { grep -qF -- "$1" <<<"$out" || fail "missing '$1'"; }
refuse() { if grep -qF -- "$1" <<<"$out"; then fail "unexpected '$1'"; fi; }

# A fresh SoftHSM2 in a case folder of its own, with one token when given (label, SO PIN, user PIN).
begin() {
  case_name=$1
  work=$(mktemp -d)
  mkdir -p "$work/tokens"
  printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' "$work" >"$work/softhsm2.conf"
  export SOFTHSM2_CONF=$work/softhsm2.conf VANTOR_LEDGER_DIR=$work/ledger
  if [ $# -gt 1 ]; then
    softhsm2-util --init-token --free --label "$2" --so-pin "$3" --pin "$4" >/dev/null || fail "softhsm2-util could not make a token"
  fi
}
end() { rm -rf "$work"; }

# vantor-cli with the SoftHSM2 module; its output in $out, its exit code checked.
vantor() {
  local want=$1
  shift
  out=$("$cli" --module "$module" "$@" 2>&1)
  local code=$?
  [ "$code" = "$want" ] || fail "vantor-cli $* ended $code, expected $want"
}

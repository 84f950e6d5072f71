# Sourced right after `set -e` by every test, CI and build script: a command whose failure
# ends the script first says which script, which line and which command failed, on standard
# error, so that no failed run ends without a word.
set -o errtrace
report_failure() {
  printf 'FAIL: %s, line %s: %s (exit status %s)\n' "${BASH_SOURCE[1]:-$0}" "$2" "$3" "$1" >&2
}
trap 'report_failure $? "$LINENO" "$BASH_COMMAND"' ERR

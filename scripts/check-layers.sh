#!/usr/bin/env bash
# Fails when a file of the program includes a header of a folder that scripts/layers.txt does not
# allow for its own folder, or when a folder of the program is missing from that list.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
layers=scripts/layers.txt
declare -A allowed
while IFS=: read -r folder uses; do
  [[ -z "$folder" || "$folder" == \#* ]] && continue
  allowed[$folder]=" $(echo $uses) "
done <"$layers"

failed=0
while IFS= read -r file; do
  folder=${file%%/*}
  [[ "$folder" == tests || "$folder" == "$file" ]] && continue
  if [[ -z "${allowed[$folder]+set}" ]]; then
    echo "$file: folder '$folder' is not in $layers"
    failed=1
    continue
  fi
  while IFS= read -r hit; do
    line=${hit%%:*}
    target=$(sed -E 's/^[^"]*"([A-Za-z0-9_]+)\/.*/\1/' <<<"${hit#*:}")
    # Only folders of the program count: a template's own "dialogs/..." is a path, not a layer.
    [[ -z "${allowed[$target]+set}" || "$target" == "$folder" ]] && continue
    if [[ "${allowed[$folder]}" != *" $target "* ]]; then
      echo "$file:$line: $folder/ may not include $target/ (see $layers)"
      failed=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[A-Za-z0-9_]+/' "$file" || true)
done < <(git ls-files --cached --others --exclude-standard '*.c' '*.cpp' '*.h' '*.rc' '*.inc')
exit $failed

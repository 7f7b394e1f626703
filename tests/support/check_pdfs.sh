#!/usr/bin/env bash
# Checks every PDF below the given folder with qpdf; any error or warning fails.
set -u
dir=${1:?folder}
[ -d "$dir" ] || { echo "no PDF files written"; exit 0; }
failed=0; count=0
while IFS= read -r -d '' file; do
  count=$((count + 1))
  if ! out=$(qpdf --check "$file" 2>&1); then
    echo "qpdf --check failed: $file"; echo "$out" | head -20; failed=$((failed + 1))
  fi
done < <(find "$dir" -name '*.pdf' -print0)
echo "checked $count PDF files, $failed failed"
[ "$failed" -eq 0 ]

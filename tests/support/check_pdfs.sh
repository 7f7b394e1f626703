#!/usr/bin/env bash
# Checks every PDF below the given folder with qpdf; any error or warning fails.
# An encrypted file that needs a password to open names it: "x.pw-secret.pdf".
set -u
dir=${1:?folder}
[ -d "$dir" ] || { echo "no PDF files written"; exit 0; }
failed=0; count=0
while IFS= read -r -d '' file; do
  count=$((count + 1))
  password=()
  name=$(basename "$file")
  if [[ $name =~ \.pw-([^/]*)\.pdf$ ]]; then password=("--password=${BASH_REMATCH[1]}"); fi
  if ! out=$(qpdf --check "${password[@]}" "$file" 2>&1); then
    echo "qpdf --check failed: $file"; echo "$out" | head -20; failed=$((failed + 1))
  fi
done < <(find "$dir" -name '*.pdf' -print0)
echo "checked $count PDF files, $failed failed"
[ "$failed" -eq 0 ]

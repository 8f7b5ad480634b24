#!/usr/bin/env bash
# Formats every C++ file of the project with .clang-format (clang-format 14, Debian's).
#   format.sh           formats in place
#   format.sh --check   changes nothing; lists the files that are not formatted, exit 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
command -v "$format" >/dev/null || format=clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  bad=0
  for f in "${files[@]}"; do
    if ! "$format" --dry-run --Werror "$f" >/dev/null 2>&1; then
      echo "not formatted: $f (scripts/format.sh fixes it)"
      bad=1
    fi
  done
  exit $bad
fi
"$format" -i "${files[@]}"

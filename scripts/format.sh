#!/usr/bin/env bash
# The layout of the C++ sources, as .clang-format gives it (clang-format 14, Debian 12's).
#
#   scripts/format.sh            formats every C++ file git tracks, in place
#   scripts/format.sh --check    changes nothing: lists each file whose layout differs, with the first
#                                lines that would change; exit status 1 when one does
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=${CLANG_FORMAT:-clang-format}
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')

case "${1:-}" in
  "")
    printf '%s\0' "${files[@]}" | xargs -0 "$formatter" -i --style=file
    ;;
  --check)
    differ=0
    for file in "${files[@]}"; do
      if ! "$formatter" --style=file "$file" | cmp -s - "$file"; then
        echo "scripts/format.sh: $file is not laid out as .clang-format says; scripts/format.sh formats it:"
        "$formatter" --style=file "$file" | diff -u "$file" - | sed -n '3,12p'
        differ=1
      fi
    done
    [ "$differ" -eq 0 ] && echo "format: ${#files[@]} files laid out as .clang-format says"
    exit "$differ"
    ;;
  *)
    echo "usage: scripts/format.sh [--check]" >&2
    exit 2
    ;;
esac

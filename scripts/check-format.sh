#!/usr/bin/env bash
# Fails when a C or C++ file of the tree is not formatted as .clang-format
# says; with --fix, formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
fmt=${CLANG_FORMAT:-clang-format-15}
if ! command -v "$fmt" >/dev/null; then
  echo "check-format: $fmt not found (scripts/setup.sh installs it)" >&2
  exit 1
fi
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.c' '*.cpp' '*.h' | grep -v '^build/')
if [ "${1:-}" = "--fix" ]; then
  "$fmt" -i "${files[@]}"
  exit 0
fi
if ! "$fmt" --dry-run -Werror "${files[@]}" 2>/tmp/check-format.$$; then
  grep -E '^[^ ].*: error:' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  rm -f /tmp/check-format.$$
  echo "check-format: fix with: bash scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/check-format.$$
echo "check-format: ${#files[@]} files formatted"

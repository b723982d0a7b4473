#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the committed .clang-format (clang-format 14).
#   tools/check-format.sh          check;  tools/check-format.sh --fix   reformat in place
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then clang-format -i "${files[@]}"; exit 0; fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/velmaro-format.$$; then
  grep -E '^[^ ].*: error' /tmp/velmaro-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  rm -f /tmp/velmaro-format.$$
  echo "check-format: run tools/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/velmaro-format.$$
echo "check-format: ${#files[@]} files formatted"

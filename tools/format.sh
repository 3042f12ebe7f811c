#!/usr/bin/env bash
# Formats the C++ sources with clang-format-14 and the repository's
# .clang-format:
#   tools/format.sh            rewrites every file that differs
#   tools/format.sh --check    changes nothing; lists the files that differ
#                              (with the lines formatting would change) and fails if any do
#   tools/format.sh [--check] FILE...   only these files
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
formatter=clang-format-14
command -v "$formatter" >/dev/null || { echo "format.sh: $formatter not found (apt-get install clang-format-14)" >&2; exit 2; }

if [ $# -gt 0 ]; then
    files=("$@")
else
    # Every tracked C++ file of the product, the tests and the tools; the fuzz
    # corpus holds no source.
    mapfile -t files < <(git ls-files -- '*.h' '*.cpp' | grep -v '^tests/fuzz/corpus/')
fi

differing=0
for file in "${files[@]}"; do
    if [ $check -eq 1 ]; then
        if ! "$formatter" --style=file "$file" | cmp -s "$file" -; then
            changed=$("$formatter" --style=file "$file" | diff "$file" - | grep -c '^[<>]' || true)
            echo "$file: $changed lines removed or added by formatting"
            differing=$((differing + 1))
        fi
    else
        "$formatter" --style=file -i "$file"
    fi
done
if [ $check -eq 1 ] && [ $differing -gt 0 ]; then
    echo "format.sh: $differing of ${#files[@]} files are not formatted (tools/format.sh rewrites them)" >&2
    exit 1
fi

#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format (.clang-format at the root) writes.
# Fix with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t fichiers < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${fichiers[@]}" 2>/tmp/tarvo-format.$$; then
    grep -E '^[^ ].*(warning|error):' /tmp/tarvo-format.$$ | cut -d: -f1 | sort -u |
        sed 's/^/mal formaté : /' >&2
    head -n 20 /tmp/tarvo-format.$$ >&2
    rm -f /tmp/tarvo-format.$$
    echo "Formater avec : git ls-files '*.cpp' '*.h' | xargs clang-format -i" >&2
    exit 1
fi
rm -f /tmp/tarvo-format.$$
echo "Format : ${#fichiers[@]} fichiers conformes"

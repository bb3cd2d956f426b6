#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root: bugprone and performance families) on the core, the
# folders below ui/, with the compile commands of a configured build; any warning fails.
# Usage: outils/verifier_lint.sh [build directory, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v clang-tidy >/dev/null || { echo "clang-tidy manque" >&2; exit 1; }
[ -f "$build/compile_commands.json" ] || { echo "pas de $build/compile_commands.json" >&2; exit 1; }
sortie=$(mktemp)
trap 'rm -f "$sortie"' EXIT
# g++ flags clang does not know must not hide the real findings.
git ls-files 'formats/*.cpp' 'description/*.cpp' 'inventory/*.cpp' 'engine/*.cpp' \
    'output/*.cpp' 'session/*.cpp' |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet \
        --extra-arg=-Wno-unknown-warning-option >"$sortie" 2>/dev/null || true
if grep -qE '(warning|error):' "$sortie"; then
    grep -E -A3 '(warning|error):' "$sortie" >&2
    echo "clang-tidy : $(grep -cE '(warning|error):' "$sortie") avertissement(s) dans le cœur" >&2
    exit 1
fi
echo "clang-tidy : aucun avertissement dans le cœur"

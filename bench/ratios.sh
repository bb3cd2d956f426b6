#!/usr/bin/env bash
# Prints each formats benchmark's median time as a multiple of the memchr yardstick of the
# same run, and fails when a helper is slower than its allowed multiple.
#   bench/ratios.sh [path/to/tarvo_bench_formats] [extra benchmark options…]
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
binaire=${1:-$racine/build/bench/tarvo_bench_formats}
shift || true
if [[ ! -x $binaire ]]; then
    echo "ratios.sh: $binaire is not built (cmake --build … --target tarvo_bench_formats)" >&2
    exit 2
fi

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$binaire" --benchmark_format=json --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true "$@" >"$json"

python3 - "$json" <<'PY'
import json, sys

# Allowed multiples of the yardstick; the other benchmarks are printed for information.
plafonds = {
    "bm_date_vers_horodatage": 20.0,
    "bm_extraire_champ": 5.0,
}
reference = "bm_reference_memchr"

with open(sys.argv[1]) as f:
    donnees = json.load(f)
medianes = {}
unite = "ns"
for b in donnees["benchmarks"]:
    if b.get("aggregate_name") == "median":
        if b.get("error_occurred"):
            sys.exit(f"{b['run_name']}: {b.get('error_message', 'error')}")
        medianes[b["run_name"]] = b["cpu_time"]
        unite = b.get("time_unit", "ns")  # the same for every benchmark of the program
if reference not in medianes:
    sys.exit(f"the yardstick {reference} did not run")

base = medianes[reference]
echecs = 0
print(f"{'benchmark':32} {'median':>10} {'ratio':>8} {'target':>8}")
for nom, t in medianes.items():
    plafond = plafonds.get(nom)
    ratio = t / base
    verdict = ""
    if plafond is not None:
        verdict = "ok" if ratio <= plafond else "MISSED"
        echecs += ratio > plafond
    cible = f"{plafond:.0f}x" if plafond is not None else "-"
    print(f"{nom:32} {t:8.2f}{unite:2} {ratio:7.1f}x {cible:>8} {verdict}")
manquants = [n for n in plafonds if n not in medianes]
for n in manquants:
    print(f"{n}: did not run")
sys.exit(1 if echecs or manquants else 0)
PY

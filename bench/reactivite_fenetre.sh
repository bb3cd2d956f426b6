#!/usr/bin/env bash
# The main window during a run on the 10-million-line file, under a virtual display: the
# longest wait of its event loop and the delay between "Oui" to the stop question and the
# end of the run. Fails when the loop waits 0.1 s or more, or the stop takes 0.2 s or more.
#   bench/reactivite_fenetre.sh [BUILD_DIR] [NB_LIGNES] [SECONDES_AVANT_ARRET]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$racine/build}
nb_lignes=${2:-10000000}
avant_arret=${3:-3}
. "$racine/bench/gros_fichier.sh"
cmake --build "$build" --target tarvo_bench_fenetre >/dev/null
xvfb-run -a -s "-screen 0 1280x800x24" "$build/bench/tarvo_bench_fenetre" "$travail/gros.dsc" "$avant_arret"

#!/usr/bin/env bash
# End-to-end benchmark: tarvo-lot turns a 10-million-line logger file into an hourly mean,
# timed against std::fread of the same file into memory in the same run; its peak resident
# memory is compared with the file size plus the step table. Prints both ratios and fails
# when one misses its target (time within 12x, memory below 1.5x).
#   bench/bout_en_bout.sh [BUILD_DIR] [NB_LIGNES]
# The file is generated once into $TARVO_BENCH_DOSSIER (default $TMPDIR/tarvo-bout-en-bout).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$racine/build}
nb_lignes=${2:-10000000}
. "$racine/bench/gros_fichier.sh"

# Wall time (s), peak resident memory (KiB) and status of one command.
mesurer() {
    python3 - "$@" <<'PY'
import os, subprocess, sys, time
debut = time.perf_counter()
p = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=open(os.environ["ERREURS"], "wb"))
_, statut, usage = os.wait4(p.pid, 0)
print(f"{time.perf_counter() - debut:.3f} {usage.ru_maxrss} {os.waitstatus_to_exitcode(statut)}")
PY
}

export ERREURS=$travail/erreurs.txt
mesurer "$outil" lire "$fichier" >/dev/null  # the file in the page cache for both
meilleur_fread=""
for _ in 1 2 3; do
    read -r t _ _ < <(mesurer "$outil" lire "$fichier")
    meilleur_fread=$(python3 -c "print(min(float('$t'), float('${meilleur_fread:-inf}')))")
done
read -r t_lot rss_lot statut < <(mesurer "$lot" --silencieux "$travail/gros.dsc")
if [ "$statut" -ne 0 ]; then
    echo "tarvo-lot a fini avec le statut $statut :"
    tail -n 5 "$ERREURS"
    grep -q "pas encore disponible" "$ERREURS" ||
        exit 1
    echo "(mesure faite sans l'écriture du résultat)"
fi

python3 - "$taille" "$nb_lignes" "$meilleur_fread" "$t_lot" "$rss_lot" <<'PY'
import sys
taille, lignes = int(sys.argv[1]), int(sys.argv[2])
t_fread, t_lot, rss = float(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5]) * 1024
# The step table: about 10 s per line gives the hourly rows; 6 cells of na, kind,
# long double value and count per row.
lignes_grille = lignes * 10 // 3600 + 2
table = lignes_grille * 6 * 32
r_temps, r_memoire = t_lot / t_fread, rss / (taille + table)
milliers = lambda n: f"{n:,}".replace(",", " ")
print(f"fichier : {milliers(lignes)} lignes, {milliers(round(taille / 1e6))} Mo")
print(f"fread : {t_fread:.3f} s    tarvo-lot (moyenne horaire) : {t_lot:.3f} s")
print(f"rapport de temps     tarvo-lot / fread           = {r_temps:5.2f}  (cible <= 12, visée 8)")
print(f"rapport de mémoire   pic RSS / (fichier + table) = {r_memoire:5.2f}  (cible < 1,5)")
sys.exit(0 if r_temps <= 12 and r_memoire < 1.5 else 1)
PY

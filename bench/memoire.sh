#!/usr/bin/env bash
# Peak resident memory of tarvo-lot on inputs whose size has nothing to do with what is asked:
# a long grid, a wide file of which three columns are kept, empty lines, one line without end,
# and a clipboard (standard input) of empty lines. Prints one line per case: its name, the
# peak in MiB, the exit status and the first line tarvo-lot wrote on its error output (the
# refusal, when there is one). A measurement, not a test: nothing fails on a figure.
#
#   bench/memoire.sh [--gros] [BUILD_DIR | TARVO_LOT]
#
# --gros adds the grid of 20,000,000 one-second rows (several GB before it was refused).
# The inputs are written once into $TARVO_BENCH_DOSSIER (default $TMPDIR/tarvo-memoire).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
gros=0
cible=$racine/build
for a in "$@"; do
    case $a in
    --gros) gros=1 ;;
    -*) echo "usage: bench/memoire.sh [--gros] [BUILD_DIR | TARVO_LOT]" >&2 && exit 2 ;;
    *) cible=$a ;;
    esac
done
lot=$cible
[ -d "$cible" ] && lot=$cible/app/tarvo-lot
if [ ! -x "$lot" ]; then
    echo "memoire.sh: $lot is not built (cmake --build build --target tarvo-lot)" >&2
    exit 2
fi
travail=${TARVO_BENCH_DOSSIER:-${TMPDIR:-/tmp}/tarvo-memoire}
mkdir -p "$travail/programme"
export TARVO_DOSSIER_PROGRAMME=$travail/programme

# NAME DESCRIPTION-SETTINGS…: a copy of the shipped example's description reading
# $travail/NAME/ (output in its EXPORT/), with each KEY=VALUE setting replaced.
description() {
    local nom=$1
    shift
    mkdir -p "$travail/$nom/EXPORT"
    local script=(-e "s|^dossier_choisi= .*|dossier_choisi= $travail/$nom/\r|"
        -e "s|^dossier_choisi_sortie= .*|dossier_choisi_sortie= $travail/$nom/EXPORT/\r|"
        -e "s|^dossier_description= .*|dossier_description= $travail/\r|")
    for r in "$@"; do script+=(-e "s|^${r%%=*}= .*|${r%%=*}= ${r#*=}\r|"); done
    sed "${script[@]}" "$racine/exemples/LeGue_horaire.dsc" >"$travail/$nom.dsc"
}

python3 - "$travail" <<'PY'
import os, sys
t = sys.argv[1]
def ecrire(chemin, fabrique):
    if not os.path.exists(chemin):
        with open(chemin + ".tmp", "wb") as f: fabrique(f)
        os.replace(chemin + ".tmp", chemin)
entete = (b"Station\r\nDate Heure;Niveau;Temp;Cond\r\n"
          b"01/06/2024 00:00:00;1,2;14,0;433\r\n01/06/2024 00:10:00;1,3;14,1;434\r\n"
          b"01/06/2024 00:20:00;1,4;14,2;435\r\n")
for d in ("grille", "limite", "colonnes", "colonnes_toutes", "vides", "longue", "presse_papier"):
    os.makedirs(os.path.join(t, d), exist_ok=True)
ecrire(f"{t}/grille/a.csv", lambda f: f.write(entete))
ecrire(f"{t}/limite/a.csv", lambda f: f.write(entete))
# 16,384 columns over four months, about 200 KB.
def large(f):
    f.write(b"Station\r\n" + b";".join([b"Date Heure"] + [b"c%d" % i for i in range(16383)]) + b"\r\n")
    for mois in (1, 2, 3, 4, 5):
        f.write(b"01/%02d/2024 00:00:00;" % mois + b";".join([b"1"] * 16383) + b"\r\n")
ecrire(f"{t}/colonnes/a.csv", large)
ecrire(f"{t}/colonnes_toutes/a.csv", large)
# 10 MB of empty lines after the data.
ecrire(f"{t}/vides/a.csv", lambda f: (f.write(entete), f.write(b"\n" * 10_000_000)))
# One line of 500 MB without a line end.
def longue(f):
    f.write(entete)
    for _ in range(500): f.write(b"x" * 1_000_000)
ecrire(f"{t}/longue/a.csv", longue)
# 128 MiB of standard input, almost only empty lines.
def presse(f):
    donnees = entete.replace(b";", b"\t")
    f.write(donnees + b"\n" * ((128 << 20) - len(donnees)))
ecrire(f"{t}/presse_papier.txt", presse)
PY

description grille
description limite
description colonnes "CheckBox_col_cochee.Checked=true" \
    "Edit_col_cochee.text=2,3,4"
description colonnes_toutes
description vides
description longue
description presse_papier "Edit_masque.text=ppp"

# NAME STDIN ARGUMENTS…: peak resident MiB, exit status and the first error line.
mesurer() {
    local nom=$1 entree=$2
    shift 2
    python3 - "$travail/$nom.err" "$entree" "$lot" "$travail/$nom.dsc" --oui --silencieux "$@" <<'PY'
import os, subprocess, sys
erreurs, entree, commande = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(entree, "rb") as i, open(os.devnull, "wb") as o, open(erreurs, "wb") as e:
    p = subprocess.Popen(commande, stdin=i, stdout=o, stderr=e)
    _, statut, u = os.wait4(p.pid, 0)
with open(erreurs, "rb") as e:
    premiere = next((l.strip() for l in e if l.strip()), b"").decode("utf-8", "replace")
print(f"{u.ru_maxrss / 1024:8.0f} MiB  statut {os.waitstatus_to_exitcode(statut)}  {premiere[:110]}")
PY
}

cas() {
    printf '%-16s ' "$1"
    mesurer "$@"
}

rien=/dev/null
# 2,851,201 one-second steps, three data columns: grid, step table and result lines.
cas grille $rien --debut "01/06/2024 00:00:00" --fin "03/07/2024 00:00:00" --pas 00:00:01
# Four months by the hour, 3 of 16,384 columns kept, then all of them.
cas colonnes $rien --debut "01/01/2024 00:00:00" --fin "01/05/2024 00:00:00" --pas 01:00:00
cas colonnes_toutes $rien --debut "01/01/2024 00:00:00" --fin "01/05/2024 00:00:00" --pas 01:00:00
cas vides $rien --debut "01/06/2024 00:00:00" --fin "02/06/2024 00:00:00" --pas 01:00:00
cas longue $rien --debut "01/06/2024 00:00:00" --fin "02/06/2024 00:00:00" --pas 01:00:00
cas presse_papier "$travail/presse_papier.txt" \
    --debut "01/06/2024 00:00:00" --fin "02/06/2024 00:00:00" --pas 01:00:00
if [ "$gros" = 1 ]; then
    cas limite $rien --debut "01/01/2024 00:00:00" --fin "19/08/2024 11:33:19" --pas 00:00:01
fi

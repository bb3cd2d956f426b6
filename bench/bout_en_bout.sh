#!/usr/bin/env bash
# End-to-end benchmark of tarvo-lot, which reads in blocks on several threads. One run, one file:
# std::fread of the whole file into memory (best of 3, page cache warm), tarvo-lot on one thread
# (--fils 1) and on all of them (wall, CPU user+sys, peak resident memory; best of 3), the
# DuckDB anchor (best of 3) of
# ../shared/ancres computing the same hourly means, and the core count. Prints every ratio
# beside its target, then fails when one is missed:
#   all-thread wall <= 2.5 x fread        all-thread wall <= 0.5 x DuckDB wall
#   one-thread CPU  <= 5 x fread          peak memory <= 64 MiB + the step table
#
#   bench/bout_en_bout.sh [--gros[=COPIES]] [BUILD_DIR] [NB_LIGNES]
#
# The file is the anchor's (gen_logger.py, seed 1, 10,000,000 lines, 435 MB), made once into
# $TARVO_BENCH_DOSSIER (default $TMPDIR/tarvo-bout-en-bout), or hard-linked from the anchor's
# cache ($ANCRES_CACHE, default /tmp/tarvo-ancres) when it holds it. --gros also writes COPIES
# (default 5, 2.2 GB) copies of it end to end, each moved on by whole 4-year spans so that
# times keep increasing, and runs tarvo-lot on it over the smaller file's period (its peak
# memory must stay that of the smaller file: only the file's size differs) and over its whole
# period (printed with the memory each extra step costs).
# DuckDB (@duckdb/node-api) is installed once with npm into the cache; without node, npm or the
# anchor directory ($TARVO_ANCRES, default ../shared/ancres) its line is left out. The period
# given to tarvo-lot covers the file in whole hours; its one question (more than 32,000 steps)
# is a confirmation it accepts without --oui. Needs BUILD_DIR/app/tarvo-lot already built.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
copies=0
positionnels=()
for a in "$@"; do
    case $a in
    --gros) copies=5 ;;
    --gros=*) copies=${a#--gros=} ;;
    -*) echo "usage: bench/bout_en_bout.sh [--gros[=COPIES]] [BUILD_DIR] [NB_LIGNES]" >&2 && exit 2 ;;
    *) positionnels+=("$a") ;;
    esac
done
build=$(cd "${positionnels[0]:-$racine/build}" && pwd)
nb_lignes=${positionnels[1]:-10000000}
lot=$build/app/tarvo-lot
if [ ! -x "$lot" ]; then
    echo "bout_en_bout.sh: $lot is not built (cmake --build $build --target tarvo-lot)" >&2
    exit 2
fi
ancres=${TARVO_ANCRES:-$racine/../shared/ancres}
travail=${TARVO_BENCH_DOSSIER:-${TMPDIR:-/tmp}/tarvo-bout-en-bout}
mkdir -p "$travail/programme"
# tarvo-lot would otherwise keep its program files beside the executable.
export TARVO_DOSSIER_PROGRAMME=$travail/programme
resultats=$travail/resultats.txt
: >"$resultats"

# The fread yardstick stays the one earlier results were quoted against.
outil=$travail/generer_gros_fichier
if [ ! -x "$outil" ] || [ "$racine/bench/generer_gros_fichier.cpp" -nt "$outil" ]; then
    c++ -O2 -std=c++20 -o "$outil" "$racine/bench/generer_gros_fichier.cpp"
fi

# OUT ERR COMMAND…: prints wall s, CPU s (user + sys), peak resident KiB and exit status.
mesurer() {
    python3 - "$@" <<'PY'
import os, subprocess, sys, time
sortie, erreurs, commande = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(sortie, "wb") as o, open(erreurs, "wb") as e:
    debut = time.perf_counter()
    p = subprocess.Popen(commande, stdin=subprocess.DEVNULL, stdout=o, stderr=e)
    _, statut, u = os.wait4(p.pid, 0)
    mur = time.perf_counter() - debut
print(f"{mur:.3f} {u.ru_utime + u.ru_stime:.3f} {u.ru_maxrss} {os.waitstatus_to_exitcode(statut)}")
PY
}

# DIR: the description of DIR/donnees/logger.csv (output in donnees/EXPORT/, so that tarvo-lot
# asks nothing about it) and the covering period of whole hours. Sets debut, fin, debut_iso,
# fin_iso and adds a "fichier" line to the results.
preparer() {
    local dir=$1
    mkdir -p "$dir/donnees/EXPORT"
    sed -e "s#@DONNEES@#$dir/donnees/#" -e "s#@SORTIE@#$dir/donnees/EXPORT/#" \
        -e "s#@DESCRIPTION@#$dir/#" "$ancres/horaire.dsc.modele" >"$dir/horaire.dsc"
    local periode
    periode=$(python3 - "$dir/donnees/logger.csv" <<'PY'
import datetime as dt, os, sys
with open(sys.argv[1], "rb") as f:
    colonnes = f.readline().count(b";")
    premiere = f.readline()
    f.seek(max(0, os.path.getsize(sys.argv[1]) - 4096))
    derniere = f.read().splitlines()[-1]
lire = lambda l: dt.datetime.strptime(l.split(b";")[0].decode(), "%Y-%m-%d %H:%M:%S")
h = dt.timedelta(hours=1)
debut = dt.datetime.min + (lire(premiere) - dt.timedelta(seconds=1) - dt.datetime.min) // h * h
fin = dt.datetime.min - (dt.datetime.min - lire(derniere)) // h * h
print(debut.strftime("%d/%m/%Y %H:%M:%S"), fin.strftime("%d/%m/%Y %H:%M:%S"), sep="\n")
print(debut.strftime("%Y-%m-%d %H:%M:%S"), fin.strftime("%Y-%m-%d %H:%M:%S"), sep="\n")
print(colonnes, (fin - debut) // h)
PY
)
    { read -r debut; read -r fin; read -r debut_iso; read -r fin_iso; read -r colonnes heures; } <<<"$periode"
    echo "fichier $dir/donnees/logger.csv $(stat -c %s "$dir/donnees/logger.csv") $colonnes $heures $debut $fin" >>"$resultats"
}

# DIR NAME [OPTIONS…]: one tarvo-lot run on DIR's file, its earlier result removed first.
lancer_lot() {
    local dir=$1 nom=$2
    shift 2
    rm -f "$dir/donnees/EXPORT/"*
    local ligne
    ligne=$(mesurer "$dir/$nom.out" "$dir/$nom.err" "$lot" --silencieux --debut "$debut" \
        --fin "$fin" --pas 01:00:00 "$@" "$dir/horaire.dsc")
    echo "$nom $ligne" >>"$resultats"
    grep -a '^> ' "$dir/$nom.err" | sed "s/^/reponse $nom /" >>"$resultats" || true
    if [ "${ligne##* }" != 0 ]; then
        echo "tarvo-lot ($nom) failed, end of $dir/$nom.err:"
        tail -n 5 "$dir/$nom.err"
    fi
}

# The 10-million-line file: gen_logger.py writes 435,388,079 bytes for it with seed 1.
ici=$travail/l$nb_lignes
fichier=$ici/donnees/logger.csv
mkdir -p "$ici/donnees"
if [ ! -s "$fichier" ]; then
    ancre_fichier=${ANCRES_CACHE:-/tmp/tarvo-ancres}/donnees/big_10M.csv
    if [ "$nb_lignes" = 10000000 ] && [ "$(stat -c %s "$ancre_fichier" 2>/dev/null)" = 435388079 ]; then
        ln "$ancre_fichier" "$fichier" 2>/dev/null || cp "$ancre_fichier" "$fichier"
    else
        echo "generating $nb_lignes lines into $fichier ..."
        python3 "$ancres/gen_logger.py" "$travail/logger.part" --lines "$nb_lignes" --seed 1
        mv "$travail/logger.part" "$fichier"
    fi
fi
preparer "$ici"

mesurer /dev/null /dev/null "$outil" lire "$fichier" >/dev/null # into the page cache
for _ in 1 2 3; do
    echo "fread $(mesurer /dev/null /dev/null "$outil" lire "$fichier")" >>"$resultats"
done
# Each run three times, the best kept, as for fread: the machine may be shared.
for _ in 1 2 3; do
    lancer_lot "$ici" un --fils 1
    lancer_lot "$ici" tous
done
resultat_lot=$(head -n 1 "$ici/tous.out")
echo "resultat $resultat_lot" >>"$resultats"

# The anchor, from a writable copy: shared/ may be read-only.
if [ ! -d "$ancres" ]; then
    echo "ancre_absente no anchor directory $ancres" >>"$resultats"
elif ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    echo "ancre_absente node or npm is missing" >>"$resultats"
else
    mkdir -p "$travail/ancre/node"
    install -m 644 "$ancres/duckdb_horaire.mjs" "$travail/ancre/"
    if [ ! -d "$travail/ancre/node/node_modules/@duckdb/node-api" ]; then
        install -m 644 "$ancres/node/package.json" "$ancres/node/package-lock.json" "$travail/ancre/node/"
        (cd "$travail/ancre/node" && npm install --silent --no-audit --no-fund) >"$travail/ancre/npm.log" 2>&1 ||
            echo "ancre_absente npm install of @duckdb/node-api failed (see $travail/ancre/npm.log)" >>"$resultats"
    fi
    if [ -d "$travail/ancre/node/node_modules/@duckdb/node-api" ]; then
        for _ in 1 2 3; do
            echo "duckdb $(mesurer /dev/null "$travail/ancre/duckdb.err" node "$travail/ancre/duckdb_horaire.mjs" \
                "$fichier" "$travail/ancre/duckdb.txt" "$debut_iso" "$fin_iso")" >>"$resultats"
        done
        echo "resultat_duckdb $travail/ancre/duckdb.txt" >>"$resultats"
    fi
fi

if [ "$copies" -gt 0 ]; then
    gros=$travail/l${nb_lignes}x$copies
    mkdir -p "$gros/donnees"
    if [ ! -s "$gros/donnees/logger.csv" ]; then
        libre=$(df --output=avail -B1 "$gros" | tail -n 1)
        besoin=$(($(stat -c %s "$fichier") * copies + (1 << 30)))
        if [ "$libre" -lt "$besoin" ]; then
            echo "bout_en_bout.sh: $((besoin >> 20)) MiB needed in $gros, $((libre >> 20)) MiB free; try --gros=2" >&2
            exit 2
        fi
        echo "writing $copies copies of $fichier into $gros/donnees/logger.csv ..."
        python3 - "$fichier" "$travail/gros.part" "$copies" <<'PY'
import os, sys
source, cible, copies = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(source, "rb") as f:
    f.readline()
    premiere = int(f.readline()[:4])
    f.seek(max(0, os.path.getsize(source) - 4096))
    derniere = int(f.read().splitlines()[-1][:4])
# Whole 4-year spans keep 29 February on leap years, and each copy begins after the last ends.
ecart = -(-(derniere - premiere + 1) // 4) * 4
with open(source, "rb") as f, open(cible, "wb") as o:
    o.write(f.readline())
    debut = f.tell()
    for k in range(copies):
        f.seek(debut)
        reste = b""
        while bloc := f.read(1 << 26):
            bloc = reste + bloc
            coupe = bloc.rfind(b"\n") + 1
            bloc, reste = b"\n" + bloc[:coupe], bloc[coupe:]
            # Years start the lines only: the values have no "-" after four digits.
            if k:
                for a in range(derniere, premiere - 1, -1):
                    bloc = bloc.replace(b"\n%d-" % a, b"\n%d-" % (a + k * ecart))
            o.write(memoryview(bloc)[1:])
        o.write(reste)
PY
        mv "$travail/gros.part" "$gros/donnees/logger.csv"
    fi
    debut_petit=$debut fin_petit=$fin
    preparer "$gros"
    lancer_lot "$gros" gros
    # The same period as the smaller file: only the file's size differs, so should nothing else.
    debut=$debut_petit fin=$fin_petit
    lancer_lot "$gros" gros_periode
fi

python3 - "$resultats" "$(nproc)" <<'PY'
import ctypes, sys
lignes = [l.split(" ", 1) for l in open(sys.argv[1], encoding="utf-8", errors="replace").read().splitlines()]
coeurs = int(sys.argv[2])
mesures, fichiers, reponses, notes, res = {}, [], [], [], {}
for cle, reste in lignes:
    if cle == "fichier":
        f = reste.split(" ")
        fichiers.append((f[0], int(f[1]), int(f[2]), int(f[3]), " ".join(f[4:6]), " ".join(f[6:8])))
    elif cle == "reponse":
        if reste.split(" ", 1) not in reponses:
            reponses.append(reste.split(" ", 1))
    elif cle == "ancre_absente":
        notes.append("DuckDB anchor skipped: " + reste)
    elif cle.startswith("resultat"):
        res[cle] = reste
    else:
        mur, cpu, kio, statut = reste.split()
        mesures.setdefault(cle, []).append((float(mur), float(cpu), int(kio) / 1024, int(statut)))
mio = 1 << 20
milliers = lambda n: f"{n:,}".replace(",", " ")
echecs = []

# The step table: (N + 3) rows of (C + 5) cells of na, kind, long double value and count,
# beside the grid dates in seconds and in milliseconds.
def table(colonnes, heures):
    cellule = 1 + 1 + ctypes.sizeof(ctypes.c_longdouble) + ctypes.sizeof(ctypes.c_int)
    return (heures + 3) * (colonnes + 5) * cellule + (heures + 1) * 16

print(f"cores (nproc): {coeurs}")
for chemin, taille, colonnes, heures, debut, fin in fichiers:
    print(f"file: {chemin}, {milliers(round(taille / 1e6))} MB, period {debut} - {fin}, "
          f"{milliers(heures)} hourly steps, step table ~ {table(colonnes, heures) / mio:.1f} MiB")
print(f"{'':34}{'wall s':>9}{'CPU s':>9}{'peak MiB':>9}")
fread = min(m[0] for m in mesures["fread"])
# Of several runs, the one with the best wall time (and its CPU time and memory).
meilleur = lambda cle: min(mesures[cle])
print(f"{'fread (best of 3)':34}{fread:9.3f}")
noms = {"un": "tarvo-lot --fils 1 (best of 3)", "tous": "tarvo-lot (all threads, best of 3)",
        "duckdb": "DuckDB anchor (best of 3)",
        "gros": "tarvo-lot (all threads), big file",
        "gros_periode": "big file, the smaller file's period"}
for cle, nom in noms.items():
    if cle in mesures:
        mur, cpu, pic, statut = meilleur(cle)
        print(f"{nom:34}{mur:9.3f}{cpu:9.2f}{pic:9.0f}" + (f"   FAILED, status {statut}" if statut else ""))
        if statut:
            echecs.append(f"{nom} ended with status {statut}")
for n in notes:
    print(n)
if reponses:
    print("answered by tarvo-lot itself (no --oui): " + ", ".join(f"{noms[c]}: {r}" for c, r in reponses))

def charger(chemin, sauter):
    lignes = open(chemin, encoding="cp1252", errors="replace").read().splitlines()[sauter:]
    return {f[0]: f[1:] for f in ([x.strip() for x in l.split("\t")] for l in lignes)}
if res.get("resultat") and "resultat_duckdb" in res and not meilleur("duckdb")[3]:
    a, b = charger(res["resultat"], 1), charger(res["resultat_duckdb"], 0)
    nombre = lambda x: float(x.replace(",", "."))
    # DuckDB rounds exact ties half away from zero: one unit in the last decimal is no fault.
    ecart = sum(1 for k, vb in b.items() if a.get(k) is None or any(
        ("#" in x) != ("#" in y) or ("#" not in x and abs(nombre(x) - nombre(y)) > 0.0100001)
        for x, y in zip(a[k], vb)))
    print(f"hourly steps compared with DuckDB: {milliers(len(b))}, differing: {ecart}")

print()
def cible(libelle, valeur, plafond, texte):
    rate = valeur > plafond
    print(f"{libelle:42}{valeur:9.2f}   target <= {texte:18}{'MISSED' if rate else 'ok'}")
    if rate:
        echecs.append(libelle)
mur_tous, _, pic_tous, _ = meilleur("tous")
_, cpu_un, pic_un, _ = meilleur("un")
cible("all-thread wall / fread", mur_tous / fread, 2.5, "2.5")
if "duckdb" in mesures and not meilleur("duckdb")[3]:
    cible("all-thread wall / DuckDB wall", mur_tous / meilleur("duckdb")[0], 0.5, "0.5")
cible("one-thread CPU / fread", cpu_un / fread, 5, "5")
plafond = 64 + table(*fichiers[0][2:4]) / mio
cible("one-thread peak MiB", pic_un, plafond, f"64 + {plafond - 64:.1f} MiB")
cible("all-thread peak MiB", pic_tous, plafond, f"64 + {plafond - 64:.1f} MiB")
if "gros_periode" in mesures:
    pic_meme = meilleur("gros_periode")[2]
    cible(f"all-thread peak MiB, {fichiers[1][1] / 1e9:.1f} GB file, same period", pic_meme,
          plafond, f"64 + {plafond - 64:.1f} MiB")
    cible("  its growth over the 435 MB file's peak, MiB", pic_meme - pic_tous, 4, "4")
if "gros" in mesures:
    pic_gros = meilleur("gros")[2]
    pas_en_plus = fichiers[1][3] - fichiers[0][3]
    print(f"peak memory, all threads: {pic_tous:.0f} MiB on the {fichiers[0][1] / 1e6:.0f} MB file; "
          f"on the {fichiers[1][1] / 1e6:.0f} MB one {pic_meme:.0f} MiB over the same period, "
          f"{pic_gros:.0f} MiB over its whole period")
    # What the longer period adds is the steps' own memory: the step table, the grid and the
    # result lines the window shows, none of which depends on the file's size.
    print(f"memory per hourly step (whole period minus same period): "
          f"{(pic_gros - pic_meme) * mio / pas_en_plus:.0f} bytes; the step table alone "
          f"~ {(table(*fichiers[1][2:4]) - table(*fichiers[0][2:4])) / pas_en_plus:.0f} bytes")
if echecs:
    sys.exit(f"\n{len(echecs)} missed: " + "; ".join(echecs))
PY

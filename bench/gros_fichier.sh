# Sourced by the window benchmark: generates the large logger file once, and a
# description of it (the shipped example's layout, an hourly mean).
# Needs: racine (the source tree), build, nb_lignes. Sets: travail, donnees, outil, fichier,
# derniere, and writes $travail/gros.dsc.
travail=${TARVO_BENCH_DOSSIER:-${TMPDIR:-/tmp}/tarvo-bout-en-bout}
donnees=$travail/donnees
mkdir -p "$donnees/EXPORT"

cmake --build "$build" --target tarvo-lot >/dev/null
lot=$build/app/tarvo-lot
outil=$travail/generer_gros_fichier
c++ -O2 -std=c++20 -o "$outil" "$racine/bench/generer_gros_fichier.cpp"

fichier=$donnees/gros.csv
if [ ! -f "$fichier" ] || [ "$(cat "$travail/nb_lignes" 2>/dev/null)" != "$nb_lignes" ]; then
    echo "génération de $nb_lignes lignes dans $fichier ..."
    "$outil" ecrire "$fichier" "$nb_lignes"
    echo "$nb_lignes" >"$travail/nb_lignes"
fi
derniere=$(tail -n 1 "$fichier" | cut -d';' -f1)

# The shipped example's description, pointed at the large file: same layout, hourly mean.
sed -e "s|^dossier_choisi= .*|dossier_choisi= $donnees/\r|" \
    -e "s|^dossier_choisi_sortie= .*|dossier_choisi_sortie= $donnees/EXPORT/\r|" \
    -e "s|^dossier_description= .*|dossier_description= $travail/\r|" \
    -e "s|^Edit_nom_fic_sortie.text= .*|Edit_nom_fic_sortie.text= gros_horaire\r|" \
    -e "s|^Label_min_dsc.caption= .*|Label_min_dsc.caption= 01/01/2024 00:00:00\r|" \
    -e "s|^Label_max_dsc.caption= .*|Label_max_dsc.caption= ${derniere:0:10} 23:00:00\r|" \
    "$racine/exemples/LeGue_horaire.dsc" >"$travail/gros.dsc"


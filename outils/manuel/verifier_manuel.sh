#!/bin/sh
# The manual PDF exists, is not empty, and its text holds every chapter a user looks for;
# the PDF of its chapter "Versions" holds that chapter and nothing before it.
set -u
pdf="$1"
versions="$2"
[ -s "$pdf" ] || { echo "manuel absent ou vide : $pdf"; exit 1; }
command -v pdftotext >/dev/null || { echo "pdftotext manque (paquet poppler-utils)"; exit 1; }
texte=$(pdftotext -enc UTF-8 "$pdf" -) || { echo "pdftotext a échoué sur $pdf"; exit 1; }
echo "$texte" | head -c 20 | grep -q . || { echo "aucun texte dans $pdf"; exit 1; }
manque=0
for attendu in \
    "Étape 1 – Lister les fichiers" \
    "Étape 2 – Créer la liste horodatée" \
    "Étape 3 – Traiter" \
    "La fenêtre de suivi" \
    "La fenêtre des graphiques" \
    "Les options d'une description" \
    "Les méthodes de calcul" \
    "Dépannage" \
    "tarvo-lot" \
    "Versions"; do
    if ! printf '%s\n' "$texte" | grep -qF -- "$attendu"; then
        echo "absent du manuel : $attendu"
        manque=1
    fi
done
[ -s "$versions" ] || { echo "chapitre Versions absent ou vide : $versions"; exit 1; }
texte=$(pdftotext -enc UTF-8 "$versions" -) || { echo "pdftotext a échoué sur $versions"; exit 1; }
for attendu in "16. Versions" "Mettre à jour"; do
    if ! printf '%s\n' "$texte" | grep -qF -- "$attendu"; then
        echo "absent du chapitre Versions : $attendu"
        manque=1
    fi
done
for etranger in "Sommaire" "Dépannage"; do
    if printf '%s\n' "$texte" | grep -qF -- "$etranger"; then
        echo "le chapitre Versions contient : $etranger"
        manque=1
    fi
done
exit $manque

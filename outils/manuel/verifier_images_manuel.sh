#!/bin/sh
# The manual shows every picture its source names, holds the chapter on date patterns with
# the flexible ones, and the PDF of "Versions" stops where the next chapter begins.
set -u
pdf="$1"
versions="$2"
source="$3"
for outil in pdfimages pdftotext; do
    command -v "$outil" >/dev/null || { echo "$outil manque (paquet poppler-utils)"; exit 1; }
done
attendues=$(grep -c '^!\[' "$source")
# One line per picture per page it touches: count the pictures themselves.
vues=$(pdfimages -list "$pdf" | tail -n +3 | awk '{print $11}' | sort -u | wc -l)
manque=0
if [ "$vues" -ne "$attendues" ]; then
    echo "le manuel dessine $vues images, sa source en nomme $attendues"
    manque=1
fi
texte=$(pdftotext -enc UTF-8 "$pdf" -) || { echo "pdftotext a échoué sur $pdf"; exit 1; }
for attendu in \
    "Annexe – Les formats de date et d'heure" \
    "Les formats souples" \
    "Fuseaux horaires" \
    "AM/PM souple" \
    "tarvo-lot --motifs"; do
    if ! printf '%s\n' "$texte" | grep -qF -- "$attendu"; then
        echo "absent du manuel : $attendu"
        manque=1
    fi
done
texte=$(pdftotext -enc UTF-8 "$versions" -) || { echo "pdftotext a échoué sur $versions"; exit 1; }
if printf '%s\n' "$texte" | grep -qF -- "Annexe"; then
    echo "le chapitre Versions contient l'annexe qui le suit"
    manque=1
fi
exit $manque

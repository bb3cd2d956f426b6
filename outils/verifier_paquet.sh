#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a temporary root and checks
# that every file is in place and that both programs work from there, away from the sources.
# Usage: outils/verifier_paquet.sh [build directory, "build" by default]
set -euo pipefail
cd "$(dirname "$0")/.."
construction=$(realpath "${1:-build}")
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT

echouer() {
    echo "ÉCHEC du paquet : $*" >&2
    exit 1
}

(cd "$construction" && cpack -G DEB) >"$travail/cpack.log" 2>&1 ||
    { cat "$travail/cpack.log" >&2; echouer "cpack -G DEB a échoué"; }
paquet=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$travail/cpack.log")
[ -f "$paquet" ] || { cat "$travail/cpack.log" >&2; echouer "cpack n'a pas produit de .deb"; }
echo "-- $(basename "$paquet") : $(du -h "$paquet" | cut -f1), $(dpkg-deb -c "$paquet" | grep -vc '/$') fichiers"
echo "   Depends: $(dpkg-deb -f "$paquet" Depends)"

racine="$travail/racine"
dpkg-deb -x "$paquet" "$racine"
usr="$racine/usr"

attendus=(bin/tarvo bin/tarvo-lot
          share/tarvo/exemples/LeGue_horaire.dsc
          share/tarvo/exemples/LeGue_2024-06-01.csv
          share/tarvo/exemples/LeGue_2024-06-05.csv
          share/tarvo/exemples/LeGue_2024-06-10.csv
          share/applications/tarvo.desktop
          share/icons/hicolor/scalable/apps/tarvo.svg)
# The manual is in the package whenever the build produced it.
[ -f "$construction/app/Pelmo_manuel.pdf" ] &&
    attendus+=(share/doc/tarvo/Pelmo_manuel.pdf share/doc/tarvo/Pelmo_manuel_versions.pdf)
manquants=()
for f in "${attendus[@]}"; do
    [ -s "$usr/$f" ] || manquants+=("usr/$f")
done
[ ${#manquants[@]} -eq 0 ] || echouer "fichiers absents ou vides : ${manquants[*]}"
for b in tarvo tarvo-lot; do
    [ -x "$usr/bin/$b" ] || echouer "usr/bin/$b n'est pas exécutable"
    ! ldd "$usr/bin/$b" | grep 'not found' || echouer "usr/bin/$b : bibliothèque introuvable"
done
if [ -f "$usr/share/doc/tarvo/Pelmo_manuel.pdf" ]; then
    [ "$(head -c 5 "$usr/share/doc/tarvo/Pelmo_manuel.pdf")" = "%PDF-" ] ||
        echouer "le manuel n'est pas un PDF"
else
    echo "   (manuel pas encore construit : non vérifié)"
fi

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate --no-hints "$usr/share/applications/tarvo.desktop" ||
        echouer "tarvo.desktop invalide"
else
    echo "   (desktop-file-validate absent : tarvo.desktop non validé)"
fi
python3 - "$usr/share/icons/hicolor/scalable/apps/tarvo.svg" <<'EOF' || echouer "icône SVG invalide"
import sys, xml.etree.ElementTree as ET
racine = ET.parse(sys.argv[1]).getroot()
assert racine.tag == "{http://www.w3.org/2000/svg}svg", racine.tag
assert racine.get("viewBox") == "0 0 64 64", racine.get("viewBox")
EOF

# Both programs keep their .prm files where an installed program would: not beside themselves.
export TARVO_DOSSIER_PROGRAMME="$travail/programme"
mkdir -p "$TARVO_DOSSIER_PROGRAMME" "$travail/sortie"
cd "$travail"

"$usr/bin/tarvo-lot" --help >"$travail/aide.txt" || echouer "tarvo-lot --help a échoué"
grep -q -- '--sortie' "$travail/aide.txt" || echouer "tarvo-lot --help ne liste pas --sortie"

# The example's directories are relative to its parent, as the window takes them.
cd "$usr/share/tarvo"
resultat=$("$usr/bin/tarvo-lot" --silencieux --donnees exemples --sortie "$travail/sortie" \
           exemples/LeGue_horaire.dsc 2>"$travail/lot.log") ||
    { cat "$travail/lot.log" >&2; echouer "tarvo-lot n'a pas converti l'exemple installé"; }
cd "$travail"
[ -s "$resultat" ] || echouer "résultat de l'exemple absent : $resultat"
echo "-- exemple installé converti : $(basename "$resultat"), $(wc -l <"$resultat") lignes"

statut=0
QT_QPA_PLATFORM=offscreen timeout 2 "$usr/bin/tarvo" >"$travail/tarvo.log" 2>&1 || statut=$?
# 124: still running when the timeout stopped it, as a window should be.
[ "$statut" -eq 124 ] || { cat "$travail/tarvo.log" >&2; echouer "tarvo s'est arrêté (code $statut)"; }
echo "-- tarvo installé : fenêtre ouverte pendant 2 s"
echo "-- paquet vérifié"

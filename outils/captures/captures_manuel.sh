#!/bin/sh
# The manual's pictures, taken from the window itself under a virtual X display, so that they
# follow the window as it changes. Any failure fails the build: a manual without its pictures
# would silently show nothing where the text says "voici la fenêtre".
#   captures_manuel.sh SORTIE tarvo-captures tarvo-captures-graphique
set -u
sortie="$1"
ecran="$2"
graphique="$3"

echec() {
    echo "captures du manuel : $*" >&2
    exit 1
}
command -v xvfb-run >/dev/null ||
    echec "xvfb-run introuvable (paquet xvfb, installé par outils/dependances.sh) : le manuel ne peut pas être fait sans ses images"

travail=$(mktemp -d) || echec "mktemp a échoué"
trap 'rm -rf "$travail"' EXIT
mkdir -p "$travail/programme"
rm -rf "$sortie"
mkdir -p "$sortie" || echec "impossible de créer $sortie"

export TARVO_DOSSIER_PROGRAMME="$travail/programme"
export QT_QPA_PLATFORM=xcb
# Under the sanitizers, what Qt keeps until exit is not the tool's leak.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Two builds may pick the same free display at the same moment: try again.
essai=1
while :; do
    # The tools copy the example below /tmp, whose paths the pictures show: two builds at
    # once take turns.
    if flock /tmp/tarvo-captures-manuel.verrou xvfb-run -a -s "-screen 0 1280x800x24" \
        sh -c '"$1" "$3" 1280 800 && "$2" "$3"' captures "$ecran" "$graphique" "$sortie" \
        >"$travail/journal" 2>&1; then
        break
    fi
    if [ "$essai" -ge 3 ]; then
        cat "$travail/journal" >&2
        echec "le serveur X virtuel ou un outil de capture a échoué 3 fois"
    fi
    essai=$((essai + 1))
    sleep 2
done

manque=0
for image in 1-demarrage 2-apres-listage 2b-liste-horodatee 3-apres-traitement 4-repertoires \
    5-message-perso exemple-0-resultat exemple-1-cinq-graphes exemple-3-zoom-graphe-2 \
    exemple-4-graphe-seul exemple-5-vue-3d; do
    [ -s "$sortie/$image.png" ] || { echo "image absente : $sortie/$image.png" >&2; manque=1; }
done
[ "$manque" -eq 0 ] || { cat "$travail/journal" >&2; echec "images manquantes"; }
exit 0

#!/bin/sh
# Without xvfb-run, or with a virtual display that cannot start, the manual's pictures fail
# with a message and leave no picture behind: the manual is never made without them.
#   verifier_captures_sans_ecran.sh outils/captures/captures_manuel.sh
set -u
script="$1"
bac=$(mktemp -d)
trap 'rm -rf "$bac"' EXIT
mkdir "$bac/bin"
for outil in sh mktemp rm mkdir cat sleep flock; do
    ln -s "$(command -v "$outil")" "$bac/bin/$outil"
done
echec=0
verifier() {  # case, expected text, then the run
    cas="$1"
    attendu="$2"
    if PATH="$bac/bin" sh "$script" "$bac/images" /bin/true /bin/true >"$bac/sortie" 2>&1; then
        echo "$cas : les captures réussissent sans écran"
        echec=1
    fi
    grep -qF -- "$attendu" "$bac/sortie" || { echo "$cas : message attendu « $attendu » :"; cat "$bac/sortie"; echec=1; }
    if [ -n "$(ls -A "$bac/images" 2>/dev/null)" ]; then
        echo "$cas : des images sont restées"
        echec=1
    fi
}
verifier "sans xvfb-run" "xvfb-run introuvable"
# A display that never starts, as xvfb-run reports it.
printf '#!/bin/sh\necho "xvfb-run: error: Xvfb failed to start" >&2\nexit 1\n' >"$bac/bin/xvfb-run"
chmod +x "$bac/bin/xvfb-run"
verifier "écran qui ne démarre pas" "Xvfb failed to start"
exit $echec

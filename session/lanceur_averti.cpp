#include "session/lanceur_averti.h"

#include <utility>

#include "formats/cp1252.h"
#include "formats/texte.h"

namespace tarvo {

LanceurAverti::LanceurAverti(Lanceur& lanceur, std::function<std::string()> editeur,
                             std::function<void(const std::string&)> signaler)
    : lanceur_(lanceur), editeur_(std::move(editeur)), signaler_(std::move(signaler)) {}

bool LanceurAverti::ouvrir_dans_editeur(std::string_view chemin) {
    const std::string reglage(rogner(editeur_ ? editeur_() : std::string()));
    if (!reglage.empty() && lanceur_.ouvrir_dans_editeur(chemin)) return true;
    const bool ouvert = lanceur_.ouvrir_document(chemin);
    if (!signaler_) return ouvert;
    // A box per file would stop every command that shows one: the log says it once.
    if (!reglage.empty() && reglage != deja_signale_) {
        deja_signale_ = reglage;
        signaler_(fr("éditeur <") + reglage +
                  fr("> introuvable : fichiers ouverts avec l'application du bureau"));
    }
    if (!ouvert) signaler_(fr("aucune application n'a ouvert <") + std::string(chemin) + ">");
    return ouvert;
}

}  // namespace tarvo

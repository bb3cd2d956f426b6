#include "formats/journal_suivi.h"

namespace tarvo {

bool JournalSuivi::repetee(std::string_view texte) const {
    return lignes_.size() >= 2 && lignes_.back() == texte;
}

void JournalSuivi::ajouter_suivi(std::string_view texte) {
    if (repetee(texte)) return;
    lignes_.emplace_back(texte);
}

void JournalSuivi::ajouter_probleme(ProblemeSuivi probleme, std::string_view texte) {
    if (repetee(texte)) return;
    problemes_.push_back({lignes_.size(), probleme});
    lignes_.emplace_back(texte);
}

}  // namespace tarvo

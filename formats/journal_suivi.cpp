#include "formats/journal_suivi.h"

namespace tarvo {

void JournalSuivi::ajouter_suivi(std::string_view texte) {
    if (lignes_.size() >= 2 && lignes_.back() == texte) return;
    lignes_.emplace_back(texte);
}

}  // namespace tarvo

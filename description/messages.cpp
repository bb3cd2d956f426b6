#include "description/messages.h"

#include "formats/cp1252.h"

namespace tarvo {

std::string texte_option_repertoires_non_traitee() {
    return fr("option non traitée...");
}

std::string texte_effacer_repertoires_recents() {
    return fr("  Effacer la liste des répertoires ?\n\n");
}

}  // namespace tarvo

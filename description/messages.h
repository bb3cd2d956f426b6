// The fixed texts of the boxes of the description files and working directories, in one place; a
// text assembled from the data is built where its pieces are.
#pragma once

#include <string>

namespace tarvo {

std::string texte_option_repertoires_non_traitee();
std::string texte_effacer_repertoires_recents();

}  // namespace tarvo

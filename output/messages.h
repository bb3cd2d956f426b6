// The fixed texts of the boxes of the results and their saving, in one place; a text
// assembled from the data is built where its pieces are.
#pragma once

#include <string>

namespace tarvo {

std::string texte_valeurs_copiees();

}  // namespace tarvo

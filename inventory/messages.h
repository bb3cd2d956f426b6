// The fixed texts of the boxes of the file table and its listing, in one place; a text
// assembled from the data is built where its pieces are.
#pragma once

#include <string>

namespace tarvo {

std::string texte_effacer_lignes_vers_le_haut();
std::string texte_effacer_lignes_vers_le_bas();
std::string texte_effacer_lignes_hors_periode();
std::string texte_ligne_intitules_nulle();

}  // namespace tarvo

// The fixed texts of the boxes of the grid and extraction, in one place; a text
// assembled from the data is built where its pieces are.
#pragma once

#include <string>

namespace tarvo {

std::string texte_test_strict_propose();
std::string texte_pas_nul_liste_horodatee();
std::string texte_grille_plus_de_32000_lignes();
std::string texte_colonne_date_a_verifier();

}  // namespace tarvo

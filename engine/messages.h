// The fixed texts of the boxes of the grid and extraction, in one place; a text
// assembled from the data is built where its pieces are.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

std::string texte_test_strict_propose();
std::string texte_pas_nul_liste_horodatee();
std::string texte_grille_plus_de_32000_lignes();
std::string texte_colonne_date_a_verifier();
// A zone field ("fuseau des mesures") whose text is neither an offset nor a known zone.
std::string texte_fuseau_inconnu(std::string_view champ, std::string_view valeur);

}  // namespace tarvo

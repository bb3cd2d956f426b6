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

// The refusals of a grid or a run that would hold more than memoire_max_rangs: `lignes` the
// rows of the result, `colonnes` its columns (0 when the grid is refused before they are
// known, and the memory is the least the run would take).
std::string texte_grille_trop_grande(long long lignes, unsigned long long octets);
std::string texte_traitement_trop_grand(long long lignes, int colonnes, unsigned long long octets);

}  // namespace tarvo

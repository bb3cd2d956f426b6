// The fixed texts of the boxes of the main window's commands, in one place; a text
// assembled from the data is built where its pieces are.
#pragma once

#include <string>

namespace tarvo {

std::string texte_dossier_descriptions_d_abord();
std::string texte_nouvelle_description_sans_dossier();
std::string texte_nouvelle_description();
std::string texte_choisir_repertoire_donnees();
std::string texte_presse_papier_vide();
std::string texte_quitter();
std::string texte_lister_d_abord();
std::string texte_traitement_plus_de_32000_lignes();
std::string texte_choisir_max_pour_cumuls();
std::string texte_pas_de_donnees_a_enregistrer();
std::string texte_stopper_traitement();

}  // namespace tarvo

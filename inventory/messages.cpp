#include "inventory/messages.h"

#include "formats/cp1252.h"

namespace tarvo {

std::string texte_effacer_lignes_vers_le_haut() {
    return "effacer toutes les lignes vers le haut, courante comprise ?";
}

std::string texte_effacer_lignes_vers_le_bas() {
    return "effacer toutes les lignes vers le bas, courante comprise ?";
}

std::string texte_effacer_lignes_hors_periode() {
    return fr("effacer les lignes hors intervalle = période ciblée ?");
}

std::string texte_ligne_intitules_nulle() {
    return fr(
        "??? le n° de ligne des intitulés de colonnes semble être nul\n\n => "
        "sélectionner l'option sans intitulé de colonne ...\n\n   le fichier sera "
        "ouvert dans le blocnote");
}

}  // namespace tarvo

#include "session/messages.h"

#include "formats/cp1252.h"

namespace tarvo {

std::string texte_dossier_descriptions_d_abord() {
    return fr(" D'abord choisir un répertoire des fichiers de description \n");
}

std::string texte_nouvelle_description_sans_dossier() {
    return " Nouveau fichier de description \n choisir d'abord le dossier des descriptions...";
}

std::string texte_nouvelle_description() {
    return fr(
        "Nouvelle description ? \n\n ( Valeurs par défaut, seuls les 3 "
        "répertoires sont conservés )     ");
}

std::string texte_choisir_repertoire_donnees() {
    return fr(
        " Choisir le répertoire des données \n  et ouvrir un exemplaire de "
        "fichier à traiter ...");
}

std::string texte_presse_papier_vide() {
    return fr("le presse-papier est vide! ...");
}

std::string texte_quitter() {
    return "Quitter  ?\n";
}

std::string texte_lister_d_abord() {
    return fr(" Il faut d'abord Lister des fichiers de données...");
}

std::string texte_traitement_plus_de_32000_lignes() {
    return fr("\n\nLe nombre de lignes à générer est supérieur à 32000     .\n\n   continuer ? ");
}

std::string texte_choisir_max_pour_cumuls() {
    return " Il faudrait choisir l'option <max des n  mesures OK > \n pour bien "
           "traiter une valeur croissante (cumuls)\n\n   annuler pour modifier ? ";
}

std::string texte_pas_de_donnees_a_enregistrer() {
    return fr(" pas de données à enregistrer...");
}

std::string texte_stopper_traitement() {
    return "Stopper le traitement  ?\n";
}

}  // namespace tarvo

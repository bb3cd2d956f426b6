#include "engine/messages.h"

#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/texte.h"

namespace tarvo {

std::string texte_test_strict_propose() {
    return fr(
        " le test sur les dates devrait être (inf strict)\n\n   [date [mesure]  <    "
        "[horodatées] (inf strict)]\n\n   corriger cette option (Oui / Non)");
}

std::string texte_pas_nul_liste_horodatee() {
    return fr(" le pas est à zéro\n\n   corriger cette valeur et relancer ...");
}

std::string texte_grille_plus_de_32000_lignes() {
    return fr(
        "\n\n   Le nombre de lignes à générer est supérieur à 32000       "
        ".\n\n   continuer ? ");
}

std::string texte_colonne_date_a_verifier() {
    return fr(
        "Problème de date : vérifier le n° de la colonne Date \n\n "
        "Annuler ce traitement ?");
}

std::string texte_fuseau_inconnu(std::string_view champ, std::string_view valeur) {
    return fr(" le ") + std::string(champ) + " <" + std::string(valeur) +
           fr("> n'est ni un décalage (UTC, UTC+01:00, UTC-07:00) ni un fuseau connu du "
              "système (Europe/Paris)\n\n   corriger la description avant de traiter");
}

std::string texte_grille_trop_grande(long long lignes, unsigned long long octets) {
    return fr(" la liste horodatée compterait ") + format_entier_groupe(lignes) +
           fr(" lignes : le traitement demanderait au moins ") + texte_go(octets) +
           fr(" de mémoire\n\n   la limite est de ") + texte_go(memoire_max_rangs) +
           fr("\n\n   choisir une période plus courte ou un pas plus grand ...");
}

std::string texte_traitement_trop_grand(long long lignes, int colonnes, unsigned long long octets) {
    return fr(" le résultat compterait ") + format_entier_groupe(lignes) + fr(" lignes de ") +
           format_entier_groupe(colonnes) + fr(" colonnes : le traitement demanderait jusqu'à ") +
           texte_go(octets) + fr(" de mémoire\n\n   la limite est de ") +
           texte_go(memoire_max_rangs) +
           fr("\n\n   choisir une période plus courte, un pas plus grand ou moins de colonnes "
              "à extraire ...");
}

}  // namespace tarvo

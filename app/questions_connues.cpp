#include "app/questions_connues.h"

#include <algorithm>
#include <array>

namespace tarvo {

namespace {

constexpr unsigned b1 = 1U << 1U, b2 = 1U << 2U, b3 = 1U << 3U;

// Confirmations of the user's own settings proceed; proposals to change the settings are
// declined; questions that offer to abort because the data look wrong abort the run.
constexpr auto questions = std::to_array<QuestionConnue>({
    // --- confirmations of the user's own settings: proceed
    {IdMessage::grille_plus_de_32000_lignes, 1, b2},
    {IdMessage::traitement_plus_de_32000_lignes, 1, b2},
    {IdMessage::decalage_non_nul, 1, b2},
    {IdMessage::derive_non_nulle, 1, b2},
    {IdMessage::creer_liste_horodatee, 1, b2 | b3},
    {IdMessage::prelecture_plus_de_100_fichiers, 1, b2},
    {IdMessage::ecraser_resultat, 1, 0},
    {IdMessage::periode_hors_des_fichiers, 1, 0},
    // --- an existing result that a partial or empty one would replace: kept
    {IdMessage::ecraser_resultat_partiel, 2, 0},
    {IdMessage::ecraser_resultat_sans_valeur, 2, 0},
    // --- proposals to change the user's settings: declined
    {IdMessage::choisir_max_pour_cumuls, 2, b1},
    {IdMessage::test_strict_propose, 2, 0},
    {IdMessage::par_jour_heures_non_nulles, 2, b3},
    {IdMessage::par_mois_jours_non_premiers, 2, b3},
    {IdMessage::par_mois_heures_non_nulles, 2, b3},
    {IdMessage::par_annee_dates_non_premier_janvier, 2, b3},
    {IdMessage::exemplaire_ligne_semble_intitules, 2, b1},
    {IdMessage::ligne_semble_intitules, 2, b1},
    {IdMessage::ligne_semble_pas_intitules, 2, b1},
    {IdMessage::exemplaire_ligne_semble_pas_intitules, 2, b3},
    {IdMessage::exemplaire_champs_guillemets_proposes, 2, 0},
    {IdMessage::intitules_semblent_donnees, 2, b3},
    {IdMessage::ecraser_intitules_originaux, 2, 0},
    {IdMessage::changer_repertoires_description, 2, 0},
    {IdMessage::changer_trois_repertoires, 2, 0},
    {IdMessage::trois_repertoires_absents, 2, 0},
    {IdMessage::deux_repertoires_absents, 2, 0},
    {IdMessage::garder_ou_creer_export, 1, 0},
    {IdMessage::verifier_lecteur_repertoires, 2, 0},
    {IdMessage::stopper_traitement, 2, 0},
    // --- the data look wrong: abort
    {IdMessage::date_mesure_vide, 2, b1 | b2},
    {IdMessage::date_premiere_mesure_illisible, 1, b1},
    {IdMessage::nb_colonnes_intitules_donnees_different, 2, b1 | b2},
    {IdMessage::donnees_semblent_intitules, 1, b1},
    {IdMessage::colonne_date_a_verifier, 1, b1},
    {IdMessage::indice_colonnes_a_extraire, 1, b1},
    // --- one-button boxes: their only button, the command stops by itself
    {IdMessage::une_seule_colonne, 1, 0},
    {IdMessage::presse_papier_trop_court, 1, 0},
});

}  // namespace

const QuestionConnue* question_connue(IdMessage id) {
    const auto* q = std::find_if(questions.begin(), questions.end(),
                                 [id](const QuestionConnue& c) { return c.id == id; });
    return q == questions.end() ? nullptr : q;
}

int nb_boutons(Boutons boutons) {
    switch (boutons) {
        case Boutons::oui_non_annuler:
            return 3;
        case Boutons::oui_non:
        case Boutons::oui_annuler:
            return 2;
        case Boutons::ok:
            return 1;
    }
    return 1;
}

Reponse reponse_du_bouton(Boutons boutons, int numero) {
    switch (boutons) {
        case Boutons::oui_non:
            return numero == 1 ? Reponse::oui : Reponse::non;
        case Boutons::oui_non_annuler:
            return numero == 1 ? Reponse::oui : numero == 2 ? Reponse::non : Reponse::annuler;
        case Boutons::oui_annuler:
            return numero == 1 ? Reponse::oui : Reponse::annuler;
        case Boutons::ok:
            return Reponse::ok;
    }
    return Reponse::ok;
}

std::string_view legende_bouton(Boutons boutons, int numero) {
    switch (reponse_du_bouton(boutons, numero)) {
        case Reponse::oui:
            return "Oui";
        case Reponse::non:
            return "Non";
        case Reponse::annuler:
            return "Annuler";
        case Reponse::ok:
            return "OK";
    }
    return "OK";
}

}  // namespace tarvo

#include "plateforme/doubles/dialogue_scripte.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

using Vu = DialogueScripte::Vu;
using Genre = DialogueScripte::Genre;

TEST(DialogueScripte, RepondDansLOrdreEtEnregistreChaqueBoite) {
    DialogueScripte dialogue;
    dialogue.attendre_question(Reponse::oui);
    dialogue.attendre_choix(2);
    dialogue.attendre_question(Reponse::annuler);

    dialogue.message(IdMessage::fin_traitement, "Fini");
    EXPECT_EQ(dialogue.question(IdMessage::decalage_non_nul, "continuer ?",
                                TypeMessage::avertissement, Boutons::oui_non),
              Reponse::oui);
    EXPECT_EQ(dialogue.message_perso(IdMessage::changer_repertoires_description, "Changer ?",
                                     TypeMessage::confirmation, "CHANGER", "Annuler"),
              2);
    EXPECT_EQ(dialogue.question(IdMessage::enregistrer_description, "Enregistrer ?",
                                TypeMessage::confirmation, Boutons::oui_non_annuler),
              Reponse::annuler);

    const std::vector<Vu> attendus{
        {Genre::message, "Fini", TypeMessage::information, Boutons::ok, {}},
        {Genre::question, "continuer ?", TypeMessage::avertissement, Boutons::oui_non, {}},
        {Genre::message_perso,
         "Changer ?",
         TypeMessage::confirmation,
         std::nullopt,
         {"CHANGER", "Annuler"}},
        {Genre::question, "Enregistrer ?", TypeMessage::confirmation, Boutons::oui_non_annuler, {}},
    };
    EXPECT_EQ(dialogue.vus, attendus);
    EXPECT_EQ(dialogue.ids,
              (std::vector<IdMessage>{IdMessage::fin_traitement, IdMessage::decalage_non_nul,
                                      IdMessage::changer_repertoires_description,
                                      IdMessage::enregistrer_description}));
}

TEST(DialogueScripte, UneQuestionImprevueEchoueEtRendLeRefus) {
    DialogueScripte dialogue;
    Reponse reponse{};
    int choix = 0;

    EXPECT_NONFATAL_FAILURE(
        reponse = dialogue.question(IdMessage::stopper_traitement, "Stopper ?",
                                    TypeMessage::confirmation, Boutons::oui_non),
        "Stopper ?");
    EXPECT_EQ(reponse, Reponse::non);
    EXPECT_NONFATAL_FAILURE(
        reponse = dialogue.question(IdMessage::quitter, "Quitter ?", TypeMessage::confirmation,
                                    Boutons::oui_annuler),
        "Quitter ?");
    EXPECT_EQ(reponse, Reponse::annuler);
    EXPECT_NONFATAL_FAILURE(
        choix = dialogue.message_perso(IdMessage::trois_repertoires_absents, "Remplacer ?",
                                       TypeMessage::avertissement, "Remplacer", "Annuler"),
        "Remplacer ?");
    EXPECT_EQ(choix, 2);
    EXPECT_NONFATAL_FAILURE(
        choix = dialogue.message_perso(IdMessage::garder_ou_creer_export, "Garder ?",
                                       TypeMessage::confirmation, "GARDER", "CREER", "Annuler"),
        "Garder ?");
    EXPECT_EQ(choix, 3);
    EXPECT_EQ(dialogue.vus.size(), 4U);  // still recorded, so the test can see what was asked
}

TEST(DialogueScripte, UnScriptQueLaBoiteNePeutSuivreEchoue) {
    DialogueScripte dialogue;
    Reponse reponse{};
    int choix = 0;

    // The wrong kind of answer is used up, so the script stays aligned with the calls.
    dialogue.attendre_choix(1);
    dialogue.attendre_question(Reponse::oui);
    EXPECT_NONFATAL_FAILURE(
        reponse = dialogue.question(IdMessage::decalage_non_nul, "continuer ?",
                                    TypeMessage::avertissement, Boutons::oui_non),
        "choice 1");
    EXPECT_EQ(reponse, Reponse::non);
    EXPECT_NONFATAL_FAILURE(
        choix = dialogue.message_perso(IdMessage::changer_repertoires_description, "Changer ?",
                                       TypeMessage::confirmation, "CHANGER", "Annuler"),
        "answer oui");
    EXPECT_EQ(choix, 2);

    // Answers no user could give: a button the box does not show.
    dialogue.attendre_question(Reponse::annuler);
    EXPECT_NONFATAL_FAILURE(dialogue.question(IdMessage::decalage_non_nul, "continuer ?",
                                              TypeMessage::avertissement, Boutons::oui_non),
                            "not a button of oui/non");
    dialogue.attendre_choix(3);
    EXPECT_NONFATAL_FAILURE(
        dialogue.message_perso(IdMessage::changer_repertoires_description, "Changer ?",
                               TypeMessage::confirmation, "CHANGER", "Annuler"),
        "not a button");
    EXPECT_NONFATAL_FAILURE(dialogue.attendre_choix(4), "not 4");
}

TEST(DialogueScripte, UneReponseJamaisDemandeeEchoueALaFin) {
    EXPECT_NONFATAL_FAILURE(
        {
            DialogueScripte dialogue;
            dialogue.attendre_question(Reponse::oui);
            dialogue.attendre_question(Reponse::non);
            dialogue.question(IdMessage::quitter, "a ?", TypeMessage::confirmation,
                              Boutons::oui_non);
        },
        "answer non was queued but never asked for");
}

TEST(ProgressionScriptee, LArretArriveApresLeNombreDePassagesDemande) {
    ProgressionScriptee progression;
    progression.arreter_apres(3);
    int passes = 0;
    while (!progression.arret_demande()) {
        progression.afficher_progression("ligne", Progression::chronometre_traitement);
        progression.traiter_evenements();
        ++passes;
    }
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(progression.affichages.size(), 3U);
    EXPECT_EQ(progression.affichages.back(),
              (ProgressionScriptee::Affichage{"ligne", Progression::chronometre_traitement}));

    ProgressionScriptee sans_arret;
    for (int i = 0; i < 100; ++i) {
        sans_arret.traiter_evenements();
    }
    EXPECT_FALSE(sans_arret.arret_demande());
}

}  // namespace
}  // namespace tarvo

// The batch program's platform side, in process: the answer policy, the dialogue and the
// progress on standard error, standard input as the clipboard, and how several
// descriptions share the machine.
#include "app/plateforme_lot.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "app/questions_connues.h"
#include "app/travaux_lot.h"
#include "formats/cp1252.h"

using namespace tarvo;

namespace {

bool contient(const std::string& texte, const std::string& morceau) {
    return texte.find(morceau) != std::string::npos;
}

TEST(PressePapierEntree, Utf8ConvertiLeResteTelQuel) {
    struct Cas {
        std::string entree, attendu;
    };
    const std::vector<Cas> cas = {
        {"a;b\r\n", "a;b\r\n"},
        {"T\xC3\xA9mp;\xE2\x82\xAC", "T\xE9mp;\x80"},  // UTF-8 é and €
        {"T\xE9mp;\x80", "T\xE9mp;\x80"},              // already Windows-1252
        {"\xC3\x28", "\xC3\x28"},                      // a broken sequence: bytes kept
        {"\xE0\x80\xAF", "\xE0\x80\xAF"},              // overlong form: bytes kept
    };
    for (const auto& c : cas) {
        std::istringstream entree(c.entree);
        PressePapierEntree p(entree, false);
        EXPECT_EQ(p.lire_texte(), c.attendu) << c.entree;
        EXPECT_EQ(p.lire_texte(), c.attendu) << "read once, kept";
    }
    std::istringstream entree("x");
    EXPECT_EQ(PressePapierEntree(entree, true).lire_texte(), "") << "a terminal is never read";
}

// A quoted value keeps 200 whole characters: a multi-byte one is never cut in half.
TEST(CiterUtf8, DeuxCentsCaracteresEntiers) {
    struct Cas {
        std::string valeur, attendu;
    };
    std::string e300;
    for (int i = 0; i < 300; ++i) e300 += "é";
    const std::vector<Cas> cas = {
        {"", ""},
        {std::string(200, 'a'), std::string(200, 'a')},
        {std::string(201, 'a'), std::string(200, 'a') + "…"},
        {e300, e300.substr(0, 400) + "…"},
        {"a" + e300, "a" + e300.substr(0, 398) + "…"},
    };
    for (const Cas& c : cas) EXPECT_EQ(citer_utf8(c.valeur), c.attendu) << c.valeur.size();
}

TEST(TravauxLot, LePireStatutEtLesFilsDeChacun) {
    struct Statuts {
        int a, b, pire;
    };
    // 2 > 1 > 3 > 4 > 0, whichever comes first.
    for (const Statuts& c : std::vector<Statuts>{{0, 0, 0},
                                                 {0, 4, 4},
                                                 {4, 3, 3},
                                                 {3, 1, 1},
                                                 {1, 2, 2},
                                                 {2, 0, 2},
                                                 {1, 3, 1},
                                                 {3, 4, 3},
                                                 {4, 0, 4}}) {
        EXPECT_EQ(pire_statut(c.a, c.b), c.pire) << c.a << " " << c.b;
        EXPECT_EQ(pire_statut(c.b, c.a), c.pire) << c.b << " " << c.a;
    }
    struct Fils {
        int machine, travaux, descriptions, fils;
    };
    for (const Fils& c : std::vector<Fils>{{8, 3, 10, 2},
                                           {8, 8, 2, 4},
                                           {2, 4, 4, 1},
                                           {1, 1, 5, 1},
                                           {16, 16, 16, 1},
                                           {16, 1, 9, 16}})
        EXPECT_EQ(fils_par_travail(c.machine, c.travaux, c.descriptions), c.fils)
            << c.machine << " " << c.travaux << " " << c.descriptions;
}

TEST(DialogueLot, UneQuestionImprevueArreteSansResultat) {
    std::ostringstream erreurs;
    DialogueLot d(erreurs, false, false);
    EXPECT_EQ(d.question(IdMessage::quitter, fr("Remplacer les données ?\n\n"),
                         TypeMessage::confirmation, Boutons::oui_non_annuler),
              Reponse::annuler);
    EXPECT_TRUE(d.abandon());
    EXPECT_EQ(erreurs.str(),
              "? Remplacer les données ?\n> Annuler\n"
              "question imprévue : le traitement est abandonné\n");

    std::ostringstream tout_oui;
    DialogueLot oui(tout_oui, true, false);
    EXPECT_EQ(oui.question(IdMessage::quitter, fr("Remplacer les données ?"),
                           TypeMessage::confirmation, Boutons::oui_non),
              Reponse::oui);
    EXPECT_EQ(
        oui.message_perso(IdMessage::par_mois_heures_non_nulles, fr("--- PAR MOIS ------------"),
                          TypeMessage::avertissement, "Corriger", "Continuer", "Annuler"),
        1);
    EXPECT_FALSE(oui.abandon());
    EXPECT_EQ(tout_oui.str(),
              "? Remplacer les données ?\n> Oui\n? --- PAR MOIS ------------\n> Corriger\n");
}

TEST(DialogueLot, LesMessagesDInformationSeTaisentEnSilence) {
    std::ostringstream erreurs;
    DialogueLot d(erreurs, false, true);
    d.message(IdMessage::fin_traitement, "fini", TypeMessage::information);
    d.message(IdMessage::dossier_inaccessible, fr("répertoire absent"), TypeMessage::erreur);
    EXPECT_EQ(erreurs.str(), "répertoire absent\n");
    EXPECT_EQ(d.nb_erreurs(), 1);
}

TEST(ProgressionLot, EtapeFichierPourcentEtTempsRestant) {
    std::ostringstream erreurs;
    ProgressionLot p(erreurs, true, [] { return 4; });
    p.afficher_progression("3- patienter ... fic-3  50%     ", Progression::chronometre_traitement);
    const std::string ligne = erreurs.str();
    EXPECT_TRUE(ligne.starts_with("\r3- traitement  fichier 3/4  [")) << ligne;
    EXPECT_TRUE(contient(ligne, "]  62%  reste ")) << ligne;
    p.effacer();
    EXPECT_TRUE(erreurs.str().ends_with("\r\033[K"));

    std::ostringstream rien;
    ProgressionLot muette(rien, false, [] { return 4; });
    muette.afficher_progression("3- patienter ... fic-1  10%     ",
                                Progression::chronometre_traitement);
    muette.effacer();
    EXPECT_TRUE(rien.str().empty());
}

TEST(QuestionsConnues, ChaqueQuestionEstReconnueParSonIdentite) {
    struct Cas {
        IdMessage id;
        int bouton;
        bool abandon_si_oui;
    };
    const std::vector<Cas> cas = {
        {IdMessage::traitement_plus_de_32000_lignes, 1, false},
        {IdMessage::derive_non_nulle, 1, false},
        {IdMessage::par_mois_jours_non_premiers, 2, false},
        {IdMessage::par_annee_dates_non_premier_janvier, 2, false},
        {IdMessage::intitules_semblent_donnees, 2, false},
        {IdMessage::ligne_semble_intitules, 2, true},
        {IdMessage::colonne_date_a_verifier, 1, true},
        {IdMessage::indice_colonnes_a_extraire, 1, true},
        {IdMessage::ecraser_resultat, 1, false},
    };
    for (const auto& c : cas) {
        const QuestionConnue* q = question_connue(c.id);
        ASSERT_NE(q, nullptr) << static_cast<int>(c.id);
        EXPECT_EQ(q->bouton, c.bouton) << static_cast<int>(c.id);
        EXPECT_EQ((q->abandons & 2U) != 0, c.abandon_si_oui) << static_cast<int>(c.id);
    }
    EXPECT_EQ(question_connue(IdMessage::nouvelle_description), nullptr);
}

// Each question the policy knows, asked with the buttons its box shows: the answer written
// and whether the run ends, without and with --oui. A question it does not know ends the run.
TEST(DialogueLot, ChaqueQuestionConnueALaReponseDeLaPolitique) {
    using L = std::vector<std::string>;
    struct Cas {
        IdMessage id;
        std::variant<Boutons, L> boutons;  // a question's, or a three-button box's captions
        std::string reponse;
        bool abandon;
        bool abandon_si_oui;
    };
    const L trois{"Corriger", "Continuer", "Annuler"}, deux{"Corriger", "Continuer"};
    const std::vector<Cas> cas = {
        {IdMessage::grille_plus_de_32000_lignes, Boutons::oui_non, "Oui", false, false},
        {IdMessage::traitement_plus_de_32000_lignes, Boutons::oui_non, "Oui", false, false},
        {IdMessage::decalage_non_nul, Boutons::oui_non, "Oui", false, false},
        {IdMessage::derive_non_nulle, Boutons::oui_non, "Oui", false, false},
        {IdMessage::creer_liste_horodatee, Boutons::oui_non_annuler, "Oui", false, false},
        {IdMessage::prelecture_plus_de_100_fichiers, Boutons::oui_annuler, "Oui", false, false},
        {IdMessage::ecraser_resultat, Boutons::oui_non, "Oui", false, false},
        {IdMessage::choisir_max_pour_cumuls, Boutons::oui_non, "Non", false, true},
        {IdMessage::test_strict_propose, Boutons::oui_non, "Non", false, false},
        {IdMessage::par_jour_heures_non_nulles, trois, "Continuer", false, false},
        {IdMessage::par_mois_jours_non_premiers, trois, "Continuer", false, false},
        {IdMessage::par_mois_heures_non_nulles, trois, "Continuer", false, false},
        {IdMessage::par_annee_dates_non_premier_janvier, trois, "Continuer", false, false},
        {IdMessage::exemplaire_ligne_semble_intitules, Boutons::oui_annuler, "Annuler", false,
         true},
        {IdMessage::ligne_semble_intitules, deux, "Continuer", false, true},
        {IdMessage::ligne_semble_pas_intitules, deux, "Continuer", false, true},
        {IdMessage::exemplaire_ligne_semble_pas_intitules, Boutons::oui_annuler, "Annuler", false,
         false},
        {IdMessage::exemplaire_champs_guillemets_proposes, Boutons::oui_non, "Non", false, false},
        {IdMessage::intitules_semblent_donnees, trois, "Continuer", false, false},
        {IdMessage::ecraser_intitules_originaux, Boutons::oui_non, "Non", false, false},
        {IdMessage::changer_repertoires_description, L{"CHANGER", "Annuler"}, "Annuler", false,
         false},
        {IdMessage::changer_trois_repertoires, L{"CHANGER", "Annuler"}, "Annuler", false, false},
        {IdMessage::trois_repertoires_absents, L{"Remplacer", "Annuler"}, "Annuler", false, false},
        {IdMessage::deux_repertoires_absents, L{"REMPLACER", "Annuler"}, "Annuler", false, false},
        {IdMessage::garder_ou_creer_export, L{"GARDER", fr("CRÉER /EXPORT"), "Annuler"}, "GARDER",
         false, false},
        {IdMessage::verifier_lecteur_repertoires, Boutons::oui_non, "Non", false, false},
        {IdMessage::stopper_traitement, Boutons::oui_non, "Non", false, false},
        {IdMessage::date_mesure_vide, Boutons::oui_annuler, "Annuler", true, true},
        {IdMessage::date_premiere_mesure_illisible, Boutons::oui_non, "Oui", true, true},
        {IdMessage::nb_colonnes_intitules_donnees_different, L{"Oui", "OK"}, "OK", true, true},
        {IdMessage::donnees_semblent_intitules, Boutons::oui_non, "Oui", true, true},
        {IdMessage::colonne_date_a_verifier, Boutons::oui_non, "Oui", true, true},
        {IdMessage::indice_colonnes_a_extraire, Boutons::oui_non, "Oui", true, true},
        {IdMessage::une_seule_colonne, L{"Oui"}, "Oui", false, false},
        {IdMessage::presse_papier_trop_court, L{"Annuler"}, "Annuler", false, false},
        // Known to no entry: the last button, and the run ends.
        {IdMessage::utiliser_derniere_description, Boutons::oui_non, "Non", true, false},
        {IdMessage::exemplaire_separateur_propose, Boutons::oui_non, "Non", true, false},
        {IdMessage::enregistrer_description, Boutons::oui_non_annuler, "Annuler", true, false},
        {IdMessage::utiliser_ou_editer_exemplaire, L{"Utiliser tels quels", "Editer et adapter"},
         "Editer et adapter", true, false},
    };
    for (const auto& c : cas) {
        for (const bool oui : {false, true}) {
            std::ostringstream erreurs;
            DialogueLot d(erreurs, oui, true);
            if (const auto* b = std::get_if<Boutons>(&c.boutons)) {
                d.question(c.id, "?", TypeMessage::avertissement, *b);
            } else {
                const L& l = std::get<L>(c.boutons);
                d.message_perso(c.id, "?", TypeMessage::avertissement, l[0],
                                l.size() > 1 ? l[1] : "", l.size() > 2 ? l[2] : "");
            }
            const std::string premier =
                std::holds_alternative<Boutons>(c.boutons)
                    ? std::string(legende_bouton(std::get<Boutons>(c.boutons), 1))
                    : std::get<L>(c.boutons)[0];
            const std::string& attendue = oui ? premier : c.reponse;
            EXPECT_TRUE(contient(erreurs.str(), "> " + cp1252_vers_utf8(attendue) + "\n"))
                << static_cast<int>(c.id) << (oui ? " --oui\n" : "\n") << erreurs.str();
            EXPECT_EQ(d.abandon(), oui ? c.abandon_si_oui : c.abandon)
                << static_cast<int>(c.id) << (oui ? " --oui" : "");
        }
    }
}

}  // namespace

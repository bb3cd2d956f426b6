#include "engine/grille.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {

void PrintTo(const ResumeGrille& r, std::ostream* os) {
    *os << '"' << r.texte << "\" couleur " << static_cast<int>(r.couleur);
}

namespace {

using Vu = DialogueScripte::Vu;
using Genre = DialogueScripte::Genre;
using Reponses = std::vector<std::variant<Reponse, int>>;

// "hh:mn:ss" as the fraction of a day a time picker holds.
double heure(const std::string& t) {
    return (std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 +
            std::stoi(t.substr(6, 2))) /
           86400.0;
}

double date(const std::string& t) {
    JournalSuivi journal;
    std::string canonique;
    return texte_vers_date_heure(t, canonique, journal);
}

ParametresGrille horaire(std::string deb, std::string fin, const std::string& pas) {
    return {std::move(deb), std::move(fin), heure(pas), 1, unite_hms, 0};
}

ParametresGrille calendrier(std::string deb, std::string fin, int unite, int n, int strict = 1) {
    return {std::move(deb), std::move(fin), 0.0, n, unite, strict};
}

void scripter(DialogueScripte& dialogue, const Reponses& reponses) {
    for (const auto& r : reponses) {
        if (const auto* q = std::get_if<Reponse>(&r))
            dialogue.attendre_question(*q);
        else
            dialogue.attendre_choix(std::get<int>(r));
    }
}

Vu erreur(const std::string& texte) {
    return {Genre::message, fr(texte), TypeMessage::erreur, Boutons::ok, {}};
}
Vu question(const std::string& texte, TypeMessage type, Boutons boutons) {
    return {Genre::question, fr(texte), type, boutons, {}};
}
Vu choix(const std::string& texte) {
    return {Genre::message_perso,
            fr(texte),
            TypeMessage::avertissement,
            std::nullopt,
            {"Corriger", "Continuer", "Annuler"}};
}
const Vu inf_strict = question(
    " le test sur les dates devrait être (inf strict)\n\n   [date [mesure]  <    [horodatées] "
    "(inf strict)]\n\n   corriger cette option (Oui / Non)",
    TypeMessage::avertissement, Boutons::oui_non);

// Every count shown before and after the build (summary, question, log, both labels) is
// the rows the result holds: the grid's rows after the one before the start.
TEST(ConstruireGrille, UnSeulCompteDeLignes) {
    struct Cas {
        ParametresGrille p;
        long long lignes;
        long long jours;  // from the first row to the last
    };
    const std::vector<Cas> cas = {
        {horaire("01/06/2024 00:00:00", "15/06/2024 00:00:00", "01:00:00"), 337, 14},
        {horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"), 35, 1},
        {horaire("07/11/2021 00:00:00", "08/11/2021 10:20:00", "01:00:00"), 35, 1},
        {horaire("07/11/2021 00:00:00", "08/11/2021 09:40:00", "01:00:00"), 34, 1},
        {horaire("07/11/2021 00:00:00", "07/11/2021 00:03:00", "00:01:00"), 4, 0},
        {horaire("07/11/2021 07:00:13", "07/11/2021 07:02:13", "00:01:00"), 3, 0},
        // The last row (21:00) is short of the end's day.
        {horaire("07/11/2021 00:00:00", "08/11/2021 03:00:00", "07:00:00"), 4, 0},
        {horaire("01/01/2023 00:00:00", "01/01/2023 01:00:00", "00:07:00"), 9, 0},
        {calendrier("01/01/2023 00:00:00", "05/01/2023 00:00:00", unite_jour, 1), 5, 4},
        {calendrier("01/01/2023 00:00:00", "01/12/2023 00:00:00", unite_mois, 1), 12, 334},
        {calendrier("01/01/2023 00:00:00", "01/12/2023 00:00:00", unite_mois, 5), 3, 304},
        {calendrier("01/01/2021 00:00:00", "01/01/2023 00:00:00", unite_annee, 1), 3, 730},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.p.Label_temps_deb + " -> " + c.p.Label_temps_fin);
        const std::string n = std::to_string(c.lignes);
        const std::string jours =
            c.jours > 1 ? std::to_string(c.jours) + " jours" : std::to_string(c.jours) + " jour";
        const std::string suffixe = c.jours > 0 ? " => " + jours : "";
        JournalSuivi journal;
        EXPECT_EQ(resume_grille(c.p, journal).texte, n + suffixe);

        ParametresGrille p = c.p;
        DialogueScripte dialogue;
        dialogue.attendre_question(Reponse::oui);
        ProgressionScriptee progression;
        const Grille g = creer_liste_horodatee(p, dialogue, progression, journal);
        ASSERT_EQ(g.etat, EtatGrille::construite);
        ASSERT_FALSE(dialogue.vus.empty());
        EXPECT_NE(dialogue.vus[0].texte.find(" => " + n + " dates" + suffixe + "\n"),
                  std::string::npos)
            << dialogue.vus[0].texte;
        EXPECT_EQ(static_cast<long long>(g.items.size()), c.lignes + 2);  // titles, row 0
        EXPECT_EQ(g.Label_nr_final, n);
        EXPECT_EQ(g.resume.texte, n + " => " + jours);
        const auto& lignes = journal.lignes();
        EXPECT_NE(std::find(lignes.begin(), lignes.end(), "nb dates = " + n), lignes.end());
        EXPECT_NE(
            std::find(lignes.begin(), lignes.end(), fr("à  ") + c.p.Label_temps_fin + "  " + jours),
            lignes.end());
    }
}

TEST(ResumeGrille, TexteEtCouleur) {
    struct Cas {
        ParametresGrille p;
        ResumeGrille attendu;
    };
    const std::vector<Cas> cas = {
        {horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "00:00:00"),
         {"---", CouleurResume::inchangee}},
        {horaire("07/11/2021 00:00:00", "07/11/2021 00:00:00", "01:00:00"),
         {"---", CouleurResume::inchangee}},
        {horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"),
         {"35 => 1 jour", CouleurResume::bleu}},
        {horaire("07/11/2021 00:00:00", "07/11/2021 10:00:00", "01:00:00"),
         {"11", CouleurResume::bleu}},
        {horaire("01/01/2023 00:00:00", "03/01/2023 12:00:00", "00:01:00"),
         {"3 601 => 2 jours", CouleurResume::bleu}},
        {horaire("01/01/2023 00:00:00", "16/01/2023 00:00:00", "00:00:01"),
         {"1 296 001 => 15 jours", CouleurResume::bleu}},
        {horaire("08/11/2021 10:00:00", "07/11/2021 00:00:00", "01:00:00"),
         {"-34", CouleurResume::rouge}},
        {calendrier("01/01/2023 00:00:00", "01/12/2023 00:00:00", unite_mois, 1),
         {"12 => 334 jours", CouleurResume::bleu}},
        {calendrier("01/01/2023 00:00:00", "01/01/2033 00:00:00", unite_annee, 2),
         {"6 => 3653 jours", CouleurResume::bleu}},
    };
    for (const auto& c : cas) {
        JournalSuivi journal;
        EXPECT_EQ(resume_grille(c.p, journal), c.attendu) << c.attendu.texte;
    }
}

TEST(ConstruireGrille, ChaqueUniteSousLesDeuxTestsDeDate) {
    struct Cas {
        std::string nom;
        ParametresGrille p;
        Reponses reponses;  // after the "(inf strict)" question
        std::vector<std::string> premiers;
        std::string dernier;
        long long nb;
    };
    const std::vector<Cas> cas = {
        {"heures",
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"),
         {},
         {"06/11/2021 23:00:00", "07/11/2021 00:00:00", "07/11/2021 01:00:00"},
         "08/11/2021 10:00:00",
         36},
        {"fin entre deux pas",
         horaire("07/11/2021 00:00:00", "07/11/2021 00:50:00", "00:20:00"),
         {},
         {"06/11/2021 23:40:00", "07/11/2021 00:00:00", "07/11/2021 00:20:00"},
         "07/11/2021 00:40:00",
         4},
        {"jours",
         calendrier("01/01/2023 00:00:00", "05/01/2023 00:00:00", unite_jour, 1),
         {},
         {"31/12/2022 00:00:00", "01/01/2023 00:00:00"},
         "05/01/2023 00:00:00",
         6},
        {"semaines",
         calendrier("01/12/2023 00:00:00", "31/12/2023 00:00:00", unite_jour, 7),
         {},
         {"24/11/2023 00:00:00", "01/12/2023 00:00:00", "08/12/2023 00:00:00"},
         "29/12/2023 00:00:00",
         6},
        {"mois",
         calendrier("01/01/2023 00:00:00", "01/12/2023 00:00:00", unite_mois, 1),
         {},
         {"01/12/2022 00:00:00", "01/01/2023 00:00:00", "01/02/2023 00:00:00"},
         "01/12/2023 00:00:00",
         13},
        {"trimestres",
         calendrier("01/02/2023 00:00:00", "01/02/2024 00:00:00", unite_mois, 3),
         {},
         {"01/11/2022 00:00:00", "01/02/2023 00:00:00", "01/05/2023 00:00:00"},
         "01/02/2024 00:00:00",
         6},
        // Kept on the 31st: short months end on their last day, long ones on the 31st.
        {"mois un 31",
         calendrier("31/01/2024 00:00:00", "30/06/2024 00:00:00", unite_mois, 1),
         {2},
         {"31/12/2023 00:00:00", "31/01/2024 00:00:00", "29/02/2024 00:00:00",
          "31/03/2024 00:00:00", "30/04/2024 00:00:00", "31/05/2024 00:00:00"},
         "30/06/2024 00:00:00",
         7},
        // After the leap year 2020, 365 days back from 01/01/2021 would be 02/01/2020.
        {"années",
         calendrier("01/01/2021 00:00:00", "01/01/2023 00:00:00", unite_annee, 1),
         {},
         {"01/01/2020 00:00:00", "01/01/2021 00:00:00", "01/01/2022 00:00:00"},
         "01/01/2023 00:00:00",
         4},
        {"années un 29 février",
         calendrier("29/02/2024 00:00:00", "01/03/2030 00:00:00", unite_annee, 2),
         {2},
         {"28/02/2022 00:00:00", "29/02/2024 00:00:00", "28/02/2026 00:00:00",
          "29/02/2028 00:00:00"},
         "28/02/2030 00:00:00",
         5},
    };
    for (const auto& c : cas) {
        for (const int strict : {0, 1}) {
            SCOPED_TRACE(c.nom + (strict ? " (inf strict)" : " (inf ou =)"));
            ParametresGrille p = c.p;
            p.test_strict = strict;
            const bool demande = strict == 0 && p.unite_pas != unite_hms;
            DialogueScripte dialogue;
            if (demande) dialogue.attendre_question(Reponse::oui);
            scripter(dialogue, c.reponses);
            ProgressionScriptee progression;
            JournalSuivi journal;
            const Grille g = construire_grille(p, dialogue, progression, journal);

            ASSERT_EQ(g.etat, EtatGrille::construite);
            EXPECT_EQ(p.test_strict, strict == 1 || demande ? 1 : 0);
            EXPECT_EQ(g.parametres_modifies, demande);
            ASSERT_EQ(g.nb_lignes_grille, c.nb);
            ASSERT_EQ(g.items.size(), static_cast<std::size_t>(c.nb) + 1);
            EXPECT_EQ(g.items[0], fr("_intitulés des colonnes"));
            for (std::size_t i = 0; i < c.premiers.size(); ++i)
                EXPECT_EQ(g.items[i + 1], c.premiers[i]);
            EXPECT_EQ(g.items.back(), c.dernier);
            EXPECT_EQ(g.Label_nr_final, std::to_string(c.nb - 1));
            EXPECT_EQ(g.debut_grille, g.dates.front());
            EXPECT_EQ(g.fin_grille, date(p.Label_temps_fin));
            // The engine compares measurements with these: they must be what the texts say.
            for (std::size_t i = 0; i < g.dates.size(); ++i) {
                ASSERT_EQ(g.items[i + 1].size(), 19u) << g.items[i + 1];
                ASSERT_EQ(g.dates[i], date(g.items[i + 1])) << g.items[i + 1];
            }
        }
    }
}

TEST(ConstruireGrille, DixMilleMinutesSansDerive) {
    ParametresGrille p = horaire("31/12/2023 20:00:07", "07/01/2024 18:38:07", "00:01:00");
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    JournalSuivi journal;
    const Grille g = construire_grille(p, dialogue, progression, journal);
    ASSERT_EQ(g.nb_lignes_grille, 10000);
    EXPECT_EQ(g.items[1], "31/12/2023 19:59:07");
    EXPECT_EQ(g.items.back(), "07/01/2024 18:38:07");
    for (std::size_t i = 1; i < g.items.size(); ++i) {
        ASSERT_EQ(g.items[i].substr(17), "07") << g.items[i];
        if (i > 1) {
            ASSERT_NE(g.items[i], g.items[i - 1]);
        }
    }
}

TEST(ConstruireGrille, QuestionsDansLOrdre) {
    struct Cas {
        std::string nom;
        bool bouton_2;  // through creer_liste_horodatee, else the build alone
        ParametresGrille p;
        Reponses reponses;
        std::vector<Vu> vus;
        EtatGrille etat;
        std::string apres;  // start and end once corrected; empty when kept
        long long nb;
        std::vector<IdMessage> ids;  // the boxes, in their order
    };
    const auto creer = [](const std::string& suite) {
        return question(" Créer une nouvelle liste de dates régulières ? \n\n\n du " + suite,
                        TypeMessage::confirmation, Boutons::oui_non_annuler);
    };
    const std::string heures_pas_a_zero =
        " les heures des dates de début ou de fin ne sont pas à zéro =>  00:00:00    \n\n";
    const std::string jours_pas_a_un =
        "--- PAR MOIS ------------\n\n   les dates de début et de fin ne sont pas du type  "
        "01/mm/aaaa\n\n";
    const Vu fin_avant_debut = erreur(
        " la date de fin est antérieure à la date de début\n\n  début 08/11/2021 10:00:00  \n\n "
        " fin   07/11/2021 00:00:00  \n\n   corriger cette valeur ...");
    const std::vector<Cas> cas = {
        {"pas nul",
         true,
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "00:00:00"),
         {},
         {erreur(" le pas est à zéro\n\n   <00:00:00>  \n\n   corriger cette valeur et relancer "
                 "...")},
         EtatGrille::refusee,
         "",
         0,
         {IdMessage::pas_nul}},
        {"pas nul, construction seule",
         false,
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "00:00:00"),
         {},
         {erreur(" le pas est à zéro\n\n   corriger cette valeur et relancer ...")},
         EtatGrille::refusee,
         "",
         0,
         {IdMessage::pas_nul_liste_horodatee}},
        {"fin avant début",
         true,
         horaire("08/11/2021 10:00:00", "07/11/2021 00:00:00", "01:00:00"),
         {},
         {fin_avant_debut},
         EtatGrille::refusee,
         "",
         0,
         {IdMessage::fin_avant_debut}},
        {"fin avant début, construction seule",
         false,
         horaire("08/11/2021 10:00:00", "07/11/2021 00:00:00", "01:00:00"),
         {},
         {fin_avant_debut},
         EtatGrille::refusee,
         "",
         0,
         {IdMessage::fin_avant_debut}},
        {"nouvelle liste refusée",
         true,
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"),
         {Reponse::annuler},
         {creer("07/11/2021 00:00:00\n\n au 08/11/2021 10:00:00\n\n au pas de 01:00:00\n\n => 35 "
                "dates => 1 jour\n\n")},
         EtatGrille::annulee,
         "",
         0,
         {IdMessage::creer_liste_horodatee}},
        {"par jour, heure de début corrigée",
         true,
         calendrier("07/11/2021 10:00:00", "09/11/2021 00:00:00", unite_jour, 1, 0),
         {Reponse::oui, Reponse::oui, 1},
         {creer("07/11/2021 10:00:00\n\n au 09/11/2021 00:00:00\n\n au pas de 1 jour\n\n => 2 "
                "dates => 1 jour\n\n"),
          inf_strict,
          choix("--- PAR JOUR ------------\n\n07/11/2021  10:00:00\n09/11/2021  00:00:00\n\n" +
                heures_pas_a_zero + "10:00:00 -> 00:00:00\n\n")},
         EtatGrille::construite,
         "07/11/2021 00:00:00 09/11/2021 00:00:00",
         4,
         {IdMessage::creer_liste_horodatee, IdMessage::test_strict_propose,
          IdMessage::par_jour_heures_non_nulles}},
        {"par jour, deux heures gardées",
         false,
         calendrier("07/11/2021 10:00:00", "09/11/2021 12:30:00", unite_jour, 1, 0),
         {Reponse::non, 2},
         {inf_strict,
          choix("--- PAR JOUR ------------\n\n07/11/2021  10:00:00\n09/11/2021  12:30:00\n\n" +
                heures_pas_a_zero + "10:00:00 -> 00:00:00  et  \n12:30:00 -> 00:00:00\n\n")},
         EtatGrille::construite,
         "",
         4,
         {IdMessage::test_strict_propose, IdMessage::par_jour_heures_non_nulles}},
        {"par jour, annulé",
         false,
         calendrier("07/11/2021 00:00:00", "09/11/2021 12:30:00", unite_jour, 1),
         {3},
         {choix("--- PAR JOUR ------------\n\n07/11/2021  00:00:00\n09/11/2021  12:30:00\n\n" +
                heures_pas_a_zero + "    12:30:00 -> 00:00:00\n\n")},
         EtatGrille::annulee,
         "",
         0,
         {IdMessage::par_jour_heures_non_nulles}},
        {"par mois, un seul mois",
         false,
         calendrier("15/03/2023 00:00:00", "20/03/2023 00:00:00", unite_mois, 1),
         {1},
         {choix(jours_pas_a_un + "15/03/2023  et  20/03/2023\n\n")},
         EtatGrille::construite,
         "01/03/2023 00:00:00 01/04/2023 00:00:00",
         3,
         {IdMessage::par_mois_jours_non_premiers}},
        {"par mois, décembre puis les heures",
         false,
         calendrier("01/12/2023 00:00:00", "10/12/2023 06:00:00", unite_mois, 1),
         {1, 1},
         {choix(jours_pas_a_un + "    10/12/2023\n\n"),
          choix("--- PAR MOIS ------------\n\n01/12/2023 00:00:00\n01/01/2024 06:00:00\n\n les "
                "heures des dates de début et de fin ne sont pas à zéro 00:00:00\n\n")},
         EtatGrille::construite,
         "01/12/2023 00:00:00 01/01/2024 00:00:00",
         3,
         {IdMessage::par_mois_jours_non_premiers, IdMessage::par_mois_heures_non_nulles}},
        {"par année, une seule année",
         false,
         calendrier("15/06/2023 08:00:00", "20/09/2023 00:00:00", unite_annee, 1),
         {1},
         {choix("--- PAR ANNEE ------------\n\n   les dates de début et de fin ne sont pas du "
                "type   01/01/aaaa\n\n   15/06/2023 08:00:00\n   20/09/2023 00:00:00\n\n")},
         EtatGrille::construite,
         "01/01/2023 00:00:00 01/01/2024 00:00:00",
         3,
         {IdMessage::par_annee_dates_non_premier_janvier}},
        {"plus de 32000 lignes, refusé",
         false,
         horaire("01/01/2023 00:00:00", "31/01/2023 00:00:00", "00:01:00"),
         {Reponse::non},
         {question("\n\n   Le nombre de lignes à générer est supérieur à 32000       .\n\n   "
                   "continuer ? ",
                   TypeMessage::information, Boutons::oui_non)},
         EtatGrille::annulee,
         "",
         0,
         {IdMessage::grille_plus_de_32000_lignes}},
        {"plus de 32000 lignes, accepté",
         false,
         horaire("01/01/2023 00:00:00", "31/01/2023 00:00:00", "00:01:00"),
         {Reponse::oui},
         {question("\n\n   Le nombre de lignes à générer est supérieur à 32000       .\n\n   "
                   "continuer ? ",
                   TypeMessage::information, Boutons::oui_non)},
         EtatGrille::construite,
         "",
         43202,
         {IdMessage::grille_plus_de_32000_lignes}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ParametresGrille p = c.p;
        DialogueScripte dialogue;
        scripter(dialogue, c.reponses);
        ProgressionScriptee progression;
        JournalSuivi journal;
        const Grille g = c.bouton_2 ? creer_liste_horodatee(p, dialogue, progression, journal)
                                    : construire_grille(p, dialogue, progression, journal);
        EXPECT_EQ(dialogue.vus, c.vus);
        EXPECT_EQ(dialogue.ids, c.ids);
        EXPECT_EQ(g.etat, c.etat);
        EXPECT_EQ(p.Label_temps_deb + " " + p.Label_temps_fin,
                  c.apres.empty() ? c.p.Label_temps_deb + " " + c.p.Label_temps_fin : c.apres);
        EXPECT_EQ(g.parametres_modifies, p.Label_temps_deb != c.p.Label_temps_deb ||
                                             p.Label_temps_fin != c.p.Label_temps_fin ||
                                             p.test_strict != c.p.test_strict);
        EXPECT_EQ(g.nb_lignes_grille, c.nb);
        EXPECT_EQ(g.items.size(), c.nb > 0 ? static_cast<std::size_t>(c.nb) + 1 : 0u);
        // Only what happens before the build may leave the list shown as it was.
        const bool avant_construction = c.bouton_2 && dialogue.vus.size() == 1;
        EXPECT_EQ(g.liste_effacee, !avant_construction);
    }
}

TEST(ConstruireGrille, JournalEtEtiquettes) {
    for (const bool creation : {false, true}) {
        ParametresGrille p = horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00");
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        JournalSuivi journal;
        journal.ajouter_suivi("avant");
        const Grille g = construire_grille(p, dialogue, progression, journal, creation);
        std::vector<std::string> attendu = {"avant", "", fr("       --> liste horodatée")};
        if (!creation)
            attendu.insert(attendu.end(),
                           {"", "de 07/11/2021 00:00:00", fr("à  08/11/2021 10:00:00  1 jour"),
                            "nb dates = 35", "pas = 01:00:00"});
        EXPECT_EQ(journal.lignes(), attendu);
        EXPECT_EQ(g.resume, (ResumeGrille{"35 => 1 jour", CouleurResume::bleu}));
        EXPECT_EQ(g.Label_nr_final, "35");
    }
}

TEST(ConstruireGrille, JournalEtEtiquettesSelonLUnite) {
    struct Cas {
        std::string nom;
        ParametresGrille p;
        std::string a, nb_dates, pas;  // the log lines after "de …"
        std::string label25;
        std::string nr_final;
    };
    const std::vector<Cas> cas = {
        {"demi-journées", horaire("07/11/2021 00:00:00", "09/11/2021 00:00:00", "12:00:00"),
         "à  09/11/2021 00:00:00  2 jours", "nb dates = 5", "pas = 12:00:00", "5 => 2 jours", "5"},
        {"moins d'un jour", horaire("07/11/2021 00:00:00", "07/11/2021 10:00:00", "01:00:00"),
         "à  07/11/2021 10:00:00  0 jour", "nb dates = 11", "pas = 01:00:00", "11 => 0 jour", "11"},
        {"jours", calendrier("01/01/2023 00:00:00", "05/01/2023 00:00:00", unite_jour, 1),
         "à  05/01/2023 00:00:00  4 jours", "nb dates = 5", "pas = 1 jour", "5 => 4 jours", "5"},
        {"mois", calendrier("01/03/2023 00:00:00", "01/04/2023 00:00:00", unite_mois, 1),
         "à  01/04/2023 00:00:00  31 jours", "nb dates = 2", "pas = 1 mois", "2 => 31 jours", "2"},
        {"années", calendrier("01/01/2021 00:00:00", "01/01/2023 00:00:00", unite_annee, 1),
         "à  01/01/2023 00:00:00  730 jours", "nb dates = 3", "pas = 1 année", "3 => 730 jours",
         "3"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ParametresGrille p = c.p;
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        JournalSuivi journal;
        const Grille g = construire_grille(p, dialogue, progression, journal);
        const std::vector<std::string> attendu = {"",       fr("       --> liste horodatée"),
                                                  "",       "de " + c.p.Label_temps_deb,
                                                  fr(c.a),  c.nb_dates,
                                                  fr(c.pas)};
        EXPECT_EQ(journal.lignes(), attendu);
        EXPECT_EQ(g.resume, (ResumeGrille{c.label25, CouleurResume::bleu}));
        EXPECT_EQ(g.Label_nr_final, c.nr_final);
    }
}

TEST(CreerListeHorodatee, Label25SelonLaFin) {
    struct Cas {
        std::string nom;
        ParametresGrille p;
        Reponses reponses;
        bool liste_effacee;
        ResumeGrille label25;
    };
    const std::vector<Cas> cas = {
        {"construite",
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"),
         {Reponse::oui},
         true,
         {"35 => 1 jour", CouleurResume::bleu}},
        // Once the user agreed, the count stays shown when the build is given up.
        {"annulée par jour",
         calendrier("07/11/2021 00:00:00", "09/11/2021 12:30:00", unite_jour, 1),
         {Reponse::oui, 3},
         true,
         {"3", CouleurResume::inchangee}},
        {"plus de 32000 lignes refusé",
         horaire("01/01/2023 00:00:00", "31/01/2023 00:00:00", "00:01:00"),
         {Reponse::oui, Reponse::non},
         true,
         {"43 201", CouleurResume::inchangee}},
        {"pas de nouvelle liste",
         horaire("07/11/2021 00:00:00", "08/11/2021 10:00:00", "01:00:00"),
         {Reponse::non},
         false,
         {}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ParametresGrille p = c.p;
        DialogueScripte dialogue;
        scripter(dialogue, c.reponses);
        ProgressionScriptee progression;
        JournalSuivi journal;
        const Grille g = creer_liste_horodatee(p, dialogue, progression, journal);
        EXPECT_EQ(g.liste_effacee, c.liste_effacee);
        EXPECT_EQ(g.resume, c.label25);
    }
}

// What a settings file or an odd text may hand over: never a crash, a grid when one can be
// made, the count of a calendar unit within the 1..400 of its control.
TEST(ConstruireGrille, ReglagesInhabituels) {
    struct Cas {
        std::string nom;
        ParametresGrille p;
        double pas_jours;
        std::vector<std::string> lignes;  // every row after the heading
    };
    const double une_heure = 1.0 / 24;
    const std::vector<Cas> cas = {
        {"unité inconnue: heures, sans question",
         {"07/11/2021 00:00:00", "07/11/2021 02:00:00", une_heure, 3, 7, 0},
         une_heure,
         {"06/11/2021 23:00:00", "07/11/2021 00:00:00", "07/11/2021 01:00:00",
          "07/11/2021 02:00:00"}},
        {"nombre le plus bas",
         calendrier("01/01/2023 00:00:00", "01/03/2023 00:00:00", unite_mois, -2147483647 - 1),
         30.0,
         {"01/12/2022 00:00:00", "01/01/2023 00:00:00", "01/02/2023 00:00:00",
          "01/03/2023 00:00:00"}},
        {"nombre nul",
         calendrier("01/01/2023 00:00:00", "03/01/2023 00:00:00", unite_jour, 0),
         1.0,
         {"31/12/2022 00:00:00", "01/01/2023 00:00:00", "02/01/2023 00:00:00",
          "03/01/2023 00:00:00"}},
        {"au-delà de 400 ans",
         calendrier("01/01/2000 00:00:00", "01/01/2400 00:00:00", unite_annee, 100000),
         400.0 * 365,
         {"01/01/1600 00:00:00", "01/01/2000 00:00:00", "01/01/2400 00:00:00"}},
        // The leading row falls before year 1: it is written, never parsed back.
        {"400 ans depuis l'an 1",
         calendrier("01/01/0001 00:00:00", "01/01/0801 00:00:00", unite_annee, 400),
         400.0 * 365,
         {"01/01/-399 00:00:00", "01/01/0001 00:00:00", "01/01/0401 00:00:00",
          "01/01/0801 00:00:00"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ParametresGrille p = c.p;
        EXPECT_DOUBLE_EQ(pas_jours(p), c.pas_jours);
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        JournalSuivi journal;
        const Grille g = construire_grille(p, dialogue, progression, journal);
        EXPECT_TRUE(dialogue.vus.empty());
        EXPECT_EQ(g.etat, EtatGrille::construite);
        ASSERT_FALSE(g.items.empty());
        EXPECT_EQ(std::vector<std::string>(g.items.begin() + 1, g.items.end()), c.lignes);
    }
}

// A period the grid cannot be made from is refused with an error naming the cause, before
// the question and before anything is allocated: a typo used to read as 30/12/1899.
TEST(ConstruireGrille, PeriodeRefuseeAvantToutCalcul) {
    struct Cas {
        std::string nom;
        ParametresGrille p;
        std::string extrait;
    };
    const std::vector<Cas> cas = {
        {"début illisible", horaire("3l/01/2024 00:00:00", "01/02/2024 00:00:00", "01:00:00"),
         " la date de début de la période n'est pas lisible\n\n   <3l/01/2024 00:00:00>"},
        {"fin vide", horaire("01/01/2024 00:00:00", "", "01:00:00"),
         " la date de fin de la période n'est pas lisible"},
        {"une heure sans date", horaire("08:00:00", "01/02/2024 00:00:00", "01:00:00"),
         " la date de début de la période n'est pas lisible"},
        {"deux siècles à la seconde",
         horaire("01/01/1900 00:00:00", "01/01/2100 00:00:00", "00:00:01"),
         " la liste horodatée compterait 6 311 433 601 lignes : le traitement demanderait au "
         "moins 1 710 Go de mémoire\n\n   la limite est de 2,0 Go"},
        // The least a row holds (its text, its time, a step table of three cells and the
        // result lines) is 271 bytes: 2 Go hold 7 380 073 rows with the one before the start.
        {"une ligne de trop", horaire("01/01/2024 00:00:00", "26/03/2024 10:01:12", "00:00:01"),
         "compterait 7 380 073 lignes : le traitement demanderait au moins 2,0 Go"},
        {"la dernière ligne permise",
         horaire("01/01/2024 00:00:00", "26/03/2024 10:01:11", "00:00:01"), ""},
        {"mois sur huit mille ans",
         calendrier("01/01/1900 00:00:00", "01/01/9999 00:00:00", unite_mois, 1),
         ""},  // 97 189 rows: accepted
    };
    for (const auto& c : cas) {
        for (const bool bouton_2 : {false, true}) {
            SCOPED_TRACE(c.nom + (bouton_2 ? " (bouton 2)" : ""));
            ParametresGrille p = c.p;
            DialogueScripte dialogue;
            const bool accepte = c.extrait.empty();
            if (accepte) dialogue.attendre_question(Reponse::non);
            ProgressionScriptee progression;
            JournalSuivi journal;
            const Grille g = bouton_2 ? creer_liste_horodatee(p, dialogue, progression, journal)
                                      : construire_grille(p, dialogue, progression, journal);
            ASSERT_FALSE(dialogue.vus.empty());
            const auto& vu = dialogue.vus.front();
            if (accepte) {
                EXPECT_EQ(vu.genre, Genre::question);
                EXPECT_EQ(g.etat, EtatGrille::annulee);
            } else {
                EXPECT_EQ(vu.genre, Genre::message);
                EXPECT_EQ(vu.type, TypeMessage::erreur);
                EXPECT_NE(vu.texte.find(fr(c.extrait)), std::string::npos) << vu.texte;
                EXPECT_EQ(g.etat, EtatGrille::refusee);
            }
            EXPECT_TRUE(g.items.empty());
            EXPECT_EQ(g.items.capacity(), 0u);
        }
    }
}

TEST(EtiquettesDeDate, SansDatePasDeJour) {
    for (const double d : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300})
        EXPECT_EQ(jour_semaine(d), "") << d;
}

TEST(ConstruireGrille, ProgressionEspaceeEtArret) {
    const std::string titre = fr("2- liste horodatée ... ");
    for (const bool arret : {false, true}) {
        SCOPED_TRACE(arret ? "arrêt" : "jusqu'au bout");
        ParametresGrille p = horaire("31/12/2023 20:00:07", "07/01/2024 18:38:07", "00:01:00");
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        if (arret) progression.arreter_apres(1);
        JournalSuivi journal;
        const Grille g = construire_grille(p, dialogue, progression, journal);

        ASSERT_GE(progression.affichages.size(), 2u);
        EXPECT_EQ(progression.affichages.front().message, titre + " 0%  ");
        EXPECT_EQ(progression.affichages.back().message, titre + "100%   ");
        int precedent = 0;
        for (const auto& a : progression.affichages) {
            EXPECT_EQ(a.chronometre, Progression::chronometre_grille);
            if (&a == &progression.affichages.front() || &a == &progression.affichages.back())
                continue;
            ASSERT_EQ(a.message.rfind(titre, 0), 0u) << a.message;
            const int pourcent = std::stoi(a.message.substr(titre.size()));
            EXPECT_GE(pourcent, precedent);
            EXPECT_LE(pourcent, 100);
            EXPECT_EQ(a.message.substr(a.message.size() - 4), "%   ");
            precedent = pourcent;
        }
        if (arret) {
            EXPECT_EQ(g.etat, EtatGrille::arretee);
            EXPECT_EQ(progression.nb_passes, 1);
            EXPECT_GT(g.nb_lignes_grille, 0);
            EXPECT_LT(g.nb_lignes_grille, 10000);
            EXPECT_EQ(g.items.size(), static_cast<std::size_t>(g.nb_lignes_grille) + 1);
            EXPECT_EQ(g.Label_nr_final, std::to_string(g.nb_lignes_grille - 1));
        } else {
            EXPECT_EQ(g.etat, EtatGrille::construite);
            // A pass per row would slow the build down to the pace of the window.
            EXPECT_GE(progression.nb_passes, 5);
            EXPECT_LE(progression.nb_passes, 100);
        }
    }
}

TEST(ConstruireGrille, ParJourLeTexteCourtDuPatienter) {
    ParametresGrille p = calendrier("01/01/2000 00:00:00", "01/01/2010 00:00:00", unite_jour, 1);
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    JournalSuivi journal;
    construire_grille(p, dialogue, progression, journal);
    const auto& a = progression.affichages;
    int vus = 0;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) {
        if (a[i].message.rfind("2- liste ... ", 0) != 0) continue;
        ++vus;
        EXPECT_EQ(fr("2- liste horodatée ... ") + a[i].message.substr(13), a[i + 1].message);
    }
    EXPECT_GE(vus, 1);
}

TEST(EtiquettesDeDate, JourDeLaSemaineEtTexte) {
    struct Cas {
        std::string texte;
        std::string jour;
    };
    const std::vector<Cas> cas = {
        {"30/12/1899 00:00:00", "samedi"},   {"07/11/2021 00:00:00", "dimanche"},
        {"08/11/2021 23:59:59", "lundi"},    {"29/02/2024 12:00:00", "jeudi"},
        {"01/01/2025 00:00:00", "mercredi"}, {"03/01/2025 06:00:00", "vendredi"},
        {"31/12/2024 00:00:01", "mardi"},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(jour_semaine(date(c.texte)), c.jour) << c.texte;
        EXPECT_EQ(texte_grille(date(c.texte)), c.texte);
    }
}

TEST(BoutonsZero, QuestionSelonLHeureVisee) {
    struct Cas {
        int quoi;
        std::string heure;
        std::string question;
    };
    const std::vector<Cas> cas = {
        {0, "12:30:05", "=== heure début ===\n\n  12:30:05\n\n mettre à\n\n  00:00:00   ?"},
        {1, "23:59:59", "=== heure de fin ===\n\n  23:59:59\n\n mettre à\n\n  00:00:00   ?"},
        {2, "00:15:00", "=== heure du pas ===\n\n  00:15:00\n\n mettre à\n\n  00:00:00 ?"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(question_mise_a_zero(c.quoi, heure(c.heure)), fr(c.question));
    // A start picker holds its date too: only the time of day is asked about.
    EXPECT_EQ(question_mise_a_zero(0, date("07/11/2021 06:00:00")),
              fr("=== heure début ===\n\n  06:00:00\n\n mettre à\n\n  00:00:00   ?"));
}

TEST(BoutonsZero, LegendeDuNombreDUnites) {
    EXPECT_EQ(texte_unite_pas(unite_hms), "");
    EXPECT_EQ(texte_unite_pas(unite_jour), "jour");
    EXPECT_EQ(texte_unite_pas(unite_mois), "mois");
    EXPECT_EQ(texte_unite_pas(unite_annee), fr("année"));
}

// The unit key of a description's last period: empty for hh:mn:ss, a count from 1 to 400 and
// a unit word otherwise; any other text is no unit.
TEST(PeriodeDescription, UniteLue) {
    struct Cas {
        const char* texte;
        bool lue;
        int unite, nombre;
    };
    const Cas cas[] = {
        {"", true, unite_hms, 1},
        {"  ", true, unite_hms, 1},
        {"2 jour", true, unite_jour, 2},
        {" 1  mois ", true, unite_mois, 1},
        {"400 ann\xE9"
         "e",
         true, unite_annee, 400},
        {"jour", false, 0, 0},
        {"0 jour", false, 0, 0},
        {"401 jour", false, 0, 0},
        {"2 jours", false, 0, 0},
        {"2 semaine", false, 0, 0},
        {"x jour", false, 0, 0},
    };
    for (const Cas& c : cas) {
        const auto u = lire_unite_pas_dsc(c.texte);
        ASSERT_EQ(u.has_value(), c.lue) << c.texte;
        if (!u) continue;
        EXPECT_EQ(u->unite, c.unite) << c.texte;
        EXPECT_EQ(u->nombre, c.nombre) << c.texte;
    }
}

// What a run leaves in the description gives back the same grid settings; a description
// never run (start equal to end) or with a zero step holds no period.
TEST(PeriodeDescription, AllerRetour) {
    const std::vector<ParametresGrille> grilles = {
        {"01/06/2021 00:00:00", "01/07/2021 00:00:00", 0, 2, unite_jour, 1},
        {"01/01/2020 00:00:00", "01/01/2022 00:00:00", 0, 1, unite_annee, 0},
        {"16/06/2021 15:00:00", "16/06/2021 17:00:00", 10.0 / 1440, 1, unite_hms, 1},
    };
    for (const ParametresGrille& p : grilles) {
        Description d;
        EXPECT_TRUE(memoriser_periode(p, d)) << p.Label_temps_deb;
        EXPECT_FALSE(memoriser_periode(p, d)) << "nothing new the second time";
        const auto relue = periode_de_description(d);
        ASSERT_TRUE(relue) << p.Label_temps_deb;
        EXPECT_EQ(relue->Label_temps_deb, p.Label_temps_deb);
        EXPECT_EQ(relue->Label_temps_fin, p.Label_temps_fin);
        EXPECT_EQ(relue->unite_pas, p.unite_pas);
        EXPECT_EQ(relue->SpinEdit_pas_jour_mois_annee, p.SpinEdit_pas_jour_mois_annee);
        EXPECT_EQ(relue->test_strict, p.test_strict);
        if (p.unite_pas == unite_hms) {
            EXPECT_NEAR(relue->TimePicker_pas, p.TimePicker_pas, 1e-9);
        }
    }
    Description d;
    memoriser_periode(grilles[2], d);
    d.Label_max_dsc = d.Label_min_dsc;
    EXPECT_FALSE(periode_de_description(d));
    memoriser_periode(grilles[2], d);
    d.Label_pas_dsc = "00:00:00";
    EXPECT_FALSE(periode_de_description(d));
    d.Label_pas_dsc = "01:00:00";
    d.unite_pas_dsc = "2 semaine";
    EXPECT_FALSE(periode_de_description(d));
}

}  // namespace
}  // namespace tarvo

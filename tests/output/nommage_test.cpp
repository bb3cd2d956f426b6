#include "output/nommage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/journal_suivi.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr double seconde = 1.0 / 86400;

// Saved under a new name, a description whose output name was made of its old name
// (markers aside) writes its own result file; any other output name is kept.
TEST(NomSortieApresRenommage, SuitLeNouveauNomSeulementSIlVenaitDeLAncien) {
    struct Cas {
        const char* sortie;
        const char* ancienne;
        const char* nouvelle;
        const char* attendu;
    };
    for (const Cas& c : {
             Cas{"LeGue_horaire", "LeGue_horaire.dsc", "LeGue_jour.dsc", "LeGue_jour"},
             Cas{"LeGue_horaire#", "LeGue_horaire.dsc", "LeGue_jour.dsc", "LeGue_jour#"},
             Cas{"LeGue_horaire \xA7", "LeGue_horaire.dsc", "B.DSC", "B \xA7"},
             Cas{"LeGue_horaire_v2", "LeGue_horaire.dsc", "LeGue_jour.dsc", "LeGue_horaire_v2"},
             Cas{"station_B", "LeGue_horaire.dsc", "LeGue_jour.dsc", "station_B"},
             Cas{"A", "fichier de description de données", "x.dsc", "A"},
             Cas{"", ".dsc", "x.dsc", ""},
         })
        EXPECT_EQ(nom_sortie_apres_renommage(c.sortie, c.ancienne, c.nouvelle), c.attendu)
            << c.sortie << " / " << c.ancienne;
}

TEST(NomAvecMarqueurs, DureePeriodeExtension) {
    EXPECT_EQ(duree_pour_nom(83 * seconde), "00;01;23");
    EXPECT_EQ(duree_pour_nom(0), "00;00;00");
    EXPECT_EQ(duree_pour_nom(25 * 3600 * seconde), "25;00;00");
    EXPECT_EQ(duree_pour_nom(1.4 * seconde), "00;00;01");

    struct Cas {
        std::string edit;
        std::string nom;
        std::string travail;
    };
    const std::vector<Cas> cas = {
        {"A#", "A_00;01;23.txt", "A"},
        {"", "A_00;01;23.txt", "A"},
        {"   ", "A_00;01;23.txt", "A"},
        // The duration goes at the end, not where the marker stood.
        {"a#b", "ab_00;01;23.txt", "ab"},
        {"R\xA7", "R du 07-11-2021 au 08-11-2021 (240).txt", "R"},
        // "#" first: its duration is already there when "§" is removed.
        {"X#\xA7", "X_00;01;23 du 07-11-2021 au 08-11-2021 (240).txt", "X_00;01;23"},
        {"data.csv", "data.csv", ""},
        {"A10", "A10.txt", ""},
        {"a.b.txt", "a.b.txt", ""},
    };
    for (const Cas& c : cas) {
        ParametresNommage p;
        p.Edit_nom_fic_sortie = c.edit;
        p.duree_totale = 83 * seconde;
        p.Label_temps_deb = "07/11/2021 00:00:00";
        p.Label_temps_fin = "08/11/2021 00:00:00";
        p.nb_resultats = 240;
        std::string travail = "avant";
        EXPECT_EQ(nom_avec_marqueurs(p, travail), c.nom) << c.edit;
        EXPECT_EQ(travail, c.travail) << c.edit;
    }
}

class NommerResultat : public testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo_nommage_" + std::to_string(::getpid()) + "_" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        fs::create_directories(racine_);
        dossier_ = racine_.string() + "/";
        journal_.ajouter_suivi("titre");
        journal_.ajouter_suivi("");
    }
    void TearDown() override { fs::remove_all(racine_); }
    void creer(const std::string& nom) const { std::ofstream(racine_ / nom) << "x"; }
    ParametresNommage parametres(const std::string& edit, bool increment) const {
        ParametresNommage p;
        p.Edit_nom_fic_sortie = edit;
        p.CheckBox_inc_nom = increment;
        p.dossier_sortie = dossier_;
        return p;
    }
    std::vector<std::string> fin_journal(std::size_t n) const {
        const auto& l = journal_.lignes();
        return {l.end() - static_cast<std::ptrdiff_t>(n), l.end()};
    }

    fs::path racine_;
    std::string dossier_;
    JournalSuivi journal_;
    DialogueScripte dialogue_;
};

TEST_F(NommerResultat, IncrementPrendLePremierNomLibre) {
    struct Cas {
        std::string edit;
        std::vector<std::string> presents;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"A10", {}, "A10.txt"},
        {"A10", {"A10.txt"}, "A10(1).txt"},
        {"A10", {"A10.txt", "A10(1).txt"}, "A10(2).txt"},
        {"A10.txt", {"A10.txt", "A10(2).txt"}, "A10(1).txt"},
        {"a.b.txt", {}, "a.txt"},
        {"data.csv", {"data.csv"}, "data(1).csv"},
    };
    for (const Cas& c : cas) {
        fs::remove_all(racine_);
        fs::create_directories(racine_);
        for (const auto& f : c.presents) creer(f);
        const NomResultat r = nommer_resultat(parametres(c.edit, true), dialogue_, {}, journal_);
        EXPECT_EQ(r.chemin, dossier_ + c.attendu) << c.edit;
        EXPECT_EQ(r.nom_resultat, c.attendu);
        EXPECT_FALSE(r.recuperation);
        EXPECT_EQ(journal_.lignes().back(), " => " + c.attendu);
    }
    EXPECT_TRUE(dialogue_.vus.empty());
}

TEST_F(NommerResultat, SansIncrementOnDemandeAvantDEcraser) {
    // Absent: no question.
    NomResultat r = nommer_resultat(parametres("A10", false), dialogue_, {}, journal_);
    EXPECT_EQ(r.chemin, dossier_ + "A10.txt");
    EXPECT_TRUE(dialogue_.vus.empty());

    creer("A10.txt");
    dialogue_.attendre_question(Reponse::oui);
    r = nommer_resultat(parametres("A10", false), dialogue_, {}, journal_);
    EXPECT_EQ(r.chemin, dossier_ + "A10.txt");
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids.back(), IdMessage::ecraser_resultat);
    EXPECT_EQ(dialogue_.vus[0].texte, racine_.string() +
                                          "\n\n Le fichier  A10.txt\n\n   existe d\xE9j\xE0\n\n => "
                                          "\xE9"
                                          "craser ?");
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::confirmation);
    EXPECT_EQ(dialogue_.vus[0].boutons, Boutons::oui_non);
}

TEST_F(NommerResultat, RefusPuisDialogueDEnregistrement) {
    creer("A10_00;00;00.txt");
    struct Cas {
        std::optional<std::string> choisi;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"/ailleurs/autre", "/ailleurs/autre.txt"},
        {"/ailleurs/autre.TXT", "/ailleurs/autre.TXT"},
        {"/ailleurs/autre.csv", "/ailleurs/autre.csv.txt"},
    };
    for (const Cas& c : cas) {
        std::vector<DemandeEnregistrement> demandes;
        const ChoixFichierSortie choisir = [&](const DemandeEnregistrement& d) {
            demandes.push_back(d);
            return c.choisi;
        };
        dialogue_.attendre_question(Reponse::non);
        const NomResultat r =
            nommer_resultat(parametres("A10#", false), dialogue_, choisir, journal_);
        EXPECT_EQ(r.chemin, c.attendu);
        EXPECT_EQ(r.nom_travail, c.attendu);
        EXPECT_FALSE(r.recuperation);
        ASSERT_EQ(demandes.size(), 1u);
        EXPECT_EQ(demandes[0].titre, fr("enregistrement des résultats de calcul"));
        EXPECT_EQ(demandes[0].nom_propose, "A10_00;00;00");
        EXPECT_EQ(demandes[0].dossier, dossier_);
        EXPECT_EQ(demandes[0].filtre, "Fichiers texte (*.txt)|*.txt|Tous les fichiers (*.*)|*.*");
    }
}

TEST_F(NommerResultat, DialogueAnnuleFichierDeRecuperation) {
    creer("A10.txt");
    dialogue_.attendre_question(Reponse::non);
    const NomResultat r = nommer_resultat(
        parametres("A10", false), dialogue_,
        [](const DemandeEnregistrement&) { return std::optional<std::string>(); }, journal_);
    const std::string recuperation = dossier_ + "~r\xE9sultats.txt";
    EXPECT_EQ(r.chemin, recuperation);
    EXPECT_TRUE(r.recuperation);
    EXPECT_EQ(r.nom_travail, "");
    EXPECT_EQ(fin_journal(4), (std::vector<std::string>{"",
                                                        " donn\xE9"
                                                        "es calcul\xE9"
                                                        "es r\xE9"
                                                        "cup\xE9rables dans ",
                                                        recuperation, " => ~r\xE9sultats.txt"}));

    // The batch program has no dialog: the same as a cancel.
    dialogue_.attendre_question(Reponse::non);
    EXPECT_EQ(nommer_resultat(parametres("A10", false), dialogue_, {}, journal_).chemin,
              recuperation);
}

}  // namespace
}  // namespace tarvo

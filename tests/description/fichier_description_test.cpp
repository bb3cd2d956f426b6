#include "description/fichier_description.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "dossier_temporaire.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/provisoire.h"

namespace tarvo {
namespace {

using Lecture = ResultatLectureDescription::Etat;
using Ecriture = ResultatEcritureDescription::Etat;

const ContexteDescription contexte{"/opt/tarvo/", *date_civile(2024, 3, 15)};

class FichierDescription : public DossierTemporaire {};

TEST_F(FichierDescription, CheminSelonLesFichiersPresents) {
    struct Cas {
        std::vector<std::string> presents;
        std::string nom;
        std::string attendu;
    };
    const std::vector<Cas> cas{
        {{}, "essai.txt", "essai.DSC"},
        {{}, "essai", "essai.DSC"},
        {{}, "  essai.dsc  ", "essai.dsc"},         // a new file keeps the ".dsc" it shows
        {{"essai.dsc"}, "essai.dsc", "essai.dsc"},  // its own name when it exists
        {{"essai.dsc"}, "essai", "essai.dsc"},      // found whatever the label's extension
        {{"essai.Dsc"}, "essai.txt", "essai.Dsc"},
        {{"essai.DSC"}, "essai.dsc", "essai.DSC"},
        {{"essai.dsc", "essai.DSC"}, "essai.dsc", "essai.dsc"},
        {{"essai.dsc", "essai.DSC"}, "essai.txt", "essai.DSC"},
        {{"station.2023.dsc"}, "station.2023.dsc", "station.2023.dsc"},
        {{"essai.dsc.bak"}, "essai.dsc", "essai.dsc"},
    };
    for (const auto& c : cas) {
        std::filesystem::remove_all(racine_ / "d");
        std::filesystem::create_directories(racine_ / "d");
        for (const auto& p : c.presents) creer("d/" + p, "");
        EXPECT_EQ(chemin_description(chemin("d/"), c.nom), chemin("d/" + c.attendu)) << c.nom;
    }
}

TEST_F(FichierDescription, UnNomAbsentNeLitNiNEcritRien) {
    const std::string dossier = chemin();
    for (const std::string& nom :
         {std::string(), std::string("   "), fr(nom_description_vide),
          fr(nom_description_vide_chemin), fr("  ") + fr(nom_description_vide)}) {
        Description d = description_par_defaut(contexte);
        const Description avant = d;
        JournalSuivi journal;
        EXPECT_EQ(lire_description(dossier, nom, d, contexte, journal).etat, Lecture::sans_nom);
        EXPECT_EQ(d, avant);
        EXPECT_EQ(ecrire_description(dossier, nom, d).etat, Ecriture::sans_nom);
    }
    EXPECT_TRUE(std::filesystem::is_empty(racine_));
}

TEST_F(FichierDescription, FichierIntrouvable) {
    Description d = description_par_defaut(contexte);
    d.Edit_masque = "*.dat";
    const Description avant = d;
    JournalSuivi journal;
    const auto r = lire_description(chemin(), fr("mesures été.dsc"), d, contexte, journal);
    EXPECT_EQ(r.etat, Lecture::introuvable);
    EXPECT_EQ(r.message,
              fr(" Fichier de description <mesures été.dsc> introuvable dans le dossier\n\n<") +
                  chemin() + ">");
    EXPECT_EQ(d, avant);
}

TEST_F(FichierDescription, LitUnFichierEcritAilleurs) {
    // As another copy of the program leaves it: Windows-1252, CR LF, keys in any order.
    creer("station.dsc",
          "Edit_NA.text= manquant \xE9t\xE9\r\n"
          "RadioGroup_separateur_colonne_ItemIndex= 2\r\n"
          "dossier_choisi= /mesures\r\n"
          "TimePicker_decalage= 01:00:00\r\n");
    Description d;
    JournalSuivi journal;
    const auto r = lire_description(chemin(), "station.dsc", d, contexte, journal);
    EXPECT_EQ(r.etat, Lecture::lue);
    EXPECT_EQ(r.chemin, chemin("station.dsc"));
    EXPECT_EQ(d.Edit_NA, "manquant \xE9t\xE9");
    EXPECT_EQ(d.RadioGroup_separateur_colonne_ItemIndex, Separateur::point_virgule);
    EXPECT_EQ(d.dossier_choisi, "/mesures/");
    EXPECT_EQ(d.TimePicker_decalage, 1.0 / 24);
    EXPECT_EQ(d.Edit_masque, "*.csV");
}

TEST_F(FichierDescription, LectureInterrompueParUnIndexIncorrect) {
    creer("station.DSC", "Edit_masque.text= *.dat\r\nRadioGroup_methode_ItemIndex= 1.5\r\n");
    Description d = description_par_defaut(contexte);
    JournalSuivi journal;
    const auto r = lire_description(chemin(), "station", d, contexte, journal);
    EXPECT_EQ(r.etat, Lecture::interrompue);
    EXPECT_EQ(r.message, fr("'1.5' n'est pas une valeur entière correcte"));
    EXPECT_EQ(d.Edit_masque, "*.dat");
}

TEST_F(FichierDescription, EcrireRelireSurDisque) {
    Description d = description_par_defaut(contexte);
    d.Edit_equiv_na = fr("NA;-9999;défaut");
    d.dossier_choisi = chemin("mesures/");
    d.RadioGroup_methode_ItemIndex = Methode::cumul;
    const auto e = ecrire_description(chemin(), fr("crues.dsc"), d);
    ASSERT_EQ(e.etat, Ecriture::ecrite) << e.message;
    EXPECT_EQ(e.chemin, chemin("crues.dsc"));

    const std::string octets = lire("crues.dsc");
    EXPECT_NE(octets.find("Edit_equiv_na.text= NA;-9999;d\xE9"
                          "faut\r\n"),
              std::string::npos);
    // The keys added since the first 65 follow them.
    EXPECT_TRUE(
        octets.ends_with("Label_pas_dsc.caption= 00:15:00\r\n"
                         "CheckBox_champs_guillemets.Checked= false\r\n"
                         "Edit_fuseau_mesures.text= \r\n"
                         "Edit_fuseau_resultat.text= \r\n"
                         "Edit_min_mesures_valides.text= 0\r\n"
                         "unite_pas_dsc= \r\n"
                         "test_strict_dsc= 0\r\n"));

    Description relue;
    JournalSuivi journal;
    EXPECT_EQ(lire_description(chemin(), "crues.dsc", relue, contexte, journal).etat, Lecture::lue);
    EXPECT_EQ(relue, d);
}

TEST_F(FichierDescription, UneEcritureRateeGardeLAncienFichier) {
    creer("crues.DSC", "Edit_masque.text= *.ancien\r\n");
    // The copy cannot even be created.
    definir_crochet_ecriture([](EtapeEcriture, const char*) { return EACCES; });
    const auto r = ecrire_description(chemin(), "crues.DSC", description_par_defaut(contexte));
    definir_crochet_ecriture(nullptr);
    EXPECT_EQ(r.etat, Ecriture::echec);
    EXPECT_EQ(r.message, fr("Impossible de créer le fichier ") + chemin("crues.DSC"));
    EXPECT_EQ(lire("crues.DSC"), "Edit_masque.text= *.ancien\r\n");

    const auto absent =
        ecrire_description(chemin("absent/"), "crues", description_par_defaut(contexte));
    EXPECT_EQ(absent.etat, Ecriture::echec);
    EXPECT_FALSE(existe("absent"));
}

TEST(BoutonsEnregistrer, RougeSelonFModif) {
    struct Cas {
        bool f_modif;
        std::string label;
        CouleursEnregistrement attendu;
    };
    const std::string vide = fr(repertoire_description_vide);
    const std::vector<Cas> cas{
        {true, "/mesures/", {.SpeedButton_Enregistrer_dsc_rouge = true}},
        {false, "/mesures/", {}},
        {true, vide, {.SpeedButton_enreg_description_rouge = true}},
        {false, vide, {}},
    };
    for (const auto& c : cas)
        EXPECT_EQ(af_coul_si_f_modif(c.f_modif, c.label), c.attendu) << c.f_modif << " " << c.label;
}

}  // namespace
}  // namespace tarvo

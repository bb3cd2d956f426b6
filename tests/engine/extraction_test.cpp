#include "engine/extraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "description/description.h"
#include "engine/agregation.h"
#include "engine/grille.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/texte.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Valeur = std::optional<double>;
constexpr Valeur NA = std::nullopt;

double date(const std::string& texte) {
    JournalSuivi journal;
    std::string canonique;
    return texte_vers_date_heure(texte, canonique, journal);
}

constexpr double seconde = 1.0 / 86400;

// --- the rules alone

TEST(RegleEtape, ChoixDeLEtape) {
    struct GrilleCas {
        std::vector<std::string> dates;
        std::string suivante;  // one step after the last date
    };
    struct Cas {
        const char* nom;
        GrilleCas grille;
        int strict;
        int unite;
        std::string mesure;
        double ecart;  // seconds added to the measurement
        int attendu;
    };
    const GrilleCas heures = {{"05/03/2023 00:00:00", "05/03/2023 01:00:00", "05/03/2023 02:00:00"},
                              "05/03/2023 03:00:00"};
    const GrilleCas jours = {{"04/03/2023 00:00:00", "05/03/2023 00:00:00", "06/03/2023 00:00:00"},
                             "07/03/2023 00:00:00"};
    const GrilleCas mois = {{"01/12/2023 00:00:00", "01/01/2024 00:00:00", "01/02/2024 00:00:00"},
                            "01/03/2024 00:00:00"};
    const GrilleCas annees = {{"01/01/2023 00:00:00", "01/01/2024 00:00:00", "01/01/2025 00:00:00"},
                              "01/01/2026 00:00:00"};
    const std::vector<Cas> cas = {
        {"inf ou = : la borne haute", heures, 0, unite_hms, "05/03/2023 01:00:00", 0, 2},
        {"inf ou = : une seconde après", heures, 0, unite_hms, "05/03/2023 01:00:00", 1, 3},
        {"inf ou = : le premier rang", heures, 0, unite_hms, "05/03/2023 00:00:00", 0, 1},
        {"inf ou = : le dernier rang", heures, 0, unite_hms, "05/03/2023 02:00:00", 0, 3},
        {"avant la grille", heures, 0, unite_hms, "05/03/2023 00:00:00", -1, 0},
        {"après la grille", heures, 0, unite_hms, "05/03/2023 02:00:00", 1, 0},
        {"inf strict : la borne basse", heures, 1, unite_hms, "05/03/2023 01:00:00", 0, 3},
        {"inf strict : le dernier instant", heures, 1, unite_hms, "05/03/2023 02:00:00", 0, 0},
        {"inf strict jour : minuit", jours, 1, unite_jour, "05/03/2023 00:00:00", 0, 2},
        {"inf strict jour : 23:59", jours, 1, unite_jour, "05/03/2023 23:59:00", 0, 2},
        // The last calendar row holds [its date, the next date), as every other row.
        {"inf strict jour : le dernier rang à minuit", jours, 1, unite_jour, "06/03/2023 00:00:00",
         0, 3},
        {"inf strict jour : le dernier instant du dernier rang", jours, 1, unite_jour,
         "06/03/2023 23:59:59", 0, 3},
        {"inf strict jour : le jour d'après", jours, 1, unite_jour, "07/03/2023 00:00:00", 0, 0},
        {"inf ou = jour : après la grille", jours, 0, unite_jour, "06/03/2023 00:00:00", 1, 0},
        {"inf strict mois : le dernier mois", mois, 1, unite_mois, "29/02/2024 23:59:59", 0, 3},
        {"inf strict mois : le mois d'après", mois, 1, unite_mois, "01/03/2024 00:00:00", 0, 0},
        {"inf strict année : la dernière année", annees, 1, unite_annee, "31/12/2025 12:00:00", 0,
         3},
        {"inf strict année : l'année d'après", annees, 1, unite_annee, "01/01/2026 00:00:00", 0, 0},
        {"inf strict : l'heure d'après reste hors grille", heures, 1, unite_hms,
         "05/03/2023 02:30:00", 0, 0},
        {"inf strict année", annees, 1, unite_annee, "15/06/2023 00:00:00", 0, 1},
        {"inf ou = année", annees, 0, unite_annee, "15/06/2023 00:00:00", 0, 2},
        {"inf strict mois garde la règle calendaire", annees, 1, unite_mois, "01/01/2024 00:00:00",
         0, 2},
    };
    for (const Cas& c : cas) {
        TableEtapes t;
        std::vector<double> dates;
        for (const auto& g : c.grille.dates) dates.push_back(date(g));
        t.dimensionner(dates, 3, date(c.grille.suivante));
        int depart = 1;
        EXPECT_EQ(etape_de(t, date(c.mesure) + c.ecart * seconde, c.strict, c.unite, depart),
                  c.attendu)
            << c.nom;
    }
}

TEST(RegleEtape, RechercheDepuisLEtapePrecedente) {
    TableEtapes t;
    std::vector<double> dates;
    for (int k = 0; k < 1000; ++k) dates.push_back(45000 + k);
    t.dimensionner(dates, 3);
    int depart = 1;
    EXPECT_EQ(etape_de(t, 45500.5, 0, unite_hms, depart), 502);
    EXPECT_EQ(depart, 502);
    EXPECT_EQ(etape_de(t, 45501, 0, unite_hms, depart), 502);
    EXPECT_EQ(etape_de(t, 45501.2, 0, unite_hms, depart), 503);
    // A line back in time is still found, from the start.
    EXPECT_EQ(etape_de(t, 45002.5, 0, unite_hms, depart), 4);
    EXPECT_EQ(etape_de(t, 45998.5, 1, unite_hms, depart), 1000);
    EXPECT_EQ(depart, 1000);
}

// A line exactly on a grid date lands in its step however far it is from the previous
// line: a file that starts well into the grid, a gap, or a line back in time.
TEST(RegleEtape, DateDeLaGrilleApresUnSaut) {
    TableEtapes t;
    std::vector<double> dates;
    for (int k = 0; k < 1000; ++k) dates.push_back(45000 + k / 24.0);
    t.dimensionner(dates, 3);
    // Row i of the table is dates[i - 1]; "inf ou =" puts that instant in step i,
    // "inf strict" in the next one.
    for (const int strict : {0, 1}) {
        int depart = 1;
        for (const int i : {31, 32, 500, 3, 999}) {
            SCOPED_TRACE(std::to_string(i) + (strict ? " inf strict" : " inf ou ="));
            EXPECT_EQ(
                etape_de(t, dates[static_cast<std::size_t>(i) - 1], strict, unite_hms, depart),
                i + strict);
        }
    }
}

TEST(ReglesChamps, Nettoyage) {
    struct Cas {
        std::string champ;
        std::string min, max;
        Valeur attendu;
        bool pb_conversion;
    };
    const std::vector<Cas> cas = {
        {"12,5", "", "", 12.5, false},
        {"-99999", "", "", NA, false},
        {"NA", "", "", NA, false},
        // Written with the other decimal mark, an NA text is still found once adapted.
        {"-99999,000", "", "", NA, false},
        {"<12,5", "", "", 12.5, false},
        {"<-3", "", "", -3, false},
        {"12<", "", "", NA, true},
        {"abc", "", "", NA, true},
        {"", "", "", NA, false},
        {"1E3", "", "", 1000, false},
        {"-3", "0", "", NA, false},
        {"0", "0", "", 0, false},
        {"150", "", "100", NA, false},
        {"100", "", "100", 100, false},
        // "<" reads as 0 against a threshold, as the number reader does.
        {"<500", "", "100", 500, false},
        {"<500", "1", "", NA, false},
    };
    for (const Cas& c : cas) {
        ReglesChamp r;
        if (!c.min.empty()) r.min = std::stod(c.min);
        if (!c.max.empty()) r.max = std::stod(c.max);
        r.equivalences = equivalences_na("NA;-1;-99999;-99999.000;-99990.0");
        std::string travail;
        const ChampNettoye f = nettoyer_champ(c.champ, r, travail);
        EXPECT_EQ(f.na, !c.attendu) << c.champ;
        if (c.attendu && !f.na) {
            EXPECT_EQ(static_cast<double>(f.valeur), *c.attendu) << c.champ;
        }
        EXPECT_EQ(f.pb_conversion, c.pb_conversion) << c.champ;
        EXPECT_FALSE(f.alphanumerique) << c.champ;
    }
}

TEST(ReglesChamps, EquivalencesNA) {
    EXPECT_EQ(equivalences_na(" NA ; -1;-99999;a;b;c;d;e;f"),
              (std::vector<std::string>{"NA", "-1", "-99999", "a", "b", "c", "d"}));
    EXPECT_EQ(equivalences_na("NA"), (std::vector<std::string>{"NA"}));
}

TEST(ReglesChamps, ColonnesCochees) {
    struct Cas {
        std::string texte;
        std::optional<std::vector<int>> attendu;
        std::string fautive;
    };
    const std::vector<Cas> cas = {
        {"7,12", std::vector<int>{7, 12}, ""},
        {"7;12", std::vector<int>{7, 12}, ""},
        {" 7 ,,12, ", std::vector<int>{7, 12}, ""},
        {"3,", std::vector<int>{3}, ""},
        {"", std::vector<int>{}, ""},
        {"7,b", std::nullopt, "b"},
        {"7,1.5", std::nullopt, "1.5"},
        {"0,2", std::nullopt, "0"},
    };
    for (const Cas& c : cas) {
        std::string fautive;
        EXPECT_EQ(colonnes_cochees(c.texte, fautive), c.attendu) << c.texte;
        EXPECT_EQ(fautive, c.fautive) << c.texte;
    }
}

TEST(ReglesChamps, DecoupageCommeChampVue) {
    const std::vector<std::pair<std::string, char>> lignes = {
        {"a;b;;c", ';'},    {";a;b;", ';'}, {" 1 ; 2 ;3 ", ';'}, {"x", ';'},
        {",Date,,B,", ','}, {";", ';'},     {";;", ';'},         {"  12   34 ", ' '},
        {"a b", ' '},       {"   ", ' '},   {"1,5,,7,", ','},    {"a;b c;d", ' '},
    };
    for (const auto& [ligne, sep] : lignes) {
        std::vector<std::string_view> champs;
        decouper_champs(ligne, sep, champs);
        for (int n = 1; n <= 6; ++n) {
            const std::string_view attendu = champ_vue(ligne, n, sep);
            const std::string_view lu = n <= static_cast<int>(champs.size())
                                            ? champs[static_cast<std::size_t>(n) - 1]
                                            : std::string_view{};
            EXPECT_EQ(lu, attendu) << '"' << ligne << "\" champ " << n;
        }
    }
    std::string longue;
    for (int k = 1; k <= 300; ++k) longue += std::to_string(k) + ";";
    std::vector<std::string_view> champs;
    decouper_champs(longue, ';', champs);
    EXPECT_EQ(champs.size(), static_cast<std::size_t>(champ_max));
    EXPECT_EQ(champs.back(), "255");
}

// --- whole runs over files

class Extraction : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        racine_ = fs::temp_directory_path() / (std::string("tarvo_ext_") + info->name());
        fs::remove_all(racine_);
        fs::create_directories(racine_);
        d.dossier_choisi = racine_.string() + "/";
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;  // ";"
        d.Edit_num_col_datetime = "1";
        d.Edit_format_datetime_mesure = "aaaa_mm_jj_hh_mn_ss";
        d.Edit_num_ligne_intitule_col = "1";
        d.Edit_num_ligne_donnee = "2";
        d.Edit_equiv_na = "NA;-1;-99999;-99999.000;-99990.0";
        d.Edit_balise_deb = "Date/time";
        d.Edit_balise_fin = "END OF DATA";
        inventaire.colonnes.nb_colonnes_donnees = 2;
        inventaire.colonnes.intitules = "Date\tT\tP";
        grille_horaire(4);
    }
    void TearDown() override { fs::remove_all(racine_); }

    // Rows 00:00, 01:00, … of 05/03/2023.
    void grille_horaire(int n) {
        grille.dates.clear();
        grille.items = {fr("_intitulés des colonnes")};
        for (int k = 0; k < n; ++k) {
            // As the grid builder gives them: each date is its whole-second text's.
            grille.items.push_back(date_heure_vers_texte(date("05/03/2023 00:00:00") + k / 24.0));
            grille.dates.push_back(date(grille.items.back()));
        }
        parametres.TimePicker_pas = 1 / 24.0;
        parametres.unite_pas = unite_hms;
        parametres.Label_temps_deb = grille.items[1];
        parametres.Label_temps_fin = grille.items.back();
    }

    // The grid as button 2 builds it, for the period and step given.
    void grille_construite(const std::string& debut, const std::string& fin, double pas, int unite,
                           int strict) {
        parametres.Label_temps_deb = debut;
        parametres.Label_temps_fin = fin;
        parametres.TimePicker_pas = pas;
        parametres.unite_pas = unite;
        parametres.test_strict = strict;
        DialogueScripte sans_question;
        grille = construire_grille(parametres, sans_question, progression, journal);
        ASSERT_EQ(grille.etat, EtatGrille::construite);
        ASSERT_TRUE(sans_question.vus.empty());
    }

    void fichier(const std::string& nom, const std::string& contenu,
                 const std::string& station = "") {
        std::ofstream(racine_ / nom, std::ios::binary) << contenu;
        const int r = table.ajouter_ligne();
        table.ecrire_cellule(r, Colonne::n, std::to_string(r));
        table.ecrire_cellule(r, Colonne::fichier, nom);
        table.ecrire_cellule(r, Colonne::station, station);
        table.ecrire_cellule(r, Colonne::taille, " 0,01");
        inventaire.taille_totale_ko += 10;
    }

    ResultatExtraction lancer() {
        const ContexteExtraction c{d,       parametres, grille,   decalage_jour,
                                   source,  false,      table,    inventaire,
                                   lecteur, journal,    dialogue, progression};
        return extraire_mesures(c, etapes);
    }

    // What the result shows for step k, column i.
    Valeur ecrit(int k, int i) const {
        if (etapes.nb_lignes_etape(k) == 0 || etapes.na[etapes.indice(k, i)] != 0) return NA;
        return static_cast<double>(etapes.valeur[etapes.indice(k, i)]);
    }
    std::vector<Valeur> colonne(int i) const {
        std::vector<Valeur> r;
        for (int k = 1; k <= etapes.N(); ++k) r.push_back(ecrit(k, i));
        return r;
    }
    std::vector<double> lignes_par_etape() const {
        std::vector<double> r;
        for (int k = 1; k <= etapes.N(); ++k)
            r.push_back(static_cast<double>(etapes.nb_lignes_etape(k)));
        return r;
    }
    bool journal_contient(const std::string& ligne) const {
        const auto& l = journal.lignes();
        return std::find(l.begin(), l.end(), fr(ligne)) != l.end();
    }
    // What the problem lines of the log are about, in their order.
    std::vector<ProblemeSuivi> problemes() const {
        std::vector<ProblemeSuivi> r;
        for (const auto& p : journal.problemes()) r.push_back(p.probleme);
        return r;
    }

    fs::path racine_;
    Description d;
    ParametresGrille parametres;
    Grille grille;
    int decalage_jour = 0;
    SourceListage source;
    TableFichiers table;
    EtatInventaire inventaire;
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    TableEtapes etapes;
};

TEST_F(Extraction, MesuresRangeesEtNettoyees) {
    fichier("a.csv",
            "Date;T;P\r\n"
            "2023-03-05T00:30:00;1,5;NA\r\n"
            "2023-03-05T01:00:00;2,5;-99999\r\n"  // the 01:00 step: (00:00, 01:00]
            "2023-03-05T01:00:01;<4;7\r\n"        // the 02:00 step
            "2023-03-05T01:30:00;12<;9\r\n"
            "2023-03-05T04:00:00;8;8\r\n"    // after the grid
            "2023-03-04T23:00:00;8;8\r\n");  // before it
    const ResultatExtraction r = lancer();
    ASSERT_EQ(r.fin, FinExtraction::complete);
    EXPECT_EQ(etapes.K(), 4);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 2, 2, 0}));
    // Gathered: sums; a step is NA only where none of its lines gave a value, whatever
    // the order (the 02:00 step keeps its 4 although its last line is not a number).
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 4, 4, NA}));
    EXPECT_EQ(colonne(3), (std::vector<Valeur>{NA, NA, 16, NA}));
    agreger(etapes, d, 1 / 24.0, journal, progression);
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 2, 4, NA}));
    EXPECT_EQ(colonne(3), (std::vector<Valeur>{NA, NA, 8, NA}));
    EXPECT_EQ(r.nb_lignes_extraites, 4);
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_extraites), "4");
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_donnees), "6");
    // The earliest and the latest date of the file, not those of its first and last lines.
    EXPECT_EQ(table.lire_cellule(1, Colonne::date_dep), "04/03/2023 23:00:00");
    EXPECT_EQ(table.lire_cellule(1, Colonne::date_fin), "05/03/2023 04:00:00");
    EXPECT_EQ(table.lire_cellule(1, Colonne::correction), "---");
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_colonnes), " 3");
    EXPECT_EQ(table.lire_cellule(1, Colonne::ligne_intitules), " -");
    EXPECT_TRUE(journal_contient("pb conversion <12<> ligne 5"));
    EXPECT_TRUE(journal_contient("nb_pb conversion = 1"));
    EXPECT_EQ(problemes(), (std::vector<ProblemeSuivi>{ProblemeSuivi::conversion_impossible,
                                                       ProblemeSuivi::dates_desordonnees,
                                                       ProblemeSuivi::nb_conversions_impossibles}));
    EXPECT_EQ(r.Label_nlig_impliquee, "4 lignes extraites");
    EXPECT_EQ(r.colonnes_sortie, "4 colonnes (avec temps et nb)");
}

// Values as loggers write them: NA codes listed with a decimal point and written with a
// decimal comma (codes are matched as texts: "-1,0" is not the code "-1"), blanks around a
// field, 15 significant digits kept exactly.
TEST_F(Extraction, ValeursTellesQueLesLoggersLesEcrivent) {
    fichier("v.csv",
            "Date;T;P\r\n"
            "2023-03-05T01:00:00;-99999,000;  2,5  \r\n"
            "2023-03-05T02:00:00;123456789,012345;-1,0\r\n"
            "2023-03-05T03:00:00; 0,000000000000001 ;-99990,0\r\n");
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    agreger(etapes, d, 1 / 24.0, journal, progression);
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, NA, 123456789.012345, 1e-15}));
    EXPECT_EQ(colonne(3), (std::vector<Valeur>{NA, 2.5, -1, NA}));
}

TEST_F(Extraction, FinitionParMethode) {
    struct Cas {
        Methode methode;
        std::vector<Valeur> attendu;  // column T, rows 1..4
    };
    // Step 01:00 receives 5 then 3; step 02:00 receives NA then -7 then -2.
    const std::vector<Cas> cas = {
        {Methode::moyenne, {NA, 4, -4.5, NA}}, {Methode::ponctuel, {NA, 3, -2, NA}},
        {Methode::max, {NA, 5, -2, NA}},       {Methode::min, {NA, 3, -7, NA}},
        {Methode::cumul, {NA, 8, -1, NA}},
    };
    for (const Cas& c : cas) {
        table.vider();
        fichier("m.csv",
                "Date;T;P\n2023-03-05T00:10:00;5;1\n2023-03-05T00:20:00;3;1\n"
                "2023-03-05T01:10:00;NA;1\n2023-03-05T01:20:00;-7;1\n2023-03-05T01:30:00;-2;1\n");
        d.RadioGroup_methode_ItemIndex = c.methode;
        ASSERT_EQ(lancer().fin, FinExtraction::complete);
        agreger(etapes, d, 1 / 24.0, journal, progression);
        EXPECT_EQ(colonne(2), c.attendu) << legende_methode(c.methode);
    }
}

TEST_F(Extraction, Corrections) {
    struct Cas {
        const char* nom;
        std::string donnees;
        bool plus_1s, plus_1j;
        std::vector<double> lignes;  // per step
        std::string correction;
        std::vector<std::string> journal;
        std::vector<ProblemeSuivi> problemes;  // what the log reports, in its order
    };
    const std::vector<Cas> cas = {
        {"+1 s",
         "2023-03-05T01:00:00;1;1\n2023-03-05T01:00:00;2;2\n",
         true,
         false,
         {0, 1, 1, 0},
         "+1jour,s 0/1x",
         {"3 : + 1s à 05/03/2023 01:00:00", "nb (+ 1s) = 1"},
         {ProblemeSuivi::seconde_ajoutee, ProblemeSuivi::nb_secondes_ajoutees}},
        {"sans +1 s",
         "2023-03-05T01:00:00;1;1\n2023-03-05T01:00:00;2;2\n",
         false,
         false,
         {0, 2, 0, 0},
         "---",
         {},
         {}},
        {"+1 jour",
         "2023-03-05T00:30:00;1;1\n2023-03-04T01:30:00;2;2\n",
         false,
         true,
         {0, 1, 1, 0},
         "+1jour,s 1/0x",
         {"3 : + 1j à 04/03/2023 01:30:00", "nb (+ 1j) = 1"},
         {ProblemeSuivi::jour_ajoute, ProblemeSuivi::dates_desordonnees,
          ProblemeSuivi::nb_jours_ajoutes}},
        // A repeated time is no step back: "+1 jour" alone leaves both lines where they are.
        {"+1 jour sur une heure répétée",
         "2023-03-05T01:00:00;1;1\n2023-03-05T01:00:00;2;2\n",
         false,
         true,
         {0, 2, 0, 0},
         "---",
         {},
         {}},
        // Lines after the end of data read no time: they correct nothing.
        {"ligne illisible",
         "2023-03-05T00:30:00;1;1\nEND OF DATA\nfin\n",
         true,
         true,
         {0, 1, 0, 0},
         "---",
         {},
         {}},
    };
    for (const Cas& c : cas) {
        table.vider();
        journal.vider();
        d.CheckBox_correction_si_t1egalt2 = c.plus_1s;
        d.CheckBox_correction_si_t1supt2 = c.plus_1j;
        fichier("c.csv", "Date;T;P\n" + c.donnees);
        ASSERT_EQ(lancer().fin, FinExtraction::complete) << c.nom;
        EXPECT_EQ(lignes_par_etape(), c.lignes) << c.nom;
        EXPECT_EQ(table.lire_cellule(1, Colonne::correction), c.correction) << c.nom;
        for (const std::string& l : c.journal)
            EXPECT_TRUE(journal_contient(l)) << c.nom << ": " << l;
        EXPECT_EQ(problemes(), c.problemes) << c.nom;
    }
}

// Under "(inf strict)" a day row holds [its date, the next day): the last one too, so a
// day with data is not written NA for being the last of the period.
TEST_F(Extraction, LeDernierJourDeLaPeriodeRecoitSesMesures) {
    grille_construite("01/06/2024 00:00:00", "02/06/2024 00:00:00", 0, unite_jour, 1);
    d.Edit_format_datetime_mesure = "jj_mm_aaaa_hh_mn_ss";
    fichier("j.csv",
            "Date;T;P\n"
            "01/06/2024 00:00:00;1;1\n"
            "01/06/2024 12:00:00;3;1\n"
            "02/06/2024 00:00:00;10;1\n"
            "02/06/2024 12:00:00;20;1\n"
            "03/06/2024 00:00:00;99;1\n");  // the day after the period
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    // Rows 31/05 (before the start), 01/06, 02/06.
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 2, 2}));
    agreger(etapes, d, 1, journal, progression);
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 2, 15}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_extraites), "4");
}

// +1 s compares times as the clock wrote them, to the millisecond: a time one second after
// a corrected one is equal to it, whatever floating-point sum made the corrected one.
TEST_F(Extraction, PlusUneSecondeSurUneSerieDeSecondes) {
    grille_construite("03/03/2023 00:00:00", "03/03/2023 00:00:07", 1 / 86400.0, unite_hms, 1);
    d.Edit_format_datetime_mesure = "jj_mm_aaaa_hh_mn_ss";
    d.CheckBox_correction_si_t1egalt2 = true;
    fichier("s.csv",
            "Date;T;P\n"
            "03/03/2023 00:00:01;1;1\n"
            "03/03/2023 00:00:01;2;1\n"  // 00:00:02 once corrected
            "03/03/2023 00:00:02;3;1\n"  // then equal to it: 00:00:03
            "03/03/2023 00:00:06;4;1\n");
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    agreger(etapes, d, 1 / 86400.0, journal, progression);
    // Rows 23:59:59, 00:00:00 … 00:00:07; a row dated D holds [D − 1 s, D).
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, NA, NA, 1, 2, 3, NA, NA, 4}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::correction), "+1jour,s 0/2x");
}

// A time that cannot be read is before the grid in any zone: converting it east would make
// it a time of 1900, which +1 jour would then count and log with a blank date.
TEST_F(Extraction, UneHeureIllisibleNeSeConvertitPas) {
    d.Edit_fuseau_mesures = "UTC";
    d.Edit_fuseau_resultat = "UTC+02:00";
    d.CheckBox_correction_si_t1supt2 = true;
    fichier("z.csv",
            "Date;T;P\n"
            "2023-03-05T00:10:00;1;1\n"  // 02:10 in the result's zone
            "2023-03-05Txx:20:00;2;2\n"
            "2023-03-05T00:30:00;3;3\n");
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 0, 0, 2}));
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, NA, NA, 4}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::correction), "---");
    const std::vector<ProblemeSuivi> p = problemes();
    EXPECT_EQ(std::count(p.begin(), p.end(), ProblemeSuivi::jour_ajoute), 0);
}

// A run reads the hour of an hourly station in its own column (24 ends the day), and
// counts of seconds or days, each line into its step of 05/03/2023 00:00 … 03:00.
TEST_F(Extraction, HeureEnNombreEtHorodatagesNumeriques) {
    struct Cas {
        std::string date, heure;  // patterns; heure empty: one column
        std::string contenu;
    };
    const std::vector<Cas> cas = {
        {"aaaammjj", "hh",
         "# STN,YYYYMMDD,   HH,    T\n"
         "  260,20230304,   23,   10\n"  // before the grid
         "  260,20230304,   24,   11\n"
         "  260,20230305,    1,   12\n"
         "  260,20230305,    2,   13\n"
         "  260,20230305,    3,   14\n"
         "  260,20230305,    4,   15\n"},  // after it
        {"secondes unix", "",
         "STN,t,u,T\n"
         "260,1677970800,0,10\n"
         "260,1677974400,0,11\n"
         "260,1677978000,0,12\n"
         "260,1677981600,0,13\n"
         "260,1677985200,0,14\n"
         "260,1677988800,0,15\n"},
        {"jours tableur", "",
         "STN,t,u,T\n"
         "260,44989.9583333333,0,10\n"
         "260,44990,0,11\n"
         "260,44990.0416666667,0,12\n"
         "260,44990.0833333333,0,13\n"
         "260,44990.125,0,14\n"
         "260,44990.1666666667,0,15\n"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.date + " " + c.heure);
        d = Description{};
        SetUp();
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
        if (c.heure.empty()) {
            d.Edit_num_col_datetime = "2";
            d.Edit_format_datetime_mesure = c.date;
            d.Edit_col_cochee = "4";
        } else {
            d.RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::deux;
            d.Edit_num_col_date = "2";
            d.Edit_num_col_time = "3";
            d.Edit_format_date_mesure_seule = c.date;
            d.Edit_format_time_mesure_seul = c.heure;
            d.Edit_col_cochee = "4";
        }
        d.CheckBox_col_cochee = true;
        inventaire.colonnes.intitules = "STN\tt\tu\tT";
        lecteur.debut_listing();
        fichier("s.csv", c.contenu);
        const ResultatExtraction r = lancer();
        ASSERT_EQ(r.fin, FinExtraction::complete);
        EXPECT_EQ(lignes_par_etape(), (std::vector<double>{1, 1, 1, 1}));
        EXPECT_EQ(colonne(2), (std::vector<Valeur>{11, 12, 13, 14}));
        EXPECT_EQ(table.lire_cellule(1, Colonne::date_dep), "04/03/2023 23:00:00");
        EXPECT_EQ(table.lire_cellule(1, Colonne::date_fin), "05/03/2023 04:00:00");
        TearDown();
        table = TableFichiers{};
        inventaire = EtatInventaire{};
        etapes = TableEtapes{};
        journal = JournalSuivi{};
        lecteur = LecteurDateMesure{};
    }
}

TEST_F(Extraction, DecalageEtDerive) {
    struct Cas {
        int jours;
        double heure;
        bool negatif;
        bool derive;
        std::string mesure;
        int etape;  // 0: outside the grid
    };
    const std::vector<Cas> cas = {
        {0, 1 / 24.0, false, false, "2023-03-05T00:30:00", 3},
        {0, 1 / 24.0, true, false, "2023-03-05T02:30:00", 3},
        {1, 0, true, false, "2023-03-06T00:30:00", 2},
        {1, 0, false, false, "2023-03-05T00:30:00", 0},
        // Drift of +2 h observed a day after its start: half a day later it is +1 h.
        {0, 0, false, true, "2023-03-04T12:30:00", 0},
        {0, 0, false, true, "2023-03-05T00:30:00", 4},
    };
    for (const Cas& c : cas) {
        table.vider();
        decalage_jour = c.jours;
        d.TimePicker_decalage = c.heure;
        d.RadioButton_decalage_negatif = c.negatif;
        d.CheckBox_derive_active = c.derive;
        d.TimePicker_derive_erronee = 10 / 24.0;
        d.TimePicker_derive_reelle = 12 / 24.0;
        d.DateTimePicker_debut_derive = date("04/03/2023 00:30:00");
        d.DateTimePicker_constat_derive = date("05/03/2023 00:30:00");
        fichier("o.csv", "Date;T;P\n" + c.mesure + ";1;1\n");
        ASSERT_EQ(lancer().fin, FinExtraction::complete);
        std::vector<double> attendu(4, 0);
        if (c.etape) attendu[static_cast<std::size_t>(c.etape) - 1] = 1;
        EXPECT_EQ(lignes_par_etape(), attendu) << c.mesure << " décalage " << c.jours << " j";
    }
}

// A corrected time that names a grid date goes to the step the date test gives that date,
// whatever floating-point sum produced it; one millisecond either side moves it.
TEST_F(Extraction, CorrectionSurLaLimiteDuPas) {
    constexpr double ms = 1.0 / 86400000;
    struct Cas {
        const char* nom;
        std::string donnees;
        double decalage;  // the offset's time, days; negative for "-"
        bool plus_1s;
        bool derive;
    };
    // Each case puts its last line exactly on 01:00:00 once corrected.
    const std::vector<Cas> cas = {
        {"décalage +00:20", "2023-03-05T00:40:00;1;1\n", 20 / 1440.0, false, false},
        {"décalage -00:20", "2023-03-05T01:20:00;1;1\n", -20 / 1440.0, false, false},
        {"+1 s", "2023-03-05T00:59:59;1;1\n2023-03-05T00:59:59;1;1\n", 0, true, false},
        {"dérive +00:20", "2023-03-05T00:40:00;1;1\n", 0, false, true},
    };
    for (const Cas& c : cas)
        for (const int strict : {0, 1})
            for (const int ecart : {-1, 0, 1}) {
                SCOPED_TRACE(std::string(c.nom) + (strict ? " (inf strict) " : " (inf ou =) ") +
                             std::to_string(ecart) + " ms");
                table.vider();
                parametres.test_strict = strict;
                const double decalage = c.decalage + ecart * ms;
                d.TimePicker_decalage = std::fabs(decalage);
                d.RadioButton_decalage_negatif = decalage < 0;
                d.CheckBox_correction_si_t1egalt2 = c.plus_1s;
                d.CheckBox_derive_active = c.derive;
                d.TimePicker_derive_erronee = 10 / 24.0;
                d.TimePicker_derive_reelle = 10 / 24.0 + 20 / 1440.0;
                d.DateTimePicker_debut_derive = date("04/03/2023 00:40:00");
                d.DateTimePicker_constat_derive = date("05/03/2023 00:40:00");
                fichier("b.csv", "Date;T;P\n" + c.donnees);
                ASSERT_EQ(lancer().fin, FinExtraction::complete);
                // Steps 00:00, 01:00, 02:00, 03:00: the 01:00 instant closes step 2 under
                // "(inf ou =)" and opens step 3 under "(inf strict)".
                const int etape = ecart < 0 || (ecart == 0 && !strict) ? 2 : 3;
                std::vector<double> attendu(4, 0);
                attendu[static_cast<std::size_t>(etape) - 1] += 1;
                if (c.plus_1s) attendu[1] += 1;  // the first line, at 00:59:59
                EXPECT_EQ(lignes_par_etape(), attendu);
            }
}

// Thirty days of 10-minute data shifted by whole multiples of 10 minutes: every hourly step
// holds six lines, none five or seven.
TEST_F(Extraction, DecalageSurUneLongueSerie) {
    std::string donnees = "Date;T;P\n";
    const double debut = date("01/03/2023 00:00:00");
    for (int i = 0; i < 30 * 144; ++i)
        donnees += date_heure_vers_texte(debut + i * 600 / 86400.0) + ";1;1\n";
    fichier("serie.csv", donnees);
    d.Edit_format_datetime_mesure = "jj_mm_aaaa_hh_mn_ss";
    struct Cas {
        int minutes;
        int strict;
    };
    for (const Cas c : {Cas{20, 0}, Cas{30, 0}, Cas{70, 1}, Cas{230, 1}}) {
        SCOPED_TRACE(std::to_string(c.minutes) + " mn, test " + std::to_string(c.strict));
        parametres.Label_temps_deb = "05/03/2023 00:00:00";
        parametres.Label_temps_fin = "25/03/2023 00:00:00";
        parametres.TimePicker_pas = 1 / 24.0;
        parametres.test_strict = c.strict;
        grille = construire_grille(parametres, dialogue, progression, journal);
        d.TimePicker_decalage = c.minutes / 1440.0;
        ASSERT_EQ(lancer().fin, FinExtraction::complete);
        for (int k = 2; k <= etapes.N(); ++k)
            ASSERT_EQ(etapes.nb_lignes_etape(k), 6) << grille.items[static_cast<std::size_t>(k)];
    }
}

// A database export: every field quoted, separators and decimal commas inside the quotes.
const std::string export_entre_guillemets =
    "\"Date\",\"T, C\",\"P\"\r\n"
    "\"2023-03-05T00:30:00\",\"1,5\",\"NA\"\r\n"
    "\"2023-03-05T01:30:00\",\"2,5\",\"x \"\"7\"\", y\"\r\n"
    "\"2023-03-05T02:30:00\",\"-99999,000\",\"3\"\r\n";

TEST_F(Extraction, ChampsEntreGuillemets) {
    fichier("q.csv", export_entre_guillemets);
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    d.CheckBox_champs_guillemets = true;
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 1, 1, 1}));
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 1.5, 2.5, NA}));
    EXPECT_EQ(colonne(3), (std::vector<Valeur>{NA, NA, NA, 3}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::date_dep), "05/03/2023 00:30:00");
    EXPECT_EQ(table.lire_cellule(1, Colonne::date_fin), "05/03/2023 02:30:00");
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_colonnes), " 3");
    // The log quotes the value read, without its quotes.
    EXPECT_TRUE(journal_contient("pb conversion <x \"7\", y> ligne 3"));
}

// Without the setting the quotes are text: the decimal commas split the values, and no
// value is left.
TEST_F(Extraction, GuillemetsSansLeReglage) {
    fichier("q.csv", export_entre_guillemets);
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 1, 1, 1}));
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, NA, NA, NA}));
    EXPECT_EQ(colonne(3), (std::vector<Valeur>{NA, NA, NA, NA}));
}

TEST_F(Extraction, TitresDesColonnes) {
    decalage_jour = 1;
    d.TimePicker_decalage = 1.5 / 24.0;
    d.RadioButton_decalage_negatif = true;
    d.RadioGroup_methode_ItemIndex = Methode::max;
    d.CheckBox_col_cochee = true;
    d.Edit_col_cochee = "3,,2";
    fichier("t.csv", "Date;T;P\n2023-03-06T02:00:00;1;2\n", "Lac");
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(etapes.K(), 4);
    EXPECT_EQ(etapes.titres_colonnes,
              (std::vector<std::string>{"", "temps(Date decalage=-1j 01:30:00 inf ou =)", "P", "T",
                                        "nb(3)_methode_(max des n  mesures OK )_station(Lac)"}));
    EXPECT_EQ(etapes.colonne_source[2], 3);
    EXPECT_EQ(etapes.colonne_source[3], 2);
    // 06/03 02:00 − 1 j 01:30 = 05/03 00:30, in the 01:00 step.
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 2, NA, NA}));
    EXPECT_TRUE(journal_contient(" colonnes à extraire :"));
    EXPECT_TRUE(journal_contient("2=>P"));
    // The step the description keeps of this run.
    memoriser_periode(parametres, d);
    EXPECT_EQ(d.Label_pas_dsc, "01:00:00");
}

TEST_F(Extraction, ListeDeColonnesFautive) {
    d.CheckBox_col_cochee = true;
    d.Edit_col_cochee = "2,x";
    fichier("t.csv", "Date;T;P\n2023-03-05T01:00:00;1;2\n");
    EXPECT_EQ(lancer().fin, FinExtraction::refusee);
    ASSERT_EQ(dialogue.vus.size(), 1U);
    EXPECT_EQ(dialogue.vus[0].type, TypeMessage::erreur);
    EXPECT_TRUE(contient(dialogue.vus[0].texte, "<x>"));
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_extraites), "");
}

TEST_F(Extraction, FuseauxInconnusRefusesAvantLecture) {
    struct Cas {
        std::string mesures, resultat, nomme;
    };
    const std::vector<Cas> cas = {
        {"Europe/Lutece", "UTC", "<Europe/Lutece>"},
        {"", "UTC+1", "<UTC+1>"},
        {"UTC", "heure de Paris", "<heure de Paris>"},
    };
    for (const Cas& c : cas) {
        dialogue.vus.clear();
        dialogue.ids.clear();
        table.vider();
        d.Edit_fuseau_mesures = c.mesures;
        d.Edit_fuseau_resultat = c.resultat;
        fichier("t.csv", "Date;T;P\n2023-03-05T01:00:00;1;2\n");
        EXPECT_EQ(lancer().fin, FinExtraction::refusee) << c.nomme;
        ASSERT_EQ(dialogue.vus.size(), 1U) << c.nomme;
        EXPECT_EQ(dialogue.ids, std::vector<IdMessage>{IdMessage::fuseau_inconnu});
        EXPECT_TRUE(contient(dialogue.vus[0].texte, c.nomme)) << dialogue.vus[0].texte;
        EXPECT_EQ(table.lire_cellule(1, Colonne::nb_extraites), " ---") << c.nomme;
    }
}

// Times are converted before +1 s compares them: a local time and a UTC one that name the
// same instant are equal times. The offsets written after the times are read for that run
// only.
TEST_F(Extraction, FuseauxConvertisAvantLesCorrections) {
    d.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss souple";
    d.Edit_fuseau_mesures = "UTC+01:00";
    d.Edit_fuseau_resultat = "UTC";
    d.CheckBox_correction_si_t1egalt2 = true;
    fichier("f.csv",
            "Date;T;P\n"
            "05/03/2023 02:00:00;1;1\n"           // 01:00 UTC
            "05/03/2023 01:00:00Z;2;2\n"          // the same instant: one second later
            "05/03/2023 03:30:00 +02:00;4;4\n");  // 01:30 UTC
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 1, 2, 0}));
    // Sums: the steps are not finished yet.
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 1.0, 6.0, NA}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::correction), "+1jour,s 0/1x");
    EXPECT_FALSE(lecteur.lire_decalage_utc);
}

TEST_F(Extraction, LignesIllisibles) {
    std::string contenu = "Date;T;P\n";
    for (int k = 0; k < 5; ++k) contenu += std::string("2023-03-05T00:30:00;1") + '\0' + ";1\n";
    fichier("n.csv", contenu);
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 0, 0, 0}));
    const auto& l = journal.lignes();
    EXPECT_EQ(std::count_if(l.begin(), l.end(),
                            [](const std::string& s) { return contient(s, " pb 2023"); }),
              2);
    EXPECT_TRUE(journal_contient("ligne 4 pb etc ......... "));
    EXPECT_TRUE(journal_contient("nb_pb = 5"));
    EXPECT_EQ(problemes(),
              (std::vector<ProblemeSuivi>{
                  ProblemeSuivi::ligne_illisible, ProblemeSuivi::ligne_illisible,
                  ProblemeSuivi::lignes_illisibles_suite, ProblemeSuivi::nb_lignes_illisibles}));
}

TEST_F(Extraction, CaracteresDeControle) {
    d.CheckBox_car_null = true;
    fichier("c.csv", "Date;T;P\n2023-03-05T00:30:00;1\x02;1\n2023-03-05T00:40:00;3;1\n");
    ASSERT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(colonne(2), (std::vector<Valeur>{NA, 3, NA, NA}));
}

TEST_F(Extraction, Balises) {
    d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
    d.Edit_num_ligne_donnee = "2";
    struct Cas {
        std::string contenu;
        std::vector<double> lignes;
        std::string nb_donnees;
    };
    const std::vector<Cas> cas = {
        {"entete\nDate/time;T;P\n2023-03-05T00:30:00;1;1\n2023-03-05T01:30:00;1;1\nEND OF DATA\n"
         "2023-03-05T01:40:00;1;1\n",
         {0, 1, 2, 0},
         "2"},
        // Without its start tag a file has no data line.
        {"entete\nDate;T;P\n2023-03-05T00:30:00;1;1\n", {0, 0, 0, 0}, "0"},
        // Without its end tag the data end with the last line that is not blank.
        {"Date/time;T;P\n2023-03-05T00:30:00;1;1\n2023-03-05T01:30:00;1;1\n\n  \n",
         {0, 1, 1, 0},
         "2"},
    };
    for (const Cas& c : cas) {
        table.vider();
        fichier("b.csv", c.contenu);
        ASSERT_EQ(lancer().fin, FinExtraction::complete);
        EXPECT_EQ(lignes_par_etape(), c.lignes) << c.contenu;
        EXPECT_EQ(table.lire_cellule(1, Colonne::nb_donnees), c.nb_donnees) << c.contenu;
    }
}

TEST_F(Extraction, PasMoyenObserve) {
    struct Cas {
        std::string donnees;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"2023-03-05T00:10:00;1;1\n2023-03-05T00:20:00;1;1\n2023-03-05T00:30:00;1;1\n",
         "   600 s / 600 s"},
        {"2023-03-05T00:00:00;1;1\n2023-03-05T00:30:00;1;1\n2023-03-05T01:00:00;1;1\n",
         " 00:30:00 / 1800 s"},
        {"2023-03-05T00:10:00;1;1\n2023-03-05T00:10:00;1;1\n2023-03-05T00:10:15;1;1\n"
         "2023-03-05T00:10:45;1;1\n",
         "   22,5 s / 15 s"},
        {"2023-03-05T00:10:00;1;1\n", " ---"},
    };
    for (const Cas& c : cas) {
        table.vider();
        fichier("p.csv", "Date;T;P\n" + c.donnees);
        ASSERT_EQ(lancer().fin, FinExtraction::complete);
        EXPECT_EQ(table.lire_cellule(1, Colonne::pas_moyen), c.attendu) << c.donnees;
    }
}

TEST_F(Extraction, QuestionIntitulesAbandonne) {
    d.Edit_num_ligne_donnee = "1";
    fichier("q.csv", "Date;Temperature;Pression\n2023-03-05T00:30:00;1;1\n");
    dialogue.attendre_question(Reponse::oui);
    EXPECT_EQ(lancer().fin, FinExtraction::abandonnee);
    ASSERT_EQ(dialogue.vus.size(), 1U);
    EXPECT_TRUE(
        contient(dialogue.vus[0].texte, fr("la 1ère ligne de données soit une description")));
    EXPECT_TRUE(contient(dialogue.vus[0].texte, " nb de lettrres = "));
}

TEST_F(Extraction, QuestionIntitulesContinue) {
    d.Edit_num_ligne_donnee = "1";
    fichier("q.csv", "Date;Temperature;Pression\n2023-03-05T00:30:00;1;1\n");
    dialogue.attendre_question(Reponse::non);
    EXPECT_EQ(lancer().fin, FinExtraction::complete);
    EXPECT_EQ(table.lire_cellule(1, Colonne::ligne_intitules), " ? ");
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 1, 0, 0}));
}

TEST_F(Extraction, FichiersMarquesEtArret) {
    fichier("a.csv", "Date;T;P\n2023-03-05T00:30:00;1;1\n");
    fichier("b.csv", "Date;T;P\n2023-03-05T01:30:00;2;2\n");
    fichier("c.csv", "Date;T;P\n2023-03-05T02:30:00;3;3\n");
    table.marquer(2, true);
    table.marquer(3, true);
    progression.arreter_apres(1);
    const ResultatExtraction r = lancer();
    EXPECT_EQ(r.fin, FinExtraction::arretee);
    EXPECT_EQ(r.nb_fichiers, 1);
    EXPECT_EQ(lignes_par_etape(), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(table.lire_cellule(1, Colonne::nb_extraites), " ---");
    EXPECT_EQ(table.lire_cellule(3, Colonne::nb_extraites), " ---");
    EXPECT_TRUE(journal_contient("  Liste partielle"));
    EXPECT_EQ(problemes(), std::vector<ProblemeSuivi>{ProblemeSuivi::liste_partielle});
    EXPECT_EQ(inventaire.ko_traites, 10);
}

// Each run estimates what is left of its own work: a second run over the same files
// ends with nothing left, as the first, and the estimate is shown as it goes.
TEST_F(Extraction, TempsRestantDeChaqueTraitement) {
    fichier("a.csv", "Date;T;P\n2023-03-05T00:30:00;1;1\n");
    fichier("b.csv", "Date;T;P\n2023-03-05T01:30:00;2;2\n");
    for (int passe = 1; passe <= 2; ++passe) {
        progression.temps_restants.clear();
        const ResultatExtraction r = lancer();
        EXPECT_TRUE(r.temps_restant.ends_with("    0 Mo")) << passe << ": " << r.temps_restant;
        ASSERT_EQ(progression.temps_restants.size(), 2u) << passe;
        EXPECT_TRUE(progression.temps_restants[0].ends_with("    0,01 Mo"))
            << passe << ": " << progression.temps_restants[0];
        EXPECT_EQ(progression.temps_restants[1], r.temps_restant);
    }
}

TEST_F(Extraction, FichierAbsentEtGrilleVide) {
    fichier("a.csv", "Date;T;P\n2023-03-05T00:30:00;1;1\n");
    fs::remove(racine_ / "a.csv");
    EXPECT_EQ(lancer().fin, FinExtraction::refusee);
    EXPECT_FALSE(dialogue.vus.empty());

    grille.dates.clear();
    journal.vider();
    EXPECT_EQ(lancer().fin, FinExtraction::refusee);
    EXPECT_EQ(journal.lignes().back(), "!!! : ListBox_date_clean.Items.Count= 0");
    EXPECT_EQ(journal.problemes(),
              (std::vector<JournalSuivi::Probleme>{
                  {journal.lignes().size() - 1, ProblemeSuivi::liste_horodatee_vide}}));
}

TEST_F(Extraction, BeaucoupDeLignes) {
    // More lines than one progress check: every line is counted once, in order.
    grille_horaire(25);
    std::string contenu = "Date;T;P\n";
    for (int s = 0; s < 86400; s += 5) {
        const std::string t =
            date_heure_vers_texte(date("05/03/2023 00:00:00") + (s + 1) * seconde);
        contenu += t.substr(6, 4) + "-" + t.substr(3, 2) + "-" + t.substr(0, 2) + "T" +
                   t.substr(11) + ";" + std::to_string(s % 7) + ";1\n";
    }
    fichier("g.csv", contenu);
    const ResultatExtraction r = lancer();
    ASSERT_EQ(r.fin, FinExtraction::complete);
    // 00:00:01 … 23:59:56: every line lies in (00:00, 24:00], 720 an hour.
    EXPECT_EQ(r.nb_lignes_extraites, 86400 / 5);
    for (int k = 2; k <= 24; ++k) EXPECT_EQ(etapes.nb_lignes_etape(k), 720) << k;
}

}  // namespace
}  // namespace tarvo

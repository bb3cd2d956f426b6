#include "output/formatage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/description.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

using Lignes = std::vector<std::string>;

TEST(FormaterValeur, LargeurCinqEtDecimales) {
    struct Cas {
        long double valeur;
        int decimales;
        const char* attendu;
    };
    const std::vector<Cas> cas = {
        {1.5L, 2, " 1.50"},
        {3.6L, 0, "    4"},
        {12.5L, 3, "12.500"},
        {-2.0L, 2, "-2.00"},
        {0.0L, 1, "  0.0"},
        {123456.25L, 2, "123456.25"},
        // Exact for the extended precision the cells hold: a double would end in ...31483.
        {1.0L / 3.0L, 20, "0.33333333333333333334"},
        // 2^63 + 1 needs the 64-bit mantissa.
        {9223372036854775809.0L, 0, "9223372036854775809"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(formater_valeur(c.valeur, c.decimales), c.attendu) << c.attendu;
}

TEST(FormaterValeur, Reglages) {
    EXPECT_EQ(separateur_sortie(0), "\t");
    EXPECT_EQ(separateur_sortie(1), " ");
    EXPECT_EQ(separateur_sortie(2), " \t");
    EXPECT_EQ(separateur_sortie(3), ";");
    EXPECT_EQ(separateur_sortie(7), "\t");

    const std::vector<std::pair<const char*, const char*>> na = {
        {"#N/A", "#N/A"}, {"e", " "},   {" E ", " "}, {"v", ""},
        {"V ", ""},       {"EE", "EE"}, {"", ""},     {" NA", " NA"}};
    for (const auto& [edit, attendu] : na) EXPECT_EQ(texte_na(edit), attendu) << edit;

    const std::vector<std::pair<const char*, int>> decimales = {
        {"2", 2},   {" 3 ", 3}, {"0", 0},   {"20", 20}, {"21", 2},  {"-1", 2},
        {"abc", 2}, {"", 2},    {"1.5", 2}, {"+3", 2},  {"007", 7}, {"99999999999", 2}};
    for (const auto& [edit, attendu] : decimales) EXPECT_EQ(nb_decimales(edit), attendu) << edit;

    EXPECT_EQ(nombre_court(3), "3");
    EXPECT_EQ(nombre_court(12), "12");
    EXPECT_EQ(nombre_court(0), "0");
    EXPECT_EQ(nombre_court(2.5L), "2.5");
}

TEST(FormaterValeur, MarqueDecimaleParLigne) {
    struct Cas {
        std::string ligne;
        MarqueDecimale marque;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {"d\t1.50\t2.25\t3", MarqueDecimale::virgule, "d\t1,50\t2,25\t3"},
        // A comma already there (here in the NA text) keeps the whole line as it is.
        {"d\t1.50\tn,a\t3", MarqueDecimale::virgule, "d\t1.50\tn,a\t3"},
        {"d;1,50;2,25;3", MarqueDecimale::point, "d;1.50;2.25;3"},
        {"d;1.5;2,5;3", MarqueDecimale::point, "d;1.5;2,5;3"},
        {"d;#N/A;0", MarqueDecimale::virgule, "d;#N/A;0"},
    };
    for (Cas c : cas) {
        appliquer_marque_decimale(c.ligne, c.marque);
        EXPECT_EQ(c.ligne, c.attendu);
    }
}

// Three grid dates, two data columns T and P, K = 4.
TableEtapes table_trois_etapes() {
    TableEtapes t;
    t.dimensionner({44507.0, 44507.0 + 1.0 / 24, 44507.0 + 2.0 / 24}, 4);
    t.titres_colonnes = {"", "temps(Date inf ou =)", "T", "P",
                         "nb(2)_methode_(moyenne des n mesures OK)"};
    return t;
}

const Lignes dates_grille = {"_intitul\xE9s des colonnes", "07/11/2021 00:00:00",
                             "07/11/2021 01:00:00", "07/11/2021 02:00:00"};

TEST(FormaterResultats, LignesSelonLesReglages) {
    struct Cas {
        const char* nom;
        int separateur;
        MarqueDecimale marque;
        const char* na;
        const char* decimales;
        long double valeur_t;  // step 2, column T; P is NA there and step 3 is empty
        Lignes resultats;
        Lignes valeurs;
    };
    const std::string entete_tab =
        "temps(Date inf ou =)\tT\tP\tnb(2)_methode_(moyenne des n mesures OK)";
    const std::vector<Cas> cas = {
        {"défaut",
         0,
         MarqueDecimale::virgule,
         "#N/A",
         "2",
         12.35L,
         {entete_tab, "07/11/2021 01:00:00\t12,35\t#N/A\t4", "07/11/2021 02:00:00\t#N/A\t#N/A\t0"},
         {"T\tP", "12,35\t#N/A", "#N/A\t#N/A"}},
        {"espace, point, V, 0 décimale",
         1,
         MarqueDecimale::point,
         "v",
         "0",
         3.6L,
         {"temps(Date inf ou =) T P nb(2)_methode_(moyenne des n mesures OK)",
          "07/11/2021 01:00:00     4  4", "07/11/2021 02:00:00   0"},
         // The blank inside the date is not the end of the time column.
         {"T P", "    4 ", " "}},
        {"espace+tab, E, décimales fautives",
         2,
         MarqueDecimale::virgule,
         "e",
         "x",
         1.5L,
         {"temps(Date inf ou =) \tT \tP \tnb(2)_methode_(moyenne des n mesures OK)",
          "07/11/2021 01:00:00 \t 1,50 \t  \t4", "07/11/2021 02:00:00 \t  \t  \t0"},
         {"T \tP", " 1,50 \t ", "  \t "}},
        {"point-virgule, NA avec virgule",
         3,
         MarqueDecimale::virgule,
         "n,a",
         "3",
         12.5L,
         {"temps(Date inf ou =);T;P;nb(2)_methode_(moyenne des n mesures OK)",
          "07/11/2021 01:00:00;12.500;n,a;4", "07/11/2021 02:00:00;n,a;n,a;0"},
         {"T;P", "12.500;n,a", "n,a;n,a"}},
    };
    for (const Cas& c : cas) {
        TableEtapes t = table_trois_etapes();
        // Row 1 is empty: it would add NA texts if it were written.
        t.nb_lignes_etape(2) = 4;
        t.valeur[t.indice(2, 2)] = c.valeur_t;
        t.valeur[t.indice(2, 3)] = 7;
        t.na[t.indice(2, 3)] = 1;
        // An empty step is NA whatever its cells hold.
        t.valeur[t.indice(3, 2)] = 9;
        Description d;
        d.RadioGroup_separateur_sortie_ItemIndex = c.separateur;
        d.RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex = static_cast<MarqueDecimale>(c.marque);
        d.Edit_NA = c.na;
        d.Edit_nb_decimale = c.decimales;
        ListesResultats listes;
        listes.ListBox_DONNEE_date_clean = {"ancienne ligne"};
        ProgressionScriptee progression;
        EXPECT_TRUE(formater_resultats(t, dates_grille, d, listes, progression)) << c.nom;
        EXPECT_EQ(listes.ListBox_DONNEE_date_clean, c.resultats) << c.nom;
        EXPECT_EQ(listes.ListBox_juste_donnee, c.valeurs) << c.nom;
        EXPECT_EQ(t.nb_vides[2], 1) << c.nom;
        EXPECT_EQ(t.nb_vides[3], 2) << c.nom;
        ASSERT_FALSE(progression.affichages.empty());
        EXPECT_EQ(progression.affichages.back().message, "3- patienter ... formatage 100%   ");
    }
}

TEST(FormaterResultats, UnNouveauFormatageRecompteLesVides) {
    TableEtapes t = table_trois_etapes();
    Description d;
    d.Edit_NA = "#N/A";
    d.Edit_nb_decimale = "2";
    ListesResultats listes;
    ProgressionScriptee progression;
    ASSERT_TRUE(formater_resultats(t, dates_grille, d, listes, progression));
    ASSERT_TRUE(formater_resultats(t, dates_grille, d, listes, progression));
    EXPECT_EQ(t.nb_vides[2], 2);
    EXPECT_EQ(listes.ListBox_DONNEE_date_clean.size(), 3u);
}

// Rows 1..N of one column holding k, one line each, with their texts "L1"…"LN".
void table_numerotee(int N, TableEtapes& t, Lignes& items) {
    std::vector<double> dates;
    items = {"_intitul\xE9s des colonnes"};
    for (int k = 1; k <= N; ++k) {
        dates.push_back(45000 + k);
        items.push_back("L" + std::to_string(k));
    }
    t.dimensionner(dates, 3);
    t.titres_colonnes = {"", "t", "v", "nb"};
    for (int k = 1; k <= N; ++k) {
        t.nb_lignes_etape(k) = 1;
        t.valeur[t.indice(k, 2)] = k;
    }
}

// A stop asked while the files were read stops the reading only: the formatting that
// follows writes every row.
TEST(FormaterResultats, ArretPendantLaLectureToutEstFormate) {
    constexpr int N = 20000;
    TableEtapes t;
    Lignes items;
    table_numerotee(N, t, items);
    Description d;
    d.Edit_nb_decimale = "0";
    ListesResultats listes;
    ProgressionScriptee progression;
    progression.arreter_apres(0);
    EXPECT_TRUE(formater_resultats(t, items, d, listes, progression));
    EXPECT_EQ(listes.ListBox_DONNEE_date_clean.size(), static_cast<std::size_t>(N));
}

TEST(FormaterResultats, LArretGardeLesLignesFaites) {
    constexpr int N = 20000;
    TableEtapes t;
    Lignes items;
    table_numerotee(N, t, items);
    Description d;
    d.Edit_NA = "#N/A";
    d.Edit_nb_decimale = "0";
    ListesResultats listes;
    ProgressionScriptee progression;
    progression.arreter_apres(1);
    EXPECT_FALSE(formater_resultats(t, items, d, listes, progression));
    const auto& r = listes.ListBox_DONNEE_date_clean;
    ASSERT_GE(r.size(), 2u);
    ASSERT_LT(r.size(), static_cast<std::size_t>(N));
    EXPECT_EQ(listes.ListBox_juste_donnee.size(), r.size());
    // Rows 2..i were made before the stop at row i.
    const int i = static_cast<int>(r.size());
    char attendu[64];
    std::snprintf(attendu, sizeof attendu, "L%d\t%5d\t1", i, i);
    EXPECT_EQ(r.back(), attendu);
    EXPECT_EQ(r[1], "L2\t    2\t1");
    EXPECT_EQ(progression.nb_passes, 1);
}

}  // namespace
}  // namespace tarvo

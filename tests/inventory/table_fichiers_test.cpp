#include "inventory/table_fichiers.h"

#include <gtest/gtest.h>

#include "formats/cp1252.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

TEST(IndiceColonne, TitresCherchesSansLesBlancs) {
    struct Cas {
        std::string titre;
        int attendu;
    };
    const std::vector<Cas> cas = {
        {"n", 0},
        {"  fichier ", 1},
        {fr("n°Lig intitulés"), 14},
        {fr("s/répertoire"), 2},
        {"x", 15},  // the mark column's title is " x"
        {"date", -1},
        {"", -1},
        {"   ", -1},
    };
    const TableFichiers table;
    for (const Cas& c : cas) EXPECT_EQ(table.indice_colonne(c.titre), c.attendu) << c.titre;
}

TEST(TableFichiers, CellulesParTitre) {
    TableFichiers table;
    EXPECT_EQ(table.nb_lignes(), 1);
    EXPECT_EQ(table.lire_cellule(0, Colonne::taille), "taille (Mo)");
    const int l = table.ajouter_ligne();
    EXPECT_EQ(l, 1);
    table.ecrire_cellule(l, fr("n.données"), "5 898");
    EXPECT_EQ(table.lire_cellule(l, Colonne::nb_donnees), "5 898");
    EXPECT_EQ(table.ligne(l)[8], "5 898");
    // A title no column has is a programming error that carries the user's message.
    try {
        table.ecrire_cellule(l, "inconnue", "x");
        FAIL() << "no exception";
    } catch (const ErreurColonne& e) {
        EXPECT_STREQ(e.what(), "La colonne <inconnue> n'existe pas");
    }
    EXPECT_THROW(static_cast<void>(table.lire_cellule(2, Colonne::n)), std::out_of_range);
    table.vider();
    EXPECT_EQ(table.nb_lignes(), 1);
    EXPECT_EQ(table.lire_cellule(0, Colonne::marque), " x");
}

TableFichiers table_de(const std::vector<std::vector<std::string>>& lignes) {
    TableFichiers table;
    for (const auto& cellules : lignes) {
        const int l = table.ajouter_ligne();
        table.ecrire_cellule(l, Colonne::n, cellules.at(0));
        table.ecrire_cellule(l, Colonne::fichier, cellules.at(1));
        table.ecrire_cellule(l, Colonne::date_nom_fichier, cellules.at(2));
    }
    return table;
}

std::vector<std::string> colonne(const TableFichiers& table, Colonne c) {
    std::vector<std::string> v;
    for (int i = 1; i < table.nb_lignes(); ++i) v.push_back(table.lire_cellule(i, c));
    return v;
}

TEST(TrierTableau, DoubleClicsSurLeTitre) {
    using V = std::vector<std::string>;
    TableFichiers table = table_de({{"3", "c.csv", "2023/02/01"},
                                    {"10", "a.csv", "2021/12/31"},
                                    {"1", "b.csv", ""},
                                    {"2", "d.csv", "2023/01/31"}});
    const int n = table.indice_colonne("n");
    ASSERT_EQ(genre_tri_colonne(table, n), GenreTri::nombre);
    // Numbers sort by value: 10 after 3, which a text sort would not give.
    table.trier_tableau(n, GenreTri::nombre, true);
    EXPECT_EQ(colonne(table, Colonne::n), (V{"1", "2", "3", "10"}));
    EXPECT_EQ(colonne(table, Colonne::fichier), (V{"b.csv", "d.csv", "c.csv", "a.csv"}));
    table.trier_tableau(n, GenreTri::nombre, false);
    EXPECT_EQ(colonne(table, Colonne::n), (V{"10", "3", "2", "1"}));

    // The file-name date is always text, which is chronological year first.
    const int date = table.indice_colonne("date_NOM_Fichier");
    EXPECT_EQ(genre_tri_colonne(table, date), GenreTri::texte);
    table.trier_tableau(date, GenreTri::texte, true);
    EXPECT_EQ(colonne(table, Colonne::date_nom_fichier),
              (V{"", "2021/12/31", "2023/01/31", "2023/02/01"}));
}

TEST(TrierTableau, CellulesNonNumeriquesEtEgales) {
    using V = std::vector<std::string>;
    // " ---" and "abc" are no numbers: they sort as 0; rows with equal cells keep their order.
    TableFichiers table = table_de(
        {{"5", "a", ""}, {" ---", "b", ""}, {"-2", "c", ""}, {"abc", "d", ""}, {"1,5", "e", ""}});
    table.trier_tableau(0, GenreTri::nombre, true);
    EXPECT_EQ(colonne(table, Colonne::fichier), (V{"c", "b", "d", "e", "a"}));

    TableFichiers egales = table_de({{"1", "a", ""},
                                     {"1", "b", ""},
                                     {"1", "c", ""},
                                     {"1", "d", ""},
                                     {"1", "e", ""},
                                     {"1", "f", ""},
                                     {"1", "g", ""}});
    egales.trier_tableau(0, GenreTri::texte, false);
    EXPECT_EQ(colonne(egales, Colonne::fichier), (V{"a", "b", "c", "d", "e", "f", "g"}));

    // Character-code order: accented letters (Windows-1252 bytes above 127) come after z.
    TableFichiers accents =
        table_de({{"1", fr("étang.csv"), ""}, {"2", "zone.csv", ""}, {"3", "Amont.csv", ""}});
    accents.trier_tableau(1, GenreTri::texte, true);
    EXPECT_EQ(colonne(accents, Colonne::fichier), (V{"Amont.csv", "zone.csv", fr("étang.csv")}));
}

TEST(Marques, MemoriseesPuisRemisesParNom) {
    TableFichiers table = table_de({{"1", "a.csv", ""}, {"2", "b.csv", ""}, {"3", "c.csv", ""}});
    table.marquer(3, true);
    table.marquer(1, true);
    const std::vector<std::string> marques = memoriser_marques(table);
    EXPECT_EQ(marques, (std::vector<std::string>{"a.csv", "c.csv"}));

    // A new listing with a new file in front: the marks follow the names, not the rows.
    TableFichiers nouvelle =
        table_de({{"1", "0.csv", ""}, {"2", "a.csv", ""}, {"3", "b.csv", ""}, {"4", "c.csv", ""}});
    nouvelle.marquer(1, true);
    restaurer_marques(nouvelle, marques);
    EXPECT_FALSE(nouvelle.marquee(1));
    EXPECT_TRUE(nouvelle.marquee(2));
    EXPECT_FALSE(nouvelle.marquee(3));
    EXPECT_TRUE(nouvelle.marquee(4));
    EXPECT_EQ(nouvelle.lire_cellule(4, Colonne::marque), "x");
}

}  // namespace
}  // namespace tarvo

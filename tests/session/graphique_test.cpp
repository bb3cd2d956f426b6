// The graph window's data: the lists, the selection texts kept in the description, and the
// series each chart draws from a run's step table.
#include "session/graphique.h"

#include <gtest/gtest.h>

#include <cmath>

#include "formats/cp1252.h"

using namespace tarvo;

namespace {

// A run of `n` hourly steps with `colonnes` data columns (titles "c1", "c2" …) and the
// count column; every data cell holds 10 × row + column and one measurement.
TableEtapes table(int n, int colonnes) {
    std::vector<double> dates;
    for (int i = 1; i <= n; ++i) dates.push_back(45444.0 + (i - 1) / 24.0);
    TableEtapes t;
    t.dimensionner(dates, colonnes + 2);
    t.titres_colonnes[1] = "date";
    for (int m = 2; m <= t.K(); ++m)
        t.titres_colonnes[static_cast<std::size_t>(m)] = "c" + std::to_string(m - 1);
    t.titres_colonnes[static_cast<std::size_t>(t.K())] = "n";
    for (int i = 1; i <= n; ++i) {
        for (int m = 2; m < t.K(); ++m) {
            t.valeur[t.indice(i, m)] = 10.0L * i + m;
            t.nb_ok[t.indice(i, m)] = 1;
        }
        t.nb_lignes_etape(i) = 3;
    }
    return t;
}

void rendre_na(TableEtapes& t, int i, int m) {
    t.na[t.indice(i, m)] = 1;
    t.nb_ok[t.indice(i, m)] = 0;
}

// One chart with only item p checked (derivative or not).
DonneesGraphe une_colonne(const TableEtapes& t, int p, bool derivee, bool abscisse_n = false) {
    const auto items = items_graphe(t);
    std::vector<bool> colonnes(items.size()), derivees(items.size());
    colonnes[static_cast<std::size_t>(p)] = true;
    derivees[static_cast<std::size_t>(p)] = derivee;
    int compteur = 0;
    return donnees_graphe(t, colonnes, derivees, items, abscisse_n, 1.0 / 24, compteur);
}

std::vector<double> abscisses(const SerieGraphe& s) {
    std::vector<double> x;
    for (const auto& seg : s.segments)
        for (const auto& p : seg) x.push_back(p.x);
    return x;
}

}  // namespace

TEST(Graphique, ItemsEtCompteRembourre) {
    TableEtapes t = table(5, 3);
    t.titres_colonnes[3] = "temperature";
    EXPECT_EQ(items_graphe(t),
              (std::vector<std::string>{"c1", "temperature", "c3", "n OK        "}));
}

TEST(Graphique, DispatchEtTextes) {
    struct Cas {
        int colonnes;
        std::string texte;
    };
    for (const Cas& c :
         {Cas{8, "0,5,;1,6,;2,7,;3,8,;4,;"}, Cas{20, "0,5,10,;1,6,11,;2,7,12,;3,8,13,;4,9,14,;"},
          Cas{2, "0,;1,;2,;;;"}}) {
        const int items = static_cast<int>(items_graphe(table(4, c.colonnes)).size());
        const Coches coches = dispatcher_coches(items);
        EXPECT_EQ(texte_selection(coches), c.texte) << c.colonnes;
        int cochees = 0;
        for (const auto& liste : coches)
            cochees += static_cast<int>(std::count(liste.begin(), liste.end(), true));
        EXPECT_EQ(cochees, std::min(items, 15)) << c.colonnes;
        EXPECT_EQ(texte_selection(restaurer_coches(c.texte, items)), c.texte);
    }
}

TEST(Graphique, RestaurationIgnoreLesIndicesEnTrop) {
    struct Cas {
        std::string texte;
        std::string attendu;
    };
    for (const Cas& c : {Cas{"0,12,;3,;99,;;;", "0,;3,;;;;"}, Cas{"0,5,;1,;;;;", "0,5,;1,;;;;"},
                         Cas{"x,2,;;", "2,;;;;;"}, Cas{";;;;8,;7,", ";;;;8,;"}}) {
        EXPECT_EQ(texte_selection(restaurer_coches(c.texte, 9)), c.attendu) << c.texte;
    }
}

TEST(Graphique, DeriveeTrousAuPremierRangEtAutourDUnNA) {
    TableEtapes t = table(10, 2);
    rendre_na(t, 5, 2);
    const DonneesGraphe d = une_colonne(t, 0, true);
    ASSERT_EQ(d.series.size(), 1u);
    const SerieGraphe& s = d.series[0];
    EXPECT_EQ(s.titre, "d/dt > c1");
    // Rows 2..9 drawn; row 2 is the first, rows 5 and 6 touch the NA.
    ASSERT_EQ(s.segments.size(), 2u);
    EXPECT_EQ(s.segments[0].size(), 2u);  // rows 3, 4
    EXPECT_EQ(s.segments[1].size(), 3u);  // rows 7, 8, 9
    EXPECT_DOUBLE_EQ(s.segments[0][0].x, t.date[3]);
    EXPECT_DOUBLE_EQ(s.segments[1][0].x, t.date[7]);
    for (const auto& seg : s.segments)
        for (const auto& p : seg) EXPECT_NEAR(p.y, 10.0 * 24, 1e-6);  // 10 per hour, per day
}

TEST(Graphique, ColonneSansDeriveeCoupeeParNAEtEtapeVide) {
    TableEtapes t = table(10, 2);
    rendre_na(t, 4, 3);
    t.nb_ok[t.indice(7, 3)] = 0;  // a step no measurement fell into
    const DonneesGraphe d = une_colonne(t, 1, false);
    const SerieGraphe& s = d.series[0];
    ASSERT_EQ(s.segments.size(), 3u);
    EXPECT_EQ(s.segments[0].size(), 2u);  // rows 2, 3
    EXPECT_EQ(s.segments[1].size(), 2u);  // rows 5, 6
    EXPECT_EQ(s.segments[2].size(), 2u);  // rows 8, 9
    // Drawn from 23 to 93: the axis spans three times that range and 0.1 more each side.
    EXPECT_DOUBLE_EQ(d.axe_min, 23 - 70 - 0.1);
    EXPECT_DOUBLE_EQ(d.axe_max, 93 + 70 + 0.1);
}

TEST(Graphique, AbscisseNDeUnANMoinsDeux) {
    const TableEtapes t = table(12, 1);
    const DonneesGraphe d = une_colonne(t, 0, false, true);
    const std::vector<double> x = abscisses(d.series[0]);
    ASSERT_EQ(x.size(), 10u);
    for (std::size_t j = 0; j < x.size(); ++j) EXPECT_DOUBLE_EQ(x[j], 1.0 + static_cast<double>(j));
}

TEST(Graphique, ColonneDuCompteTraceeSiPositive) {
    TableEtapes t = table(6, 1);
    t.nb_lignes_etape(3) = 0;
    const DonneesGraphe d = une_colonne(t, 1, true);  // the count, derivative checked
    const SerieGraphe& s = d.series[0];
    EXPECT_EQ(s.titre, "d/dt > n OK");
    // Row 2 is the first (a gap), row 3 has no line; rows 4 and 5 plot the count itself.
    ASSERT_EQ(s.segments.size(), 1u);
    ASSERT_EQ(s.segments[0].size(), 2u);
    EXPECT_DOUBLE_EQ(s.segments[0][0].y, 3);
    EXPECT_DOUBLE_EQ(s.segments[0][1].y, 3);
}

TEST(Graphique, QuinzeSeriesAuPlusEtCouleursEnSuite) {
    const TableEtapes t = table(5, 20);
    const auto items = items_graphe(t);
    const std::vector<bool> toutes(items.size(), true), aucune(items.size(), false);
    int compteur = 3;
    const DonneesGraphe d = donnees_graphe(t, toutes, aucune, items, false, 1, compteur);
    EXPECT_EQ(d.series.size(), 15u);
    EXPECT_EQ(compteur, 18);
    EXPECT_EQ(d.series.front().couleur, 3);
    EXPECT_EQ(d.series.back().couleur, 2);  // the palette comes round again
}

TEST(Graphique, SansPointNiSerie) {
    TableEtapes t = table(6, 1);
    for (int i = 1; i <= 6; ++i) rendre_na(t, i, 2);
    const DonneesGraphe d = une_colonne(t, 0, false);
    EXPECT_EQ(d.series.size(), 1u);
    EXPECT_TRUE(d.series[0].segments.empty());
    EXPECT_FALSE(d.a_des_points());
}

TEST(Graphique, Textes) {
    const auto pas = [](double heures, int n, int unite) {
        ParametresGrille p;
        p.TimePicker_pas = heures / 24;
        p.SpinEdit_pas_jour_mois_annee = n;
        p.unite_pas = unite;
        return texte_pas_graphe(p);
    };
    EXPECT_EQ(pas(1.5, 1, unite_hms), "pas = 01:30:00");
    EXPECT_EQ(pas(0, 1, unite_jour), "pas = 1 jour");
    EXPECT_EQ(pas(0, 3, unite_jour), "pas = 3 jours");
    EXPECT_EQ(pas(0, 2, unite_mois), "pas = 2 mois");
    EXPECT_EQ(pas(0, 1, unite_annee), fr("pas = 1 année"));
    EXPECT_EQ(pas(0, 2, unite_annee), fr("pas = 2 années"));
    EXPECT_EQ(texte_lecture_point("c1", 45444.5, 2.25),
              fr("  série   c1\n  01/06/2024 12:00:00\n  2.250 "));
    EXPECT_EQ(texte_lecture_point("c1", 45444.0, -1),
              fr("  série   c1\n  01/06/2024 00:00:00\n  -1.000 "));
    EXPECT_EQ(message_graphe_sans_donnee(),
              fr(" aucune donnée, vérifier la période et le traitement..."));
}

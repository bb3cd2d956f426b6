#include "engine/agregation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/journal_suivi.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

using Valeur = std::optional<double>;
constexpr Valeur NA = std::nullopt;
using Colonne = std::vector<Valeur>;

// One measurement line of a step: a value or NA per data column.
struct Ligne {
    int etape;
    std::vector<Valeur> champs;
};

// A table of N steps and as many data columns as the lines hold, filled line by line the
// way the extraction does: each line rewrites the NA mark, an OK value is gathered.
TableEtapes table_de(int N, int nb_colonnes, const std::vector<Ligne>& lignes, Methode methode) {
    TableEtapes t;
    std::vector<double> dates;
    for (int k = 1; k <= N; ++k) dates.push_back(45000 + k);
    t.dimensionner(dates, nb_colonnes + 2);
    for (int i = 2; i <= t.K(); ++i)
        t.titres_colonnes[static_cast<std::size_t>(i)] = "C" + std::to_string(i);
    for (const Ligne& l : lignes) {
        for (int i = 2; i <= t.K() - 1; ++i) {
            const Valeur& v = l.champs[static_cast<std::size_t>(i) - 2];
            t.na[t.indice(l.etape, i)] = v ? 0 : 1;
            if (v) accumuler(t, l.etape, i, *v, methode);
        }
        t.nb_lignes_etape(l.etape) += 1;
    }
    return t;
}

// What the result shows for rows first..N of column i: NA for an empty step or NA cell.
Colonne ecrit(const TableEtapes& t, int i, int premiere = 2) {
    Colonne r;
    for (int k = premiere; k <= t.N(); ++k) {
        if (t.nb_lignes_etape(k) == 0 || t.na[t.indice(k, i)] != 0)
            r.push_back(NA);
        else
            r.push_back(static_cast<double>(t.valeur[t.indice(k, i)]));
    }
    return r;
}

// One value per step (NA = NA line, nothing = empty step), from row 1.
std::vector<Ligne> une_par_etape(const std::vector<std::optional<Valeur>>& etapes) {
    std::vector<Ligne> r;
    for (std::size_t k = 0; k < etapes.size(); ++k)
        if (etapes[k]) r.push_back({static_cast<int>(k) + 1, {*etapes[k]}});
    return r;
}

TEST(Agregation, MethodesSurUneEtape) {
    struct Cas {
        const char* nom;
        Methode methode;
        std::vector<Ligne> lignes;  // all in step 2 of a 3-step table, two columns
        Colonne attendu_c2;         // rows 2..3
        Colonne attendu_c3;
    };
    const std::vector<Cas> cas = {
        {"dernière mesure", Methode::ponctuel, {{2, {5, 1}}, {2, {3, 1}}}, {3, NA}, {1, NA}},
        {"moyenne, NA en dernier",
         Methode::moyenne,
         {{2, {4, 1}}, {2, {6, 1}}, {2, {NA, 1}}},
         {NA, NA},
         {1, NA}},
        {"moyenne, NA au milieu",
         Methode::moyenne,
         {{2, {4, 1}}, {2, {NA, 1}}, {2, {6, 1}}},
         {5, NA},
         {1, NA}},
        {"max de négatifs", Methode::max, {{2, {-5, 1}}, {2, {-2, 1}}}, {-2, NA}, {1, NA}},
        // The step has a line already, but the cell had no OK value: −7 is taken as it is.
        {"max, premier OK après une ligne NA",
         Methode::max,
         {{2, {NA, 1}}, {2, {-7, 1}}},
         {-7, NA},
         {1, NA}},
        {"min, premier OK après une ligne NA",
         Methode::min,
         {{2, {NA, 1}}, {2, {8, 1}}, {2, {9, 2}}},
         {8, NA},
         {1, NA}},
        {"min", Methode::min, {{2, {5, 1}}, {2, {-1, 1}}, {2, {3, 1}}}, {-1, NA}, {1, NA}},
        {"cumul sur une étape", Methode::cumul, {{2, {1.5, 1}}, {2, {2, 1}}}, {3.5, NA}, {2, NA}},
    };
    for (const Cas& c : cas) {
        TableEtapes t = table_de(3, 2, c.lignes, c.methode);
        ProgressionScriptee progression;
        finir_etapes(t, c.methode, progression);
        EXPECT_EQ(ecrit(t, 2), c.attendu_c2) << c.nom;
        EXPECT_EQ(ecrit(t, 3), c.attendu_c3) << c.nom;
    }
}

TEST(Agregation, RemplissageDesEtapesVidesEtCumul) {
    struct Cas {
        const char* nom;
        Methode methode;
        std::vector<std::optional<Valeur>> etapes;  // rows 1..N
        Colonne attendu;                            // rows 2..N
    };
    const auto vide = std::optional<Valeur>();
    const std::vector<Cas> cas = {
        {"vide entre deux", Methode::moyenne_vides, {vide, 10.0, vide, 20.0}, {10, 15, 20}},
        {"deux vides", Methode::moyenne_vides, {vide, 10.0, vide, vide, 20.0}, {10, NA, NA, 20}},
        {"voisin NA", Methode::moyenne_vides, {vide, 10.0, vide, NA, 20.0}, {10, NA, NA, 20}},
        {"premier et dernier rangs jamais remplis",
         Methode::moyenne_vides,
         {vide, vide, 4.0, vide},
         {NA, 4, NA}},
        {"moyenne sans remplissage", Methode::moyenne, {vide, 10.0, vide, 20.0}, {10, NA, 20}},
        {"cumul", Methode::cumul, {vide, 1.0, 2.0, 3.0}, {1, 3, 6}},
        {"cumul repart après NA", Methode::cumul, {vide, 1.0, NA, 3.0, 4.0}, {1, NA, 3, 7}},
        {"cumul repart après un vide", Methode::cumul, {vide, 1.0, vide, 3.0}, {1, NA, 3}},
    };
    for (const Cas& c : cas) {
        const int N = static_cast<int>(c.etapes.size());
        TableEtapes t = table_de(N, 1, une_par_etape(c.etapes), c.methode);
        if (c.methode == Methode::moyenne_vides) remplir_etapes_vides(t);
        ProgressionScriptee progression;
        finir_etapes(t, c.methode, progression);
        EXPECT_EQ(ecrit(t, 2), c.attendu) << c.nom;
    }
}

TEST(Agregation, RemplissageParColonne) {
    // Step 3 is empty; column 2 has OK neighbours, column 3 an NA one: column 3 must stay
    // NA even though the step now counts lines.
    TableEtapes t = table_de(4, 2, {{2, {10, 1}}, {4, {20, NA}}}, Methode::moyenne_vides);
    remplir_etapes_vides(t);
    ProgressionScriptee progression;
    finir_etapes(t, Methode::moyenne_vides, progression);
    EXPECT_EQ(ecrit(t, 2), (Colonne{10, 15, 20}));
    EXPECT_EQ(ecrit(t, 3), (Colonne{1, NA, NA}));
    EXPECT_EQ(t.nb_lignes_etape(3), 2);
}

TEST(Agregation, CroissanceForcee) {
    struct Cas {
        std::vector<std::optional<Valeur>> etapes;  // rows 1..N, method "max"
        Colonne attendu;                            // rows 2..N
    };
    const auto vide = std::optional<Valeur>();
    const std::vector<Cas> cas = {
        {{0.0, 10.0, 20.0, 30.0, 5.0, 15.0}, {10, 20, 30, 30, 45}},
        // The empty step reads as a drop to 0 and stays unwritten.
        {{0.0, 10.0, 20.0, vide, 30.0}, {10, 20, NA, 50}},
        // An NA cell becomes 0 too, and is written as 20 (the last total).
        {{0.0, 10.0, 20.0, NA, 30.0}, {10, 20, 20, 50}},
        {{0.0, 10.0, 2.0, 5.0, 1.0, 4.0}, {10, 10, 15, 15, 19}},
    };
    for (const Cas& c : cas) {
        TableEtapes t =
            table_de(static_cast<int>(c.etapes.size()), 1, une_par_etape(c.etapes), Methode::max);
        forcer_croissance(t);
        EXPECT_EQ(ecrit(t, 2), c.attendu);
    }
}

TEST(Agregation, ComblementDesLacunes) {
    struct Cas {
        const char* nom;
        std::string nmax;
        std::vector<std::optional<Valeur>> etapes;  // rows 1..N
        Colonne attendu;                            // rows 2..N
        std::vector<std::string> journal;           // the column's lines
        int interpolations;
    };
    const auto vide = std::optional<Valeur>();
    const std::vector<Cas> cas = {
        {"deux NA",
         "3",
         {vide, 10.0, NA, NA, 40.0},
         {10, 20, 30, 40},
         {"    régression effectuée sur 2 données 2-5"},
         2},
        {"quatre NA, nmax 3",
         "3",
         {vide, 10.0, NA, NA, NA, NA, 60.0},
         {10, NA, NA, NA, NA, 60},
         {"    ---> régression NON effectuée sur 4 données 2-7"},
         0},
        {"un vide et un NA",
         "3",
         {vide, 10.0, vide, NA, 40.0},
         {10, 20, 30, 40},
         {"    régression effectuée sur 2 données 2-5"},
         2},
        {"nmax illisible vaut 3",
         "x",
         {vide, 10.0, NA, NA, NA, 50.0},
         {10, 20, 30, 40, 50},
         {"    régression effectuée sur 3 données 2-6"},
         3},
        {"première lacune recopiée en arrière",
         "3",
         {vide, NA, vide, 7.0, 9.0},
         {7, 7, 7, 9},
         {"    régression effectuée sur 2 données 1-4"},
         2},
        // A later gap of the same length is interpolated, not copied.
        {"seconde lacune interpolée",
         "3",
         {vide, NA, 4.0, NA, 8.0},
         {4, 4, 6, 8},
         {"    régression effectuée sur 1 données 1-3",
          "    régression effectuée sur 1 données 3-5"},
         2},
        {"lacune finale prolongée", "1", {vide, 5.0, NA, NA, NA}, {5, 5, 5, 5}, {}, 3},
        // Nothing valid at all: row 1 holds no measurement to carry.
        {"colonne vide", "3", {0.0, NA, NA, vide}, {NA, NA, NA}, {}, 0},
    };
    for (const Cas& c : cas) {
        const int N = static_cast<int>(c.etapes.size());
        TableEtapes t = table_de(N, 1, une_par_etape(c.etapes), Methode::moyenne);
        ProgressionScriptee progression;
        finir_etapes(t, Methode::moyenne, progression);
        JournalSuivi journal;
        EXPECT_EQ(combler_lacunes(t, c.nmax, journal), c.interpolations) << c.nom;
        EXPECT_EQ(ecrit(t, 2), c.attendu) << c.nom;
        const std::string egal(74, '=');
        std::vector<std::string> attendu = {
            "",
            egal,
            fr("---> POST-traitement  sur ") + std::to_string(N) + fr(" lignes horodatées"),
            egal,
            "   un maximum de " + std::string(c.nmax == "x" ? "3" : c.nmax) +
                fr(" données manquantes par lacune, ( NA ou vides ) sont comblées par calcul"),
            "--> C2"};
        for (const std::string& l : c.journal) attendu.push_back(fr(l));
        attendu.push_back("");
        attendu.push_back("  " + std::to_string(c.interpolations) +
                          fr(" interpolations effectuées"));
        attendu.push_back(egal);
        EXPECT_EQ(journal.lignes(), attendu) << c.nom;
    }
}

TEST(Agregation, LacuneRemplieComptee) {
    // A filled cell counts as OK with one value, and the step shows 2 lines (1 at the end).
    TableEtapes t =
        table_de(5, 1, une_par_etape({std::nullopt, 10.0, NA, 30.0, NA}), Methode::moyenne);
    JournalSuivi journal;
    combler_lacunes(t, "3", journal);
    EXPECT_EQ(t.nb_ok[t.indice(3, 2)], 1);
    EXPECT_EQ(t.nb_lignes_etape(3), 2);
    EXPECT_EQ(t.nb_lignes_etape(5), 1);
    EXPECT_EQ(ecrit(t, 2), (Colonne{10, 20, 30, 30}));
}

TEST(Agregation, DeltaYEtDerivee) {
    struct Cas {
        bool delta_Y;
        bool derivees;
        std::vector<std::optional<Valeur>> etapes;
        Colonne attendu;  // rows 2..N
        std::string ligne_journal;
    };
    const std::vector<Cas> cas = {
        {true,
         false,
         {1.0, 3.0, 6.0, 10.0},
         {0, 3, 4},
         "  calcul des delta Y (rétro cumul)  y(i) - y(i-1)"},
        {false,
         true,
         {1.0, 3.0, 6.0, 10.0},
         {0, 6, 8},
         "  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas"},
        // Both ticked in a description: the differences win.
        {true,
         true,
         {1.0, 3.0, 6.0, 10.0},
         {0, 3, 4},
         "  calcul des delta Y (rétro cumul)  y(i) - y(i-1)"},
        // An NA cell stays NA but its value still serves as the previous one.
        {true,
         false,
         {1.0, 3.0, NA, 10.0},
         {0, NA, 10},
         "  calcul des delta Y (rétro cumul)  y(i) - y(i-1)"},
    };
    for (const Cas& c : cas) {
        Description d;
        d.RadioGroup_methode_ItemIndex = Methode::ponctuel;
        d.CheckBox_delta_Y = c.delta_Y;
        d.CheckBox_derivees = c.derivees;
        TableEtapes t = table_de(static_cast<int>(c.etapes.size()), 1, une_par_etape(c.etapes),
                                 Methode::ponctuel);
        JournalSuivi journal;
        ProgressionScriptee progression;
        agreger(t, d, 0.5, journal, progression);
        EXPECT_EQ(ecrit(t, 2), c.attendu);
        EXPECT_EQ(journal.lignes(), (std::vector<std::string>{fr(c.ligne_journal), ""}));
    }
}

// A counter read by its maximum per step: forced growth keeps what it counted across a
// flat stretch and a reset to zero; the reset's step keeps the total before it, and the
// counts after it add to that total.
TEST(Agregation, CroissanceForceeDUnCompteur) {
    struct Cas {
        const char* nom;
        std::vector<std::optional<Valeur>> etapes;  // step 1 is the one before the start
        Colonne attendu;
    };
    const std::vector<Cas> cas = {
        {"plat", {0.0, 10.0, 10.0, 12.0}, {10, 10, 12}},
        {"remise à zéro", {0.0, 10.0, 20.0, 5.0, 7.0}, {10, 20, 20, 27}},
        {"régulier", {0.0, 1.0, 2.0, 3.0}, {1, 2, 3}},
    };
    for (const Cas& c : cas) {
        Description d;
        d.RadioGroup_methode_ItemIndex = Methode::max;
        d.CheckBox_cumul_corriger = true;
        TableEtapes t =
            table_de(static_cast<int>(c.etapes.size()), 1, une_par_etape(c.etapes), Methode::max);
        JournalSuivi journal;
        ProgressionScriptee progression;
        agreger(t, d, 1, journal, progression);
        EXPECT_EQ(ecrit(t, 2), c.attendu) << c.nom;
    }
}

TEST(Agregation, OrdreDesEtapes) {
    // Forced growth comes before the gap filling, which comes before delta Y:
    // 10, 20, 5 (drop), NA, 25 → growth 10, 20, 20, 20, 45 → deltas 0, 10, 0, 0, 25.
    Description d;
    d.RadioGroup_methode_ItemIndex = Methode::max;
    d.CheckBox_cumul_corriger = true;
    d.CheckBox_post_traitement = true;
    d.Edit_nmax_lacune = "3";
    d.CheckBox_delta_Y = true;
    TableEtapes t = table_de(6, 1, une_par_etape({0.0, 10.0, 20.0, 5.0, NA, 25.0}), Methode::max);
    JournalSuivi journal;
    ProgressionScriptee progression;
    agreger(t, d, 1, journal, progression);
    EXPECT_EQ(ecrit(t, 2), (Colonne{0, 10, 0, 0, 25}));
}

// A stop request ends the reading, not the finishing: the steps read are written as
// their method makes them, never as the sums gathered.
TEST(Agregation, ArretDemandeAvantLaFinition) {
    Description d;
    d.CheckBox_post_traitement = true;
    TableEtapes t = table_de(4, 1, une_par_etape({std::nullopt, 4.0, NA, 8.0}), Methode::moyenne);
    accumuler(t, 2, 2, 6, Methode::moyenne);
    ProgressionScriptee progression;
    progression.arreter_apres(0);
    JournalSuivi journal;
    agreger(t, d, 1, journal, progression);
    EXPECT_EQ(ecrit(t, 2), (Colonne{5, 6.5, 8}));
}

// Several lines per step: the minimum counts the OK values of each column, before the
// method finishes the step, so a short step neither feeds a fill nor adds to a total.
TEST(Agregation, MinimumDeMesuresValidesParPas) {
    struct Cas {
        const char* nom;
        Methode methode;
        std::string minimum;
        std::vector<Ligne> lignes;  // rows 1..5, two columns
        Colonne attendu_c2;         // rows 2..5
        Colonne attendu_c3;
        long long mises_na;
    };
    // Step 2: 3 OK / 3 OK; step 3: 1 OK / 2 OK; step 5: 2 OK / 0 OK.
    const std::vector<Ligne> lignes = {
        {2, {1, 10}}, {2, {2, 20}}, {2, {3, 30}}, {3, {NA, 5}},
        {3, {7, NA}}, {3, {NA, 6}}, {5, {4, NA}}, {5, {6, NA}},
    };
    // Column 2 of step 3 ends on an NA line: NA whatever the minimum.
    const std::vector<Cas> cas = {
        {"sans minimum", Methode::moyenne, "0", lignes, {2, NA, NA, 5}, {20, 5.5, NA, NA}, 0},
        {"vide = sans minimum", Methode::moyenne, "", lignes, {2, NA, NA, 5}, {20, 5.5, NA, NA}, 0},
        {"moyenne, minimum 3", Methode::moyenne, "3", lignes, {2, NA, NA, NA}, {20, NA, NA, NA}, 2},
        {"minimum 2 atteint juste",
         Methode::moyenne,
         " 2 ",
         lignes,
         {2, NA, NA, 5},
         {20, 5.5, NA, NA},
         0},
        {"ponctuel", Methode::ponctuel, "3", lignes, {3, NA, NA, NA}, {30, NA, NA, NA}, 2},
        {"max", Methode::max, "3", lignes, {3, NA, NA, NA}, {30, NA, NA, NA}, 2},
        {"min", Methode::min, "2", lignes, {1, NA, NA, 4}, {10, 5, NA, NA}, 0},
        {"cumul: le pas court remet le total à zéro",
         Methode::cumul,
         "3",
         {{2, {1, 1}},
          {2, {1, 1}},
          {2, {1, 1}},
          {3, {1, 1}},
          {4, {2, 2}},
          {4, {2, 2}},
          {4, {2, 2}},
          {5, {3, 3}},
          {5, {3, 3}},
          {5, {3, 3}}},
         {3, NA, 6, 15},
         {3, NA, 6, 15},
         2},
        {"moyenne et remplissage: un voisin court ne remplit pas",
         Methode::moyenne_vides,
         "2",
         {{2, {1, 1}}, {2, {3, 3}}, {4, {5, 5}}, {5, {1, 1}}, {5, {1, 1}}},
         {2, NA, NA, 1},
         {2, NA, NA, 1},
         2},
        {"moyenne et remplissage entre deux pas complets",
         Methode::moyenne_vides,
         "2",
         {{2, {1, 1}}, {2, {3, 3}}, {4, {5, 5}}, {4, {7, 7}}},
         {2, 4, 6, NA},
         {2, 4, 6, NA},
         0},
    };
    for (const Cas& c : cas) {
        TableEtapes t = table_de(5, 2, c.lignes, c.methode);
        const auto nb_lignes = [&t] {
            return std::vector<long double>{t.nb_lignes_etape(2), t.nb_lignes_etape(3),
                                            t.nb_lignes_etape(5)};
        };
        const auto lignes_avant = nb_lignes();
        Description d;
        d.RadioGroup_methode_ItemIndex = c.methode;
        d.Edit_min_mesures_valides = c.minimum;
        JournalSuivi journal;
        ProgressionScriptee progression;
        agreger(t, d, 1, journal, progression);
        EXPECT_EQ(ecrit(t, 2), c.attendu_c2) << c.nom;
        EXPECT_EQ(ecrit(t, 3), c.attendu_c3) << c.nom;
        if (c.methode != Methode::moyenne_vides) {
            EXPECT_EQ(nb_lignes(), lignes_avant) << c.nom << ": the count column stays";
        }
        std::string suivi;
        for (const std::string& l : journal.lignes()) suivi += l + "\n";
        if (c.minimum == "0" || c.minimum.empty())
            EXPECT_EQ(suivi.find("minimum"), std::string::npos) << c.nom;
        else
            EXPECT_NE(suivi.find(fr(" mesures valides par pas : ") + std::to_string(c.mises_na) +
                                 fr(" valeurs mises à NA")),
                      std::string::npos)
                << c.nom << "\n"
                << suivi;
    }
}

TEST(Agregation, MinimumDeMesuresValidesLu) {
    const std::vector<std::pair<std::string, std::optional<int>>> cas = {{"", 0},
                                                                         {"0", 0},
                                                                         {" 360 ", 360},
                                                                         {"-1", std::nullopt},
                                                                         {"3,5", std::nullopt},
                                                                         {"abc", std::nullopt}};
    for (const auto& [texte, attendu] : cas) EXPECT_EQ(minimum_valides(texte), attendu) << texte;
}

}  // namespace
}  // namespace tarvo

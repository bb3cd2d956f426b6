#include "formats/texte.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/cp1252.h"
#include "formats/journal_suivi.h"

namespace tarvo {
namespace {

struct CasChamp {
    std::string texte;
    int n;
    char sep;
    std::string attendu;
};

TEST(ExtraireChamp, ChampsParNumero) {
    const std::vector<CasChamp> cas = {
        {"a;b;;c", 1, ';', "a"},
        {"a;b;;c", 2, ';', "b"},
        {"a;b;;c", 3, ';', ""},
        {"a;b;;c", 4, ';', "c"},
        {"a;b;;c", 5, ';', ""},
        {"a;b;;c", 0, ';', ""},
        {"   12    34  ", 1, ' ', "12"},
        {"   12    34  ", 2, ' ', "34"},
        {"   12    34  ", 3, ' ', ""},
        // Quotes mean nothing: the separator inside them still splits.
        {"x,\"2,5\",y", 2, ',', "\"2"},
        {"x,\"2,5\",y", 3, ',', "5\""},
        // A separator that opens the line ends an empty field 1 (an export whose first
        // column has no title); one that closes it adds nothing but an empty last field.
        {";a;b;", 1, ';', ""},
        {";a;b;", 2, ';', "a"},
        {";a;b;", 3, ';', "b"},
        {";a;b;", 4, ';', ""},
        {";;a", 1, ';', ""},
        {";;a", 2, ';', ""},
        {";;a", 3, ';', "a"},
        {",Date,,B,", 1, ',', ""},
        {",Date,,B,", 2, ',', "Date"},
        {",Date,,B,", 3, ',', ""},
        {",Date,,B,", 4, ',', "B"},
        {"\tDate\t\tB\t", 2, '\t', "Date"},
        {"\tDate\t\tB\t", 4, '\t', "B"},
        // Aligned columns: the blanks that open the line are no field.
        {"  Date  Heure  V", 1, ' ', "Date"},
        {"  Date  Heure  V", 3, ' ', "V"},
        // Fields are trimmed of blanks only, tabs stay.
        {" a ; b\t;c", 1, ';', "a"},
        {" a ; b\t;c", 2, ';', "b\t"},
        {"1\t2\t3", 3, '\t', "3"},
        {"", 1, ';', ""},
        {";", 1, ';', ""},
        {"   ", 1, ' ', ""},
    };
    for (const auto& c : cas)
        EXPECT_EQ(extraire_champ(c.texte, c.n, c.sep), c.attendu)
            << "<" << c.texte << "> champ " << c.n;
}

TEST(ExtraireChamp, NumerosHorsLimites) {
    std::string ligne;
    for (int i = 1; i <= 300; ++i) ligne += std::to_string(i) + ";";
    EXPECT_EQ(extraire_champ(ligne, 255, ';'), "255");
    EXPECT_EQ(extraire_champ(ligne, 256, ';'), "");
    EXPECT_EQ(extraire_champ(ligne, -1, ';'), "");
}

TEST(ExtraireChamp, LigneDeDonneesReelle) {
    // A Solinst export: ";" separator and decimal commas.
    const std::string ligne = "2014/09/17;11:06:56;0;9,0000;100,000";
    EXPECT_EQ(extraire_champ(ligne, 2, ';'), "11:06:56");
    EXPECT_EQ(extraire_champ(ligne, 5, ';'), "100,000");
}

struct CasGuillemets {
    std::string ligne;
    char sep;
    std::vector<std::string> champs;
};

TEST(ChampsGuillemets, DecoupageParCas) {
    const std::vector<CasGuillemets> cas = {
        // A database export: every field quoted, decimal commas inside the quotes.
        {"\"2021-03-04 10:00:00 +01:00\",\"1053,22\",\"A\"",
         ',',
         {"2021-03-04 10:00:00 +01:00", "1053,22", "A"}},
        // A logger's titles: the separator inside the quotes belongs to the title.
        {"\"#\",\"Date Time, GMT-04:00\",\"Temp, \xB0"
         "C (LGR S/N: 10536723)\"",
         ',',
         {"#", "Date Time, GMT-04:00",
          "Temp, \xB0"
          "C (LGR S/N: 10536723)"}},
        // "" inside quotes is one quote; outside a quoted field it is text.
        {"\"a \"\"b\"\"\";\"\"\"\"", ';', {"a \"b\"", "\""}},
        {"\"\",x,\"\"", ',', {"", "x", ""}},
        {"x,,\"\",", ',', {"x", "", "", ""}},
        // A quote that does not open its field is a character like any other.
        {"ab\"c,d\"", ',', {"ab\"c", "d\""}},
        {"12 \"x\" 3;4", ';', {"12 \"x\" 3", "4"}},
        // Never closed: the quote runs to the end of the line, separators included.
        {"1;\"a;b", ';', {"1", "a;b"}},
        {"\"", ';', {""}},
        // Text after the closing quote stays after the value.
        {"\"12\"5;\"a\" b ;c", ';', {"125", "a b", "c"}},
        // Blanks around a quoted field are no part of it; blanks inside are.
        {"  \" a \"  ; b ", ';', {" a ", "b"}},
        // Unquoted fields are cut and trimmed as ever; a leading or trailing separator ends
        // an empty field.
        {";a; b ;", ';', {"", "a", "b", ""}},
        {"a;;", ';', {"a", "", ""}},
        {";", ';', {"", ""}},
        {"", ';', {""}},
        // Tabulation and blank separators; blank runs are one separator.
        {"\"a\tb\"\t\"c\"\td", '\t', {"a\tb", "c", "d"}},
        {"  \"Temp C\"   \"x  y\" 12  ", ' ', {"Temp C", "x  y", "12"}},
        {"\"a\"b c", ' ', {"ab", "c"}},
        {"   ", ' ', {}},
    };
    std::string valeurs;
    std::vector<std::string_view> champs;
    for (const auto& c : cas) {
        decouper_champs_guillemets(c.ligne, c.sep, valeurs, champs);
        EXPECT_EQ(std::vector<std::string>(champs.begin(), champs.end()), c.champs)
            << "<" << c.ligne << ">";
        for (std::size_t k = 0; k <= c.champs.size(); ++k)
            EXPECT_EQ(extraire_champ(c.ligne, static_cast<int>(k) + 1, c.sep, true),
                      k < c.champs.size() ? c.champs[k] : "")
                << "<" << c.ligne << "> champ " << k + 1;
    }
    EXPECT_EQ(champs_tabules_guillemets("\"Date Time, GMT\",\"a\tb\",c", ','),
              "Date Time, GMT\ta b\tc");
}

// Onset exports end their title and data lines with empty fields: a separator that ends a
// line ends one more field, so quoted or not a line counts its separators plus one.
TEST(ChampsGuillemets, UnSeparateurFinalFermeUnChampVide) {
    struct Cas {
        std::string ligne;
        char sep;
        int nb;
        std::string dernier;
    };
    const std::vector<Cas> cas = {
        {"Date Heure,Level,Temp,", ',', 4, ""},
        {"01/06/2024 01:00:00,1.5,12.5,7", ',', 4, "7"},
        // onset-hobo/FULL1_PT_20292372_20200430_corrected_P2.csv, lines 2 and 3.
        {"#,\"Date Time, GMT-07:00\",\"Abs Pres, kPa (LGR S/N: 20292372, SEN S/N: "
         "20292372)\",\"Temp, \xB0"
         "C (LGR S/N: 20292372, SEN S/N: 20292372)\",\"Abs Pres Barom., kPa (LGR S/N: "
         "20292481, SEN S/N: 20292481)\",\"Sensor Depth, meters (LGR S/N: 20292372)\",,",
         ',', 8, ""},
        {"1,12/20/2019 10:13,107.795,6.471,,0.761,,", ',', 8, ""},
        {"\"a\";\"b\";", ';', 3, ""},
        {"\"a\";\"b\" ; ", ';', 3, ""},
        // A blank line is one empty field; with a blank separator blanks end no field.
        {"", ',', 1, ""},
        {"  ", ';', 1, ""},
        {"a b ", ' ', 2, "b"},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(nb_champs_guillemets(c.ligne, c.sep), c.nb) << "<" << c.ligne << ">";
        EXPECT_EQ(extraire_champ_guillemets(c.ligne, c.nb, c.sep), c.dernier) << c.ligne;
        EXPECT_EQ(nb_car('\t', champs_tabules_guillemets(c.ligne, c.sep)) + 1, c.nb) << c.ligne;
        if (c.ligne.find('"') == std::string::npos && c.sep != ' ') {
            EXPECT_EQ(nb_car(c.sep, c.ligne) + 1, c.nb) << c.ligne;
        }
    }
}

// A line without any quote must read exactly as it does with the setting off.
TEST(ChampsGuillemets, SansGuillemetCommeChampVue) {
    std::mt19937 alea(7);
    const std::string alphabet = "ab1,; \t";
    std::string valeurs;
    std::vector<std::string_view> champs;
    for (int essai = 0; essai < 3000; ++essai) {
        std::string ligne;
        const int longueur = static_cast<int>(alea() % 12);
        for (int i = 0; i < longueur; ++i) ligne += alphabet[alea() % alphabet.size()];
        for (const char sep : {';', ',', ' ', '\t'}) {
            decouper_champs_guillemets(ligne, sep, valeurs, champs);
            for (int n = 1; n <= 14; ++n) {
                const std::string attendu = extraire_champ(ligne, n, sep);
                const std::string lu = n <= static_cast<int>(champs.size())
                                           ? std::string(champs[static_cast<std::size_t>(n) - 1])
                                           : std::string();
                ASSERT_EQ(lu, attendu) << "<" << ligne << "> sep <" << sep << "> champ " << n;
            }
        }
    }
}

TEST(ChampsGuillemets, AuPlus255Champs) {
    std::string ligne;
    for (int i = 1; i <= 300; ++i) ligne += "\"" + std::to_string(i) + "\",";
    EXPECT_EQ(extraire_champ_guillemets(ligne, 255, ','), "255");
    EXPECT_EQ(extraire_champ_guillemets(ligne, 256, ','), "");
}

TEST(Compteurs, ClassesDeCaracteres) {
    EXPECT_EQ(nb_car_numeriques("+1,5.2-3"), 7);  // "-" does not count
    EXPECT_EQ(nb_lettres("Az[`_^]\\09"), 8);      // the six signs between Z and a count
    EXPECT_EQ(nb_car_num_ou_blanc("12/03 08:00;x"), 11);
    EXPECT_EQ(nb_lettres(fr("é")), 0);
    // Counting covers the whole text, far beyond 255 characters.
    EXPECT_EQ(nb_car(';', std::string(1000, ';') + "a;"), 1001);
}

TEST(Reecriture, OperationsDeCaracteres) {
    EXPECT_EQ(remplacer_car('-', '_', "2023-12-25"), "2023_12_25");
    EXPECT_EQ(chiffres_vers_car('*', "2023/12/25 8h"), "****/**/** *h");
    EXPECT_EQ(supprimer_car('"', "\"12,5\""), "12,5");
    EXPECT_EQ(remplacer_premier("ab", "X", "abcab"), "Xcab");
    EXPECT_EQ(remplacer_premier("zz", "X", "abc"), "abc");
    EXPECT_EQ(deux_chiffres("7"), "07");
    EXPECT_EQ(deux_chiffres("17"), "17");
    EXPECT_EQ(deux_chiffres(""), "");
    EXPECT_EQ(completer_a_droite("ab", 4, '.'), "ab...");
    EXPECT_EQ(completer_a_droite("abcdef", 4, '.'), "abcdef");
    EXPECT_EQ(majuscules(fr("étiage à 5°c")), fr("ÉTIAGE À 5°C"));
    EXPECT_EQ(reduire_blancs("a   b  c"), "a b c");
}

TEST(Reecriture, ReparerAccents) {
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"d\xC3\xA9"
         "bit d\xC3\xA9"
         "bit",
         "d\xE9"
         "bit d\xE9"
         "bit"},  // two rounds
        {"Temp \xC2\xB0"
         "C",
         "Temp \xB0"
         "C"},
        {"\xC3\x83\xC2\xA9t\xC3\xA9", "\xE9t\xE9"},
        {"\xC3\xB8", "\xB0"},
        {"\xE2\x80\x9A", "\xE9"},
        {"\xC3\xA2\x80\x9A", "\xE9"},  // the written E2 starts a sequence of its own
        {"\xC2\xC2\xC2\xB0", "\xB0"},  // each written B0 completes the C2 before it
        {"\xC3 seul", "\xC3 seul"},    // a byte of no sequence stays
        {"sans accent", "sans accent"},
    };
    for (const auto& [texte, attendu] : cas) EXPECT_EQ(reparer_accents(texte), attendu);
}

// The repair as a sequence of passes, each replacing the first occurrence of every
// sequence in order, bounded by the text length: the single scan must agree with it.
std::string reparer_par_passes(std::string s) {
    const std::vector<std::pair<std::string, std::string>> regles = {
        {"\xC3\xA9", "\xE9"}, {"\xC3\x83\xC2\xA9", "\xE9"}, {"\xC2\xB0", "\xB0"},
        {"\xC3\xB4", "\xF4"}, {"\xC3\xA8", "\xE8"},         {"\xC3\xA7", "\xE7"},
        {"\xC3\xA0", "\xE0"}, {"\xC3\xA2", "\xE2"},         {"\xC3\xAA", "\xEA"},
        {"\xC3\xAE", "\xEE"}, {"\xC3\xB4", "\xF4"},         {"\xC3\xBB", "\xFB"},
        {"\xC3\xB8", "\xB0"}, {"\xE2\x80\x9A", "\xE9"}};
    const std::size_t limite = s.size();
    for (std::size_t passe = 0;
         passe < limite && s.find_first_of("\xC2\xC3\xE2") != std::string::npos; ++passe)
        for (const auto& [trouve, ecrit] : regles) s = remplacer_premier(trouve, ecrit, s);
    return s;
}

TEST(Reecriture, ReparerAccentsCommeLesPasses) {
    const std::string alphabet =
        "\xC2\xC3\xE2\x80\x83\x9A\xA9\xB0\xB4\xA2\xB8"
        "a ";
    std::mt19937 alea(12345);
    for (int essai = 0; essai < 20000; ++essai) {
        std::string s;
        const int n = static_cast<int>(alea() % 12);
        for (int i = 0; i < n; ++i) s += alphabet[alea() % alphabet.size()];
        ASSERT_EQ(reparer_accents(s), reparer_par_passes(s)) << testing::PrintToString(s);
    }
}

TEST(Tests, TestsDeTexte) {
    EXPECT_EQ(que_des_chiffres("20231225"), 8);
    EXPECT_EQ(que_des_chiffres("2023-12"), 0);
    EXPECT_EQ(que_des_chiffres(""), 0);
    EXPECT_TRUE(contient_heure("le 25 a 08:05"));
    EXPECT_FALSE(contient_heure("8:05"));
    EXPECT_TRUE(texte_vers_bool("true"));
    EXPECT_FALSE(texte_vers_bool("True"));
    EXPECT_EQ(bool_vers_texte(false), "false");
}

TEST(BlancsVersSeparateur, LignesAlignees) {
    EXPECT_EQ(blancs_vers_separateur("Date  Heure  Temp C", ';'), "Date;Heure;Temp_C");
    EXPECT_EQ(blancs_vers_separateur("Date  Heure  Temp C", ' '), "Date Heure Temp_C");
    EXPECT_EQ(blancs_vers_separateur("  12.5    3.25   ", ','), "12.5,3.25");
    EXPECT_EQ(blancs_vers_separateur("ab", ';'), "");
}

TEST(ComparerNbColonnes, CompteEtJournal) {
    JournalSuivi journal;
    const auto [titre, donnees] =
        comparer_nb_colonnes("  Date   Heure  Niveau", "25/12/2023 08:00 1.5 2", journal);
    EXPECT_EQ(titre, 3);
    EXPECT_EQ(donnees, 4);
    ASSERT_EQ(journal.lignes().size(), 2u);
    EXPECT_EQ(journal.lignes()[0], fr("nb col (intitulé) = 3"));
    EXPECT_EQ(journal.lignes()[1], fr("nb col (données)  = 4"));
}

TEST(DureeTexte, Formes) {
    const double s = 1.0 / 86400;
    EXPECT_EQ(duree_texte(3725 * s), " 1 h 2 mn 5 s ");
    EXPECT_EQ(duree_texte(42 * s), " 42 s");
    EXPECT_EQ(duree_texte(60 * s), " 1 mn 0 s ");
    EXPECT_EQ(duree_texte(0), " 0 s");
    EXPECT_EQ(duree_texte(1 + 30 * s), " 0 h 0 mn 30 s ");  // whole days are not shown
    EXPECT_EQ(duree_texte(1.6 * s), " 2 s");                // as the log's 00:00:02
    EXPECT_EQ(duree_texte(59.6 * s), " 1 mn 0 s ");
    EXPECT_EQ(duree_texte(1.4 * s), " 1 s");
    EXPECT_EQ(duree_texte(std::nan("")), "---");
}

TEST(TexteDurees, HeuresOteesQuandNulles) {
    EXPECT_EQ(texte_durees(5, 75, 3700), fr("durées  00:05   01:15   01:01:40   totale 01:03:00"));
    EXPECT_EQ(texte_durees(0, 0, 0), fr("durées  00:00   00:00   00:00   totale 00:00"));
    EXPECT_EQ(texte_durees(0, 0, 36000), fr("durées  00:00   00:00   10:00:00   totale 10:00:00"));
}

TEST(AjouterAntislash, SeparateurFinal) {
    EXPECT_EQ(ajouter_antislash("/data/logger"), "/data/logger/");
    EXPECT_EQ(ajouter_antislash("/data/logger/"), "/data/logger/");
    EXPECT_EQ(ajouter_antislash(""), "");
}

TEST(JournalSuivi, DoublonsSuccessifs) {
    JournalSuivi j;
    j.ajouter_suivi("x");
    j.ajouter_suivi("x");  // fewer than two lines: always appended
    j.ajouter_suivi("x");  // the same as the last of two or more: dropped
    j.ajouter_suivi("");
    j.ajouter_suivi("");
    j.ajouter_suivi("x");
    EXPECT_EQ(j.lignes(), (std::vector<std::string>{"x", "x", "", "x"}));
}

}  // namespace
}  // namespace tarvo

#include "formats/nombres.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

namespace tarvo {
namespace {

TEST(Nombres, EstNombre) {
    const std::vector<std::pair<std::string, bool>> cas = {
        {"<12,5", true}, {"1E3", true},  {"1e-3", true},  {" -0.5 ", true}, {"+4", true},
        {".5", true},    {"5.", true},   {"12a", false},  {"", false},      {"1,234.5", false},
        {"-", false},    {"1e", false},  {"NAN", false},  {"inf", false},   {"<", false},
        {"--1", false},  {"1 2", false}, {"0x10", false}, {"1e999", false}, {"-999", true},
    };
    for (const auto& [texte, attendu] : cas) EXPECT_EQ(est_nombre(texte), attendu) << texte;
}

TEST(Nombres, LireReel) {
    const std::vector<std::pair<std::string, double>> cas = {
        {"1,5", 1.5},   {"1.5", 1.5},
        {"1,234.5", 0}, {"-3,25", -3.25},
        {"abc", 0},     {"1013.25", 1013.25},
        {"<2", 0},      {"501.2226469549333", 501.2226469549333},
        {"2E-2", 0.02}, {"", 0},
    };
    for (const auto& [texte, attendu] : cas) EXPECT_DOUBLE_EQ(lire_reel(texte), attendu) << texte;
}

// Every plain decimal text reads to the double the standard conversion gives.
TEST(Nombres, LectureExacteCommeLaConversionStandard) {
    std::mt19937_64 alea(2024);
    for (int essai = 0; essai < 200000; ++essai) {
        std::string t = alea() % 4 == 0 ? "-" : "";
        const int chiffres = 1 + static_cast<int>(alea() % 17);
        const int point = static_cast<int>(alea() % static_cast<unsigned>(chiffres + 1));
        for (int i = 0; i < chiffres; ++i) {
            if (i == point) t += alea() % 2 ? "," : ".";
            t += static_cast<char>('0' + alea() % 10);
        }
        std::string reference = t;
        for (char& c : reference)
            if (c == ',') c = '.';
        double attendu = 0;
        std::from_chars(reference.data(), reference.data() + reference.size(), attendu);
        const auto lu = lire_nombre(t);
        ASSERT_TRUE(lu) << t;
        ASSERT_EQ(*lu, attendu) << t;
        ASSERT_EQ(std::signbit(*lu), std::signbit(attendu)) << t;
    }
}

TEST(Nombres, Entiers) {
    EXPECT_EQ(lire_entier(" 42 "), 42);
    EXPECT_EQ(lire_entier("-7"), -7);
    EXPECT_EQ(lire_entier("+7"), 7);
    EXPECT_FALSE(lire_entier("4.2"));
    EXPECT_FALSE(lire_entier("99999999999"));
    EXPECT_FALSE(lire_entier("++7"));
    EXPECT_EQ(champ_entier("a;12;b", 2, ';', -1), 12);
    EXPECT_EQ(champ_entier("a;12;b", 3, ';', -1), -1);
}

TEST(Nombres, EntierApresMot) {
    EXPECT_EQ(entier_apres_mot("ligne 3, colonne 2", "LIGNE", 0), 3);
    EXPECT_EQ(entier_apres_mot("ligne 3, colonne 2", "COLONNE", 0), 2);
    // Without a "," the digits of the next word are collected too.
    EXPECT_EQ(entier_apres_mot("ligne 3 colonne 2", "LIGNE", 0), 32);
    EXPECT_EQ(entier_apres_mot("Ligne=1x2, colonne 5", "LIGNE", 0), 12);  // others skipped
    EXPECT_EQ(entier_apres_mot("LIGNE 4-5", "LIGNE", 0), 4);
    EXPECT_EQ(entier_apres_mot("colonne;3", "COLONNE", 9), 9);
    EXPECT_EQ(entier_apres_mot("rien", "LIGNE", 7), 7);
}

TEST(Nombres, SeparateurDecimal) {
    EXPECT_EQ(adapter_separateur_decimal("1.5;2,5", ','), "1,5;2,5");
    EXPECT_EQ(adapter_separateur_decimal("1,5", '.'), "1.5");
}

}  // namespace
}  // namespace tarvo

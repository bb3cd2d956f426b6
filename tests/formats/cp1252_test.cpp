#include "formats/cp1252.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/fichiers.h"

namespace tarvo {
namespace {

TEST(Cp1252, LitterauxFrancais) {
    EXPECT_EQ(fr("é"), "\xE9");
    EXPECT_EQ(fr("données €"),
              "donn\xE9"
              "es \x80");
    EXPECT_EQ(fr("œ…"), "\x9C\x85");
    EXPECT_EQ(fr("日"), "?");
}

TEST(Cp1252, AllerRetourDeTousLesOctets) {
    std::string tous;
    for (int b = 0; b < 256; ++b) tous += static_cast<char>(b);
    EXPECT_EQ(utf8_vers_cp1252(cp1252_vers_utf8(tous)), tous);
    EXPECT_EQ(utf8_vers_cp1252_exact(cp1252_vers_utf8(tous)), tous);
}

TEST(Cp1252, NomsNonRepresentables) {
    EXPECT_FALSE(utf8_vers_cp1252_exact("\xE6\x97\xA5"));  // a CJK character
    EXPECT_FALSE(utf8_vers_cp1252_exact("\xC3"));          // cut sequence
    EXPECT_FALSE(utf8_vers_cp1252_exact("\xC0\xAF"));      // overlong "/"
    EXPECT_EQ(utf8_vers_cp1252_exact("r\xC3\xA9sultat"), "r\xE9sultat");
}

TEST(Cp1252, AccentEcritCommeUnOctet) {
    const auto dossier = std::filesystem::temp_directory_path() / "tarvo_cp1252_test";
    std::filesystem::create_directories(dossier);
    const std::string chemin = (dossier / "accent.txt").string();
    ecrire_fichier_une_ligne(fr("é"), chemin);
    EXPECT_EQ(lire_fichier(chemin), std::string("\xE9\r\n"));
    std::filesystem::remove_all(dossier);
}

}  // namespace
}  // namespace tarvo

#include "formats/date_canonique.h"

#include <gtest/gtest.h>

#include "formats/journal_suivi.h"

namespace tarvo {
namespace {

constexpr double seconde = 1.0 / 86400;

struct CasDate {
    std::string texte;
    std::string canonique;  // empty: the text is refused
    double date;
    bool erreur_notee;
};

TEST(TexteVersDateHeure, FormesAcceptees) {
    const double noel = 45285;  // 25/12/2023
    const std::vector<CasDate> cas = {
        {"25/12/2023 08:05:00", "25/12/2023 08:05:00", noel + 29100 * seconde, false},
        {"2023-12-25 08:05", "25/12/2023 08:05:00", noel + 29100 * seconde, false},
        {"2023/12/25", "25/12/2023 00:00:00", noel, false},
        {"25/12/2023 10", "25/12/2023 10:00:00", noel + 10 / 24.0, false},
        {"  25/12/2023    08:05:00: ", "25/12/2023 08:05:00", noel + 29100 * seconde, false},
        {"08:05:00", "08:05:00", 29100 * seconde, false},
        {"01/01/1900 00:00:00", "01/01/1900 00:00:00", 2, false},
        {"30/12/1899 00:00:01", "30/12/1899 00:00:01", seconde, false},
        {"29/02/2024 23:59:59", "29/02/2024 23:59:59", 45351 + 86399 * seconde, false},
        // Refused with a note: failed checks, and texts that pass them but are no date.
        {"25/13/2023 08:00:00", "", 0, true},
        {"31/02/2023 08:00:00", "", 0, true},
        {"29/02/2023 08:00:00", "", 0, true},
        {"25/12/2023 24:00:00", "", 0, true},
        {"25/12/2023 08:65:00", "", 0, true},
        {"25/12/23", "", 0, true},
        {"2023.12.25 08:05:00", "", 0, true},
        {"ab:cd:ef", "", 0, true},
        {"1/2/2023 08:05:00xy", "", 0, true},
        // Refused silently: empty or of no usable length.
        {"", "", 0, false},
        {"    ", "", 0, false},
        {"25/12/2023 0", "", 0, false},
        {"123456789012", "", 0, false},
        {"25/12/2023 08:05:00 et la suite", "", 0, false},
    };
    for (const auto& c : cas) {
        JournalSuivi journal;
        std::string canonique = "inchangé";
        const double date = texte_vers_date_heure(c.texte, canonique, journal);
        EXPECT_NEAR(date, c.date, 1e-9) << c.texte;
        EXPECT_EQ(canonique, c.canonique.empty() ? "inchangé" : c.canonique) << c.texte;
        EXPECT_EQ(!journal.lignes().empty(), c.erreur_notee) << c.texte;
    }
}

TEST(TexteVersDateHeure, LigneDErreur) {
    JournalSuivi journal;
    std::string canonique;
    EXPECT_EQ(texte_vers_date_heure("2023-13-25 08:00:00", canonique, journal), 0);
    ASSERT_EQ(journal.lignes().size(), 1u);
    EXPECT_EQ(journal.lignes()[0], " * erreur date : 25/13/2023 08:00:00   <2023-13-25 08:00:00>");
    EXPECT_EQ(journal.problemes(),
              (std::vector<JournalSuivi::Probleme>{{0, ProblemeSuivi::erreur_date}}));
}

TEST(DateHeureVersTexte, AllerRetour) {
    JournalSuivi journal;
    for (const std::string texte :
         {"30/12/1899 00:00:00", "01/01/1900 00:00:00", "25/12/2023 08:05:00",
          "29/02/2024 23:59:59", "31/12/2099 12:00:01", "01/03/1700 06:00:00"}) {
        std::string canonique;
        const double date = texte_vers_date_heure(texte, canonique, journal);
        EXPECT_EQ(date_heure_vers_texte(date), texte);
    }
    // A step of 1/24 accumulated 10,000 times still lands on the hour.
    double t = 45285;
    for (int i = 0; i < 10000; ++i) t += 1.0 / 24;
    EXPECT_EQ(date_heure_vers_texte(t), "13/02/2025 16:00:00");
    EXPECT_TRUE(journal.lignes().empty());
}

TEST(DateCivile, Calendrier) {
    EXPECT_EQ(date_civile(1899, 12, 30), 0);
    EXPECT_EQ(date_civile(2023, 12, 25), 45285);
    EXPECT_FALSE(date_civile(2023, 2, 29));
    EXPECT_TRUE(date_civile(2000, 2, 29));
    EXPECT_FALSE(date_civile(1900, 2, 29));
    EXPECT_FALSE(date_civile(2023, 0, 1));
    EXPECT_FALSE(date_civile(2023, 4, 31));
}

}  // namespace
}  // namespace tarvo

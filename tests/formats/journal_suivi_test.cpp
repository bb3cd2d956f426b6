#include "formats/journal_suivi.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using Probleme = JournalSuivi::Probleme;

// A problem line keeps its identity at its place in the log, and a repeated line is
// dropped whatever kind it is, so that identities and lines never drift apart.
TEST(JournalSuivi, LesLignesDeProblemeGardentLeurIdentiteEtLeurPlace) {
    JournalSuivi journal;
    journal.ajouter_suivi("debut");
    journal.ajouter_probleme(ProblemeSuivi::fichier_vide, "fichier VIDE => a");
    journal.ajouter_probleme(ProblemeSuivi::fichier_vide, "fichier VIDE => a");
    journal.ajouter_suivi("suite");
    journal.ajouter_probleme(ProblemeSuivi::liste_partielle, "  Liste partielle");
    EXPECT_EQ(journal.lignes(), (std::vector<std::string>{"debut", "fichier VIDE => a", "suite",
                                                          "  Liste partielle"}));
    EXPECT_EQ(journal.problemes(), (std::vector<Probleme>{{1, ProblemeSuivi::fichier_vide},
                                                          {3, ProblemeSuivi::liste_partielle}}));

    // The first two lines are always kept, as the log always did.
    JournalSuivi court;
    court.ajouter_probleme(ProblemeSuivi::erreur_date, "x");
    court.ajouter_probleme(ProblemeSuivi::erreur_date, "x");
    EXPECT_EQ(court.problemes(), (std::vector<Probleme>{{0, ProblemeSuivi::erreur_date},
                                                        {1, ProblemeSuivi::erreur_date}}));

    journal.vider();
    EXPECT_TRUE(journal.problemes().empty());
    journal.ajouter_probleme(ProblemeSuivi::jour_ajoute, "3 : + 1j");
    EXPECT_EQ(journal.problemes(), (std::vector<Probleme>{{0, ProblemeSuivi::jour_ajoute}}));
}

}  // namespace
}  // namespace tarvo

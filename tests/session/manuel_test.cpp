// Opening the user manual: where it is looked for, the viewer it is handed to, and the two
// messages a user meets when it is missing or nothing can show it.
#include "session/manuel.h"

#include <gtest/gtest.h>

#include "../description/dossier_temporaire.h"
#include "formats/cp1252.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"

using namespace tarvo;

namespace {

TEST(CheminsManuel, ProgrammeExecutableEtInstallation) {
    struct Cas {
        const char* programme;
        const char* executable;
        std::vector<std::string> attendus;
    };
    const Cas cas[] = {
        // A program directory that is the executable's: one place, then the installed one.
        {"/opt/t/bin/",
         "/opt/t/bin",
         {"/opt/t/bin/Pelmo_manuel.pdf", "/opt/t/share/doc/tarvo/Pelmo_manuel.pdf"}},
        // An installed program keeps its settings elsewhere: all three places, in order.
        {"/home/u/.config/tarvo/",
         "/usr/bin",
         {"/home/u/.config/tarvo/Pelmo_manuel.pdf", "/usr/bin/Pelmo_manuel.pdf",
          "/usr/share/doc/tarvo/Pelmo_manuel.pdf"}},
        // Unknown executable directory: the program directory alone.
        {"/d/", "", {"/d/Pelmo_manuel.pdf"}},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(chemins_manuel(c.programme, c.executable), c.attendus) << c.programme;
}

class OuvrirManuel : public DossierTemporaire {
protected:
    LanceurEnregistreur lanceur;
    DialogueScripte dialogue;
};

TEST_F(OuvrirManuel, AbsentPartoutNommeLeCheminDuDossierProgramme) {
    const std::vector<std::string> candidats{chemin("prog/Pelmo_manuel.pdf"),
                                             chemin("bin/Pelmo_manuel.pdf")};
    EXPECT_FALSE(ouvrir_manuel(lanceur, dialogue, candidats));
    EXPECT_TRUE(lanceur.appels.empty());
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::manuel_introuvable);
    EXPECT_EQ(dialogue.vus[0].texte, "<" + chemin("prog/Pelmo_manuel.pdf") + "> introuvable");
}

TEST_F(OuvrirManuel, OuvreLePremierQuiExisteDansLeVisionneur) {
    creer("bin/Pelmo_manuel.pdf", "%PDF-1.4\n");
    creer("share/doc/tarvo/Pelmo_manuel.pdf", "%PDF-1.4\n");
    const std::vector<std::string> candidats{chemin("prog/Pelmo_manuel.pdf"),
                                             chemin("bin/Pelmo_manuel.pdf"),
                                             chemin("share/doc/tarvo/Pelmo_manuel.pdf")};
    EXPECT_TRUE(ouvrir_manuel(lanceur, dialogue, candidats));
    const std::vector<LanceurEnregistreur::Appel> attendus{
        {LanceurEnregistreur::Genre::document, chemin("bin/Pelmo_manuel.pdf")}};
    EXPECT_EQ(lanceur.appels, attendus);
    EXPECT_TRUE(dialogue.vus.empty());
}

TEST_F(OuvrirManuel, SansVisionneurLeDit) {
    creer("prog/Pelmo_manuel.pdf", "%PDF-1.4\n");
    lanceur.reussite = false;
    EXPECT_FALSE(ouvrir_manuel(lanceur, dialogue, {chemin("prog/Pelmo_manuel.pdf")}));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::lecteur_pdf_absent);
    EXPECT_EQ(
        dialogue.vus[0].texte,
        fr("Firefox et Acrobat introuvables : aucun lecteur PDF n'a pu ouvrir le manuel\n\n") +
            chemin("prog/Pelmo_manuel.pdf"));
}

TEST_F(OuvrirManuel, UnDossierDuNomDuManuelNeComptePas) {
    // A directory left where the manual should be is not a manual to open.
    dossier("prog/Pelmo_manuel.pdf");
    EXPECT_FALSE(ouvrir_manuel(lanceur, dialogue, {chemin("prog/Pelmo_manuel.pdf")}));
    EXPECT_TRUE(lanceur.appels.empty());
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::manuel_introuvable);
}

TEST_F(OuvrirManuel, CheminAccentueDuDossierProgramme) {
    // Core paths are Windows-1252: a user directory with an accent still finds the file.
    creer("r\xC3\xA9sultats/Pelmo_manuel.pdf", "%PDF-1.4\n");
    const std::string accentue = chemin(fr("résultats/Pelmo_manuel.pdf"));
    EXPECT_TRUE(ouvrir_manuel(lanceur, dialogue, {accentue}));
    ASSERT_EQ(lanceur.appels.size(), 1u);
    EXPECT_EQ(lanceur.appels[0].argument, accentue);
}

}  // namespace

// A run made as the window makes it saves its description; tarvo-lot on that description then
// writes the very same result file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "outils_lot.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "tests/description/dossier_temporaire.h"

namespace tarvo {
namespace {

class DescriptionFenetreLot : public DossierTemporaire {};

// The Onset HOBO export with the description kept beside the batch tests, run with a step and
// a date test other than the defaults, which the description did not hold before.
TEST_F(DescriptionFenetreLot, TarvoLotRefaitLeResultatDuneExecutionDeLaFenetre) {
    struct Cas {
        int unite;
        int nombre;
        double pas;  // days, for the hh:mn:ss unit
        std::string debut, fin;
        std::string cle_unite;  // as the saved description holds it
    };
    const std::vector<Cas> cas = {
        {unite_jour, 2, 0, "17/06/2021 00:00:00", "27/07/2021 00:00:00", "unite_pas_dsc= 2 jour"},
        {unite_hms, 1, 10.0 / 1440, "20/06/2021 06:00:00", "21/06/2021 06:00:00",
         "unite_pas_dsc= \r\n"},
    };
    const std::string fichier = "QU5_Mooring_15m_20392468_20210803.csv";
    for (const Cas& c : cas) {
        std::filesystem::remove_all(racine_);
        const std::string programme = dossier("programme"), donnees = dossier("donnees"),
                          sortie = dossier("donnees/EXPORT"), lot = dossier("lot");
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/onset-hobo/" + fichier,
                                   chemin_natif(donnees + fichier));
        const std::string dsc = chemin("hobo_qu5.dsc");
        {
            std::ofstream f(chemin_natif(dsc), std::ios::binary);
            f << essai_lot::description_modifiee(
                essai_lot::lire(std::string(TARVO_TESTS_APP) + "/hobo_qu5.dsc"),
                {{"dossier_choisi", donnees},
                 {"dossier_choisi_sortie", sortie},
                 {"dossier_description", chemin()}});
        }

        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        PressePapierMemoire presse_papier;
        Session s(dialogue, progression, lanceur, presse_papier, programme);
        s.lire_argument({dsc});
        s.creation();
        s.premiere_activation();
        ASSERT_EQ(s.lister_fichiers().fin, FinListage::complet);
        ParametresGrille& p = s.parametres_grille;
        p.Label_temps_deb = c.debut;
        p.Label_temps_fin = c.fin;
        p.unite_pas = c.unite;
        p.SpinEdit_pas_jour_mois_annee = c.nombre;
        if (c.unite == unite_hms) p.TimePicker_pas = c.pas;
        p.test_strict = 1;
        s.parametres_grille_modifies();
        dialogue.attendre_question(Reponse::oui);  // "Créer une nouvelle liste ..."
        ASSERT_EQ(s.creer_grille().etat, EtatGrille::construite) << c.cle_unite;
        ASSERT_EQ(s.traiter(), FinTraitement::termine) << c.cle_unite;
        ASSERT_EQ(dialogue.ids.back(), IdMessage::fin_traitement) << dialogue.vus.back().texte;
        EXPECT_NE(dialogue.vus.back().texte.find(
                      fr("(le fichier de description est également enregistré)")),
                  std::string::npos)
            << dialogue.vus.back().texte;

        const std::string enregistree = lire_fichier(dsc).value_or("");
        for (const std::string& ligne :
             {"Label_min_dsc.caption= " + c.debut, "Label_max_dsc.caption= " + c.fin, c.cle_unite,
              std::string("test_strict_dsc= 1")})
            EXPECT_NE(enregistree.find(ligne), std::string::npos) << ligne << "\n" << enregistree;

        const essai_lot::Execution e = essai_lot::lancer({dsc, "--sortie", lot});
        ASSERT_EQ(e.statut, 0) << e.erreurs;
        const auto fenetre = lire_fichier(s.fichier_resultat);
        const auto par_lot = lire_fichier(lot + nom_de_fichier(s.fichier_resultat));
        ASSERT_TRUE(fenetre && par_lot) << e.sortie;
        EXPECT_GT(decouper_lignes(*fenetre).size(), 2U);
        EXPECT_EQ(*par_lot, *fenetre) << c.cle_unite;
    }
}

}  // namespace
}  // namespace tarvo

#include "session/choix_repertoire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "description/cles_description.h"
#include "description/fichier_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "tests/description/dossier_temporaire.h"

namespace tarvo {
namespace {

using D = ChoixRepertoireDemande;

// Data with one file of the mask, its EXPORT output, a description directory: opening the
// data chooser asks nothing.
class ChoixRepertoireTest : public DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        programme = dossier("programme");
        donnees = dossier("donnees");
        descriptions = dossier("descriptions");
        creer("donnees/a.txt", "1\r\n");
        session = std::make_unique<Session>(dialogue, progression, lanceur, programme);
        auto& d = session->description;
        d.dossier_choisi = donnees;
        d.dossier_choisi_sortie = dossier("donnees/EXPORT");
        d.dossier_description = descriptions;
        d.Edit_masque = "*.txt";
        session->Label_rep_description = descriptions;
        choix = std::make_unique<ChoixRepertoire>(*session, dialogue, lanceur, programme);
    }
    std::string programme, donnees, descriptions;
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    std::unique_ptr<Session> session;
    std::unique_ptr<ChoixRepertoire> choix;
};

TEST_F(ChoixRepertoireTest, DeuxiemeClicRapideIgnorePuisClicSuivantFerme) {
    EXPECT_EQ(choix->ouvrir_choix_repertoire(D::donnees, 100.0), SuiteOuverture::ouverte);
    EXPECT_TRUE(choix->Panel_dir_visible);
    EXPECT_EQ(choix->couleur_bouton(D::donnees), CouleurLegende::rouge);
    EXPECT_EQ(choix->Label_dir_new, donnees);
    EXPECT_EQ(choix->nb_fichiers_repertoire, "1");

    EXPECT_EQ(choix->ouvrir_choix_repertoire(D::donnees, 100.3), SuiteOuverture::ignoree);
    EXPECT_TRUE(choix->Panel_dir_visible);
    EXPECT_EQ(choix->bouton_rouge, D::donnees);

    EXPECT_EQ(choix->ouvrir_choix_repertoire(D::donnees, 101.0), SuiteOuverture::fermee);
    EXPECT_FALSE(choix->Panel_dir_visible);
    EXPECT_EQ(choix->couleur_bouton(D::donnees), CouleurLegende::marron);
    EXPECT_TRUE(dialogue.vus.empty());
}

TEST_F(ChoixRepertoireTest, SortieAbsenteOffreDeCreerExport) {
    for (const Reponse reponse : {Reponse::non, Reponse::oui}) {
        SCOPED_TRACE(reponse == Reponse::oui ? "Oui" : "Non");
        const std::string absente = chemin("ailleurs/EXPORT/");
        std::filesystem::remove_all(racine_ / "donnees/EXPORT");
        session->description.dossier_choisi_sortie = absente;
        session->f_modif = true;
        dialogue.vus.clear();
        dialogue.attendre_question(reponse);
        choix->annuler_repertoire();
        choix->ouvrir_choix_repertoire(D::sortie, reponse == Reponse::oui ? 10.0 : 0.0);

        ASSERT_EQ(dialogue.vus.size(), 1u);
        EXPECT_EQ(dialogue.ids.back(), IdMessage::creer_sous_repertoire_sortie);
        EXPECT_EQ(dialogue.vus[0].texte, fr(" Créer le sous répertoire ") + donnees + "EXPORT" +
                                             " pour les fichiers de sortie ? ");
        EXPECT_EQ(existe("donnees/EXPORT"), reponse == Reponse::oui);
        EXPECT_EQ(session->description.dossier_choisi_sortie,
                  reponse == Reponse::oui ? donnees + "EXPORT/" : absente);
        EXPECT_EQ(session->f_modif, reponse != Reponse::oui);
        EXPECT_TRUE(choix->Panel_dir_visible);
    }
    EXPECT_EQ(choix->repertoire_liste, donnees + "EXPORT/");
}

TEST_F(ChoixRepertoireTest, DonneesInaccessiblesSignaleesEtListeSurLeParent) {
    session->description.dossier_choisi = donnees + "perdu/";
    choix->ouvrir_choix_repertoire(D::donnees, 0.0, fr("Répertoire des données"));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::dossier_inaccessible);
    EXPECT_EQ(dialogue.vus[0].texte, fr("Répertoire des données\n\n\nDOSSIER INACCESSIBLE\n\n<") +
                                         donnees +
                                         fr("perdu/>\n\nSélectionner un dossier valide...\n\n"));
    EXPECT_EQ(dialogue.vus[0].type, TypeMessage::erreur);
    EXPECT_EQ(choix->repertoire_liste, donnees);
    EXPECT_TRUE(choix->Panel_dir_visible);
}

TEST_F(ChoixRepertoireTest, DonneesSansFichierDuMasqueProposeLExtensionTrouvee) {
    const std::string mesures = dossier("mesures");
    creer("mesures/m2.csv", "2\r\n");
    creer("mesures/M1.csv", "1\r\n");
    creer("mesures/notes.txt.bak", "");
    for (const Reponse reponse : {Reponse::non, Reponse::oui}) {
        SCOPED_TRACE(reponse == Reponse::oui ? "Oui" : "Non");
        choix->annuler_repertoire();
        dialogue.vus.clear();
        session->description.dossier_choisi = mesures;
        session->description.Edit_masque = "*.txt";
        session->f_modif = false;
        dialogue.attendre_question(reponse);       // update the mask?
        dialogue.attendre_question(Reponse::oui);  // look at a data file?
        choix->ouvrir_choix_repertoire(D::donnees, reponse == Reponse::oui ? 10.0 : 0.0);

        ASSERT_EQ(dialogue.vus.size(), 2u);
        EXPECT_EQ(std::vector<IdMessage>(dialogue.ids.end() - 2, dialogue.ids.end()),
                  (std::vector<IdMessage>{IdMessage::mettre_a_jour_masque,
                                          IdMessage::visualiser_exemplaire}));
        EXPECT_EQ(
            dialogue.vus[0].texte,
            mesures + "\n\n" +
                fr("   Aucun fichier de ce répertoire n'a l'extention attendue de *.txt\n\n") +
                fr(" Mettre à jour le champ [masque] des extentions de fichiers ?      \n\n") +
                "  attendu  => *.txt\n\n" + fr("  nouveau détecté => ") + "*.CSV  2 fichier(s)");
        EXPECT_EQ(session->description.Edit_masque, reponse == Reponse::oui ? "*.CSV" : "*.txt");
        EXPECT_EQ(session->f_modif, reponse == Reponse::oui);
        const auto& a = session->inventaire.affichage;
        EXPECT_EQ(a.nb_fichiers_listes, "2");
        EXPECT_EQ(a.Label_nom_de_fichier, "M1.csv");
        EXPECT_EQ(
            dialogue.vus[1].texte,
            fr(" Visualiser un fichier de données pour aider à remplir les champs ? \nM1.csv"));
        EXPECT_EQ(
            lanceur.appels.back(),
            (LanceurEnregistreur::Appel{LanceurEnregistreur::Genre::editeur, mesures + "M1.csv"}));
    }
    EXPECT_EQ(session->inventaire.affichage.legende_SpeedButton_lister,
              "1- Valider et Lister les fichiers   *.CSV");
}

TEST_F(ChoixRepertoireTest, ValiderDonneesAvecFichiersDemandeLeListageEtEcritLaDescription) {
    session->Label_description_bd = "essai.dsc";
    const std::string autre = dossier("autre");
    creer("autre/b.TXT", "1\r\n");
    choix->ouvrir_choix_repertoire(D::donnees, 0.0);
    choix->changer_repertoire(autre.substr(0, autre.size() - 1));
    EXPECT_EQ(choix->Label_dir_new, autre);
    EXPECT_TRUE(choix->valider_rouge);

    const ResultatValidation r = choix->valider_repertoire(autre);
    EXPECT_TRUE(r.lister);
    EXPECT_EQ(session->description.dossier_choisi, autre);
    EXPECT_EQ(session->inventaire.affichage.nb_fichiers_listes, "1");
    EXPECT_FALSE(session->f_modif);  // written
    const auto ecrit = lire_fichier(session->chemin_description_courante());
    ASSERT_TRUE(ecrit);
    EXPECT_TRUE(contient(*ecrit, "dossier_choisi= " + autre + "\r\n"));
    EXPECT_FALSE(choix->Panel_dir_visible);
    EXPECT_FALSE(choix->valider_rouge);
    EXPECT_EQ(choix->couleur_bouton(D::donnees), CouleurLegende::marron);
    EXPECT_TRUE(dialogue.vus.empty());
}

TEST_F(ChoixRepertoireTest, ValiderDonneesSansFichierLeSignaleSansLister) {
    const std::string vide = dossier("vide");
    choix->ouvrir_choix_repertoire(D::donnees, 0.0);
    const ResultatValidation r = choix->valider_repertoire(vide);
    EXPECT_FALSE(r.lister);
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::aucun_fichier_extension);
    EXPECT_EQ(dialogue.vus[0].texte, " Aucun fichier ayant l'extension *.txt        \n");
    EXPECT_EQ(session->description.dossier_choisi, vide);
}

TEST_F(ChoixRepertoireTest, ListeRecenteSansDoublonNiEntreeVide) {
    session->description.dossier_choisi_sortie.clear();  // the output label shows its placeholder
    choix->ouvrir_choix_repertoire(D::donnees, 0.0);
    choix->valider_repertoire(donnees);
    // The same directory written in another letter case is not a new entry.
    session->description.dossier_choisi = majuscules(donnees);
    choix->ouvrir_choix_repertoire(D::donnees, 10.0);
    choix->valider_repertoire(donnees);

    const std::vector<std::string> attendues{"1- " + donnees, "2- " + descriptions};
    EXPECT_EQ(choix->recents.entrees(), attendues);
    EXPECT_EQ(lire_fichier(fichier_rep_recents(programme)),
              "1- " + donnees + "\r\n2- " + descriptions + "\r\n");

    ChoixRepertoire relu(*session, dialogue, lanceur, programme);
    relu.basculer_recents();
    EXPECT_TRUE(relu.ListBox_rep_recent_visible);
    EXPECT_EQ(relu.recents.entrees(), attendues);
}

TEST_F(ChoixRepertoireTest, EntreeRecenteChoisieDevientLeRepertoireEnCours) {
    const std::string ancienne = dossier("ancienne_sortie");
    ecrire_fichier_atomique(fichier_rep_recents(programme), "3- " + ancienne + "\r\n");
    choix->ouvrir_choix_repertoire(D::sortie, 0.0);
    choix->basculer_recents();
    dialogue.attendre_question(Reponse::oui);
    choix->choisir_recent(0);
    EXPECT_EQ(session->description.dossier_choisi_sortie, ancienne);
    EXPECT_TRUE(session->f_modif);
    EXPECT_FALSE(choix->Panel_dir_visible);
    EXPECT_EQ(choix->bouton_rouge, D::aucun);
}

TEST(RegleEditLecteur, UnSeulLecteurSansSeparateur) {
    const struct {
        const char* saisi;
        const char* attendu;
    } cas[] = {
        {"media", "media"}, {"/media/usb/", "media"}, {"  mnt ", "mnt"}, {"/", "opt"},
        {"", "opt"},        {"Data", "Data"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(regle_edit_lecteur(c.saisi, "/opt/tarvo/"), c.attendu) << c.saisi;
    EXPECT_EQ(regle_edit_lecteur("", "relatif/"), "");
}

TEST_F(ChoixRepertoireTest, ChangementVersUnLecteurAbsentRapporteLEchec) {
    const std::string dsc = descriptions + "essai.DSC";
    Description d = description_par_defaut({programme, 0});
    d.dossier_choisi = donnees;
    d.dossier_description = descriptions;
    d.dossier_choisi_sortie = donnees + "EXPORT/";
    const std::string texte = ecrire_description_texte(d);
    ecrire_fichier_atomique(dsc, texte);

    EXPECT_EQ(choix->ouvrir_changement_lecteur(), D::aucun);
    EXPECT_TRUE(choix->Panel_lecteur_visible);
    EXPECT_EQ(choix->repertoire_descriptions, descriptions);
    EXPECT_EQ(choix->Edit_lecteur, regle_edit_lecteur(descriptions, ""));
    EXPECT_EQ(choix->ListBox_CheminsFichiers, std::vector<std::string>{dsc});
    const auto a_ligne = [&](const std::string& ligne) {
        return std::find(choix->rapport_lecteur.begin(), choix->rapport_lecteur.end(), ligne) !=
               choix->rapport_lecteur.end();
    };
    EXPECT_TRUE(a_ligne("  " + donnees));  // exists where it is

    choix->saisir_lecteur("/tarvo_lecteur_absent/");
    EXPECT_EQ(choix->Edit_lecteur, "tarvo_lecteur_absent");
    dialogue.attendre_question(Reponse::oui);
    EXPECT_TRUE(choix->modifier_lecteur());
    const std::string cible = "/tarvo_lecteur_absent" + donnees.substr(donnees.find('/', 1));
    EXPECT_TRUE(a_ligne(cible + " <= " + donnees + fr("  échec")));
    EXPECT_EQ(lire_fichier(dsc), texte);  // never written towards a missing directory
    EXPECT_EQ(session->description.dossier_choisi, donnees);
    EXPECT_EQ(session->journal.lignes().back().find(fr("    échec  ")), 0u);
}

TEST_F(ChoixRepertoireTest, ChangementDeLecteurSansRepertoireDesDescriptions) {
    session->Label_rep_description = fr(repertoire_description_vide);
    EXPECT_EQ(choix->ouvrir_changement_lecteur(), D::description);
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::dossier_descriptions_d_abord);
    EXPECT_EQ(dialogue.vus[0].texte,
              fr(" D'abord choisir un répertoire des fichiers de description \n"));
    EXPECT_FALSE(choix->Panel_lecteur_visible);
}

}  // namespace
}  // namespace tarvo

#include "description/repertoires.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "description/fichier_description.h"
#include "dossier_temporaire.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

using Genre = DialogueScripte::Genre;

class VerificationRepertoires : public DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        p_ = dossier("desc");
        description_ = p_ + "essai.DSC";
        creer("desc/essai.DSC", "");
    }
    ResultatVerification verifier(const Repertoires& lus, std::string_view argument = {}) {
        return verifier_repertoires_apres_lecture(lus, description_, argument, dialogue_);
    }
    std::string p_;
    std::string description_;
    DialogueScripte dialogue_;
};

// ---- Started with a description on the command line: P is its directory.

TEST_F(VerificationRepertoires, AvecArgumentAucunRepertoire) {
    const Repertoires lus{chemin("d/"), chemin("s/"), chemin("e/")};
    dialogue_.attendre_choix(1);
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.suite, SuiteVerification::continuer);
    EXPECT_EQ(r.repertoires, (Repertoires{p_, p_, p_ + "EXPORT/"}));
    EXPECT_TRUE(existe("desc/EXPORT"));

    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::changer_repertoires_description);
    const auto& vu = dialogue_.vus[0];
    EXPECT_EQ(vu.type, TypeMessage::confirmation);
    EXPECT_EQ(vu.legendes, (std::vector<std::string>{"CHANGER", "Annuler"}));
    EXPECT_EQ(vu.texte,
              fr("Fichier de description sélectionné : essai.DSC\n   dans le répertoire ") + p_ +
                  fr("\n\nContenu partiel :\n\nRépertoires /Données /Description /EXPORT "
                     "inexistants\n\n/Données     ? ") +
                  lus.dossier_choisi + "\n/Description ? " + lus.dossier_description +
                  "\n/EXPORT      ? " + lus.dossier_choisi_sortie +
                  fr("\n\nCHANGER avec le répertoire du fichier sélectionné ? (") + p_ +
                  fr(") \n\n/Données     > ") + p_ + "\n/Description > " + p_ +
                  "\n/EXPORT      > " + p_ + "EXPORT/\n");
}

TEST_F(VerificationRepertoires, AvecArgumentAnnulerNeChangeRien) {
    const Repertoires lus{chemin("d/"), chemin("s/"), chemin("e/")};
    dialogue_.attendre_choix(2);
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.suite, SuiteVerification::abandon);
    EXPECT_EQ(r.repertoires, lus);
    EXPECT_FALSE(existe("desc/EXPORT"));
}

TEST_F(VerificationRepertoires, AvecArgumentDescriptionDejaIci) {
    // Data and output missing, the description directory already P: data and output move.
    const Repertoires lus{chemin("d/"), p_, chemin("e/")};
    dialogue_.attendre_choix(1);
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.repertoires, (Repertoires{p_, p_, p_ + "EXPORT/"}));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::changer_repertoires_description);
    EXPECT_NE(dialogue_.vus[0].texte.find(fr("Répertoires /Données /EXPORT inexistants\n\n")),
              std::string::npos);
    EXPECT_NE(dialogue_.vus[0].texte.find("/Description   " + p_ + "\n"), std::string::npos);
}

TEST_F(VerificationRepertoires, AvecArgumentDonneesPresentesSansQuestion) {
    const std::string donnees = dossier("mesures");
    const Repertoires lus{donnees, chemin("ailleurs/"), chemin("sortie/")};
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.suite, SuiteVerification::continuer);
    EXPECT_EQ(r.repertoires, (Repertoires{donnees, p_, donnees + "EXPORT/"}));
    EXPECT_TRUE(existe("mesures/EXPORT"));
    EXPECT_TRUE(dialogue_.vus.empty());

    // Data in P itself: the output read is kept even when missing.
    const Repertoires ici{p_, chemin("ailleurs/"), chemin("sortie/")};
    EXPECT_EQ(verifier(ici, p_).repertoires, (Repertoires{p_, p_, chemin("sortie/")}));
}

TEST_F(VerificationRepertoires, AvecArgumentSeuleLaSortieExiste) {
    const Repertoires lus{chemin("d/"), chemin("ailleurs/"), dossier("sortie")};
    dialogue_.attendre_choix(1);
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.repertoires, (Repertoires{p_, p_, p_ + "EXPORT/"}));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::changer_trois_repertoires);
    EXPECT_TRUE(dialogue_.vus[0].texte.ends_with(
        fr("CHANGER les 3 avec le répertoire du fichier sélectionné ? (") + p_ +
        fr(") !\n\n/Données     > ") + p_ + "\n/Description > " + p_ + "\n/EXPORT      > " + p_ +
        "EXPORT/"));
}

TEST_F(VerificationRepertoires, AvecArgumentCasNonTraite) {
    const Repertoires lus{chemin("d/"), dossier("autres"), chemin("e/")};
    const auto r = verifier(lus, p_);
    EXPECT_EQ(r.suite, SuiteVerification::continuer);
    EXPECT_EQ(r.repertoires, lus);
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::option_repertoires_non_traitee);
    EXPECT_EQ(dialogue_.vus[0].genre, Genre::message);
    EXPECT_EQ(dialogue_.vus[0].texte, fr("option non traitée..."));
}

TEST_F(VerificationRepertoires, AvecArgumentUneDescriptionOuverteAilleurs) {
    // Started with desc/essai.DSC, then another description opened from autre/: its
    // directories are checked as without an argument, never moved to desc/.
    const std::string autre = dossier("autre");
    creer("autre/x.DSC", "");
    const std::string donnees = dossier("mesures");
    const Repertoires lus{donnees, chemin("ailleurs/"), chemin("sortie/")};
    EXPECT_EQ(verifier_repertoires_apres_lecture(lus, autre + "x.DSC", p_, dialogue_).repertoires,
              lus);
    EXPECT_TRUE(dialogue_.vus.empty());
    EXPECT_FALSE(existe("mesures/EXPORT"));

    const Repertoires aucun{chemin("d/"), chemin("s/"), chemin("e/")};
    dialogue_.attendre_choix(1);
    const auto r = verifier_repertoires_apres_lecture(aucun, autre + "x.DSC", p_, dialogue_);
    EXPECT_EQ(r.repertoires, (Repertoires{autre, autre, autre + "EXPORT/"}));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::trois_repertoires_absents);
    EXPECT_TRUE(dialogue_.vus[0].texte.starts_with(
        fr("Fichier de description sélectionné : x.DSC\n\nInexistance des 3 répertoires")));
    EXPECT_FALSE(existe("desc/EXPORT"));
}

// ---- No description on the command line: P is the directory of the file read.

TEST_F(VerificationRepertoires, AucunRepertoire) {
    const Repertoires lus{chemin("d/"), chemin("s/"), chemin("e/")};
    dialogue_.attendre_choix(1);
    EXPECT_EQ(verifier(lus).repertoires, (Repertoires{p_, p_, p_ + "EXPORT/"}));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::trois_repertoires_absents);
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::avertissement);
    EXPECT_EQ(dialogue_.vus[0].legendes, (std::vector<std::string>{"Remplacer", "Annuler"}));
    EXPECT_TRUE(dialogue_.vus[0].texte.starts_with(
        fr("Fichier de description sélectionné : essai.DSC\n\nInexistance des 3 répertoires : "
           "/Données, /Description et /EXPORT\n\n/Données     ? ") +
        lus.dossier_choisi));
    EXPECT_NE(dialogue_.vus[0].texte.find("Remplacer par " + p_ + " ? \n\n"), std::string::npos);
    EXPECT_EQ(dialogue_.vus[0].texte,
              fr("Fichier de description sélectionné : essai.DSC\n\nInexistance des 3 "
                 "répertoires : /Données, /Description et /EXPORT\n\n/Données     ? ") +
                  lus.dossier_choisi + "\n/Description ? " + lus.dossier_description +
                  "\n/EXPORT      ? " + lus.dossier_choisi_sortie + "\n\nRemplacer par " + p_ +
                  fr(" ? \n\n/Données     > ") + p_ + "\n/Description > " + p_ +
                  "\n/EXPORT      > " + p_ + "EXPORT/\n");

    DialogueScripte ferme;
    ferme.attendre_choix(2);
    const auto r = verifier_repertoires_apres_lecture(lus, description_, "", ferme);
    EXPECT_EQ(r.suite, SuiteVerification::abandon);
    EXPECT_EQ(r.repertoires, lus);
}

TEST_F(VerificationRepertoires, LesTroisExistentSansQuestion) {
    const std::string donnees = dossier("a/b/donnees");
    const std::string desc = dossier("desc");
    // The EXPORT below the data, whatever its letter case, or one or two levels above.
    for (const char* relatif : {"a/b/donnees/export", "a/b/Export", "a/EXPORT"}) {
        const std::string sortie = dossier(relatif);
        EXPECT_EQ(verifier({donnees, desc, sortie}).repertoires,
                  (Repertoires{donnees, desc, sortie}))
            << relatif;
        std::filesystem::remove_all(racine_ / relatif);
    }
    EXPECT_TRUE(dialogue_.vus.empty());
}

TEST_F(VerificationRepertoires, SortieAilleursGarderCreerAnnuler) {
    const std::string donnees = dossier("a/b/donnees");
    const std::string sortie = dossier("resultats");
    const Repertoires lus{donnees, p_, sortie};
    const std::string p_sans = p_.substr(0, p_.size() - 1);

    dialogue_.attendre_choix(1);
    EXPECT_EQ(verifier(lus).repertoires, lus);
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::garder_ou_creer_export);
    EXPECT_EQ(dialogue_.vus[0].legendes,
              (std::vector<std::string>{"GARDER", fr("CRÉER /EXPORT"), "Annuler"}));
    EXPECT_EQ(
        dialogue_.vus[0].texte,
        fr("Le sous-répertoire /EXPORT n'existe pas \n\n/Données       ") + donnees +
            "\n/Description   " + p_ + "\n/EXPORT      ? " + sortie +
            fr("\n\nGARDER le répertoire ou CRÉER le répertoire /EXPORT ?\n\n/Données       ") +
            donnees + "\n/Description   " + p_ + "\n/EXPORT      > " + p_sans + "/EXPORT/\n");

    dialogue_.attendre_choix(3);
    const auto annule = verifier(lus);
    EXPECT_EQ(annule.suite, SuiteVerification::abandon);
    EXPECT_FALSE(existe("desc/EXPORT"));

    // Closing the box answers 2, as "CRÉER /EXPORT" does.
    dialogue_.attendre_choix(2);
    EXPECT_EQ(verifier(lus).repertoires, (Repertoires{donnees, p_, p_ + "EXPORT/"}));
    EXPECT_TRUE(existe("desc/EXPORT"));
}

TEST_F(VerificationRepertoires, DonneesOuSortiePresentesSansQuestion) {
    const Repertoires donnees{dossier("mesures"), chemin("s/"), chemin("e/")};
    EXPECT_EQ(verifier(donnees).repertoires, donnees);
    const Repertoires sortie{chemin("d/"), chemin("s/"), dossier("resultats")};
    EXPECT_EQ(verifier(sortie).repertoires, sortie);
    EXPECT_TRUE(dialogue_.vus.empty());
}

TEST_F(VerificationRepertoires, SeuleLaDescriptionExiste) {
    const std::string desc = dossier("descriptions");
    const Repertoires lus{chemin("d/"), desc, chemin("e/")};
    dialogue_.attendre_choix(1);
    EXPECT_EQ(verifier(lus).repertoires, (Repertoires{desc, desc, desc + "EXPORT/"}));
    EXPECT_TRUE(existe("descriptions/EXPORT"));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids[0], IdMessage::deux_repertoires_absents);
    EXPECT_EQ(dialogue_.vus[0].legendes, (std::vector<std::string>{"REMPLACER", "Annuler"}));
    EXPECT_TRUE(dialogue_.vus[0].texte.starts_with(
        fr("Fichier de description sélectionné : \n\nInexistance de 2 répertoires : /Données et "
           "/EXPORT   dans essai.DSC\n\n")));
    const std::string p_sans = p_.substr(0, p_.size() - 1);
    EXPECT_EQ(dialogue_.vus[0].texte,
              fr("Fichier de description sélectionné : \n\nInexistance de 2 répertoires : "
                 "/Données et /EXPORT   dans essai.DSC\n\n/Données     ? ") +
                  lus.dossier_choisi + "\n/Description   " + desc + "\n/EXPORT      ? " +
                  lus.dossier_choisi_sortie + "\n\nREMPLACER par " + p_sans + "/ ? \n\n" +
                  fr("/Données     > ") + desc + "\n/Description   " + desc + "\n/EXPORT      > " +
                  desc + "EXPORT/\n");
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::avertissement);

    dialogue_.attendre_choix(2);
    EXPECT_EQ(verifier(lus).suite, SuiteVerification::abandon);
}

TEST_F(VerificationRepertoires, RepertoireImpossibleACreer) {
    creer("desc/EXPORT", "un fichier, pas un répertoire");
    dialogue_.attendre_choix(1);
    EXPECT_THROW(verifier({chemin("d/"), chemin("s/"), chemin("e/")}), ErreurFichier);
}

// ---- Recent directories.

class Recents : public DossierTemporaire {};

TEST_F(Recents, AjoutSansDoublonNiTexteDAttente) {
    RepertoiresRecents recents(fichier_rep_recents(chemin()));
    recents.ajouter({"/mesures/", "/desc/", fr("/sorties été/")});
    recents.ajouter({"/MESURES/", "", fr(repertoire_sortie_vide)});
    recents.ajouter({fr(repertoire_donnees_vide), fr(repertoire_description_vide), "/autres/"});
    const std::vector<std::string> attendu{"1- /mesures/", "2- /desc/", fr("3- /sorties été/"),
                                           "3- /autres/"};
    EXPECT_EQ(recents.entrees(), attendu);
    EXPECT_EQ(lire("nom_fic_rep_recents.txt"),
              "1- /mesures/\r\n2- /desc/\r\n3- /sorties \xE9t\xE9/\r\n3- /autres/\r\n");
}

TEST_F(Recents, Chargement) {
    const Repertoires actuels{"/mesures/", "/desc/", "/sorties/"};
    RepertoiresRecents sans_fichier(fichier_rep_recents(chemin()));
    sans_fichier.charger(actuels);
    EXPECT_EQ(sans_fichier.entrees(),
              (std::vector<std::string>{"1- /mesures/", "2- /desc/", "3- /sorties/"}));
    EXPECT_TRUE(existe("nom_fic_rep_recents.txt"));

    creer("nom_fic_rep_recents.txt", "1- /a/\r\n\r\n2- /b/\n");
    RepertoiresRecents avec_fichier(fichier_rep_recents(chemin()));
    avec_fichier.charger(actuels);
    EXPECT_EQ(avec_fichier.entrees(), (std::vector<std::string>{"1- /a/", "2- /b/"}));
    avec_fichier.vider();
    EXPECT_TRUE(avec_fichier.entrees().empty());
    EXPECT_EQ(lire("nom_fic_rep_recents.txt"), "1- /a/\r\n\r\n2- /b/\n");

    creer("nom_fic_rep_recents.txt", "");
    RepertoiresRecents fichier_vide(fichier_rep_recents(chemin()));
    fichier_vide.charger(actuels);
    EXPECT_EQ(fichier_vide.entrees().size(), 3u);
}

// The file only grows: an addition keeps what it held, doubles dropped, unless the user
// emptied the list first.
TEST_F(Recents, AjoutApresLesEntreesDuFichier) {
    const std::string anciennes = "1- /a/\r\n1- /A/\r\n3- /s/\r\n";
    const struct {
        bool vider;
        std::string attendu;
    } cas[] = {
        {false, "1- /a/\r\n3- /s/\r\n2- /desc/\r\n"},
        {true, "1- /A/\r\n2- /desc/\r\n3- /s/\r\n"},
    };
    for (const auto& c : cas) {
        creer("nom_fic_rep_recents.txt", anciennes);
        RepertoiresRecents recents(fichier_rep_recents(chemin()));
        if (c.vider) recents.vider();
        recents.ajouter({"/A/", "/desc/", "/s/"});
        EXPECT_EQ(lire("nom_fic_rep_recents.txt"), c.attendu) << c.vider;
    }
}

TEST_F(Recents, DoubleClicSurUneEntree) {
    const std::string d = dossier("mesures");
    struct Cas {
        std::vector<Reponse> reponses;
        ChoixRecent::Action attendu;
    };
    const std::vector<Cas> cas{
        {{Reponse::oui}, ChoixRecent::Action::choisir},
        {{Reponse::non, Reponse::oui}, ChoixRecent::Action::effacer},
        {{Reponse::non, Reponse::non}, ChoixRecent::Action::aucune},
        {{Reponse::annuler}, ChoixRecent::Action::aucune},
    };
    for (const auto& c : cas) {
        DialogueScripte dialogue;
        for (const auto r : c.reponses) dialogue.attendre_question(r);
        const auto choix = choisir_repertoire_recent("1- " + d, dialogue);
        EXPECT_EQ(choix.action, c.attendu);
        if (c.attendu == ChoixRecent::Action::choisir) {
            EXPECT_EQ(choix.repertoire, d);
        }
        EXPECT_EQ(dialogue.vus.front().texte,
                  fr("  Choisir le répertoire ") + d + "\n\n  (Non) = effacer la liste\n\n");
        std::vector<IdMessage> ids{IdMessage::choisir_repertoire_recent};
        if (c.reponses.size() == 2) ids.push_back(IdMessage::effacer_repertoires_recents);
        EXPECT_EQ(dialogue.ids, ids);
    }

    DialogueScripte dialogue;
    const auto disparu = choisir_repertoire_recent("2- " + chemin("disparu/"), dialogue);
    EXPECT_EQ(disparu.action, ChoixRecent::Action::aucune);
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids[0], IdMessage::repertoire_recent_absent);
    EXPECT_EQ(dialogue.vus[0].texte, fr(" Répertoire inexistant \n\n") + chemin("disparu/") + "\n");
}

// ---- Drive change.

TEST(Lecteur, PremierComposant) {
    EXPECT_EQ(lecteur_de("/media/usb/mesures/"), "/media");
    EXPECT_EQ(lecteur_de("/media/"), "/media");
    EXPECT_EQ(lecteur_de("/media"), "/media");
    EXPECT_EQ(lecteur_de("/"), "");
    EXPECT_EQ(lecteur_de("mesures/"), "");
}

class ChangementLecteur : public DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        // The descriptions were made where the data lay on a drive this machine lacks.
        lecteur_ = lecteur_de(chemin());
        reste_ = chemin().substr(lecteur_.size());
        ancien_ = "/usb_absente" + reste_;
        dossier("mesures");
        dossier("desc");
        a_ = "Edit_masque.text= *.dat\r\n"
             "dossier_choisi= " +
             ancien_ +
             "mesures/\r\n"
             "DOSSIER_DESCRIPTION=" +
             ancien_ +
             "desc\r\n"
             "dossier_choisi_sortie= " +
             ancien_ +
             "autre/EXPORT/\r\n"
             "Edit_NA.text= NA\r\n";
        creer("desc/A.dsc", a_);
        creer("desc/B.DSC", "Edit_masque.text= *.txt\r\n");
        creer("desc/notes.txt", "");
        std::filesystem::create_directories(racine_ / "desc/x.dsc");
    }
    std::string lecteur_, reste_, ancien_, a_;
};

TEST_F(ChangementLecteur, ListeDesDescriptions) {
    EXPECT_EQ(chemins_descriptions(chemin("desc")),
              (std::vector<std::string>{chemin("desc/A.dsc"), chemin("desc/B.DSC")}));
}

TEST_F(ChangementLecteur, RapportSansAppliquer) {
    JournalSuivi journal;
    const Repertoires programme{chemin("mesures/"), chemin("desc/"), chemin("mesures/EXPORT/")};
    const auto r = changer_lecteur("", chemins_descriptions(chemin("desc")), programme, chemin(),
                                   false, journal);
    const std::string echec = fr("  échec");
    const std::vector<std::string> attendu{
        "",
        "A.dsc",
        ancien_ + "mesures/ <= " + ancien_ + "mesures/" + echec,
        echec + "  " + ancien_ + "desc/=>" + ancien_ + "desc/",
        ancien_ + "desc/ <= " + ancien_ + "desc/" + echec,
        echec + "  " + ancien_ + "autre/EXPORT/=>" + ancien_ + "autre/EXPORT/",
        ancien_ + "autre/EXPORT/ <= " + ancien_ + "autre/EXPORT/" + echec,
        "B.DSC",
        "  /./",
        "  /./",
        "  /./",
    };
    EXPECT_EQ(r.rapport, attendu);
    EXPECT_EQ(r.repertoires, programme);
    EXPECT_FALSE(r.f_modif);
    EXPECT_EQ(lire("desc/A.dsc"), a_);
}

TEST_F(ChangementLecteur, AppliquerSeulementVersCeQuiExiste) {
    JournalSuivi journal;
    const Repertoires programme{ancien_ + "mesures/", ancien_ + "desc/", ancien_ + "nulle/"};
    const std::string saisi = lecteur_.substr(1) + "/";  // "tmp/" for "/tmp"
    const auto fichiers = chemins_descriptions(chemin("desc"));
    const auto r = changer_lecteur(saisi, fichiers, programme, "/ailleurs/", true, journal);

    const std::string echec = fr("  échec");
    const std::string nouveau = lecteur_ + reste_;
    const std::vector<std::string> attendu{
        "",
        "A.dsc",
        "- modification lecteur par <" + lecteur_ + "> dans " + chemin("desc/A.dsc"),
        "  " + nouveau + "mesures/",
        "  " + nouveau + "desc/",
        echec + "  " + ancien_ + "autre/EXPORT/=>" + nouveau + "autre/EXPORT/",
        nouveau + "autre/EXPORT/ <= " + ancien_ + "autre/EXPORT/" + echec,
        "B.DSC",
        "- modification lecteur par <" + lecteur_ + "> dans " + chemin("desc/B.DSC"),
        "  " + lecteur_ + "/",
        "  " + lecteur_ + "/",
        "  " + lecteur_ + "/",
        "",
        fr(" mise à jour des 2 fichiers de description, 2 modif. avec le lecteur ") + lecteur_ +
            " ( 3x2 = 6 )",
    };
    EXPECT_EQ(r.rapport, attendu);
    EXPECT_EQ(r.nb_modifs, 2);
    EXPECT_EQ(lire("desc/A.dsc"),
              "Edit_masque.text= *.dat\r\n"
              "dossier_choisi= " +
                  nouveau +
                  "mesures/\r\n"
                  "dossier_description= " +
                  nouveau +
                  "desc/\r\n"
                  "dossier_choisi_sortie= " +
                  ancien_ +
                  "autre/EXPORT/\r\n"
                  "Edit_NA.text= NA\r\n");
    // Keys it lacks are not added: it still reads their defaults.
    EXPECT_EQ(lire("desc/B.DSC"), "Edit_masque.text= *.txt\r\n");

    EXPECT_EQ(r.repertoires,
              (Repertoires{nouveau + "mesures/", nouveau + "desc/", ancien_ + "nulle/"}));
    EXPECT_EQ(journal.lignes(), (std::vector<std::string>{fr("    échec  ") + ancien_ +
                                                          "nulle/ => " + nouveau + "nulle/"}));
    EXPECT_TRUE(r.f_modif);
}

}  // namespace
}  // namespace tarvo

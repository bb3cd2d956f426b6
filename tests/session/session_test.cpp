// The window's session commands: start-up, descriptions chosen, written and moved, listing and
// grid, clipboard and workbooks, quitting.
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "inventory/table_fichiers.h"
#include "session/lanceur_averti.h"
#include "tests/session/montage_session.h"

namespace tarvo {
namespace {

TEST_F(SessionTest, PremierDemarrageSansFichierPrm) {
    auto s = nouvelle_session();
    s->creation();
    s->premiere_activation();
    EXPECT_TRUE(dialogue.vus.empty());  // no last description to offer
    EXPECT_EQ(s->Label_description_bd, fr("fichier de description de données"));
    ASSERT_GE(s->journal.lignes().size(), 4u);
    EXPECT_EQ(s->journal.lignes()[0], s->titre_programme);
    EXPECT_EQ(s->journal.lignes()[3], "ORDINATEUR  DecimalSeparator  .   point");
    EXPECT_EQ(s->parametres_prm.couleurs, couleurs_par_defaut);
}

TEST_F(SessionTest, DemarrageAvecDescriptionEnArgument) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    auto s = nouvelle_session();
    s->lire_argument({"\"" + dsc + "\""});
    EXPECT_EQ(s->fichier_argument, dsc);
    s->creation();
    s->premiere_activation();
    EXPECT_TRUE(dialogue.vus.empty());  // loaded without the question
    EXPECT_EQ(s->Label_description_bd, "niveaux.dsc");
    EXPECT_EQ(s->description.dossier_description, descriptions);
    EXPECT_EQ(s->description.Edit_nom_fic_sortie, "niveaux");
    EXPECT_FALSE(s->f_modif);
}

TEST_F(SessionTest, DerniereDescriptionProposee) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    ecrire_fichier_une_ligne(dsc, fichier_prm(programme));
    for (const Reponse reponse : {Reponse::oui, Reponse::non}) {
        auto s = nouvelle_session();
        s->creation();
        dialogue.attendre_question(reponse);
        s->premiere_activation();
        EXPECT_EQ(s->description.Edit_nom_fic_sortie, reponse == Reponse::oui ? "niveaux" : "A");
    }
    ASSERT_EQ(dialogue.vus.size(), 2u);
    EXPECT_EQ(dialogue.ids, (std::vector<IdMessage>{IdMessage::utiliser_derniere_description,
                                                    IdMessage::utiliser_derniere_description}));
    EXPECT_EQ(dialogue.vus[0].texte,
              "____________________________________ T a r v o\n\ndans => " + descriptions +
                  "\n\n\n" +
                  fr("utiliser la dernière description utilisée ?                     \n\n") +
                  "niveaux.dsc\n");
}

TEST_F(SessionTest, DerniereDescriptionDisparue) {
    ecrire_fichier_une_ligne(descriptions + "partie.dsc", fichier_prm(programme));
    auto s = nouvelle_session();
    s->creation();
    s->premiere_activation();
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::derniere_description_absente);
    EXPECT_EQ(dialogue.vus[0].texte, "Le fichier <" + descriptions + "partie.dsc>\n n'existe pas ");
}

TEST_F(SessionTest, ChoisirUneDescriptionRangeeAilleurs) {
    // Written for the descriptions directory, then moved: choosing it rewrites the
    // directory it names with the one it lies in.
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    const std::string ailleurs = dossier("ailleurs") + "niveaux.dsc";
    std::filesystem::rename(chemin_natif(dsc), chemin_natif(ailleurs));
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(ailleurs);
    EXPECT_EQ(s->description.dossier_description, chemin("ailleurs/"));
    Description relue = description_par_defaut({programme, 0});
    JournalSuivi journal;
    ASSERT_TRUE(lire_description_texte(*lire_fichier(ailleurs), relue, {programme, 0}, journal)
                    .erreur.empty());
    EXPECT_EQ(relue.dossier_description, chemin("ailleurs/"));
    EXPECT_EQ(lire_ligne_parametre(fichier_prm(programme), 1), ailleurs);
    EXPECT_EQ(lire_ligne_parametre(fichier_prm(programme), 6), "0");
    EXPECT_FALSE(s->f_modif);
}

TEST_F(SessionTest, EnregistrerSansIntitulesMetZero) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    s->description.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
    s->f_modif = true;
    dialogue.attendre_question(Reponse::oui);
    s->enregistrer_description();
    EXPECT_EQ(dialogue.ids.back(), IdMessage::enregistrer_description);
    EXPECT_EQ(dialogue.vus.back().texte,
              fr(" Enregistrer les modifications de la description de données    niveaux.dsc\n\n"
                 " dans le répertoire ") +
                  descriptions + "   ?   \n\n");
    Description relue;
    JournalSuivi journal;
    lire_description_texte(*lire_fichier(dsc), relue, {programme, 0}, journal);
    EXPECT_EQ(relue.Edit_num_ligne_intitule_col, "0");
    EXPECT_FALSE(s->f_modif);
}

TEST_F(SessionTest, EnregistrerSousAjouteLExtension) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    s->description.Edit_nb_decimale = "5";
    s->enregistrer_description_sous(descriptions + "copie");
    EXPECT_EQ(s->Label_description_bd, "copie.dsc");
    const auto copie = lire_fichier(descriptions + "copie.dsc");
    ASSERT_TRUE(copie);
    EXPECT_NE(copie->find("Edit_nb_decimale.text= 5\r\n"), std::string::npos);
    EXPECT_EQ(lire_ligne_parametre(fichier_prm(programme), 1), descriptions + "copie.dsc");
    // Cancelled: nothing changes.
    s->enregistrer_description_sous(std::nullopt);
    EXPECT_EQ(s->Label_description_bd, "copie.dsc");
}

TEST_F(SessionTest, NouvelleDescriptionGardeLesRepertoires) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    dialogue.attendre_question(Reponse::oui);
    s->nouvelle_description(descriptions + "neuve.dsc");
    Description attendue = description_par_defaut({programme, 0});
    EXPECT_EQ(s->description.Edit_masque, attendue.Edit_masque);
    EXPECT_EQ(s->description.Edit_nom_fic_sortie, "A");
    EXPECT_EQ(s->description.dossier_choisi, donnees);
    EXPECT_EQ(s->description.dossier_choisi_sortie, sortie);
    EXPECT_EQ(s->description.dossier_description, descriptions);
    EXPECT_EQ(s->Label_description_bd, "neuve.dsc");
    EXPECT_TRUE(lire_fichier(descriptions + "neuve.dsc"));
    EXPECT_EQ(s->choix_repertoire, ChoixRepertoireDemande::donnees);
    // Anything but Oui leaves the description alone.
    dialogue.attendre_question(Reponse::annuler);
    s->description.Edit_masque = "*.dat";
    s->nouvelle_description(descriptions + "autre.dsc");
    EXPECT_EQ(s->description.Edit_masque, "*.dat");
}

// Stages 1 and 2 on a real logger export, as a user drives them: choose the description,
// list, build the grid.
TEST_F(SessionTest, ListerPuisCreerLaGrilleSurUnFichierHobo) {
    const std::string fichier = copier_hobo();
    ecrire_fichier_atomique(descriptions + "hobo.dsc",
                            ecrire_description_texte(description_hobo()));

    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(descriptions + "hobo.dsc");
    EXPECT_EQ(s->inventaire.affichage.nb_fichiers_listes, "1");
    EXPECT_EQ(s->inventaire.affichage.Label_nom_de_fichier, fichier);

    const ResultatListage liste = s->lister_fichiers();
    ASSERT_EQ(liste.fin, FinListage::complet);
    ASSERT_EQ(s->table.nb_fichiers(), 1);
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::fichier), fichier);
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::date_dep), "16/06/2021 14:35:28");
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::date_fin), "27/07/2021 12:54:05");
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::nb_donnees), "5 896");
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::nb_colonnes), " 15");

    // Every hour of the first afternoon, the grid starting one step before the start.
    s->parametres_grille.Label_temps_deb = "16/06/2021 15:00:00";
    s->parametres_grille.Label_temps_fin = "16/06/2021 18:00:00";
    s->parametres_grille.TimePicker_pas = 1.0 / 24;
    dialogue.attendre_question(Reponse::oui);
    const Grille& g = s->creer_grille();
    ASSERT_EQ(g.etat, EtatGrille::construite);
    EXPECT_EQ(g.items,
              (std::vector<std::string>{fr("_intitulés des colonnes"), "16/06/2021 14:00:00",
                                        "16/06/2021 15:00:00", "16/06/2021 16:00:00",
                                        "16/06/2021 17:00:00", "16/06/2021 18:00:00"}));
    EXPECT_EQ(g.nb_lignes_grille, 5);
    EXPECT_EQ(g.Label_nr_final, "4");
    EXPECT_FALSE(s->en_demarrage);
}

// The grid settings live beside the program: changed in one session, they come back in
// the next once a description has been written.
TEST_F(SessionTest, ParametresDeGrilleRetrouvesAuDemarrageSuivant) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    {
        auto s = nouvelle_session();
        s->creation();
        s->choisir_description(dsc);
        s->parametres_grille.Label_temps_deb = "01/01/2024 00:00:00";
        s->parametres_grille.Label_temps_fin = "02/01/2024 00:00:00";
        s->parametres_grille.TimePicker_pas = 1.0 / 24;
        s->parametres_grille_modifies();
        EXPECT_EQ(s->resume_grille_affiche.texte,
                  "25 => 1 jour");  // both ends are rows of the result
        EXPECT_TRUE(s->grille_modifiee);
        dialogue.attendre_question(Reponse::oui);
        s->enregistrer_description();
        EXPECT_FALSE(s->grille_modifiee);
    }
    auto s = nouvelle_session();
    s->creation();
    dialogue.attendre_question(Reponse::non);  // the last description is not wanted
    s->premiere_activation();
    EXPECT_EQ(s->parametres_grille.Label_temps_deb, "01/01/2024 00:00:00");
    EXPECT_EQ(s->parametres_grille.Label_temps_fin, "02/01/2024 00:00:00");
    EXPECT_DOUBLE_EQ(s->parametres_grille.TimePicker_pas, 1.0 / 24);
    EXPECT_EQ(s->resume_grille_affiche.texte, "25 => 1 jour");
}

// A description whose read stops at a bad radio index is shown as far as it was read,
// and the file is left as it is: rewriting it would lose the keys after the bad one.
TEST_F(SessionTest, DescriptionIllisibleNonReecrite) {
    const std::string contenu =
        "Edit_masque.text= *.dat\r\nRadioGroup_methode_ItemIndex= deux\r\nEdit_NA.text= -\r\n";
    ecrire_fichier_atomique(descriptions + "abimee.dsc", contenu);
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(descriptions + "abimee.dsc");
    ASSERT_FALSE(dialogue.vus.empty());
    EXPECT_EQ(dialogue.ids.back(), IdMessage::erreur_lecture_description);
    EXPECT_EQ(dialogue.vus.back().texte, fr("'deux' n'est pas une valeur entière correcte"));
    EXPECT_EQ(s->description.Edit_masque, "*.dat");
    EXPECT_EQ(lire_fichier(descriptions + "abimee.dsc"), contenu);
}

// A description saved by an editor as UTF-8 with a mark still reads its first key.
TEST_F(SessionTest, MarqueUtf8Ignoree) {
    ecrire_fichier_atomique(descriptions + "bom.dsc",
                            "\xEF\xBB\xBF"
                            "Edit_masque.text= *.dat\r\n");
    Description d;
    JournalSuivi journal;
    EXPECT_TRUE(
        lire_description_texte(*lire_fichier(descriptions + "bom.dsc"), d, {programme, 0}, journal)
            .erreur.empty());
    EXPECT_EQ(d.Edit_masque, "*.dat");
}

// Another description, chosen or new, takes over a screen that shows nothing of the previous
// one: no file table, pre-read file, preview, listing extremes, result list or step table.
TEST_F(SessionTest, ChangerDeDescriptionEffaceCeQueLaPrecedenteAffichait) {
    copier_hobo();
    const std::string autre = ecrire_dsc("niveaux.dsc");
    for (const bool nouvelle : {false, true}) {
        SCOPED_TRACE(nouvelle ? "Nouveau" : "Choix");
        auto s = session_hobo_horaire(description_hobo());
        ASSERT_EQ(s->traiter(), FinTraitement::termine);
        const AffichageListage& a = s->inventaire.affichage;
        ASSERT_FALSE(a.apercu.empty());
        ASSERT_FALSE(a.Label_date_min.empty());
        ASSERT_FALSE(s->listes.ListBox_DONNEE_date_clean.empty());
        if (nouvelle) {
            dialogue.attendre_question(Reponse::oui);
            s->nouvelle_description(descriptions + "neuve.dsc");
        } else {
            s->choisir_description(autre);
        }
        EXPECT_EQ(s->table.nb_fichiers(), 0);
        EXPECT_TRUE(s->inventaire.tampon_fichier_lu.vide());
        EXPECT_TRUE(a.apercu.empty());
        EXPECT_EQ(a.Label_date_min, "");
        EXPECT_EQ(a.Label_date_max, "");
        EXPECT_EQ(a.Label_date_heure_min, "");
        EXPECT_FALSE(a.Label_date_min_rouge);
        EXPECT_EQ(a.nb_lignes_donnees, "");
        EXPECT_TRUE(s->listes.ListBox_DONNEE_date_clean.empty());
        EXPECT_EQ(s->etapes.N(), 0);
        EXPECT_EQ(s->fichier_resultat, "");
        EXPECT_EQ(s->dernier_enregistrement.nom_resultat, "");
        EXPECT_EQ(s->dernier_enregistrement.texte_resultat, "");
        EXPECT_EQ(s->extraction.Label_nlig_impliquee, "");
    }
}

TEST_F(SessionTest, LePressePapierDevientUnFichierPointVirgule) {
    auto s = nouvelle_session();
    s->creation();
    presse_papier.contenu = fr("date\theure\tniveau été\n01/06/2024\t00:00\t1,5\n");
    ASSERT_TRUE(s->importer_presse_papier());
    EXPECT_EQ(lire_fichier(programme + "~presse-papier.ppp"),
              fr("date;heure;niveau été\r\n01/06/2024;00:00;1,5\r\n"));
    EXPECT_EQ(s->source.mode, ModeEntree::presse_papier);
    EXPECT_EQ(s->source.copie, programme + "~presse-papier.ppp");
    EXPECT_EQ(s->description.Edit_masque, "ppp");
    EXPECT_EQ(s->description.RadioGroup_separateur_colonne_ItemIndex, Separateur::point_virgule);

    presse_papier.contenu.clear();
    EXPECT_FALSE(s->importer_presse_papier());
    ASSERT_FALSE(dialogue.vus.empty());
    EXPECT_EQ(dialogue.vus.back().texte, "le presse-papier est vide! ...");
}

TEST_F(SessionTest, LireUneDescriptionPressePapierRelitLePressePapier) {
    const std::string dsc = ecrire_dsc("coller.dsc", "ppp");
    presse_papier.contenu = "a\tb;c\r\n1\t2\r\n";
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    // A cell holding ";" gains its row a column.
    EXPECT_EQ(lire_fichier(programme + "~presse-papier.ppp"), "a;b;c\r\n1;2\r\n");
    EXPECT_EQ(s->source.mode, ModeEntree::presse_papier);

    presse_papier.contenu.clear();
    dialogue.vus.clear();
    s->charger_description();
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::presse_papier_vide);
    EXPECT_EQ(dialogue.vus[0].texte, "le presse-papier est vide! ...");
}

TEST_F(SessionTest, ConvertirUnClasseurNommeSaFeuille) {
    std::filesystem::copy_file(std::string(TARVO_TESTS) + "/description/classeurs/releve.xls",
                               chemin_natif(donnees + "releve.xls"));
    auto s = nouvelle_session();
    s->creation();
    s->description.dossier_choisi = donnees;
    s->description.Edit_masque = "xls";
    // Sheet 0, or no number at all, reads the first sheet.
    for (const std::string numero : {"0", "", "1"}) {
        s->description.Edit_num_feuille_excel = numero;
        ASSERT_TRUE(s->convertir_excel(donnees + "releve.xls")) << numero;
        EXPECT_EQ(s->description.Label_nom_feuille, fr("Relevé"));
    }
    EXPECT_EQ(s->description.Label_nom_fic_excel, "releve.xls");
    EXPECT_EQ(s->source.copie, programme + "~tmp_xls.csv");
    EXPECT_EQ(lire_fichier(programme + "~tmp_xls.csv"),
              fr("date;niveau;m;;état\r\n25/12/2023 08:05:00;1,5;1;42\r\n26/12/2023;-0,25;;\r\n"
                 "23:59:59;;;fin\r\n"));
    EXPECT_TRUE(dialogue.vus.empty());

    s->description.Edit_num_feuille_excel = "2";
    ASSERT_TRUE(s->convertir_excel(donnees + "releve.xls"));
    EXPECT_EQ(s->description.Label_nom_feuille, "Seconde");
    EXPECT_EQ(lire_fichier(programme + "~tmp_xls.csv"), "deux\r\n");

    // A workbook that is not there: its error, and the last conversion kept.
    EXPECT_FALSE(s->convertir_excel(donnees + "absent.xlsx"));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::erreur_classeur);
    EXPECT_EQ(dialogue.vus[0].type, TypeMessage::erreur);
    EXPECT_NE(dialogue.vus[0].texte.find("absent.xlsx"), std::string::npos)
        << dialogue.vus[0].texte;
    EXPECT_EQ(s->description.Label_nom_feuille, "Seconde");
    EXPECT_EQ(lire_fichier(programme + "~tmp_xls.csv"), "deux\r\n");
}

TEST_F(SessionTest, ListerUnClasseurLeConvertitDAbord) {
    std::filesystem::copy_file(std::string(TARVO_TESTS) + "/description/classeurs/releve.xls",
                               chemin_natif(donnees + "releve.xls"));
    const std::string dsc = ecrire_dsc("classeur.dsc", "xls");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    EXPECT_EQ(s->source.mode, ModeEntree::classeur);
    s->description.Label_nom_fic_excel = "releve.xls";
    s->description.Edit_num_feuille_excel = "1";
    s->description.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    s->f_modif = false;
    s->lister_fichiers();
    const auto& lignes = s->journal.lignes();
    EXPECT_NE(std::find(lignes.begin(), lignes.end(), "       --> Lire le fichier Excel"),
              lignes.end());
    EXPECT_TRUE(lire_fichier(programme + "~tmp_xls.csv")->starts_with("date;niveau;"));
    EXPECT_EQ(s->description.Label_nom_feuille, fr("Relevé"));
    ASSERT_EQ(s->table.nb_fichiers(), 1);
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::fichier), "releve.xls");
}

TEST_F(SessionTest, QuitterEnregistreEtEffaceLesFichiersDeTravail) {
    const std::string dsc = ecrire_dsc("coller.dsc", "ppp");
    presse_papier.contenu = "a\tb\r\n";
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(dsc);
    const std::vector<std::string> travail = {
        "~tmp_xls.csv", "~tmp.xls",           "~tmp.txt",          "~tmp0.txt",
        "~tmp1.txt",    "~presse-papier.ppp", fr("~résultats.txt")};
    for (const auto& f : travail) ecrire_fichier_atomique(programme + f, "x");
    ecrire_fichier_atomique(programme + "~autre.txt", "x");
    const std::string question_ppp =
        "avant de quitter, enregistrer une description propre au Presse-Papier ?\n\n (Non) "
        "actuelle : coller.dsc\n\n" +
        fr(" (Oui) proposée : coller_(ppp ;).dsc\n\n") + "  (Annuler)  = retour";

    // Annuler, then Non to "Quitter": the program goes on, its files with it.
    dialogue.vus.clear();
    dialogue.attendre_question(Reponse::annuler);
    EXPECT_FALSE(s->quitter());
    dialogue.attendre_question(Reponse::non);
    dialogue.attendre_question(Reponse::non);
    EXPECT_FALSE(s->quitter());
    ASSERT_EQ(dialogue.vus.size(), 3u);
    EXPECT_EQ(std::vector<IdMessage>(dialogue.ids.end() - 3, dialogue.ids.end()),
              (std::vector<IdMessage>{IdMessage::description_presse_papier_avant_quitter,
                                      IdMessage::description_presse_papier_avant_quitter,
                                      IdMessage::quitter}));
    EXPECT_EQ(dialogue.vus[0].texte, question_ppp);
    EXPECT_EQ(dialogue.vus[0].boutons, Boutons::oui_non_annuler);
    EXPECT_EQ(dialogue.vus[2].texte, "Quitter  ?\n");
    for (const auto& f : travail) EXPECT_TRUE(tarvo::existe(programme + f)) << f;

    // Oui twice: the description saved under the proposed name, the work files gone.
    dialogue.attendre_question(Reponse::oui);
    dialogue.attendre_question(Reponse::oui);
    EXPECT_TRUE(s->quitter());
    EXPECT_EQ(s->Label_description_bd, "coller_(ppp ;).dsc");
    EXPECT_TRUE(tarvo::existe(descriptions + "coller_(ppp ;).dsc"));
    for (const auto& f : travail) EXPECT_FALSE(tarvo::existe(programme + f)) << f;
    EXPECT_TRUE(tarvo::existe(programme + "~autre.txt"));

    // Already named for the clipboard: only "Quitter  ?".
    dialogue.vus.clear();
    dialogue.attendre_question(Reponse::oui);
    EXPECT_TRUE(s->quitter());
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::quitter);
    EXPECT_EQ(dialogue.vus[0].texte, "Quitter  ?\n");
}

TEST(TexteDateProgramme, DateDuFichierOuErreur) {
    const auto dossier = std::filesystem::temp_directory_path() / "tarvo_date_programme";
    std::filesystem::create_directories(dossier);
    const std::string programme = (dossier / "tarvo").string();
    ecrire_fichier_atomique(programme, "x");
    const std::string texte = texte_date_programme(programme);
    // "date EXE 07/12/2026 11:13:14"
    ASSERT_EQ(texte.size(), 28u) << texte;
    EXPECT_TRUE(texte.starts_with("date EXE "));
    EXPECT_EQ(texte[11], '/');
    EXPECT_EQ(texte[22], ':');
    EXPECT_EQ(texte_date_programme((dossier / "absent").string()),
              "Erreur lors de l'ouverture du fichier.");
    std::filesystem::remove_all(dossier);
}

// A missing editor opens the file with the desktop's application, the log says so once per
// editor setting, and no box ever interrupts the command that opened the file.
TEST(LanceurAverti, EditeurAbsentRemplaceParLeBureauSansBoite) {
    using G = LanceurEnregistreur::Genre;
    const std::string absent =
        "\xe9"
        "diteur <notepad.exe> introuvable : fichiers ouverts avec l'application du bureau";
    const struct {
        const char* editeur;
        bool present, bureau;
        std::vector<G> genres;  // of the two opening requests
        std::vector<std::string> journal;
    } cas[] = {
        {"notepad.exe", false, true, {G::editeur, G::document, G::editeur, G::document}, {absent}},
        {"  ", false, true, {G::document, G::document}, {}},
        {"gedit", true, true, {G::editeur, G::editeur}, {}},
        {"notepad.exe",
         false,
         false,
         {G::editeur, G::document, G::editeur, G::document},
         {absent, "aucune application n'a ouvert </d/a.txt>",
          "aucune application n'a ouvert </d/b.txt>"}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.editeur) + (c.bureau ? "" : " sans bureau"));
        LanceurEnregistreur machine;
        machine.editeur_present = c.present;
        machine.reussite = c.bureau;
        std::vector<std::string> journal;
        LanceurAverti lanceur(
            machine, [&] { return std::string(c.editeur); },
            [&](const std::string& l) { journal.push_back(l); });
        EXPECT_EQ(lanceur.ouvrir_dans_editeur("/d/a.txt"), c.bureau);
        EXPECT_EQ(lanceur.ouvrir_dans_editeur("/d/b.txt"), c.bureau);
        std::vector<G> genres;
        for (const auto& a : machine.appels) genres.push_back(a.genre);
        EXPECT_EQ(genres, c.genres);
        EXPECT_EQ(machine.appels.back().argument, "/d/b.txt");
        EXPECT_EQ(journal, c.journal);
    }
}

// Opening a description, at start-up or with "Choix du fichier de description", shows the
// period, step, unit and date test it was last run with; the grid settings kept beside the
// program stay only for a description that holds none (never run: its start is its end).
TEST_F(SessionTest, OuvrirUneDescriptionMontreLaPeriodeDeSonDernierTraitement) {
    ParametresGrille2dt globale;
    globale.Label_temps_deb = "01/01/2010 00:00:00";
    globale.Label_temps_fin = "01/01/2011 00:00:00";
    globale.TimePicker_pas = "01:00:00";
    globale.SpinEdit_pas_jour_mois_annee = 3;
    globale.unite_pas = unite_mois;
    globale.test_strict = 1;
    struct Cas {
        std::string min, max, pas;
        std::vector<std::string> lignes;
        // The settings shown: start, end, unit, count, test, step in minutes.
        std::string debut, fin;
        int unite, nombre, test, minutes;
    };
    const std::vector<Cas> cas = {
        {"01/06/2021 00:00:00",
         "01/07/2021 00:00:00",
         "00:15:00",
         {"unite_pas_dsc= 2 jour", "test_strict_dsc= 1"},
         "01/06/2021 00:00:00",
         "01/07/2021 00:00:00",
         unite_jour,
         2,
         1,
         15},
        // Written before the unit and the test were kept: hours, minutes and seconds, and
        // "(inf ou =)", as the batch program has always read it.
        {"16/06/2021 15:00:00",
         "16/06/2021 17:00:00",
         "01:00:00",
         {},
         "16/06/2021 15:00:00",
         "16/06/2021 17:00:00",
         unite_hms,
         1,
         0,
         60},
        {"15/03/2024 10:30:00",
         "15/03/2024 10:30:00",
         "00:15:00",
         {},
         globale.Label_temps_deb,
         globale.Label_temps_fin,
         unite_mois,
         3,
         1,
         60},
    };
    for (const bool au_demarrage : {true, false}) {
        for (const Cas& c : cas) {
            const std::string vu = c.min + (au_demarrage ? " demarrage" : " choix");
            ecrire_fichier_2dt(fichier_2dt(programme), globale);
            std::filesystem::remove(chemin_natif(fichier_prm(programme)));
            Description d = description_par_defaut({programme, 0});
            d.dossier_choisi = donnees;
            d.dossier_description = descriptions;
            d.dossier_choisi_sortie = sortie;
            d.Label_min_dsc = c.min;
            d.Label_max_dsc = c.max;
            d.Label_pas_dsc = c.pas;
            ecrire_fichier_atomique(descriptions + "niveaux.dsc", texte_description(d, c.lignes));
            auto s = nouvelle_session();
            if (au_demarrage) s->lire_argument({descriptions + "niveaux.dsc"});
            s->creation();
            s->premiere_activation();
            if (!au_demarrage) s->choisir_description(descriptions + "niveaux.dsc");
            const ParametresGrille& p = s->parametres_grille;
            EXPECT_EQ(p.Label_temps_deb, c.debut) << vu;
            EXPECT_EQ(p.Label_temps_fin, c.fin) << vu;
            EXPECT_EQ(p.unite_pas, c.unite) << vu;
            EXPECT_EQ(p.SpinEdit_pas_jour_mois_annee, c.nombre) << vu;
            EXPECT_EQ(p.test_strict, c.test) << vu;
            EXPECT_EQ(std::lround(p.TimePicker_pas * 1440), c.minutes) << vu;
            EXPECT_TRUE(dialogue.vus.empty()) << vu << " " << dialogue.vus.back().texte;
            EXPECT_FALSE(s->f_modif) << vu;
        }
    }
}

// "tarvo desc/x.dsc" started from the folder that holds "desc": the description is found,
// read and saved where it lies, never in a "desc/desc/" of its own directory.
TEST_F(SessionTest, UneDescriptionEnArgumentRelatifEstPriseDepuisLeDossierCourant) {
    const std::string dsc = ecrire_dsc("niveaux.dsc");
    const auto courant = std::filesystem::current_path();
    std::filesystem::current_path(racine_);
    for (const std::string argument :
         {"descriptions/niveaux.dsc", "./descriptions/niveaux.dsc",
          "donnees/../descriptions/niveaux.dsc", "\"descriptions/niveaux.dsc\""}) {
        dialogue.vus.clear();
        auto s = nouvelle_session();
        s->lire_argument({argument});
        EXPECT_EQ(s->fichier_argument, dsc) << argument;
        s->creation();
        s->premiere_activation();
        EXPECT_EQ(s->description.dossier_description, descriptions) << argument;
        EXPECT_EQ(s->Label_description_bd, "niveaux.dsc") << argument;
        s->description.Edit_nb_decimale = "5";
        s->marquer_modifie();
        dialogue.attendre_question(Reponse::oui);
        s->enregistrer_description();
        EXPECT_NE(lire_fichier(dsc).value_or("").find("Edit_nb_decimale.text= 5\r\n"),
                  std::string::npos)
            << argument;
        EXPECT_FALSE(std::filesystem::exists(racine_ / "descriptions" / "descriptions"))
            << argument;
        EXPECT_FALSE(s->f_modif) << argument;
    }
    std::filesystem::current_path(courant);
}

}  // namespace
}  // namespace tarvo

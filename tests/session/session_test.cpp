#include "session/session.h"

#include <gtest/gtest.h>

#include <cmath>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "inventory/table_fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/edition_table.h"
#include "session/lanceur_averti.h"
#include "tests/description/dossier_temporaire.h"

namespace tarvo {
namespace {

// A program directory, and a data, description and output directory laid out as a user
// keeps them (output = data + "EXPORT/"), so that reading a description asks nothing.
class SessionTest : public DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        programme = dossier("programme");
        donnees = dossier("donnees");
        sortie = dossier("donnees/EXPORT");
        descriptions = dossier("descriptions");
    }
    std::unique_ptr<Session> nouvelle_session() {
        return std::make_unique<Session>(dialogue, progression, lanceur, presse_papier, programme);
    }
    // A description file written by the program itself, with a few options changed.
    std::string ecrire_dsc(const std::string& nom, const std::string& masque = "*.txt") {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = masque;
        d.Edit_nom_fic_sortie = "niveaux";
        ecrire_fichier_atomique(descriptions + nom, ecrire_description_texte(d));
        return descriptions + nom;
    }
    // The HOBO export of the real-data folder in the data directory, and the settings
    // that read it (US dates with AM/PM, "," separator, titles on line 2).
    std::string copier_hobo() {
        const std::string fichier = "QU5_Mooring_15m_20392468_20210803.csv";
        std::filesystem::copy_file(std::string(TARVO_DONNEES_REELLES) + "/onset-hobo/" + fichier,
                                   chemin_natif(donnees + fichier));
        return fichier;
    }
    // A session on that description, its file listed, set for hourly steps from 15:00 to 17:00
    // on 16/06/2021.
    std::unique_ptr<Session> session_hobo_horaire(const Description& d) {
        ecrire_fichier_atomique(descriptions + "hobo.dsc", ecrire_description_texte(d));
        auto s = nouvelle_session();
        s->creation();
        s->choisir_description(descriptions + "hobo.dsc");
        EXPECT_EQ(s->lister_fichiers().fin, FinListage::complet);
        s->parametres_grille.Label_temps_deb = "16/06/2021 15:00:00";
        s->parametres_grille.Label_temps_fin = "16/06/2021 17:00:00";
        s->parametres_grille.TimePicker_pas = 1.0 / 24;
        s->parametres_grille_modifies();
        return s;
    }
    // The ";" files of the run tests: titles on line 1, day-first dates in column 1, means
    // with one decimal, "NA"; the result named `nom`.
    Description description_point_virgule(const std::string& nom) const {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = "*.txt";
        d.Edit_nom_fic_sortie = nom;
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        d.Edit_num_ligne_intitule_col = "1";
        d.Edit_num_ligne_donnee = "2";
        d.Edit_num_col_datetime = "1";
        d.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss";
        d.Edit_nb_decimale = "1";
        d.Edit_NA = "NA";
        d.RadioGroup_methode_ItemIndex = Methode::moyenne;
        return d;
    }
    Description description_hobo() const {
        Description d = description_par_defaut({programme, 0});
        d.dossier_choisi = donnees;
        d.dossier_description = descriptions;
        d.dossier_choisi_sortie = sortie;
        d.Edit_masque = "*.csv";
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
        d.Edit_num_ligne_intitule_col = "2";
        d.Edit_num_ligne_donnee = "3";
        d.Edit_num_col_datetime = "2";
        d.Edit_format_datetime_mesure = "mm/jj/aa hh:mn:ss AM/PM souple";
        return d;
    }
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    std::string programme, donnees, sortie, descriptions;
};

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

TEST_F(SessionTest, TraiterSansFichiersListes) {
    auto s = nouvelle_session();
    EXPECT_EQ(s->traiter(), FinTraitement::refuse);
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::lister_d_abord);
    EXPECT_EQ(dialogue.vus[0].texte, fr(" Il faut d'abord Lister des fichiers de données..."));
}

// The window's run refuses a result name that is not one file name among its checks, before
// a file is read or anything written; the same name then fixed runs.
TEST_F(SessionTest, UnNomDeResultatQuiNEstPasUnNomDeFichierArreteLeTraitement) {
    copier_hobo();
    auto s = session_hobo_horaire(description_hobo());
    ASSERT_EQ(s->table.nb_fichiers(), 1);
    for (const std::string& nom :
         std::vector<std::string>{"../evasion", std::string("a\0b", 3), ".."}) {
        dialogue.vus.clear();
        s->description.Edit_nom_fic_sortie = nom;
        EXPECT_EQ(s->traiter(), FinTraitement::refuse) << nom;
        ASSERT_EQ(dialogue.vus.size(), 1u);
        EXPECT_EQ(dialogue.ids.back(), IdMessage::nom_resultat_invalide);
        EXPECT_TRUE(dialogue.vus[0].texte.starts_with(fr("Le nom du fichier résultat <")));
        EXPECT_TRUE(s->fichier_resultat.empty());
        EXPECT_EQ(s->extraction.nb_lignes_extraites, 0);
    }
    EXPECT_TRUE(std::filesystem::is_empty(sortie));
    s->description.Edit_nom_fic_sortie = "evasion";
    EXPECT_EQ(s->traiter(), FinTraitement::termine);
    EXPECT_EQ(s->fichier_resultat, sortie + "evasion.txt");
}

// Stage 3 on the HOBO export, hourly means of the temperature column worked out by hand
// from the file: (14:00, 15:00] holds 32.587, 35.850 and 37.976.
TEST_F(SessionTest, TraiterMoyennesHorairesHobo) {
    copier_hobo();
    Description d = description_hobo();
    d.CheckBox_col_cochee = true;
    d.Edit_col_cochee = "3";
    d.CheckBox_decalage_actif = true;  // active but zero: nothing to confirm
    auto s = session_hobo_horaire(d);
    ASSERT_EQ(s->table.nb_fichiers(), 1);
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    const TableEtapes& t = s->etapes;
    ASSERT_EQ(t.K(), 3);
    EXPECT_EQ(t.nb_lignes_etape(2), 3);
    EXPECT_EQ(t.nb_lignes_etape(3), 6);
    EXPECT_NEAR(static_cast<double>(t.valeur[t.indice(2, 2)]), (32.587 + 35.850 + 37.976) / 3,
                1e-12);
    EXPECT_NEAR(static_cast<double>(t.valeur[t.indice(3, 2)]),
                (32.201 + 28.518 + 27.481 + 26.695 + 26.353 + 27.751) / 6, 1e-12);
    EXPECT_EQ(s->description.Label_min_dsc, "16/06/2021 15:00:00");
    // The result file: a header, then one line per step from the chosen start, the mean
    // with three decimals and a decimal comma, then the line count.
    ASSERT_FALSE(s->fichier_resultat.empty());
    EXPECT_TRUE(s->fichier_resultat.starts_with(sortie));
    const auto resultat = lire_fichier(s->fichier_resultat);
    ASSERT_TRUE(resultat);
    const auto lignes = decouper_lignes(*resultat);
    ASSERT_EQ(lignes.size(), 4u);
    EXPECT_EQ(lignes[1], "16/06/2021 15:00:00\t35,471\t3");
    EXPECT_TRUE(lignes[2].starts_with("16/06/2021 16:00:00\t28,16")) << lignes[2];
    EXPECT_TRUE(lignes[2].ends_with("\t6")) << lignes[2];
    EXPECT_TRUE(lire_fichier(s->fichier_resultat + ".TXT"));
    // "sauver ->" after the run: the description is saved, the result is not written again.
    const std::string resultat_ecrit = *resultat;
    s->description.Edit_nb_decimale = "5";
    s->f_modif = true;
    s->sauver();
    EXPECT_EQ(dialogue.vus.back().texte,
              fr(" Données extraites enregistrées dans \n") + s->fichier_resultat);
    EXPECT_EQ(lire_fichier(s->fichier_resultat), resultat_ecrit);
    EXPECT_NE(lire_fichier(descriptions + "hobo.dsc")->find("Edit_nb_decimale.text= 5\r\n"),
              std::string::npos);
    const auto& l = s->journal.lignes();
    EXPECT_NE(std::find(l.begin(), l.end(), "       --> TRAITEMENT du seul fichier"), l.end());
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

// A stop keeps what was read, finished by its method: the first file's hour is written
// as the mean of its two values, never their sum, and the hour of the unread file is NA.
TEST_F(SessionTest, UnArretEcritLesMoyennesDeCeQuiAEteLu) {
    const Description d = description_point_virgule("arret");
    ecrire_fichier_atomique(descriptions + "arret.dsc", ecrire_description_texte(d));
    ecrire_fichier_atomique(donnees + "a.txt",
                            "Date;V\r\n01/03/2024 00:20:00;2\r\n01/03/2024 00:40:00;4\r\n");
    ecrire_fichier_atomique(donnees + "b.txt", "Date;V\r\n01/03/2024 01:20:00;8\r\n");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(descriptions + "arret.dsc");
    ASSERT_EQ(s->lister_fichiers().fin, FinListage::complet);
    s->parametres_grille.Label_temps_deb = "01/03/2024 01:00:00";
    s->parametres_grille.Label_temps_fin = "01/03/2024 02:00:00";
    s->parametres_grille.TimePicker_pas = 1.0 / 24;
    s->parametres_grille_modifies();
    dialogue.attendre_question(Reponse::oui);  // "Créer une nouvelle liste de dates régulières ?"
    s->creer_grille();
    // The stop is asked as the run starts: the first file is read to its end, then the run
    // stops.
    progression.arreter_apres(progression.nb_passes);
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    EXPECT_EQ(s->extraction.fin, FinExtraction::arretee);
    const auto resultat = lire_fichier(s->fichier_resultat);
    ASSERT_TRUE(resultat);
    const auto lignes = decouper_lignes(*resultat);
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_EQ(lignes[1], "01/03/2024 01:00:00\t  3,0\t2");
    EXPECT_EQ(lignes[2], "01/03/2024 02:00:00\tNA\t0");
}

// The closing box says what the result holds: the success box when a value was made, a
// warning when every value is NA, whether no line fell into the period or every value read
// was thrown out by the NA thresholds.
TEST_F(SessionTest, LaBoiteDeFinAvertitQuandAucuneValeurNEstValide) {
    struct Cas {
        std::string min_na, max_na, debut, fin;
        IdMessage id;
        TypeMessage type;
        std::string extrait;
        bool aucune_valeur;
    };
    const std::vector<Cas> cas = {
        {"", "", "01/03/2024 01:00:00", "01/03/2024 03:00:00", IdMessage::fin_traitement,
         TypeMessage::information, "TRAITEMENT EFFECTU\xC9  (m\xE9thode", false},
        // One value of three kept: still a result.
        {"3", "", "01/03/2024 01:00:00", "01/03/2024 03:00:00", IdMessage::fin_traitement,
         TypeMessage::information, "TRAITEMENT EFFECTU\xC9  (m\xE9thode", false},
        {"100", "", "01/03/2024 01:00:00", "01/03/2024 03:00:00", IdMessage::aucune_valeur_valide,
         TypeMessage::avertissement, "AUCUNE VALEUR VALIDE", true},
        {"", "1", "01/03/2024 01:00:00", "01/03/2024 03:00:00", IdMessage::aucune_valeur_valide,
         TypeMessage::avertissement, "(NA au-dessus de Max=1)", true},
        {"", "", "01/01/2020 01:00:00", "01/01/2020 03:00:00", IdMessage::aucune_ligne_extraite,
         TypeMessage::avertissement, "AUCUNE LIGNE EXTRAITE", true},
    };
    ecrire_fichier_atomique(donnees + "a.txt",
                            "Date;V\r\n01/03/2024 00:20:00;2\r\n01/03/2024 00:40:00;4\r\n"
                            "01/03/2024 01:20:00;8\r\n");
    for (const Cas& c : cas) {
        Description d = description_point_virgule("na");
        d.Edit_min_na = c.min_na;
        d.Edit_max_na = c.max_na;
        ecrire_fichier_atomique(descriptions + "na.dsc", ecrire_description_texte(d));
        auto s = nouvelle_session();
        s->creation();
        s->choisir_description(descriptions + "na.dsc");
        ASSERT_EQ(s->lister_fichiers().fin, FinListage::complet);
        s->parametres_grille.Label_temps_deb = c.debut;
        s->parametres_grille.Label_temps_fin = c.fin;
        s->parametres_grille.TimePicker_pas = 1.0 / 24;
        s->parametres_grille_modifies();
        const std::string vu = c.min_na + "|" + c.max_na + "|" + c.debut;
        // A period the file's dates do not meet is questioned first; Oui goes on.
        const bool hors_periode = c.id == IdMessage::aucune_ligne_extraite;
        if (hors_periode) dialogue.attendre_question(Reponse::oui);
        ASSERT_EQ(s->traiter(), FinTraitement::termine) << vu;
        EXPECT_EQ(std::count(dialogue.ids.begin(), dialogue.ids.end(),
                             IdMessage::periode_hors_des_fichiers),
                  hors_periode ? 1 : 0)
            << vu;
        EXPECT_EQ(dialogue.ids.back(), c.id) << vu;
        EXPECT_EQ(dialogue.vus.back().type, c.type) << vu;
        EXPECT_NE(dialogue.vus.back().texte.find(c.extrait), std::string::npos)
            << vu << "\n"
            << dialogue.vus.back().texte;
        EXPECT_EQ(s->dernier_enregistrement.aucune_valeur_valide, c.aucune_valeur) << vu;
        // The result is written either way.
        EXPECT_TRUE(lire_fichier(s->fichier_resultat)) << vu;
        if (c.id == IdMessage::aucune_valeur_valide) {
            EXPECT_TRUE(dialogue.vus.back().texte.ends_with(nom_de_fichier(s->fichier_resultat) +
                                                            " est \xE9" +
                                                            "crit, toutes ses valeurs sont NA"))
                << dialogue.vus.back().texte;
        }
    }
}

TEST_F(SessionTest, ArretDuPcAnnuleParUneTouche) {
    auto s = nouvelle_session();
    s->arret_pc.demande = true;
    double t = 0;
    int pas = 0;
    const auto horloge = [&] { return t; };
    const auto dormir = [&](int ms) {
        t += ms / 1000.0;
        if (++pas == 10) s->arret_pc.annule = true;  // a key pressed after two seconds
    };
    EXPECT_FALSE(s->attendre_arret_pc(horloge, dormir));
    EXPECT_EQ(s->arret_pc.compte_a_rebours, "    4.97 mn");
    EXPECT_TRUE(lanceur.appels.empty());
    // Nobody there: after five minutes the machine is asked to power off.
    EXPECT_TRUE(s->attendre_arret_pc(horloge, [&](int ms) { t += ms / 1000.0; }));
    ASSERT_EQ(lanceur.appels.size(), 1u);
    EXPECT_EQ(lanceur.appels[0].genre, LanceurEnregistreur::Genre::extinction);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

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

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A description's text as an older program wrote it, then the lines given: the keys of the
// period's unit and date test are only those of `lignes`.
std::string texte_description(const Description& d, const std::vector<std::string>& lignes) {
    const std::string complet = ecrire_description_texte(d);
    std::string texte;
    for (const std::string_view ligne : decouper_lignes(complet))
        if (!ligne.starts_with("unite_pas_dsc=") && !ligne.starts_with("test_strict_dsc="))
            (texte += ligne) += "\r\n";
    for (const std::string& ligne : lignes) texte += ligne + "\r\n";
    return texte;
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

// The description remembers the period of its last run: a run on another period saves it
// and says so; a run on the period it holds leaves it as it is, and the closing box does not
// say that it was saved.
TEST_F(SessionTest, LaBoiteDeFinNeDitEnregistreeQueLaDescriptionEcrite) {
    copier_hobo();
    Description d = description_hobo();
    d.Label_min_dsc = "16/06/2021 15:00:00";
    d.Label_max_dsc = "16/06/2021 17:00:00";
    d.Label_pas_dsc = "01:00:00";
    ecrire_fichier_atomique(descriptions + "hobo.dsc", texte_description(d, {}));
    const std::string enregistree = fr("(le fichier de description est également enregistré)");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(descriptions + "hobo.dsc");
    ASSERT_EQ(s->lister_fichiers().fin, FinListage::complet);
    const auto avant = lire_fichier(descriptions + "hobo.dsc");
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    ASSERT_EQ(dialogue.ids.back(), IdMessage::fin_traitement);
    EXPECT_EQ(dialogue.vus.back().texte.find(enregistree), std::string::npos)
        << dialogue.vus.back().texte;
    EXPECT_EQ(lire_fichier(descriptions + "hobo.dsc"), avant);

    s->parametres_grille.Label_temps_fin = "16/06/2021 18:00:00";
    s->parametres_grille.test_strict = 1;
    s->parametres_grille_modifies();
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    ASSERT_EQ(dialogue.ids.back(), IdMessage::fin_traitement);
    EXPECT_NE(dialogue.vus.back().texte.find(enregistree), std::string::npos)
        << dialogue.vus.back().texte;
    const std::string apres = lire_fichier(descriptions + "hobo.dsc").value_or("");
    EXPECT_NE(apres.find("Label_max_dsc.caption= 16/06/2021 18:00:00\r\n"), std::string::npos);
    EXPECT_NE(apres.find("test_strict_dsc= 1\r\n"), std::string::npos) << apres;
    EXPECT_FALSE(s->f_modif);
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

// After a conversion into the result's zone, the time column's title says which zone its
// times are in: the title of the input column still names the zone of the file.
TEST_F(SessionTest, LeTitreDuTempsDitLeFuseauDuResultat) {
    copier_hobo();
    struct Cas {
        std::string mesures, resultat, titre;
    };
    const std::vector<Cas> cas = {
        {"UTC-07:00", "UTC", "temps(Date Time, GMT-07:00 converti en UTC inf ou =)"},
        {"UTC-07:00", " Europe/Paris ",
         "temps(Date Time, GMT-07:00 converti en Europe/Paris inf ou =)"},
        {"", "", "temps(Date Time, GMT-07:00 inf ou =)"},
    };
    for (const Cas& c : cas) {
        Description d = description_hobo();
        d.Edit_fuseau_mesures = c.mesures;
        d.Edit_fuseau_resultat = c.resultat;
        d.CheckBox_champs_guillemets = true;
        d.CheckBox_col_cochee = true;
        d.Edit_col_cochee = "3";
        auto s = session_hobo_horaire(d);
        ASSERT_EQ(s->traiter(), FinTraitement::termine) << c.titre;
        const auto resultat = lire_fichier(s->fichier_resultat);
        ASSERT_TRUE(resultat);
        EXPECT_TRUE(decouper_lignes(*resultat).front().starts_with(c.titre + "\t"))
            << decouper_lignes(*resultat).front();
    }
}

// The file table's "date dep" and "date fin" are the first and last lines' dates after the
// listing; after a run, the earliest and latest dates the run read in each file, and the log
// names the file whose dates go back.
TEST_F(SessionTest, ApresUnTraitementLeTableauDonneLesDatesExtremesDeChaqueFichier) {
    ecrire_fichier_atomique(donnees + "a_desordre.txt",
                            "Date;V\r\n05/03/2024 00:20:00;2\r\n14/03/2024 02:10:00;4\r\n"
                            "01/03/2024 00:40:00;8\r\n05/03/2024 00:50:00;8\r\n"
                            "04/03/2024 00:00:00;1\r\n");
    ecrire_fichier_atomique(donnees + "b_ordre.txt",
                            "Date;V\r\n01/03/2024 00:20:00;2\r\n02/03/2024 02:10:00;4\r\n");
    // A closing line that is no measurement.
    ecrire_fichier_atomique(donnees + "c_fin.txt",
                            "Date;V\r\n03/03/2024 00:20:00;2\r\n04/03/2024 02:10:00;4\r\nfin\r\n");
    auto s = nouvelle_session();
    s->creation();
    s->choisir_description(ecrire_dsc("ordre.dsc"));
    // Titles on line 1, data from line 2, the date in column 1: the defaults.
    s->description.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    s->description.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss";
    s->description.CheckBox_prelire_tous = true;
    ASSERT_EQ(s->lister_fichiers().fin, FinListage::complet);
    ASSERT_EQ(s->table.nb_fichiers(), 3);
    EXPECT_EQ(s->table.lire_cellule(1, Colonne::date_fin), "04/03/2024 00:00:00");
    s->parametres_grille.Label_temps_deb = "01/03/2024 00:00:00";
    s->parametres_grille.Label_temps_fin = "15/03/2024 00:00:00";
    s->parametres_grille.TimePicker_pas = 0.5;
    s->parametres_grille_modifies();
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    const std::vector<std::vector<std::string>> attendues = {
        {"01/03/2024 00:40:00", "14/03/2024 02:10:00"},
        {"01/03/2024 00:20:00", "02/03/2024 02:10:00"},
        {"03/03/2024 00:20:00", "04/03/2024 02:10:00"}};
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ((std::vector<std::string>{s->table.lire_cellule(r, Colonne::date_dep),
                                            s->table.lire_cellule(r, Colonne::date_fin)}),
                  attendues[static_cast<std::size_t>(r - 1)])
            << s->table.lire_cellule(r, Colonne::fichier);
    EXPECT_EQ(s->extraction.Label_date_heure_min, "01/03/2024 00:20:00");
    EXPECT_EQ(s->extraction.Label_date_heure_max, "14/03/2024 02:10:00");
    std::vector<std::string> desordre;
    for (const auto& p : s->journal.problemes())
        if (p.probleme == ProblemeSuivi::dates_desordonnees)
            desordre.push_back(s->journal.lignes()[p.ligne]);
    EXPECT_EQ(desordre,
              (std::vector<std::string>{fr("dates non chronologiques : la ligne 4 (01/03/2024 "
                                           "00:40:00) précède la ligne 3 (14/03/2024 02:10:00) ; "
                                           "2 retours en arrière dans le fichier")}));
}

// Two ";" files of hourly-meant values and the description that reads them; the result is
// "<nom>.txt", the increment off so that an existing result is asked about.
class SessionRunTest : public SessionTest {
protected:
    std::unique_ptr<Session> session_deux_fichiers(const std::string& nom,
                                                   const std::string& min_na = "") {
        Description d = description_point_virgule(nom);
        d.CheckBox_inc_nom = false;
        d.Edit_min_na = min_na;
        d.CheckBox_prelire_tous = true;
        ecrire_fichier_atomique(descriptions + nom + ".dsc", ecrire_description_texte(d));
        ecrire_fichier_atomique(donnees + "a.txt",
                                "Date;V\r\n01/03/2024 00:20:00;2\r\n01/03/2024 00:40:00;4\r\n");
        ecrire_fichier_atomique(donnees + "b.txt", "Date;V\r\n01/03/2024 01:20:00;8\r\n");
        auto s = nouvelle_session();
        s->creation();
        s->choisir_description(descriptions + nom + ".dsc");
        EXPECT_EQ(s->lister_fichiers().fin, FinListage::complet);
        periode(*s, "01/03/2024 01:00:00", "01/03/2024 02:00:00");
        return s;
    }
    static void periode(Session& s, const std::string& debut, const std::string& fin) {
        s.parametres_grille.Label_temps_deb = debut;
        s.parametres_grille.Label_temps_fin = fin;
        s.parametres_grille.TimePicker_pas = 1.0 / 24;
        s.parametres_grille_modifies();
    }
    static std::string lignes_du_suivi(const std::string& resultat) {
        return lire_fichier(resultat + ".TXT").value_or("");
    }
};

// A stopped run says so: the question before replacing a result (default Non, and Non keeps
// the old file), the closing box, the tracking file with each file read or not.
TEST_F(SessionRunTest, UnArretLeDitPartout) {
    auto s = session_deux_fichiers("arret");
    ecrire_fichier_atomique(sortie + "arret.txt", "bon resultat\r\n");
    for (const Reponse reponse : {Reponse::non, Reponse::oui}) {
        dialogue.vus.clear();
        dialogue.ids.clear();
        // The stop is asked as the run starts: the first file is read to its end.
        progression.arreter_apres(progression.nb_passes);
        dialogue.attendre_question(reponse);
        ASSERT_EQ(s->traiter(), FinTraitement::termine);
        ASSERT_EQ(dialogue.ids.size(), 2u);
        EXPECT_EQ(dialogue.ids[0], IdMessage::ecraser_resultat_partiel);
        EXPECT_EQ(dialogue.vus[0].defaut, Reponse::non);
        EXPECT_NE(dialogue.vus[0].texte.find("PARTIEL"), std::string::npos);
        EXPECT_EQ(dialogue.ids[1], IdMessage::traitement_interrompu);
        EXPECT_EQ(dialogue.vus[1].type, TypeMessage::avertissement);
        const std::string& boite = dialogue.vus[1].texte;
        EXPECT_TRUE(boite.starts_with(fr("3- TRAITEMENT INTERROMPU  (méthode"))) << boite;
        EXPECT_NE(boite.find("fichiers lus en entier : 1, en partie : 0, non lus : 1"),
                  std::string::npos)
            << boite;
        // Non: the save dialog is cancelled, the result goes to the recovery file.
        EXPECT_EQ(lire_fichier(sortie + "arret.txt") == "bon resultat\r\n",
                  reponse == Reponse::non);
        EXPECT_EQ(s->fichier_resultat,
                  reponse == Reponse::non ? sortie + fr("~résultats.txt") : sortie + "arret.txt");
        const std::string suivi = lignes_du_suivi(s->fichier_resultat);
        EXPECT_NE(suivi.find(fr("3- TRAITEMENT INTERROMPU  (méthode")), std::string::npos);
        EXPECT_EQ(suivi.find(fr("3- TRAITEMENT EFFECTUÉ")), std::string::npos);
        EXPECT_NE(suivi.find("   lu en entier : a.txt\r\n   non lu       : b.txt\r\n"),
                  std::string::npos)
            << suivi;
    }
}

// The period is set against the files' dates before anything is read, and a result without
// a valid value replaces an existing one only when the user says so, asked with Non first.
TEST_F(SessionRunTest, UnResultatSansValeurNeRemplacePasUnBonSansLeDire) {
    auto s = session_deux_fichiers("niveaux");
    ecrire_fichier_atomique(sortie + "niveaux.txt", "bon resultat\r\n");
    // A period years before the files: asked first, default Non; Non reads and writes nothing.
    periode(*s, "01/03/2010 01:00:00", "01/03/2010 02:00:00");
    dialogue.attendre_question(Reponse::non);
    EXPECT_EQ(s->traiter(), FinTraitement::abandonne);
    ASSERT_EQ(dialogue.ids.size(), 1u);
    EXPECT_EQ(dialogue.ids[0], IdMessage::periode_hors_des_fichiers);
    EXPECT_EQ(dialogue.vus[0].defaut, Reponse::non);
    EXPECT_NE(dialogue.vus[0].texte.find("01/03/2024 00:20:00 => 01/03/2024 01:20:00"),
              std::string::npos)
        << dialogue.vus[0].texte;
    EXPECT_EQ(s->extraction.nb_lignes_extraites, 0);
    EXPECT_EQ(lire_fichier(sortie + "niveaux.txt"), "bon resultat\r\n");

    // Oui to it: the all-NA result then asks before replacing, saying why, default Non.
    dialogue.vus.clear();
    dialogue.ids.clear();
    dialogue.attendre_question(Reponse::oui);
    dialogue.attendre_question(Reponse::non);
    EXPECT_EQ(s->traiter(), FinTraitement::termine);
    ASSERT_GE(dialogue.ids.size(), 2u);
    EXPECT_EQ(dialogue.ids[1], IdMessage::ecraser_resultat_sans_valeur);
    EXPECT_EQ(dialogue.vus[1].defaut, Reponse::non);
    EXPECT_NE(dialogue.vus[1].texte.find("AUCUNE VALEUR VALIDE"), std::string::npos);
    EXPECT_EQ(lire_fichier(sortie + "niveaux.txt"), "bon resultat\r\n");

    // The same for values all thrown out by the minimum, in a period the files meet.
    auto seuil = session_deux_fichiers("niveaux", "100");
    dialogue.vus.clear();
    dialogue.ids.clear();
    dialogue.attendre_question(Reponse::non);
    EXPECT_EQ(seuil->traiter(), FinTraitement::termine);
    ASSERT_FALSE(dialogue.ids.empty());
    EXPECT_EQ(dialogue.ids[0], IdMessage::ecraser_resultat_sans_valeur);
    EXPECT_EQ(lire_fichier(sortie + "niveaux.txt"), "bon resultat\r\n");
}

// Lines whose date cannot be read end the run with a warning naming their count and the
// first of them, whatever else the run made.
TEST_F(SessionRunTest, DesLignesRejeteesFinissentParUnAvertissement) {
    auto s = session_deux_fichiers("rejets");
    ecrire_fichier_atomique(donnees + "b.txt",
                            "Date;V\r\n01/03/2024 01:20:00;8\r\n13/25/2024 01:30:00;9\r\n"
                            "01/03/2024 01:40:00;7\r\nab/cd/2024 01:50:00;6\r\n");
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    EXPECT_EQ(s->extraction.nb_lignes_rejetees, 2);
    ASSERT_FALSE(dialogue.ids.empty());
    EXPECT_EQ(dialogue.ids.back(), IdMessage::fin_traitement_lignes_rejetees);
    EXPECT_EQ(dialogue.vus.back().type, TypeMessage::avertissement);
    const std::string& boite = dialogue.vus.back().texte;
    EXPECT_TRUE(boite.starts_with(fr("3- TRAITEMENT EFFECTUÉ  (méthode"))) << boite;
    EXPECT_NE(boite.find(fr(" 2 lignes rejetées")), std::string::npos) << boite;
    EXPECT_NE(boite.find("b.txt ligne 3 : 13/25/2024 01:30:00;9"), std::string::npos) << boite;
}

// Each tracking file documents its own run: a second run in the same window does not carry
// the first one's lines.
TEST_F(SessionRunTest, UnFichierDeSuiviParTraitement) {
    auto s = session_deux_fichiers("un");
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    const std::string premier = s->fichier_resultat;
    s->description.Edit_nom_fic_sortie = "deux";
    periode(*s, "01/03/2024 00:00:00", "01/03/2024 02:00:00");
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    const auto banniere = [](const std::string& suivi) {
        std::size_t n = 0;
        for (std::size_t p = suivi.find("--> TRAITEMENT"); p != std::string::npos;
             p = suivi.find("--> TRAITEMENT", p + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(banniere(lignes_du_suivi(premier)), 1u);
    const std::string second = lignes_du_suivi(s->fichier_resultat);
    EXPECT_EQ(banniere(second), 1u) << second;
    EXPECT_EQ(second.find(" => un.txt"), std::string::npos);
    EXPECT_NE(second.find(" => deux.txt"), std::string::npos);
    // This run's grid, built by the run itself, is in its own file.
    EXPECT_NE(second.find("de 01/03/2024 00:00:00"), std::string::npos);
    // The window's log keeps both.
    const auto& l = s->journal.lignes();
    EXPECT_EQ(std::count(l.begin(), l.end(), "       --> TRAITEMENT des 2 fichiers"), 2);
}

// A correction accepted during a run lets it go on; the step of the last run is not offered
// while the unit is a day, where it would change nothing.
TEST_F(SessionRunTest, UneCorrectionAccepteeLaisseLeTraitementContinuer) {
    auto s = session_deux_fichiers("jour");
    periode(*s, "01/03/2024 00:00:00", "02/03/2024 00:00:00");
    s->parametres_grille.unite_pas = unite_jour;
    s->parametres_grille_modifies();
    dialogue.attendre_question(Reponse::oui);  // "(inf strict)"
    ASSERT_EQ(s->traiter(), FinTraitement::termine);
    EXPECT_EQ(dialogue.ids.front(), IdMessage::test_strict_propose);
    EXPECT_EQ(s->parametres_grille.test_strict, 1);
    const auto lignes = decouper_lignes(*lire_fichier(s->fichier_resultat));
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_EQ(lignes[1], "01/03/2024 00:00:00\t  4,7\t3");

    s->description.Label_pas_dsc = "01:00:00";
    dialogue.vus.clear();
    copier_date(*s, SourceDate::Label_pas_dsc, dialogue);
    EXPECT_TRUE(dialogue.vus.empty());
    s->parametres_grille.unite_pas = unite_hms;
    s->parametres_grille.TimePicker_pas = 0.5 / 24;
    dialogue.attendre_question(Reponse::oui);
    copier_date(*s, SourceDate::Label_pas_dsc, dialogue);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::copier_pas);
    EXPECT_DOUBLE_EQ(s->parametres_grille.TimePicker_pas, 1.0 / 24);
}

}  // namespace
}  // namespace tarvo

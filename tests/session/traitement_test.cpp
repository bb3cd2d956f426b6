// The run of the window's session: the checks before it, what it writes, its closing box,
// the period it keeps, its stop and tracking file, and the file table's dates after it.
#include <gtest/gtest.h>

#include <algorithm>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "inventory/table_fichiers.h"
#include "session/edition_table.h"
#include "session/session.h"
#include "tests/session/montage_session.h"

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
    const auto resultat = lire_fichier(s->fichier_resultat);
    ASSERT_TRUE(resultat);
    const auto lignes = decouper_lignes(*resultat);
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

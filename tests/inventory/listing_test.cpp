#include "inventory/listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/texte.h"
#include "inventory/table_fichiers.h"
#include "outils_inventaire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

using essai::description_defaut;
using essai::donnees_reelles;
namespace fs = std::filesystem;

// Everything one listing is given, as the session holds it.
struct Banc {
    ResultatListage etape1(const SourceListage& source = {}) {
        return lister_fichiers_table(d, source, f_modif, etat, table, lecteur, journal, dialogue,
                                     *progression, lanceur, actions);
    }
    std::vector<std::string> colonne(Colonne c) const {
        std::vector<std::string> v;
        for (int i = 1; i < table.nb_lignes(); ++i) v.push_back(table.lire_cellule(i, c));
        return v;
    }
    bool dans_journal(const std::string& ligne) const {
        const auto& l = journal.lignes();
        return std::find(l.begin(), l.end(), ligne) != l.end();
    }
    Description d = description_defaut();
    bool f_modif = false;
    EtatInventaire etat;
    TableFichiers table;
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    DialogueScripte dialogue;
    ProgressionScriptee progression_scriptee;
    Progression* progression = &progression_scriptee;
    LanceurEnregistreur lanceur;
    ActionsEtape1 actions;
};

// Real logger exports, each listed from its own folder with the file marked, so that it
// is the one pre-read. The expected values are read by eye in the files.
TEST(ListageReel, PremiereEtDerniereMesureDesLoggers) {
    struct Cas {
        std::string dossier, masque, fichier;
        int separateur, avec_sans;
        std::string num_intitule, num_donnee;
        bool balises;
        int nb_dates;
        std::string col1, col2, motif1, motif2;
        std::string date_dep, date_fin, nb_donnees, nb_colonnes, ligne_intitules, titres;
    };
    const std::vector<Cas> cas = {
        // Its last line holds only tabulations: an empty record, whose time reads "??".
        {"keller-logger", "txt", "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 0, 0, "1", "2",
         false, 1, "1", "", "jj/mm/aaaa hh:mn:ss souple", "", "07/06/2010 14:00:00", "??", "533",
         " 9", " -", "Date/Time;P1-P2;P1;P2;T;TOB1;TOB2;;"},
        {"onset-hobo", "csv", "QU5_Mooring_15m_20392468_20210803.csv", 3, 0, "2", "3", false, 1,
         "2", "", "mm/jj/aa hh:mn:ss AM/PM souple", "", "16/06/2021 14:35:28",
         "27/07/2021 12:54:05", "5 896", " 15", " 2",
         "\"#\",\"Date Time, GMT-07:00\",\"Temp, \xB0"
         "C (LGR S/N: 20392468"},
        {"onset-hobo", "csv", "north_beach_surfgrass_20387239_20190218_rawdata.csv", 3, 0, "3", "4",
         false, 1, "1", "", "mm/jj/aaaa hh:mn:ss souple", "", "21/06/2018 15:00:00",
         "13/07/2018 06:20:00", "3 117", " 8", " 3", "\"Date Time, GMT -0700\",\"Temp, (*C)\""},
        {"onset-hobo", "csv", "james_island_pier_21234295_20231122_rawdata.csv", 3, 0, "1", "2",
         false, 1, "2", "", "aaaa-mm-jj hh:mn:ss souple", "", "02/05/2023 15:00:00",
         "16/05/2023 15:50:00", "2 030", " 9", " -",
         "#,\"Date Time, GMT-07:00\",\"Temp, \xB0"
         "C"},
        // UTF-8 without a mark: the title's "Â°" is repaired into "°".
        {"onset-hobo", "csv", "FULL1_PT_20292372_20200430_corrected_P2.csv", 3, 0, "2", "3", false,
         1, "2", "", "mm/jj/aaaa hh:mn:ss souple", "", "20/12/2019 10:13:00", "23/01/2020 22:00:00",
         "4 140", " 16", " 2",
         "#,\"Date Time, GMT-07:00\",\"Abs Pres, kPa (LGR S/N: 20292372, SEN S/N: 20292372)\","
         "\"Temp, \xB0"
         "C"},
        {"vanessen-diver-mon", "MON", "ff_b29d_091125120713_C4080.MON", 1, 1, "0", "3", true, 2,
         "1", "2", "aaaa/mm/jj", "hh:mn:ss", "14/10/2009 16:00:00", "25/11/2009 12:30:00", "4 019",
         " 4", " -", "A1\tB2\tC3\tD4"},
        {"solinst-levelogger", "lev", "solinst_level_testfile.lev", 1, 1, "0", "3", true, 2, "1",
         "2", "aaaa-mm-jj", "hh:mn:ss", "23/11/2016 19:00:00", "26/11/2016 21:45:00", "300", " 4",
         " -", "A1\tB2\tC3\tD4"},
        {"solinst-levelogger", "csv", "solinst_level_testfile.csv", 3, 0, "17", "18", false, 2, "2",
         "3", "aaaa-mm-jj", "hh:mn:ss", "23/11/2016 19:00:00", "26/11/2016 21:45:00", "300", " 6",
         " 17", ",Date,Time,100 ms,LEVEL,TEMPERATURE"},
        {"solinst-levelogger", "csv", "solinst_conductivity_testfile.csv", 2, 0, "14", "15", false,
         2, "1", "2", "aaaa-mm-jj", "hh:mn:ss", "27/09/2018 07:00:00", "27/09/2018 16:00:00", "10",
         " 6", " 14", "Date;Time;ms;LEVEL;TEMPERATURE;CONDUCTIVITY"},
        {"insitu-aquatroll", "csv", "example_InSituInc_Aquatroll_600.csv", 2, 0, "82", "83", false,
         1, "1", "", "jj.mm.aaaa hh:mn:ss", "", "23/05/2016 15:31:50", "24/05/2016 12:05:12", "124",
         " 13", " 82", "Date and Time;Seconds     ;Temperature (C)"},
        {"ysi-exo-kor", "csv", "LNB GM Cont data 090821_092021 RAW.csv", 3, 0, "10", "11", false, 2,
         "1", "2", "mm/jj/aaaa", "hh:mn:ss souple", "08/09/2021 11:48:37", "17/09/2021 02:33:37",
         "828", " 26", " 10", "Date (MM/DD/YYYY),Time (HH:mm:ss),Time (Fract. Sec),Site Name"},
        {"nivus-pcm4", "TXT", "example_NIVUS_PCM4_NEU.TXT", 0, 0, "9", "11", false, 2, "1", "2",
         "jj.mm.aaaa", "hh:mn:ss", "17/04/2014 11:45:00", "18/04/2014 23:58:00", "1 057", " 11",
         " 9", "Datum;Uhrzeit;F\xFCllstand [m];"},
        // Time before date.
        {"sts-dln70", "txt", "example_STS_DLN70_H.txt", 0, 0, "3", "4", false, 2, "2", "1",
         "jj.mm.aaaa", "hh:mn:ss", "09/09/2013 10:05:06", "09/09/2013 10:36:13", "1 868", " 7",
         " 3",
         "Time;Date;Pressure [mWS];Temperature [\xB0"
         "C]"},
        {"campbell-toa5", "dat",
         "exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat", 3, 0, "2", "5",
         false, 1, "1", "", "aaaa-mm-jj hh:mn:ss", "", "29/06/2022 17:14:00", "29/06/2022 18:49:00",
         "96", " 96", " 2", "\"TIMESTAMP\",\"RECORD\",\"DNTP_iDL_BOX1_0_1\""},
        // Quoted fields: a quote sits inside the time field, the rows are not in time order.
        {"inbo-watina-csv", "csv", "BAOL031X_T5740.csv", 3, 0, "1", "2", false, 1, "8", "",
         "jj/mm/aaaa hh:mn:ss souple", "", "14/02/2019 12:00:00", "05/03/2019 12:00:00", "57",
         " 12", " -", "\"REGI_CDE\",\"REGI_NAM\""},
    };
    for (const Cas& c : cas) {
        Banc b;
        b.d.dossier_choisi = donnees_reelles(c.dossier);
        b.d.Edit_masque = c.masque;
        b.d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        b.d.RadioGroup_avec_sans_intitule_ItemIndex = static_cast<Intitules>(c.avec_sans);
        b.d.Edit_num_ligne_intitule_col = c.num_intitule;
        b.d.Edit_num_ligne_donnee = c.num_donnee;
        b.d.RadioGroup_numlig_balise_ItemIndex = static_cast<DebutDonnees>(c.balises ? 1 : 0);
        b.d.Edit_balise_deb = "[Data]";
        b.d.Edit_balise_fin = "END OF DATA";
        b.d.RadioGroup_datetime_nb_col_ItemIndex = static_cast<ColonnesDateHeure>(c.nb_dates - 1);
        (c.nb_dates == 1 ? b.d.Edit_num_col_datetime : b.d.Edit_num_col_date) = c.col1;
        b.d.Edit_num_col_time = c.col2;
        (c.nb_dates == 1 ? b.d.Edit_format_datetime_mesure : b.d.Edit_format_date_mesure_seule) =
            c.motif1;
        b.d.Edit_format_time_mesure_seul = c.motif2;
        b.etat.ListBox_fic_coche = {c.fichier};
        const ResultatListage r = b.etape1();
        ASSERT_EQ(r.fin, FinListage::complet) << c.fichier;
        EXPECT_TRUE(b.dialogue.vus.empty()) << c.fichier;
        int ligne = 0;
        for (int i = 1; i < b.table.nb_lignes(); ++i)
            if (b.table.lire_cellule(i, Colonne::fichier) == c.fichier) ligne = i;
        ASSERT_GT(ligne, 0) << c.fichier;
        EXPECT_TRUE(b.table.marquee(ligne)) << c.fichier;
        EXPECT_EQ(b.table.lire_cellule(ligne, Colonne::date_dep), c.date_dep) << c.fichier;
        EXPECT_EQ(b.table.lire_cellule(ligne, Colonne::date_fin), c.date_fin) << c.fichier;
        EXPECT_EQ(b.table.lire_cellule(ligne, Colonne::nb_donnees), c.nb_donnees) << c.fichier;
        EXPECT_EQ(b.table.lire_cellule(ligne, Colonne::nb_colonnes), c.nb_colonnes) << c.fichier;
        EXPECT_EQ(b.table.lire_cellule(ligne, Colonne::ligne_intitules), c.ligne_intitules)
            << c.fichier;
        EXPECT_TRUE(b.etat.colonnes.Edit_intitule_origine.starts_with(c.titres))
            << c.fichier << "\n"
            << b.etat.colonnes.Edit_intitule_origine.substr(0, 100);
        // Only the marked file is pre-read.
        for (int i = 1; i < b.table.nb_lignes(); ++i)
            if (i != ligne) {
                EXPECT_EQ(b.table.lire_cellule(i, Colonne::date_dep), " ---");
            }
    }
}

class Listage : public essai::DossierTemporaire {
protected:
    void SetUp() override {
        DossierTemporaire::SetUp();
        b.d.dossier_choisi = dossier();
        b.d.Edit_masque = "csv";
        b.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        b.d.Edit_format_datetime_mesure = "aaaa/mm/jj hh:mn:ss";
    }
    static std::string fichier_type(int jour) {
        return "Date;T\n2023/12/" + std::to_string(jour) + " 08:00:00;1\n2023/12/" +
               std::to_string(jour) + " 09:00:00;2\n";
    }
    Banc b;
};

TEST_F(Listage, SeulLePremierFichierPreLu) {
    creer("a.csv", fichier_type(25));
    creer("b.CSV", fichier_type(26));
    creer("c.csv", std::string(1572864, 'x'));
    creer("~tmp.csv", fichier_type(27));  // a work file is never listed
    creer("notes.txt", "x");
    const ResultatListage r = b.etape1();
    EXPECT_EQ(r.fin, FinListage::complet);
    EXPECT_TRUE(b.dialogue.vus.empty());
    EXPECT_EQ(b.colonne(Colonne::fichier), (std::vector<std::string>{"a.csv", "b.CSV", "c.csv"}));
    EXPECT_EQ(b.colonne(Colonne::n), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(b.table.lire_cellule(3, Colonne::taille), " 1,54");
    const std::vector<std::string> ligne1(b.table.ligne(1).begin() + 6, b.table.ligne(1).end());
    EXPECT_EQ(ligne1[0], "25/12/2023 08:00:00");
    EXPECT_EQ(ligne1[1], "25/12/2023 09:00:00");
    EXPECT_EQ(ligne1[2], "2");
    EXPECT_EQ(ligne1[3], " ---");
    EXPECT_EQ(ligne1[5], "00:00:00");
    EXPECT_EQ(ligne1[7], " 2");
    EXPECT_EQ(ligne1[8], " -");
    for (int l = 2; l <= 3; ++l)
        for (const Colonne c : {Colonne::date_dep, Colonne::date_fin, Colonne::nb_donnees,
                                Colonne::nb_colonnes, Colonne::ligne_intitules})
            EXPECT_EQ(b.table.lire_cellule(l, c), " ---");

    const AffichageListage& a = b.etat.affichage;
    EXPECT_EQ(a.nb_fichiers_listes, "3");
    EXPECT_EQ(a.Label_nb_fic, "3 fichiers");
    EXPECT_EQ(a.Label_nom_de_fichier, "a");
    EXPECT_EQ(a.Label_fic, "1  a.csv");
    EXPECT_EQ(a.taille_totale, "taille totale 1,54 Mo");
    EXPECT_EQ(a.texte_nb_colonnes, fr("1 colonne de données"));
    EXPECT_EQ(a.Label_date_heure_min, "25/12/2023 08:00:00");
    EXPECT_EQ(a.Label_date_heure_max, "25/12/2023 09:00:00");
    EXPECT_EQ(a.legende_SpeedButton_lister, "1- Valider et Lister les fichiers   csv");
    // The 3 lines of a.csv as the run reads them; the window cuts them into columns.
    ASSERT_EQ(a.apercu.size(), 3u);
    EXPECT_EQ(a.apercu.front(), "Date;T");
    EXPECT_EQ(note_apercu().at(1), "cet affichage n'est qu'une partie du fichier...");
    EXPECT_TRUE(b.dans_journal("       --> Lire le fichier"));
    EXPECT_TRUE(b.dans_journal("2  b.CSV -> "));
    EXPECT_EQ(b.progression_scriptee.affichages.back().message, " --- ");
    EXPECT_EQ(b.progression_scriptee.nb_passes, 3);
    // Listing and pre-reading leave the data directory as it was.
    EXPECT_EQ(std::distance(fs::directory_iterator(racine_), fs::directory_iterator()), 5);
}

TEST_F(Listage, PreLectureDeTousOuDesMarques) {
    for (int i = 1; i <= 6; ++i) creer("f" + std::to_string(i) + ".csv", fichier_type(10 + i));
    b.d.CheckBox_prelire_tous = true;
    b.etape1();
    const std::vector<std::string> tous = b.colonne(Colonne::date_dep);
    EXPECT_EQ(tous.back(), "16/12/2023 08:00:00");
    EXPECT_EQ(std::count(tous.begin(), tous.end(), " ---"), 0);

    // Rows 2 and 5 marked: only they are pre-read, and they keep their marks.
    b.table.marquer(2, true);
    b.table.marquer(5, true);
    b.etat.ListBox_fic_coche = memoriser_marques(b.table);
    creer("f0.csv", fichier_type(10));  // a new file moves every row down
    b.etape1();
    const std::vector<std::string> marques = b.colonne(Colonne::date_dep);
    EXPECT_EQ(marques, (std::vector<std::string>{" ---", " ---", "12/12/2023 08:00:00", " ---",
                                                 " ---", "15/12/2023 08:00:00", " ---"}));
    EXPECT_TRUE(b.table.marquee(3));
    EXPECT_TRUE(b.table.marquee(6));
    EXPECT_EQ(memoriser_marques(b.table), (std::vector<std::string>{"f2.csv", "f5.csv"}));

    // Marks removed: the first file again, not the row the first mark held.
    b.d.CheckBox_prelire_tous = false;
    b.etat.ListBox_fic_coche.clear();
    restaurer_marques(b.table, {});
    b.etape1();
    EXPECT_EQ(b.colonne(Colonne::date_dep)[0], "10/12/2023 08:00:00");
    EXPECT_EQ(b.colonne(Colonne::date_dep)[2], " ---");
}

// Bad input: what the user is told, and whether the listing goes on.
TEST_F(Listage, FichiersAbsentsVerrouillesVidesOuEnormes) {
    {  // The data directory vanished.
        Banc v;
        v.d = b.d;
        v.d.dossier_choisi = dossier() + "parti/";
        EXPECT_EQ(v.etape1().fin, FinListage::aucun_fichier);
        ASSERT_EQ(v.dialogue.vus.size(), 1u);
        EXPECT_EQ(v.dialogue.ids[0], IdMessage::aucun_fichier_filtre);
        EXPECT_EQ(v.dialogue.vus[0].texte,
                  "aucun fichier ne correspond au filtre <csv>\n\n dans " + dossier() + "parti/");
        EXPECT_EQ(v.etat.affichage.Label_nb_fic, "0 fichier");
    }
    creer("a.csv", fichier_type(25));
    creer("b.csv", "");
    // One line, below the length past which a line is cut.
    creer("c.csv", std::string(900'000, '7') + ";1");
    b.d.CheckBox_prelire_tous = true;
    // The empty file is logged; neither it nor the one-line file (a title line and no data
    // line) has a layout to check or a date to read: both are listed without data, unasked.
    ResultatListage r = b.etape1();
    EXPECT_EQ(r.fin, FinListage::complet);
    EXPECT_TRUE(b.dans_journal("fichier VIDE => " + chemin("b.csv")));
    EXPECT_EQ(b.colonne(Colonne::date_dep),
              (std::vector<std::string>{"25/12/2023 08:00:00", fr(" aucune donnée"),
                                        fr(" aucune donnée")}));
    EXPECT_EQ(b.table.lire_cellule(3, Colonne::nb_donnees), "0");
    EXPECT_EQ(b.table.lire_cellule(3, Colonne::nb_colonnes), " ---");
    EXPECT_TRUE(b.dialogue.vus.empty());

    {  // Another program holds a lock on b.csv: the listing stops there, row 1 stays.
        Banc v;
        v.d = b.d;
        const int autre = ::open(chemin("b.csv").c_str(), O_RDONLY);
        ASSERT_EQ(::flock(autre, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(v.etape1().fin, FinListage::arrete);
        ::close(autre);
        ASSERT_EQ(v.dialogue.vus.size(), 1u);
        EXPECT_EQ(v.dialogue.ids[0], IdMessage::fichier_ouvert_ailleurs);
        EXPECT_TRUE(v.dialogue.vus[0].texte.starts_with("Le fichier " + chemin("b.csv")));
        EXPECT_EQ(v.table.nb_fichiers(), 2);
        EXPECT_EQ(v.etat.affichage.taille_totale, "---");  // the end of the listing did not run
    }
    {  // b.csv is deleted while a.csv is being listed.
        class ProgressionEffaceuse final : public Progression {
        public:
            explicit ProgressionEffaceuse(fs::path p) : cible_(std::move(p)) {}
            void afficher_progression(std::string_view, int) override {}
            void traiter_evenements() override { fs::remove(cible_); }
            bool arret_demande() const override { return false; }

        private:
            fs::path cible_;
        };
        ProgressionEffaceuse effaceuse(racine_ / "b.csv");
        Banc v;
        v.d = b.d;
        v.progression = &effaceuse;
        EXPECT_EQ(v.etape1().fin, FinListage::arrete);
        ASSERT_EQ(v.dialogue.vus.size(), 1u);
        EXPECT_EQ(v.dialogue.ids[0], IdMessage::fichier_inexistant);
        EXPECT_EQ(v.dialogue.vus[0].texte, "fichier inexistant\n" + chemin("b.csv"));
        EXPECT_EQ(v.table.lire_cellule(1, Colonne::date_dep), "25/12/2023 08:00:00");
    }
}

// A big file is listed from its ends: its dates and count of data lines are those of the
// whole file, and the buffer kept for the window holds its ends only.
TEST_F(Listage, GrosFichierListeParSesExtremites) {
    const std::string milieu = "2023/12/15 12:00:00;2\r\n";
    std::string t = "Date;T\r\n2023/12/01 00:00:00;1\r\n";
    t.reserve(t.size() + 3'000'000 * milieu.size() + 32);
    for (int i = 0; i < 3'000'000; ++i) t += milieu;
    t += "2023/12/31 23:59:59;3\r\n\r\n";
    creer("gros.csv", t);
    EXPECT_EQ(b.etape1().fin, FinListage::complet);
    EXPECT_TRUE(b.dialogue.vus.empty());
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::date_dep), "01/12/2023 00:00:00");
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::date_fin), "31/12/2023 23:59:59");
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::nb_donnees), "3 000 002");
    EXPECT_EQ(b.etat.affichage.nb_lignes_donnees, "3 000 003");
    EXPECT_EQ(b.etat.affichage.Label_date_heure_max, "31/12/2023 23:59:59");
    EXPECT_FALSE(b.etat.tampon_fichier_lu.complet());
    EXPECT_LT(b.etat.tampon_fichier_lu.octets().size(), t.size() / 10);
}

TEST_F(Listage, BaliseDeDebutAbsente) {
    // Without its start tag the file has no data line: no negative line count is shown, and
    // it is listed without data, its layout unchecked and nothing asked.
    creer("a.csv", fichier_type(25));
    b.d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
    b.d.Edit_balise_deb = "[Data]";
    EXPECT_EQ(b.etape1().fin, FinListage::complet);
    EXPECT_TRUE(b.dialogue.vus.empty());
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::date_dep), fr(" aucune donnée"));
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::nb_donnees), "0");
}

TEST_F(Listage, ArretDemandeEtQuestionAuDelaDe100) {
    for (int i = 1; i <= 5; ++i) creer("f" + std::to_string(i) + ".csv", fichier_type(10 + i));
    b.progression_scriptee.arreter_apres(2);
    EXPECT_EQ(b.etape1().fin, FinListage::interrompu);
    EXPECT_EQ(b.table.nb_fichiers(), 2);
    EXPECT_EQ(b.etat.affichage.nb_fichiers_listes, "2");

    // 101 files listed last time, all to pre-read: the user is asked first.
    Banc v;
    v.d = b.d;
    v.d.CheckBox_prelire_tous = true;
    v.etat.affichage.nb_fichiers_listes = "101";
    v.dialogue.attendre_question(Reponse::annuler);
    EXPECT_EQ(v.etape1().fin, FinListage::abandon);
    ASSERT_EQ(v.dialogue.vus.size(), 1u);
    EXPECT_EQ(v.dialogue.ids[0], IdMessage::prelecture_plus_de_100_fichiers);
    EXPECT_EQ(v.dialogue.vus[0].texte,
              fr(" le nombre de fichiers à pré-lire est supérieur à 100 (101)\n\n"
                 " => très long car <Pré lecture de tous les fichiers> \n\n  Continuer ?"));
    EXPECT_EQ(v.table.nb_lignes(), 1);
}

TEST_F(Listage, QuestionsSurLaDateDeLaPremiereMesure) {
    creer("a.csv", "Date;T\n25-12 08:00;1\n");
    b.dialogue.attendre_question(Reponse::oui);  // open the file and stop
    EXPECT_EQ(b.etape1().fin, FinListage::arrete);
    ASSERT_EQ(b.dialogue.vus.size(), 1u);
    EXPECT_EQ(b.dialogue.ids[0], IdMessage::date_premiere_mesure_illisible);
    EXPECT_EQ(b.dialogue.vus[0].texte,
              fr("-- Date de la 1ère mesure <>\n\naaaa/mm/jj hh:mn:ss\n25-12 08:00 en colonne 1"
                 "\n\nProblème de date : vérifier les paramètres de la colonne Date/Heure et son "
                 "format \n\n1ères données en ligne 2 ? : 25-12 08:00;1\n\n"
                 " Ouvrir le fichier et annuler le traitement ?"));
    EXPECT_EQ(b.lanceur.appels.size(), 1u);
    EXPECT_EQ(b.table.nb_fichiers(), 1);

    // A 17-character date read with a four-digit year: the two-digit pattern is proposed.
    creer("a.csv", "Date;T\n23/12/25-08:05:00;1\n");
    Banc v;
    v.d = b.d;
    v.d.Edit_format_datetime_mesure = "aaaa/mm/jj-hh:mn:ss";
    v.dialogue.attendre_question(Reponse::oui);
    const ResultatListage r = v.etape1();
    EXPECT_EQ(r.fin, FinListage::arrete);
    ASSERT_EQ(v.dialogue.vus.size(), 1u);
    EXPECT_EQ(v.dialogue.ids[0], IdMessage::date_mesure_vide);
    EXPECT_EQ(v.dialogue.vus[0].texte,
              fr("Problème de date de mesure vide\n\nformat actuel :\naaaa/mm/jj-hh:mn:ss\n"
                 "    23/12/25-08:05:00 en colonne 1\n\nformat proposé :\n"
                 "20aa/mm/jj-hh:mn:ss   => (Oui)\n\nannuler le traitement => (Annuler)"));
    EXPECT_TRUE(r.description_corrigee);
    EXPECT_EQ(r.description.Edit_format_datetime_mesure, "20aa/mm/jj-hh:mn:ss");
    EXPECT_EQ(r.f_modif, true);
}

TEST_F(Listage, TitresPrisPourDesDonneesRelanceLeListage) {
    creer("a.csv", "123456789;2\n2023/12/25 08:00:00;1\n");
    b.dialogue.attendre_choix(2);  // digits where titles are expected: Continuer
    b.dialogue.attendre_choix(1);  // mostly figures: Corriger, list again without titles
    b.dialogue.attendre_question(Reponse::non);  // line 1 is now data and has no date
    const ResultatListage r = b.etape1();
    EXPECT_EQ(r.fin, FinListage::complet);
    EXPECT_EQ(r.description.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::sans);
    EXPECT_EQ(r.description.Edit_num_ligne_donnee, "1");
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::nb_donnees), "2");
    EXPECT_EQ(b.etat.colonnes.Edit_intitule_origine, "A1\tB2");
    EXPECT_EQ(std::count_if(b.journal.lignes().begin(), b.journal.lignes().end(),
                            [](const std::string& l) { return l.starts_with("t0 = "); }),
              2);
}

TEST_F(Listage, CodesDuNomEtDuContenu) {
    creer("Sonde7_2021_11_10_00.csv", "Site;Nord\n" + fichier_type(25));
    creer("Sonde7_2021_11_12_00.csv", fichier_type(26));
    creer("Sonde8_x.csv", fichier_type(27));
    b.d.Edit_f_station = "1";
    b.d.Edit_f_date_fichier = "2,3,4";
    b.d.Edit_num_ligne_intitule_col = "2";
    b.d.Edit_num_ligne_donnee = "3";
    b.etape1();
    EXPECT_EQ(b.colonne(Colonne::station),
              (std::vector<std::string>{"Sonde7", "Sonde7", "Sonde8"}));
    EXPECT_EQ(b.colonne(Colonne::date_nom_fichier),
              (std::vector<std::string>{"2021/11/10", "2021/11/12", ""}));
    // A name without a date leaves the extremes to the names that have one.
    EXPECT_EQ(b.etat.affichage.Label_date_min, "10/11/2021 00:00:00");
    EXPECT_EQ(b.etat.affichage.Label_date_max, "12/11/2021 00:00:00");
    EXPECT_FALSE(b.etat.affichage.Label_date_min_rouge);
    EXPECT_FALSE(b.etat.affichage.Label_date_max_rouge);

    // The station read in the file: line 1, field 2, through the tabulations turned into ";".
    Banc v;
    v.d = b.d;
    v.d.Edit_f_date_fichier.clear();
    v.d.Edit_f_station = "LIGNE 1, COLONNE 2 TABULATION";
    v.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::tabulation;
    creer("Sonde7_2021_11_12_00.csv", "Site\tSud\nDate\tT\n2023/12/26 08:00:00\t1\n");
    v.etape1();
    EXPECT_EQ(v.colonne(Colonne::station), (std::vector<std::string>{"Nord", "Sud", "T"}));
}

TEST_F(Listage, PressePapierEtClasseur) {
    creer("~presse-papier.ppp", fichier_type(25) + "2023/12/25 10:00:00;3\n");
    b.f_modif = true;
    bool copie = false;
    b.actions.copier_presse_papier = [&] { copie = true; };
    const ResultatListage r = b.etape1({ModeEntree::presse_papier, chemin("~presse-papier.ppp")});
    EXPECT_TRUE(copie);
    EXPECT_EQ(r.fin, FinListage::complet);
    EXPECT_EQ(r.f_modif, false);
    EXPECT_EQ(b.table.ligne(1)[1], "Presse-papier");
    EXPECT_EQ(b.table.ligne(1)[2], "");
    EXPECT_EQ(b.table.ligne(1)[7], "25/12/2023 10:00:00");
    EXPECT_EQ(b.etat.affichage.legende_SpeedButton_lister, "1- Valider le presse-papier");
    EXPECT_TRUE(
        b.dans_journal("       --> Lire le presse-papier <" + chemin("~presse-papier.ppp") + ">"));

    // The sheet is converted when no copy exists yet.
    Banc v;
    v.d = b.d;
    v.d.Label_nom_fic_excel = "mesures.xlsx";
    v.actions.convertir_classeur = [&] {
        creer("~tmp_xls.csv", fichier_type(26));
        return true;
    };
    v.etape1({ModeEntree::classeur, chemin("~tmp_xls.csv")});
    EXPECT_EQ(v.table.ligne(1)[1], "mesures.xlsx");
    EXPECT_EQ(v.table.ligne(1)[2], dossier());
    EXPECT_EQ(v.table.ligne(1)[6], "26/12/2023 08:00:00");

    // A sheet that could not be converted ends the listing on its own cause: no message
    // about the missing copy follows it.
    Banc e;
    e.d = v.d;
    e.actions.convertir_classeur = [] { return false; };
    const ResultatListage echec = e.etape1({ModeEntree::classeur, chemin("~absent_xls.csv")});
    EXPECT_EQ(echec.fin, FinListage::abandon);
    EXPECT_TRUE(e.dialogue.vus.empty());
}

TEST_F(Listage, CompterLesFichiers) {
    creer("b.csv", "");
    creer("a.CSV", "");
    creer("c.txt", "");
    creer("~d.csv", "");
    const ComptageFichiers c = compter_fichiers(b.d);
    EXPECT_EQ(c.nb, 2);
    EXPECT_EQ(c.premier, "a.CSV");
}

// Real exports of two loggers in one folder, and a copy under one- and two-character
// names: what each mask lists, as the file count and the first name after a description
// is read, and as the listing's walk.
TEST_F(Listage, LesFichiersQueListeChaqueMasque) {
    for (const char* f : {"onset-hobo/FULL1_PT_20292372_20200430_corrected_P2.csv",
                          "onset-hobo/james_island_pier_21234295_20231122_rawdata.csv",
                          "onset-hobo/north_beach_surfgrass_20387239_20190218_rawdata.csv",
                          "onset-hobo/QU5_Mooring_15m_20392468_20210803.csv",
                          "solinst-levelogger/solinst_conductivity_testfile.csv",
                          "solinst-levelogger/solinst_level_testfile.csv",
                          "solinst-levelogger/solinst_level_testfile.lev"})
        fs::copy_file(donnees_reelles(f), racine_ / fs::path(f).filename());
    fs::copy_file(donnees_reelles("solinst-levelogger/solinst_level_testfile.csv"),
                  racine_ / "7.csv");
    fs::copy_file(donnees_reelles("solinst-levelogger/solinst_level_testfile.csv"),
                  racine_ / "12.CSV");
    const std::string full = "FULL1_PT_20292372_20200430_corrected_P2.csv",
                      james = "james_island_pier_21234295_20231122_rawdata.csv",
                      north = "north_beach_surfgrass_20387239_20190218_rawdata.csv",
                      qu5 = "QU5_Mooring_15m_20392468_20210803.csv",
                      conductivite = "solinst_conductivity_testfile.csv",
                      niveau = "solinst_level_testfile.csv", lev = "solinst_level_testfile.lev";
    const std::vector<std::string> csv = {"12.CSV", "7.csv", full,         james,
                                          north,    qu5,     conductivite, niveau};
    std::vector<std::string> tous = csv;
    tous.push_back(lev);
    const struct {
        std::string masque;
        std::vector<std::string> noms;
    } cas[] = {
        // An extension, as it always was.
        {"*.csv", csv},
        {"csv", csv},
        {".csv", csv},
        {"CSV", csv},
        {"*.CsV", csv},
        {"lev", {lev}},
        {"*.*", tous},
        // A pattern of the whole name, letter case ignored.
        {"*_rawdata.csv", {james, north}},
        {"*RAWDATA.csv", {james, north}},
        {"solinst_*", {conductivite, niveau, lev}},
        {"SOLINST_LEVEL_TESTFILE.*", {niveau, lev}},
        {"?.csv", {"7.csv"}},
        {"??.csv", {"12.CSV"}},
        {"FULL1_PT_2029237?_*.csv", {full}},
        {"qu5_mooring_15m_20392468_20210803.CSV", {qu5}},
        {"*", tous},
        {"LeGue_*.csv", {}},
        {"?.lev", {}},
    };
    for (const auto& c : cas) {
        b.d.Edit_masque = c.masque;
        const ComptageFichiers compte = compter_fichiers(b.d);
        EXPECT_EQ(compte.nb, static_cast<int>(c.noms.size())) << c.masque;
        EXPECT_EQ(compte.premier, c.noms.empty() ? "" : c.noms.front()) << c.masque;
        std::vector<std::string> noms;
        for (const std::string& l : lister_fichiers(b.d.dossier_choisi, c.masque, false).lignes)
            noms.push_back(std::string(rogner(extraire_champ(l, 2, '\t'))));
        EXPECT_EQ(noms, c.noms) << c.masque;
    }
}

// A name pattern lists its files into the table, names the listing button as typed, and
// a pattern that matches nothing says so with the pattern.
TEST_F(Listage, UnMotifDeNomListeSesFichiersDansLeTableau) {
    b.d.dossier_choisi = donnees_reelles("onset-hobo");
    b.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    b.d.Edit_num_ligne_intitule_col = "1";
    b.d.Edit_num_ligne_donnee = "2";
    b.d.Edit_num_col_datetime = "2";
    b.d.Edit_format_datetime_mesure = "aaaa-mm-jj hh:mn:ss souple";
    b.d.Edit_masque = "*_RAWDATA.csv";
    const ResultatListage r = b.etape1();
    EXPECT_EQ(r.fin, FinListage::complet);
    EXPECT_TRUE(b.dialogue.vus.empty());
    EXPECT_EQ(b.colonne(Colonne::fichier),
              (std::vector<std::string>{"james_island_pier_21234295_20231122_rawdata.csv",
                                        "north_beach_surfgrass_20387239_20190218_rawdata.csv"}));
    EXPECT_EQ(b.table.lire_cellule(1, Colonne::date_dep), "02/05/2023 15:00:00");
    EXPECT_EQ(b.etat.affichage.legende_SpeedButton_lister,
              "1- Valider et Lister les fichiers   *_RAWDATA.csv");
    EXPECT_EQ(b.etat.affichage.Label_nb_fic, "2 fichiers");

    Banc v;
    v.d = b.d;
    v.d.Edit_masque = "LeGue_*.csv";
    EXPECT_EQ(v.etape1().fin, FinListage::aucun_fichier);
    ASSERT_EQ(v.dialogue.ids.size(), 1u);
    EXPECT_EQ(v.dialogue.ids[0], IdMessage::aucun_fichier_filtre);
    EXPECT_EQ(v.dialogue.vus[0].texte,
              "aucun fichier ne correspond au filtre <LeGue_*.csv>\n\n dans " + v.d.dossier_choisi);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

TEST(ModeDepuisMasque, ClasseurPressePapierOuFichiers) {
    const std::vector<std::pair<std::string, ModeEntree>> cas = {
        {"xls", ModeEntree::classeur},
        {"*.XLSX", ModeEntree::classeur},
        {"releve.ods", ModeEntree::classeur},
        {"ppp", ModeEntree::presse_papier},
        {"*.csv", ModeEntree::fichiers},
        {"dat", ModeEntree::fichiers},
        // A name pattern by its extension, whatever its name holds.
        {"Classeur_*.xlsx", ModeEntree::classeur},
        {"Station_PPP_*.csv", ModeEntree::fichiers},
        {"XLS_?.txt", ModeEntree::fichiers},
        {"*.*", ModeEntree::fichiers},
    };
    for (const auto& [masque, mode] : cas) EXPECT_EQ(mode_depuis_masque(masque), mode) << masque;
}

}  // namespace
}  // namespace tarvo

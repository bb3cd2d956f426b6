#include "output/suivi.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "description/description.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "inventory/table_fichiers.h"

namespace tarvo {
namespace {

using Lignes = std::vector<std::string>;
constexpr double seconde = 1.0 / 86400;
const std::string regle = "    " + std::string(140, '-');

// A stream whose every write fails, as a full disk would.
class TamponEnPanne : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Suivi, TexteDuPas) {
    struct Cas {
        int unite;
        int n;
        const char* suivi;
        const char* resume;
    };
    const std::vector<Cas> cas = {
        {unite_hms, 1, "01:00:00", "01:00:00"},
        {unite_jour, 1, "1 jour", "1 jour"},
        {unite_jour, 2, "2 jour", "2 jours"},
        {unite_mois, 3, "3 mois", "3 mois"},
        {unite_annee, 1,
         "1 ann\xE9"
         "e",
         "1 ann\xE9"
         "e"},
        {unite_annee, 2,
         "2 ann\xE9"
         "e",
         "2 ann\xE9"
         "es"},
    };
    for (const Cas& c : cas) {
        ParametresGrille g;
        g.unite_pas = c.unite;
        g.SpinEdit_pas_jour_mois_annee = c.n;
        g.TimePicker_pas = 3600 * seconde;
        EXPECT_EQ(texte_pas_suivi(g), c.suivi);
        EXPECT_EQ(texte_pas_resume(g), c.resume);
    }
    EXPECT_EQ(legende_test_dates(0), "(inf ou =)");
    EXPECT_EQ(legende_test_dates(1), "(inf strict)");
    EXPECT_EQ(chemin_suivi("/d/A10.txt"), "/d/A10.txt.TXT");
}

TableEtapes table_deux_colonnes(int vides_t, int vides_p) {
    TableEtapes t;
    t.dimensionner({1, 2, 3, 4}, 4);
    t.titres_colonnes = {"", "temps", "T", "P", "nb"};
    t.nb_vides[2] = vides_t;
    t.nb_vides[3] = vides_p;
    return t;
}

TEST(Suivi, BilanNA) {
    struct Cas {
        int vides_t, vides_p;
        long long nb_resultats;
        const char* min;
        const char* max;
        std::string utilisables;
        std::string total;
    };
    const std::string aucune =
        "      aucune valeur NA ou vides d\xE9tect\xE9"
        "e dans l\"ensemble du tableau";
    const std::string na = "      nombre de NA ou vides dans l\"ensemble du tableau = ";
    const std::string issues =
        "   issues de 7 lignes de donn\xE9"
        "es";
    const std::vector<Cas> cas = {
        {1, 0, 3, "", "", "5" + issues, na + "1"},
        {0, 0, 3, "", "", "6" + issues, aucune},
        {1, 0, 3, "0", "100",
         "5  (NA si sup ou = \xE0 Min=0)    (NA si inf ou = \xE0 Max=100)  " + issues, na + "1"},
        {1, 0, 3, " ", "100", "5  (NA si inf ou = \xE0 Max=100)  " + issues, na + "1"},
        {0, 1234, 1000000, "", "", "1 998 766" + issues, na + "1 234"},
    };
    for (const Cas& c : cas) {
        const TableEtapes t = table_deux_colonnes(c.vides_t, c.vides_p);
        const std::string n = std::to_string(c.nb_resultats);
        const Lignes attendu = {
            "",
            " ========== nombre de r\xE9sultats - nombre de VIDES(= na)",
            n + " - " + std::to_string(c.vides_t) + " = " +
                std::to_string(c.nb_resultats - c.vides_t) + "  <- T",
            n + " - " + std::to_string(c.vides_p) + " = " +
                std::to_string(c.nb_resultats - c.vides_p) + "  <- P",
            regle,
            "      NOMBRE de VALEURS utilisables = " + c.utilisables,
            c.total,
            regle,
        };
        EXPECT_EQ(bilan_na(t, c.nb_resultats, c.min, c.max, 7), attendu) << c.utilisables;
    }
}

Description description_suivi() {
    Description d;
    d.Edit_masque = "csv";
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    d.RadioGroup_methode_ItemIndex = Methode::ponctuel;
    d.Edit_min_na = "";
    d.Edit_max_na = "";
    return d;
}

ParametresGrille grille_suivi() {
    ParametresGrille g;
    g.Label_temps_deb = "07/11/2021 00:00:00";
    g.Label_temps_fin = "07/11/2021 03:00:00";
    g.TimePicker_pas = 3600 * seconde;
    g.test_strict = 1;
    return g;
}

TEST(Suivi, EnteteDuFichierDeSuivi) {
    TableFichiers table;
    table.ajouter_ligne();
    table.ecrire_cellule(1, Colonne::n, "1");
    table.ecrire_cellule(1, Colonne::fichier, "a.csv");
    table.ecrire_cellule(1, Colonne::station, "Nord");
    table.marquer(1, true);
    table.ajouter_ligne();
    table.ecrire_cellule(2, Colonne::fichier, "b.csv");

    RecapitulatifRun run;
    run.Label_description_bd = "essai.dsc";
    run.nom_travail = "A";
    run.nb_dates = 4;
    const Lignes debut = {
        " SUIVI DU TRAITEMENT : TABLEAU DES FICHIERS",
        "",
        "  Description de donn\xE9"
        "es : essai.dsc",
        " extention csv",
        " s\xE9parateur IN = (Point-virgule)",
        " m\xE9thode de calcul = (ponctuel = derni\xE8re mesure OK)",
    };
    const Lignes fin = {
        "A",
        " test des dates = ((inf strict))",
        " pas = (01:00:00)",
        " p\xE9riode du 07/11/2021 00:00:00 au 07/11/2021 03:00:00",
        " nombre de r\xE9sultats = 3",
        "",
        " \tn \tfichier \ts/r\xE9pertoire \tStation \tdate_NOM_Fichier \ttaille (Mo) \tdate dep "
        "\tdate fin "
        "\tn.donn\xE9"
        "es \tn.extraites \tpas moyen observ\xE9 \tdur\xE9"
        "e de traitement \tcorrection \tnb "
        "Colonnes \tn\xB0Lig intitul\xE9s \t x",
        " \t1 \ta.csv \t \tNord \t \t \t \t \t \t \t \t \t \t \t \tx",
        " \t \tb.csv \t \t \t \t \t \t \t \t \t \t \t \t \t \t",
    };
    struct Cas {
        bool delta_y, derivees;
        Lignes calcul;
    };
    const std::vector<Cas> cas = {
        {false, false, {}},
        {true, false, {"  calcul des delta Y (r\xE9tro cumul)  y(i) - y(i-1) "}},
        {false,
         true,
         {"  calcul des d\xE9riv\xE9"
          "es (r\xE9tro cumul) [y(i) - y(i-1)] / pas"}},
    };
    for (const Cas& c : cas) {
        Description d = description_suivi();
        d.CheckBox_delta_Y = c.delta_y;
        d.CheckBox_derivees = c.derivees;
        Lignes attendu = debut;
        attendu.insert(attendu.end(), c.calcul.begin(), c.calcul.end());
        attendu.insert(attendu.end(), fin.begin(), fin.end());
        EXPECT_EQ(entete_suivi(d, grille_suivi(), run, table), attendu);
    }
}

// A file name may hold a line break (or any control character): its row of the table stays
// one line, the character shown escaped; a tab stays, as it already separates the cells.
TEST(Suivi, UnNomAvecSautDeLigneGardeSaLigneDuTableau) {
    struct Cas {
        std::string nom, cellule;
    };
    const std::vector<Cas> cas = {
        {"a\nb.csv", "a\\x0Ab.csv"},
        {"a\r\nb.csv", "a\\x0D\\x0Ab.csv"},
        {"\x1B[2Jc.csv", "\\x1B[2Jc.csv"},
        {"d\xE9\x7F.csv", "d\xE9\\x7F.csv"},
    };
    for (const Cas& c : cas) {
        TableFichiers table;
        table.ajouter_ligne();
        table.ecrire_cellule(1, Colonne::fichier, c.nom);
        const Lignes l =
            entete_suivi(description_suivi(), grille_suivi(), RecapitulatifRun{}, table);
        const std::string ligne = l.back();
        EXPECT_EQ(ligne.substr(0, 6 + c.cellule.size()), " \t \t" + c.cellule + " \t") << ligne;
        std::ostringstream fichier;
        ecrire_suivi(fichier, l, JournalSuivi{}, "A10.txt.TXT");
        EXPECT_EQ(decouper_lignes(fichier.str()).size(), l.size() + 2) << c.cellule;
    }
}

RecapitulatifRun run_resume() {
    RecapitulatifRun run;
    run.nb_dates = 4;
    run.nb_colonnes = 4;
    run.nb_resultats = 3;
    run.Label_nlig_impliquee = "12 lignes extraites";
    run.Label_nr_final = "4";
    run.nb_lignes_lues = 12;
    run.chemin_resultat = "/sortie/A10.txt";
    run.duree_totale = 75 * seconde;
    return run;
}

Lignes lignes_finales() {
    return {
        "  Donn\xE9"
        "es horodat\xE9"
        "e r\xE9guli\xE8res extraites et enregistr\xE9"
        "es dans    A10.txt",
        "  ainsi que dans le presse-papier au pas de 01:00:00",
        "  La fen\xEAtre de suivi dans   A10.txt.TXT du r\xE9pertoire : ",
        "   /sortie/",
        "  dur\xE9"
        "e totale =  1 mn 15 s ",
    };
}

Lignes bilan_sans_vide() {
    return {"",
            " ========== nombre de r\xE9sultats - nombre de VIDES(= na)",
            "3 - 0 = 3  <- T",
            "3 - 0 = 3  <- P",
            regle,
            "      NOMBRE de VALEURS utilisables = 6   issues de 12 lignes de donn\xE9"
            "es",
            "      aucune valeur NA ou vides d\xE9tect\xE9"
            "e dans l\"ensemble du tableau",
            regle};
}

TEST(Suivi, ResumeAvecToutesLesOptions) {
    Description d = description_suivi();
    d.CheckBox_post_traitement = true;
    d.CheckBox_cumul_corriger = true;
    d.CheckBox_correction_si_t1supt2 = true;
    d.CheckBox_correction_si_t1egalt2 = true;
    d.CheckBox_derive_active = true;
    d.TimePicker_derive_erronee = 12 * 3600 * seconde;
    d.TimePicker_derive_reelle = (11 * 3600 + 59 * 60 + 30) * seconde;
    d.CheckBox_decalage_actif = true;
    d.RadioButton_decalage_negatif = true;
    d.TimePicker_decalage = 5400 * seconde;
    RecapitulatifRun run = run_resume();
    run.station = "Nord";
    run.SpinEdit_decalage_jour = 2;
    run.nb_dates_inversees = 2;
    JournalSuivi journal;
    journal.ajouter_suivi("titre");
    journal.ajouter_suivi("x");
    ajouter_resume(journal, d, grille_suivi(), run, table_deux_colonnes(0, 0), true,
                   [&] { journal.ajouter_suivi("<description>"); });
    Lignes attendu = {
        "titre",
        "x",
        "",
        "3- TRAITEMENT EFFECTU\xC9  (m\xE9thode : ponctuel = derni\xE8re mesure OK) station( Nord "
        ")  "
        "(inf strict) avec POSTtraitement des 4 donn\xE9"
        "es extraites + avec cumul croissant forc\xE9  "
        "correction + 1 j SI t1>t2   correction +1s SI t1=t2  ",
        "  La d\xE9rive des dates de mesure n'est pas nulle",
        "   12:00:00 => 11:59:30  d\xE9rive = -00:00:30",
        " Le d\xE9"
        "calage des dates de mesure n'est pas nul",
        "   - 2 j 01:30:00",
        "     12 lignes extraites",
        "     4 lignes     x     4 colonnes attendues",
        " ----------------------->  nombre de dates invers\xE9"
        "es : 2",
        // The empty line that opens the NA statistics is not repeated.
        "",
    };
    const Lignes bilan = bilan_sans_vide();
    attendu.insert(attendu.end(), bilan.begin() + 1, bilan.end());
    attendu.push_back("<description>");
    for (const auto& l : lignes_finales()) attendu.push_back(l);
    EXPECT_EQ(journal.lignes(), attendu);
}

// A stopped run's summary says it and how far each file was read, right under its title.
TEST(Suivi, ResumeDUnTraitementInterrompu) {
    RecapitulatifRun run = run_resume();
    run.nb_resultats = 2;
    run.interrompu = true;
    run.fichiers = {{"a.csv", LectureFichier::entiere},
                    {"sous/b.csv", LectureFichier::partielle},
                    {"c.csv", LectureFichier::aucune}};
    JournalSuivi journal;
    journal.ajouter_suivi("titre");
    journal.ajouter_suivi("x");
    ajouter_resume(journal, description_suivi(), grille_suivi(), run, table_deux_colonnes(0, 0),
                   false, {});
    const Lignes debut(journal.lignes().begin() + 3, journal.lignes().begin() + 8);
    EXPECT_EQ(debut,
              (Lignes{"3- TRAITEMENT INTERROMPU  (m\xE9thode : ponctuel = derni\xE8re mesure "
                      "OK)  (inf strict)",
                      " le traitement a \xE9t\xE9 stopp\xE9 : le r\xE9sultat est partiel, 2 "
                      "lignes \xE9"
                      "crites sur 3",
                      "   lu en entier : a.csv", "   lu en partie : sous/b.csv",
                      "   non lu       : c.csv"}));
}

TEST(Suivi, FichierCompletEtFluxEnPanne) {
    JournalSuivi journal;
    journal.ajouter_suivi("titre");
    journal.ajouter_suivi(fr("é"));
    std::ostringstream sortie;
    ecrire_suivi(sortie, {"a", ""}, journal, "f.TXT");
    EXPECT_EQ(sortie.str(), "a\r\n\r\n\r\n Fen\xEAtre de suivi\r\ntitre\r\n\xE9\r\n");

    TamponEnPanne panne;
    std::ostream cassee(&panne);
    EXPECT_THROW(ecrire_suivi(cassee, {"a"}, journal, "f.TXT"), ErreurFichier);

    ajouter_fin_suivi(journal, 45000 + (10 * 3600 + 30 * 60 + 15) * seconde,
                      (30 * 60 + 15) * seconde);
    EXPECT_EQ(journal.lignes(), (Lignes{"titre", "\xE9", "",
                                        "10:30:15  dur\xE9"
                                        "e totale 00:30:15"}));
}

}  // namespace
}  // namespace tarvo

// The batch program's conversions: the shipped example, real logger files, workbooks and
// standard input, the grid options, and what a result holds and its status says.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "montage_lot.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

// Without --silencieux the closing text says what was done in batch: the files and the
// line counts, not a clipboard or a description that were never written.
TEST_F(TarvoLot, LeTexteDeFinDitCeQuiAEteFait) {
    const Execution e = lancer({description()});
    ASSERT_EQ(e.statut, 0) << e.erreurs;
    const fs::path resultat = sortie_ / "LeGue_horaire.txt";
    EXPECT_TRUE(contient(e.erreurs, "résultat : " + resultat.string())) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "suivi    : " + resultat.string() + ".TXT")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "lignes extraites, 337 lignes écrites")) << e.erreurs;
    EXPECT_FALSE(contient(e.erreurs, "presse-papier")) << e.erreurs;
    EXPECT_FALSE(contient(e.erreurs, "description est également enregistré")) << e.erreurs;
}

TEST_F(TarvoLot, ConvertitLExempleSansRienEcrireAilleurs) {
    const std::string dsc = description();
    const std::string avant = lire(dsc);
    const fs::path programme = fs::path(TARVO_LOT).parent_path();
    std::vector<fs::path> pres_du_programme;
    for (const auto& f : fs::directory_iterator(programme)) pres_du_programme.push_back(f.path());

    const Execution e = lancer({"--nom", "série", dsc});
    // Nothing beside the program, and the description untouched, whatever the outcome.
    EXPECT_EQ(lire(dsc), avant);
    std::vector<fs::path> apres;
    for (const auto& f : fs::directory_iterator(programme)) apres.push_back(f.path());
    EXPECT_EQ(apres.size(), pres_du_programme.size());
    EXPECT_FALSE(contient(e.erreurs, "\r")) << "no progress bar off a terminal";
    ASSERT_EQ(e.statut, 0) << e.erreurs;
    // Standard output: the full path of the result, and nothing else.
    ASSERT_TRUE(e.sortie.ends_with("\n"));
    const std::string chemin = e.sortie.substr(0, e.sortie.size() - 1);
    EXPECT_EQ(chemin.find('\n'), std::string::npos);
    EXPECT_TRUE(fs::path(chemin).is_absolute());
    EXPECT_EQ(fs::path(chemin).parent_path(), sortie_);
    EXPECT_TRUE(fs::path(chemin).filename().string().starts_with("série")) << chemin;
    EXPECT_TRUE(fs::exists(chemin));
    // A run on the same settings again proceeds over the first result.
    const Execution encore = lancer({"--nom", "série", dsc});
    EXPECT_EQ(encore.statut, 0) << encore.erreurs;
}

// The mask of the description picks the files converted: an extension as always, or a
// pattern of the name, letter case ignored; a pattern that matches nothing stops with 1.
TEST_F(TarvoLot, ChaqueMasqueConvertitSesFichiers) {
    fs::copy_file(donnees_ / "LeGue_2024-06-10.csv", donnees_ / "7.csv");
    const std::vector<std::string> noms = {"7.csv", "LeGue_2024-06-01.csv", "LeGue_2024-06-05.csv",
                                           "LeGue_2024-06-10.csv"};
    const struct {
        std::string masque;
        int statut;
        std::string fin;              // on the standard error
        std::vector<bool> convertis;  // for each of `noms`
    } cas[] = {
        {"*.csv", 0, "2 653 lignes extraites", {true, true, true, true}},
        {"csv", 0, "2 653 lignes extraites", {true, true, true, true}},
        {".csv", 0, "2 653 lignes extraites", {true, true, true, true}},
        {"CSV", 0, "2 653 lignes extraites", {true, true, true, true}},
        {"LeGue_*.csv", 0, "1 985 lignes extraites", {false, true, true, true}},
        {"?.csv", 0, "668 lignes extraites", {true, false, false, false}},
        {"legue_2024-06-0?.CSV", 0, "1 317 lignes extraites", {false, true, true, false}},
        {"LeGue_2024-06-05.csv", 0, "668 lignes extraites", {false, false, true, false}},
        {"Autre_*.csv", 1, "aucun fichier Autre_*.csv dans", {false, false, false, false}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.masque);
        for (const fs::path& f : fichiers_sortie()) fs::remove(f);
        const Execution e = lancer({description({{"Edit_masque.text", c.masque}})});
        EXPECT_EQ(e.statut, c.statut) << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.fin)) << e.erreurs;
        const std::string suivi =
            c.statut == 0 ? lire(sortie_ / "LeGue_horaire.txt.TXT") : std::string();
        for (std::size_t i = 0; i < noms.size(); ++i)
            EXPECT_EQ(contient(suivi, "<---------------" + noms[i]), c.convertis[i]) << noms[i];
    }
}

// The shipped description names its directories relative to its own folder: copied with
// its data anywhere, it converts from any current directory, and the path printed is whole.
TEST_F(TarvoLot, UneDescriptionDeplaceeAvecSesDonneesLesRetrouve) {
    const fs::path ailleurs = racine_ / "copie de l'exemple";
    fs::create_directories(ailleurs / "EXPORT");
    for (const auto& f : fs::directory_iterator(TARVO_EXEMPLES)) fs::copy(f.path(), ailleurs);
    const Execution e = lancer({(ailleurs / "LeGue_horaire.dsc").string()});
    ASSERT_EQ(e.statut, 0) << e.erreurs;
    const fs::path chemin = e.sortie.substr(0, e.sortie.find('\n'));
    EXPECT_TRUE(chemin.is_absolute()) << chemin;
    EXPECT_EQ(chemin.parent_path(), ailleurs / "EXPORT");
    EXPECT_TRUE(fs::exists(chemin));
}

// One sheet of inline strings, the cells of each ";"-separated line of the text.
void ecrire_xlsx(const fs::path& chemin, const std::string& texte_cp1252) {
    std::string lignes;
    std::istringstream texte(texte_cp1252);
    std::string ligne;
    for (int n = 1; std::getline(texte, ligne); ++n) {
        if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
        lignes += "<row r=\"" + std::to_string(n) + "\">";
        std::istringstream champs(ligne);
        std::string champ;
        for (char colonne = 'A'; std::getline(champs, champ, ';'); ++colonne) {
            std::string xml;
            for (const char c : cp1252_vers_utf8(champ))
                xml += c == '&'   ? "&amp;"
                       : c == '<' ? "&lt;"
                       : c == '>' ? "&gt;"
                                  : std::string(1, c);
            lignes += std::string("<c r=\"") + colonne + std::to_string(n) +
                      "\" t=\"inlineStr\"><is><t>" + xml + "</t></is></c>";
        }
        lignes += "</row>";
    }
    const std::vector<std::pair<std::string, std::string>> parties = {
        {"xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Notes" sheetId="1" r:id="rId1"/><sheet name="Mesures" sheetId="2" r:id="rId2"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>rien ici</t></is></c></row></sheetData></worksheet>)"},
        {"xl/worksheets/sheet2.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
             lignes + "</sheetData></worksheet>"},
    };
    int erreur = 0;
    zip_t* z = zip_open(chemin.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erreur);
    ASSERT_NE(z, nullptr);
    for (const auto& [nom, contenu] : parties)
        ASSERT_GE(
            zip_file_add(z, nom.c_str(), zip_source_buffer(z, contenu.data(), contenu.size(), 0),
                         ZIP_FL_OVERWRITE),
            0);
    ASSERT_EQ(zip_close(z), 0);
}

// The same measurements given as a file, as a workbook sheet and on standard input (the
// clipboard of a batch run, as logger bytes and as UTF-8 text) make the same result file.
TEST_F(TarvoLot, ClasseurEtPressePapierDonnentLeResultatDuFichierTexte) {
    const fs::path seul = racine_ / "seul";
    fs::create_directories(seul / "EXPORT");
    const fs::path csv = donnees_ / "LeGue_2024-06-05.csv";
    fs::copy_file(csv, seul / csv.filename());
    const auto executer = [&](const std::string& nom, const std::string& masque,
                              const fs::path& dossier, std::map<std::string, std::string> cles,
                              const std::string& entree) {
        cles.emplace("Edit_masque.text", masque);
        cles.emplace("dossier_choisi", dossier.string() + "/");
        cles.emplace("dossier_choisi_sortie", (dossier / "EXPORT").string() + "/");
        const Execution e = lancer({"--nom", nom, description(cles, nom + ".dsc")}, entree);
        EXPECT_EQ(e.statut, 0) << nom << "\n" << e.erreurs;
        return lire(e.sortie.substr(0, e.sortie.find('\n')));
    };
    const std::string attendu = executer("texte", "csv", seul, {}, "/dev/null");
    ASSERT_TRUE(contient(attendu, "05/06/2024 13:00:00;")) << attendu;

    const fs::path classeur = racine_ / "classeur";
    fs::create_directories(classeur / "EXPORT");
    ecrire_xlsx(classeur / "releve.xlsx", lire(csv));
    EXPECT_EQ(executer("classeur", "xlsx", classeur,
                       {{"Label_nom_fic_excel.caption", "releve.xlsx"},
                        {"Edit_num_feuille_excel.text", "2"}},
                       "/dev/null"),
              attendu);

    const fs::path utf8 = racine_ / "utf8.txt";
    std::ofstream(utf8, std::ios::binary) << cp1252_vers_utf8(lire(csv));
    EXPECT_EQ(executer("octets", "ppp", seul, {}, csv.string()), attendu);
    EXPECT_EQ(executer("utf8", "ppp", seul, {}, utf8.string()), attendu);
}

TEST_F(TarvoLot, LesLignesDeProblemeDuSuiviVontSurLaSortieDErreur) {
    // Line 10 of the first download: a level that is not a number.
    const fs::path f = donnees_ / "LeGue_2024-06-01.csv";
    std::string texte = lire(f);
    std::size_t p = 0;
    for (int i = 1; i < 10; ++i) p = texte.find('\n', p) + 1;
    const std::size_t champ = texte.find(';', p) + 1;
    texte.replace(champ, texte.find(';', champ) - champ, "abc");
    std::ofstream(f, std::ios::binary) << texte;

    const Execution e = lancer({"--silencieux", description()});
    EXPECT_TRUE(contient(e.erreurs, "pb conversion <abc> ligne 10\n")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "nb_pb conversion = 1\n")) << e.erreurs;
    // The lines that only record what was done stay in the tracking file.
    EXPECT_FALSE(contient(e.erreurs, "colonnes à extraire")) << e.erreurs;
    EXPECT_EQ(e.statut, 0) << e.erreurs;
}

TEST_F(TarvoLot, LesOptionsDeLaGrilleFontLeResultat) {
    const std::string dsc = description();
    struct Cas {
        std::vector<std::string> args;
        bool strict;                         // the date test "(inf strict)" in the title line
        std::vector<std::string> premieres;  // the dates of the first rows
        std::size_t nb_lignes;               // rows after the title line
        int statut = 0;
    };
    const std::vector<Cas> cas = {
        {{"--debut", "05/06/2024 00:00:00", "--fin", "06/06/2024", "--pas", "06:00:00"},
         false,
         {"05/06/2024 00:00:00", "05/06/2024 06:00:00"},
         5},
        {{"--debut", "01/06/2024", "--fin", "14/06/2024", "--unite", "jour", "--test-strict"},
         true,
         {"01/06/2024 00:00:00", "02/06/2024 00:00:00"},
         14},
        {{"--debut", "01/06/2024", "--fin", "15/06/2024", "--unite", "jour", "--nombre", "7",
          "--test-strict"},
         true,
         {"01/06/2024 00:00:00", "08/06/2024 00:00:00"},
         3},
        // Month steps from the 31st keep the last day of shorter months. The files begin in
        // June, which the last row, [31/05, 30/06), holds.
        {{"--debut", "31/01/2024", "--fin", "31/05/2024", "--unite", "mois", "--test-strict"},
         true,
         {"31/01/2024 00:00:00", "29/02/2024 00:00:00", "31/03/2024 00:00:00",
          "30/04/2024 00:00:00", "31/05/2024 00:00:00"},
         5},
        // A month before the files: every value is NA, which the status says.
        {{"--debut", "31/01/2024", "--fin", "30/04/2024", "--unite", "mois", "--test-strict"},
         true,
         {"31/01/2024 00:00:00", "29/02/2024 00:00:00", "31/03/2024 00:00:00",
          "30/04/2024 00:00:00"},
         4,
         4},
        // The largest count the option takes.
        {{"--debut", "01/06/2024", "--fin", "01/06/2026", "--unite", "jour", "--nombre", "400",
          "--test-strict"},
         true,
         {"01/06/2024 00:00:00", "06/07/2025 00:00:00"},
         2},
    };
    for (const auto& c : cas) {
        auto args = c.args;
        args.push_back(dsc);
        const Execution e = lancer(args);
        ASSERT_EQ(e.statut, c.statut) << e.erreurs;
        std::istringstream resultat(lire(e.sortie.substr(0, e.sortie.size() - 1)));
        std::vector<std::string> lignes;
        for (std::string l; std::getline(resultat, l);) lignes.push_back(l);
        ASSERT_EQ(lignes.size(), c.nb_lignes + 1) << c.args[1];
        EXPECT_EQ(contient(lignes[0], "inf ou ="), !c.strict) << lignes[0];
        for (std::size_t i = 0; i < c.premieres.size(); ++i)
            EXPECT_TRUE(lignes[i + 1].starts_with(c.premieres[i] + ";")) << lignes[i + 1];
    }
}

// The lines of the result of a run on the single file given, title line first, each
// without its line end; empty when the run failed.
class TarvoLotUnFichier : public TarvoLot {
protected:
    std::vector<std::string> resultat(const std::vector<std::string>& lignes_fichier,
                                      const std::map<std::string, std::string>& cles,
                                      std::vector<std::string> args) {
        for (const auto& f : fs::directory_iterator(donnees_))
            if (f.path().extension() == ".csv") fs::remove(f.path());
        std::string texte = "Station\r\nDate Heure;Niveau\r\n";
        for (const std::string& l : lignes_fichier) texte += l + "\r\n";
        std::ofstream(donnees_ / "a.csv", std::ios::binary) << texte;
        fs::remove_all(sortie_);
        fs::create_directories(sortie_);
        args.push_back(description(cles));
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, 0) << e.erreurs;
        std::vector<std::string> lignes;
        if (e.statut != 0) return lignes;
        std::istringstream r(lire(e.sortie.substr(0, e.sortie.size() - 1)));
        for (std::string l; std::getline(r, l);) lignes.push_back(l.substr(0, l.find('\r')));
        return lignes;
    }
    const std::map<std::string, std::string> une_colonne = {{"CheckBox_col_cochee.Checked", "true"},
                                                            {"Edit_col_cochee.text", "2"},
                                                            {"Edit_nb_decimale.text", "3"}};
};

// Daily means of the last day of the period: under "(inf strict)" its row holds the whole
// day, as every other row does; "(inf ou =)" keeps (previous day, day].
TEST_F(TarvoLotUnFichier, LeDernierJourDeLaPeriodeAFaitSesMesures) {
    const std::vector<std::string> donnees = {"01/06/2024 00:00:00;1", "01/06/2024 12:00:00;3",
                                              "02/06/2024 00:00:00;10", "02/06/2024 12:00:00;20"};
    const std::vector<std::string> periode = {"--debut",    "01/06/2024", "--fin",
                                              "02/06/2024", "--unite",    "jour"};
    struct Cas {
        bool strict;
        std::vector<std::string> lignes;  // after the title line
    };
    const std::vector<Cas> cas = {
        {true, {"01/06/2024 00:00:00;2,000;2", "02/06/2024 00:00:00;15,000;2"}},
        {false, {"01/06/2024 00:00:00;1,000;1", "02/06/2024 00:00:00;6,500;2"}},
    };
    for (const Cas& c : cas) {
        std::vector<std::string> args = periode;
        if (c.strict) args.emplace_back("--test-strict");
        const std::vector<std::string> lignes = resultat(donnees, une_colonne, args);
        ASSERT_EQ(lignes.size(), c.lignes.size() + 1) << c.strict;
        for (std::size_t i = 0; i < c.lignes.size(); ++i)
            EXPECT_EQ(lignes[i + 1], c.lignes[i]) << c.strict;
    }
}

// "1ère UE" reads the first line of the listing day first; the run then reads its own first
// line against the reading the listing left, as it reads every later line: of two possible
// dates the earlier wins, so the listing and the run place 05/06 the same way from line 2 on.
TEST_F(TarvoLotUnFichier, LaPremiereLigneAmbigueDuTraitementSuitLaReferenceDuListage) {
    std::map<std::string, std::string> cles = une_colonne;
    cles["Edit_format_datetime_mesure.text"] = "multiformat_dt_mini_1èreUE";
    const std::vector<std::string> lignes = resultat(
        {"05/06/2024 08:00:00;1", "05/06/2024 09:00:00;2", "13/06/2024 10:00:00;4"}, cles,
        {"--debut", "01/05/2024", "--fin", "14/06/2024", "--unite", "jour", "--test-strict"});
    ASSERT_EQ(lignes.size(), 46U);
    const auto ligne_du = [&](const std::string& jour) {
        for (const std::string& l : lignes)
            if (l.starts_with(jour)) return l;
        return std::string();
    };
    EXPECT_EQ(ligne_du("06/05/2024"), "06/05/2024 00:00:00;1,500;2");
    EXPECT_EQ(ligne_du("05/06/2024"), "05/06/2024 00:00:00;NA;0");
    EXPECT_EQ(ligne_du("13/06/2024"), "13/06/2024 00:00:00;4,000;1");
}

// A real logger export (Onset HOBO, US dates with AM/PM) with the description kept beside
// this test: hourly means of the temperature, worked out by hand from the file:
// (15:00, 16:00] holds 32.587, 35.850 and 37.976.
TEST_F(TarvoLot, ConvertitUnVraiFichierHobo) {
    for (const auto& f : fs::directory_iterator(donnees_))
        if (f.path().extension() == ".csv") fs::remove(f.path());
    fs::copy_file(
        fs::path(TARVO_DONNEES_REELLES) / "onset-hobo" / "QU5_Mooring_15m_20392468_20210803.csv",
        donnees_ / "QU5_Mooring_15m_20392468_20210803.csv");
    const std::string dsc =
        description({}, "hobo_qu5.dsc", fs::path(TARVO_TESTS_APP) / "hobo_qu5.dsc");
    const Execution e = lancer({dsc});
    ASSERT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, (sortie_ / "QU5_horaire.txt").string() + "\n");
    std::istringstream resultat(lire(sortie_ / "QU5_horaire.txt"));
    std::vector<std::string> lignes;
    for (std::string l; std::getline(resultat, l);) lignes.push_back(l);
    ASSERT_EQ(lignes.size(), 4U);
    EXPECT_EQ(lignes[1], "16/06/2021 15:00:00\t35,471\t3\r");
    EXPECT_TRUE(lignes[2].starts_with("16/06/2021 16:00:00\t28,16")) << lignes[2];
    EXPECT_TRUE(fs::exists(sortie_ / "QU5_horaire.txt.TXT"));
}

// Two more real exports, each with the description kept beside this test; the expected
// values are read by eye in the files. Keller: tab-separated, day-first dates without
// leading zeros, one reading every six hours. Solinst: date and time in two columns,
// hourly means of four quarter-hour levels.
TEST_F(TarvoLot, ConvertitDAutresVraisFichiers) {
    struct Cas {
        std::string dossier, fichier, description, resultat;
        std::vector<std::string> lignes;  // the title line, then the values
    };
    const std::vector<Cas> cas = {
        {"keller-logger",
         "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt",
         "keller_rollegem.dsc",
         "ROLLEGEM_6h.txt",
         {"temps(Date/Time inf ou =)\tP1\tnb(4)_methode_(moyenne des n mesures OK)\r",
          "07/06/2010 18:00:00\t3,246\t1\r", "08/06/2010 00:00:00\t3,243\t1\r",
          "08/06/2010 06:00:00\t3,240\t1\r", "08/06/2010 12:00:00\t3,230\t1\r"}},
        // The title line ",Date,Time,100 ms,LEVEL,TEMPERATURE" has an empty field 1: the
        // titles of columns 2 and 5 are "Date" and "LEVEL".
        // (19:00, 20:00]: 691.6322, 691.6058, 691.3594, 691.3843 → 691.495425;
        // (20:00, 21:00]: 691.4439, 691.6416, 691.5913, 691.6797 → 691.589125.
        {"solinst-levelogger",
         "solinst_level_testfile.csv",
         "solinst_level.dsc",
         "solinst_horaire.txt",
         {"Date\tLEVEL\tnb(2)_methode_(moyenne des n mesures OK)\r",
          "23/11/2016 20:00:00\t691,495\t4\r", "23/11/2016 21:00:00\t691,589\t4\r"}},
    };
    for (const Cas& c : cas) {
        for (const auto& f : fs::directory_iterator(donnees_))
            if (f.is_regular_file()) fs::remove(f.path());
        fs::copy_file(fs::path(TARVO_DONNEES_REELLES) / c.dossier / c.fichier,
                      donnees_ / c.fichier);
        const std::string dsc =
            description({}, c.description, fs::path(TARVO_TESTS_APP) / c.description);
        const Execution e = lancer({dsc});
        ASSERT_EQ(e.statut, 0) << c.fichier << "\n" << e.erreurs;
        EXPECT_EQ(e.sortie, (sortie_ / c.resultat).string() + "\n");
        std::istringstream resultat(lire(sortie_ / c.resultat));
        std::vector<std::string> lignes;
        for (std::string l; std::getline(resultat, l);) lignes.push_back(l);
        EXPECT_EQ(lignes, c.lignes) << c.fichier;
    }
}

// Two layouts of real recorders, each in its own data folder: an Onset export read with
// quoted fields, whose title line ends with its separator, and a tide recorder whose title
// line names 2 of its 5 blank-separated fields. Every measurement column is written.
TEST_F(TarvoLot, ToutesLesColonnesDesDonneesSontEcrites) {
    struct Cas {
        std::string nom, contenu;
        std::map<std::string, std::string> cles;
        std::vector<std::string> lignes;  // the title line, then the values
        bool titres_manquants;
    };
    const std::map<std::string, std::string> communes = {
        {"Edit_num_ligne_intitule_col.text", "1"},
        {"Edit_num_ligne_donnee.text", "2"},
        {"CheckBox_col_cochee.Checked", "false"},
        {"Edit_masque.text", "txt"},
        {"Label_min_dsc.caption", "01/06/2024 00:00:00"},
        {"Label_max_dsc.caption", "01/06/2024 02:00:00"}};
    const std::vector<Cas> cas = {
        {"onset",
         "Date Heure,Level,Temp,\r\n01/06/2024 01:00:00,1.5,12.5,7\r\n",
         {{"RadioGroup_separateur_colonne_ItemIndex", "3"},
          {"CheckBox_champs_guillemets.Checked", "true"}},
         {"temps(Date Heure inf ou =);Level;Temp;;nb(3)_methode_(moyenne des n mesures OK)\r",
          "01/06/2024 00:00:00;NA;NA;NA;0\r", "01/06/2024 01:00:00;1,500;12,500;7,000;1\r",
          "01/06/2024 02:00:00;NA;NA;NA;0\r"},
         false},
        {"maree",
         "Date Heure\r\n01/06/2024 01:00:00 1.52 12.5 7\r\n01/06/2024 02:00:00 1.61 12.6 8\r\n",
         {{"RadioGroup_separateur_colonne_ItemIndex", "1"},
          {"RadioGroup_datetime_nb_col_ItemIndex", "1"}},
         {"Date;colonne 3;colonne 4;colonne 5;nb(3)_methode_(moyenne des n mesures OK)\r",
          "01/06/2024 00:00:00;NA;NA;NA;0\r", "01/06/2024 01:00:00;1,520;12,500;7,000;1\r",
          "01/06/2024 02:00:00;1,610;12,600;8,000;1\r"},
         true},
    };
    for (const Cas& c : cas) {
        const fs::path dossier = racine_ / c.nom;
        fs::create_directories(dossier);
        std::ofstream(dossier / (c.nom + ".txt"), std::ios::binary) << c.contenu;
        auto cles = communes;
        cles.insert(c.cles.begin(), c.cles.end());
        cles["Edit_nom_fic_sortie.text"] = c.nom;
        const Execution e =
            lancer({"--debut", "01/06/2024 00:00:00", "--fin", "01/06/2024 02:00:00", "--donnees",
                    dossier.string(), description(cles, c.nom + ".dsc")});
        ASSERT_EQ(e.statut, 0) << c.nom << "\n" << e.erreurs;
        // No question: the layout is a normal one.
        EXPECT_FALSE(e.erreurs.starts_with("? ") || contient(e.erreurs, "\n? ")) << c.nom << "\n"
                                                                                 << e.erreurs;
        std::istringstream resultat(lire(sortie_ / (c.nom + ".txt")));
        std::vector<std::string> lignes;
        for (std::string l; std::getline(resultat, l);) lignes.push_back(l);
        EXPECT_EQ(lignes, c.lignes) << c.nom;
        const std::string attendu =
            "!!! la ligne d'intitulés n°1 ne nomme que 2 des 5 colonnes des données => intitulés "
            "ajoutés : colonne 3 à colonne 5\n";
        const auto p = e.erreurs.find(attendu);
        EXPECT_EQ(p != std::string::npos, c.titres_manquants) << c.nom << "\n" << e.erreurs;
        if (p != std::string::npos) {
            EXPECT_EQ(e.erreurs.find(attendu, p + 1), std::string::npos) << "said once";
        }
    }
}

// The shipped files are what the generator writes: whoever changes one changes the other.
TEST_F(TarvoLot, LExempleLivreEstCeQueLeGenerateurEcrit) {
    const fs::path ici = racine_ / "regenere";
    const std::string commande = "python3 '" +
                                 (fs::path(TARVO_EXEMPLES) / "generer_exemple.py").string() +
                                 "' '" + ici.string() + "'";
    ASSERT_EQ(std::system(commande.c_str()), 0);
    std::size_t nb = 0;
    for (const auto& f : fs::directory_iterator(ici)) {
        EXPECT_EQ(lire(f.path()), lire(fs::path(TARVO_EXEMPLES) / f.path().filename())) << f.path();
        ++nb;
    }
    EXPECT_EQ(nb, 4U);
}

// A line longer than any logger writes is reported and left out whatever the block size (a
// block larger than the line holds it whole), and a last line without a line end is read.
TEST_F(TarvoLot, UneLigneTropLongueEstSignaleeEtLaDerniereSansFinEstLue) {
    for (const auto& f : fs::directory_iterator(donnees_))
        if (f.is_regular_file()) fs::remove(f.path());
    std::string texte = "Station\r\nDate Heure;Niveau (m);Temp;Cond\r\n";
    for (int i = 0; i < 12; ++i) {
        const std::string niveau = i == 5 ? std::string(3 << 19U, '7') : "1," + std::to_string(i);
        texte += "01/06/2024 00:" + std::to_string(10 + i * 2) + ":00;" + niveau + ";14,0;433";
        if (i < 11) texte += "\r\n";
    }
    std::ofstream(donnees_ / "a.csv", std::ios::binary) << texte;
    for (const std::string bloc : {"64", "16384"}) {
        const Execution e = lancer({"--bloc", bloc, "--debut", "01/06/2024 00:00:00", "--fin",
                                    "01/06/2024 01:00:00", "--pas", "00:10:00", description()});
        EXPECT_EQ(e.statut, 0) << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, "ligne 8 pb 01/06/2024 00:20:00;7777777777")) << e.erreurs;
        const std::string resultat = lire(sortie_ / "LeGue_horaire.txt");
        // 00:20 holds 00:12 … 00:18, the long line at 00:20 left out; 00:40 the last line alone.
        EXPECT_TRUE(contient(resultat, "01/06/2024 00:20:00;1,250;14,000;433,000;4\r\n"))
            << resultat;
        EXPECT_TRUE(contient(resultat, "01/06/2024 00:40:00;1,110;14,000;433,000;1\r\n"))
            << resultat;
        EXPECT_TRUE(contient(lire(sortie_ / "LeGue_horaire.txt.TXT"), "ligne 8 pb"));
        fs::remove(sortie_ / "LeGue_horaire.txt");
        fs::remove(sortie_ / "LeGue_horaire.txt.TXT");
    }
}

// A data file without a data line (no byte, or titles only) is listed without data and left
// out of the run with one line; it never sets the columns, whatever its place in the list, and
// the run's status is what the other files give: 4 when nothing valid is left.
TEST_F(TarvoLot, UnFichierSansDonneesEstIgnoreEtSigneParSonStatut) {
    struct Cas {
        std::string contenu;  // of a_vide.csv, listed first
        bool seul;            // the example's files removed
        int statut;
        std::string ligne;  // said on standard error
    };
    const std::vector<Cas> cas = {
        {"", false, 0, "fichier VIDE => "},
        {"Station\r\nDate Heure;Niveau (m);Temp;Cond\r\n", false, 0,
         "fichier sans ligne de données, non traité => "},
        {"Station\r\nDate Heure;Niveau (m);Temp;Cond\r\n", true, 4,
         "fichier sans ligne de données, non traité => "},
    };
    for (const Cas& c : cas) {
        if (c.seul)
            for (const auto& f : fs::directory_iterator(donnees_))
                if (f.is_regular_file()) fs::remove(f.path());
        std::ofstream(donnees_ / "a_vide.csv", std::ios::binary) << c.contenu;
        for (const auto& f : fichiers_sortie()) fs::remove(f);
        const Execution e = lancer({"--silencieux", description()});
        EXPECT_EQ(e.statut, c.statut) << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.ligne + (donnees_ / "a_vide.csv").string() + "\n"))
            << e.erreurs;
        const std::string resultat = lire(sortie_ / "LeGue_horaire.txt");
        EXPECT_TRUE(resultat.starts_with("temps(Date Heure inf ou =);Niveau (m);") || c.seul)
            << resultat.substr(0, 200);
        EXPECT_TRUE(c.seul || contient(resultat, "01/06/2024 01:00:00;1,210;13,855;431,333;6"));
        EXPECT_EQ(contient(e.erreurs,
                           "dates des fichiers : aucune, les fichiers n'ont pas de ligne "
                           "de données"),
                  c.seul)
            << e.erreurs;
        EXPECT_FALSE(contient(e.erreurs, "1899")) << e.erreurs;
    }
}

// An all-NA result is written (status 0), but says so on standard error: every value below
// the lowest one the description keeps, or a period that holds no measurement.
TEST_F(TarvoLot, UnResultatToutNAEstSignale) {
    struct Cas {
        std::string min_na;
        std::vector<std::string> periode;
        bool tout_na;
    };
    const std::vector<Cas> cas = {
        {"", {}, false},
        {"100000", {}, true},
        {"", {"--debut", "01/01/2023", "--fin", "02/01/2023"}, true},
    };
    for (const Cas& c : cas) {
        auto args = c.periode;
        args.insert(args.end(), {"--silencieux", description({{"Edit_min_na.text", c.min_na}})});
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, c.tout_na ? 4 : 0) << e.erreurs;
        EXPECT_FALSE(e.sortie.empty());
        EXPECT_EQ(contient(e.erreurs,
                           "tarvo-lot : attention, le résultat ne contient aucune "
                           "valeur : toutes ses valeurs sont NA"),
                  c.tout_na)
            << c.min_na << "\n"
            << e.erreurs;
    }
}

// A result written without one valid value exits with 4, so that a script can tell it from
// a conversion that produced something; the result is still written and its path printed.
TEST_F(TarvoLot, UnResultatSansValeurValideSort4) {
    struct Cas {
        std::string nom;
        std::map<std::string, std::string> cles;
        std::vector<std::string> options;
        int statut;
        std::string boite;  // the closing warning, "" when the run ends well
    };
    const std::vector<Cas> cas = {
        {"normal", {}, {}, 0, ""},
        {"min", {{"Edit_min_na.text", "100000"}}, {}, 4, "AUCUNE VALEUR VALIDE"},
        {"max", {{"Edit_max_na.text", "-100000"}}, {"--silencieux"}, 4, "AUCUNE VALEUR VALIDE"},
        {"periode",
         {},
         {"--debut", "01/01/2023", "--fin", "02/01/2023"},
         4,
         "AUCUNE LIGNE EXTRAITE"},
    };
    for (const Cas& c : cas) {
        auto args = c.options;
        args.insert(args.end(), {"--nom", c.nom, description(c.cles, c.nom + ".dsc")});
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, c.statut) << c.nom << "\n" << e.erreurs;
        const fs::path resultat = sortie_ / (c.nom + ".txt");
        EXPECT_EQ(e.sortie, resultat.string() + "\n") << c.nom;
        EXPECT_TRUE(fs::exists(resultat)) << c.nom;
        const std::string ligne =
            "tarvo-lot : attention, le résultat ne contient aucune valeur : toutes ses valeurs "
            "sont NA dans " +
            resultat.string() + " (";
        EXPECT_EQ(contient(e.erreurs, ligne), c.statut == 4) << c.nom << "\n" << e.erreurs;
        EXPECT_EQ(contient(e.erreurs, "AUCUNE"), !c.boite.empty()) << c.nom << "\n" << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.boite)) << c.nom << "\n" << e.erreurs;
        // Status 4 exactly when no data cell of the file holds anything but NA.
        std::istringstream lignes(lire(resultat));
        std::string ligne_resultat;
        std::getline(lignes, ligne_resultat);
        int valeurs = 0;
        while (std::getline(lignes, ligne_resultat)) {
            std::vector<std::string> champs;
            std::istringstream l(ligne_resultat.substr(0, ligne_resultat.find('\r')));
            for (std::string champ; std::getline(l, champ, ';');) champs.push_back(champ);
            for (std::size_t i = 1; i + 1 < champs.size(); ++i) valeurs += champs[i] != "NA";
        }
        EXPECT_EQ(valeurs == 0, c.statut == 4) << c.nom << " " << valeurs;
    }
}

// Lines whose date cannot be read are counted on standard error with the first of them, even
// in silence: a wrong date pattern must not end as a plain success.
TEST_F(TarvoLot, DesLignesRejeteesSontDitesSurLaSortieDErreur) {
    std::ofstream(donnees_ / "LeGue_2024-06-05.csv", std::ios::binary | std::ios::app)
        << "32/06/2024 10:00:00;1,2;14,0;430\r\nxx/06/2024 11:00:00;1,3;14,1;431\r\n";
    const Execution e = lancer({"--silencieux", description()});
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs,
                         "2 lignes rejetées (date illisible ou inexistante), la "
                         "première :"))
        << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "LeGue_2024-06-05.csv ligne ")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, " : 32/06/2024 10:00:00;1,2;14,0;430")) << e.erreurs;
}

}  // namespace

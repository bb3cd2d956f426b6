// The batch program run as a real process: its options, exit statuses, answer policy and
// what it writes where.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "formats/cp1252.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

// A copy of the shipped example in a directory of its own, with descriptions made from
// the example's by replacing some keys.
class TarvoLot : public ::testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo-lot-test-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        donnees_ = racine_ / "donnees";
        // The output beside the data under EXPORT: the layout the program expects, so that
        // no directory question comes before the one a test is about.
        sortie_ = donnees_ / "EXPORT";
        fs::create_directories(sortie_);
        for (const auto& f : fs::directory_iterator(TARVO_EXEMPLES))
            if (f.path().extension() == ".csv")
                fs::copy_file(f.path(), donnees_ / f.path().filename());
    }
    void TearDown() override { fs::remove_all(racine_); }

    // The example's description with the three directories of this test and the keys given.
    std::string description(std::map<std::string, std::string> cles = {},
                            const std::string& nom = "essai.dsc",
                            const fs::path& modele = fs::path(TARVO_EXEMPLES) /
                                                     "LeGue_horaire.dsc") {
        cles.emplace("dossier_choisi", donnees_.string() + "/");
        cles.emplace("dossier_choisi_sortie", sortie_.string() + "/");
        cles.emplace("dossier_description", racine_.string() + "/");
        const fs::path p = racine_ / nom;
        std::ofstream(p, std::ios::binary) << description_modifiee(lire(modele), cles);
        return p.string();
    }

    std::vector<fs::path> fichiers_sortie() const {
        std::vector<fs::path> v;
        for (const auto& f : fs::directory_iterator(sortie_)) v.push_back(f.path());
        return v;
    }

    fs::path racine_, donnees_, sortie_;
};

bool contient(const std::string& texte, const std::string& morceau) {
    return texte.find(morceau) != std::string::npos;
}

TEST(TarvoLotOptions, AideEtVersionSurLaSortieStandard) {
    const Execution aide = lancer({"--help"});
    EXPECT_EQ(aide.statut, 0);
    EXPECT_TRUE(aide.erreurs.empty());
    for (const char* option :
         {"--debut", "--fin", "--pas", "--unite", "--nombre", "--test-strict", "--decalage-jours",
          "--donnees", "--sortie", "--nom", "--oui", "--silencieux", "--version", "Utilisation",
          "Codes de sortie", "entrée standard"})
        EXPECT_TRUE(contient(aide.sortie, option)) << option;
    const Execution version = lancer({"--version"});
    EXPECT_EQ(version.statut, 0);
    EXPECT_TRUE(version.sortie.starts_with("tarvo-lot ")) << version.sortie;
}

TEST(TarvoLotOptions, LAideDitPlusieursDescriptionsEtLeCode4) {
    const Execution aide = lancer({"--help"});
    EXPECT_EQ(aide.statut, 0);
    for (const char* texte : {"--travaux", "DESCRIPTION ...", "ligne vide",
                              "==> description <==", "2, puis 1, 3, 4, et 0",
                              "  4  résultat écrit, mais aucune valeur valide"})
        EXPECT_TRUE(contient(aide.sortie, texte)) << texte << "\n" << aide.sortie;
    EXPECT_FALSE(contient(aide.sortie, "--rang-description")) << "the children's own option";
}

TEST(TarvoLotOptions, MauvaiseUtilisationSort2SansRienEcrire) {
    struct Cas {
        std::vector<std::string> args;
        std::string extrait;  // of the French message, when it matters
    };
    const std::vector<Cas> cas = {
        {{}, "il manque le fichier de description"},
        {{"a.dsc", "--inconnue"}, "argument ou option inconnu : --inconnue"},
        {{"--inconnue", "a.dsc"}, ""},
        {{"--debut", "32/01/2024 00:00:00", "a.dsc"}, ""},
        {{"--debut", "2024-01-01", "a.dsc"}, ""},
        {{"--fin", "29/02/2023", "a.dsc"}, ""},
        {{"--pas", "24:00:00", "a.dsc"}, ""},
        {{"--pas", "1:00", "a.dsc"}, ""},
        {{"--pas", "00:00:00", "a.dsc"}, ""},
        {{"--unite", "semaine", "a.dsc"}, ""},
        {{"--nombre", "0", "a.dsc"}, ""},
        {{"--nombre", "401", "--unite", "jour", "a.dsc"}, ""},
        {{"--nombre", "deux", "a.dsc"}, "--nombre attend un nombre entier : deux"},
        {{"--decalage-jours", "1.5", "a.dsc"}, "--decalage-jours attend un nombre entier : 1.5"},
        {{"--decalage-jours", "-1", "a.dsc"}, ""},
        {{"a.dsc", "--debut"}, "--debut attend une valeur"},
        {{"--nombre", "1", "--nombre", "2", "a.dsc"}, "--nombre ne peut être donnée qu'une fois"},
        {{"--debut", "\x1b[2J", "a.dsc"}, "--debut attend \"JJ/MM/AAAA hh:mm:ss\" : \\x1B[2J"},
    };
    for (const auto& c : cas) {
        const Execution e = lancer(c.args);
        std::string vu;
        for (const auto& a : c.args) vu += a + " ";
        EXPECT_EQ(e.statut, 2) << vu;
        EXPECT_TRUE(e.sortie.empty()) << vu;
        EXPECT_TRUE(e.erreurs.starts_with("tarvo-lot : ")) << vu << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.extrait)) << vu << e.erreurs;
        // The option parser's own English never reaches the user.
        for (const char* anglais : {"Could not", "required", "received", "convert"})
            EXPECT_FALSE(contient(e.erreurs, anglais)) << vu << e.erreurs;
        EXPECT_EQ(e.erreurs.find('\x1b'), std::string::npos) << "typed text shown escaped";
    }
}

TEST_F(TarvoLot, CeQuiEmpecheLeTraitementSort1) {
    const std::string dsc = description();
    struct Cas {
        std::vector<std::string> args;
        std::string message;
    };
    const fs::path fichier = racine_ / "pas-un-dossier";
    std::ofstream(fichier) << "x";
    const std::vector<Cas> cas = {
        {{(racine_ / "absente.dsc").string()}, "fichier de description introuvable"},
        {{"--donnees", (racine_ / "nulle-part").string(), dsc}, "répertoire des données"},
        {{"--sortie", fichier.string(), dsc}, "répertoire de sortie"},
        {{"--sortie", (racine_ / "nulle-part").string(), dsc}, "répertoire de sortie"},
        {{"--donnees", racine_.string(), dsc}, "aucun fichier *.csv"},
        // Refused before any memory is taken for the grid.
        {{"--debut", "01/01/1900 00:00:00", "--fin", "01/01/2100 00:00:00", "--pas", "00:00:01",
          dsc},
         "la liste horodatée compterait 6 311 433 601 lignes"},
        {{description({{"Label_min_dsc.caption", "01/06/2O24 00:00:00"}}, "typo.dsc")},
         "la date de début de la période n'est pas lisible"},
    };
    for (const auto& c : cas) {
        const Execution e = lancer(c.args);
        EXPECT_EQ(e.statut, 1) << c.message;
        EXPECT_TRUE(e.sortie.empty()) << c.message;
        EXPECT_TRUE(contient(e.erreurs, c.message)) << e.erreurs;
    }
    EXPECT_TRUE(fichiers_sortie().empty());
}

// A title line far wider than any logger's stops the listing, nothing written.
TEST_F(TarvoLot, UnFichierTropLargeSort1) {
    const fs::path large = racine_ / "large";
    fs::create_directories(large);
    std::string titres = "Station\r\nDate Heure", donnees = "01/06/2024 00:00:00";
    for (int k = 1; k <= 20000; ++k) {
        titres += ";T" + std::to_string(k);
        donnees += ";1,5";
    }
    std::ofstream(large / "large.csv", std::ios::binary) << titres << "\r\n" << donnees << "\r\n";
    const Execution e = lancer({"--donnees", large.string(), description()});
    EXPECT_EQ(e.statut, 1);
    EXPECT_TRUE(contient(e.erreurs, "le fichier large.csv compte 20 001 colonnes")) << e.erreurs;
    EXPECT_TRUE(fichiers_sortie().empty());
}

// What a run holds is weighed on the rows and the kept columns before anything is reserved:
// a wide file of which three columns are kept converts, all its columns over the same period
// are refused with the memory they would take, and nothing is written.
TEST_F(TarvoLot, LaMemoireSeMesureAuxColonnesGardees) {
    const fs::path large = racine_ / "tres-large";
    fs::create_directories(large);
    std::string titres = "Station\r\nDate Heure", donnees;
    for (int k = 1; k < 16384; ++k) titres += ";T" + std::to_string(k);
    for (const char* date : {"01/01/2024 00:00:00", "01/03/2024 00:00:00", "01/05/2024 00:00:00"}) {
        donnees += date;
        for (int k = 1; k < 16384; ++k) donnees += ";1";
        donnees += "\r\n";
    }
    std::ofstream(large / "large.csv", std::ios::binary) << titres << "\r\n" << donnees;
    const std::vector<std::string> periode = {
        "--donnees", large.string(),        "--debut", "01/01/2024 00:00:00",
        "--fin",     "01/05/2024 00:00:00", "--pas",   "01:00:00"};
    struct Cas {
        std::string nom;
        std::map<std::string, std::string> cles;
        int statut;
        std::string message;
    };
    const std::vector<Cas> cas = {
        {"trois colonnes",
         {{"CheckBox_col_cochee.Checked", "true"}, {"Edit_col_cochee.text", "2,3,4"}},
         0,
         ""},
        {"toutes",
         {},
         1,
         "le résultat compterait 2 905 lignes de 16 385 colonnes : le traitement demanderait "
         "jusqu'à 2,3 Go de mémoire"},
    };
    for (const Cas& c : cas) {
        fs::remove_all(sortie_);
        fs::create_directories(sortie_);
        std::vector<std::string> args = periode;
        args.push_back(description(c.cles, "large.dsc"));
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, c.statut) << c.nom << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.message)) << c.nom << e.erreurs;
        EXPECT_EQ(fichiers_sortie().empty(), c.statut != 0) << c.nom;
    }
}

TEST_F(TarvoLot, UneDescriptionIllisibleSort1) {
    const std::string dsc = description({{"RadioGroup_methode_ItemIndex", "moyenne"}});
    const Execution e = lancer({dsc});
    EXPECT_EQ(e.statut, 1);
    EXPECT_TRUE(contient(e.erreurs, "n'est pas une valeur entière correcte")) << e.erreurs;
    EXPECT_TRUE(e.sortie.empty());
}

// A description that holds no key, or that cannot be read, stops the run before anything is
// listed: every default would otherwise list the root of the file system.
TEST_F(TarvoLot, UneDescriptionSansCleSort1) {
    const std::string utf16 = [] {
        std::string t = "\xFF\xFE";
        for (const char c : std::string("Edit_masque.text= *.csv\r\n")) t += {c, '\0'};
        return t;
    }();
    static constexpr char binaire[] =
        "\x7F"
        "ELF\x02\x01\x01\0\0\0=\xFF\xFE";
    struct Cas {
        std::string nom, contenu, message;
    };
    const std::vector<Cas> cas = {
        {"vide.dsc", "", "ne contient aucune clé"},
        {"binaire.dsc", std::string(binaire, sizeof binaire - 1), "ne contient aucune clé"},
        {"utf16.dsc", utf16, "ne contient aucune clé"},
    };
    for (const auto& c : cas) {
        const fs::path p = racine_ / c.nom;
        std::ofstream(p, std::ios::binary) << c.contenu;
        const Execution e = lancer({p.string()});
        EXPECT_EQ(e.statut, 1) << c.nom;
        EXPECT_TRUE(contient(e.erreurs, c.message)) << c.nom << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, "n'a pas pu être lue")) << c.nom << e.erreurs;
        EXPECT_FALSE(contient(e.erreurs, "aucun fichier")) << c.nom << e.erreurs;
    }
    EXPECT_TRUE(fichiers_sortie().empty());

    // Unreadable by the user who runs it (root reads everything: run as nobody).
    const std::string prive = description({}, "prive.dsc");
    fs::permissions(prive, fs::perms::none);
    fs::permissions(racine_, fs::perms::others_exec | fs::perms::others_read,
                    fs::perm_options::add);
    if (::geteuid() == 0) {
        const Execution e = lancer({prive}, "/dev/null",
                                   {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        EXPECT_EQ(e.statut, 1);
        EXPECT_TRUE(contient(e.erreurs, "Impossible d'ouvrir le fichier " + prive)) << e.erreurs;
    }
}

// A description written by hand goes through the checks the window's fields make: the
// extraction list is cleaned (the warning on standard error, the run going on), an
// unknown method is refused before anything is read.
TEST_F(TarvoLot, LesReglagesEcritsALaMainSontControles) {
    struct Cas {
        std::map<std::string, std::string> cles;
        int statut;
        std::string titres;  // the result's title line, "" when no result
        std::string erreur;  // expected on standard error
    };
    const std::vector<Cas> cas = {
        // Column 1 holds the date: it is taken out of the list, not written as all-NA.
        {{{"CheckBox_col_cochee.Checked", "true"}, {"Edit_col_cochee.text", "1,3"}},
         0,
         "temps(Date Heure inf ou =);Température (°C);nb(",
         "Il a fallu enlever le n° de la colonne date/time"},
        // "." reads as ",": columns 2 and 4.
        {{{"CheckBox_col_cochee.Checked", "true"}, {"Edit_col_cochee.text", "2.4"}},
         0,
         "temps(Date Heure inf ou =);Niveau (m);Conductivité (µS/cm);nb(",
         ""},
        {{{"RadioGroup_methode_ItemIndex", "7"}}, 1, "", "RadioGroup_methode_ItemIndex"},
        {{{"RadioGroup_methode_ItemIndex", "-1"}}, 1, "", "les valeurs permises vont de 0 à 5"},
        {{{"Edit_min_mesures_valides.text", "-2"}},
         1,
         "",
         "Le minimum de mesures valides par pas <-2> n'est pas un entier positif ou nul"},
        {{{"Edit_min_mesures_valides.text", "beaucoup"}}, 1, "", "<beaucoup> n'est pas un entier"},
        // A date column outside the files' 4 columns: refused, not an all-NA result.
        {{{"Edit_num_col_datetime.text", "9999"}},
         1,
         "",
         "la colonne de date/heure n°9999 n'existe pas : les fichiers comptent 4 colonnes"},
        {{{"Edit_num_col_datetime.text", "0"}}, 1, "", "la colonne de date/heure n°0 n'existe pas"},
        {{{"Edit_num_col_datetime.text", "-3"}}, 1, "", "la colonne de date/heure n°-3 n'existe"},
        // Blanks as the separator: the listing finds no date and its question stops the
        // whole call with the status of a run given up, before any file is written.
        {{{"RadioGroup_separateur_colonne_ItemIndex", "1"}}, 3, "", "Problème de date"},
    };
    for (const Cas& c : cas) {
        const std::string vu = c.cles.begin()->second;
        for (const auto& f : fichiers_sortie()) fs::remove(f);
        const Execution e = lancer({description(c.cles)});
        ASSERT_EQ(e.statut, c.statut) << vu << "\n" << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.erreur)) << vu << "\n" << e.erreurs;
        if (c.statut != 0) {
            EXPECT_TRUE(fichiers_sortie().empty()) << vu;
            continue;
        }
        const std::string resultat = cp1252_vers_utf8(lire(sortie_ / "LeGue_horaire.txt"));
        const std::string titres = resultat.substr(0, resultat.find('\r'));
        EXPECT_TRUE(contient(titres, c.titres)) << vu << "\n" << titres;
        // Every value of the first written hour is there, none NA.
        const std::string ligne = resultat.substr(
            titres.size() + 2, resultat.find('\r', titres.size() + 2) - titres.size() - 2);
        EXPECT_FALSE(contient(ligne, "NA")) << vu << "\n" << ligne;
    }
}

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

TEST_F(TarvoLot, UnPressePapierSansEntreeSort1) {
    const Execution e = lancer({description({{"Edit_masque.text", "ppp"}})});
    EXPECT_EQ(e.statut, 1);
    EXPECT_TRUE(contient(e.erreurs, "le presse-papier est vide! ...")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "l'entrée standard est vide")) << e.erreurs;
    EXPECT_TRUE(e.sortie.empty());
    EXPECT_TRUE(fichiers_sortie().empty());
}

// Standard input a terminal: nothing was piped in, so nothing is waited for.
TEST_F(TarvoLot, UnPressePapierDepuisUnTerminalSort1) {
    const int maitre = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(maitre, 0);
    ASSERT_EQ(grantpt(maitre), 0);
    ASSERT_EQ(unlockpt(maitre), 0);
    const Execution e = lancer({description({{"Edit_masque.text", "ppp"}})}, ptsname(maitre));
    close(maitre);
    EXPECT_EQ(e.statut, 1);
    EXPECT_TRUE(contient(e.erreurs, "lit les données sur l'entrée standard")) << e.erreurs;
    EXPECT_TRUE(fichiers_sortie().empty());
}

TEST_F(TarvoLot, LesConfirmationsDesReglagesSontAcceptees) {
    const std::string dsc = description(
        {{"CheckBox_decalage_actif.Checked", "true"}, {"TimePicker_decalage", "01:00:00"}});
    const Execution e = lancer({"--decalage-jours", "2", dsc});
    EXPECT_TRUE(contient(e.erreurs, "? Le décalage des dates de mesure n'est pas nul\n"))
        << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "?    + 2 j 01:00:00\n")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "continuer ? \n> Oui\n")) << e.erreurs;
    EXPECT_EQ(e.statut, 0) << e.erreurs;
}

TEST_F(TarvoLot, LesPropositionsDeChangerLesReglagesSontRefusees) {
    struct Cas {
        std::vector<std::string> args;
        std::map<std::string, std::string> cles;
        std::vector<std::string> attendus;  // question lines then answers, in order
    };
    const std::vector<Cas> cas = {
        {{"--unite", "jour", "--debut", "01/06/2024 06:00:00"},
         {},
         {"le test sur les dates devrait être (inf strict)", "> Non\n", "--- PAR JOUR",
          "> Continuer\n"}},
        {{"--unite", "jour", "--test-strict", "--debut", "01/06/2024 06:00:00"},
         {},
         {"--- PAR JOUR", "> Continuer\n"}},
        {{},
         {{"CheckBox_cumul_corriger.Checked", "true"}},
         {"Il faudrait choisir l'option <max des n  mesures OK >", "> Non\n"}},
    };
    for (const auto& c : cas) {
        auto args = c.args;
        args.push_back(description(c.cles));
        const Execution e = lancer(args);
        std::size_t depuis = 0;
        for (const auto& attendu : c.attendus) {
            const auto p = e.erreurs.find(attendu, depuis);
            ASSERT_NE(p, std::string::npos) << attendu << "\n" << e.erreurs;
            depuis = p + attendu.size();
        }
        // With the strict test already chosen, nothing proposes it.
        if (std::find(c.args.begin(), c.args.end(), "--test-strict") != c.args.end()) {
            EXPECT_FALSE(contient(e.erreurs, "devrait être (inf strict)")) << e.erreurs;
        }
        EXPECT_EQ(e.statut, 0) << e.erreurs;
        EXPECT_TRUE(e.sortie.empty() == (e.statut != 0));
    }
}

TEST_F(TarvoLot, OuiRepondLePremierBoutonPartout) {
    const std::string dsc = description();
    const Execution e = lancer({"--oui", "--unite", "jour", "--debut", "01/06/2024 06:00:00", dsc});
    EXPECT_TRUE(contient(e.erreurs, "corriger cette option (Oui / Non)\n> Oui\n")) << e.erreurs;
    EXPECT_TRUE(contient(e.erreurs, "-> 00:00:00\n> Corriger\n")) << e.erreurs;
    EXPECT_EQ(e.statut, 0) << e.erreurs;

    // Oui to "annuler pour modifier ?" is the user's own choice to stop.
    const Execution cumul =
        lancer({"--oui", description({{"CheckBox_cumul_corriger.Checked", "true"}})});
    EXPECT_EQ(cumul.statut, 3) << cumul.erreurs;
    EXPECT_TRUE(cumul.sortie.empty());
}

TEST_F(TarvoLot, LesDonneesQuiSemblentFaussesAnnulentLeTraitement) {
    // The level column read as the date: the first date cannot be read.
    const std::string dsc = description({{"Edit_num_col_datetime.text", "2"}});
    for (const bool oui : {false, true}) {
        const Execution e = oui ? lancer({"--oui", dsc}) : lancer({dsc});
        EXPECT_EQ(e.statut, 3) << e.erreurs;
        EXPECT_TRUE(e.sortie.empty());
        EXPECT_TRUE(contient(e.erreurs, "? Problème de date : vérifier les paramètres"))
            << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, "Ouvrir le fichier et annuler le traitement ?\n> Oui\n"))
            << e.erreurs;
    }
    EXPECT_TRUE(fichiers_sortie().empty());
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

// What a directory holds, each file with its bytes.
std::map<std::string, std::string> contenu_dossier(const fs::path& dossier) {
    std::map<std::string, std::string> c;
    for (const auto& f : fs::directory_iterator(dossier)) c[f.path().filename()] = lire(f.path());
    return c;
}

// A tmpfs mounted for the life of the object, where the machine allows it (root).
class DisqueMinuscule {
public:
    DisqueMinuscule(const fs::path& ou, const std::string& taille) : chemin_(ou) {
        fs::create_directories(ou);
        const std::string options = "size=" + taille;
        monte_ = mount("tarvo-test", ou.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!monte_) raison_ = std::strerror(errno);
    }
    ~DisqueMinuscule() {
        if (monte_) umount2(chemin_.c_str(), MNT_DETACH);
    }
    DisqueMinuscule(const DisqueMinuscule&) = delete;
    DisqueMinuscule& operator=(const DisqueMinuscule&) = delete;
    bool monte() const { return monte_; }
    const std::string& raison() const { return raison_; }
    unsigned long long pages_libres() const {
        struct statvfs s {};
        statvfs(chemin_.c_str(), &s);
        return s.f_bavail;
    }

private:
    fs::path chemin_;
    bool monte_ = false;
    std::string raison_;
};

constexpr std::uintmax_t page = 4096;
std::uintmax_t pages(std::uintmax_t octets) {
    return (octets + page - 1) / page;
}

// A disk that fills while the pair is written: the new result would fit, its tracking file
// then would not. Both are written before either is renamed, so the old pair stays whole,
// nothing is left behind, and the message says that nothing was replaced.
TEST_F(TarvoLot, UnDisquePleinLaisseLAnciennePaireEntiere) {
    const DisqueMinuscule disque(racine_ / "disque", "4m");
    if (!disque.monte()) GTEST_SKIP() << "no tmpfs can be mounted here: " << disque.raison();
    // Many files make a tracking file of several pages: its table has a line per file.
    for (const auto& f : fs::directory_iterator(TARVO_EXEMPLES))
        if (f.path().extension() == ".csv")
            for (int i = 1; i <= 20; ++i)
                fs::copy_file(f.path(),
                              donnees_ / (std::to_string(i) + "_" + f.path().filename().string()));
    const std::string dsc = description();
    const std::vector<std::string> args = {"--silencieux", "--sortie",
                                           (racine_ / "disque").string(), dsc};
    const fs::path resultat = racine_ / "disque" / "LeGue_horaire.txt";
    const fs::path suivi = racine_ / "disque" / "LeGue_horaire.txt.TXT";

    // The new pair's size, measured where it will go.
    ASSERT_EQ(lancer(args).statut, 0);
    const std::uintmax_t p_resultat = pages(fs::file_size(resultat));
    const std::uintmax_t p_suivi = pages(fs::file_size(suivi));
    ASSERT_GE(p_suivi, 3U);
    // The old pair: two hours, a one-page result.
    fs::remove(resultat);
    fs::remove(suivi);
    auto court = args;
    court.insert(court.begin(), {"--fin", "01/06/2024 02:00:00"});
    ASSERT_EQ(lancer(court).statut, 0);
    ASSERT_EQ(pages(fs::file_size(resultat)), 1U);

    // Room for the new result and all but two pages of its tracking file: enough for the
    // tracking file once the old result's page is freed, had the result been renamed first.
    const std::uintmax_t libres = p_resultat + p_suivi - 2;
    ASSERT_GT(disque.pages_libres(), libres);
    std::ofstream(racine_ / "disque" / "plein", std::ios::binary)
        << std::string((disque.pages_libres() - libres) * page, 'x');
    ASSERT_EQ(disque.pages_libres(), libres);
    const auto avant = contenu_dossier(racine_ / "disque");

    const Execution e = lancer(args);
    EXPECT_EQ(e.statut, 1) << e.erreurs;
    EXPECT_TRUE(e.sortie.empty());
    EXPECT_TRUE(contient(e.erreurs,
                         "tarvo-lot : le fichier résultat n'a pas pu être écrit : "
                         "rien n'a été remplacé ni créé dans " +
                             (racine_ / "disque").string() + "/\n"))
        << e.erreurs;
    EXPECT_TRUE(contenu_dossier(racine_ / "disque") == avant) << "the old pair is whole";
}

// A directory or a pipe where the result or its tracking file would go is refused: nothing
// is replaced, nothing is created, and the message says what stands there.
TEST_F(TarvoLot, UnNomOccupeParAutreChoseQuUnFichierEstRefuse) {
    struct Cas {
        std::string nom;  // where the obstacle stands
        bool tube;        // a named pipe, else a directory
        std::string nature;
    };
    const std::vector<Cas> cas = {
        {"LeGue_horaire.txt.TXT", false, "c'est un dossier"},
        {"LeGue_horaire.txt", false, "c'est un dossier"},
        {"LeGue_horaire.txt", true, "c'est un tube nommé (fifo)"},
        {"LeGue_horaire.txt.TXT", true, "c'est un tube nommé (fifo)"},
    };
    const std::string dsc = description();
    for (const Cas& c : cas) {
        fs::remove_all(sortie_);
        fs::create_directories(sortie_);
        const fs::path obstacle = sortie_ / c.nom;
        if (c.tube)
            ASSERT_EQ(mkfifo(obstacle.c_str(), 0600), 0);
        else
            fs::create_directories(obstacle);
        const Execution e = lancer({"--silencieux", dsc});
        EXPECT_EQ(e.statut, 1) << c.nom << "\n" << e.erreurs;
        EXPECT_TRUE(e.sortie.empty()) << e.sortie;
        EXPECT_TRUE(
            contient(e.erreurs, "Impossible de remplacer " + obstacle.string() + " : " + c.nature))
            << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, "rien n'a été remplacé ni créé dans " + sortie_.string()))
            << e.erreurs;
        EXPECT_EQ(std::distance(fs::directory_iterator(sortie_), {}), 1) << c.nom;
        EXPECT_EQ(fs::symlink_status(obstacle).type(),
                  c.tube ? fs::file_type::fifo : fs::file_type::directory);
    }
}

// Links planted in a shared output folder: at the old fixed names of the temporaries and at the
// result's name. Nothing outside the folder is written; the result replaces the link itself.
TEST_F(TarvoLot, LesLiensPlantesNeDetournentRien) {
    const fs::path ailleurs = racine_ / "ailleurs";
    fs::create_directories(ailleurs);
    std::ofstream(ailleurs / "precieux.txt", std::ios::binary) << "precieux";
    const fs::path resultat = sortie_ / "LeGue_horaire.txt";
    fs::create_symlink(ailleurs / "precieux.txt", resultat);
    fs::create_symlink(ailleurs / "a", sortie_ / "LeGue_horaire.txt.~ecriture");
    fs::create_symlink(ailleurs / "b", sortie_ / "LeGue_horaire.txt.TXT.~ecriture");
    const Execution e = lancer({"--silencieux", description()});
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(e.sortie, resultat.string() + "\n");
    EXPECT_EQ(lire(ailleurs / "precieux.txt"), "precieux");
    EXPECT_EQ(std::distance(fs::directory_iterator(ailleurs), {}), 1) << "nothing created there";
    EXPECT_EQ(fs::symlink_status(resultat).type(), fs::file_type::regular);
    EXPECT_TRUE(contient(lire(resultat), "05/06/2024 13:00:00;"));
    EXPECT_TRUE(fs::is_regular_file(sortie_ / "LeGue_horaire.txt.TXT"));
}

// A result name is one file name: a NUL, a path or a directory's name would write elsewhere or
// over something else. Refused before anything is read; nothing is written.
TEST_F(TarvoLot, UnNomDeResultatQuiNEstPasUnNomDeFichierEstRefuse) {
    struct Cas {
        std::string nom;  // Edit_nom_fic_sortie, as the description holds it
        std::string raison;
    };
    const std::vector<Cas> cas = {
        {std::string("keep.dat\0x", 10), "il contient un caractère de contrôle"},
        {"../evasion", "il contient « / » ou « \\ »"},
        {"sous\\nom", "il contient « / » ou « \\ »"},
        {".", "« . » et « .. » désignent des répertoires"},
        {"..", "« . » et « .. » désignent des répertoires"},
        {std::string(240, 'n'), "il est trop long (244 octets, 233 au plus)"},
    };
    std::ofstream(sortie_ / "keep.dat", std::ios::binary) << "garder";
    for (const Cas& c : cas) {
        const Execution e =
            lancer({"--silencieux", description({{"Edit_nom_fic_sortie.text", c.nom}})});
        EXPECT_EQ(e.statut, 1) << e.erreurs;
        EXPECT_TRUE(e.sortie.empty()) << e.sortie;
        EXPECT_TRUE(contient(e.erreurs, "tarvo-lot : Le nom du fichier résultat <")) << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.raison)) << e.erreurs;
        EXPECT_EQ(std::distance(fs::directory_iterator(sortie_), {}), 1) << e.erreurs;
        EXPECT_EQ(lire(sortie_ / "keep.dat"), "garder");
        EXPECT_FALSE(fs::exists(donnees_ / "evasion"));
    }
}

// A signal or a failure at each step of putting the pair in place: before the renames the old
// pair stays whole and the status says interrupted; once the first rename has begun the run
// finishes (a signal is held until the pair is in place) and says so; a failed second rename
// puts the old result back. The moment is injected, never waited for.
TEST_F(TarvoLot, LaPaireEstRemplaceeEnUneFois) {
    struct Cas {
        std::string essai;  // TARVO_LOT_ESSAI
        std::string masque;
        int statut;
        bool nouvelle;  // the new pair in place, else the old one whole
        std::string message;
    };
    const std::vector<Cas> cas = {
        {"avant_renommages:signal=2", "csv", 128 + SIGINT, false, ""},
        {"avant_renommages:signal=15", "ppp", 128 + SIGTERM, false, ""},
        {"entre_renommages:signal=15", "csv", 0, true, ""},
        {"entre_renommages:signal=1", "ppp", 0, true, ""},
        {"apres_renommages:signal=15", "csv", 0, true, ""},
        {"avant_renommages:erreur=5", "csv", 1, false, "rien n'a été remplacé ni créé"},
        {"entre_renommages:erreur=5", "csv", 1, false, "rien n'a été remplacé ni créé"},
        {"entre_renommages:erreur=28", "ppp", 1, false, "disque plein"},
    };
    const fs::path seul = racine_ / "seul";
    const fs::path sortie = seul / "EXPORT";
    const fs::path travail = racine_ / "travail";
    fs::create_directories(sortie);
    fs::create_directories(travail);
    const fs::path csv = donnees_ / "LeGue_2024-06-05.csv";
    fs::copy_file(csv, seul / csv.filename());
    const std::string resultat = (sortie / "LeGue_horaire.txt").string();
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.essai + " " + c.masque);
        fs::remove_all(sortie);
        fs::create_directories(sortie);
        const std::string dsc = description({{"Edit_masque.text", c.masque},
                                             {"dossier_choisi", seul.string() + "/"},
                                             {"dossier_choisi_sortie", sortie.string() + "/"}},
                                            c.masque + ".dsc");
        const std::vector<std::string> args = {
            "--silencieux", "--debut", "05/06/2024 12:00:00", "--fin", "10/06/2024 09:00:00", dsc};
        ASSERT_EQ(lancer(args, csv.string()).statut, 0);
        const auto ancienne = contenu_dossier(sortie);
        ASSERT_EQ(ancienne.size(), 2U);

        auto seconde = args;
        seconde.insert(seconde.begin(), {"--pas", "00:30:00"});
        const Execution e =
            terminer(demarrer(seconde, csv.string(), {},
                              {"TMPDIR=" + travail.string(), "TARVO_LOT_ESSAI=" + c.essai}));
        EXPECT_EQ(e.statut, c.statut) << e.erreurs;
        EXPECT_EQ(e.sortie, c.nouvelle ? resultat + "\n" : "");
        EXPECT_TRUE(contient(e.erreurs, c.message)) << e.erreurs;
        const auto apres = contenu_dossier(sortie);
        ASSERT_EQ(apres.size(), 2U) << "the pair alone, no temporary left";
        if (c.nouvelle) {
            EXPECT_TRUE(contient(apres.at("LeGue_horaire.txt"), "05/06/2024 12:30:00;"));
            EXPECT_TRUE(contient(apres.at("LeGue_horaire.txt.TXT"), "00:30:00"));
        } else {
            EXPECT_TRUE(apres == ancienne) << "the old pair whole";
        }
        EXPECT_TRUE(fs::is_empty(travail)) << "the work directory is removed";
    }
}

// The directories are what the description and the options name: a batch run proposes none,
// asks nothing about an output directory that is not "<data>/EXPORT", and says which one is
// missing instead.
TEST_F(TarvoLot, LesRepertoiresNommesNeDemandentRien) {
    struct Cas {
        std::string description_sortie;  // dossier_choisi_sortie of the description
        std::vector<std::string> options;
        int statut;
        std::string message;  // on standard error
    };
    const std::string ailleurs = (racine_ / "ailleurs").string();
    const std::string absent = (racine_ / "absent").string();
    fs::create_directories(ailleurs);
    const std::vector<Cas> cas = {
        {ailleurs + "/", {}, 0, ""},
        {ailleurs + "/", {"--silencieux"}, 0, ""},
        {absent + "/", {"--sortie", ailleurs}, 0, ""},
        {absent + "/",
         {},
         1,
         "tarvo-lot : le répertoire de sortie n'existe pas ou n'accepte pas d'écriture : " +
             absent + "/ (option --sortie)\n"},
    };
    for (const Cas& c : cas) {
        fs::remove_all(ailleurs);
        fs::create_directories(ailleurs);
        auto args = c.options;
        args.push_back(description({{"dossier_choisi_sortie", c.description_sortie}}));
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, c.statut) << e.erreurs;
        EXPECT_FALSE(e.erreurs.starts_with("? ") || contient(e.erreurs, "\n? "))
            << "nothing asked:\n"
            << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.message)) << e.erreurs;
        EXPECT_FALSE(contient(e.erreurs, "EXPORT n'existe pas")) << e.erreurs;
        EXPECT_FALSE(fs::exists(absent));
    }
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

TEST_F(TarvoLot, PlusieursDescriptionsMalDemandeesSort2) {
    const std::string a = description({}, "a.dsc");
    fs::create_directories(racine_ / "sous");
    const std::string a_encore = (racine_ / "sous" / ".." / "a.dsc").string();
    struct Cas {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Cas> cas = {
        {{"--nom", "x", a, description({}, "b.dsc")}, "--nom ne sert qu'avec une seule"},
        {{a, a_encore}, "la description " + a_encore + " est donnée deux fois"},
        {{"--travaux", "0", a, "b.dsc"}, "--travaux attend un nombre entier de 1 à 256 : 0"},
        {{"--travaux", "257", a}, "--travaux attend un nombre entier de 1 à 256 : 257"},
        {{"--travaux", "deux", a}, "--travaux attend un nombre entier : deux"},
    };
    for (const auto& c : cas) {
        const Execution e = lancer(c.args);
        EXPECT_EQ(e.statut, 2) << c.message << "\n" << e.erreurs;
        EXPECT_TRUE(e.sortie.empty()) << c.message;
        EXPECT_TRUE(contient(e.erreurs, "tarvo-lot : " + c.message)) << e.erreurs;
    }
    EXPECT_TRUE(fichiers_sortie().empty());
}

// Several descriptions in one call: one line each on standard output, in the order given
// (empty for one that wrote nothing), each one's messages kept together under its name, the
// gravest status, and the very result files each gives alone, for any number of jobs.
TEST_F(TarvoLot, PlusieursDescriptionsUneLigneChacuneDansLOrdre) {
    const std::map<std::string, std::string> dsc = {
        {"horaire", description({{"Edit_nom_fic_sortie.text", "horaire"}}, "horaire.dsc")},
        {"maxima", description({{"Edit_nom_fic_sortie.text", "maxima"},
                                {"RadioGroup_methode_ItemIndex", "2"},
                                {"Label_pas_dsc.caption", "06:00:00"}},
                               "maxima.dsc")},
        {"vide", description({{"Edit_nom_fic_sortie.text", "vide"}, {"Edit_min_na.text", "100000"}},
                             "vide.dsc")},
        {"refusee", description({{"RadioGroup_methode_ItemIndex", "7"}}, "refusee.dsc")},
        {"abandon", description({{"RadioGroup_separateur_colonne_ItemIndex", "1"}}, "abandon.dsc")},
    };
    // Each one alone first: what a call on several must give again.
    std::map<std::string, std::string> seul;
    for (const char* nom : {"horaire", "maxima", "vide"}) {
        const Execution e = lancer({"--silencieux", dsc.at(nom)});
        ASSERT_EQ(e.sortie, (sortie_ / (std::string(nom) + ".txt")).string() + "\n") << e.erreurs;
        seul[nom] = lire(sortie_ / (std::string(nom) + ".txt"));
    }
    struct Cas {
        std::vector<std::string> noms;
        std::vector<std::string> options;
        int statut;
    };
    const std::vector<Cas> cas = {
        {{"horaire", "refusee", "maxima"}, {"--travaux", "3"}, 1},
        {{"horaire", "refusee", "maxima"}, {"--travaux", "1"}, 1},
        {{"maxima", "horaire"}, {}, 0},
        {{"vide", "horaire"}, {"--travaux", "2"}, 4},
        {{"vide", "abandon", "maxima"}, {"--travaux", "3"}, 3},
        {{"abandon", "refusee", "vide"}, {"--travaux", "2", "--fils", "1"}, 1},
    };
    for (const Cas& c : cas) {
        for (const auto& f : fichiers_sortie()) fs::remove(f);
        std::vector<std::string> args = c.options;
        std::string attendue, vu;
        for (const std::string& nom : c.noms) {
            args.push_back(dsc.at(nom));
            vu += nom + " ";
            if (seul.contains(nom)) attendue += (sortie_ / (nom + ".txt")).string();
            attendue += "\n";
        }
        const Execution e = lancer(args);
        EXPECT_EQ(e.statut, c.statut) << vu << "\n" << e.erreurs;
        EXPECT_EQ(e.sortie, attendue) << vu;
        for (const std::string& nom : c.noms) {
            if (seul.contains(nom)) {
                EXPECT_EQ(lire(sortie_ / (nom + ".txt")), seul[nom]) << vu << nom;
            }
        }
        // The messages of each, together under its name, in the order of the call.
        std::vector<std::size_t> debuts;
        for (const std::string& nom : c.noms) {
            const std::string entete = "==> " + dsc.at(nom) + " <==\n";
            debuts.push_back(e.erreurs.find(entete));
            ASSERT_NE(debuts.back(), std::string::npos) << vu << nom << "\n" << e.erreurs;
            EXPECT_EQ(e.erreurs.find(entete, debuts.back() + 1), std::string::npos) << vu << nom;
        }
        EXPECT_TRUE(std::is_sorted(debuts.begin(), debuts.end())) << vu << "\n" << e.erreurs;
        EXPECT_EQ(debuts.front(), 0U) << vu << "\n" << e.erreurs;
        debuts.push_back(e.erreurs.size());
        for (std::size_t i = 0; i < c.noms.size(); ++i) {
            const std::string& nom = c.noms[i];
            const std::string bloc = e.erreurs.substr(debuts[i], debuts[i + 1] - debuts[i]);
            const std::string propre = nom == "refusee"   ? "RadioGroup_methode_ItemIndex"
                                       : nom == "abandon" ? "Problème de date"
                                       : nom == "vide"
                                           ? "sont NA dans " + (sortie_ / "vide.txt").string()
                                           : "résultat : " + (sortie_ / (nom + ".txt")).string();
            EXPECT_TRUE(contient(bloc, propre)) << vu << nom << "\n" << bloc;
            const int statut = nom == "refusee" ? 1 : nom == "abandon" ? 3 : nom == "vide" ? 4 : 0;
            EXPECT_EQ(contient(bloc, "tarvo-lot : " + dsc.at(nom) + " : code de sortie " +
                                         std::to_string(statut) + "\n"),
                      statut != 0)
                << vu << nom << "\n"
                << bloc;
        }
        EXPECT_FALSE(contient(e.erreurs, "\r")) << "no progress bar";
    }
}

// Two descriptions of one result name in one call take turns to write it: each prints its
// path, and the file left is whole, the one result or the other, with its own tracking file.
TEST_F(TarvoLot, DeuxResultatsDeMemeNomSEcriventTourATour) {
    const std::string moyennes = description({}, "moyennes.dsc");
    const std::string maxima = description({{"RadioGroup_methode_ItemIndex", "2"}}, "maxima.dsc");
    const fs::path resultat = sortie_ / "LeGue_horaire.txt";
    std::map<std::string, std::string> seuls;  // result → the description named in its tracking
    for (const std::string& d : {moyennes, maxima}) {
        ASSERT_EQ(lancer({"--silencieux", d}).statut, 0);
        seuls[lire(resultat)] = d;
    }
    ASSERT_EQ(seuls.size(), 2U);
    for (int essai = 0; essai < 6; ++essai) {
        const Execution e = lancer({"--silencieux", "--travaux", "2", moyennes, maxima});
        EXPECT_EQ(e.statut, 0) << e.erreurs;
        EXPECT_EQ(e.sortie, resultat.string() + "\n" + resultat.string() + "\n");
        const auto ecrit = seuls.find(lire(resultat));
        ASSERT_NE(ecrit, seuls.end()) << "a result of neither";
        EXPECT_TRUE(contient(lire(sortie_ / "LeGue_horaire.txt.TXT"),
                             fs::path(ecrit->second).filename().string()))
            << "the tracking file of the other";
        EXPECT_EQ(fichiers_sortie().size(), 2U) << "nothing left half-written";
    }
}

// A signal to a call on several descriptions ends every conversion: each removes its
// unfinished files and its work directory, and the call exits with 128 + the signal.
TEST_F(TarvoLot, UnSignalArreteToutesLesConversions) {
    const fs::path travail = racine_ / "travail";
    fs::create_directories(travail);
    const std::vector<std::string> args = {
        "--silencieux",
        "--travaux",
        "2",
        "--pas",
        "00:00:01",
        "--debut",
        "01/06/2024",
        "--fin",
        "15/06/2024",
        description({}, "a.dsc"),
        description({{"Edit_nom_fic_sortie.text", "b"}}, "b.dsc")};
    const Processus p = demarrer(args, "/dev/null", {}, {"TMPDIR=" + travail.string()});
    // Both children at work: each has made its work directory, and from then on a signal
    // reaches its handler (it is held until the handler knows the directory). 1.2 million
    // steps keep them far from their end.
    for (int i = 0; i < 6000 && std::distance(fs::directory_iterator(travail), {}) < 2; ++i)
        usleep(10000);
    ASSERT_EQ(std::distance(fs::directory_iterator(travail), {}), 2);
    kill(p.pid, SIGTERM);
    const Execution e = terminer(p);
    EXPECT_EQ(e.statut, 128 + SIGTERM) << e.erreurs;
    EXPECT_TRUE(e.sortie.empty()) << e.sortie;
    EXPECT_TRUE(fs::is_empty(travail)) << "the work directories are removed";
    for (const auto& f : fichiers_sortie()) EXPECT_FALSE(f.string().ends_with(".~ecriture")) << f;
}

// Control characters from a data file or a name never reach the terminal raw: ESC, BEL and
// VT from a measurement, the C1 control of byte 0x9D (OSC), and a result name holding ESC.
TEST_F(TarvoLot, LesCaracteresDeControleSontMontresEchappes) {
    struct Cas {
        std::string valeur;  // replaces the level of line 10 of the first file (Windows-1252)
        std::string nom;     // --nom
        std::string attendu_erreurs, attendu_sortie;
        int statut = 0;
    };
    const std::vector<Cas> cas = {
        {"\x1b[2J\x1b[31mrouge\x07", "LeGue",
         "pb conversion <\\x1B[2J\\x1B[31mrouge\\x07> ligne 10", ""},
        {"a\vb\x9D"
         "c\x7f",
         "LeGue", "pb conversion <a\\x0Bb\\x9Dc\\x7F> ligne 10", ""},
        // A name holding a control character is refused before anything is read.
        {"abc", "Le\x1b[31mGue",
         "Le nom du fichier résultat <Le\\x1B[31mGue> ne peut pas être écrit : il contient un "
         "caractère de contrôle",
         "", 1},
    };
    const fs::path f = donnees_ / "LeGue_2024-06-01.csv";
    const std::string original = lire(f);
    for (const Cas& c : cas) {
        std::string texte = original;
        std::size_t p = 0;
        for (int i = 1; i < 10; ++i) p = texte.find('\n', p) + 1;
        const std::size_t champ = texte.find(';', p) + 1;
        texte.replace(champ, texte.find(';', champ) - champ, c.valeur);
        std::ofstream(f, std::ios::binary) << texte;
        const Execution e = lancer({"--nom", cp1252_vers_utf8(c.nom), description()});
        EXPECT_EQ(e.statut, c.statut) << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, c.attendu_erreurs)) << e.erreurs;
        EXPECT_TRUE(e.sortie.ends_with(c.attendu_sortie)) << e.sortie;
        for (const std::string* t : {&e.erreurs, &e.sortie}) {
            for (std::size_t i = 0; i < t->size(); ++i) {
                const auto o = static_cast<unsigned char>((*t)[i]);
                const bool c1 = o == 0xC2 && i + 1 < t->size() &&
                                static_cast<unsigned char>((*t)[i + 1]) < 0xA0;
                EXPECT_FALSE((o < 0x20 && o != '\n' && o != '\t') || o == 0x7F || c1)
                    << "byte " << i << " of\n"
                    << *t;
            }
        }
    }
}

// Standard input is read up to a limit far above any pasted block (128 Mo), then refused
// with a message that states it, rather than read until memory runs out.
TEST_F(TarvoLot, UneEntreeStandardSansFinEstRefusee) {
    std::array<int, 2> tube{};
    ASSERT_EQ(pipe(tube.data()), 0);
    const pid_t ecrivain = fork();
    ASSERT_GE(ecrivain, 0);
    if (ecrivain == 0) {
        // As /dev/zero would, but ending a little past the limit.
        close(tube[0]);
        const std::vector<char> zeros(1 << 20, '\0');
        for (int i = 0; i < 129; ++i)
            if (write(tube[1], zeros.data(), zeros.size()) < 0) break;
        _exit(0);
    }
    close(tube[1]);
    const Execution e =
        lancer({description({{"Edit_masque.text", "ppp"}})}, "/dev/fd/" + std::to_string(tube[0]));
    close(tube[0]);
    kill(ecrivain, SIGKILL);
    waitpid(ecrivain, nullptr, 0);
    EXPECT_EQ(e.statut, 1);
    EXPECT_TRUE(e.sortie.empty());
    EXPECT_TRUE(contient(e.erreurs, "tarvo-lot : l'entrée standard dépasse 128 Mo")) << e.erreurs;
    EXPECT_LT(e.erreurs.size(), 4096U) << "the data is not echoed";
    EXPECT_TRUE(fichiers_sortie().empty());
}

}  // namespace

namespace {

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

#include "formats/fichiers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "formats/cp1252.h"
#include "formats/provisoire.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class DossierTemporaire : public testing::Test {
protected:
    void SetUp() override {
        racine_ =
            fs::temp_directory_path() /
            ("tarvo_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(racine_);
        fs::create_directories(racine_);
    }
    void TearDown() override { fs::remove_all(racine_); }
    // A core path (Windows-1252) below the temporary directory.
    std::string chemin(const std::string& relatif) const {
        return utf8_vers_cp1252(racine_.string()) + "/" + relatif;
    }
    void creer(const std::string& relatif_utf8, const std::string& contenu) const {
        const fs::path p = racine_ / relatif_utf8;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << contenu;
    }
    fs::path racine_;
};

TEST(DecouperLignes, FinsDeLigne) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(decouper_lignes("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(decouper_lignes("a\nb"), (V{"a", "b"}));
    EXPECT_EQ(decouper_lignes("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(decouper_lignes("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(decouper_lignes("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(decouper_lignes(""), V{});
}

TEST(DecouperLignes, FichierReelEnCRSeul) {
    // An older HOBO export ends its lines with CR alone.
    const auto contenu =
        lire_fichier(std::string(TARVO_DONNEES_REELLES) +
                     "/onset-hobo/north_beach_surfgrass_20387239_20190218_rawdata.csv");
    ASSERT_TRUE(contenu);
    const auto lignes = decouper_lignes(*contenu);
    EXPECT_EQ(lignes.size(),
              static_cast<std::size_t>(std::count(contenu->begin(), contenu->end(), '\r')));
    EXPECT_GT(lignes.size(), 100u);
    for (const auto l : lignes) EXPECT_EQ(l.find_first_of("\r\n"), std::string_view::npos);
}

TEST_F(DossierTemporaire, LigneParametre) {
    const std::string f = chemin("tarvo.prm");
    EXPECT_EQ(lire_ligne_parametre(f, 1), "");  // no file yet
    std::ofstream(racine_ / "tarvo.prm", std::ios::binary) << "un\r\ndeux\r\n";
    EXPECT_EQ(ecrire_ligne_parametre(fr("trois é"), f, 3), "");
    const auto contenu = lire_fichier(f);
    ASSERT_TRUE(contenu);
    EXPECT_EQ(
        *contenu, "un\r\ndeux\r\ntrois \xE9\r\n" + [] {
            std::string s;
            for (int i = 0; i < 57; ++i) s += "\r\n";
            return s;
        }());
    EXPECT_EQ(lire_ligne_parametre(f, 2), "deux");
    EXPECT_EQ(lire_ligne_parametre(f, 3), "trois \xE9");
    EXPECT_EQ(lire_ligne_parametre(f, 60), "");
    EXPECT_EQ(lire_ligne_parametre(f, 0), "");
    EXPECT_EQ(lire_ligne_parametre(f, 61), "");
}

TEST_F(DossierTemporaire, LigneParametreAuDelaDe60) {
    const std::string f = chemin("tarvo.prm");
    ecrire_fichier_une_ligne("garde", f);
    EXPECT_EQ(ecrire_ligne_parametre("x", f, 61),
              " max_parametre = 60\n augmenter ce nombre dans le source...");
    EXPECT_EQ(lire_fichier(f), std::string("garde\r\n"));
}

TEST_F(DossierTemporaire, LignesAuDelaDe60Abandonnees) {
    std::string ancien;
    for (int i = 1; i <= 70; ++i) ancien += std::to_string(i) + "\r\n";
    creer("p.prm", ancien);
    EXPECT_EQ(ecrire_ligne_parametre("x", chemin("p.prm"), 1), "");
    EXPECT_EQ(decouper_lignes(*lire_fichier(chemin("p.prm"))).size(), 60u);
    EXPECT_EQ(lire_ligne_parametre(chemin("p.prm"), 60), "60");
}

TEST_F(DossierTemporaire, EcritureEchoueSansRienAbimer) {
    EXPECT_THROW(ecrire_fichier_atomique(chemin("absent/f.txt"), "x"), ErreurFichier);
    // A directory where the file should go: the rename fails, no stray copy remains.
    fs::create_directories(racine_ / "cible" / "plein");
    EXPECT_THROW(ecrire_fichier_atomique(chemin("cible"), "x"), ErreurFichier);
    EXPECT_TRUE(fs::is_directory(racine_ / "cible" / "plein"));
    EXPECT_EQ(std::distance(fs::directory_iterator(racine_), fs::directory_iterator()), 1);
}

TEST_F(DossierTemporaire, EcritureGardeLienEtDroits) {
    creer("vrai.dsc", "ancien");
    fs::permissions(racine_ / "vrai.dsc",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(racine_ / "vrai.dsc", racine_ / "lien.dsc");
    ecrire_fichier_atomique(chemin("lien.dsc"), "nouveau");
    EXPECT_TRUE(fs::is_symlink(racine_ / "lien.dsc"));
    EXPECT_EQ(lire_fichier(chemin("vrai.dsc")), std::string("nouveau"));
    EXPECT_EQ(fs::status(racine_ / "vrai.dsc").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// What the disk held when the program asked for its copy to be flushed.
struct VuALaSynchronisation {
    static inline int appels = 0;
    static inline long long taille_provisoire = -1;
    static inline std::string cible;  // the target's content at that moment
    static inline fs::path chemin_cible;
    static inline int erreur = 0;  // errno to fail with, 0 to flush for real
    static int synchroniser(int descripteur) {
        ++appels;
        struct stat etat {};
        taille_provisoire = ::fstat(descripteur, &etat) == 0 ? etat.st_size : -1;
        std::ifstream f(chemin_cible, std::ios::binary);
        cible.assign(std::istreambuf_iterator<char>(f), {});
        if (erreur == 0) return ::fsync(descripteur);
        errno = erreur;
        return -1;
    }
};

// A power cut just after the rename must find the whole new text on the disk, so the flush
// comes once everything is written and before the old file is replaced; a failed flush
// replaces nothing.
TEST_F(DossierTemporaire, LaCopieEstSurLeDisqueAvantDeRemplacerLAncienne) {
    using V = VuALaSynchronisation;
    creer("resultat.txt", "ancien");
    V::chemin_cible = racine_ / "resultat.txt";
    const std::string texte(100000, 'x');
    {
        V::appels = 0;
        V::erreur = 0;
        FichierProvisoire copie(chemin("resultat.txt"), texte, &V::synchroniser);
        copie.mettre_en_place();
    }
    EXPECT_EQ(V::appels, 1);
    EXPECT_EQ(V::taille_provisoire, static_cast<long long>(texte.size()));
    EXPECT_EQ(V::cible, "ancien");
    EXPECT_EQ(lire_fichier(chemin("resultat.txt")), texte);

    V::appels = 0;
    V::erreur = EIO;
    EXPECT_THROW(FichierProvisoire(chemin("resultat.txt"), "court", &V::synchroniser),
                 ErreurFichier);
    EXPECT_EQ(V::appels, 1);
    EXPECT_EQ(lire_fichier(chemin("resultat.txt")), texte);
    EXPECT_EQ(std::distance(fs::directory_iterator(racine_), fs::directory_iterator()), 1);
}

TEST_F(DossierTemporaire, ListerFichiers) {
    creer("b.CSV", "12345");
    creer("a.csv", "1");
    creer("c.txt", "");
    creer("~tmp.csv", "");
    creer("sub/d.csv", "12");
    creer("sub/~e.csv", "");
    creer(".cache/e.csv", "");
    creer("Z.csv", "");
    creer("\xC3\xA9t\xC3\xA9.csv", "");  // "été.csv" on disk, in UTF-8
    creer("\xE6\x97\xA5.csv", "");       // no Windows-1252 name: left out, but said

    for (const std::string masque : {"*.csv", ".csv", "csv", "CSV"}) {
        const auto l = lister_fichiers(chemin(""), masque, true);
        EXPECT_EQ(l.lignes, (std::vector<std::string>{"  \ta.csv  \t1", "  \tb.CSV  \t5",
                                                      "sub/  \td.csv  \t2", "  \tZ.csv  \t0",
                                                      "  \t\xE9t\xE9.csv  \t0"}))
            << masque;
        EXPECT_EQ(l.premier, "a.csv");
        EXPECT_EQ(l.noms_ignores, std::vector<std::string>{"\xE6\x97\xA5.csv"});
    }
    EXPECT_EQ(lister_fichiers(chemin(""), "csv", false).nb(), 4);
    // A name pattern applies to the files of each sub-directory walked; "?" is one character
    // of the name, an accented letter too.
    const struct {
        std::string masque;
        std::vector<std::string> lignes;
    } motifs[] = {
        {"?.csv", {"  \ta.csv  \t1", "  \tb.CSV  \t5", "sub/  \td.csv  \t2", "  \tZ.csv  \t0"}},
        {"???.CSV", {"  \t\xE9t\xE9.csv  \t0"}},
        {"\xC9T*", {"  \t\xE9t\xE9.csv  \t0"}},
        {"[a-z].csv", {}},
    };
    for (const auto& m : motifs)
        EXPECT_EQ(lister_fichiers(chemin(""), m.masque, true).lignes, m.lignes) << m.masque;
    const auto tous = lister_fichiers(chemin(""), "*.*", false);
    EXPECT_EQ(tous.nb(), 5);  // every file but the "~" one and the unnamed one
    EXPECT_EQ(tous.lignes[2], "  \tc.txt  \t0");
    EXPECT_EQ(lister_fichiers(chemin("absent"), "csv", true).nb(), 0);
}

// An entry of the mask that is no file is set apart with what it is; a directory the walk
// enters, a hidden one and a "~" name are not.
TEST_F(DossierTemporaire, LesEntreesQuiNeSontPasDesFichiersSontMisesAPart) {
    creer("a.csv", "1");
    ASSERT_EQ(mkfifo((racine_ / "tube.csv").c_str(), 0600), 0);
    fs::create_directory_symlink("/dev", racine_ / "lien.csv");
    fs::create_symlink("/dev/null", racine_ / "nul.csv");
    fs::create_symlink(racine_ / "absent", racine_ / "perdu.csv");
    creer("dossier.csv/b.csv", "2");
    ASSERT_EQ(mkfifo((racine_ / "~tube.csv").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((racine_ / "tube.txt").c_str(), 0600), 0);
    creer(".cache.csv/c.csv", "");
    using N = ListeFichiers::NonLu;
    const auto nature = [](const N& n) { return n.chemin + " : " + cp1252_vers_utf8(n.nature); };
    struct Cas {
        bool recursif;
        std::vector<std::string> lignes, non_lus;
    };
    const std::vector<Cas> cas = {
        {false,
         {"  \ta.csv  \t1"},
         {"dossier.csv : un répertoire", "lien.csv : un lien vers un répertoire",
          "nul.csv : un lien vers un périphérique", "perdu.csv : un lien sans cible",
          "tube.csv : un tube nommé (FIFO)"}},
        {true,
         {"  \ta.csv  \t1", "dossier.csv/  \tb.csv  \t1"},
         {"lien.csv : un lien vers un répertoire", "nul.csv : un lien vers un périphérique",
          "perdu.csv : un lien sans cible", "tube.csv : un tube nommé (FIFO)"}},
    };
    for (const Cas& c : cas) {
        const auto l = lister_fichiers(chemin(""), "csv", c.recursif);
        EXPECT_EQ(l.lignes, c.lignes) << c.recursif;
        std::vector<std::string> vus;
        for (const N& n : l.non_lus) vus.push_back(nature(n));
        EXPECT_EQ(vus, c.non_lus) << c.recursif;
    }
    EXPECT_EQ(nature_non_ordinaire(chemin("a.csv")), "");
    EXPECT_EQ(nature_non_ordinaire(chemin("absent")), "");
    EXPECT_EQ(cp1252_vers_utf8(nature_non_ordinaire(chemin("tube.txt"))), "un tube nommé (FIFO)");
}

TEST_F(DossierTemporaire, FichierConverti) {
    creer("~tmp_xls.csv", "a;b\r\n");
    const auto l = lister_fichier_converti(chemin("~tmp_xls.csv"));
    EXPECT_EQ(l.lignes, std::vector<std::string>{utf8_vers_cp1252(racine_.string()) +
                                                 "  \t~tmp_xls.csv  \t5"});
    EXPECT_EQ(l.premier, "~tmp_xls.csv");
}

}  // namespace
}  // namespace tarvo

#include "engine/lecture_blocs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../inventory/outils_inventaire.h"
#include "description/description.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "inventory/octets_fichier.h"
#include "inventory/prelecture.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

using essai::description_defaut;
using Lignes = std::vector<std::string>;

class LectureBlocs : public essai::DossierTemporaire {
protected:
    // Every line of the file as the blocks give it, tabulations and NUL bytes rewritten.
    Lignes par_blocs(const std::string& nom, std::size_t taille_bloc, bool tabulation,
                     char nul_par) const {
        const int fd = ::open(chemin(nom).c_str(), O_RDONLY);
        const auto taille = static_cast<long long>(std::filesystem::file_size(racine_ / nom));
        Descripteur garde(fd);
        LecteurBlocs lecteur(fd, taille, nom, taille_bloc);
        BlocLignes bloc;
        Lignes lignes;
        while (lecteur.suivant(bloc)) {
            bloc.decouper(tabulation, nul_par);
            for (int i = 0; i < bloc.nb_lignes(); ++i) lignes.emplace_back(bloc.ligne(i));
        }
        return lignes;
    }

    // The same file through the loader that reads it whole.
    Lignes entier(const std::string& nom, const Description& d) const {
        TamponLignes tampon;
        JournalSuivi journal;
        DialogueScripte dialogue;
        EXPECT_TRUE(
            prelire_fichier(chemin(nom), 0, d, ModeEntree::fichiers, tampon, journal, dialogue));
        Lignes lignes;
        for (int i = 0; i < tampon.nb_lignes(); ++i) lignes.emplace_back(tampon.ligne(i));
        return lignes;
    }
};

std::string utf16(const std::u16string& texte, bool gros_boutien) {
    std::string octets = gros_boutien ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : texte) {
        const auto haut = static_cast<char>(c >> 8), bas = static_cast<char>(c & 0xFF);
        octets += gros_boutien ? std::string{haut, bas} : std::string{bas, haut};
    }
    return octets;
}

// Whatever the block size, the lines are those of the whole-file loader: a CR LF, a UTF-8
// sequence or a UTF-16 pair cut by the end of a read included.
TEST_F(LectureBlocs, MemesLignesQueLeFichierEntierPourToutesLesTailles) {
    std::string long_texte;
    for (int i = 0; i < 300; ++i)
        long_texte +=
            "2024-01-01 00:" + std::to_string(10 + i % 50) + ":00;1,5;\xC3\xA9t\xC3\xA9\r\n";
    struct Cas {
        std::string nom;
        std::string contenu;
        bool tabulation = false;
        bool car_null = false;
    };
    const std::vector<Cas> cas = {
        {"vide.csv", ""},
        {"lf.csv", "t;v\na;1\nb;2\n"},
        {"crlf.csv", "t;v\r\na;1\r\n\r\nb;2"},
        {"cr.csv", "t;v\ra;1\rb;2\r"},
        {"melange.csv", "a\rb\r\nc\nd\r\r\ne\n\rf"},
        {"utf8.csv", "\xEF\xBB\xBF" + long_texte},
        {"utf8_invalide.csv", "\xEF\xBB\xBFx\xC3\n\xE2\x82y\n\xF0\x9F\x98\x80z\n\xFF\n"},
        {"utf16le.csv",
         utf16(u"t;v\r\na;1\r\n\u00e9\u20ac;\U0001F600\r\nb;2\r\n\xD800x\r\n", false)},
        {"utf16be.csv", utf16(u"t;v\na;1\n\U0001F600\U0001F600\nz", true)},
        {"utf16_impair.csv", utf16(u"a\nb", false) + "\x41"},
        {"nul.csv", std::string("t;v\na;\0;1\nb;2\n", 14)},
        {"nul_car_null.csv", std::string("t;v\na;\0;1\nb;2\n", 14), false, true},
        {"tabulation.txt", "t\tv\na\t1\r\nb\t2\n", true},
        {"long.csv", long_texte},
    };
    for (const Cas& c : cas) {
        creer(c.nom, c.contenu);
        Description d = description_defaut();
        d.CheckBox_car_null = c.car_null;
        d.RadioGroup_separateur_colonne_ItemIndex =
            c.tabulation ? Separateur::tabulation : Separateur::point_virgule;
        const Lignes attendu = entier(c.nom, d);
        const char nul_par =
            remplacement_nul(c.tabulation, c.car_null, static_cast<long long>(attendu.size()) < 4,
                             ModeEntree::fichiers);
        for (const std::size_t taille : {16, 17, 31, 64, 1000, 1 << 20})
            EXPECT_EQ(par_blocs(c.nom, taille, c.tabulation, nul_par), attendu)
                << c.nom << ", blocs de " << taille << " octets";
    }
}

// A line beyond the limit is cut to its opening bytes and flagged, and the next line comes
// whole; nothing holds the long line in memory.
TEST_F(LectureBlocs, UneLigneTropLongueEstCoupeeEtSignalee) {
    for (const std::string fin : {"\n", "\r\n", "\r"}) {
        {
            std::ofstream f(racine_ / "long.csv", std::ios::binary);
            f << "t;v" << fin;
            const std::string morceau(1 << 20, 'x');
            for (std::size_t i = 0; i <= ligne_max_octets >> 20; ++i) f << morceau;
            f << fin << "2024-01-01 00:00:00;1" << fin;
        }
        const int fd = ::open(chemin("long.csv").c_str(), O_RDONLY);
        Descripteur garde(fd);
        LecteurBlocs lecteur(
            fd, static_cast<long long>(std::filesystem::file_size(racine_ / "long.csv")),
            "long.csv", std::size_t{1} << 20);
        BlocLignes bloc;
        Lignes lignes;
        std::vector<bool> coupees;
        while (lecteur.suivant(bloc)) {
            bloc.decouper(false, '\x01');
            for (int i = 0; i < bloc.nb_lignes(); ++i) {
                lignes.emplace_back(bloc.ligne(i));
                coupees.push_back(bloc.trop_longue);
            }
        }
        EXPECT_EQ(lignes, (Lignes{"t;v", std::string(64, 'x'), "2024-01-01 00:00:00;1"}))
            << testing::PrintToString(fin);
        EXPECT_EQ(coupees, (std::vector<bool>{false, true, false}));
    }
}

// Short lines cannot pile up in one block: a block never holds more line ends than asked,
// a CR LF is never split, and the lines are those of the whole file.
TEST_F(LectureBlocs, LesLignesCourtesNeRemplissentPasUnBloc) {
    struct Cas {
        std::string nom;
        std::string contenu;
    };
    const std::vector<Cas> cas = {
        {"vides_lf.csv", "t;v\n" + std::string(5000, '\n') + "2024-01-01 00:00:00;1\n"},
        {"vides_crlf.csv", "t;v\r\n" +
                               [] {
                                   std::string s;
                                   for (int i = 0; i < 3000; ++i) s += "\r\n";
                                   return s;
                               }() +
                               "2024-01-01 00:00:00;1"},
        {"vides_cr.csv", std::string(4000, '\r') + "a;1\rb;2\r"},
        {"melange.csv", "a\r\n\n\rb\r\r\nc\n\n\r\n" + std::string(700, '\n') + "d"},
    };
    for (const Cas& c : cas) {
        creer(c.nom, c.contenu);
        const Lignes attendu = entier(c.nom, description_defaut());
        for (const std::size_t max_fins : {1, 2, 3, 7, 64, 1000}) {
            for (const std::size_t taille_bloc : {16, 100, 1 << 20}) {
                const int fd = ::open(chemin(c.nom).c_str(), O_RDONLY);
                Descripteur garde(fd);
                LecteurBlocs lecteur(fd, static_cast<long long>(c.contenu.size()), c.nom,
                                     taille_bloc, max_fins);
                BlocLignes bloc;
                Lignes lignes;
                std::size_t plus_grand = 0;
                while (lecteur.suivant(bloc)) {
                    const std::string_view o = bloc.octets();
                    plus_grand = std::max<std::size_t>(
                        plus_grand, static_cast<std::size_t>(std::count(o.begin(), o.end(), '\n') +
                                                             std::count(o.begin(), o.end(), '\r')));
                    bloc.decouper(false, '\x01');
                    for (int i = 0; i < bloc.nb_lignes(); ++i) lignes.emplace_back(bloc.ligne(i));
                }
                EXPECT_EQ(lignes, attendu)
                    << c.nom << ", " << max_fins << " fins, blocs de " << taille_bloc;
                // A CR LF may bring one line end past the bound, never more.
                EXPECT_LE(plus_grand, max_fins + 1) << c.nom << ", " << max_fins << " fins";
            }
        }
    }
}

// A file that gets shorter while it is read is refused, never read as a shorter file.
TEST_F(LectureBlocs, UnFichierRaccourciPendantLaLectureEstRefuse) {
    creer("court.csv", std::string(5000, 'a') + "\n");
    const int fd = ::open(chemin("court.csv").c_str(), O_RDONLY);
    Descripteur garde(fd);
    LecteurBlocs lecteur(fd, 20000, "court.csv", 1024);
    BlocLignes bloc;
    try {
        while (lecteur.suivant(bloc)) {
        }
        FAIL() << "aucune erreur";
    } catch (const ErreurFichier& e) {
        EXPECT_NE(std::string(e.what()).find("a raccourci pendant sa lecture"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace tarvo

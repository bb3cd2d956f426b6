// The batch program's result files: the pair written safely against a full disk, what stands
// at their names, planted links, bad names and signals; several descriptions in one call.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "montage_lot.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

// Waits, without a clock, until `dossier` holds `n` entries or the process has ended: each
// creation wakes the watch `veille`, the end of the process wakes its pidfd.
void attendre_dossiers(int veille, pid_t pid, const fs::path& dossier, std::ptrdiff_t n) {
    const int fin = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(fin, 0);
    while (std::distance(fs::directory_iterator(dossier), {}) < n) {
        pollfd attentes[2] = {{veille, POLLIN, 0}, {fin, POLLIN, 0}};
        ASSERT_GT(poll(attentes, 2, -1), 0);
        if (attentes[1].revents != 0) break;
        alignas(inotify_event) char tampon[4096];
        ASSERT_GT(read(veille, tampon, sizeof tampon), 0);
    }
    close(fin);
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
    // Watched before the start, so that no creation is missed.
    const int veille = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(veille, 0);
    ASSERT_GE(inotify_add_watch(veille, travail.c_str(), IN_CREATE), 0);
    const Processus p = demarrer(args, "/dev/null", {}, {"TMPDIR=" + travail.string()});
    // Both children at work: each has made its work directory, and from then on a signal
    // reaches its handler (it is held until the handler knows the directory). 1.2 million
    // steps keep them far from their end.
    attendre_dossiers(veille, p.pid, travail, 2);
    close(veille);
    ASSERT_EQ(std::distance(fs::directory_iterator(travail), {}), 2);
    kill(p.pid, SIGTERM);
    const Execution e = terminer(p);
    EXPECT_EQ(e.statut, 128 + SIGTERM) << e.erreurs;
    EXPECT_TRUE(e.sortie.empty()) << e.sortie;
    EXPECT_TRUE(fs::is_empty(travail)) << "the work directories are removed";
    for (const auto& f : fichiers_sortie()) EXPECT_FALSE(f.string().ends_with(".~ecriture")) << f;
}

}  // namespace

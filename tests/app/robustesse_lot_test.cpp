// The batch program against what a hostile or unlucky machine gives it: a parent killed
// under its conversions, entries that are no files, work folders of killed runs, values of a
// megabyte, numbers beyond an int.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

bool contient(const std::string& texte, const std::string& morceau) {
    return texte.find(morceau) != std::string::npos;
}

// A copy of the shipped example in a directory of its own; TMPDIR of the runs is `travail_`,
// so that their work folders can be watched.
class RobustesseLot : public ::testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo-robustesse-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        donnees_ = racine_ / "donnees";
        sortie_ = donnees_ / "EXPORT";
        travail_ = racine_ / "travail";
        fs::create_directories(sortie_);
        fs::create_directories(travail_);
        for (const auto& f : fs::directory_iterator(TARVO_EXEMPLES))
            if (f.path().extension() == ".csv")
                fs::copy_file(f.path(), donnees_ / f.path().filename());
    }
    void TearDown() override { fs::remove_all(racine_); }

    std::string description(std::map<std::string, std::string> cles = {},
                            const std::string& nom = "essai.dsc") {
        cles.emplace("dossier_choisi", donnees_.string() + "/");
        cles.emplace("dossier_choisi_sortie", sortie_.string() + "/");
        cles.emplace("dossier_description", racine_.string() + "/");
        const fs::path p = racine_ / nom;
        std::ofstream(p, std::ios::binary)
            << description_modifiee(lire(fs::path(TARVO_EXEMPLES) / "LeGue_horaire.dsc"), cles);
        return p.string();
    }

    Processus demarrer_ici(const std::vector<std::string>& args) {
        return demarrer(args, "/dev/null", {}, {"TMPDIR=" + travail_.string()});
    }
    Execution lancer_ici(const std::vector<std::string>& args) {
        return terminer(demarrer_ici(args));
    }

    // A conversion of 1.2 million steps: far from its end when a test acts on it.
    std::vector<std::string> longue(const std::vector<std::string>& descriptions) {
        std::vector<std::string> a = {"--silencieux", "--pas", "00:00:01",  "--debut",
                                      "01/06/2024",   "--fin", "15/06/2024"};
        a.insert(a.end(), descriptions.begin(), descriptions.end());
        return a;
    }

    std::vector<std::string> noms(const fs::path& dossier) const {
        std::vector<std::string> v;
        for (const auto& f : fs::directory_iterator(dossier)) v.push_back(f.path().filename());
        std::sort(v.begin(), v.end());
        return v;
    }

    fs::path racine_, donnees_, sortie_, travail_;
};

// The conversions a call has started, once each runs the program (past its exec).
std::vector<pid_t> conversions_de(pid_t parent) {
    std::vector<pid_t> v;
    for (const auto& e : fs::directory_iterator("/proc")) {
        const std::string nom = e.path().filename();
        if (nom.empty() ||
            !std::all_of(nom.begin(), nom.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const std::string stat = lire(e.path() / "stat");
        const auto fin_nom = stat.rfind(')');
        if (fin_nom == std::string::npos) continue;
        char etat = 0;
        int ppid = 0;
        if (std::sscanf(stat.c_str() + fin_nom + 1, " %c %d", &etat, &ppid) != 2) continue;
        if (ppid == parent && contient(lire(e.path() / "cmdline"), "--rang-description"))
            v.push_back(std::stoi(nom));
    }
    return v;
}

// Waits until the condition holds; false when it never did within a bound far above any
// machine's pace, which only a fault reaches.
template <class Condition>
bool attendre(Condition condition) {
    for (int i = 0; i < 12000; ++i) {
        if (condition()) return true;
        usleep(5000);
    }
    return condition();
}

// A call on several descriptions killed by SIGKILL (a timeout, a CI job ending) takes its
// conversions with it: each removes its work folder and writes nothing.
TEST_F(RobustesseLot, LesConversionsMeurentAvecLeParentTue) {
    // The orphaned conversions become children of this test, which can then see how they ended.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::vector<std::string> args = longue(
        {description({}, "a.dsc"), description({{"Edit_nom_fic_sortie.text", "b"}}, "b.dsc")});
    args.insert(args.begin(), {"--travaux", "2"});
    const Processus p = demarrer_ici(args);
    ASSERT_GT(p.pid, 0);
    std::vector<pid_t> enfants;
    ASSERT_TRUE(attendre([&] { return (enfants = conversions_de(p.pid)).size() == 2; }));
    // Held where they are, so that none can end its conversion before the parent dies.
    for (const pid_t e : enfants) kill(e, SIGSTOP);
    kill(p.pid, SIGKILL);
    waitpid(p.pid, nullptr, 0);
    close(p.sortie);
    close(p.erreurs);
    for (const pid_t e : enfants) kill(e, SIGCONT);
    for (const pid_t e : enfants) {
        int etat = 0;
        ASSERT_EQ(waitpid(e, &etat, 0), e);
        const bool par_terme = (WIFSIGNALED(etat) && WTERMSIG(etat) == SIGTERM) ||
                               (WIFEXITED(etat) && WEXITSTATUS(etat) == 128 + SIGTERM);
        EXPECT_TRUE(par_terme) << "état " << etat;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_TRUE(fs::is_empty(travail_)) << "the work folders are removed";
    EXPECT_TRUE(fs::is_empty(sortie_)) << "no result written";
}

// An entry matching the mask that is no file is named on standard error with what it is;
// the files beside it are converted.
TEST_F(RobustesseLot, UneEntreeQuiNEstPasUnFichierEstSignalee) {
    struct Cas {
        std::string nom;
        std::string masque;
        int statut;
        std::string nature;
    };
    const std::vector<Cas> cas = {
        {"tube.csv", "*.csv", 0, "un tube nommé (FIFO)"},
        {"peripherique.csv", "*.csv", 0, "un lien vers un périphérique"},
        {"dossier.csv", "*.csv", 0, "un répertoire"},
        {"perdu.csv", "*.csv", 0, "un lien sans cible"},
        // The only entry of the mask: nothing to convert, and why.
        {"seul.txt", "*.txt", 1, "un tube nommé (FIFO)"},
    };
    for (const Cas& c : cas) {
        const fs::path chemin = donnees_ / c.nom;
        if (c.nature == "un tube nommé (FIFO)")
            ASSERT_EQ(mkfifo(chemin.c_str(), 0600), 0);
        else if (c.nature == "un répertoire")
            fs::create_directory(chemin);
        else if (c.nature == "un lien sans cible")
            fs::create_symlink(racine_ / "absent", chemin);
        else
            fs::create_symlink("/dev/null", chemin);
        for (const auto& f : fs::directory_iterator(sortie_)) fs::remove(f.path());
        const Execution e = lancer_ici({description({{"Edit_masque.text", c.masque}})});
        EXPECT_EQ(e.statut, c.statut) << c.nom << "\n" << e.erreurs;
        EXPECT_TRUE(contient(e.erreurs, "fichier NON LU => " + chemin.string() + " : c'est " +
                                            c.nature + ", pas un fichier"))
            << c.nom << "\n"
            << e.erreurs;
        EXPECT_EQ(fs::exists(sortie_ / "LeGue_horaire.txt"), c.statut == 0) << c.nom;
        fs::remove(chemin);
    }
}

// A description that is no file is said to be what it is, not "introuvable".
TEST_F(RobustesseLot, UneDescriptionQuiNEstPasUnFichierEstDiteTelle) {
    const fs::path tube = racine_ / "tube.dsc";
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);
    const fs::path dossier = racine_ / "dossier.dsc";
    fs::create_directory(dossier);
    const fs::path absente = racine_ / "absente.dsc";
    const std::vector<std::pair<fs::path, std::string>> cas = {
        {tube, "la description " + tube.string() +
                   " est un tube nommé (FIFO), pas un fichier : elle n'est pas lue"},
        {dossier, "la description " + dossier.string() +
                      " est un répertoire, pas un fichier : elle n'est pas lue"},
        {absente, "fichier de description introuvable : " + absente.string()},
    };
    for (const auto& [chemin, attendu] : cas) {
        const Execution e = lancer_ici({chemin.string()});
        EXPECT_EQ(e.statut, 1) << chemin;
        EXPECT_TRUE(contient(e.erreurs, "tarvo-lot : " + attendu)) << e.erreurs;
    }
}

// The work folder of a run killed by SIGKILL is removed by the next run; a folder in use
// (locked), and whatever is not a work folder of this user, is left alone.
TEST_F(RobustesseLot, LesDossiersDeTravailAbandonnesSontRetires) {
    const Processus tue = demarrer_ici(longue({description()}));
    ASSERT_GT(tue.pid, 0);
    ASSERT_TRUE(attendre([&] { return !fs::is_empty(travail_); }));
    kill(tue.pid, SIGKILL);
    waitpid(tue.pid, nullptr, 0);
    close(tue.sortie);
    close(tue.erreurs);
    const std::vector<std::string> abandonne = noms(travail_);
    ASSERT_EQ(abandonne.size(), 1U);

    fs::create_directories(travail_ / "tarvo-lot-Abc123" / "sous");
    std::ofstream(travail_ / "tarvo-lot-Abc123" / "sous" / "tarvo.prm") << "x";
    // In use: its run holds the lock.
    fs::create_directories(travail_ / "tarvo-lot-Vivant");
    std::ofstream(travail_ / "tarvo-lot-Vivant" / "tarvo.prm") << "x";
    const int verrou = open((travail_ / "tarvo-lot-Vivant").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(verrou, 0);
    ASSERT_EQ(flock(verrou, LOCK_EX | LOCK_NB), 0);
    // Not work folders: another name, a plain file, a link to a folder.
    fs::create_directories(travail_ / "tarvo-lot-essai-1");
    std::ofstream(travail_ / "tarvo-lot-Fichie") << "x";
    fs::create_directories(racine_ / "cible");
    std::ofstream(racine_ / "cible" / "garde") << "x";
    fs::create_directory_symlink(racine_ / "cible", travail_ / "tarvo-lot-Lien12");

    const Execution e = lancer_ici({description()});
    close(verrou);
    EXPECT_EQ(e.statut, 0) << e.erreurs;
    EXPECT_EQ(noms(travail_), (std::vector<std::string>{"tarvo-lot-Fichie", "tarvo-lot-Lien12",
                                                        "tarvo-lot-Vivant", "tarvo-lot-essai-1"}));
    EXPECT_TRUE(fs::exists(travail_ / "tarvo-lot-Vivant" / "tarvo.prm"));
    EXPECT_TRUE(fs::exists(racine_ / "cible" / "garde"));
}

// A value of a megabyte (a description key) or of 100 kB (an argument: the most one may
// hold) is quoted by its first 200 characters, then "…".
TEST_F(RobustesseLot, UneValeurDemesureeEstCoupee) {
    const std::string mega(1 << 20, 'z');
    const std::string cent_ko(100000, 'z');
    const std::string coupe = std::string(200, 'z') + "…";
    struct Cas {
        std::vector<std::string> args;
        int statut;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {{"--debut", cent_ko, description({}, "d1.dsc")},
         2,
         "--debut attend \"JJ/MM/AAAA hh:mm:ss\" : " + coupe + "\n"},
        {{"--unite", cent_ko, description({}, "d2.dsc")},
         2,
         "--unite attend hms, jour, mois ou annee : " + coupe + "\n"},
        {{"--nombre", cent_ko, description({}, "d3.dsc")},
         2,
         "--nombre attend un nombre entier : " + coupe},
        {{description({}, "d4.dsc"), "--" + cent_ko},
         2,
         "argument ou option inconnu : --" + coupe.substr(0, 198) + "…"},
        {{(racine_ / cent_ko.substr(0, 250)).string()},
         1,
         "fichier de description introuvable : " + (racine_ / cent_ko).string().substr(0, 200) +
             "…\n"},
        {{description({{"Edit_min_mesures_valides.text", mega}}, "d5.dsc")},
         1,
         "Le minimum de mesures valides par pas <" + coupe +
             "> n'est pas un entier positif ou nul"},
        {{description({{"Edit_masque.text", "*." + mega}}, "d6.dsc")},
         1,
         "aucun fichier ne correspond au filtre <*." + coupe.substr(0, 198) + "…>"},
    };
    for (const Cas& c : cas) {
        const Execution e = lancer_ici(c.args);
        EXPECT_EQ(e.statut, c.statut) << c.attendu;
        EXPECT_TRUE(contient(e.erreurs, c.attendu)) << e.erreurs.substr(0, 2000);
        EXPECT_LT(e.erreurs.size(), 4096U) << c.attendu;
    }
}

// A number beyond the largest int is said too large, not "not a number".
TEST_F(RobustesseLot, UnNombreTropGrandEstDitTropGrand) {
    struct Cas {
        std::vector<std::string> args;
        int statut;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {{description({{"Edit_min_mesures_valides.text", "2147483648"}}, "d1.dsc")},
         1,
         "Le minimum de mesures valides par pas <2147483648> est trop grand : 2147483647 au plus"},
        {{description({{"Edit_min_mesures_valides.text", " +99999999999999999999 "}}, "d2.dsc")},
         1,
         "> est trop grand : 2147483647 au plus"},
        {{description({{"Edit_min_mesures_valides.text", "-2147483649"}}, "d3.dsc")},
         1,
         "Le minimum de mesures valides par pas <-2147483649> n'est pas un entier positif ou nul"},
        {{"--nombre", "2147483648", description({}, "d4.dsc")},
         2,
         "--nombre attend un nombre entier : 2147483648 est trop grand"},
        {{"--decalage-jours", "99999999999", description({}, "d5.dsc")},
         2,
         "--decalage-jours attend un nombre entier : 99999999999 est trop grand"},
        {{"--nombre", "12a", description({}, "d6.dsc")},
         2,
         "--nombre attend un nombre entier : 12a\n"},
    };
    for (const Cas& c : cas) {
        const Execution e = lancer_ici(c.args);
        EXPECT_EQ(e.statut, c.statut) << c.attendu;
        EXPECT_TRUE(contient(e.erreurs, c.attendu)) << e.erreurs;
    }
}

}  // namespace

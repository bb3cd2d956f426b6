// The batch program run as a real process: its options, exit statuses, answer policy, what it
// refuses and how it shows what it read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "montage_lot.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

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

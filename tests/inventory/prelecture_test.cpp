#include "inventory/prelecture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <optional>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "inventory/intitules.h"
#include "outils_inventaire.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

using essai::description_defaut;
using essai::donnees_reelles;
using essai::DossierTemporaire;
namespace fs = std::filesystem;
using Lignes = std::vector<std::string>;

Lignes lignes_de(const TamponLignes& tampon) {
    Lignes v;
    for (int i = 0; i < tampon.nb_lignes(); ++i) v.emplace_back(tampon.ligne(i));
    return v;
}

TEST(TamponLignes, FinsDeLigne) {
    struct Cas {
        std::string contenu;
        Lignes attendu;
    };
    const std::vector<Cas> cas = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\rb\r\nc\nd", {"a", "b", "c", "d"}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"", {}},
        {"sans fin", {"sans fin"}},
        // Longer than 16 bytes: a CR LF across two blocks, lone CRs among CR LF and LF.
        {"0123456789abcde\r\nx", {"0123456789abcde", "x"}},
        {"0123456789abcde\ry\nz", {"0123456789abcde", "y", "z"}},
        {"abc\rdef\n0123456789abcdefgh\r\n", {"abc", "def", "0123456789abcdefgh"}},
        {"0123456789abcdef\r\nx\r", {"0123456789abcdef", "x"}},
        {"un\rdeux\rtrois\rquatre\rcinq\r", {"un", "deux", "trois", "quatre", "cinq"}},
    };
    for (const Cas& c : cas) {
        TamponLignes tampon;
        tampon.charger(c.contenu);
        EXPECT_EQ(lignes_de(tampon), c.attendu) << testing::PrintToString(c.contenu);
    }
    TamponLignes tampon;
    tampon.charger("a\nb");
    EXPECT_EQ(tampon.ligne(-1), "");
    EXPECT_EQ(tampon.ligne(2), "");
}

class Prelecture : public DossierTemporaire {
protected:
    // Pre-reads a file written with the given bytes.
    bool prelire(const std::string& contenu, ModeEntree mode = ModeEntree::fichiers) {
        creer("f.txt", contenu);
        return prelire_fichier(chemin("f.txt"), static_cast<long long>(contenu.size()), d, mode,
                               tampon, journal, dialogue);
    }
    Description d = description_defaut();
    TamponLignes tampon;
    JournalSuivi journal;
    DialogueScripte dialogue;
};

TEST_F(Prelecture, OctetsRemplacesEnMemoire) {
    struct Cas {
        int separateur;  // 0 tabulation, 2 ";"
        bool car_null;
        std::string contenu;
        Lignes attendu;
    };
    using namespace std::string_literals;
    const std::string long_ = "1\n2\n3\n4\n";
    const std::vector<Cas> cas = {
        // Tabulations become ";" only when they are the separator; NUL becomes byte 1.
        {0,
         false,
         "a\tb\0c\n1\t2\n3\n4\n"s,
         {"a;b\x01"
          "c",
          "1;2", "3", "4"}},
        {2,
         false,
         "a\tb\0c\n1\t2\n3\n4\n"s,
         {"a\tb\x01"
          "c",
          "1\t2", "3", "4"}},
        // With the unreadable-character option NUL becomes "_", except with tabulations.
        {2, true, "a\0b\n"s + long_, {"a_b", "1", "2", "3", "4"}},
        {0,
         true,
         "a\0b\n"s + long_,
         {"a\x01"
          "b",
          "1", "2", "3", "4"}},
        // A file shorter than the first data line + 2 gets "_" too.
        {2, false, "a\0b\n1\n"s, {"a_b", "1"}},
    };
    for (const Cas& c : cas) {
        d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        d.CheckBox_car_null = c.car_null;
        ASSERT_TRUE(prelire(c.contenu));
        EXPECT_EQ(lignes_de(tampon), c.attendu) << testing::PrintToString(c.contenu);
    }
    EXPECT_TRUE(dialogue.vus.empty());
    // Nothing is written beside the data: the replacements happen in memory.
    EXPECT_EQ(std::distance(fs::directory_iterator(racine_), fs::directory_iterator()), 1);
}

TEST_F(Prelecture, CodagesMarquesParBom) {
    using namespace std::string_literals;
    struct Cas {
        std::string nom;
        std::string contenu;
        Lignes attendu;
    };
    const std::vector<Cas> cas = {
        {"UTF-8",
         "\xEF\xBB\xBF"
         "Temp \xC2\xB0"
         "C;\xE2\x82\xAC;\xF0\x9F\x98\x80\r\n1;2\r\n"s,
         {"Temp \xB0"
          "C;\x80;?",
          "1;2"}},
        // U+00E9, U+20AC, a surrogate pair, a lone surrogate, NUL.
        {"UTF-16LE",
         "\xFF\xFE"
         "a\0\xE9\0\xAC\x20;\0\x3D\xD8\x00\xDE\x00\xD8\r\0\n\0b\0\0\0"s,
         {"a\xE9\x80;??", "b_"}},  // a short file: NUL shows as "_"
        {"UTF-16BE", "\xFE\xFF\0x\0\r\0y\0\n\0z"s, {"x", "y", "z"}},
        // Without a mark the bytes are Windows-1252 already and stay.
        {"sans BOM",
         "Temp \xC2\xB0"
         "C\n"s,
         {"Temp \xC2\xB0"
          "C"}},
    };
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    for (const Cas& c : cas) {
        ASSERT_TRUE(prelire(c.contenu)) << c.nom;
        EXPECT_EQ(lignes_de(tampon), c.attendu) << c.nom;
    }
}

TEST_F(Prelecture, FichierOuvertAilleursRefuse) {
    creer("verrou.csv", "Date;T\n2023/12/25 08:00:00;1\n");
    const std::string c = chemin("verrou.csv");
    // Another program writing the file holds a lock on it.
    const int autre = ::open(c.c_str(), O_RDONLY);
    ASSERT_GE(autre, 0);
    ASSERT_EQ(::flock(autre, LOCK_EX | LOCK_NB), 0);
    tampon.charger("ancien\n");
    EXPECT_FALSE(prelire_fichier(c, 30, d, ModeEntree::fichiers, tampon, journal, dialogue));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::fichier_ouvert_ailleurs);
    EXPECT_EQ(dialogue.vus[0].texte, "Le fichier " + c +
                                         "\n\n est ouvert par une autre application,\n\n"
                                         " solution => Fermer le fichier ");
    EXPECT_EQ(lignes_de(tampon), Lignes{"ancien"});  // the buffer is left as it was
    ::close(autre);
    EXPECT_TRUE(prelire_fichier(c, 30, d, ModeEntree::fichiers, tampon, journal, dialogue));
    EXPECT_EQ(tampon.nb_lignes(), 2);

    // Another run reading the same file only shares it.
    const int lecteur = ::open(c.c_str(), O_RDONLY);
    ASSERT_GE(lecteur, 0);
    ASSERT_EQ(::flock(lecteur, LOCK_SH | LOCK_NB), 0);
    EXPECT_TRUE(prelire_fichier(c, 30, d, ModeEntree::fichiers, tampon, journal, dialogue));
    EXPECT_EQ(dialogue.vus.size(), 1u);
    ::close(lecteur);
}

// What stands in a data file's place may be no file: refused at once with the reason, never
// waited on (a FIFO would block the open until a writer came).
TEST_F(Prelecture, CeQuiNEstPasUnFichierEstRefuse) {
    creer("vrai.csv", "Date;T\n2023/12/25 08:00:00;1\n");
    ASSERT_EQ(::mkfifo(chemin("tube.csv").c_str(), 0600), 0);
    fs::create_directory(chemin("dossier.csv"));
    fs::create_symlink(chemin("boucle.csv"), chemin("boucle.csv"));
    fs::create_symlink(chemin("vrai.csv"), chemin("lien.csv"));
    struct Cas {
        std::string nom;
        std::string message;  // empty: read
    };
    const std::vector<Cas> cas = {
        {"tube.csv",
         " n'est pas un fichier ordinaire (dossier, tube ou périphérique) : il n'est "
         "pas lu"},
        {"dossier.csv",
         " n'est pas un fichier ordinaire (dossier, tube ou périphérique) : il "
         "n'est pas lu"},
        {"boucle.csv", " trop de liens symboliques (boucle)"},
        {"lien.csv", ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        DialogueScripte vu;
        const bool lu =
            prelire_fichier(chemin(c.nom), 30, d, ModeEntree::fichiers, tampon, journal, vu);
        EXPECT_EQ(lu, c.message.empty());
        if (c.message.empty()) {
            EXPECT_EQ(tampon.nb_lignes(), 2);
            continue;
        }
        ASSERT_EQ(vu.vus.size(), 1u);
        // A loop of links cannot even be looked at; the others are not plain files.
        EXPECT_EQ(vu.ids[0], c.nom == "boucle.csv" ? IdMessage::fichier_illisible
                                                   : IdMessage::fichier_pas_ordinaire);
        EXPECT_EQ(vu.vus[0].type, TypeMessage::erreur);
        EXPECT_EQ(vu.vus[0].texte, "Le fichier " + chemin(c.nom) + "\n\n" + fr(c.message));
    }
}

// A file the user may not read says so, not that another program holds it. Run as an
// unprivileged user in a child, as root reads everything.
TEST_F(Prelecture, LectureRefuseeDitPourquoi) {
    creer("prive.csv", "Date;T\n2023/12/25 08:00:00;1\n");
    const std::string c = chemin("prive.csv");
    ::chmod(c.c_str(), 0);
    std::array<int, 2> tube{};
    ASSERT_EQ(::pipe(tube.data()), 0);
    const pid_t enfant = ::fork();
    ASSERT_GE(enfant, 0);
    if (enfant == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        DialogueScripte vu;
        const bool lu = prelire_fichier(c, 30, d, ModeEntree::fichiers, tampon, journal, vu);
        const std::string texte = lu || vu.vus.empty() ? std::string("lu") : vu.vus[0].texte;
        ::ssize_t ignore = ::write(tube[1], texte.data(), texte.size());
        (void)ignore;
        ::_exit(0);
    }
    ::close(tube[1]);
    std::string recu;
    std::array<char, 512> morceau{};
    for (::ssize_t n; (n = ::read(tube[0], morceau.data(), morceau.size())) > 0;)
        recu.append(morceau.data(), static_cast<std::size_t>(n));
    ::close(tube[0]);
    int statut = 0;
    ::waitpid(enfant, &statut, 0);
    ASSERT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
    EXPECT_EQ(recu, "Le fichier " + c + fr("\n\n lecture refusée (droits insuffisants)"));
}

TEST_F(Prelecture, FichierDisparuOuVide) {
    // A file deleted since the listing: refused once, not loaded as an empty success.
    EXPECT_FALSE(prelire_fichier(chemin("parti.csv"), 10, d, ModeEntree::fichiers, tampon, journal,
                                 dialogue));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::fichier_inexistant);
    EXPECT_EQ(dialogue.vus[0].texte, "fichier inexistant\n" + chemin("parti.csv"));

    EXPECT_FALSE(prelire_fichier(chemin("~presse-papier.ppp"), 0, d, ModeEntree::presse_papier,
                                 tampon, journal, dialogue));
    ASSERT_EQ(dialogue.vus.size(), 2u);
    EXPECT_EQ(dialogue.ids[1], IdMessage::fichier_introuvable);
    EXPECT_EQ(dialogue.vus[1].texte, chemin("~presse-papier.ppp") + "\n\nfichier introuvable ");

    // An empty file loads as an empty buffer, and the log says so.
    ASSERT_TRUE(prelire(""));
    EXPECT_TRUE(tampon.vide());
    ASSERT_FALSE(journal.lignes().empty());
    EXPECT_EQ(journal.lignes().back(), "fichier VIDE => " + chemin("f.txt"));
    EXPECT_EQ(dialogue.vus.size(), 2u);
}

TEST_F(Prelecture, PressePapierTropCourt) {
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    dialogue.attendre_choix(1);  // its single button, Annuler
    EXPECT_FALSE(prelire("Date;T\n25/12/2023;1\n", ModeEntree::presse_papier));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids.back(), IdMessage::presse_papier_trop_court);
    EXPECT_EQ(dialogue.vus[0].legendes, std::vector<std::string>{"Annuler"});
    EXPECT_EQ(dialogue.vus[0].type, TypeMessage::avertissement);
    EXPECT_EQ(dialogue.vus[0].texte,
              fr(" le presse papier ne contient que 20 octets\n\n 3 premières lignes :\n"
                 "==============================\nDate;T\n25/12/2023;1\n"
                 "==============================\n\n"
                 " => Annuler pour   Recopier les données du fichier Excel"));
    // A clipboard long enough loads as it was written, even with the unreadable-character
    // option that would once have refused it.
    d.CheckBox_car_null = true;
    EXPECT_TRUE(prelire("Date;T\n1;1\n2;2\n3;3\n", ModeEntree::presse_papier));
    EXPECT_EQ(tampon.nb_lignes(), 4);
}

TEST(PrelectureReelle, LignesDesFichiersDeLoggers) {
    struct Cas {
        std::string fichier;
        int separateur;
        int nb_lignes;
        int index;          // a line read by eye (0-based)
        std::string ligne;  // its text after loading
    };
    const std::vector<Cas> cas = {
        {"keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 0, 534, 1,
         "7/06/2010 14:00:00;;3,246;;;13,19;;;"},
        {"keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 0, 534, 533, ";;;;;;;;"},
        {"onset-hobo/north_beach_surfgrass_20387239_20190218_rawdata.csv", 3, 3120, 3119,
         "7/13/2018 6:20:00,11.56, , , , "},
        {"onset-hobo/QU5_Mooring_15m_20392468_20210803.csv", 3, 5898, 0,
         "\"Plot Title: 20392468\""},
        {"solinst-levelogger/solinst_level_testfile.lev", 1, 347, 346,
         "END OF DATA FILE OF DATALOGGER FOR WINDOWS"},
        {"sts-dln70/example_STS_DLN70_H.txt", 0, 1871, 3, "10:05:06;09.09.2013;10.189;;;0.000"},
        {"nivus-pcm4/example_NIVUS_PCM4_NEU.TXT", 0, 1067, 9, ""},
        {"insitu-aquatroll/example_InSituInc_Aquatroll_600.csv", 2, 207, 206, ""},
        {"ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv", 3, 838, 10,
         "9/8/2021,11:48:37,0.0,GM,1.54,5.50,15733.3,1.066,17126.1,65.0,65.0,5.46,1.525,10.02,"
         "17004.9,0.13,11053,1.09,0,1.224,6.95,-30.2,21.086,1.062,6.17,0.0"},
        {"ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv", 3, 838, 0, "sep=,"},
    };
    for (const Cas& c : cas) {
        Description d = description_defaut();
        d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        TamponLignes tampon;
        JournalSuivi journal;
        DialogueScripte dialogue;
        const std::string chemin = donnees_reelles(c.fichier);
        ASSERT_TRUE(prelire_fichier(chemin, 0, d, ModeEntree::fichiers, tampon, journal, dialogue))
            << c.fichier;
        EXPECT_EQ(tampon.nb_lignes(), c.nb_lignes) << c.fichier;
        EXPECT_EQ(tampon.ligne(c.index), c.ligne) << c.fichier;
    }
}

TEST(PrelectureReelle, ExportUtf16LuCommeLesAutres) {
    // The KorEXO export is UTF-16: once turned into Windows-1252 its titles read like any
    // file's, µ and ° included, and no NUL byte is left.
    Description d = description_defaut();
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    TamponLignes tampon;
    JournalSuivi journal;
    DialogueScripte dialogue;
    ASSERT_TRUE(
        prelire_fichier(donnees_reelles("ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv"), 0, d,
                        ModeEntree::fichiers, tampon, journal, dialogue));
    const std::string_view titres = tampon.ligne(9);
    EXPECT_TRUE(
        titres.starts_with("Date (MM/DD/YYYY),Time (HH:mm:ss),Time (Fract. Sec),Site Name,"));
    EXPECT_NE(titres.find(",Cond \xB5S/cm,"), std::string_view::npos);
    EXPECT_NE(titres.find("Temp \xB0"
                          "C"),
              std::string_view::npos);
    EXPECT_EQ(tampon.octets().find('\0'), std::string_view::npos);
    EXPECT_EQ(tampon.octets().find('\x01'), std::string_view::npos);
    EXPECT_EQ(tampon.ligne(837).substr(0, 18), "9/17/2021,02:33:37");
}

// A text as a UTF-16 file: its Windows-1252 bytes as units, after the byte-order mark.
std::string en_utf16(std::string_view texte, bool gros_boutien) {
    std::string u = gros_boutien ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : texte) {
        const auto o = static_cast<char>(c == '\x80' ? 0xAC : c);  // the euro sign, U+20AC
        const char haut = c == '\x80' ? '\x20' : '\0';
        u += gros_boutien ? std::string{haut, o} : std::string{o, haut};
    }
    return u;
}

// Numbered lines whose ends cycle through `fins`, long enough to hold many windows.
std::string lignes_numerotees(int nb, const std::vector<std::string>& fins,
                              std::string_view motif = ";") {
    std::string t;
    for (int i = 0; i < nb; ++i)
        t += std::to_string(i) + std::string(motif) + std::to_string(i * 7 % 1000) +
             fins[static_cast<std::size_t>(i) % fins.size()];
    return t;
}

// Above the threshold a file is held by its ends: whatever its line ends, encoding and
// bytes, the lines held, their count and the data range are those of the whole file. Small
// windows, and a count block that no line end lines up with, put every boundary to work.
TEST_F(Prelecture, GrosFichierTenuParSesExtremites) {
    using namespace std::string_literals;
    const std::vector<std::string> lf = {"\n"}, crlf = {"\r\n"}, cr = {"\r"};
    const std::vector<std::string> melange = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", "\n\n"};
    const std::string corps = lignes_numerotees(12000, crlf);
    struct Cas {
        std::string nom;
        std::string contenu;
        Separateur separateur;
        bool balises;
        bool car_null;
        // The tail window starts `decalage` bytes after the last `repere` far enough from the
        // end; empty: at 4097 bytes from the end.
        std::string repere;
        int decalage;
        bool partiel;  // held by its ends, not loaded whole
    };
    const std::string fin_tag = "\r\nEND\r\n";
    constexpr auto pv = Separateur::point_virgule;
    const std::vector<Cas> cas = {
        {"LF", lignes_numerotees(12000, lf), pv, false, false, "", 0, true},
        {"CR LF", corps, pv, false, false, "", 0, true},
        {"CR seuls", lignes_numerotees(12000, cr), pv, false, false, "", 0, true},
        {"mélange", lignes_numerotees(12000, melange), pv, false, false, "", 0, true},
        {"sans fin de ligne finale", corps + "12000;0", pv, false, false, "", 0, true},
        {"CR final seul", corps + "12000;0\r", pv, false, false, "", 0, true},
        {"lignes blanches à la fin", corps + std::string(100, '\n') + "   \r\n  \r\n", pv, false,
         false, "", 0, true},
        // Only empty lines in the tail: read back from the last data line, they are counted.
        {"queue toute blanche", corps + std::string(6000, '\n'), pv, false, false, "", 0, true},
        {"marque UTF-8",
         "\xEF\xBB\xBF"
         "Temp \xC2\xB0"
         "C\r\n"s +
             lignes_numerotees(12000, {"\r\n", "\xE2\x82\xAC\r\n", "\xC3\r\n", "\xC3\xA9\n"}),
         pv, false, false, "", 0, true},
        {"UTF-16 petit-boutien",
         en_utf16(lignes_numerotees(12000, {"\r\n", "\x80\r\n", "\r"}), false), pv, false, false,
         "", 0, true},
        {"UTF-16 gros-boutien", en_utf16(lignes_numerotees(12000, {"\n", "\x80\n"}), true), pv,
         false, false, "", 0, true},
        {"UTF-16 d'un octet impair", en_utf16(corps, false) + "x", pv, false, false, "", 0, true},
        {"octets nuls", lignes_numerotees(12000, {"\r\n", "\0\r\n"s}, "\0;"s), pv, false, false, "",
         0, true},
        {"octets nuls, caractère illisible", lignes_numerotees(12000, {"\r\n", "\0\r\n"s}), pv,
         false, true, "", 0, true},
        {"tabulations", lignes_numerotees(12000, crlf, "\t\t"), Separateur::tabulation, false,
         false, "", 0, true},
        {"balises près des deux bouts",
         "en-tete\r\nDATA\r\nDate;T\r\n" + corps + fin_tag + "pied\r\n\r\n", pv, true, false, "", 0,
         true},
        // The end tag opens the tail: the last data line before it was not read.
        {"balise de fin au bord de la queue",
         "DATA\r\n" + corps + fin_tag + std::string(4090, 'x') + "\r\n", pv, true, false, "", 0,
         false},
        {"balise de début loin dedans", corps + "DATA\r\n" + corps + fin_tag, pv, true, false, "",
         0, false},
        {"balise de fin absente", "DATA\r\n" + corps, pv, true, false, "", 0, false},
        {"CR LF coupé au bord de la queue", corps, pv, false, false, "\r\n", 1, true},
        {"CR au bord de la queue, LF juste avant", corps + "a\n\rb\r\n" + corps.substr(0, 5000), pv,
         false, false, "\n\r", 1, true},
        {"UTF-16, CR LF coupé au bord de la queue", en_utf16(corps, false), pv, false, false,
         "\r\0\n\0"s, 2, true},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        d.RadioGroup_separateur_colonne_ItemIndex = c.separateur;
        d.RadioGroup_numlig_balise_ItemIndex =
            c.balises ? DebutDonnees::balises : DebutDonnees::numero_de_ligne;
        d.CheckBox_car_null = c.car_null;
        FenetresLecture f{.seuil = 20000,
                          .tete = 8192,
                          .tete_max = 65536,
                          .queue = 4097,
                          .bloc = 1000,
                          .patienter = {}};
        if (!c.repere.empty()) {
            const std::size_t p = c.contenu.rfind(c.repere, c.contenu.size() - 3000);
            ASSERT_NE(p, std::string::npos);
            f.queue = c.contenu.size() - p - static_cast<std::size_t>(c.decalage);
        }
        creer("f.txt", c.contenu);
        TamponLignes entier;
        ASSERT_TRUE(prelire_fichier(chemin("f.txt"), 0, d, ModeEntree::fichiers, entier, journal,
                                    dialogue));
        ASSERT_TRUE(prelire_fichier(chemin("f.txt"), 0, d, ModeEntree::fichiers, tampon, journal,
                                    dialogue, f));
        ASSERT_TRUE(entier.complet());
        EXPECT_EQ(tampon.complet(), !c.partiel);
        ASSERT_EQ(tampon.nb_lignes(), entier.nb_lignes());
        const int n = entier.nb_lignes();
        EXPECT_GE(tampon.nb_lignes_tete(), lignes_tete_garanties);
        // Every line held is the whole file's, at its index; those not held read as empty.
        int tenues = 0;
        for (int i = 0; i < n; ++i) {
            if (tampon.tenue(i)) {
                ++tenues;
                ASSERT_EQ(tampon.ligne(i), entier.ligne(i)) << "ligne " << i;
            } else {
                ASSERT_EQ(tampon.ligne(i), "") << "ligne " << i;
            }
        }
        EXPECT_TRUE(tampon.tenue(n - 1));
        EXPECT_GT(tenues, c.partiel ? tampon.nb_lignes_tete() + 100 : n - 1);
        const PlageDonnees plage = plage_donnees(d, tampon);
        const PlageDonnees attendue = plage_donnees(d, entier);
        EXPECT_EQ(plage.premiere, attendue.premiere);
        EXPECT_EQ(plage.derniere, attendue.derniere);
        EXPECT_EQ(plage.decalage_balise, attendue.decalage_balise);
    }
    EXPECT_TRUE(dialogue.vus.empty());
}

// A line far longer than a logger writes, or millions of empty lines after the data, are
// held by what the listing reads of them, whole file or ends only.
TEST_F(Prelecture, LignesTropLonguesEtLignesVidesFinales) {
    const std::string entete = "Station\r\nDate Heure;T\r\n01/06/2024 00:00:00;1\r\n";
    const std::string longue(3'000'000, 'x');
    const std::string derniere = "01/06/2024 00:20:00;3";
    std::string vides_crlf;
    for (int i = 0; i < 1'000'000; ++i) vides_crlf += "\r\n";
    struct Cas {
        std::string nom;
        std::string contenu;
        int nb_lignes;
        int index_coupee;  // -1: none
        std::string derniere;
    };
    const std::vector<Cas> cas = {
        {"longue sans fin de ligne", entete + longue, 4, 3, longue.substr(0, 64)},
        {"longue puis données", entete + longue + "\r\n" + derniere + "\r\n", 5, 3, derniere},
        {"longue au début", longue + "\n" + entete + derniere, 5, 0, derniere},
        {"un million de lignes vides", entete + derniere + "\r\n" + std::string(1'000'000, '\n'),
         1'000'004, -1, derniere},
        {"lignes vides CR LF", entete + derniere + "\r\n" + vides_crlf, 1'000'004, -1, derniere},
    };
    const std::vector<std::optional<FenetresLecture>> fenetres = {std::nullopt, FenetresLecture{},
                                                                  FenetresLecture{.seuil = 1000,
                                                                                  .tete = 8192,
                                                                                  .tete_max = 65536,
                                                                                  .queue = 4097,
                                                                                  .bloc = 1000,
                                                                                  .patienter = {}}};
    for (const Cas& c : cas) {
        creer("f.txt", c.contenu);
        for (std::size_t k = 0; k < fenetres.size(); ++k) {
            SCOPED_TRACE(c.nom + " fenêtres " + std::to_string(k));
            journal.vider();
            ASSERT_TRUE(prelire_fichier(chemin("f.txt"), 0, d, ModeEntree::fichiers, tampon,
                                        journal, dialogue, fenetres[k]));
            EXPECT_EQ(tampon.nb_lignes(), c.nb_lignes);
            const PlageDonnees plage = plage_donnees(d, tampon);
            EXPECT_EQ(tampon.ligne(plage.derniere), c.derniere);
            if (c.index_coupee < 0) {
                EXPECT_EQ(tampon.ligne(c.nb_lignes - 1), "");
                EXPECT_TRUE(journal.problemes().empty());
                continue;
            }
            EXPECT_EQ(tampon.lignes_coupees(), std::vector<int>{c.index_coupee});
            EXPECT_EQ(tampon.ligne(c.index_coupee), longue.substr(0, 64));
            ASSERT_EQ(journal.problemes().size(), 1u);
            EXPECT_EQ(journal.problemes()[0].probleme, ProblemeSuivi::ligne_trop_longue);
            EXPECT_EQ(
                journal.lignes()[journal.problemes()[0].ligne],
                "ligne " + std::to_string(c.index_coupee + 1) + " pb " + longue.substr(0, 30));
        }
    }
    EXPECT_TRUE(dialogue.vus.empty());
}

TEST_F(DossierTemporaire, CopierEnRemplacant) {
    JournalSuivi journal;
    DialogueScripte dialogue;
    creer("source.txt", "a\tb\tc\r\n1\t2\t3\r\n");
    EXPECT_TRUE(copier_en_remplacant(chemin("source.txt"), '\t', chemin("~copie.txt"), ';', journal,
                                     dialogue));
    EXPECT_EQ(lire_fichier(chemin("~copie.txt")), "a;b;c\r\n1;2;3\r\n");

    EXPECT_FALSE(copier_en_remplacant(chemin("absent.txt"), '\t', chemin("~copie.txt"), ';',
                                      journal, dialogue));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids[0], IdMessage::fichier_inexistant);
    EXPECT_EQ(dialogue.vus[0].texte, "fichier inexistant\n" + chemin("absent.txt"));
    EXPECT_EQ(lire_fichier(chemin("~copie.txt")), "");

    creer("vide.txt", "");
    EXPECT_FALSE(copier_en_remplacant(chemin("vide.txt"), '\0', chemin("~copie.txt"), '\x01',
                                      journal, dialogue));
    EXPECT_EQ(journal.lignes().back(), "fichier VIDE => " + chemin("vide.txt"));
}

}  // namespace
}  // namespace tarvo

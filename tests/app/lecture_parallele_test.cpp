// The result and tracking files of tarvo-lot do not depend on how its data files are read:
// any number of worker threads and any block size give the bytes of one thread reading
// whole files. Generated logger files carry the line ends, encodings and faults whose
// handling a split into blocks could change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "outils_lot.h"

namespace fs = std::filesystem;
using namespace tarvo;
using namespace tarvo::essai_lot;

namespace {

enum class Codage { cp1252, utf8_bom, utf16le_bom };

// How a generated logger file is laid out and which faults it carries. A fault "every n
// lines" hits the lines whose drawn number is a multiple of n (0: never).
struct Forme {
    // A literal: GCC 12 takes a string member set by a designated initialiser for unset.
    const char* fin = "\n";
    char separateur = ';';
    char decimale = ',';
    bool deux_colonnes = false;  // the date and the time in columns of their own
    Codage codage = Codage::cp1252;
    bool balises = false;  // DATA and END around the data, other lines after END
    int nb_fichiers = 1;
    int nb_lignes = 30000;  // per file
    int pas_s = 60;
    int nul = 0;              // a NUL byte at the end of the line
    int doublon = 0;          // the time of the line before
    int retour_jour = 0;      // after every n-th midnight, three hours keep the day before's date
    int inversee = 0;         // the date written year first, which the reader corrects
    int jour_mois = 0;        // day and month swapped: another date, or none after the 12th
    int illisible = 0;        // a date that cannot be read
    int non_numerique = 0;    // a level that is no number
    int na = 0;               // a level given as an NA code
    int vide = 0;             // an empty level
    bool guillemets = false;  // every field of the titles and data quoted, as databases write
    // Lines without a date before each midnight's line: blocks that hold no date at all, where
    // a time going back at midnight must still be seen.
    int sans_date_a_minuit = 0;
    // Every date this many minutes around midnight written year first: runs of dates the
    // reader corrects, logged once each, that the dateless lines cut in two.
    int inversee_autour_minuit = 0;
    int ligne_longue = 0;          // that line's level is 1.5 MiB long, past the longest line read
    bool sans_fin_finale = false;  // the last line has no line end, as many exports end
};

struct Cas {
    std::string nom;
    Forme forme;
    std::map<std::string, std::string> cles;  // replaced in the shipped example's description
    bool strict = false;                      // --test-strict
};

// Seconds from 01/03/2024 00:00:00: every generated file starts there or after.
constexpr long long debut_s = 0;

enum class Ordre { jour_mois_annee, annee_mois_jour, mois_jour_annee };

std::string texte_date(long long secondes, Ordre ordre = Ordre::jour_mois_annee) {
    using namespace std::chrono;
    const sys_seconds t = sys_days{year{2024} / March / 1} + seconds{secondes};
    const sys_days jour = floor<days>(t);
    const year_month_day j{jour};
    const hh_mm_ss h{t - jour};
    const int a = int(j.year()), m = int(unsigned(j.month())), d = int(unsigned(j.day()));
    const int hh = int(h.hours().count()), mn = int(h.minutes().count()),
              ss = int(h.seconds().count());
    std::array<char, 64> b{};
    switch (ordre) {
        case Ordre::jour_mois_annee:
            std::snprintf(b.data(), b.size(), "%02d/%02d/%04d %02d:%02d:%02d", d, m, a, hh, mn, ss);
            break;
        case Ordre::annee_mois_jour:
            std::snprintf(b.data(), b.size(), "%04d/%02d/%02d %02d:%02d:%02d", a, m, d, hh, mn, ss);
            break;
        case Ordre::mois_jour_annee:
            std::snprintf(b.data(), b.size(), "%02d/%02d/%04d %02d:%02d:%02d", m, d, a, hh, mn, ss);
            break;
    }
    return b.data();
}

// One generated line's time and its level field as written, for the values worked out here.
struct Mesure {
    long long secondes;
    std::string niveau;
};

struct Genere {
    std::vector<std::string> fichiers;  // the bytes of each file
    std::vector<Mesure> mesures;        // the data lines whose date is written plainly
};

std::string nombre(double x, int decimales, char marque) {
    std::array<char, 32> b{};
    std::snprintf(b.data(), b.size(), "%.*f", decimales, x);
    std::string t = b.data();
    for (char& c : t)
        if (c == '.') c = marque;
    return t;
}

// Latin-1 text (all the generator writes) as UTF-16 little-endian after its mark.
std::string utf16le(const std::string& texte) {
    std::string u = "\xFF\xFE";
    for (const char c : texte) {
        u += c;
        u += '\0';
    }
    return u;
}

Genere generer(const Forme& f, unsigned graine) {
    std::mt19937 tirage(graine);
    Genere g;
    const std::string s(1, f.separateur);
    const auto q = [&](const std::string& champ) {
        return f.guillemets ? "\"" + champ + "\"" : champ;
    };
    const auto touche = [&](int tous_les, unsigned tire) {
        return tous_les > 0 && tire % tous_les == 0;
    };
    for (int n = 0; n < f.nb_fichiers; ++n) {
        std::string t;
        const auto ligne = [&](const std::string& l) { t += l + std::string(f.fin); };
        ligne("Station essai " + std::to_string(n + 1) + s + "sonde " + fr("n°") + "7");
        if (f.balises) {
            ligne("Enregistreur X-200, export du 01/06/2024");
            ligne("DATA");
        }
        ligne((f.deux_colonnes ? q("Date") + s + q("Heure") : q("Date Heure")) + s +
              q("Niveau (m)") + s + q(fr("Température (°C)")));
        long long precedent = 0;
        for (int i = 0; i < f.nb_lignes; ++i) {
            long long seconde = debut_s + (static_cast<long long>(n) * f.nb_lignes + i) * f.pas_s;
            const unsigned tire = tirage();
            if (i > 0 && touche(f.doublon, tire >> 3U)) seconde = precedent;
            precedent = seconde;
            // A logger that keeps yesterday's date until it is set again: its times go back.
            long long date_ecrite = seconde;
            const long long jour = seconde / 86400;
            if (f.retour_jour > 0 && jour > 0 && jour % f.retour_jour == 0 &&
                seconde % 86400 < 3 * 3600)
                date_ecrite -= 86400;
            const long long du_jour = seconde % 86400;
            const bool inversee =
                touche(f.inversee, tire >> 5U) ||
                (f.inversee_autour_minuit > 0 &&
                 std::min(du_jour, 86400 - du_jour) < f.inversee_autour_minuit * 60LL);
            const bool illisible = touche(f.illisible, tire >> 7U);
            const bool jour_mois = touche(f.jour_mois, tire >> 17U);
            std::string date = texte_date(date_ecrite, inversee    ? Ordre::annee_mois_jour
                                                       : jour_mois ? Ordre::mois_jour_annee
                                                                   : Ordre::jour_mois_annee);
            if (illisible) date = (tire & 1U) ? "99/99/2024 25:61:00" : "pas de date";
            if (f.deux_colonnes) date[10] = f.separateur;

            std::string niveau =
                nombre(static_cast<int>(tirage() % 200000) / 100.0 - 500.0, 2, f.decimale);
            if (touche(f.na, tire >> 9U)) niveau = (tire & 2U) ? "NA" : "-9999";
            if (touche(f.non_numerique, tire >> 11U)) niveau = (tire & 2U) ? "abc" : "1" + s + "2x";
            if (touche(f.vide, tire >> 13U)) niveau.clear();
            const std::string temperature =
                nombre(static_cast<int>(tirage() % 3000) / 100.0 - 5.0, 1, f.decimale);
            if (i + 1 == f.ligne_longue) niveau = std::string(3 << 19U, '7');
            if (i > 0 && seconde % 86400 == 0)
                for (int k = 0; k < f.sans_date_a_minuit; ++k)
                    ligne(q("pas de date") + s + q(niveau) + s + q(temperature));
            std::string l = q(date) + s + q(niveau) + s + q(temperature);
            if (touche(f.nul, tire >> 15U)) l += std::string(1 + tire % 3, '\0');
            ligne(l);
            if (!inversee && !illisible && !jour_mois && date_ecrite == seconde &&
                i + 1 != f.ligne_longue)
                g.mesures.push_back(
                    {seconde, f.guillemets ? niveau : niveau.substr(0, niveau.find(f.separateur))});
        }
        if (f.balises) {
            ligne("END");
            ligne("fin de l'enregistrement;;");
            ligne("99/99/9999 99:99:99;1;2");
        }
        if (f.sans_fin_finale) t.resize(t.size() - std::string_view(f.fin).size());
        switch (f.codage) {
            case Codage::cp1252:
                break;
            case Codage::utf8_bom:
                t = "\xEF\xBB\xBF" + cp1252_vers_utf8(t);
                break;
            case Codage::utf16le_bom:
                t = utf16le(t);
                break;
        }
        g.fichiers.push_back(std::move(t));
    }
    return g;
}

// The keys that make the example's description read a generated file of this shape.
std::map<std::string, std::string> cles_forme(const Forme& f) {
    const long long fin = debut_s + static_cast<long long>(f.nb_fichiers) * f.nb_lignes * f.pas_s;
    std::map<std::string, std::string> c = {
        {"Edit_masque.text", "*.csv"},
        {"Edit_nom_fic_sortie.text", "resultat"},
        {"CheckBox_col_cochee.Checked", "false"},
        {"Edit_format_datetime_mesure.text", "jj/mm/aaaa hh:mn:ss"},
        {"Edit_num_ligne_intitule_col.text", "2"},
        {"Edit_num_ligne_donnee.text", "3"},
        {"RadioGroup_separateur_colonne_ItemIndex", f.separateur == '\t'  ? "0"
                                                    : f.separateur == ',' ? "3"
                                                                          : "2"},
        {"RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex", f.decimale == '.' ? "1" : "0"},
        {"Label_min_dsc.caption", texte_date(debut_s)},
        // The last hour boundary after the data, so that the last step is whole.
        {"Label_max_dsc.caption", texte_date((fin / 3600 + 1) * 3600)},
        {"Label_pas_dsc.caption", "01:00:00"},
    };
    if (f.deux_colonnes) {
        c["RadioGroup_datetime_nb_col_ItemIndex"] = "1";
        c["Edit_num_col_date.text"] = "1";
        c["Edit_num_col_time.text"] = "2";
        c["Edit_format_date_mesure_seule.text"] = "jj/mm/aaaa";
        c["Edit_format_time_mesure_seul.text"] = "hh:mn:ss";
    }
    if (f.balises) {
        c["RadioGroup_numlig_balise_ItemIndex"] = "1";
        c["Edit_balise_deb.text"] = "DATA";
        c["Edit_balise_fin.text"] = "END";
    }
    return c;
}

// Every method of the description (0 mean, 1 last value, 2 max, 3 min, 4 mean with empty
// steps filled from their neighbours, 5 running total), every line end and encoding the loader
// converts, and the faults whose counts and first occurrences the tracking file reports. The counts
// reported are those of whole files, so a fault astride two blocks shows.
const std::vector<Cas>& cas_lecture() {
    static const std::vector<Cas> cas = {
        {"lf_trois_fichiers_moyenne_na_seuils",
         {.fin = "\n", .nb_fichiers = 3, .nb_lignes = 30000, .non_numerique = 71, .na = 53},
         {{"RadioGroup_methode_ItemIndex", "0"},
          {"Edit_equiv_na.text", "NA;-9999"},
          {"Edit_min_na.text", "-400"},
          {"Edit_max_na.text", "1400"}},
         false},
        {"crlf_ponctuel_doublons_gros_fichier",
         {.fin = "\r\n", .nb_lignes = 100000, .pas_s = 30, .doublon = 97},
         {{"RadioGroup_methode_ItemIndex", "1"},
          {"CheckBox_correction_si_t1egalt2.Checked", "true"}},
         true},
        {"cr_seul_max_virgule_retours_de_date",
         {.fin = "\r", .separateur = ',', .decimale = '.', .nb_lignes = 40000, .retour_jour = 3},
         {{"RadioGroup_methode_ItemIndex", "2"},
          {"CheckBox_correction_si_t1supt2.Checked", "true"}},
         false},
        {"utf16le_bom_min",
         {.fin = "\r\n", .codage = Codage::utf16le_bom, .nb_lignes = 30000},
         {{"RadioGroup_methode_ItemIndex", "3"}},
         true},
        {"utf8_bom_moyenne_vides",
         {.fin = "\n", .codage = Codage::utf8_bom, .nb_lignes = 30000, .na = 29, .vide = 13},
         {{"RadioGroup_methode_ItemIndex", "4"}, {"Edit_equiv_na.text", "NA;-9999"}},
         false},
        {"balises_cumul_deux_fichiers",
         {.fin = "\r\n", .balises = true, .nb_fichiers = 2, .nb_lignes = 25000},
         {{"RadioGroup_methode_ItemIndex", "5"}},
         false},
        {"nul_sans_car_null",
         {.fin = "\r\n", .nb_lignes = 30000, .nul = 89},
         {{"RadioGroup_methode_ItemIndex", "0"}, {"CheckBox_car_null.Checked", "false"}},
         false},
        {"nul_avec_car_null",
         {.fin = "\r\n", .nb_lignes = 30000, .nul = 89},
         {{"RadioGroup_methode_ItemIndex", "2"}, {"CheckBox_car_null.Checked", "true"}},
         true},
        {"tabulation_date_et_heure_en_deux_colonnes",
         {.fin = "\r\n", .separateur = '\t', .deux_colonnes = true, .nb_lignes = 30000},
         {{"RadioGroup_methode_ItemIndex", "3"}},
         true},
        {"dates_inversees_jour_mois_illisibles_non_numeriques",
         {.fin = "\n",
          .nb_lignes = 30000,
          .inversee = 101,
          .jour_mois = 127,
          .illisible = 113,
          .non_numerique = 37},
         {{"RadioGroup_methode_ItemIndex", "0"}},
         false},
        // Quoted fields: the decimal commas and a "1,2x" level stay inside their field.
        {"guillemets_virgule_et_decimales_virgule",
         {.fin = "\r\n",
          .separateur = ',',
          .decimale = ',',
          .nb_lignes = 30000,
          .non_numerique = 37,
          .na = 29,
          .guillemets = true},
         {{"RadioGroup_methode_ItemIndex", "0"},
          {"Edit_equiv_na.text", "NA;-9999"},
          {"Edit_min_na.text", "-400"},
          {"Edit_max_na.text", "1400"},
          {"CheckBox_champs_guillemets.Checked", "true"}},
         false},
        {"doublons_et_retours_corriges_ensemble",
         {.fin = "\n", .nb_lignes = 30000, .doublon = 41, .retour_jour = 2},
         {{"RadioGroup_methode_ItemIndex", "4"},
          {"CheckBox_correction_si_t1egalt2.Checked", "true"},
          {"CheckBox_correction_si_t1supt2.Checked", "true"}},
         true},
        // Times that go back at midnight, and dates written year first around it, behind 400
        // dateless lines (several 4 KiB blocks with no date); a line too long to be read whole,
        // and no line end after the last line.
        {"blocs_sans_date_retours_ligne_longue_sans_fin_finale",
         {.fin = "\r\n",
          .nb_lignes = 30000,
          .retour_jour = 2,
          .sans_date_a_minuit = 400,
          .inversee_autour_minuit = 5,
          .ligne_longue = 12345,
          .sans_fin_finale = true},
         {{"RadioGroup_methode_ItemIndex", "2"}},
         false},
        // Paris time into UTC across the spring change, whose skipped hour is logged in
        // file order, with repeated times moved after their conversion.
        {"fuseau_paris_vers_utc_heure_sautee_doublons",
         {.fin = "\n", .nb_lignes = 30000, .pas_s = 120, .doublon = 41},
         {{"RadioGroup_methode_ItemIndex", "0"},
          {"Edit_fuseau_mesures.text", "Europe/Paris"},
          {"Edit_fuseau_resultat.text", "UTC"},
          {"CheckBox_correction_si_t1egalt2.Checked", "true"}},
         false},
    };
    return cas;
}

// The reading settings tried against the reference (one thread, 16 MiB blocks, which holds
// any of these files whole): 4 KiB blocks split every file many times.
struct Reglage {
    int fils;
    int bloc_ko;
};
const std::vector<Reglage>& grille_reglages() {
    static const std::vector<Reglage> g = [] {
        std::vector<Reglage> v;
#if defined(TARVO_GRILLE_REDUITE)
        // Under the sanitizers every run is ten times slower and the test's time is capped:
        // two settings that split every file many times look for memory faults there, the
        // full grid runs in the normal build.
        v = {{3, 4}, {8, 64}};
#else
        for (const int fils : {1, 2, 3, 8})
            for (const int bloc : {4, 64, 1024, 16384}) v.push_back({fils, bloc});
#endif
        return v;
    }();
    return g;
}

std::vector<std::string> lignes(const std::string& texte) {
    std::vector<std::string> v;
    std::istringstream s(texte);
    for (std::string l; std::getline(s, l);) v.push_back(l);
    return v;
}

std::string visible(const std::string& ligne) {
    std::string v;
    for (const char c : ligne) {
        const auto o = static_cast<unsigned char>(c);
        if (o < 32 || o == 127) {
            std::array<char, 8> b{};
            std::snprintf(b.data(), b.size(), "\\x%02X", o);
            v += b.data();
        } else {
            v += c;
        }
    }
    return cp1252_vers_utf8(v);
}

// The clock's marks in a tracking file, the only bytes that differ between two runs of the
// same command: the time of day the listing started ("t0 = 14:03:27"), each file's reading
// time in the table (its "durée de traitement" cell) and the run's "durée totale". They
// follow the machine's load, not the data; every other byte must stay.
std::string sans_horloge(const std::string& suivi) {
    const std::string duree_totale = fr("  durée totale = ");
    const std::string titre_duree = fr("durée de traitement");
    std::string t;
    std::size_t colonne_duree = 0;  // 0 outside the file table
    for (std::string l : lignes(suivi)) {
        if (l.starts_with("t0 = ")) {
            l = "t0 = <heure>\r";
        } else if (l.starts_with(duree_totale)) {
            l = duree_totale + "<durée>\r";
        } else if (l.find(titre_duree) != std::string::npos) {
            std::istringstream champs(l);
            std::size_t k = 0;
            for (std::string champ; std::getline(champs, champ, '\t'); ++k)
                if (champ.find(titre_duree) != std::string::npos) colonne_duree = k;
        } else if (colonne_duree > 0 && l.starts_with(" \t")) {
            std::vector<std::string> champs;
            std::istringstream s(l);
            for (std::string champ; std::getline(s, champ, '\t');) champs.push_back(champ);
            if (colonne_duree < champs.size()) champs[colonne_duree] = "<durée>";
            l.clear();
            for (std::size_t k = 0; k < champs.size(); ++k) l += (k ? "\t" : "") + champs[k];
        } else {
            colonne_duree = 0;
        }
        t += l + "\n";
    }
    // Whether the file ends its last line is a difference too.
    if (!suivi.empty() && suivi.back() != '\n' && !t.empty()) t.pop_back();
    return t;
}

// Empty when equal; else where the first difference is.
std::string difference(const std::string& attendu, const std::string& obtenu) {
    if (attendu == obtenu) return {};
    const auto a = lignes(attendu), o = lignes(obtenu);
    for (std::size_t i = 0; i < std::max(a.size(), o.size()); ++i) {
        const std::string la = i < a.size() ? a[i] : "<fin du fichier>";
        const std::string lo = i < o.size() ? o[i] : "<fin du fichier>";
        if (la != lo)
            return "first difference at line " + std::to_string(i + 1) + " (of " +
                   std::to_string(a.size()) + " expected, " + std::to_string(o.size()) +
                   " obtained)\n  expected: " + visible(la) + "\n  obtained: " + visible(lo);
    }
    return "same lines, different bytes (a final line end?)";
}

struct Sortie {
    int statut = -1;
    std::string erreurs;
    std::string resultat;
    std::string suivi;
};

// A case's files in a directory of its own: the description, the data and their EXPORT.
class DossierCas {
public:
    DossierCas(const fs::path& racine, const Cas& c) : c_(c), dossier_(racine / c.nom) {
        const fs::path donnees = dossier_ / "donnees";
        sortie_ = donnees / "EXPORT";
        fs::create_directories(sortie_);
        unsigned graine = 0;
        for (const char ch : c.nom) graine = graine * 31 + static_cast<unsigned char>(ch);
        genere_ = generer(c.forme, graine);
        for (std::size_t n = 0; n < genere_.fichiers.size(); ++n)
            std::ofstream(donnees / ("enregistreur_" + std::to_string(n + 1) + ".csv"),
                          std::ios::binary)
                << genere_.fichiers[n];
        auto cles = cles_forme(c.forme);
        for (const auto& [cle, valeur] : c.cles) cles[cle] = valeur;
        cles["dossier_choisi"] = donnees.string() + "/";
        cles["dossier_choisi_sortie"] = sortie_.string() + "/";
        cles["dossier_description"] = dossier_.string() + "/";
        description_ = dossier_ / (c.nom + ".dsc");
        std::string dsc =
            description_modifiee(lire(fs::path(TARVO_EXEMPLES) / "LeGue_horaire.dsc"), cles);
        // Keys the shipped example does not hold (the zones) follow its own.
        for (const auto& [cle, valeur] : c.cles)
            if (dsc.find(cle + "=") == std::string::npos) dsc += cle + "= " + valeur + "\r\n";
        std::ofstream(description_, std::ios::binary) << dsc;
    }

    // One run; the previous files are removed first so that every run meets the same
    // directory (no "écraser ?" on the second).
    Sortie executer(const Reglage& r) const {
        fs::remove(sortie_ / "resultat.txt");
        fs::remove(sortie_ / "resultat.txt.TXT");
        std::vector<std::string> args = {"--fils", std::to_string(r.fils), "--bloc",
                                         std::to_string(r.bloc_ko)};
        if (c_.strict) args.emplace_back("--test-strict");
        args.push_back(description_.string());
        const Execution e = lancer(args);
        return {e.statut, e.erreurs, lire(sortie_ / "resultat.txt"),
                lire(sortie_ / "resultat.txt.TXT")};
    }

    const Genere& genere() const { return genere_; }

private:
    const Cas& c_;
    fs::path dossier_, sortie_, description_;
    Genere genere_;
};

class LectureParallele : public ::testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo-lecture-parallele-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        fs::create_directories(racine_);
    }
    void TearDown() override { fs::remove_all(racine_); }
    fs::path racine_;
};

TEST_F(LectureParallele, MemesFichiersPourTousLesFilsEtToutesLesTaillesDeBloc) {
    const Reglage reference{1, 16384};
    for (const Cas& c : cas_lecture()) {
        const DossierCas dossier(racine_, c);
        const Sortie ref = dossier.executer(reference);
        ASSERT_EQ(ref.statut, 0) << c.nom << ": the reference run failed\n" << ref.erreurs;
        ASSERT_FALSE(ref.resultat.empty()) << c.nom;
        ASSERT_FALSE(ref.suivi.empty()) << c.nom;
        const std::string suivi_ref = sans_horloge(ref.suivi);
        for (const Reglage& r : grille_reglages()) {
            const Sortie s = dossier.executer(r);
            const std::string quoi = c.nom + " with --fils " + std::to_string(r.fils) + " --bloc " +
                                     std::to_string(r.bloc_ko);
            EXPECT_EQ(s.statut, ref.statut) << quoi << "\n" << s.erreurs;
            const std::string d_resultat = difference(ref.resultat, s.resultat);
            EXPECT_TRUE(d_resultat.empty())
                << quoi << ": result file differs from the reference's\n"
                << d_resultat;
            const std::string d_suivi = difference(suivi_ref, sans_horloge(s.suivi));
            EXPECT_TRUE(d_suivi.empty()) << quoi << ": tracking file differs from the reference's\n"
                                         << d_suivi;
        }
    }
}

// Checks one case's result against the hourly means worked out from its generated lines.
void verifier_moyennes(const fs::path& racine, const Cas& c) {
    SCOPED_TRACE(c.nom);
    ASSERT_EQ(c.cles.at("RadioGroup_methode_ItemIndex"), "0");
    const DossierCas dossier(racine, c);
    const Sortie s = dossier.executer({8, 4});
    ASSERT_EQ(s.statut, 0) << s.erreurs;

    const long long fin =
        debut_s + static_cast<long long>(c.forme.nb_fichiers) * c.forme.nb_lignes * c.forme.pas_s;
    const std::size_t nb_pas = static_cast<std::size_t>((fin / 3600 + 1) * 3600 - debut_s) / 3600;
    std::vector<double> somme(nb_pas + 1, 0.0);
    std::vector<int> nb_ok(nb_pas + 1, 0), nb_lignes(nb_pas + 1, 0);
    for (const Mesure& m : dossier.genere().mesures) {
        const auto k = static_cast<std::size_t>((m.secondes - debut_s + 3599) / 3600);
        ++nb_lignes[k];
        std::string texte = m.niveau;
        for (char& ch : texte)
            if (ch == ',') ch = '.';
        char* fin_nombre = nullptr;
        const double v = std::strtod(texte.c_str(), &fin_nombre);
        const bool nombre_entier = !texte.empty() && *fin_nombre == '\0';
        if (!nombre_entier || texte == "-9999" || v < -400 || v > 1400) continue;
        somme[k] += v;
        ++nb_ok[k];
    }

    const std::vector<std::string> l = lignes(s.resultat);
    ASSERT_EQ(l.size(), nb_pas + 2) << "the title line, then one row per step";
    // One message for the first wrong rows rather than one per row.
    int nb_na = 0, nb_fausses = 0;
    std::string fausses;
    const auto faux = [&](const std::string& ligne, const std::string& attendu) {
        if (++nb_fausses <= 3) fausses += "\n  " + ligne + "  expected " + attendu;
    };
    for (std::size_t k = 0; k <= nb_pas; ++k) {
        const std::string ligne = l[k + 1].substr(0, l[k + 1].find('\r'));
        std::vector<std::string> champs;
        std::istringstream flux(ligne);
        for (std::string champ; std::getline(flux, champ, ';');) champs.push_back(champ);
        const std::string date = texte_date(debut_s + static_cast<long long>(k) * 3600);
        if (champs.size() != 4 || champs[0] != date || champs[3] != std::to_string(nb_lignes[k])) {
            faux(ligne, date + ";...;" + std::to_string(nb_lignes[k]));
            continue;
        }
        if (nb_ok[k] == 0) {
            ++nb_na;
            if (champs[1] != "NA") faux(ligne, "NA");
            continue;
        }
        std::string lu = champs[1];
        for (char& ch : lu)
            if (ch == ',') ch = '.';
        const double moyenne = somme[k] / nb_ok[k];
        if (std::fabs(std::strtod(lu.c_str(), nullptr) - moyenne) > 0.0006)
            faux(ligne, nombre(moyenne, 3, ',') + " from " + std::to_string(nb_ok[k]) + " levels");
    }
    EXPECT_EQ(nb_fausses, 0) << "rows that differ from the means worked out here:" << fausses;
    // The steps after the last line: the check above saw missing values too.
    EXPECT_GT(nb_na, 0);
    EXPECT_LT(nb_na, 5);
}

// The hourly means of the first case's levels, and of the quoted case's, worked out here from
// the generated lines with the rules a user reads in the manual: a step holds (T - 1 h, T];
// "NA", "-9999", a text that is no number and a level below Min or above Max count as missing;
// the last column counts the step's lines. Equal outputs for every setting must also be right
// ones.
TEST_F(LectureParallele, LesMoyennesDuPremierCasSontCellesCalculeesIci) {
    for (const Cas& c : cas_lecture())
        if (&c == &cas_lecture().front() || c.forme.guillemets) verifier_moyennes(racine_, c);
}

}  // namespace

#include "formats/motifs_date.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <utility>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fuseaux.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

constexpr auto npos = std::string_view::npos;

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Like substr, but a position past the end gives the empty text instead of throwing.
std::string_view sous(std::string_view t, std::size_t pos, std::size_t n) {
    return pos >= t.size() ? std::string_view{} : t.substr(pos, n);
}

bool entre(std::string_view t, std::string_view min, std::string_view max) {
    // Two characters against two-character bounds, as for every day and month: the
    // same order read as one number, without a memcmp call per bound.
    if (t.size() == 2 && min.size() == 2 && max.size() == 2) {
        const auto valeur = [](std::string_view s) {
            return static_cast<unsigned char>(s[0]) << 8 | static_cast<unsigned char>(s[1]);
        };
        return valeur(t) >= valeur(min) && valeur(t) <= valeur(max);
    }
    return t >= min && t <= max;
}

bool premier_entre(std::string_view t, char min, char max) {
    return !t.empty() && t.front() >= min && t.front() <= max;
}

bool quatre_chiffres(std::string_view t) {
    return t.size() == 4 && est_chiffre(t[0]) && est_chiffre(t[1]) && est_chiffre(t[2]) &&
           est_chiffre(t[3]);
}

// A text made of digits only, as an integer; -1 otherwise.
int entier_strict(std::string_view t) {
    if (t.empty() || t.size() > 9) return -1;
    int v = 0;
    for (const char c : t) {
        if (!est_chiffre(c)) return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string jour_du_systeme() {
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    localtime_r(&maintenant, &local);
    std::array<char, 16> t{};
    std::snprintf(t.data(), t.size(), "%02d/%02d/%04d", local.tm_mday % 100,
                  (local.tm_mon + 1) % 100, (local.tm_year + 1900) % 10000);
    return t.data();
}

std::string deux(int v) {
    std::array<char, 8> t{};
    std::snprintf(t.data(), t.size(), "%02d", v % 100);
    return t.data();
}

// Hour 24 of a day, written by hourly stations for the end of that day, as 00:00:00 of the
// next one; nothing when the day does not exist (the text then fails as any other).
std::optional<std::string> minuit_du_lendemain(std::string_view annee, std::string_view mois,
                                               std::string_view jour) {
    const int a = entier_strict(annee), m = entier_strict(mois), j = entier_strict(jour);
    const auto date = a < 0 || m < 0 || j < 0 ? std::nullopt : date_civile(a, m, j);
    if (!date) return std::nullopt;
    return date_heure_vers_texte(*date + 1);
}

// A month name has no fixed width: a pattern with one ("mmm") reads its fields in order.
bool motif_souple(std::string_view motif) {
    return contient(motif, "souple") || contient(motif, "mmm");
}

// A letter of a Windows-1252 word, lower case and without its accent; 0 for any other byte.
char lettre_simple(char c) {
    const auto o = static_cast<unsigned char>(c);
    if (o >= 'A' && o <= 'Z') return static_cast<char>(o - 'A' + 'a');
    if (o >= 'a' && o <= 'z') return c;
    switch (o) {
        case 0xC9:
        case 0xE9:
        case 0xC8:
        case 0xE8:
        case 0xCA:
        case 0xEA:
        case 0xCB:
        case 0xEB:
            return 'e';
        case 0xDB:
        case 0xFB:
        case 0xD9:
        case 0xF9:
        case 0xDC:
        case 0xFC:
            return 'u';
        case 0xC2:
        case 0xE2:
        case 0xC0:
        case 0xE0:
            return 'a';
        case 0xD4:
        case 0xF4:
            return 'o';
        case 0xCE:
        case 0xEE:
        case 0xCF:
        case 0xEF:
            return 'i';
        default:
            return 0;
    }
}

// The month a word names, in English or French, in full or cut after 3 letters or more
// ("févr", "Feb", "sept"); 0 when it names none, or two ("jui").
int mois_nomme(std::string_view mot) {
    static constexpr std::array<std::string_view, 24> noms = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december",
        "janvier", "fevrier",  "mars",      "avril",   "mai",      "juin",
        "juillet", "aout",     "septembre", "octobre", "novembre", "decembre"};
    if (mot.size() < 3) return 0;
    int trouve = 0;
    for (std::size_t i = 0; i < noms.size(); ++i) {
        if (!noms[i].starts_with(mot)) continue;
        const int m = static_cast<int>(i % 12) + 1;
        if (trouve != 0 && trouve != m) return 0;
        trouve = m;
    }
    return trouve;
}

// The first word of the text that names a month; 0 when none does.
int premier_mois_nomme(std::string_view texte) {
    std::string mot;
    for (std::size_t i = 0; i <= texte.size(); ++i) {
        const char l = i < texte.size() ? lettre_simple(texte[i]) : '\0';
        if (l != 0) {
            mot += l;
            continue;
        }
        if (const int m = mois_nomme(mot); m != 0) return m;
        mot.clear();
    }
    return 0;
}

// What a numeric timestamp counts, named in its pattern.
enum class Compte { aucun, secondes_unix, millisecondes_unix, jours_tableur };

Compte compte_du_motif(std::string_view motif) {
    if (contient(motif, "millisecondes unix")) return Compte::millisecondes_unix;
    if (contient(motif, "secondes unix")) return Compte::secondes_unix;
    if (contient(motif, "jours tableur")) return Compte::jours_tableur;
    return Compte::aucun;
}

void ajouter_erreur_date(JournalSuivi& journal, std::string_view jour, std::string_view mois,
                         std::string_view annee, std::string_view heure, std::string_view minute,
                         std::string_view texte) {
    std::string ligne = " + erreur date : ";
    ligne.append(jour).append("/").append(mois).append("/").append(annee).append(" ");
    ligne.append(heure).append(":").append(minute).append(":  corriger <").append(texte);
    journal.ajouter_probleme(ProblemeSuivi::erreur_date, ligne + ">");
}

}  // namespace

const std::vector<std::string>& motifs_date_heure_proposes() {
    static const std::vector<std::string> motifs = {
        "aaaa_mm_jj_hh_mn_ss", "jj_mm_aaaa_hh_mn_ss", "jj_mm_20aa_hh_mn_ss", "mm_jj_aaaa_hh_mn_ss",
        "19aa_mm_jj_hh_mn_ss", "20aa_mm_jj_hh_mn_ss", "jj_mm_aaaa", "jj/mm/aaaa OU aaaa/mm/jj",
        "mm/dd/yyyy OU yyyy/dd/mm", fr("multiformat_dt_mini_1èreUE"),
        fr("multiformat_dt_mini_1èreUS"),
        // Exports that drop leading zeros or write a 12-hour clock.
        "jj/mm/aaaa hh:mn:ss souple", "mm/jj/aaaa hh:mn:ss souple",
        "mm/jj/aa hh:mn:ss AM/PM souple",
        // Weather and hydrological services write dates without separators; databases and
        // spreadsheets write a count.
        "aaaammjjhhmnss", "aaaammjjhhmn", "secondes unix", "millisecondes unix", "jours tableur",
        // Recorders and spreadsheets that name the month.
        "jj mmm aaaa hh:mn:ss"};
    return motifs;
}

const std::vector<std::string>& motifs_date_proposes() {
    static const std::vector<std::string> motifs = {"aaaa_mm_jj", "jj_mm_aaaa", "mm_jj_aaaa",
                                                    "20aa_mm_jj", "aaaammjj"};
    return motifs;
}

const std::vector<std::string>& motifs_heure_proposes() {
    static const std::vector<std::string> motifs = {"hh_mn_ss", "hh_mn", "hh_mn_ss.s",
                                                    "hhmnss",   "hhmn",  "hh"};
    return motifs;
}

LecteurDateMesure::LecteurDateMesure() : aujourdhui_(jour_du_systeme()) {}

void LecteurDateMesure::debut_listing() {
    format_normalise.clear();
    date_fixe.clear();
    premiere_date_multiformat = true;
    aujourdhui_ = jour_du_systeme();
}

bool LecteurDateMesure::lecture_ordonnee(std::string_view motif) {
    return !motif_souple(motif) && (contient(motif, "multiformat") || contient(motif, "OU"));
}

void LecteurDateMesure::debut_traitement() {
    premiere_date_multiformat = false;
    nb_dates_inversees = 0;
    inversion_signalee = 0;
}

LecteurDateMesure::Positions LecteurDateMesure::positions(std::string_view m) {
    return {m.find("aaaa"), m.find("aa"), m.find("mm"), m.find("jj"),
            m.find("hh"),   m.find("mn"), m.find("ss")};
}

std::string LecteurDateMesure::lire_date_heure_mesure(std::string_view texte,
                                                      std::string_view motif,
                                                      JournalSuivi& journal) {
    std::string resultat;
    lire_date_heure_mesure(texte, motif, resultat, journal);
    return resultat;
}

void LecteurDateMesure::lire_date_heure_mesure(std::string_view texte, std::string_view motif,
                                               std::string& resultat, JournalSuivi& journal) {
    resultat.clear();
    if (texte.empty()) {
        resultat = "??";
        return;
    }
    if (motif != motif_vu_) {
        motif_vu_ = motif;
        genre_vu_ = compte_du_motif(motif) != Compte::aucun ? Genre::numerique
                    : motif_souple(motif)                   ? Genre::souple
                    : contient(motif, "multiformat") || contient(motif, "OU")
                        ? Genre::multiformat
                        : Genre::position_fixe;
    }
    if (genre_vu_ == Genre::souple) {
        lire_souple(texte, motif, resultat, journal);
        return;
    }
    if (genre_vu_ == Genre::multiformat) {
        resultat = lire_date_multiformat(texte, motif);
        return;
    }
    if (genre_vu_ == Genre::numerique) {
        lire_numerique(texte, motif, resultat);
        return;
    }
    normaliser(motif);
    if (cle_motif_lu_ != format_normalise) preparer_motif(format_normalise);
    lire_position_fixe(texte, resultat, journal);
}

void LecteurDateMesure::normaliser(std::string_view motif) {
    if (!format_normalise.empty()) return;
    {
        // Separators are free: only digits and the pattern letters keep their place.
        std::string m(motif);
        for (char& c : m)
            if (!est_chiffre(c) && std::string_view("ahjmns").find(c) == npos) c = '_';
        const std::string etoiles = chiffres_vers_car('*', m);
        date_fixe.clear();
        // A pattern that starts with a literal date supplies it to files holding only times.
        if (etoiles.starts_with("****_**_**")) {
            date_fixe = m.substr(0, 11);
            m = "aaaa_mm_jj_hh_mn_ss";
        } else if (etoiles.starts_with("**_**_****")) {
            date_fixe = m.substr(0, 11);
            m = "jj_mm_aaaa_hh_mn_ss";
        }
        format_normalise = m;
    }
}

std::optional<PlanDate> LecteurDateMesure::plan_position_fixe(std::string_view motif) {
    if (motif_souple(motif) || lecture_ordonnee(motif) || compte_du_motif(motif) != Compte::aucun)
        return std::nullopt;
    normaliser(motif);
    if (cle_motif_lu_ != format_normalise) preparer_motif(format_normalise);
    const Positions& p = positions_lu_;
    if (ajouter_minuit_ || heure_seule_ || heure_entiere_ || !date_fixe.empty() || p.aaaa == npos ||
        p.mm == npos || p.jj == npos || p.hh == npos || p.mn == npos)
        return std::nullopt;
    PlanDate plan;
    plan.aaaa = p.aaaa, plan.mm = p.mm, plan.jj = p.jj, plan.hh = p.hh, plan.mn = p.mn;
    plan.ss = p.ss;
    plan.longueur = std::max<std::size_t>({p.aaaa + 4, p.mm + 2, p.jj + 2, p.hh + 2, p.mn + 2,
                                           p.ss == npos ? std::size_t{0} : p.ss + 2});
    return plan;
}

bool PlanDate::lire(std::string_view texte, double& t, char* canonique) const {
    if (texte.size() < longueur || texte.front() == '"') return false;
    const auto chiffre = [&](std::size_t i) { return static_cast<unsigned>(texte[i] - '0'); };
    const auto deux = [&](std::size_t i) -> int {
        const unsigned a = chiffre(i), b = chiffre(i + 1);
        return a > 9 || b > 9 ? -1 : static_cast<int>(a * 10 + b);
    };
    const int siecle = deux(aaaa), an = deux(aaaa + 2);
    const int jour = deux(jj), mois = deux(mm), heure = deux(hh), minute = deux(mn);
    const int seconde = ss == npos ? 0 : deux(ss);
    // Anything unusual is left to the general reader, which logs it.
    if (siecle < 0 || an < 0 || jour < 1 || jour > 31 || mois < 1 || mois > 12 || heure < 0 ||
        heure > 23 || minute < 0 || minute > 59 || seconde < 0 || seconde > 59)
        return false;
    if (!instant_civil(siecle * 100 + an, mois, jour, heure * 3600 + minute * 60 + seconde, t))
        return false;
    if (canonique != nullptr) {
        const auto ecrire = [&](std::size_t a, int v) {
            canonique[a] = static_cast<char>('0' + v / 10);
            canonique[a + 1] = static_cast<char>('0' + v % 10);
        };
        ecrire(0, jour), canonique[2] = '/', ecrire(3, mois), canonique[5] = '/';
        ecrire(6, siecle), ecrire(8, an), canonique[10] = ' ', ecrire(11, heure);
        canonique[13] = ':', ecrire(14, minute), canonique[16] = ':', ecrire(17, seconde);
    }
    return true;
}

void LecteurDateMesure::preparer_motif(std::string_view motif) {
    cle_motif_lu_ = motif;
    motif_lu_ = motif;
    ajouter_minuit_ = motif.size() == 10 || motif == "aaaammjj";
    heure_seule_ = motif == "hh_mn_ss";
    // Fields side by side: no separator to tidy, no day-year order to guess.
    compact_ = contient(motif, "aaaammjj");
    // An hour column holding the hour as a number ("1"…"24"): the date pattern, then "_hh".
    heure_entiere_ = motif.size() > 3 && motif.ends_with("_hh") && !contient(motif, "mn");
    longueur_date_ = heure_entiere_ ? motif.size() - 3 : 0;
    if (ajouter_minuit_) motif_lu_ += "_hh_mn_ss";
    if (heure_entiere_) motif_lu_ += "_mn_ss";
    if (heure_seule_) motif_lu_ = "jj_mm_aaaa_hh_mn_ss";
    positions_lu_ = positions(motif_lu_);
}

void LecteurDateMesure::lire_position_fixe(std::string_view texte, std::string& resultat,
                                           JournalSuivi& journal) {
    std::string& t = tampon_;
    // clear + append reuses the buffer without assign's general replace path.
    t.clear();
    t.append(texte);
    bool intacte = true;  // t is still the caller's text
    if (t.front() == '"') {
        t.erase(0, 1);
        if (const auto q = t.find('"'); q != npos && q + 1 == t.size()) t.pop_back();
        intacte = false;
    }
    if (ajouter_minuit_) {
        t += " 00:00:00";
        intacte = false;
    }
    if (heure_entiere_) {
        // The date as its pattern is wide, then the hour as a number, blanks around allowed.
        const std::string_view date = sous(t, 0, longueur_date_);
        const int h = entier_strict(rogner(sous(t, longueur_date_, npos)));
        if (h < 0 || h > 24) return;
        t = std::string(date) + " " + deux(h) + ":00:00";
        intacte = false;
    }
    if (heure_seule_ && t.size() == 8) {
        t.insert(0, aujourdhui_ + " ");
        intacte = false;
    }
    if (t.size() == 8 && !date_fixe.empty()) {
        t.insert(0, date_fixe);
        intacte = false;
    }
    // Counted on the caller's text while t is its unchanged copy: reading the bytes just
    // copied into t stalled every line on a failed store forward.
    if (nb_car_numeriques(intacte ? texte : std::string_view(t)) < 10) return;

    std::string_view m = motif_lu_;
    Positions p = positions_lu_;
    if (p.aa == npos) {
        resultat = "01/01/1900 00:00:00";
        return;
    }
    std::string motif_inverse;
    std::string_view annee;
    std::array<char, 4> annee_siecle{};
    if (p.aaaa == npos) {
        // Two-digit year: the century digits written before "aa" are put into the text at
        // the same place, so the pattern and the text line up again.
        const std::size_t c = p.aa >= 2 ? p.aa - 2 : 0;
        const std::string_view siecle = sous(m, c, 2);
        t.insert(std::min(c, t.size()), siecle);
        const std::string_view aa = sous(t, p.aa, 2);
        std::copy(siecle.begin(), siecle.end(), annee_siecle.begin());
        std::copy(aa.begin(), aa.end(), annee_siecle.begin() + siecle.size());
        annee = std::string_view(annee_siecle.data(), siecle.size() + aa.size());
    } else {
        // Four digits, the usual year, need not go through the general number reader.
        if (const auto a = sous(t, p.aaaa, 4); compact_ || quatre_chiffres(a) || est_nombre(a)) {
            inversion_signalee = 0;
        } else {
            // Day and year swapped: read this line with the other order.
            motif_inverse = m.starts_with("aaaa_mm_jj") ? "jj_mm_aaaa" : "aaaa_mm_jj";
            motif_inverse.append(sous(m, 10, 10));
            m = motif_inverse;
            p = positions(m);
            ++nb_dates_inversees;
            if (++inversion_signalee == 1)
                journal.ajouter_probleme(ProblemeSuivi::date_inversee,
                                         t + fr(" date invers\u00e9e mais corrig\u00e9e"));
        }
        annee = sous(t, p.aaaa, 4);
    }
    if (t.size() > 10 && !compact_) t[10] = ' ';

    const std::string_view vt = t;
    const std::string_view mois = sous(vt, p.mm, 2), jour = sous(vt, p.jj, 2),
                           heure = sous(vt, p.hh, 2), minute = sous(vt, p.mn, 2);
    if (!entre(jour, "01", "31") || !entre(mois, "01", "12") || !premier_entre(heure, '0', '2') ||
        !premier_entre(minute, '0', '5')) {
        ajouter_erreur_date(journal, jour, mois, annee, heure, minute, t);
        return;
    }
    std::string_view seconde = p.ss == npos ? std::string_view{} : sous(vt, p.ss, 2);
    if (seconde.empty()) seconde = "00";
    if (heure == "24" && minute == "00" && seconde == "00") {
        if (auto lendemain = minuit_du_lendemain(annee, mois, jour)) {
            resultat = std::move(*lendemain);
            return;
        }
    }
    if (jour.size() == 2 && mois.size() == 2 && annee.size() == 4 && heure.size() == 2 &&
        minute.size() == 2 && seconde.size() == 2) {
        // The usual full date, placed byte by byte and copied once: this runs for every line.
        const std::array<char, 19> date{jour[0],   jour[1],  '/',        mois[0],   mois[1],
                                        '/',       annee[0], annee[1],   annee[2],  annee[3],
                                        ' ',       heure[0], heure[1],   ':',       minute[0],
                                        minute[1], ':',      seconde[0], seconde[1]};
        resultat.append(date.data(), date.size());
        return;
    }
    resultat.append(jour).append("/").append(mois).append("/").append(annee).append(" ");
    resultat.append(heure).append(":").append(minute).append(":").append(seconde);
}

std::string LecteurDateMesure::lire_date_multiformat(std::string_view texte,
                                                     std::string_view motif) {
    static const std::string ue = fr("multiformat_dt_mini_1\u00e8reUE");
    static const std::string us = fr("multiformat_dt_mini_1\u00e8reUS");
    const int genre = contient(motif, "mm/dd/yyyy")   ? 1
                      : contient(motif, "jj/mm/aaaa") ? 2
                      : contient(motif, ue)           ? 3
                      : contient(motif, us)           ? 4
                                                      : 0;
    const std::string_view t = rogner(texte);
    std::string etoiles(t);
    for (char& c : etoiles) {
        if (c == '/' || c == '-')
            c = '_';
        else if (c == 'T')
            c = ' ';
        else if (est_chiffre(c))
            c = '*';
    }
    std::string heure = "00:00:00";
    if (const auto h = etoiles.find("**:**"); h != npos && h >= 1) {
        heure = sous(t, h, 8);
        if (heure.size() == 5) heure += ":00";
    }

    std::string_view jour = "02", mois = "01", annee = "1900";
    const auto a = etoiles.find("****");
    if (a == 0) {
        annee = sous(t, 0, 4), mois = sous(t, 5, 2), jour = sous(t, 8, 2);
    } else if (a == 6) {
        const std::string_view premier = sous(t, 0, 2), second = sous(t, 3, 2);
        jour = premier, mois = second, annee = sous(t, 6, 4);
        const int n1 = entier_strict(premier);
        if (genre == 1 && n1 >= 0 && n1 <= 12) std::swap(jour, mois);
        if (genre == 3 || genre == 4) {
            const int n2 = entier_strict(second), an = entier_strict(annee);
            const auto r1 = n1 < 0 || n2 < 0 || an < 0 ? std::nullopt : date_civile(an, n2, n1);
            const auto r2 = n1 < 0 || n2 < 0 || an < 0 ? std::nullopt : date_civile(an, n1, n2);
            // Of two possible readings the earlier one wins; an impossible one never does.
            bool echanger = false;
            if (r1 && r2) {
                if (premiere_date_multiformat)
                    echanger = genre == 4;
                else
                    echanger = *r1 - date_reference_multiformat > *r2 - date_reference_multiformat;
            } else {
                echanger = r2.has_value();
            }
            if (r1 || r2) {
                date_reference_multiformat = echanger ? *r2 : *r1;
                premiere_date_multiformat = false;
            }
            if (echanger) std::swap(jour, mois);
        }
    }
    std::string r;
    r.reserve(19);
    r.append(jour).append("/").append(mois).append("/").append(annee).append(" ").append(heure);
    return r;
}

void LecteurDateMesure::lire_souple(std::string_view texte, std::string_view motif,
                                    std::string& resultat, JournalSuivi& journal) {
    const std::string_view complet = texte;
    if (lire_decalage_utc) {
        // Cut off first: the offset's digits must not be taken for the seconds.
        std::size_t longueur = texte.size();
        decalage_utc_lu = decalage_en_fin(texte, longueur);
        texte = texte.substr(0, longueur);
    }
    if (motif != motif_souple_) {
        motif_souple_ = motif;
        groupes_souples_.clear();
        ampm_souple_ = contient(motif, "AM/PM");
        for (std::size_t i = 0; i < motif.size();) {
            const std::string_view reste = motif.substr(i);
            if (reste.starts_with("mmm")) {
                groupes_souples_.push_back({'M', ""});
                i += 3;
            } else if (reste.starts_with("aaaa")) {
                groupes_souples_.push_back({'A', ""});
                i += 4;
            } else if (reste.size() >= 4 && est_chiffre(reste[0]) && est_chiffre(reste[1]) &&
                       reste.substr(2, 2) == "aa") {
                groupes_souples_.push_back({'a', std::string(reste.substr(0, 2))});
                i += 4;
            } else if (reste.starts_with("aa")) {
                groupes_souples_.push_back({'a', "20"});
                i += 2;
            } else if (reste.starts_with("mm") || reste.starts_with("jj") ||
                       reste.starts_with("hh") || reste.starts_with("ss")) {
                groupes_souples_.push_back({reste[0], ""});
                i += 2;
            } else if (reste.starts_with("mn")) {
                groupes_souples_.push_back({'n', ""});
                i += 2;
            } else {
                ++i;
            }
        }
    }

    // The runs of digits of the text, in order.
    std::array<std::string_view, 8> suites{};
    std::size_t nb_suites = 0;
    for (std::size_t i = 0; i < texte.size() && nb_suites < suites.size();) {
        if (!est_chiffre(texte[i])) {
            ++i;
            continue;
        }
        const std::size_t debut = i;
        while (i < texte.size() && est_chiffre(texte[i])) ++i;
        suites[nb_suites++] = texte.substr(debut, i - debut);
    }

    std::string annee, jour, mois, heure = "00", minute = "00", seconde = "00";
    bool annee_vue = false, forme_ok = true;
    std::size_t k = 0;  // the next run of digits
    for (const GroupeSouple& groupe : groupes_souples_) {
        if (groupe.champ == 'M') {
            const int m = premier_mois_nomme(texte);
            if (m == 0) return;  // no month name: no date in this text
            mois = deux(m);
            continue;
        }
        if (k >= nb_suites) {
            if (groupe.champ == 's') continue;
            return;  // too few numbers for the pattern: no date in this text
        }
        const std::string_view s = suites[k++];
        switch (groupe.champ) {
            case 'A':
                forme_ok &= s.size() == 4;
                annee = s, annee_vue = true;
                break;
            case 'a':
                forme_ok &= s.size() == 2;
                annee = groupe.siecle + std::string(s), annee_vue = true;
                break;
            default: {
                forme_ok &= s.size() <= 2;
                std::string& champ = groupe.champ == 'j'   ? jour
                                     : groupe.champ == 'm' ? mois
                                     : groupe.champ == 'h' ? heure
                                     : groupe.champ == 'n' ? minute
                                                           : seconde;
                champ = deux_chiffres(s);
            }
        }
    }
    if (!annee_vue) {
        resultat = "01/01/1900 00:00:00";
        return;
    }
    int h = entier_strict(heure);
    if (ampm_souple_) {
        const std::string haut = majuscules(texte);
        const bool pm = contient(haut, "PM"), am = !pm && contient(haut, "AM");
        if (pm || am) {
            if (h < 1 || h > 12)
                forme_ok = false;
            else
                h = (h % 12) + (pm ? 12 : 0);
            heure = deux(h);
        }
    }
    const int mn = entier_strict(minute), s = entier_strict(seconde);
    if (forme_ok && h == 24 && mn == 0 && s == 0) {
        if (auto lendemain = minuit_du_lendemain(annee, mois, jour)) {
            resultat = std::move(*lendemain);
            return;
        }
    }
    const bool valide = forme_ok && h >= 0 && h <= 23 && mn >= 0 && mn <= 59 && s >= 0 && s <= 59 &&
                        date_civile(entier_strict(annee), entier_strict(mois), entier_strict(jour));
    if (!valide) {
        ajouter_erreur_date(journal, jour, mois, annee, heure, minute, complet);
        return;
    }
    resultat.append(jour).append("/").append(mois).append("/").append(annee).append(" ");
    resultat.append(heure).append(":").append(minute).append(":").append(seconde);
}

void LecteurDateMesure::lire_numerique(std::string_view texte, std::string_view motif,
                                       std::string& resultat) {
    std::string_view t = rogner(texte);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    const std::optional<double> v = lire_nombre(t);
    if (!v) return;
    // Fractions of a second are dropped, as the tenths of a written time are; a day count
    // rarely falls on a second as a double, so it is rounded.
    double secondes = 0;
    switch (compte_du_motif(motif)) {
        case Compte::secondes_unix:
            secondes = std::floor(*v) + serie_epoque_unix * jour_en_secondes;
            break;
        case Compte::millisecondes_unix:
            secondes = std::floor(*v / 1000.0) + serie_epoque_unix * jour_en_secondes;
            break;
        default:
            secondes = std::round(*v * jour_en_secondes);
    }
    // 01/01/1900 to 31/12/9999, the years the canonical text can hold.
    constexpr double premier_jour = 2, dernier_jour = 2958466;
    if (!(secondes >= premier_jour * jour_en_secondes &&
          secondes < dernier_jour * jour_en_secondes))
        return;
    resultat = date_heure_vers_texte(secondes / jour_en_secondes);
}

}  // namespace tarvo

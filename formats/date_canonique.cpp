#include "formats/date_canonique.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "formats/journal_suivi.h"

namespace tarvo {

namespace {

namespace ch = std::chrono;

constexpr ch::sys_days origine = ch::year{1899} / 12 / 30;

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Two or four digits at a position, as an integer; -1 when one is not a digit.
int nombre(std::string_view t, std::size_t pos, std::size_t n) {
    int v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (i >= t.size() || !est_chiffre(t[i])) return -1;
        v = v * 10 + (t[i] - '0');
    }
    return v;
}

bool entre(std::string_view t, std::string_view min, std::string_view max) {
    return t >= min && t <= max;
}

bool chiffre_entre(std::string_view t, std::size_t pos, char min, char max) {
    return pos < t.size() && t[pos] >= min && t[pos] <= max;
}

// The time of day of a "hh:mn:ss" text in days; nothing when it is not one.
std::optional<double> heure_du_jour(std::string_view t) {
    if (t.size() != 8 || t[2] != ':' || t[5] != ':') return std::nullopt;
    const int h = nombre(t, 0, 2), mn = nombre(t, 3, 2), s = nombre(t, 6, 2);
    if (h < 0 || h > 23 || mn < 0 || mn > 59 || s < 0 || s > 59) return std::nullopt;
    return (h * 3600 + mn * 60 + s) / jour_en_secondes;
}

// The timestamp of a calendar date at midnight; false when the date does not exist. The
// per-line path uses it rather than date_civile, whose optional<double> comes back through
// memory: reading it cost each line a failed store-to-load forward.
bool jours_civils(int annee, int mois, int jour, double& jours) {
    if (mois < 1 || mois > 12 || jour < 1 || jour > 31) return false;
    const ch::year_month_day ymd{ch::year{annee}, ch::month{static_cast<unsigned>(mois)},
                                 ch::day{static_cast<unsigned>(jour)}};
    if (!ymd.ok()) return false;
    jours = static_cast<double>((ch::sys_days{ymd} - origine).count());
    return true;
}

// A canonical "jj/mm/aaaa hh:mn:ss" text to its timestamp; nothing when it is no date.
std::optional<double> convertir_canonique(std::string_view t) {
    if (t.size() != 19 || t[2] != '/' || t[5] != '/' || t[10] != ' ') return std::nullopt;
    const int j = nombre(t, 0, 2), m = nombre(t, 3, 2), a = nombre(t, 6, 4);
    if (j < 0 || m < 0 || a < 0) return std::nullopt;
    double jours = 0;
    const bool jour_existe = jours_civils(a, m, j, jours);
    const auto heure = heure_du_jour(t.substr(11));
    if (!jour_existe || !heure) return std::nullopt;
    return jours + *heure;
}

}  // namespace

bool instant_civil(int annee, int mois, int jour, int secondes, double& t) {
    double jours = 0;
    if (!jours_civils(annee, mois, jour, jours)) return false;
    t = jours + secondes / jour_en_secondes;
    return true;
}

std::optional<double> date_civile(int annee, int mois, int jour) {
    double jours = 0;
    if (!jours_civils(annee, mois, jour, jours)) return std::nullopt;
    return jours;
}

double aujourdhui() {
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    localtime_r(&maintenant, &local);
    return date_civile(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(0.0);
}

double texte_vers_date_heure(std::string_view texte, std::string& canonique,
                             JournalSuivi& journal) {
    // A run hands over the canonical texts it built: they need no tidying.
    if (const auto date = convertir_canonique(texte)) {
        canonique.assign(texte);
        return *date;
    }
    // Tidy into a small buffer: trimmed, blanks collapsed, a final ":" dropped. A text
    // that stays longer than 20 characters can have no usable length.
    std::array<char, 24> tampon{};
    std::size_t n = 0;
    {
        std::size_t debut = texte.find_first_not_of(' ');
        if (debut == std::string_view::npos) return 0;
        const std::size_t fin = texte.find_last_not_of(' ');
        for (std::size_t i = debut; i <= fin; ++i) {
            if (texte[i] == ' ' && n > 0 && tampon[n - 1] == ' ') continue;
            if (n == 20) return 0;
            tampon[n++] = texte[i];
        }
    }
    if (n > 0 && tampon[n - 1] == ':') --n;
    const auto completer = [&](std::string_view suite) {
        for (const char c : suite) tampon[n++] = c;
    };
    if (n == 10)
        completer(" 00:00:00");
    else if (n == 13)
        completer(":00:00");
    else if (n == 16)
        completer(":00");
    if (n != 19 && n != 8) return 0;

    for (std::size_t i = 0; i < n; ++i)
        if (tampon[i] == '-') tampon[i] = '/';
    std::string_view t(tampon.data(), n);
    std::array<char, 24> refait{};
    const std::size_t barre = t.find('/');
    if (barre == 4 || barre == 2) {
        // Split at "/" and blanks into year, month, day and time, then rebuild day first.
        std::array<std::string_view, 4> champs{};
        std::size_t k = 0, debut = 0;
        for (std::size_t i = 0; i <= n && k < champs.size(); ++i) {
            if (i == n || t[i] == '/' || t[i] == ' ') {
                champs[k++] = t.substr(debut, i - debut);
                debut = i + 1;
            }
        }
        const auto jour = barre == 4 ? champs[2] : champs[0];
        const auto annee = barre == 4 ? champs[0] : champs[2];
        const auto mois = champs[1], heure = champs[3];
        std::size_t m = 0;
        for (const auto morceau : {jour, std::string_view("/"), mois, std::string_view("/"), annee,
                                   std::string_view(" "), heure})
            for (const char c : morceau)
                if (m < refait.size()) refait[m++] = c;
        t = std::string_view(refait.data(), m);
        const bool valide = entre(jour, "01", "31") && entre(mois, "01", "12") &&
                            chiffre_entre(heure, 0, '0', '2') &&
                            chiffre_entre(heure, 3, '0', '5') && chiffre_entre(heure, 6, '0', '5');
        if (!valide) {
            journal.ajouter_probleme(
                ProblemeSuivi::erreur_date,
                " * erreur date : " + std::string(t) + "   <" + std::string(texte) + ">");
            return 0;
        }
    }
    // Checks passed, yet the text may be no calendar date (31/02) or no time of day (25:00).
    const auto date = t.size() == 8 && t.find('/') == std::string_view::npos
                          ? heure_du_jour(t)
                          : convertir_canonique(t);
    if (!date) {
        journal.ajouter_probleme(ProblemeSuivi::erreur_date, " * erreur date : " + std::string(t) +
                                                                 "   <" + std::string(texte) + ">");
        return 0;
    }
    canonique.assign(t);
    return *date;
}

std::string date_heure_vers_texte(double date) {
    if (!std::isfinite(date) || std::fabs(date) > 3e6) return {};
    const long long secondes = std::llround(date * jour_en_secondes);
    const long long jours = secondes >= 0
                                ? secondes / secondes_par_jour
                                : -((-secondes + secondes_par_jour - 1) / secondes_par_jour);
    const long long reste = secondes - jours * secondes_par_jour;
    const ch::year_month_day ymd{origine + ch::days{jours}};
    std::array<char, 64> tampon{};
    std::snprintf(tampon.data(), tampon.size(), "%02u/%02u/%04d %02lld:%02lld:%02lld",
                  static_cast<unsigned>(ymd.day()), static_cast<unsigned>(ymd.month()),
                  static_cast<int>(ymd.year()), reste / 3600, reste / 60 % 60, reste % 60);
    return tampon.data();
}

}  // namespace tarvo

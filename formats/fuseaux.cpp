#include "formats/fuseaux.h"

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <string>

#include "formats/date_canonique.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

using std::chrono::seconds;

// 01/01/1970 in seconds since 30/12/1899, where the zone rules count from.
constexpr long long epoque_1970 = 25569LL * secondes_par_jour;
// Beyond a few thousand years a zone's first or last interval has no neighbour worth asking.
constexpr long long bord_des_regles = 100'000'000'000LL;

bool chiffre(char c) {
    return c >= '0' && c <= '9';
}

// "hh:mm", "hhmm" or "hh" (hours up to 14, the widest offset in use) as seconds.
std::optional<int> heures_minutes(std::string_view t) {
    int h = 0, m = 0;
    if (t.size() == 2 && chiffre(t[0]) && chiffre(t[1])) {
        h = (t[0] - '0') * 10 + (t[1] - '0');
    } else if ((t.size() == 5 && t[2] == ':') || t.size() == 4) {
        const std::size_t mn = t.size() == 5 ? 3 : 2;
        if (!chiffre(t[0]) || !chiffre(t[1]) || !chiffre(t[mn]) || !chiffre(t[mn + 1]))
            return std::nullopt;
        h = (t[0] - '0') * 10 + (t[1] - '0');
        m = (t[mn] - '0') * 10 + (t[mn + 1] - '0');
    } else {
        return std::nullopt;
    }
    if (h > 14 || m > 59) return std::nullopt;
    return h * 3600 + m * 60;
}

// A signed offset "+hh:mm", "-hhmm", "+hh" (the whole text).
std::optional<int> decalage_signe(std::string_view t) {
    if (t.size() < 3 || (t[0] != '+' && t[0] != '-')) return std::nullopt;
    const auto v = heures_minutes(t.substr(1));
    if (!v) return std::nullopt;
    return t[0] == '-' ? -*v : *v;
}

bool utc_ou_gmt(std::string_view t) {
    const std::string m = majuscules(t);
    return m == "UTC" || m == "GMT";
}

long long secondes_de(const date::sys_seconds& s) {
    return s.time_since_epoch().count();
}

int decalage_de(const date::sys_info& i) {
    return static_cast<int>(i.offset.count());
}

}  // namespace

std::optional<Fuseau> Fuseau::lire(std::string_view texte) {
    const std::string_view t = rogner(texte);
    if (t.size() >= 3 && utc_ou_gmt(t.substr(0, 3))) {
        if (t.size() == 3) return Fuseau(0, nullptr);
        if (const auto d = decalage_signe(t.substr(3))) return Fuseau(*d, nullptr);
        return std::nullopt;
    }
    // Zone names are plain ASCII: anything else cannot name one.
    if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || chiffre(c) || c == '/' ||
                   c == '_' || c == '-' || c == '+';
        }))
        return std::nullopt;
    try {
        const date::time_zone* zone = date::locate_zone(t);
        // The zone's rules are read now, so that no conversion meets an unreadable file.
        (void)zone->get_info(date::sys_seconds{});
        return Fuseau(0, zone);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<int> decalage_en_fin(std::string_view texte, std::size_t& longueur) {
    std::size_t fin = texte.size();
    while (fin > 0 && texte[fin - 1] == ' ') --fin;
    const std::string_view t = texte.substr(0, fin);
    std::optional<int> d;
    std::size_t debut = fin;
    if (t.ends_with('Z')) {
        d = 0, debut = fin - 1;
    } else if (t.size() >= 3 && utc_ou_gmt(t.substr(t.size() - 3))) {
        d = 0, debut = fin - 3;
    } else {
        // The signed forms, longest first: "+hh:mm", "+hhmm".
        for (const std::size_t n : {std::size_t{6}, std::size_t{5}}) {
            if (t.size() < n) continue;
            if ((d = decalage_signe(t.substr(t.size() - n)))) {
                debut = fin - n;
                break;
            }
        }
        if (d && debut >= 3 && utc_ou_gmt(t.substr(debut - 3, 3))) debut -= 3;
    }
    if (!d) return std::nullopt;
    while (debut > 0 && texte[debut - 1] == ' ') --debut;
    longueur = debut;
    return d;
}

ConversionFuseaux::ConversionFuseaux(std::optional<Fuseau> mesures, Fuseau resultat)
    : mesures_(mesures), resultat_(resultat) {}

void ConversionFuseaux::nouveau_fichier() {
    second_passage_ = false;
    precedent_connu_ = false;
}

bool ConversionFuseaux::convertir(double& t, std::optional<int> decalage_ligne) {
    const long long s = std::llround(t * jour_en_secondes) - epoque_1970;
    long long utc = 0;
    if (decalage_ligne) {
        utc = s - *decalage_ligne;
    } else if (!mesures_) {
        return true;
    } else if (!vers_utc(s, utc)) {
        return false;
    }
    const long long r = utc + decalage_resultat(utc) + epoque_1970;
    // Built as the date readers build a timestamp: whole days plus the time of day.
    const long long jours = r >= 0 ? r / secondes_par_jour : -((-r + 86399) / secondes_par_jour);
    t = static_cast<double>(jours) +
        static_cast<double>(r - jours * secondes_par_jour) / jour_en_secondes;
    return true;
}

bool ConversionFuseaux::vers_utc(long long local, long long& utc) {
    const date::time_zone* zone = mesures_->zone();
    if (zone == nullptr) {
        utc = local - mesures_->decalage_fixe();
        return true;
    }
    const bool deja_la = precedent_connu_;
    const long long precedent = precedent_;
    precedent_connu_ = true;
    precedent_ = local;
    if (local >= unique_bas_ && local < unique_haut_) {
        second_passage_ = false;
        utc = local - unique_decalage_;
        return true;
    }
    if (!(local >= double_bas_ && local < double_haut_)) {
        const date::local_info i = zone->get_info(date::local_seconds{seconds{local}});
        if (i.result == date::local_info::nonexistent) return false;
        if (i.result == date::local_info::unique) {
            // The interval where this offset is the only reading: the rule's own interval,
            // less the repeated hours that its neighbours share with it.
            const date::sys_info& s = i.first;
            long long bas = secondes_de(s.begin) + decalage_de(s);
            long long haut = secondes_de(s.end) + decalage_de(s);
            if (secondes_de(s.begin) > -bord_des_regles)
                bas = std::max(
                    bas, secondes_de(s.begin) + decalage_de(zone->get_info(s.begin - seconds{1})));
            if (secondes_de(s.end) < bord_des_regles)
                haut = std::min(haut, secondes_de(s.end) + decalage_de(zone->get_info(s.end)));
            unique_bas_ = bas, unique_haut_ = haut, unique_decalage_ = decalage_de(s);
            second_passage_ = false;
            utc = local - unique_decalage_;
            return true;
        }
        double_bas_ = secondes_de(i.second.begin) + decalage_de(i.second);
        double_haut_ = secondes_de(i.first.end) + decalage_de(i.first);
        premier_ = decalage_de(i.first), second_ = decalage_de(i.second);
        second_passage_ = false;
    }
    // In the repeated hour: a clock that goes back, or writes the same time again, has begun
    // its second pass; a logger writing once an hour repeats its time exactly.
    if (!second_passage_ && deja_la && precedent >= double_bas_ && precedent < double_haut_ &&
        local <= precedent)
        second_passage_ = true;
    utc = local - (second_passage_ ? second_ : premier_);
    return true;
}

long long ConversionFuseaux::decalage_resultat(long long utc) {
    const date::time_zone* zone = resultat_.zone();
    if (zone == nullptr) return resultat_.decalage_fixe();
    if (!(utc >= resultat_bas_ && utc < resultat_haut_)) {
        const date::sys_info i = zone->get_info(date::sys_seconds{seconds{utc}});
        resultat_bas_ = secondes_de(i.begin);
        resultat_haut_ = secondes_de(i.end);
        resultat_decalage_ = decalage_de(i);
    }
    return resultat_decalage_;
}

}  // namespace tarvo

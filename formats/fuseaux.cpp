#include "formats/fuseaux.h"

#include <absl/time/civil_time.h>
#include <absl/time/time.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "formats/date_canonique.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

// 01/01/1970 in seconds since 30/12/1899, where the zone rules count from.
constexpr long long epoque_1970 = 25569LL * secondes_par_jour;
// The bounds of an interval that has no change before or after it, far enough for any date
// and near enough that adding an offset cannot overflow.
constexpr long long lointain = 1LL << 62;

constexpr absl::CivilSecond origine_civile(1970, 1, 1, 0, 0, 0);

absl::CivilSecond civil(long long local) {
    return origine_civile + local;
}

long long secondes_locales(const absl::CivilSecond& c) {
    return c - origine_civile;
}

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

// Files of the zone directory that are no zone of the database's list: the copies under
// posix/ and right/, posixrules, Factory; nor is a path a zone name.
bool nom_de_la_base(std::string_view t) {
    if (t.front() == '/' || t.back() == '/' || t.find("//") != std::string_view::npos) return false;
    const std::string_view premier = t.substr(0, t.find('/'));
    return premier != "posix" && premier != "right" && t != "posixrules" && t != "Factory";
}

// Interval of instants (seconds since 1970) where one offset holds, and the offsets
// before and after it.
struct Intervalle {
    long long debut, fin;
    int avant, apres;
};

}  // namespace

// A zone of the system's database as Abseil reads it. Abseil lists a zone's changes until
// 400 years after the last one its file lists, applying the rule the file gives for later
// years, and repeats those 400 years beyond without listing their changes: past its last
// listed change, a zone keeps its offset or changes it unlisted (change_apres_).
class ZoneSysteme {
public:
    explicit ZoneSysteme(const absl::TimeZone& regles) : regles_(regles) {
        absl::TimeZone::CivilTransition c;
        if (!regles_.PrevTransition(absl::InfiniteFuture(), &c)) return;
        derniere_listee_ = absl::ToUnixSeconds(regles_.At(c.to).trans);
        const int d = decalage(derniere_listee_);
        // A rule changes the offset at least once a year and keeps each offset over a day.
        for (int jour = 1; jour <= 366 && !change_apres_; ++jour)
            change_apres_ = decalage(derniere_listee_ + jour * secondes_par_jour) != d;
    }

    const absl::TimeZone& regles() const { return regles_; }

    int decalage(long long utc) const { return regles_.At(absl::FromUnixSeconds(utc)).offset; }

    // The interval around the instant `utc` where its offset `d` holds; past the last
    // listed change of a zone that keeps changing, that instant alone.
    Intervalle autour(long long utc, int d) const {
        Intervalle r{utc, utc + 1, d, d};
        if (change_apres_ && utc >= derniere_listee_) return r;
        // A change is told by the local times it jumps from and to: the instant plus the
        // offsets before and after it.
        absl::TimeZone::CivilTransition c;
        r.fin = lointain;
        if (regles_.NextTransition(absl::FromUnixSeconds(utc), &c)) {
            r.fin = secondes_locales(c.from) - d;
            r.apres = static_cast<int>(secondes_locales(c.to) - r.fin);
        }
        r.debut = -lointain;
        // The last change before utc + 1 s, that is at or before utc.
        if (regles_.PrevTransition(absl::FromUnixSeconds(utc + 1), &c)) {
            r.debut = secondes_locales(c.to) - d;
            r.avant = static_cast<int>(secondes_locales(c.from) - r.debut);
        }
        return r;
    }

private:
    absl::TimeZone regles_;
    long long derniere_listee_ = -lointain;
    bool change_apres_ = false;
};

namespace {

// Each zone is read once and kept for the program's life, as Fuseau points to it.
const ZoneSysteme* zone_du_systeme(std::string_view nom) {
    static std::mutex verrou;
    static std::map<std::string, std::unique_ptr<const ZoneSysteme>, std::less<>> lues;
    const std::lock_guard garde(verrou);
    if (const auto i = lues.find(nom); i != lues.end()) return i->second.get();
    absl::TimeZone regles;
    if (!absl::LoadTimeZone(std::string(nom), &regles)) return nullptr;
    auto zone = std::make_unique<const ZoneSysteme>(regles);
    const ZoneSysteme* z = zone.get();
    lues.emplace(std::string(nom), std::move(zone));
    return z;
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
    if (!nom_de_la_base(t)) return std::nullopt;
    // The zone's rules are read now, so that no conversion meets an unreadable file.
    const ZoneSysteme* zone = zone_du_systeme(t);
    if (zone == nullptr) return std::nullopt;
    return Fuseau(0, zone);
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
    const ZoneSysteme* zone = mesures_->zone();
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
        using Lecture = absl::TimeZone::TimeInfo;
        const Lecture i = zone->regles().At(civil(local));
        if (i.kind == Lecture::SKIPPED) return false;
        if (i.kind == Lecture::UNIQUE) {
            // The interval where this offset is the only reading: the offset's own interval,
            // less the repeated hours that its neighbours share with it.
            utc = absl::ToUnixSeconds(i.pre);
            const int d = static_cast<int>(local - utc);
            const Intervalle r = zone->autour(utc, d);
            unique_bas_ = r.debut + std::max(d, r.avant);
            unique_haut_ = r.fin + std::min(d, r.apres);
            unique_decalage_ = d;
            second_passage_ = false;
            return true;
        }
        // Repeated: `pre` is its reading in the first pass, `post` in the second.
        const long long bascule = absl::ToUnixSeconds(i.trans);
        premier_ = static_cast<int>(local - absl::ToUnixSeconds(i.pre));
        second_ = static_cast<int>(local - absl::ToUnixSeconds(i.post));
        double_bas_ = bascule + second_;
        double_haut_ = bascule + premier_;
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
    const ZoneSysteme* zone = resultat_.zone();
    if (zone == nullptr) return resultat_.decalage_fixe();
    if (!(utc >= resultat_bas_ && utc < resultat_haut_)) {
        resultat_decalage_ = zone->decalage(utc);
        const Intervalle r = zone->autour(utc, resultat_decalage_);
        resultat_bas_ = r.debut;
        resultat_haut_ = r.fin;
    }
    return resultat_decalage_;
}

}  // namespace tarvo

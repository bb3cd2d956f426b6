// Time zones of the measurement times and of the result: fixed offsets from UTC or zones of
// the system's time-zone database, and the conversion of a file's times, line by line.
#pragma once

#include <optional>
#include <string_view>

namespace tarvo {

// A zone of the system's database, read once for the whole program (fuseaux.cpp).
class ZoneSysteme;

// A zone as the user writes it: a fixed offset from UTC, or a zone of the system's database
// with its summer time.
class Fuseau {
public:
    // "UTC", "GMT", "UTC+01:00", "GMT-07:00", "UTC+0530", "Europe/Paris"; blanks around
    // are ignored. Nothing for any other text, the empty one included.
    //   "GMT-07:00" → fixed, −25200 s        "Europe/Paris" → the database zone
    static std::optional<Fuseau> lire(std::string_view texte);
    static Fuseau utc() { return Fuseau(0, nullptr); }

    // Seconds east of UTC when the offset is fixed.
    int decalage_fixe() const { return decalage_; }
    // The database zone; nullptr for a fixed offset.
    const ZoneSysteme* zone() const { return zone_; }

private:
    Fuseau(int decalage, const ZoneSysteme* zone) : decalage_(decalage), zone_(zone) {}
    int decalage_ = 0;
    const ZoneSysteme* zone_ = nullptr;
};

// The UTC offset written at the end of a time text, in seconds east of UTC: optional blanks
// then "Z", "UTC", "GMT", "+hh:mm", "-hh:mm", "+hhmm", or "UTC"/"GMT" followed by one of the
// signed forms. `longueur` receives the length of the text before the offset (and its blanks).
//   "2024-10-27 02:00:00Z" → 0, longueur 19     "27/10/2024 02:00 GMT-07:00" → −25200
//   "27-10-2024" → nothing (an hour of 20 is no offset)
std::optional<int> decalage_en_fin(std::string_view texte, std::size_t& longueur);

// The times of one file, converted in file order from the measurement zone into the result
// zone. It keeps the interval of the last offset it used, so that ordered lines seldom look a
// rule up, and the previous line's local time, which tells the two passes of an hour that the
// clocks repeat in autumn apart: the first pass until the local time goes back (or repeats)
// inside that hour, the second after. A result zone with summer time has the same hours:
// two instants of its repeated hour give one local time (their steps are shared), and its
// skipped hour receives no time (its steps stay empty).
class ConversionFuseaux {
public:
    // Without a measurement zone, times without their own offset are already result times.
    ConversionFuseaux(std::optional<Fuseau> mesures, Fuseau resultat);

    // A timestamp read from a line (days since 30/12/1899, whole seconds) into the result
    // zone; `decalage_ligne` is the offset written after that time, which overrides the
    // measurement zone. False, t untouched, for a local time the clocks skipped in spring.
    bool convertir(double& t, std::optional<int> decalage_ligne);

    // A new file: its first times are taken in the first pass of a repeated hour.
    void nouveau_fichier();

private:
    // Local seconds since 1970 → UTC seconds; false in a skipped hour.
    bool vers_utc(long long local, long long& utc);
    long long decalage_resultat(long long utc);

    std::optional<Fuseau> mesures_;
    Fuseau resultat_;

    // Local times in [unique_bas_, unique_haut_) are UTC + unique_decalage_.
    long long unique_bas_ = 0, unique_haut_ = 0;
    int unique_decalage_ = 0;
    // The last repeated hour seen: local times in [double_bas_, double_haut_) are UTC +
    // premier_ in their first pass, UTC + second_ in their second.
    long long double_bas_ = 0, double_haut_ = 0;
    int premier_ = 0, second_ = 0;
    bool second_passage_ = false;
    bool precedent_connu_ = false;
    long long precedent_ = 0;
    // Result times: UTC seconds in [resultat_bas_, resultat_haut_) are shifted by
    // resultat_decalage_.
    long long resultat_bas_ = 0, resultat_haut_ = 0;
    int resultat_decalage_ = 0;
};

}  // namespace tarvo

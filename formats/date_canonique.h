// The two forms of every date the program computes with: the timestamp (days since
// 30/12/1899, the fraction being the time of day) and the canonical text
// "jj/mm/aaaa hh:mn:ss".
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class JournalSuivi;

// 01/01/1970 00:00 UTC as a timestamp: where the system's clocks and Qt's dates start.
inline constexpr double serie_epoque_unix = 25569.0;

inline constexpr long long secondes_par_jour = 86400;
// The same counts as doubles, so that dividing a count of seconds by them never truncates.
inline constexpr double jour_en_secondes = static_cast<double>(secondes_par_jour);
inline constexpr double jour_en_millisecondes = jour_en_secondes * 1000.0;

// Timestamp of a calendar date at midnight; nothing when the date does not exist.
std::optional<double> date_civile(int annee, int mois, int jour);

// The timestamp of a day and a time of day in seconds, as the canonical text of that instant
// reads; false when the day does not exist.
bool instant_civil(int annee, int mois, int jour, int secondes, double& t);

// Today's local date at midnight.
double aujourdhui();

// A date text to its timestamp. Accepts year-first or day-first texts, "-" or "/",
// a shortened time, extra blanks; hands the canonical text back through `canonique`.
// 0 for an unusable text (canonique untouched); a text of the right length that fails
// its checks is also written to the log.
//   "2023-12-25 08:05" → 45285.336805…, canonique "25/12/2023 08:05:00"
//   "08:05:00"         → 0.336805…, canonique "08:05:00"
double texte_vers_date_heure(std::string_view texte, std::string& canonique, JournalSuivi& journal);

// The instant a timestamp denotes, in whole milliseconds since 30/12/1899. A corrected time
// (offset, +1 s, drift) and a grid date that name the same instant differ in their last
// bits as doubles; as milliseconds they are equal.
//   0.5 → 43200000        45285.336805555555 → 3912668700000
inline long long millisecondes(double date) {
    return std::llround(date * jour_en_millisecondes);
}

// The canonical text of a timestamp, rounded to the nearest second.
std::string date_heure_vers_texte(double date);

}  // namespace tarvo

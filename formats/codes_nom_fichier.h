// The two small code languages that take a station name and a date from each file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class JournalSuivi;

// The name as the date code cuts it: last extension removed, "-" read as "_" when the
// name has no "_", blanks, "," and ";" turned into "_".
//   normaliser_nom("SCAN 07 01 21_09.txt") == "SCAN_07_01_21_09"
std::string normaliser_nom(std::string_view nom);

// The station of one file from its name (extension included, blanks, "-", ",", ";" and
// "." read as "_"). Items separated by "," are concatenated: n is syllable n, n(mask)
// keeps the characters under the "x" of the mask, "E" is a blank, anything else is
// literal; "n,Mot?" adds "-Mot" when the name holds Mot.
//   lire_code_station("Sonde7_2021_11_10_00.csv", "1,3") == "Sonde711"
//   lire_code_station("Capt_45_202101.CSV", "3(00xx)") == "21"
std::string lire_code_station(std::string_view nom, std::string_view code);

// The station is then read from each file's content, which the listing does itself.
bool station_depuis_contenu(std::string_view code);

struct DateNomFichier {
    std::string texte;  // "aaaa/mm/jj", empty when the name gives no date
    double date = 0;
};

// The date codes the pick list of the file-name date field offers, in its order.
const std::vector<std::string>& codes_date_fichier_proposes();

// The date a file name carries, read with a date code ("aaaammjj,3", "2,3,4",
// "(20)4,3,2", "20aammjj", station-style items building "aaaa/mm/jj"). Without a date
// the timestamp is the given day; failures of a code are explained in the log.
//   ("niveau-m_240502121714_T7418.CSV1", "20aammjj,2") → "2024/05/02"
//   ("mesure_2021_11_10_00.csv", "2,3,4")              → "2021/11/10"
DateNomFichier lire_date_nom_fichier(std::string_view nom, std::string_view code,
                                     JournalSuivi& journal, double date_du_jour);

// The same, today's date standing in when the name gives none.
DateNomFichier lire_date_nom_fichier(std::string_view nom, std::string_view code,
                                     JournalSuivi& journal);

}  // namespace tarvo

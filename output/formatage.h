// The result lines of a run: the finished step table turned into the text rows of the
// result file, and the same rows without their time and count columns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Progression;
class TableEtapes;
struct Description;
enum class MarqueDecimale : int;

// The two lists a run leaves behind, header first; both hold the rows of grid steps 2..N
// formatted so far.
struct ListesResultats {
    std::vector<std::string> ListBox_DONNEE_date_clean;  // what the result file holds
    std::vector<std::string> ListBox_juste_donnee;       // data columns only
};

// `RadioGroup_separateur_sortie_ItemIndex`: 0 tab, 1 " ", 2 " " + tab, 3 ";"; tab otherwise.
std::string separateur_sortie(int index);

// The text of a missing value: "E" (any case, blanks around) is one space, "V" nothing,
// any other text stands as typed.
std::string texte_na(std::string_view Edit_NA);

// The decimals of every value: a whole number from 0 to 20, else 2.
int nb_decimales(std::string_view Edit_nb_decimale);

// "%5.<d>f" with a point, whatever the machine's locale.
//   (1.5, 2) → " 1.50"      (3.6, 0) → "    4"      (12.5, 3) → "12.500"
std::string formater_valeur(long double valeur, int decimales);

// A line count in its shortest form: 3 → "3", 2.5 → "2.5".
std::string nombre_court(long double valeur);

// With the comma chosen, a line holding no comma has its points turned into commas; with
// the point, a line holding no point has its commas turned into points. A line that
// already holds the other mark is kept whole.
void appliquer_marque_decimale(std::string& ligne, MarqueDecimale marque);

// Fills both lists from the finished table (both emptied first) and counts the NA texts of
// the written rows into `nb_vides`. Date texts are items 1..N of `ListBox_date_clean`;
// grid row 1 is built and dropped. False when a stop request made during the formatting
// ended it early: the rows made so far stay in the lists.
bool formater_resultats(TableEtapes& t, const std::vector<std::string>& ListBox_date_clean,
                        const Description& description, ListesResultats& listes,
                        Progression& progression);

}  // namespace tarvo

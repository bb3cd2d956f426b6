// Reading numbers written with either decimal mark, independently of the machine's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// A complete decimal number (sign, decimals, exponent), "," standing for ".", blanks
// around allowed; nothing otherwise, or when it does not fit a double.
std::optional<double> lire_nombre(std::string_view texte);

// The plain form alone, untrimmed: sign, at most 15 digits with one decimal mark, no exponent.
// Up to 22 decimals, digits / 10^decimals is one correctly rounded division of two exact
// doubles: the value lire_nombre gives, at a fraction of its cost. False for any other text.
bool lire_nombre_simple(std::string_view texte, double& valeur);

// Upper-cased, trimmed, one leading "<" removed: "<12,5" and "1E3" are numbers.
bool est_nombre(std::string_view texte);

// The number, 0 when the text is not a complete number ("1,234.5" gives 0).
double lire_reel(std::string_view texte);

// Every "." and "," becomes the given decimal mark.
std::string adapter_separateur_decimal(std::string_view texte, char marque_decimale);

// An optional sign and digits, blanks around allowed; nothing otherwise or beyond int.
std::optional<int> lire_entier(std::string_view texte);

// Field n of the line read as an integer, the default when it is not one.
int champ_entier(std::string_view texte, int n, char separateur, int defaut);

// The digits that follow the word (given in upper case) in the upper-cased text, other
// characters skipped, up to ",", "-", ";" or the end; the default when there are none.
//   entier_apres_mot("ligne 3, colonne 2", "LIGNE", 0) == 3 (without the "," it is 32)
int entier_apres_mot(std::string_view texte, std::string_view mot, int defaut);

}  // namespace tarvo

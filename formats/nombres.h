// Reading numbers written with either decimal mark, independently of the machine's locale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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
inline bool lire_nombre_simple(std::string_view t, double& valeur) {
    static constexpr std::array<double, 23> puissances = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = t.data();
    const char* const fin = p + t.size();
    const bool negatif = p != fin && *p == '-';
    if (p != fin && (*p == '-' || *p == '+')) ++p;
    const char* const debut = p;
    std::uint64_t m = 0;
    while (p != fin && static_cast<unsigned>(*p - '0') <= 9)
        m = m * 10 + static_cast<std::uint64_t>(*p++ - '0');
    std::ptrdiff_t chiffres = p - debut, decimales = 0;
    if (p != fin && (*p == '.' || *p == ',')) {
        const char* const apres = ++p;
        while (p != fin && static_cast<unsigned>(*p - '0') <= 9)
            m = m * 10 + static_cast<std::uint64_t>(*p++ - '0');
        decimales = p - apres;
        chiffres += decimales;
    }
    if (p != fin || chiffres == 0 || chiffres > 15 || decimales > 22) return false;
    const double v = static_cast<double>(m) / puissances[static_cast<std::size_t>(decimales)];
    valeur = negatif ? -v : v;
    return true;
}

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

#include "formats/nombres.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "formats/texte.h"

namespace tarvo {

namespace {

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Sign, digits with at most one decimal mark ("." or ","), optional exponent: the whole
// text must match, so "1,234.5" and "12a" are refused.
bool forme_decimale(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool chiffres = false;
    while (i < t.size() && est_chiffre(t[i])) ++i, chiffres = true;
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        ++i;
        while (i < t.size() && est_chiffre(t[i])) ++i, chiffres = true;
    }
    if (!chiffres) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (i >= t.size() || !est_chiffre(t[i])) return false;
        while (i < t.size() && est_chiffre(t[i])) ++i;
    }
    return i == t.size();
}

}  // namespace

std::optional<double> lire_nombre(std::string_view texte) {
    std::string_view t = rogner(texte);
    if (double v = 0; lire_nombre_simple(t, v)) return v;
    if (!forme_decimale(t)) return std::nullopt;
    if (t.front() == '+') t.remove_prefix(1);
    // from_chars knows only ".": copy to a buffer, on the stack for usual lengths.
    std::array<char, 64> court{};
    std::string long_;
    char* tampon = court.data();
    if (t.size() > court.size()) {
        long_.resize(t.size());
        tampon = long_.data();
    }
    for (std::size_t i = 0; i < t.size(); ++i) tampon[i] = t[i] == ',' ? '.' : t[i];
    double valeur = 0;
    const auto [fin, erreur] = std::from_chars(tampon, tampon + t.size(), valeur);
    if (erreur != std::errc{} || fin != tampon + t.size()) return std::nullopt;
    return valeur;
}

bool est_nombre(std::string_view texte) {
    std::string_view t = rogner(texte);
    if (!t.empty() && t.front() == '<') t.remove_prefix(1);
    return lire_nombre(t).has_value();
}

double lire_reel(std::string_view texte) {
    return lire_nombre(texte).value_or(0.0);
}

std::string adapter_separateur_decimal(std::string_view texte, char marque_decimale) {
    std::string s(texte);
    for (char& c : s)
        if (c == '.' || c == ',') c = marque_decimale;
    return s;
}

std::optional<int> lire_entier(std::string_view texte) {
    std::string_view t = rogner(texte);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty() || t.front() == '+') return std::nullopt;
    int valeur = 0;
    const auto [fin, erreur] = std::from_chars(t.data(), t.data() + t.size(), valeur);
    if (erreur != std::errc{} || fin != t.data() + t.size()) return std::nullopt;
    return valeur;
}

int champ_entier(std::string_view texte, int n, char separateur, int defaut) {
    return lire_entier(champ_vue(texte, n, separateur)).value_or(defaut);
}

int entier_apres_mot(std::string_view texte, std::string_view mot, int defaut) {
    if (mot.empty()) return defaut;
    const std::string haut = majuscules(texte);
    const auto pos = haut.find(mot);
    if (pos == std::string::npos) return defaut;
    std::string chiffres;
    for (std::size_t i = pos + mot.size(); i < haut.size(); ++i) {
        const char c = haut[i];
        if (c == ',' || c == '-' || c == ';') break;
        if (est_chiffre(c)) chiffres += c;
    }
    return lire_entier(chiffres).value_or(defaut);
}

}  // namespace tarvo

#include "engine/table_etapes.h"

#include <algorithm>

#include "formats/date_canonique.h"
#include "formats/texte.h"

namespace tarvo {

void TableEtapes::dimensionner(const std::vector<double>& dates, int K, double date_suivante) {
    N_ = static_cast<int>(dates.size());
    K_ = std::max(2, K);
    nb_lignes_ = N_ + 3;
    // Nothing reads past the line count: the file's other columns need no cells.
    nb_colonnes_ = K_ + 1;
    const std::size_t n =
        static_cast<std::size_t>(nb_lignes_) * static_cast<std::size_t>(nb_colonnes_);
    na.assign(n, 0);
    valeur.assign(n, 0.0L);
    nb_ok.assign(n, 0);
    nature.assign(n, 'r');
    for (int k = 0; k < nb_lignes_; ++k) nature[indice(k, 1)] = 's';
    titres_colonnes.assign(static_cast<std::size_t>(K_) + 1, std::string());
    colonne_source.assign(static_cast<std::size_t>(K_) + 1, 0);
    nb_vides.assign(static_cast<std::size_t>(K_) + 1, 0);
    date.assign(static_cast<std::size_t>(N_) + 1, 0.0);
    std::copy(dates.begin(), dates.end(), date.begin() + 1);
    date_ms.resize(date.size());
    std::transform(date.begin(), date.end(), date_ms.begin(), millisecondes);
    fin_ms = date_suivante > 0 ? millisecondes(date_suivante) : 0;
}

namespace {

// What the allocator takes for a text of n bytes held outside its string: the text, its end
// byte and the chunk's header, by steps of 16.
std::size_t tas(std::size_t n) {
    return n < sizeof(std::string) / 2 ? 0 : (n + 1 + 8 + 15) / 16 * 16;
}

}  // namespace

std::size_t octets_par_rang(int K, std::size_t largeur_valeur) {
    const auto k = static_cast<std::size_t>(std::max(2, K));
    constexpr std::size_t date_texte = 19;
    const std::size_t grille = sizeof(std::string) + tas(date_texte) + sizeof(double);
    const std::size_t cellule =
        sizeof(unsigned char) + sizeof(char) + sizeof(long double) + sizeof(int);
    const std::size_t table = sizeof(double) + sizeof(long long) + (k + 1) * cellule;
    // The count of lines closes each line: a few digits, as a value.
    const std::size_t ligne = date_texte + (k - 1) * largeur_valeur;
    const std::size_t valeurs = (k - 2) * largeur_valeur;
    const std::size_t resultats = 2 * sizeof(std::string) + tas(ligne) + tas(valeurs) + ligne + 2;
    return grille + table + resultats;
}

unsigned long long memoire_des_rangs(long long rangs, int K, std::size_t largeur_valeur) {
    if (rangs <= 0) return 0;
    const unsigned long long par_rang = octets_par_rang(K, largeur_valeur);
    const auto n = static_cast<unsigned long long>(rangs);
    // Past this the product would wrap; any such run is far beyond every limit anyway.
    if (n > ~0ULL / par_rang) return ~0ULL;
    return n * par_rang;
}

std::string texte_go(unsigned long long octets) {
    const unsigned long long dixiemes =
        octets / 100'000'000ULL + (octets % 100'000'000ULL >= 50'000'000ULL ? 1 : 0);
    if (dixiemes >= 100)
        return format_entier_groupe(static_cast<long long>((dixiemes + 5) / 10)) + " Go";
    return std::to_string(dixiemes / 10) + "," + std::to_string(dixiemes % 10) + " Go";
}

}  // namespace tarvo

#include "engine/table_etapes.h"

#include <algorithm>

#include "formats/date_canonique.h"

namespace tarvo {

void TableEtapes::dimensionner(const std::vector<double>& dates, int nb_colonnes_donnees, int K) {
    N_ = static_cast<int>(dates.size());
    K_ = std::max(2, K);
    nb_lignes_ = N_ + 3;
    // A list of chosen columns longer than the file's own columns still needs its cells.
    nb_colonnes_ = std::max(std::max(0, nb_colonnes_donnees) + 5, K_ + 1);
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
}

}  // namespace tarvo

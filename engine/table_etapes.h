// The step table: for every grid step and output column, what the extraction gathered
// and what the aggregation made of it, ready for the result formatting.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarvo {

// Rows 0..N+2 (steps 1..N used), columns 0..K: a wide file of which few columns are kept
// costs the kept ones only. Column 1 is the time, 2..K−1 the data, K the line count.
// Each field is one contiguous array, so the per-line accumulation touches one row.
class TableEtapes {
public:
    // Sizes everything once, for a grid of nb_dates steps and K output columns; every cell
    // is reset as a run starts it.
    // `date_suivante` is one step after the last date (0 when unknown).
    //   dimensionner(dates, 5): rows 0..N+2, columns 0..5
    void dimensionner(const std::vector<double>& dates, int K, double date_suivante = 0.0);

    int N() const { return N_; }
    int K() const { return K_; }

    std::size_t indice(int k, int i) const {
        return static_cast<std::size_t>(k) * static_cast<std::size_t>(nb_colonnes_) +
               static_cast<std::size_t>(i);
    }

    // 1 when the cell holds no usable value.
    std::vector<unsigned char> na;
    // 's' for the time column, 'r' for the others.
    std::vector<char> nature;
    // Sum, last, max, min or cumul while extracting; the finished value afterwards.
    std::vector<long double> valeur;
    // OK values gathered into the cell.
    std::vector<int> nb_ok;

    // Index 1..K.
    std::vector<std::string> titres_colonnes;
    // 1-based field of the input line feeding output column i, index 1..K−1.
    std::vector<int> colonne_source;
    // NA texts the formatting writes per column, index 1..K.
    std::vector<int> nb_vides;
    // date[1..N], the grid timestamps; date[0] is 0 so that step 1 has a lower bound.
    std::vector<double> date;
    // The same dates in whole milliseconds, which the step search compares.
    std::vector<long long> date_ms;
    // Where the last row ends for the rules that give a row [its date, the next date), in
    // whole milliseconds; 0 when the grid did not say.
    long long fin_ms = 0;

    // The lines of all files that fell into step k (the `valeur` of column K).
    long double& nb_lignes_etape(int k) { return valeur[indice(k, K_)]; }
    long double nb_lignes_etape(int k) const { return valeur[indice(k, K_)]; }

private:
    int N_ = 0;
    int K_ = 0;
    int nb_lignes_ = 0;
    int nb_colonnes_ = 0;
};

// The memory a run holds for each grid row, whatever the size of its files: the grid's text
// and time, the step table's cells and the result lines (the list, the values-only list and
// the text of the file). K output columns; `largeur_valeur` is what one written value
// takes, its separator included.
//   octets_par_rang(5, 9) == 453
std::size_t octets_par_rang(int K, std::size_t largeur_valeur);

// What a run of `rangs` grid rows holds, whole.
unsigned long long memoire_des_rangs(long long rangs, int K, std::size_t largeur_valeur);

// Above this the grid or the run is refused, before anything is reserved for it.
inline constexpr unsigned long long memoire_max_rangs = 2'000'000'000ULL;

// A count of bytes as the refusals write it: "1,4 Go", "631 Go", "0,2 Go".
std::string texte_go(unsigned long long octets);

}  // namespace tarvo

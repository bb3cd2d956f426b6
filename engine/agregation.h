// The second half of the engine: how each method gathers the values of a step, how the
// steps are finished, and the corrections run over the finished table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "description/description.h"
#include "engine/table_etapes.h"

namespace tarvo {

class JournalSuivi;
class Progression;

// The caption of the method's radio button (Windows-1252), which the last column title
// quotes; the first method's for an unknown index.
std::string legende_methode(Methode methode);

// One OK value x into cell (k, i); the caller sets its `na`. Max and min take the first
// OK value of the cell as it is, whatever the other columns of the step hold.
inline void accumuler(TableEtapes& t, int k, int i, long double x, Methode methode) {
    const std::size_t c = t.indice(k, i);
    long double& v = t.valeur[c];
    switch (methode) {
        case Methode::ponctuel:
            v = x;
            break;
        case Methode::max:
            v = t.nb_ok[c] == 0 || x > v ? x : v;
            break;
        case Methode::min:
            v = t.nb_ok[c] == 0 || x < v ? x : v;
            break;
        default:
            v += x;
            break;
    }
    ++t.nb_ok[c];
}

// A cell of a step that received lines but fewer than `minimum` OK values in its column
// becomes NA; its line count stays. Returns how many cells were set to NA.
//   minimum 3: a step holding 2 OK values of 360 lines → NA
long long exiger_minimum_valides(TableEtapes& t, int minimum);

// The minimum of the description: 0 (off) when empty, nothing when it is not an integer
// from 0 up.
std::optional<int> minimum_valides(std::string_view Edit_min_mesures_valides);

// Method 4: an empty step between two steps that are OK in a column takes their sums
// and counts, so the finishing gives the mean of both; it stays NA in any other column.
//   steps 10, empty, 20 → 15        steps 10, empty, empty, 20 → both stay NA
void remplir_etapes_vides(TableEtapes& t);

// Means for methods 0 and 4, running totals for method 5, over every step.
void finir_etapes(TableEtapes& t, Methode methode, Progression& progression);

// A cumulative counter that restarted carries its last total forward.
//   0, 10, 20, 30, 5, 15 → 0, 10, 20, 30, 30, 45
void forcer_croissance(TableEtapes& t);

// Linear filling of gaps up to nmax steps, from the first written row (2); a first gap
// takes the first valid value, a last one the last; a gap that starts on row 2 and never
// closes stays NA. Returns the number of interpolations.
//   nmax 3: 10, NA, NA, 40 → 10, 20, 30, 40
int combler_lacunes(TableEtapes& t, std::string_view Edit_nmax_lacune, JournalSuivi& journal);

// y(k) − y(k−1), divided by the step in days for the derivative; rows 1 and 2 become 0.
void calculer_differences(TableEtapes& t, bool derivee, double pas_jours, JournalSuivi& journal);

// Every stage in its order, as the options of the description ask. It runs to the end
// after a stop request too: the steps read before the stop are written finished.
void agreger(TableEtapes& t, const Description& description, double pas_jours,
             JournalSuivi& journal, Progression& progression);

}  // namespace tarvo

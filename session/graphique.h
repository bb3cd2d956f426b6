// What the graph window draws, worked out from the last run's step table: the column
// lists, the per-chart selection texts kept in the description, and each chart's series.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/grille.h"
#include "engine/table_etapes.h"

namespace tarvo {

inline constexpr int nb_graphes = 5;
// Series per chart, and items checked by a dispatch.
inline constexpr int max_series_graphe = 15;

// The checks of the five lists of one kind (columns or derivative marks), chart by chart.
using Coches = std::array<std::vector<bool>, nb_graphes>;

// The items of every column list: titles 2..K−1, then "n OK" padded with spaces to one
// character more than the longest title. Item p is column p + 2; the last is the count.
std::vector<std::string> items_graphe(const TableEtapes& etapes);

// The checks a selection text gives, indices at or beyond `nb_items` ignored.
//   "0,5,;1,;;;;", 9 items → chart 1: 0 and 5, chart 2: 1
Coches restaurer_coches(std::string_view texte, int nb_items);

// Items 0, 1, 2 … dealt round-robin to charts 1..5, at most 15 of them.
//   9 items → "0,5,;1,6,;2,7,;3,8,;4,;"
Coches dispatcher_coches(int nb_items);

// The selection text of the checks: one group per chart ended by ";", each checked index
// followed by ",".
std::string texte_selection(const Coches& coches);

// A drawn point; X is a timestamp or, for the abscissa "n", the row number.
struct PointGraphe {
    double x = 0;
    double y = 0;
};

// One column on one chart: its line is broken wherever a row could not be drawn, so it
// is a list of unbroken runs under one title.
struct SerieGraphe {
    std::string titre;
    int couleur = 0;  // palette entry 0..14
    std::vector<std::vector<PointGraphe>> segments;
    std::size_t nb_points() const;
};

struct DonneesGraphe {
    std::vector<SerieGraphe> series;
    // The left axis as drawn: three times the data range plus 0.1 each side; unset (equal)
    // when no point was drawn.
    double axe_min = 0;
    double axe_max = 0;
    bool a_des_points() const { return axe_max > axe_min; }
};

// Chart k's series from its column and derivative checks; rows 2..N−1 are drawn. The
// series counter runs across the charts of one redraw and picks the colours.
DonneesGraphe donnees_graphe(const TableEtapes& etapes, const std::vector<bool>& colonnes,
                             const std::vector<bool>& derivees,
                             const std::vector<std::string>& items, bool abscisse_n,
                             double pas_jours, int& compteur_series);

// The step shown in the graph window: "pas = 01:00:00", "pas = 2 jours", "pas = 1 mois" …
std::string texte_pas_graphe(const ParametresGrille& parametres);

// The three lines of the point read-out box.
std::string texte_lecture_point(std::string_view titre_serie, double x, double y);

// Whether a value column holds a value the charts can draw (rows 2..N−1, not NA, made of
// at least one measurement): the line counts alone are no data to look at.
bool valeurs_a_tracer(const TableEtapes& etapes);

// The message of a run that left nothing to draw.
std::string message_graphe_sans_donnee();

// The question of "cocher toutes les colonnes ".
std::string question_dispatcher_colonnes();

// The help note of the graph window, one text per line.
std::vector<std::string> aide_graphe();

}  // namespace tarvo

// Shaping the file table by hand after a listing: deleting rows, marking files one by one
// or by station, sorting by a column, and offering the dates the listing found to the
// processing period.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "description/description.h"

namespace tarvo {

class Dialogue;
class JournalSuivi;
class Progression;
class TableFichiers;
struct EtatInventaire;

// --- deletions: each asks Oui / Non and deletes on Oui; false when nothing was deleted
// (no data row, or the answer Non). Rows are data rows, 1-based.

// The rows from `premiere` to `derniere`, the rows below moving up.
bool effacer_selection(TableFichiers& table, int premiere, int derniere, Dialogue& dialogue);
// Rows 1 to `courante`; the last row stays when every row would go.
bool effacer_vers_le_haut(TableFichiers& table, int courante, Dialogue& dialogue);
// `courante` and every row below it.
bool effacer_vers_le_bas(TableFichiers& table, int courante, Dialogue& dialogue);
// The rows whose name date (year/month/day) lies before the day of `debut` or after the
// day of `fin`, both "jj/mm/aaaa ..."; the end day itself stays, and so do rows without
// a name date.
bool effacer_hors_periode(TableFichiers& table, std::string_view debut, std::string_view fin,
                          bool sans_confirmation, Dialogue& dialogue);

// After every deletion: the count, the total size and the name-date extremes again.
// The name dates are read again when the description has a date code.
void recompter_tableau(TableFichiers& table, const Description& description, EtatInventaire& etat,
                       JournalSuivi& journal, Progression& progression);

// --- marks

// A double click in the mark column: "x" when empty, empty otherwise; the marked-file
// list follows.
void basculer_marque(TableFichiers& table, int ligne, EtatInventaire& etat);

enum class ChoixStation {
    ne_cocher_que,
    cocher_en_plus,
    decocher_tout,
    decocher_station,
    cocher_tout
};

// The caption of the station panel and its five choices for station `station`.
std::string titre_panneau_coche();
std::array<std::string, 5> legendes_choix_station(std::string_view station);

// Applies the choice to every data row, keeps the marked-file list in step and returns
// the graph window's new title, `titre_actuel` being its current one.
std::string appliquer_choix_station(TableFichiers& table, ChoixStation choix,
                                    std::string_view station, std::string_view titre_actuel,
                                    EtatInventaire& etat);

// --- sort: one direction flag for the whole table, inverted by every sort, so that two
// double clicks on one title sort up, then down. The mark column sorts the other way.
void trier_par_colonne(TableFichiers& table, int colonne, bool& croissant);

// --- dates offered to the period

// The labels whose double click copies their text into the period or the step.
enum class SourceDate {
    Label_date_min,
    Label_date_max,
    Label_date_heure_min,
    Label_date_heure_max,
    Label_min_dsc,
    Label_max_dsc,
    Label_pas_dsc,
};

// The step-rounded proposals of the date-time extremes, in whole seconds so that a
// timestamp already on a step stays there.
//   25/12/2023 08:07:30, 5 min: down → 08:05:00, nearest → 08:10:00
double arrondir_au_pas_inferieur(double date, double pas);
double arrondir_au_pas_proche(double date, double pas);

// What an accepted copy changes: the start or end text "jj/mm/aaaa hh:mn:ss", or the step
// time as a fraction of a day.
struct CopieDate {
    enum class Cible { debut, fin, pas };
    Cible cible = Cible::debut;
    std::string texte;
    double pas = 0;
};

// Asks, then gives the copy; nothing when the label holds no date or the user declined.
// `pas` is the grid step in days.
std::optional<CopieDate> copier_date_label(SourceDate source, std::string_view texte, double pas,
                                           Dialogue& dialogue, JournalSuivi& journal);

// After a double click on a "date dep" or "date fin" cell: the cell as the start or end
// of the period.
std::optional<CopieDate> copier_date_cellule(const TableFichiers& table, int ligne, int colonne,
                                             Dialogue& dialogue, JournalSuivi& journal);

}  // namespace tarvo

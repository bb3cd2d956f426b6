// The commands of the file table after a listing — deletions, marks, sorts, the file opened
// in the editor, dates copied into the period — run on the session, each telling the
// window what it must draw again.
#pragma once

#include <string>
#include <string_view>

#include "inventory/edition_table.h"

namespace tarvo {

class Dialogue;
class Lanceur;
class Progression;
class Session;

struct SuiteEditionTable {
    bool table_modifiee = false;    // rows, marks or their order
    bool periode_modifiee = false;  // start, end or step: the pickers are loaded again
    bool ligne1_courante = false;   // after a deletion the first row becomes current
};

enum class Effacement { selection, vers_le_haut, vers_le_bas, hors_periode };

// Rows are data rows, 1-based: `premiere`..`derniere` the selection, `premiere` the
// current row for the other deletions. The counts are redone after any answer.
SuiteEditionTable effacer_lignes(Session& session, Effacement quoi, int premiere, int derniere,
                                 bool sans_confirmation, Dialogue& dialogue,
                                 Progression& progression);

// A double click at a cell (row 0 is the title row): the mark, the file in the editor, or
// a sort by that column followed by the offer of a "date dep" / "date fin" cell.
SuiteEditionTable double_clic_table(Session& session, int ligne, int colonne, Dialogue& dialogue,
                                    Lanceur& lanceur);

// The station of the row a right click was on; the title row stands for row 1.
std::string station_de_ligne(const Session& session, int ligne);
// A choice of the station panel; the graph window's title follows.
SuiteEditionTable choisir_station(Session& session, ChoixStation choix, std::string_view station);

// A double click on a label of the listing's extremes or of the description's period.
SuiteEditionTable copier_date(Session& session, SourceDate source, Dialogue& dialogue);

// "réaf tableau complet": the listing again, without stage 1's questions, marks kept.
SuiteEditionTable reafficher_tableau_complet(Session& session, Dialogue& dialogue,
                                             Progression& progression, Lanceur& lanceur);

// Enter in the mask field: true when the listing is to run (the description was modified
// and the mask finds files); without files, a message.
bool valider_masque(Session& session, Dialogue& dialogue);

// Enter in the data-line field: the description is marked modified when the line numbers
// agree, a message otherwise.
void valider_ligne_donnee(Session& session, Dialogue& dialogue);

}  // namespace tarvo

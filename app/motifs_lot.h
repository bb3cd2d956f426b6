// The date patterns a batch user can type, shown by "tarvo-lot --motifs": each family with
// a line of a real logger export that it reads, and the date it reads there.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace tarvo {

enum class FamilleMotif {
    position_fixe,
    multiformat,
    ou,
    deux_colonnes,
    souple,
    compacte,
    numerique,
    code_date_fichier,
    code_station
};

// One example, all texts in UTF-8. For a file-name code the extract is the file name.
struct ExempleMotif {
    FamilleMotif famille;
    std::string_view motif;        // the date-time pattern, the date pattern, or the code
    std::string_view motif_heure;  // the time pattern of two columns, else empty
    std::string_view appareil;     // "Campbell TOA5", "Onset HOBO"…
    // The export, below tests/donnees-reelles; empty for a line quoted from the published
    // data that `appareil` names.
    std::string_view fichier;
    int ligne = 0;  // its line, from 1 (0 for a file-name code)
    char separateur = ',';
    int colonne = 1;           // the date-time field, or the date field
    int colonne_heure = 0;     // the time field of two columns, else 0
    std::string_view extrait;  // the start of that line, as in the file
    std::string_view lu;  // what the pattern reads: "jj/mm/aaaa hh:mn:ss", "aaaa/mm/jj", a station
    // A UTC offset written after the time, read by a flexible pattern once a result zone is
    // set: as written, and in seconds east of UTC.
    std::string_view decalage = {};
    int decalage_secondes = 0;
};

const std::vector<ExempleMotif>& exemples_motifs();

// Every family, its patterns offered by the window and its examples, as the help prints it.
void ecrire_motifs(std::ostream& sortie);

}  // namespace tarvo

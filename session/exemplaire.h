// The sample-file command: a data file picked as an example sets the data directory and
// mask, is shown, and its first lines check and propose the description's line layout.
#pragma once

#include <optional>
#include <string>

#include "session/session.h"

namespace tarvo {

class Dialogue;
class Lanceur;

// The open-file dialog of "Exemplaire de fichier de données".
DemandeFichier demande_exemplaire(const Session& session);

// The whole command once the dialog is answered (nothing: cancelled). It ends with the
// files listed and the description written, unless the user chose to edit the file.
void exemplaire_fichier_donnees(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                                std::optional<std::string> chemin);

// The hint of the listing button `SpeedButton_lister` for an input mode.
std::string bulle_bouton_lister(ModeEntree mode);

// The description fields checked when the user leaves them or presses Enter in them.
inline constexpr const char* champs_controles[] = {"Edit_col_cochee",
                                                   "Edit_format_datetime_mesure",
                                                   "Edit_format_time_mesure_seul",
                                                   "Edit_format_date_mesure_seule",
                                                   "Edit_f_date_fichier",
                                                   "Edit_masque",
                                                   "Edit_equiv_na",
                                                   "Edit_fuseau_mesures",
                                                   "Edit_fuseau_resultat"};

// Leaving field `nom` (or Enter in it, `entree`): its check corrects the description's
// value, shows its message, and Enter in the column list saves the description, Enter in
// a changed mask lists the files.
void quitter_champ(Session& session, Dialogue& dialogue, std::string_view nom, bool entree);

}  // namespace tarvo

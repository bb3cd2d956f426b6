// The pick lists that fill the three measurement date patterns and the file-name date code.
#pragma once

#include "ui/commandes.h"

namespace tarvo {

// `SpeedButton_date_heure`, `SpeedButton_date`, `SpeedButton_heure` and `SpeedButton_date_fic`
// open or close their list over the window; a double-click fills the field with the item.
// Clicking into one of the four fields closes the four lists.
void connecter_listes_motifs(const ContexteCommandes& contexte);

}  // namespace tarvo

// The sample-file command and the checks of the description fields, wired to the window.
#pragma once

#include "ui/commandes.h"

namespace tarvo {

// `SpeedButton_choix_fic_donnee` runs the open-file dialog then the sample-file command;
// leaving a checked field (or Enter in it) runs its check.
void connecter_commandes_exemplaire(const ContexteCommandes& contexte);

}  // namespace tarvo

// The sample-file command, the checks of the description fields and the fields of the
// input mode, wired to the window.
#pragma once

#include "inventory/prelecture.h"
#include "ui/commandes.h"

namespace tarvo {

// The fields of the input the mask selects: the sheet of a workbook, the file-name codes of
// files, neither for the clipboard.
void afficher_mode(QWidget* fenetre, ModeEntree mode);

// `SpeedButton_choix_fic_donnee` runs the open-file dialog then the sample-file command;
// leaving a checked field (or Enter in it) runs its check.
void connecter_commandes_exemplaire(const ContexteCommandes& contexte);

}  // namespace tarvo

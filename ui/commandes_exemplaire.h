// The sample-file command, the checks of the description fields and the fields of the
// input mode, wired to the window.
#pragma once

#include <vector>

#include "inventory/prelecture.h"
#include "ui/commandes.h"

namespace tarvo {

// The fields of the input the mask selects: the sheet of a workbook, the file-name codes of
// files, neither for the clipboard. Its controls are found once, under the window.
class ControlesMode {
public:
    ControlesMode() = default;
    explicit ControlesMode(const QWidget* fenetre);
    void afficher(ModeEntree mode) const;

private:
    std::vector<QWidget*> classeur_;
    std::vector<QWidget*> fichiers_;
    std::vector<QWidget*> sauf_presse_papier_;
    QWidget* presse_papier_ = nullptr;
    QWidget* lister_ = nullptr;
};

// `SpeedButton_choix_fic_donnee` runs the open-file dialog then the sample-file command;
// leaving a checked field (or Enter in it) runs its check.
void connecter_commandes_exemplaire(const ContexteCommandes& contexte);

}  // namespace tarvo

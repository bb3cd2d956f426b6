// The colour panel of the main window: a chooser for each of the four colours of the
// window and the choice between colours and grey levels.
#pragma once

#include <QColor>
#include <array>
#include <vector>

#include "description/fichiers_programme.h"
#include "ui/commandes.h"
#include "ui/couleurs.h"

namespace tarvo {

// Builds the hidden `Panel_des_couleurs` over the window's central widget, where the
// description binding finds `RadioGroup_coul_nb`, and wires the button "couleurs", the four
// choosers, "X" and the two modes.
void connecter_couleurs(const ContexteCommandes& contexte);

// The four choosers of the panel built by `connecter_couleurs`; they serve colour mode only.
std::vector<QWidget*> choisisseurs_couleur(const QWidget* fenetre);

// What confirming the colour dialog does: `role` takes `couleur`, the window is painted
// again and the description counts as modified, so that saving it keeps the colour.
void choisir_couleur(const ContexteCommandes& contexte, RoleCouleur role, const QColor& couleur);

// The sixteen custom colours of the dialog; the first and the ninth are the background
// and the buttons as they stand on screen.
void preparer_couleurs_personnalisees(const std::array<Couleur, 4>& affichees);

}  // namespace tarvo

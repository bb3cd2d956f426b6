// The window's four colours: each control says which one it takes through its "couleur"
// property ("fond", "boutons", "listes", "saisie"), and one pass paints them all.
#pragma once

#include <QColor>
#include <QString>

#include <array>

#include "description/fichiers_programme.h"

class QWidget;

namespace tarvo {

enum class RoleCouleur { fond = 0, boutons = 1, listes = 2, saisie = 3 };

// Tags a control with the colour it takes.
void donner_role(QWidget* controle, RoleCouleur role);

QColor couleur_qt(Couleur c);

// Paints `racine` with the background and every tagged control under it with its colour.
void appliquer_couleurs(QWidget* racine, const std::array<Couleur, 4>& couleurs);

// Caption colours of the buttons.
inline const QColor couleur_rouge(255, 0, 0);
inline const QColor couleur_marron(128, 0, 0);
inline const QColor couleur_bleue(0, 0, 255);
inline const QColor couleur_pourpre(128, 0, 128);
void colorer_legende(QWidget* controle, const QColor& couleur);
// The normal text colour again.
void legende_normale(QWidget* controle);

}  // namespace tarvo

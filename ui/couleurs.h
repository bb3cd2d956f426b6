// The window's four colours: each control says which one it takes through its "couleur"
// property ("fond", "boutons", "listes", "saisie"), and one pass paints them all.
#pragma once

#include <QColor>
#include <QString>
#include <array>

#include "description/fichiers_programme.h"

class QWidget;

namespace tarvo {

class Session;

enum class RoleCouleur { fond = 0, boutons = 1, listes = 2, saisie = 3 };

// Tags a control with the colour it takes.
void donner_role(QWidget* controle, RoleCouleur role);

QColor couleur_qt(Couleur c);

// Paints `racine` with the background and every tagged control under it with its colour,
// then the few controls with a rule of their own: the floating help box white, the
// underline labels in the background colour (they vanish), the graph window in the list
// colour, the tracking log back to its small size.
void appliquer_couleurs(QWidget* racine, const std::array<Couleur, 4>& couleurs);

// The colours the session's mode calls for, painted only when they differ from the last
// ones painted on `fenetre`: a refresh after any command costs nothing otherwise.
void repeindre_si_change(QWidget* fenetre, const Session& session);

// Caption colours of the buttons.
inline const QColor couleur_rouge(255, 0, 0);
inline const QColor couleur_marron(128, 0, 0);
inline const QColor couleur_bleue(0, 0, 255);
inline const QColor couleur_pourpre(128, 0, 128);
void colorer_legende(QWidget* controle, const QColor& couleur);
// The normal text colour again.
void legende_normale(QWidget* controle);

}  // namespace tarvo

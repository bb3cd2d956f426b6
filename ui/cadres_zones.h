// The frames that outline the five zones of the main window with their captions, shown by
// "?+" (everything in front) or "?-" (frames only, horizontal bars behind the controls).
#pragma once

#include "ui/commandes.h"

namespace tarvo {

// Wires "?+" and "?-"; the 26 frame panels are made on first use, then only shown and
// hidden. While they are shown, releasing a key anywhere in the window hides them and
// reaches nothing else.
void connecter_cadres(const ContexteCommandes& contexte);

}  // namespace tarvo

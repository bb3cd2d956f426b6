// The two buttons of the main window that open the user manual.
#pragma once

#include "ui/commandes.h"

namespace tarvo {

// `SpeedButton_help` opens the manual; `SpeedButton_url` ("mise à jour") opens its last
// chapter, "Versions".
void connecter_manuel(const ContexteCommandes& contexte);

}  // namespace tarvo

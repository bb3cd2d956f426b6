// The numbered help of the main window: the help area, the floating help box, and the
// pointer that picks the entry of the control under it.
#pragma once

#include "ui/commandes.h"

namespace tarvo {

// Gives `Memo2` its look, adds the hidden floating box `Memo3`, and shows the entry of the
// control under the pointer in both while the pointer moves over the window.
void connecter_aide(const ContexteCommandes& contexte);

}  // namespace tarvo

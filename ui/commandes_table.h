// The commands of the file table: deletions, marks by row and by station, sorts, the file
// opened in the editor, and the dates the listing shows copied into the period.
#pragma once

namespace tarvo {

struct ContexteCommandes;

void connecter_commandes_table(const ContexteCommandes& contexte);

}  // namespace tarvo

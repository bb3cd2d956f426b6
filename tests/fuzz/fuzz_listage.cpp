// Fuzzes stage 1 on a logger file and the description meant to read it: the listing with
// its pre-reading, the column titles, the preview and the column list the window shows.
#include "tests/fuzz/fuzz_listage.h"

#include <cstddef>
#include <cstdint>

#include "inventory/intitules.h"
#include "inventory/prelecture.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    fuzz::Listage l(donnees, taille);
    const ResultatListage r = l.lister();
    apercu_tampon(l.inventaire.tampon_fichier_lu);
    resume_colonnes_extraites(r.description, l.inventaire.colonnes.Edit_intitule_origine, "");
    if (r.fin == FinListage::complet)
        lister_colonnes(r.description, l.inventaire.colonnes, 0, "moyenne", l.journal, l.dialogue);
    return 0;
}

#include "output/ecriture.h"

#include "formats/cp1252.h"
#include "formats/fichiers.h"

namespace tarvo {

void ecrire_lignes(std::ostream& sortie, const std::vector<std::string>& lignes,
                   std::string_view quoi) {
    for (const std::string& ligne : lignes) {
        sortie.write(ligne.data(), static_cast<std::streamsize>(ligne.size()));
        sortie.write("\r\n", 2);
        if (!sortie) break;
    }
    if (!sortie) throw ErreurFichier(fr("Impossible d'écrire ") + std::string(quoi));
}

}  // namespace tarvo

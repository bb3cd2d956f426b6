#include "output/messages.h"

#include "formats/cp1252.h"

namespace tarvo {

std::string texte_valeurs_copiees() {
    return fr(
        " les colonnes sans la date ni le nombre de lignes extraites\n\n sont "
        "copiées dans le presse-papier");
}

}  // namespace tarvo

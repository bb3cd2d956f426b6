// Fuzzes the station code language: any file name, any code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/codes_nom_fichier.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    // The file name, NUL, then the code.
    const std::string_view entree(reinterpret_cast<const char*>(donnees), taille);
    const std::size_t nul = entree.find('\0');
    const std::string_view nom = entree.substr(0, nul);
    const std::string_view code =
        nul == std::string_view::npos ? std::string_view{} : entree.substr(nul + 1);
    const std::string station = tarvo::lire_code_station(nom, code);
    tarvo::station_depuis_contenu(code);
    (void)station;
    return 0;
}

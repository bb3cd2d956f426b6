// Fuzzes the .ods reader: the input is the content.xml of a real zip, every sheet in it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_classeur.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string chemin = fuzz::sous_dossier("donnees") + "releve.ods";
    fuzz::ecrire_zip(chemin, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                              {"content.xml", {reinterpret_cast<const char*>(donnees), taille}}});
    fuzz::convertir(chemin);
    return 0;
}

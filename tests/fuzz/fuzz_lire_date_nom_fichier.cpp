// Fuzzes the date code language: any file name, any code, a fixed day standing in.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/codes_nom_fichier.h"
#include "formats/journal_suivi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    // The file name, NUL, then the code.
    const std::string_view entree(reinterpret_cast<const char*>(donnees), taille);
    const std::size_t nul = entree.find('\0');
    const std::string_view nom = entree.substr(0, nul);
    const std::string_view code =
        nul == std::string_view::npos ? std::string_view{} : entree.substr(nul + 1);
    tarvo::JournalSuivi journal;
    // A fixed day (25/12/2023) keeps a finding reproducible on another day.
    tarvo::lire_date_nom_fichier(nom, code, journal, 45285.0);
    tarvo::normaliser_nom(nom);
    return 0;
}

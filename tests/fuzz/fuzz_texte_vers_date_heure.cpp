// Fuzzes the date text reader; a date it accepts must come back from its timestamp.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    tarvo::JournalSuivi journal;
    const std::string intacte = "<intacte>";
    std::string canonique = intacte;
    const double date = tarvo::texte_vers_date_heure(texte, canonique, journal);
    if (canonique == intacte) {
        if (date != 0) __builtin_trap();
        return 0;
    }
    // The canonical text and the text of the timestamp are one and the same date.
    const std::string refait = tarvo::date_heure_vers_texte(date);
    if (canonique.size() == 19) {
        if (refait != canonique) __builtin_trap();
    } else if (canonique.size() != 8 || !refait.ends_with(canonique)) {
        __builtin_trap();
    }
    return 0;
}

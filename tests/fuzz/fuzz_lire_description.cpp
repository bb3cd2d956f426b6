// Fuzzes the ".dsc" reader on a file as a user's editor may leave it; what it read, written
// and read again, must write the same text: a description saved twice does not drift.
#include <cstddef>
#include <cstdint>
#include <string>

#include "description/cles_description.h"
#include "description/fichier_description.h"
#include "formats/journal_suivi.h"
#include "tests/fuzz/fuzz_commun.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string dossier = fuzz::sous_dossier("descriptions");
    fuzz::ecrire(dossier + "essai.dsc", {reinterpret_cast<const char*>(donnees), taille});
    const ContexteDescription contexte{fuzz::sous_dossier("programme"), fuzz::maintenant_fixe};
    JournalSuivi journal;
    Description lue = description_par_defaut(contexte);
    const auto r = lire_description(dossier, "essai.dsc", lue, contexte, journal);
    if (r.etat != ResultatLectureDescription::Etat::lue) return 0;

    const std::string ecrite = ecrire_description_texte(lue);
    Description relue = description_par_defaut(contexte);
    if (!lire_description_texte(ecrite, relue, contexte, journal).complete()) __builtin_trap();
    if (ecrire_description_texte(relue) != ecrite) __builtin_trap();
    return 0;
}

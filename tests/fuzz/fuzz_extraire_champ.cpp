// Fuzzes field splitting: any line, any field number around the limits, the four usual
// separators; the view must lie in the line and agree with the copying form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/texte.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    if (taille < 2) return 0;
    // One byte cannot hold 257 field numbers and 4 separators: the first byte picks the
    // separator and adds its top bit to the second, which gives the field 0..256.
    constexpr char separateurs[] = {';', ',', ' ', '\t'};
    const char separateur = separateurs[donnees[0] % 4];
    const int n = donnees[1] + (donnees[0] >> 7);
    const std::string_view ligne(reinterpret_cast<const char*>(donnees) + 2, taille - 2);

    const std::string_view vue = tarvo::champ_vue(ligne, n, separateur);
    const std::string copie = tarvo::extraire_champ(ligne, n, separateur);
    if (!vue.empty()) {
        const char* debut = ligne.data();
        const char* fin = ligne.data() + ligne.size();
        if (vue.data() < debut || vue.data() + vue.size() > fin) __builtin_trap();
        if (vue.front() == ' ' || vue.back() == ' ') __builtin_trap();
        if (vue.find(separateur) != std::string_view::npos) __builtin_trap();
    }
    if ((n < 1 || n > tarvo::champ_max) && !vue.empty()) __builtin_trap();
    if (copie != vue) __builtin_trap();
    return 0;
}

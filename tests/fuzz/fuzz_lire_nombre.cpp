// Fuzzes the number reader: a number it accepts is the double the standard conversion
// gives for the same text read with a decimal point, to the last bit.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/nombres.h"
#include "formats/texte.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    const auto lu = tarvo::lire_nombre(texte);
    if (!lu) return 0;
    std::string reference(tarvo::rogner(texte));
    if (!reference.empty() && reference.front() == '+') reference.erase(0, 1);
    for (char& c : reference)
        if (c == ',') c = '.';
    double attendu = 0;
    const auto [fin, erreur] =
        std::from_chars(reference.data(), reference.data() + reference.size(), attendu);
    if (erreur != std::errc{} || fin != reference.data() + reference.size()) __builtin_trap();
    if (*lu != attendu || std::signbit(*lu) != std::signbit(attendu)) __builtin_trap();
    return 0;
}

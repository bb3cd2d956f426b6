#include "formats/cp1252.h"

#include <array>
#include <cstdint>

namespace tarvo {

namespace {

// Code points of bytes 0x80..0x9F; the unassigned ones keep their own value.
constexpr std::array<char32_t, 32> haut_c1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> octet_de(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < haut_c1.size(); ++i)
        if (haut_c1[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// Decodes one UTF-8 sequence at position i; nothing when malformed.
std::optional<char32_t> decoder(std::string_view s, std::size_t& i) {
    const auto o = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = o(i);
    std::size_t n = 0;
    char32_t c = 0;
    if (b < 0x80) {
        ++i;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        n = 1, c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        n = 2, c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        n = 3, c = b & 0x07;
    } else {
        return std::nullopt;
    }
    if (i + n >= s.size()) return std::nullopt;
    for (std::size_t k = 1; k <= n; ++k) {
        if ((o(i + k) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (o(i + k) & 0x3F);
    }
    constexpr std::array<char32_t, 4> minimum = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    i += n + 1;
    return c;
}

void coder(char32_t c, std::string& sortie) {
    if (c < 0x80) {
        sortie += static_cast<char>(c);
    } else if (c < 0x800) {
        sortie += static_cast<char>(0xC0 | (c >> 6));
        sortie += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        sortie += static_cast<char>(0xE0 | (c >> 12));
        sortie += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string utf8_vers_cp1252(std::string_view utf8) {
    std::string sortie;
    sortie.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        if (const auto c = decoder(utf8, i)) {
            const auto octet = octet_de(*c);
            sortie += octet ? static_cast<char>(*octet) : '?';
        } else {
            sortie += utf8[i++];
        }
    }
    return sortie;
}

std::optional<std::string> utf8_vers_cp1252_exact(std::string_view utf8) {
    std::string sortie;
    sortie.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = decoder(utf8, i);
        if (!c) return std::nullopt;
        const auto octet = octet_de(*c);
        if (!octet) return std::nullopt;
        sortie += static_cast<char>(*octet);
    }
    return sortie;
}

char caractere_cp1252(char32_t c) {
    const auto o = octet_de(c);
    return o ? static_cast<char>(*o) : '?';
}

std::string cp1252_vers_utf8(std::string_view cp1252) {
    std::string sortie;
    sortie.reserve(cp1252.size() + cp1252.size() / 8);
    for (const char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            sortie += ch;
        else if (b < 0xA0)
            coder(haut_c1[b - 0x80], sortie);
        else
            coder(b, sortie);
    }
    return sortie;
}

}  // namespace tarvo

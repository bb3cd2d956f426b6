// Conversion between the Windows-1252 bytes that every core text holds and UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// UTF-8 (source literals, file-system names, the window toolkit) to Windows-1252.
// A character the code page cannot hold becomes "?"; a malformed byte is kept as it is.
std::string utf8_vers_cp1252(std::string_view utf8);

// The same, but nothing when the text is not valid UTF-8 or holds a character that
// Windows-1252 cannot hold: used where a lossy name would point at another file.
std::optional<std::string> utf8_vers_cp1252_exact(std::string_view utf8);

// One character as its Windows-1252 byte, "?" when the code page cannot hold it.
char caractere_cp1252(char32_t c);

// Windows-1252 to UTF-8. Lossless: the five unassigned bytes map to the C1 controls
// of the same value, which utf8_vers_cp1252 maps back.
std::string cp1252_vers_utf8(std::string_view cp1252);

// Short form for French literals written in UTF-8 in the source.
inline std::string fr(std::string_view utf8) {
    return utf8_vers_cp1252(utf8);
}

}  // namespace tarvo

// Text files of the output: lines ended by CR LF written to a stream, and the one adapter
// that puts a stream's text on disk without ever leaving a half-written file.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Each line followed by CR LF, the last one too. Throws ErreurFichier when the stream
// fails, naming `quoi` (the file) in the message.
void ecrire_lignes(std::ostream& sortie, const std::vector<std::string>& lignes,
                   std::string_view quoi);

// Lets `ecrire` fill a stream, then replaces the file at `chemin` with what it wrote, through
// a temporary file renamed over the target. Throws ErreurFichier; the old file stays whole.
void ecrire_fichier_texte(std::string_view chemin,
                          const std::function<void(std::ostream&)>& ecrire);

}  // namespace tarvo

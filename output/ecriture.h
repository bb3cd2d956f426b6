// Text files of the output: lines ended by CR LF written to a stream.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Each line followed by CR LF, the last one too. Throws ErreurFichier when the stream
// fails, naming `quoi` (the file) in the message.
void ecrire_lignes(std::ostream& sortie, const std::vector<std::string>& lignes,
                   std::string_view quoi);

}  // namespace tarvo

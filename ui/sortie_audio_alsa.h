// The end-of-run sound on the default ALSA output.
#pragma once

#include <cstdint>
#include <vector>

#include "plateforme/sortie_audio.h"

namespace tarvo {

class SortieAudioAlsa final : public SortieAudio {
public:
    // Blocks until the whole buffer has been played; false on a machine without sound.
    bool jouer(const std::vector<std::int32_t>& echantillons,
               int frequence_echantillonnage) override;
};

}  // namespace tarvo

// A SortieAudio for tests: it plays nothing and keeps every buffer it was given.
#pragma once

#include <cstdint>
#include <vector>

#include "plateforme/sortie_audio.h"

namespace tarvo {

class SortieAudioEnregistreuse final : public SortieAudio {
public:
    struct Tampon {
        std::vector<std::int32_t> echantillons;
        int frequence_echantillonnage;
        bool operator==(const Tampon&) const = default;
    };

    bool jouer(const std::vector<std::int32_t>& echantillons,
               int frequence_echantillonnage) override {
        joues.push_back({echantillons, frequence_echantillonnage});
        return reussite;
    }

    std::vector<Tampon> joues;
    bool reussite = true;
};

}  // namespace tarvo

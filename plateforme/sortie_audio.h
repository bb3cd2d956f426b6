// The default audio output, used for the sound that ends a long run.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo {

class SortieAudio {
public:
    SortieAudio() = default;
    SortieAudio(const SortieAudio&) = delete;
    SortieAudio& operator=(const SortieAudio&) = delete;
    virtual ~SortieAudio() = default;

    // Plays one mono buffer of 32-bit signed samples and returns once it has been heard;
    // false when the device could not be opened or the buffer not played.
    virtual bool jouer(const std::vector<std::int32_t>& echantillons,
                       int frequence_echantillonnage) = 0;
};

}  // namespace tarvo

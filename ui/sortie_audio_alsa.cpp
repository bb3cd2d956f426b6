#include "ui/sortie_audio_alsa.h"

#include <alsa/asoundlib.h>

#include <bit>
#include <memory>

namespace tarvo {

namespace {

struct FermerPcm {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

// The samples are handed over as they lie in memory.
constexpr snd_pcm_format_t format_natif =
    std::endian::native == std::endian::little ? SND_PCM_FORMAT_S32_LE : SND_PCM_FORMAT_S32_BE;

// Half a second of buffering: enough against the window's pauses, short for a 1 s sound.
constexpr unsigned latence_us = 500000;

}  // namespace

bool SortieAudioAlsa::jouer(const std::vector<std::int32_t>& echantillons,
                            int frequence_echantillonnage) {
    if (frequence_echantillonnage <= 0) return false;
    snd_pcm_t* ouvert = nullptr;
    if (snd_pcm_open(&ouvert, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
    const std::unique_ptr<snd_pcm_t, FermerPcm> pcm(ouvert);
    if (snd_pcm_set_params(pcm.get(), format_natif, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                           static_cast<unsigned>(frequence_echantillonnage), 1, latence_us) < 0)
        return false;

    const std::int32_t* suite = echantillons.data();
    auto reste = static_cast<snd_pcm_uframes_t>(echantillons.size());
    while (reste > 0) {
        snd_pcm_sframes_t ecrits = snd_pcm_writei(pcm.get(), suite, reste);
        if (ecrits < 0) {
            // An underrun or a suspended device is recovered once; anything else ends the sound.
            if (snd_pcm_recover(pcm.get(), static_cast<int>(ecrits), 1) < 0) return false;
            continue;
        }
        suite += ecrits;
        reste -= static_cast<snd_pcm_uframes_t>(ecrits);
    }
    return snd_pcm_drain(pcm.get()) >= 0;
}

}  // namespace tarvo

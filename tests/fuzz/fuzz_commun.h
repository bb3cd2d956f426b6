// What the fuzz targets of the readers share: a scratch directory for the files they hand
// the program, the cutting of an input into its parts, and answers to the program's boxes
// taken from the input. Progress and launches are the batch program's: silent, nothing started.
#pragma once

#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "app/plateforme_lot.h"
#include "description/cles_description.h"
#include "description/description.h"
#include "formats/journal_suivi.h"
#include "plateforme/dialogue.h"

namespace tarvo::fuzz {

// One directory per process, made at the first call and removed when the process ends
// normally; the readers find their files there by the path a user would give.
inline const std::string& dossier() {
    struct Dossier {
        Dossier() {
            std::string modele =
                (std::filesystem::temp_directory_path() / "tarvo_fuzz_XXXXXX").string();
            if (mkdtemp(modele.data()) == nullptr) std::abort();
            chemin = modele + "/";
        }
        ~Dossier() {
            std::error_code ignore;
            std::filesystem::remove_all(chemin, ignore);
        }
        std::string chemin;
    };
    static const Dossier d;
    return d.chemin;
}

// A directory below the scratch one, with its final "/".
inline std::string sous_dossier(std::string_view nom) {
    const std::string chemin = dossier() + std::string(nom) + "/";
    std::filesystem::create_directories(chemin);
    return chemin;
}

inline void ecrire(const std::string& chemin, std::string_view octets) {
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f.write(octets.data(), static_cast<std::streamsize>(octets.size()));
    if (!f) std::abort();
}

// The pieces of an input are separated by this line; the last piece takes the rest whole,
// so that a data file may hold anything.
inline constexpr std::string_view separateur_parties = "\n@@\n";

template <std::size_t N>
std::array<std::string_view, N> parties(const uint8_t* donnees, std::size_t taille) {
    std::string_view reste(reinterpret_cast<const char*>(donnees), taille);
    std::array<std::string_view, N> p{};
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const std::size_t fin = reste.find(separateur_parties);
        p[i] = reste.substr(0, fin);
        if (fin == std::string_view::npos) return p;
        reste.remove_prefix(fin + separateur_parties.size());
    }
    p[N - 1] = reste;
    return p;
}

// Each box takes the next byte of its answers as the button pressed; once they run out,
// the first button, as a user going straight on would.
class DialogueFuzz final : public Dialogue {
public:
    explicit DialogueFuzz(std::string_view reponses) : reponses_(reponses) {}

    void message(IdMessage, std::string_view, TypeMessage) override {}
    Reponse question(IdMessage, std::string_view, TypeMessage, Boutons boutons,
                     std::optional<Reponse> = std::nullopt) override {
        switch (boutons) {
            case Boutons::ok:
                return Reponse::ok;
            case Boutons::oui_non:
                return suivante(2) == 0 ? Reponse::oui : Reponse::non;
            case Boutons::oui_annuler:
                return suivante(2) == 0 ? Reponse::oui : Reponse::annuler;
            case Boutons::oui_non_annuler:
                break;
        }
        constexpr std::array<Reponse, 3> r{Reponse::oui, Reponse::non, Reponse::annuler};
        return r[suivante(3)];
    }
    int message_perso(IdMessage, std::string_view, TypeMessage, std::string_view,
                      std::string_view legende2, std::string_view legende3) override {
        return 1 + suivante(legende3.empty() ? (legende2.empty() ? 1 : 2) : 3);
    }

private:
    unsigned suivante(unsigned nb_boutons) {
        if (reponses_.empty()) return 0;
        const auto octet = static_cast<unsigned char>(reponses_.front());
        reponses_.remove_prefix(1);
        return octet % nb_boutons;
    }
    std::string_view reponses_;
};

// A fixed time (25/12/2023 08:00) keeps a finding reproducible on another day.
inline constexpr double maintenant_fixe = 45285.0 + 8.0 / 24;

// The description a user would have written, read by the real reader, its three
// directories then put below the scratch one (data in "donnees/") and its mask set to the
// one the target's files carry.
inline Description description_fuzz(std::string_view dsc, std::string_view masque) {
    const ContexteDescription contexte{sous_dossier("programme"), maintenant_fixe};
    Description d = description_par_defaut(contexte);
    JournalSuivi journal;
    lire_description_texte(dsc, d, contexte, journal);
    d.dossier_choisi = sous_dossier("donnees");
    d.dossier_description = sous_dossier("descriptions");
    d.dossier_choisi_sortie = sous_dossier("sorties");
    d.Edit_masque = masque;
    return d;
}

// The data file of the targets that list: a name that file-name codes can read a date from.
inline constexpr std::string_view nom_fichier_donnees = "station_20231225_0800.dat";

}  // namespace tarvo::fuzz

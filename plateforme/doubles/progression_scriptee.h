// A Progression for tests: it records the progress texts and can raise the stop request
// after a chosen number of event passes, as a user pressing stop mid-run would.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plateforme/progression.h"

namespace tarvo {

class ProgressionScriptee final : public Progression {
public:
    struct Affichage {
        std::string message;
        int chronometre;
        bool operator==(const Affichage&) const = default;
    };

    // arret_demande() turns true once traiter_evenements() has been called n times.
    void arreter_apres(int n) { arret_apres_ = n; }

    void afficher_progression(std::string_view message, int chronometre) override;
    void afficher_temps_restant(std::string_view texte) override {
        temps_restants.emplace_back(texte);
    }
    void traiter_evenements() override { ++nb_passes; }
    bool arret_demande() const override { return arret_apres_ && nb_passes >= *arret_apres_; }

    std::vector<Affichage> affichages;
    std::vector<std::string> temps_restants;
    int nb_passes = 0;

private:
    std::optional<int> arret_apres_;
};

}  // namespace tarvo

#include "plateforme/doubles/progression_scriptee.h"

#include <gtest/gtest.h>

namespace tarvo {

void ProgressionScriptee::afficher_progression(std::string_view message, int chronometre) {
    if (chronometre < chronometre_liste || chronometre > chronometre_traitement) {
        ADD_FAILURE() << "ProgressionScriptee: no stopwatch " << chronometre << " for:\n"
                      << message;
    }
    affichages.push_back({std::string(message), chronometre});
}

}  // namespace tarvo

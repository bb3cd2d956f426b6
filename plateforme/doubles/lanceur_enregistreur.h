// A Lanceur for tests: it starts nothing, records each request and reports the outcome
// the test chose, so a failed launch can be simulated.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plateforme/lanceur.h"

namespace tarvo {

class LanceurEnregistreur final : public Lanceur {
public:
    enum class Genre { editeur, document, extinction };

    struct Appel {
        Genre genre;
        std::string argument;
        bool operator==(const Appel&) const = default;
    };

    bool ouvrir_dans_editeur(std::string_view chemin) override {
        return enregistrer(Genre::editeur, chemin) && editeur_present;
    }
    bool ouvrir_document(std::string_view chemin_ou_adresse) override {
        return enregistrer(Genre::document, chemin_ou_adresse);
    }
    bool eteindre_machine(std::string_view message) override {
        return enregistrer(Genre::extinction, message);
    }

    std::vector<Appel> appels;
    bool reussite = true;
    // False: the editor the description names is not on this machine.
    bool editeur_present = true;

private:
    bool enregistrer(Genre genre, std::string_view argument) {
        appels.push_back({genre, std::string(argument)});
        return reussite;
    }
};

}  // namespace tarvo

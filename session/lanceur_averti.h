// The launcher the window uses: the machine's own, plus the warning a user gets when the
// text editor could not be started at all.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plateforme/lanceur.h"

namespace tarvo {

class Dialogue;

class LanceurAverti final : public Lanceur {
public:
    // `editeur` gives the editor setting of the current description.
    LanceurAverti(Lanceur& lanceur, Dialogue& dialogue, std::function<std::string()> editeur);

    bool ouvrir_dans_editeur(std::string_view chemin) override;
    bool ouvrir_document(std::string_view chemin_ou_adresse) override {
        return lanceur_.ouvrir_document(chemin_ou_adresse);
    }
    bool eteindre_machine(std::string_view message) override {
        return lanceur_.eteindre_machine(message);
    }

private:
    Lanceur& lanceur_;
    Dialogue& dialogue_;
    std::function<std::string()> editeur_;
};

}  // namespace tarvo

// Starting the text editor, the desktop viewer of a document or address, and the power-off.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plateforme/lanceur.h"

namespace tarvo {

class LanceurQt final : public Lanceur {
public:
    // `editeur` gives the editor setting as it stands now: a program, then an optional
    // parameter that is not passed on.
    explicit LanceurQt(std::function<std::string()> editeur) : editeur_(std::move(editeur)) {}

    // False when the setting names no program this machine has.
    bool ouvrir_dans_editeur(std::string_view chemin) override;
    bool ouvrir_document(std::string_view chemin_ou_adresse) override;
    bool eteindre_machine(std::string_view message) override;

private:
    std::function<std::string()> editeur_;
};

}  // namespace tarvo

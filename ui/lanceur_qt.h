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
    // `signaler` is told, once per editor setting, that the editor named could not be started
    // and the desktop's application was used instead.
    explicit LanceurQt(std::function<std::string()> editeur,
                       std::function<void(const std::string&)> signaler = {})
        : editeur_(std::move(editeur)), signaler_(std::move(signaler)) {}

    // The editor when it can be found, else the desktop's own application for the file.
    bool ouvrir_dans_editeur(std::string_view chemin) override;
    bool ouvrir_document(std::string_view chemin_ou_adresse) override;
    bool eteindre_machine(std::string_view message) override;

private:
    std::function<std::string()> editeur_;
    std::function<void(const std::string&)> signaler_;
    std::string deja_signale_;
};

}  // namespace tarvo

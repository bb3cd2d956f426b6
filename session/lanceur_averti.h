// The launcher the window uses: the machine's own, which falls back on the desktop's
// application for a file when the text editor the description names cannot be started.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "plateforme/lanceur.h"

namespace tarvo {

class LanceurAverti final : public Lanceur {
public:
    // `editeur` gives the editor setting of the current description; `signaler` receives the
    // tracking-log line that says the editor is missing, once per editor setting.
    LanceurAverti(Lanceur& lanceur, std::function<std::string()> editeur,
                  std::function<void(const std::string&)> signaler);

    // A description that names no editor opens its files with the desktop's application.
    bool ouvrir_dans_editeur(std::string_view chemin) override;
    bool ouvrir_document(std::string_view chemin_ou_adresse) override {
        return lanceur_.ouvrir_document(chemin_ou_adresse);
    }
    bool eteindre_machine(std::string_view message) override {
        return lanceur_.eteindre_machine(message);
    }

private:
    Lanceur& lanceur_;
    std::function<std::string()> editeur_;
    std::function<void(const std::string&)> signaler_;
    std::string deja_signale_;
};

}  // namespace tarvo

// A Dialogue that shows nothing and answers as a user going straight on would: Oui to every
// question, OK to a message, a chosen button of a three-button box. For the programs that
// drive the window without a person (pictures, benchmarks), where no script is known.
#pragma once

#include "plateforme/dialogue.h"

namespace tarvo {

class DialogueDirect final : public Dialogue {
public:
    explicit DialogueDirect(int choix_perso = 1) : choix_perso_(choix_perso) {}

    void message(IdMessage, std::string_view, TypeMessage) override {}
    Reponse question(IdMessage, std::string_view, TypeMessage, Boutons boutons,
                     std::optional<Reponse> = std::nullopt) override {
        return boutons == Boutons::ok ? Reponse::ok : Reponse::oui;
    }
    int message_perso(IdMessage, std::string_view, TypeMessage, std::string_view, std::string_view,
                      std::string_view) override {
        return choix_perso_;
    }

private:
    int choix_perso_;
};

}  // namespace tarvo

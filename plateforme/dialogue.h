// The message boxes the core shows the user: a plain message, a question with a fixed
// button set, and the three-button box with captions of its own.
#pragma once

#include <string_view>

#include "plateforme/id_message.h"

namespace tarvo {

// The values are those the three-button box expects of its type (0 warning … 3 confirmation).
enum class TypeMessage { avertissement = 0, erreur = 1, information = 2, confirmation = 3 };

enum class Boutons { oui_non, oui_non_annuler, oui_annuler, ok };

enum class Reponse { oui, non, annuler, ok };

class Dialogue {
public:
    Dialogue() = default;
    Dialogue(const Dialogue&) = delete;
    Dialogue& operator=(const Dialogue&) = delete;
    virtual ~Dialogue() = default;

    // Every box comes with its identity: what it means, which its text only shows.

    // A modal box with the single button OK.
    virtual void message(IdMessage id, std::string_view texte,
                         TypeMessage type = TypeMessage::information) = 0;

    // A modal box with the given buttons; returns the one pressed.
    virtual Reponse question(IdMessage id, std::string_view texte, TypeMessage type,
                             Boutons boutons) = 0;

    // The same box for a question whose Oui loses something: Enter gives its last button
    // (Non, or Annuler), as closing it does. Boxes without a default button ask it plainly.
    virtual Reponse question_prudente(IdMessage id, std::string_view texte, TypeMessage type,
                                      Boutons boutons) {
        return question(id, texte, type, boutons);
    }

    // A modal box with one button per caption given (an empty caption means no button);
    // returns 1, 2 or 3 after the button pressed, and 2 when the box is closed without one.
    virtual int message_perso(IdMessage id, std::string_view texte, TypeMessage type,
                              std::string_view legende1, std::string_view legende2 = {},
                              std::string_view legende3 = {}) = 0;
};

}  // namespace tarvo

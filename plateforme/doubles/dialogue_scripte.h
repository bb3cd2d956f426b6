// A Dialogue for tests: it answers from a script written by the test and records every
// box it was asked to show, so a test checks the boxes' identities, the path the code took
// and, where a test pins them, the texts.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "plateforme/dialogue.h"

namespace tarvo {

class DialogueScripte final : public Dialogue {
public:
    enum class Genre { message, question, message_perso };

    // One box as it was shown.
    struct Vu {
        Genre genre;
        std::string texte;
        TypeMessage type;
        std::optional<Boutons> boutons;     // ok for a message, none for message_perso
        std::vector<std::string> legendes;  // message_perso only, without trailing empty ones
        bool operator==(const Vu&) const = default;
    };

    DialogueScripte() = default;
    // An answer left unused means the code did not ask what the test expected: it fails.
    ~DialogueScripte() override;

    // Answers are taken in the order queued, one per question or message_perso; the
    // kind queued must match the call, and the answer must be a button the box shows.
    void attendre_question(Reponse reponse);
    void attendre_choix(int choix);

    void message(IdMessage id, std::string_view texte,
                 TypeMessage type = TypeMessage::information) override;
    Reponse question(IdMessage id, std::string_view texte, TypeMessage type,
                     Boutons boutons) override;
    Reponse question_prudente(IdMessage id, std::string_view texte, TypeMessage type,
                              Boutons boutons) override;
    int message_perso(IdMessage id, std::string_view texte, TypeMessage type,
                      std::string_view legende1, std::string_view legende2 = {},
                      std::string_view legende3 = {}) override;

    std::vector<Vu> vus;
    // The identity of each box of `vus`, in the same order.
    std::vector<IdMessage> ids;
    // The identities of the questions asked with the cautious answer as default.
    std::vector<IdMessage> prudentes;

    // Where a script not followed is reported; unset, as a GoogleTest failure.
    static std::function<void(const std::string&)> rapporteur;

private:
    std::optional<std::variant<Reponse, int>> prendre_suivante();

    std::deque<std::variant<Reponse, int>> attendues_;
};

}  // namespace tarvo

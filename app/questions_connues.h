// The questions the core may ask during a batch run, and how the batch program answers
// each of them when no one is there to click.
#pragma once

#include <string_view>

#include "plateforme/dialogue.h"

namespace tarvo {

// Buttons are numbered from 1 in the order the box shows them: Oui, Non, Annuler for a
// question (Oui, Annuler for Oui/Annuler; OK alone), the captions for a three-button box.
struct QuestionConnue {
    IdMessage id;
    int bouton;         // the answer of the policy
    unsigned abandons;  // bit b set: answering button b ends the run (status 3)
};

// The policy's entry for the question; nothing for one it does not know.
const QuestionConnue* question_connue(IdMessage id);

// A button number's answer, caption and the number of buttons of a question box.
Reponse reponse_du_bouton(Boutons boutons, int numero);
std::string_view legende_bouton(Boutons boutons, int numero);
int nb_boutons(Boutons boutons);

}  // namespace tarvo

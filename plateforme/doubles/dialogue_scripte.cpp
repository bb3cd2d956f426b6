#include "plateforme/doubles/dialogue_scripte.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace tarvo {

namespace {

const char* nom(Reponse reponse) {
    switch (reponse) {
        case Reponse::oui:
            return "oui";
        case Reponse::non:
            return "non";
        case Reponse::annuler:
            return "annuler";
        case Reponse::ok:
            return "ok";
    }
    return "?";
}

const char* nom(Boutons boutons) {
    switch (boutons) {
        case Boutons::oui_non:
            return "oui/non";
        case Boutons::oui_non_annuler:
            return "oui/non/annuler";
        case Boutons::oui_annuler:
            return "oui/annuler";
        case Boutons::ok:
            return "ok";
    }
    return "?";
}

std::string decrire(const std::variant<Reponse, int>& reponse) {
    if (const auto* r = std::get_if<Reponse>(&reponse)) {
        return std::string("answer ") + nom(*r);
    }
    return "choice " + std::to_string(std::get<int>(reponse));
}

bool bouton_present(Reponse reponse, Boutons boutons) {
    switch (boutons) {
        case Boutons::oui_non:
            return reponse == Reponse::oui || reponse == Reponse::non;
        case Boutons::oui_non_annuler:
            return reponse != Reponse::ok;
        case Boutons::oui_annuler:
            return reponse == Reponse::oui || reponse == Reponse::annuler;
        case Boutons::ok:
            return reponse == Reponse::ok;
    }
    return false;
}

// After a failure the code under test goes on: give it the refusal the box really offers,
// so it takes the path that changes nothing rather than one no user could choose.
Reponse refus(Boutons boutons) {
    switch (boutons) {
        case Boutons::oui_non:
            return Reponse::non;
        case Boutons::ok:
            return Reponse::ok;
        case Boutons::oui_non_annuler:
        case Boutons::oui_annuler:
            break;
    }
    return Reponse::annuler;
}

}  // namespace

std::function<void(const std::string&)> DialogueScripte::rapporteur;

namespace {
std::ostringstream texte_de() {
    return std::ostringstream();
}
void signaler(const std::ostream& flux) {
    const std::string texte = static_cast<const std::ostringstream&>(flux).str();
    if (DialogueScripte::rapporteur)
        DialogueScripte::rapporteur(texte);
    else
        ADD_FAILURE() << texte;
}
}  // namespace

DialogueScripte::~DialogueScripte() {
    for (const auto& reponse : attendues_) {
        signaler(texte_de() << "DialogueScripte: " << decrire(reponse)
                            << " was queued but never asked for");
    }
}

void DialogueScripte::attendre_question(Reponse reponse) {
    attendues_.emplace_back(reponse);
}

void DialogueScripte::attendre_choix(int choix) {
    if (choix < 1 || choix > 3) {
        signaler(texte_de() << "DialogueScripte: a three-button box returns 1, 2 or 3, not "
                            << choix);
        return;
    }
    attendues_.emplace_back(choix);
}

std::optional<std::variant<Reponse, int>> DialogueScripte::prendre_suivante() {
    if (attendues_.empty()) {
        return std::nullopt;
    }
    auto suivante = attendues_.front();
    attendues_.pop_front();
    return suivante;
}

void DialogueScripte::message(IdMessage id, std::string_view texte, TypeMessage type) {
    ids.push_back(id);
    vus.push_back({Genre::message, std::string(texte), type, Boutons::ok, {}});
}

Reponse DialogueScripte::question(IdMessage id, std::string_view texte, TypeMessage type,
                                  Boutons boutons) {
    ids.push_back(id);
    vus.push_back({Genre::question, std::string(texte), type, boutons, {}});
    const auto suivante = prendre_suivante();
    if (!suivante) {
        signaler(texte_de() << "DialogueScripte: unexpected question (" << nom(boutons) << "):\n"
                            << texte);
        return refus(boutons);
    }
    const auto* reponse = std::get_if<Reponse>(&*suivante);
    if (reponse == nullptr) {
        signaler(texte_de() << "DialogueScripte: question answered with a " << decrire(*suivante)
                            << ":\n"
                            << texte);
        return refus(boutons);
    }
    if (!bouton_present(*reponse, boutons)) {
        signaler(texte_de() << "DialogueScripte: " << decrire(*suivante) << " is not a button of "
                            << nom(boutons) << ":\n"
                            << texte);
        return refus(boutons);
    }
    return *reponse;
}

Reponse DialogueScripte::question_prudente(IdMessage id, std::string_view texte, TypeMessage type,
                                           Boutons boutons) {
    prudentes.push_back(id);
    return question(id, texte, type, boutons);
}

int DialogueScripte::message_perso(IdMessage id, std::string_view texte, TypeMessage type,
                                   std::string_view legende1, std::string_view legende2,
                                   std::string_view legende3) {
    ids.push_back(id);
    std::vector<std::string> legendes{std::string(legende1), std::string(legende2),
                                      std::string(legende3)};
    while (legendes.size() > 1 && legendes.back().empty()) {
        legendes.pop_back();
    }
    vus.push_back({Genre::message_perso, std::string(texte), type, std::nullopt, legendes});

    // The last button is the way out by habit; with a single button, closing the box is.
    const int refus_perso = legende3.empty() ? 2 : 3;
    const auto suivante = prendre_suivante();
    if (!suivante) {
        signaler(texte_de() << "DialogueScripte: unexpected message_perso:\n" << texte);
        return refus_perso;
    }
    const auto* choix = std::get_if<int>(&*suivante);
    if (choix == nullptr) {
        signaler(texte_de() << "DialogueScripte: message_perso answered with an "
                            << decrire(*suivante) << ":\n"
                            << texte);
        return refus_perso;
    }
    // 2 is always possible: it is also what closing the box returns.
    if (*choix < 1 || *choix > 3 || (*choix == 3 && legende3.empty())) {
        signaler(texte_de() << "DialogueScripte: " << decrire(*suivante) << " is not a button of:\n"
                            << texte);
        return refus_perso;
    }
    return *choix;
}

}  // namespace tarvo

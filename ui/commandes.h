// What the window lends to the groups of commands that live outside its own file: each
// group connects its controls (found by objectName under `fenetre`) to session commands.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace tarvo {

class Dialogue;
class Lanceur;
class Session;
struct DemandeFichier;

struct ContexteCommandes {
    QWidget* fenetre = nullptr;
    Session* session = nullptr;
    Dialogue* dialogue = nullptr;
    Lanceur* lanceur = nullptr;
    // Runs a session command between the screen and the session: the controls go to the
    // record before it, every view comes back from the session after it; refused while
    // another command runs.
    std::function<void(const std::function<void()>&)> executer;
    // The open (false) or save (true) file dialog; nothing when cancelled.
    std::function<std::optional<std::string>(const DemandeFichier&, bool enregistrer)>
        choisir_fichier;
    // Stage 1, as its button runs it.
    std::function<void()> lister;
};

}  // namespace tarvo

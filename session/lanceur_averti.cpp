#include "session/lanceur_averti.h"

#include <utility>

#include "formats/cp1252.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

LanceurAverti::LanceurAverti(Lanceur& lanceur, Dialogue& dialogue,
                             std::function<std::string()> editeur)
    : lanceur_(lanceur), dialogue_(dialogue), editeur_(std::move(editeur)) {}

bool LanceurAverti::ouvrir_dans_editeur(std::string_view chemin) {
    if (lanceur_.ouvrir_dans_editeur(chemin)) return true;
    dialogue_.message(IdMessage::editeur_absent,
                      contient(majuscules(editeur_()), "NOTEPAD++")
                          ? fr("  Notepad++ non installé...\n\n")
                          : fr("  Notepad non trouvé...\n\n"),
                      TypeMessage::avertissement);
    return false;
}

}  // namespace tarvo

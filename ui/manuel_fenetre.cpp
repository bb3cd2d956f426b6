#include "ui/manuel_fenetre.h"

#include <QAbstractButton>
#include <QObject>
#include <QWidget>

#include "session/manuel.h"
#include "ui/controles.h"

namespace tarvo {

void connecter_manuel(const ContexteCommandes& contexte) {
    connecter_clic(
        contexte.fenetre, QStringLiteral("SpeedButton_help"), contexte.fenetre, [contexte] {
            ouvrir_manuel(*contexte.lanceur, *contexte.dialogue, chemins_manuel_du_programme());
        });
    // A viewer started by the desktop takes no page: "mise à jour" opens the chapter
    // "Versions" kept in a file of its own, or the whole manual where that file is missing.
    connecter_clic(
        contexte.fenetre, QStringLiteral("SpeedButton_url"), contexte.fenetre, [contexte] {
            std::vector<std::string> candidats = chemins_manuel_du_programme(nom_manuel_versions);
            for (std::string& chemin : chemins_manuel_du_programme())
                candidats.push_back(std::move(chemin));
            ouvrir_manuel(*contexte.lanceur, *contexte.dialogue, candidats);
        });
}

}  // namespace tarvo

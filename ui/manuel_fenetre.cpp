#include "ui/manuel_fenetre.h"
#include "ui/controles.h"

#include <QAbstractButton>
#include <QObject>
#include <QWidget>

#include "session/manuel.h"

namespace tarvo {

void connecter_manuel(const ContexteCommandes& contexte) {
    const auto ouvrir = [contexte] {
        ouvrir_manuel(*contexte.lanceur, *contexte.dialogue, chemins_manuel_du_programme());
    };
    // A PDF viewer takes no reliable section anchor from the desktop: "mise à jour" opens
    // the manual, whose table of contents on its second page gives the page of "Versions".
    for (const char* nom : {"SpeedButton_help", "SpeedButton_url"})
        connecter_clic(contexte.fenetre, QLatin1String(nom), contexte.fenetre, ouvrir);
}

}  // namespace tarvo

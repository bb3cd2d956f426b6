// Pictures of the main window at the moments a user sees most, for a person to look at:
// start, after listing, after the time list, after a run, with the directory panel open,
// and a three-button box. The manual is built with them.
// Usage: tarvo-captures <output directory> <width> <height>   (run under Xvfb or offscreen)
#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QMouseEvent>
#include <QTimeEdit>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "outils/captures/atelier_captures.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"
#include "ui/plateforme_qt.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto seance = tarvo::seance_sur_l_exemple(argc, argv, "tarvo-captures");
    if (!seance) return 2;
    tarvo::FenetrePrincipale& fenetre = seance->fenetre();
    const QString& sortie = seance->sortie;
    const auto capture = [&](const char* nom) { seance->capturer(nom); };
    const auto cliquer = [&](const char* nom) { seance->cliquer(nom); };
    // TARVO_TAILLES=1 prints the size each zone asks for, to see what widens the window.
    if (std::getenv("TARVO_TAILLES"))
        for (const char* nom : {"zone1", "zone2", "zone3", "zone4", "zone5"}) {
            auto* z = fenetre.findChild<QWidget*>(nom);
            std::printf("%s min %d x %d  hint %d x %d\n", nom, z->minimumSizeHint().width(),
                        z->minimumSizeHint().height(), z->sizeHint().width(),
                        z->sizeHint().height());
            for (auto* enfant : z->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                std::printf("   %s %s min %d hint %d\n", enfant->metaObject()->className(),
                            qPrintable(enfant->objectName()), enfant->minimumSizeHint().width(),
                            enfant->sizeHint().width());
        }
    capture("1-demarrage");
    // The period the example was made for, as a user would type it in the pickers.
    const auto jour = [&](const std::string& texte) {
        return QDate::fromString(tarvo::qt(texte).left(10), QStringLiteral("dd/MM/yyyy"));
    };
    fenetre.findChild<QDateEdit*>("DatePicker_deb")
        ->setDate(jour(fenetre.session().description.Label_min_dsc));
    fenetre.findChild<QDateEdit*>("DatePicker_fin")
        ->setDate(jour(fenetre.session().description.Label_max_dsc));
    fenetre.findChild<QTimeEdit*>("TimePicker_pas")->setTime(QTime(1, 0));
    cliquer("SpeedButton_lister");
    capture("2-apres-listage");
    // The preview of the file pre-read, in its numbered columns.
    if (auto* apercu = fenetre.findChild<QWidget*>("Memo6"))
        apercu->grab().save(sortie + "/2c-apercu.png");
    cliquer("SpeedButton_creer_listes_date_clean");
    capture("2b-liste-horodatee");
    cliquer("SpeedButton_traiter_fichier");
    // The pointer left on the run button: the help area shows its entry.
    if (auto* bouton = fenetre.findChild<QWidget*>("SpeedButton_traiter_fichier")) {
        const QPoint centre = bouton->rect().center();
        QMouseEvent mouvement(QEvent::MouseMove, centre, bouton->mapToGlobal(centre), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bouton, &mouvement);
    }
    capture("3-apres-traitement");
    cliquer("RadioButton_fen_suivi_petite");
    capture("3b-apres-traitement-suivi-petit");
    cliquer("SpeedButton_choix_rep_donnee");
    capture("4-repertoires");
    cliquer("SpeedButton_annuler_repertoire");

    const auto boite = tarvo::DialogueQt::construire_message_perso(
        &fenetre,
        tarvo::fr("Le sous-répertoire \\EXPORT n'existe pas \n\n\\Données       /mesures/\n\n"
                  "GARDER le répertoire ou CRÉER le répertoire \\EXPORT ?"),
        tarvo::TypeMessage::confirmation, "GARDER", tarvo::fr("CRÉER \\EXPORT"), "Annuler");
    boite->show();
    QApplication::processEvents();
    boite->grab().save(sortie + "/5-message-perso.png");
    std::printf("%s\n", qPrintable(sortie));
    return 0;
}

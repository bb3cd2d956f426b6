// Pictures of the main window's colour scheme and zone frames, for a person to look at:
// the frames of "?+" and "?-", grey mode, and the colour panel open.
// Usage: tarvo-captures-couleurs <output directory> <width> <height>   (run under Xvfb)
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "outils/captures/atelier_captures.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <dossier> <largeur> <hauteur>\n", argv[0]);
        return 2;
    }
    const QString sortie = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(sortie);
    const int largeur = std::atoi(argv[2]), hauteur = std::atoi(argv[3]);

    const std::string racine = tarvo::racine_captures("tarvo-captures-couleurs");
    tarvo::copier_exemple(racine);
    tarvo::AtelierCaptures atelier;
    const auto ouverte = atelier.ouvrir(racine, racine + "exemples/LeGue_horaire.dsc", largeur, hauteur);
    tarvo::FenetrePrincipale& fenetre = *ouverte;
    const auto capture = [&](const char* nom) {
        QApplication::processEvents();
        fenetre.grab().save(sortie + "/" + nom + ".png");
    };
    const auto cliquer = [&](const char* nom) {
        fenetre.findChild<QAbstractButton*>(nom)->click();
    };
    capture("1-couleurs");
    cliquer("SpeedButton_help2");
    capture("2-cadres-plus");
    cliquer("SpeedButton_help2");
    cliquer("SpeedButton_help3");
    capture("3-cadres-moins");
    cliquer("SpeedButton_help3");
    cliquer("SpeedButton11");
    capture("4-panneau-couleurs");
    cliquer("RadioButton2_coul_nb");
    capture("5-niveaux-de-gris");
    return 0;
}

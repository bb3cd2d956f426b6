// Pictures of the main window's colour scheme and zone frames, for a person to look at:
// the frames of "?+" and "?-", grey mode, and the colour panel open.
// Usage: tarvo-captures-couleurs <output directory> <width> <height>   (run under Xvfb)
#include <QApplication>

#include "outils/captures/atelier_captures.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto seance = tarvo::seance_sur_l_exemple(argc, argv, "tarvo-captures-couleurs");
    if (!seance) return 2;
    const auto capture = [&](const char* nom) { seance->capturer(nom); };
    const auto cliquer = [&](const char* nom) { seance->cliquer(nom); };
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

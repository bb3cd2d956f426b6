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

#include "plateforme/doubles/dialogue_direct.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
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

    const std::string racine =
        (std::filesystem::temp_directory_path() / "tarvo-captures-couleurs").string() + "/";
    std::filesystem::remove_all(racine);
    std::filesystem::create_directories(racine + "programme");
    std::filesystem::create_directories(racine + "exemples");
    for (const auto& f : std::filesystem::directory_iterator(TARVO_EXEMPLES))
        std::filesystem::copy(f.path(), racine + "exemples/" + f.path().filename().string());
    std::filesystem::current_path(racine);

    tarvo::DialogueDirect dialogue;
    tarvo::LanceurEnregistreur lanceur;
    tarvo::PressePapierMemoire presse_papier;
    tarvo::SortieAudioEnregistreuse audio;
    tarvo::ServicesFenetre services;
    services.dialogue = &dialogue;
    services.lanceur = &lanceur;
    services.presse_papier = &presse_papier;
    services.audio = &audio;
    tarvo::FenetrePrincipale fenetre(tarvo::cp(QCoreApplication::applicationFilePath()),
                                     racine + "programme/", {racine + "exemples/LeGue_horaire.dsc"},
                                     services);
    fenetre.resize(largeur, hauteur);
    fenetre.show();
    fenetre.demarrer();
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

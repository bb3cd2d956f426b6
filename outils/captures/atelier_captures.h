// What every picture tool starts from: a directory of its own, the doubles that answer for
// the machine and the user, and the main window over a description, ready to be grabbed.
#pragma once

#include <QApplication>
#include <QString>

#include <filesystem>
#include <memory>
#include <string>

#include "plateforme/doubles/dialogue_direct.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"

namespace tarvo {

// A fresh directory below the system's temporary one, holding an empty "programme/".
inline std::string racine_captures(const std::string& nom) {
    const std::string racine = (std::filesystem::temp_directory_path() / nom).string() + "/";
    std::filesystem::remove_all(racine);
    std::filesystem::create_directories(racine + "programme");
    return racine;
}

// The shipped example copied into racine + "exemples/", whose description names its
// directories relative to racine: racine becomes the current directory.
inline void copier_exemple(const std::string& racine) {
    std::filesystem::create_directories(racine + "exemples");
    for (const auto& f : std::filesystem::directory_iterator(TARVO_EXEMPLES))
        std::filesystem::copy(f.path(), racine + "exemples/" + f.path().filename().string());
    std::filesystem::current_path(racine);
}

struct AtelierCaptures {
    // The main window of a program kept in racine + "programme/", shown, started on `description`.
    std::unique_ptr<FenetrePrincipale> ouvrir(const std::string& racine, const std::string& description,
                                              int largeur = 1280, int hauteur = 800) {
        ServicesFenetre services{&dialogue, &lanceur, &presse_papier, &audio, {}, {}};
        auto fenetre = std::make_unique<FenetrePrincipale>(
            cp(QCoreApplication::applicationFilePath()), racine + "programme/",
            std::vector<std::string>{description}, services);
        fenetre->resize(largeur, hauteur);
        fenetre->show();
        fenetre->demarrer();
        return fenetre;
    }

    DialogueDirect dialogue;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    SortieAudioEnregistreuse audio;
};

}  // namespace tarvo

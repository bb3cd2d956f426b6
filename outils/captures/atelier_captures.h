// What every picture tool starts from: a directory of its own, the doubles that answer for
// the machine and the user, and the main window over a description, ready to be grabbed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "plateforme/doubles/dialogue_direct.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
#include "ui/conversions_qt.h"
#include "ui/programme_bureau.h"

namespace tarvo {

// A fresh directory below the system's temporary one, holding an empty "programme/".
inline std::string racine_captures(const std::string& nom) {
    const std::string racine = (std::filesystem::temp_directory_path() / nom).string() + "/";
    std::filesystem::remove_all(racine);
    std::filesystem::create_directories(racine + "programme");
    return racine;
}

// The shipped example copied into racine + "exemples/" with its EXPORT folder, as the
// program's first start copies it: its description names both relative to its folder.
inline void copier_exemple(const std::string& racine) {
    std::filesystem::create_directories(racine + "exemples/EXPORT");
    for (const auto& f : std::filesystem::directory_iterator(TARVO_EXEMPLES))
        std::filesystem::copy(f.path(), racine + "exemples/" + f.path().filename().string());
}

struct AtelierCaptures {
    // The main window of a program kept in racine + "programme/", shown, started on `description`.
    std::unique_ptr<ProgrammeBureau> ouvrir(const std::string& racine,
                                            const std::string& description, int largeur = 1280,
                                            int hauteur = 800) {
        ServicesFenetre services{&dialogue, &lanceur, &presse_papier, &audio, {}, {}};
        auto programme = std::make_unique<ProgrammeBureau>(
            cp(QCoreApplication::applicationFilePath()), racine + "programme/",
            std::vector<std::string>{description}, services);
        FenetrePrincipale& fenetre = programme->fenetre();
        fenetre.resize(largeur, hauteur);
        fenetre.show();
        fenetre.demarrer();
        return programme;
    }

    DialogueDirect dialogue;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    SortieAudioEnregistreuse audio;
};

// A tool run as "<output directory> <width> <height>": the window on a copy of the shipped
// example, and where its pictures go. Nothing when the arguments are wrong (usage printed).
struct SeanceCaptures {
    QString sortie;
    AtelierCaptures atelier;
    std::unique_ptr<ProgrammeBureau> programme;
    FenetrePrincipale& fenetre() { return programme->fenetre(); }

    void capturer(const char* nom) {
        QApplication::processEvents();
        fenetre().grab().save(sortie + "/" + nom + ".png");
    }
    void cliquer(const char* nom) { fenetre().findChild<QAbstractButton*>(nom)->click(); }
};

inline std::unique_ptr<SeanceCaptures> seance_sur_l_exemple(int argc, char* argv[],
                                                            const std::string& nom) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <dossier> <largeur> <hauteur>\n", argv[0]);
        return nullptr;
    }
    auto seance = std::make_unique<SeanceCaptures>();
    seance->sortie = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(seance->sortie);
    const std::string racine = racine_captures(nom);
    copier_exemple(racine);
    seance->programme = seance->atelier.ouvrir(racine, racine + "exemples/LeGue_horaire.dsc",
                                               std::atoi(argv[2]), std::atoi(argv[3]));
    return seance;
}

}  // namespace tarvo

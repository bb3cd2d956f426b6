// The shipped example laid out as a user keeps it (data, data/EXPORT, descriptions) in a
// temporary directory, and a main window over it whose boxes are answered by a script.
#pragma once

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/programme_bureau.h"

namespace tarvo {

inline std::string lire(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// File contents as bytes that QCOMPARE prints when they differ.
inline QByteArray octets(const std::string& texte) {
    return QByteArray::fromStdString(texte);
}

// A main window seen through the program that owns it: going out of scope or reset, it takes
// the whole program with it, session included.
class FenetreOuverte {
public:
    FenetreOuverte() = default;
    explicit FenetreOuverte(std::unique_ptr<ProgrammeBureau> programme)
        : programme_(std::move(programme)) {}
    FenetrePrincipale* get() const { return programme_ ? &programme_->fenetre() : nullptr; }
    FenetrePrincipale* operator->() const { return get(); }
    FenetrePrincipale& operator*() const { return *get(); }
    explicit operator bool() const { return programme_ != nullptr; }
    void reset() { programme_.reset(); }

private:
    std::unique_ptr<ProgrammeBureau> programme_;
};

class ExempleFenetre {
public:
    // A script not followed fails the QtTest function that runs it.
    static void signaler_dans_qtest() {
        DialogueScripte::rapporteur = [](const std::string& texte) {
            QTest::qFail(texte.c_str(), __FILE__, __LINE__);
        };
    }

    ExempleFenetre() {
        programme = dossier("programme");
        donnees = dossier("donnees");
        sortie = dossier("donnees/EXPORT");
        descriptions = dossier("descriptions");
        for (const char* f :
             {"LeGue_2024-06-01.csv", "LeGue_2024-06-05.csv", "LeGue_2024-06-10.csv"})
            std::filesystem::copy_file(std::string(TARVO_SOURCES) + "/exemples/" + f, donnees + f);
        dsc = descriptions + "LeGue_horaire.dsc";
        ecrire_fichier_atomique(dsc, description_exemple({}));
    }

    // The example's description with its directories here and some keys replaced.
    std::string description_exemple(
        const std::vector<std::pair<std::string, std::string>>& cles) const {
        std::string texte = lire(std::string(TARVO_SOURCES) + "/exemples/LeGue_horaire.dsc");
        std::vector<std::pair<std::string, std::string>> toutes{
            {"dossier_choisi_sortie", sortie},
            {"dossier_choisi", donnees},
            {"dossier_description", descriptions}};
        toutes.insert(toutes.end(), cles.begin(), cles.end());
        for (const auto& [cle, valeur] : toutes) {
            const auto debut = texte.find("\n" + cle + "=") + 1;
            const auto fin = texte.find('\r', debut);
            texte.replace(debut, fin - debut, cle + "= " + valeur);
        }
        return texte;
    }

    FenetreOuverte fenetre(std::vector<std::string> arguments = {}) {
        ServicesFenetre services;
        services.dialogue = &dialogue;
        services.lanceur = &lanceur;
        services.presse_papier = &presse_papier;
        services.audio = &audio;
        services.ouvrir_fichier = [this](const DemandeFichier&) { return fichier_choisi; };
        services.enregistrer_fichier = [this](const DemandeFichier&) { return fichier_choisi; };
        FenetreOuverte f(std::make_unique<ProgrammeBureau>(programme + "tarvo", programme,
                                                           std::move(arguments), services));
        f->show();
        return f;
    }

    template <class T = QWidget>
    static T* controle(QWidget* f, const char* nom) {
        auto* w = f->findChild<T*>(nom);
        if (!w) qFatal("no control %s", nom);
        return w;
    }
    static void cliquer(QWidget* f, const char* nom) { controle<QAbstractButton>(f, nom)->click(); }

    bool demande_vue(std::string_view debut) const {
        for (const auto& vu : dialogue.vus)
            if (vu.texte.starts_with(debut)) return true;
        return false;
    }

    std::string programme, donnees, sortie, descriptions, dsc;
    DialogueScripte dialogue;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    SortieAudioEnregistreuse audio;
    std::optional<std::string> fichier_choisi;

private:
    std::string dossier(const std::string& relatif) {
        const std::string d = cp(racine_.path()) + "/" + relatif + "/";
        std::filesystem::create_directories(d);
        return d;
    }
    QTemporaryDir racine_;
};

}  // namespace tarvo

// The window side of the core's message boxes, progress display and clipboard.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "plateforme/dialogue.h"
#include "plateforme/presse_papier.h"
#include "plateforme/progression.h"

class QDialog;
class QLabel;
class QWidget;

namespace tarvo {

// The system's own dialogs (files, colours, standard buttons) in French: Qt's French
// translations, from Debian's qt6-translations-l10n. False when they are not installed.
bool charger_traductions_qt();

// Modal boxes titled " T A R V O ", with French button captions whatever the system language.
class DialogueQt final : public Dialogue {
public:
    explicit DialogueQt(QWidget* parent = nullptr) : parent_(parent) {}
    // The boxes are drawn over `parent` from now on.
    void placer_sur(QWidget* parent) { parent_ = parent; }

    // A person reads the text: the identity is not shown.
    void message(IdMessage id, std::string_view texte,
                 TypeMessage type = TypeMessage::information) override;
    Reponse question(IdMessage id, std::string_view texte, TypeMessage type, Boutons boutons,
                     std::optional<Reponse> defaut = std::nullopt) override;
    int message_perso(IdMessage id, std::string_view texte, TypeMessage type,
                      std::string_view legende1, std::string_view legende2 = {},
                      std::string_view legende3 = {}) override;

    // The three-button box, sized and placed but not shown; its buttons are "bouton1" to
    // "bouton3" and end the box with their number.
    static std::unique_ptr<QDialog> construire_message_perso(
        QWidget* parent, std::string_view texte, TypeMessage type, std::string_view legende1,
        std::string_view legende2, std::string_view legende3);

    // Run before each box: the window shows what the command has changed so far, so that
    // a row of questions is asked over a window that is up to date.
    std::function<void()> avant_boite;

private:
    void preparer_fenetre() const;
    QWidget* parent_;
};

// The three stage stopwatches in Label6 and the current step in Label_patienter.
class ProgressionQt final : public Progression {
public:
    // Milliseconds of a clock that never goes back; a test passes its own and moves it on.
    using Horloge = std::function<std::int64_t()>;
    static std::int64_t horloge_monotone();

    // `arret` tells whether the stop command was given.
    explicit ProgressionQt(std::function<bool()> arret, Horloge horloge = &horloge_monotone)
        : arret_(std::move(arret)), horloge_(std::move(horloge)) {}
    // The labels of the window that shows the progress, which stay owned by the window;
    // nothing is shown while there is none.
    void afficher_dans(QLabel* Label6, QLabel* Label_patienter, QLabel* Label10 = nullptr) {
        Label6_ = Label6;
        Label_patienter_ = Label_patienter;
        Label10_ = Label10;
    }

    void afficher_progression(std::string_view message, int chronometre) override;
    void afficher_temps_restant(std::string_view texte) override;
    void traiter_evenements() override;
    bool arret_demande() const override { return arret_ && arret_(); }

    // Before a new run: the next progress text starts its stopwatch again from zero.
    void remettre_a_zero();

private:
    QLabel* Label6_ = nullptr;
    QLabel* Label_patienter_ = nullptr;
    QLabel* Label10_ = nullptr;
    std::function<bool()> arret_;
    Horloge horloge_;
    std::array<double, 3> durees_{};
    std::int64_t debut_chronometre_ = 0;
    int chronometre_ = 0;
    std::optional<std::int64_t> derniers_evenements_;
    std::optional<std::int64_t> dernier_affichage_;
    std::optional<std::int64_t> dernier_reste_;
};

// The desktop clipboard; what Windows-1252 cannot hold reads back as "?".
class PressePapierQt final : public PressePapier {
public:
    std::string lire_texte() override;
    void ecrire_texte(std::string_view texte) override;
};

}  // namespace tarvo

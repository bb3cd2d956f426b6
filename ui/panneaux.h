// The panels the main window is made of, one per zone of the window. Each builds its
// controls under their documented objectName; the window finds buttons by that name to
// wire its commands, and the description binding finds the controls of the keys.
// `rafraichir` shows what the session holds that no description key carries.
#pragma once

#include <QPoint>
#include <QWidget>
#include <array>
#include <cstddef>
#include <vector>

#include "ui/textes_affiches.h"

class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedLayout;
class QTableView;
class QTimeEdit;
class QToolButton;

namespace tarvo {

class ModeleApercu;
class ModeleTableFichiers;
class Session;
struct ParametresGrille;

// Zone 1, upper part: the three directories, the description commands, where the input
// comes from and how its lines, columns and dates are laid out.
class PanneauDescription : public QWidget {
    Q_OBJECT
public:
    explicit PanneauDescription(QWidget* parent = nullptr);
    void rafraichir(const Session& session);

private:
    void afficher_options();

    // Fields shown only when `choix` is checked (`si_coche`) or only when it is not.
    struct ChampsSelonChoix {
        QRadioButton* choix = nullptr;
        bool si_coche = true;
        std::vector<QWidget*> champs;
    };
    std::vector<ChampsSelonChoix> options_;
    std::array<QWidget*, 2> sauvegardes_{};  // drawn red while the description is not saved
    // A directory's label, its button, and the control at its right it must not reach.
    struct Repertoire {
        QLabel* label = nullptr;
        QWidget* bouton = nullptr;
        const QWidget* repere = nullptr;
    };
    std::array<Repertoire, 3> repertoires_{};
    TextesZone textes_;
};

// Zone 1, lower part: what a value is (NA texts, thresholds), which columns are
// extracted and under which titles, the method, the clock corrections, post-processing.
class PanneauValeurs : public QWidget {
    Q_OBJECT
public:
    explicit PanneauValeurs(QWidget* parent = nullptr);
    void rafraichir(const Session& session);

private:
    QLineEdit* intitule_origine_ = nullptr;
    std::array<QWidget*, 2> seuils_{};  // Edit_min_na, Edit_max_na
    TextesZone textes_;
};

// Zone 2: the listing command, the file table and what the pre-reading shows.
class PanneauListage : public QWidget {
    Q_OBJECT
public:
    explicit PanneauListage(QWidget* parent = nullptr);
    // The table model is reset from the session's table, counts and extremes redrawn.
    void rafraichir(const Session& session);

private:
    QPushButton* lister_ = nullptr;  // laid out in the window's stage bar
    ModeleTableFichiers* modele_ = nullptr;
    // The preview (Memo6) laid over the line buffer (Memo1) of the file pre-read, both cut
    // into numbered columns.
    QTableView* memo1_ = nullptr;
    QTableView* memo6_ = nullptr;
    ModeleApercu* modele1_ = nullptr;
    ModeleApercu* modele6_ = nullptr;
    QStackedLayout* pile_ = nullptr;
    TextesZone textes_;
};

// Zone 3: the result file's name and number format.
class PanneauSortie : public QWidget {
    Q_OBJECT
public:
    explicit PanneauSortie(QWidget* parent = nullptr);
    void rafraichir(const Session& session);
};

// Zone 4: the period, the step and its unit, the grid command and the grid itself.
class PanneauPeriode : public QWidget {
    Q_OBJECT
public:
    explicit PanneauPeriode(QWidget* parent = nullptr);
    // Pickers, labels and weekday names from the settings, without signalling a change.
    void charger(const ParametresGrille& parametres, int SpinEdit_decalage_jour);
    void enregistrer(ParametresGrille& parametres, int& SpinEdit_decalage_jour) const;
    void rafraichir(const Session& session);
    // The answer Oui to a zero button's question: that time (0 start, 1 end, 2 step)
    // becomes 00:00:00, as if the user had set it.
    void mettre_a_zero(int quoi);
signals:
    // The user changed the start, end, step, unit, day offset or date test.
    void grille_modifiee();
    // A zero button was pressed: the window asks first, then calls `mettre_a_zero`.
    void remise_a_zero_demandee(int quoi);

private:
    void fin_modifiee(int fin);
    void afficher_unite();

    // One end of the period: its pickers, its canonical text and its weekday.
    struct Extremite {
        QDateEdit* date = nullptr;
        QTimeEdit* heure = nullptr;
        QLabel* temps = nullptr;
        QLabel* jour = nullptr;
    };
    std::array<Extremite, 2> extremites_;  // start, end
    std::array<QRadioButton*, 4> unites_{};
    std::array<QRadioButton*, 2> tests_{};  // "(inf ou =)", "(inf strict)"
    QTimeEdit* pas_ = nullptr;
    QToolButton* zero_pas_ = nullptr;
    QSpinBox* nombre_pas_ = nullptr;
    QLabel* unite_pas_ = nullptr;
    QSpinBox* decalage_ = nullptr;
    QListView* dates_ = nullptr;
    TextesZone textes_;
};

// Zone 5: the run and stop commands, progress texts, the result list and file.
class PanneauExecution : public QWidget {
    Q_OBJECT
public:
    explicit PanneauExecution(QWidget* parent = nullptr);
    void rafraichir(const Session& session);
    // The shutdown countdown, which the window raises over the file table.
    QWidget* compte_a_rebours() const;
    // The run command holds the window, from its first question to its end: stop acts.
    void traitement_lance(bool lance) { traitement_lance_ = lance; }

private:
    bool traitement_lance_ = false;
    // The window lays these out in its stage bar: they are not looked for under the panel.
    QToolButton* stop_ = nullptr;
    QLabel* patienter_ = nullptr;
    QToolButton* graphique_ = nullptr;
    QListView* resultats_ = nullptr;
    QPlainTextEdit* texte_resultat_ = nullptr;
    QPlainTextEdit* texte_sans_coldate_ = nullptr;
    QFrame* compte_a_rebours_ = nullptr;
    TextesZone textes_;
};

// `Panel1`: the tracking log, small or large.
class FenetreSuivi : public QWidget {
    Q_OBJECT
public:
    explicit FenetreSuivi(QWidget* parent = nullptr);
    // Appends the log's new lines in one block; starts over when the log was emptied.
    void rafraichir(const Session& session);
    // Empties the view only; the log's lines shown so far are not shown again.
    void effacer_affichage();
signals:
    // "petite" / "grande": the window lays the tracking log out again.
    void taille_changee(bool grande);

protected:
    // Dragged by its background to wherever it hides nothing the user needs.
    void mousePressEvent(QMouseEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;

private:
    QPlainTextEdit* memo_ = nullptr;
    std::size_t lignes_affichees_ = 0;
    QPoint prise_;
};

}  // namespace tarvo

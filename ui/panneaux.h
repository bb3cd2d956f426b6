// The panels the main window is made of, one per zone of the window. Each builds its
// controls under their documented objectName; the window finds buttons by that name to
// wire its commands, and the description binding finds the controls of the keys.
// `rafraichir` shows what the session holds that no description key carries.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstddef>

class QLabel;
class QPushButton;
class QToolButton;

namespace tarvo {

class Session;
struct ParametresGrille;

// Zone 1, upper part: the three directories, the description commands, where the input
// comes from and how its lines, columns and dates are laid out.
class PanneauDescription : public QWidget {
    Q_OBJECT
public:
    explicit PanneauDescription(QWidget* parent = nullptr);
    void rafraichir(const Session& session);
};

// Zone 1, lower part: what a value is (NA texts, thresholds), which columns are
// extracted and under which titles, the method, the clock corrections, post-processing.
class PanneauValeurs : public QWidget {
    Q_OBJECT
public:
    explicit PanneauValeurs(QWidget* parent = nullptr);
    void rafraichir(const Session& session);
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
};

// Zone 5: the run and stop commands, progress texts, the result list and file.
class PanneauExecution : public QWidget {
    Q_OBJECT
public:
    explicit PanneauExecution(QWidget* parent = nullptr);
    void rafraichir(const Session& session);
    // The shutdown countdown, which the window raises over the file table.
    QWidget* panel4() const;

private:
    // The window lays these out in its stage bar: they are not looked for under the panel.
    QToolButton* stop_ = nullptr;
    QLabel* patienter_ = nullptr;
    QLabel* reste_ = nullptr;
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
    std::size_t lignes_affichees_ = 0;
    QPoint prise_;
};

}  // namespace tarvo

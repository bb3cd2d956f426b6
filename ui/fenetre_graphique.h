// The graph window: the last run's columns on up to five stacked charts, each with its
// list of columns and of derivatives, a single-chart mode with a 3D view, and the
// selection kept in the description.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>
#include <array>
#include <string>

#include "session/graphique.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace tarvo {

class Dialogue;
class Graphe;
class Session;
class Vue3D;

class FenetreGraphique : public QWidget {
    Q_OBJECT
public:
    FenetreGraphique(Session& session, Dialogue& dialogue, QWidget* parent = nullptr);

    // `SpeedButton_graphique`: hides the window when it is shown, opens it otherwise.
    void basculer();
    void ouvrir();
    // While a run refills the step table the window keeps its last drawing, reads nothing
    // and writes no selection; unfrozen, an open window draws the new result.
    void geler(bool gele);
    Graphe* graphe(int k) const { return graphes_.at(static_cast<std::size_t>(k - 1)); }
    // What chart k drew at the last redraw.
    const DonneesGraphe& donnees(int k) const {
        return donnees_.at(static_cast<std::size_t>(k - 1));
    }

signals:
    // The selection changed on screen: the description is to be saved.
    void selection_modifiee();

protected:
    void changeEvent(QEvent* evenement) override;
    void keyPressEvent(QKeyEvent* evenement) override;
    void moveEvent(QMoveEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    void wheelEvent(QWheelEvent* evenement) override;

private:
    void construire();
    QWidget* construire_reglages();
    void resoudre_controles();
    void connecter();
    // Activation: lists filled, checks restored or dispatched, everything redrawn.
    void activer();
    // A result without a value to draw: its message, and the window hidden.
    bool sans_donnee();
    // 1200 × 820 where the screen has room, else its free area, frame included; centred.
    void ajuster_a_l_ecran();
    void disposer();
    void remplir_listes();
    void appliquer_coches(const Coches& colonnes, const Coches& derivees);
    Coches coches(int premiere_liste) const;
    void tracer_graphiques();
    void tracer_graphe(int k, int& compteur);
    void dispatcher();
    void toutes_colonnes();
    void mode_unique(int k, bool actif);
    void afficher_3d();
    void zoom_roulette(int delta, QPoint position_globale);
    void lire_point(const QString& titre, QPointF point, QPoint position_globale);
    void copier();
    void marquer_modifie();

    Session& session_;
    Dialogue& dialogue_;
    std::array<Graphe*, nb_graphes> graphes_{};
    std::array<QListWidget*, 2 * nb_graphes> listes_{};
    std::array<QCheckBox*, nb_graphes> uniques_{};
    std::array<DonneesGraphe, nb_graphes> donnees_;
    QWidget* reglages_ = nullptr;
    QPlainTextEdit* lecture_ = nullptr;
    // The settings the charts are drawn with, found once when the window is built.
    struct Controles {
        std::array<QRadioButton*, 5> abscisses{};  // the date formats, then "n"
        QCheckBox* axes = nullptr;
        QCheckBox* valeurs = nullptr;
        QCheckBox* trois_d = nullptr;
        QSpinBox* taille_point = nullptr;
        QPushButton* copier = nullptr;
        QPlainTextEdit* aide = nullptr;
        std::array<QSlider*, 4> glissieres{};  // depth, rotation, zoom, elevation
        std::array<QLabel*, 4> legendes_glissieres{};
        QLabel* debut = nullptr;
        QLabel* fin = nullptr;
        QLabel* nb_lignes = nullptr;
        QLabel* pas = nullptr;
    } c_;
    Vue3D* vue_3d_ = nullptr;
    std::string copie_colonnes_;
    std::string copie_derivees_;
    int graphe_seul_ = 0;  // 1..5 in single-chart mode, 0 otherwise
    bool gele_ = false;
    // Opened but not yet checked against the screen with its real frame.
    bool a_ajuster_ = false;
    bool remplissage_ = false;
    // Since the last activation or box of this window: the activation that follows it,
    // when the box closes or the window first shows, is not the user coming back.
    QElapsedTimer depuis_activation_;
    QPoint ancre_;
};

}  // namespace tarvo

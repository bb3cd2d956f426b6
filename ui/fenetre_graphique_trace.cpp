// The graph window's drawing: activation, the lists and their checks, the redraw of every
// chart, the single-chart mode and its 3D view.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <cmath>
#include <limits>

#include "plateforme/dialogue.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_graphique.h"
#include "ui/graphe.h"
#include "ui/vue_3d.h"

namespace tarvo {

namespace {

// The abscissa choices in their order on screen; the last one, "n", has no date format.
constexpr int largeur_derivees_items = 16;

const std::array<const char*, 5> formats_abscisse{"dd-MM-yyyy hh:mm", "dd-MM-yyyy", "hh:mm",
                                                  "MMM-yyyy", ""};

}  // namespace

void FenetreGraphique::geler(bool gele) {
    gele_ = gele;
    setEnabled(!gele);
    if (!gele && isVisible()) activer();
}

void FenetreGraphique::ouvrir() {
    if (gele_ || sans_donnee()) return;
    Description& d = session_.description;
    copie_colonnes_ = d.suite_coche_liste_graph;
    copie_derivees_ = d.suite_coche_liste_graph_deriv;
    // Dense series stay readable with dots rather than circles.
    if (session_.etapes.N() > 10000) {
        const QSignalBlocker bloque(c_.taille_point);
        c_.taille_point->setValue(1);
    }
    if (!isVisible()) {
        // Where the last opening left it, unless the screen lost room for it meanwhile.
        if (!screen()->availableGeometry().contains(frameGeometry())) ajuster_a_l_ecran();
        a_ajuster_ = true;
    }
    show();
    raise();
    activateWindow();
    activer();
}

bool FenetreGraphique::sans_donnee() {
    if (valeurs_a_tracer(session_.etapes)) return false;
    hide();
    dialogue_.message(IdMessage::graphe_sans_donnee, message_graphe_sans_donnee());
    session_.en_demarrage = false;
    return true;
}

void FenetreGraphique::activer() {
    if (gele_ || sans_donnee()) return;
    Description& d = session_.description;
    d.suite_coche_liste_graph = copie_colonnes_;
    d.suite_coche_liste_graph_deriv = copie_derivees_;
    disposer();
    remplir_listes();
    if (!d.suite_coche_liste_graph.empty()) {
        const int n = listes_[0]->count();
        appliquer_coches(restaurer_coches(d.suite_coche_liste_graph, n),
                         restaurer_coches(d.suite_coche_liste_graph_deriv, n));
    } else {
        dispatcher();
    }
    const ParametresGrille& p = session_.parametres_grille;
    c_.debut->setText(qt(p.Label_temps_deb));
    c_.fin->setText(qt(p.Label_temps_fin));
    c_.nb_lignes->setText(qt(session_.grille.Label_nr_final));
    c_.pas->setText(qt(texte_pas_graphe(p)));
    tracer_graphiques();
    depuis_activation_.restart();
}

void FenetreGraphique::remplir_listes() {
    remplissage_ = true;
    const std::vector<std::string> items = items_graphe(session_.etapes);
    for (int k = 0; k < nb_graphes; ++k) {
        QListWidget* colonnes = listes_[static_cast<std::size_t>(k)];
        QListWidget* derivees = listes_[static_cast<std::size_t>(k + 5)];
        colonnes->clear();
        derivees->clear();
        for (const std::string& item : items) {
            for (QListWidget* liste : {colonnes, derivees}) {
                auto* i = new QListWidgetItem(liste == colonnes ? qt(item) : QString(), liste);
                i->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                i->setCheckState(Qt::Unchecked);
            }
        }
        // The derivative marks stand level with their column names, row for row.
        const int hauteur = colonnes->count() > 0 ? colonnes->sizeHintForRow(0) : 0;
        for (int p = 0; p < derivees->count(); ++p)
            derivees->item(p)->setSizeHint(QSize(largeur_derivees_items, hauteur));
    }
    remplissage_ = false;
}

void FenetreGraphique::appliquer_coches(const Coches& colonnes, const Coches& derivees) {
    remplissage_ = true;
    for (int k = 0; k < nb_graphes; ++k)
        for (int l = 0; l < 2; ++l) {
            QListWidget* liste = listes_[static_cast<std::size_t>(k + 5 * l)];
            const auto& c = (l == 0 ? colonnes : derivees)[static_cast<std::size_t>(k)];
            for (int p = 0; p < liste->count(); ++p)
                liste->item(p)->setCheckState(static_cast<std::size_t>(p) < c.size() &&
                                                      c[static_cast<std::size_t>(p)]
                                                  ? Qt::Checked
                                                  : Qt::Unchecked);
        }
    remplissage_ = false;
}

Coches FenetreGraphique::coches(int premiere_liste) const {
    Coches c;
    for (int k = 0; k < nb_graphes; ++k) {
        const QListWidget* liste = listes_[static_cast<std::size_t>(premiere_liste + k)];
        for (int p = 0; p < liste->count(); ++p)
            c[static_cast<std::size_t>(k)].push_back(liste->item(p)->checkState() == Qt::Checked);
    }
    return c;
}

void FenetreGraphique::dispatcher() {
    appliquer_coches(dispatcher_coches(listes_[0]->count()), Coches{});
    session_.description.suite_coche_liste_graph = texte_selection(coches(0));
    session_.f_modif = true;
    emit selection_modifiee();
}

void FenetreGraphique::toutes_colonnes() {
    const Reponse r =
        dialogue_.question(IdMessage::dispatcher_colonnes, question_dispatcher_colonnes(),
                           TypeMessage::confirmation, Boutons::oui_non);
    depuis_activation_.restart();
    if (r != Reponse::oui) return;
    copie_colonnes_.clear();
    copie_derivees_.clear();
    activer();
}

void FenetreGraphique::tracer_graphiques() {
    if (gele_) return;
    lecture_->hide();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int compteur = 0;
    for (int k = 1; k <= nb_graphes; ++k) tracer_graphe(k, compteur);
    session_.description.suite_coche_liste_graph = texte_selection(coches(0));
    session_.description.suite_coche_liste_graph_deriv = texte_selection(coches(nb_graphes));
    QApplication::restoreOverrideCursor();
}

void FenetreGraphique::tracer_graphe(int k, int& compteur) {
    if (graphe_seul_ != 0 && k != graphe_seul_) return;
    const auto i = static_cast<std::size_t>(k - 1);
    int choix = 0;
    while (choix < 4 && !c_.abscisses[static_cast<std::size_t>(choix)]->isChecked()) ++choix;
    // Depth is drawn by the single-chart view only: five stacked charts stay flat.
    const bool trois_d = graphe_seul_ != 0 && c_.trois_d->isChecked();
    donnees_[i] = donnees_graphe(session_.etapes, coches(0)[i], coches(nb_graphes)[i],
                                 items_graphe(session_.etapes), choix == 4,
                                 pas_jours(session_.parametres_grille), compteur);
    ReglagesTrace r;
    r.format_dates = QString::fromLatin1(formats_abscisse[static_cast<std::size_t>(choix)]);
    r.taille_point = c_.taille_point->value();
    r.axes = c_.axes->isChecked();
    r.valeurs = c_.valeurs->isChecked();
    r.trois_d = trois_d;
    graphe(k)->tracer(donnees_[i], r);
    if (graphe_seul_ != k || !trois_d) return;

    std::vector<Vue3D::Serie> series;
    for (const SerieGraphe& s : donnees_[i].series) {
        Vue3D::Serie v{qt(s.titre), couleur_palette(s.couleur, true), {}};
        for (const auto& segment : s.segments) {
            if (!v.points.empty())
                v.points.emplace_back(v.points.back().x(),
                                      std::numeric_limits<double>::quiet_NaN());
            for (const PointGraphe& p : segment) v.points.emplace_back(p.x, p.y);
        }
        series.push_back(std::move(v));
    }
    vue_3d_->definir_series(std::move(series));
    vue_3d_->definir_format_abscisses(choix == 4 ? QString() : r.format_dates);
    vue_3d_->definir_profondeur(c_.glissieres[0]->value());
    vue_3d_->definir_rotation(c_.glissieres[1]->value());
    vue_3d_->definir_zoom(c_.glissieres[2]->value());
    vue_3d_->definir_elevation(c_.glissieres[3]->value());
}

void FenetreGraphique::mode_unique(int k, bool actif) {
    QCheckBox* trois_d = c_.trois_d;
    if (actif) {
        graphe_seul_ = k;
        for (int j = 1; j <= nb_graphes; ++j) {
            graphe(j)->setVisible(j == k);
            uniques_[static_cast<std::size_t>(j - 1)]->setVisible(j == k);
        }
        c_.copier->setEnabled(true);
        trois_d->setEnabled(true);
        trois_d->setChecked(false);  // redraws when it was checked
        disposer();
        return;
    }
    graphe_seul_ = 0;
    for (int j = 1; j <= nb_graphes; ++j) {
        graphe(j)->show();
        uniques_[static_cast<std::size_t>(j - 1)]->show();
    }
    c_.copier->setEnabled(false);
    disposer();
    {
        const QSignalBlocker bloque(trois_d);
        trois_d->setChecked(false);
    }
    afficher_3d();
    tracer_graphiques();
}

void FenetreGraphique::afficher_3d() {
    c_.trois_d->setEnabled(graphe_seul_ != 0);
    const bool actif = graphe_seul_ != 0 && c_.trois_d->isChecked();
    for (QSlider* g : c_.glissieres) g->setVisible(actif);
    for (QLabel* l : c_.legendes_glissieres) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText,
                   actif ? palette().color(QPalette::WindowText) : QColor(192, 192, 192));
        l->setPalette(p);
    }
    vue_3d_->setVisible(actif);
    if (graphe_seul_ != 0) graphe(graphe_seul_)->setVisible(!actif);
    if (actif) vue_3d_->raise();
    disposer();
}

void FenetreGraphique::marquer_modifie() {
    if (remplissage_ || gele_) return;
    session_.description.suite_coche_liste_graph = texte_selection(coches(0));
    session_.description.suite_coche_liste_graph_deriv = texte_selection(coches(nb_graphes));
    session_.f_modif = true;
    emit selection_modifiee();
}

}  // namespace tarvo

#include "ui/fenetre_graphique.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/graphe.h"
#include "ui/vue_3d.h"

namespace tarvo {

namespace {

constexpr int largeur_liste = 170;
constexpr int largeur_derivees = 21;
constexpr int largeur_reglages = 190;

template <class T, class... A>
T* nomme(const QString& nom, A&&... arguments) {
    auto* w = new T(std::forward<A>(arguments)...);
    w->setObjectName(nom);
    return w;
}

QString numero(const char* prefixe, int n) {
    return QString::fromLatin1(prefixe) + QString::number(n);
}

}  // namespace

FenetreGraphique::FenetreGraphique(Session& session, Dialogue& dialogue, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), dialogue_(dialogue) {
    setObjectName("Form2");
    construire();
    connecter();
    ajuster_a_l_ecran();
}

void FenetreGraphique::ajuster_a_l_ecran() {
    const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!ecran) return;
    const QRect libre = ecran->availableGeometry();
    // The title bar and borders are known once the window manager has framed the window.
    const QMargins cadre = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize taille(std::min(1200, libre.width() - cadre.left() - cadre.right()),
                       std::min(820, libre.height() - cadre.top() - cadre.bottom()));
    resize(taille);
    QRect exterieur(QPoint(0, 0), taille.grownBy(cadre));
    exterieur.moveCenter(libre.center());
    move(exterieur.topLeft());
}

void FenetreGraphique::construire() {
    setAutoFillBackground(true);
    const QString indice_liste = qt(fr(
        " zoom TOUT = sélection zone négative  ,  Haut/Bas/gauche/droite = clik droit glissé  ,  "
        "roulette = zoom +-, clik = XY"));
    for (int k = 1; k <= nb_graphes; ++k) {
        auto* g = new Graphe(qPrintable(numero("Chart", k)), this);
        graphes_[static_cast<std::size_t>(k - 1)] = g;
        auto* liste = nomme<QListWidget>(numero("CheckListBox", k), this);
        liste->setToolTip(indice_liste);
        auto* derivees = nomme<QListWidget>(numero("CheckListBox", k + 5), this);
        derivees->setToolTip(qt(fr(" ==== fonction dérivée ====== ")));
        derivees->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        derivees->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The derivative marks scroll with the column names they stand beside.
        connect(liste->verticalScrollBar(), &QScrollBar::valueChanged,
                derivees->verticalScrollBar(), &QScrollBar::setValue);
        listes_[static_cast<std::size_t>(k - 1)] = liste;
        listes_[static_cast<std::size_t>(k + 4)] = derivees;
        auto* unique = nomme<QCheckBox>(numero("CheckBox", k), this);
        unique->setToolTip(QStringLiteral(" graphe unique / graphes multiples  "));
        uniques_[static_cast<std::size_t>(k - 1)] = unique;
    }
    vue_3d_ = nomme<Vue3D>(QStringLiteral("Vue3D"), this);
    vue_3d_->hide();
    reglages_ = construire_reglages();
    reglages_->setParent(this);

    lecture_ = nomme<QPlainTextEdit>(QStringLiteral("Memo2"), this);
    lecture_->setReadOnly(true);
    lecture_->setFrameShape(QFrame::Box);
    lecture_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lecture_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lecture_->setLineWrapMode(QPlainTextEdit::NoWrap);
    lecture_->hide();
    resoudre_controles();
    afficher_3d();
}

QWidget* FenetreGraphique::construire_reglages() {
    auto* panneau = new QWidget;
    auto* c = new QVBoxLayout(panneau);
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(3);
    c->addWidget(nomme<QLabel>(QStringLiteral("Label11"), qt(fr("<= dérivées(x)"))));
    auto* visualiser =
        nomme<QPushButton>(QStringLiteral("Button_af_les_graph"), QStringLiteral("&Visualiser"));
    visualiser->setToolTip(QStringLiteral(" visualiser  les nouvelles données cochées "));
    c->addWidget(visualiser);
    auto* toutes = nomme<QPushButton>(QStringLiteral("Button_toute_col_coche"),
                                      QStringLiteral("cocher toutes les colonnes "));
    toutes->setToolTip(QStringLiteral(" dispatcher toutes les colonnes sur les 5 graphiques "));
    c->addWidget(toutes);

    auto* abscisses =
        nomme<QGroupBox>(QStringLiteral("RadioGroup_abscisse"), QStringLiteral("abscisses"));
    auto* choix = new QVBoxLayout(abscisses);
    choix->setSpacing(0);
    int i = 0;
    for (const char* texte : {"jj-mm-aaaa hh:mm", "jj-mm-aaaa", "hh:mm", "mmm-aaaa", "n"}) {
        auto* r =
            nomme<QRadioButton>(numero("RadioGroup_abscisse_", i++), QString::fromLatin1(texte));
        choix->addWidget(r);
    }
    exiger<QRadioButton>(abscisses, "RadioGroup_abscisse_1")->setChecked(true);
    c->addWidget(abscisses);

    auto* axes =
        nomme<QCheckBox>(QStringLiteral("CheckBox_draw_axis"), QStringLiteral("abscisses, axes"));
    axes->setChecked(true);
    c->addWidget(axes);
    c->addWidget(nomme<QCheckBox>(QStringLiteral("CheckBox_af_valeur"),
                                  QStringLiteral("toutes valeurs en XY")));
    c->addWidget(nomme<QCheckBox>(QStringLiteral("CheckBox_3d"), QStringLiteral("3D")));
    auto* taille = new QHBoxLayout;
    taille->addWidget(nomme<QLabel>(QStringLiteral("Label6"), QStringLiteral("taille")));
    // The spin box is both the edit and its up-down arrows.
    auto* edit = nomme<QSpinBox>(QStringLiteral("Edit1"));
    edit->setRange(1, 10);
    edit->setValue(3);
    taille->addWidget(edit);
    c->addLayout(taille);

    struct Barre {
        const char* nom;
        const char* etiquette;
        const char* texte;
        int min, max, defaut;
    };
    for (const Barre& b : {Barre{"TrackBar1", "Label10", "largeur", 30, 100, 30},
                           Barre{"TrackBar2", "Label8", "rotation", 180, 360, 360},
                           Barre{"TrackBar3", "Label7", "zoom %", 50, 100, 90},
                           Barre{"TrackBar4", "Label9", "hauteur", 180, 360, 360}}) {
        c->addWidget(nomme<QLabel>(QString::fromLatin1(b.etiquette), QString::fromLatin1(b.texte)));
        auto* barre = nomme<QSlider>(QString::fromLatin1(b.nom), Qt::Horizontal);
        barre->setRange(b.min, b.max);
        barre->setValue(b.defaut);
        barre->hide();
        c->addWidget(barre);
    }
    auto* copier = nomme<QPushButton>(QStringLiteral("Button_pp"), QStringLiteral("copier"));
    copier->setToolTip(QStringLiteral(" copier le graphique dans le presse-papier "));
    copier->setEnabled(false);
    c->addWidget(copier);
    auto* aide = nomme<QToolButton>(QStringLiteral("SpeedButton_help2"));
    aide->setText(QStringLiteral("?"));
    aide->setToolTip(qt(fr(" écran d'aide  ")));
    c->addWidget(aide);
    for (const char* nom : {"Label2", "Label4", "Label3", "Label5"})
        c->addWidget(nomme<QLabel>(QString::fromLatin1(nom)));
    c->addStretch(1);

    auto* memo = nomme<QPlainTextEdit>(QStringLiteral("Memo3"));
    memo->setReadOnly(true);
    QPalette p = memo->palette();
    p.setColor(QPalette::Base, QColor(255, 255, 179));
    memo->setPalette(p);
    for (const std::string& ligne : aide_graphe()) memo->appendPlainText(qt(ligne));
    memo->hide();
    memo->setParent(this);
    return panneau;
}

void FenetreGraphique::resoudre_controles() {
    for (std::size_t i = 0; i < c_.abscisses.size(); ++i)
        c_.abscisses[i] =
            exiger<QRadioButton>(this, numero("RadioGroup_abscisse_", static_cast<int>(i)));
    c_.axes = exiger<QCheckBox>(this, "CheckBox_draw_axis");
    c_.valeurs = exiger<QCheckBox>(this, "CheckBox_af_valeur");
    c_.trois_d = exiger<QCheckBox>(this, "CheckBox_3d");
    c_.taille_point = exiger<QSpinBox>(this, "Edit1");
    c_.copier = exiger<QPushButton>(this, "Button_pp");
    c_.aide = exiger<QPlainTextEdit>(this, "Memo3");
    for (std::size_t i = 0; i < c_.glissieres.size(); ++i)
        c_.glissieres[i] = exiger<QSlider>(this, numero("TrackBar", static_cast<int>(i) + 1));
    const std::array<const char*, 4> legendes{"Label7", "Label8", "Label9", "Label10"};
    for (std::size_t i = 0; i < legendes.size(); ++i)
        c_.legendes_glissieres[i] = exiger<QLabel>(this, legendes[i]);
    c_.debut = exiger<QLabel>(this, "Label2");
    c_.fin = exiger<QLabel>(this, "Label4");
    c_.nb_lignes = exiger<QLabel>(this, "Label3");
    c_.pas = exiger<QLabel>(this, "Label5");
}

void FenetreGraphique::connecter() {
    const auto bouton = [this](const char* nom) {
        return exiger<QAbstractButton>(this, QLatin1String(nom));
    };
    connect(bouton("Button_af_les_graph"), &QAbstractButton::clicked, this,
            [this] { tracer_graphiques(); });
    connect(bouton("Button_toute_col_coche"), &QAbstractButton::clicked, this,
            [this] { toutes_colonnes(); });
    for (const char* nom : {"CheckBox_draw_axis", "CheckBox_af_valeur"})
        connect(bouton(nom), &QAbstractButton::clicked, this, [this] { tracer_graphiques(); });
    for (QRadioButton* r : c_.abscisses)
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (coche) tracer_graphiques();
        });
    connect(exiger<QSpinBox>(this, QStringLiteral("Edit1")), &QSpinBox::valueChanged, this,
            [this] { tracer_graphiques(); });
    connect(bouton("CheckBox_3d"), &QAbstractButton::toggled, this, [this] {
        afficher_3d();
        tracer_graphiques();
    });
    connect(bouton("Button_pp"), &QAbstractButton::clicked, this, [this] { copier(); });
    connect(bouton("SpeedButton_help2"), &QAbstractButton::clicked, this, [this] {
        c_.aide->setVisible(!c_.aide->isVisible());
        c_.aide->raise();
    });
    using Reglage = void (Vue3D::*)(int);
    const std::array<Reglage, 4> reglages{&Vue3D::definir_profondeur, &Vue3D::definir_rotation,
                                          &Vue3D::definir_zoom, &Vue3D::definir_elevation};
    for (int b = 0; b < 4; ++b)
        connect(exiger<QSlider>(this, numero("TrackBar", b + 1)), &QSlider::valueChanged, this,
                [this, r = reglages[static_cast<std::size_t>(b)]](int v) {
                    if (graphe_seul_ != 0) (vue_3d_->*r)(v);
                });
    for (int k = 1; k <= nb_graphes; ++k) {
        connect(uniques_[static_cast<std::size_t>(k - 1)], &QCheckBox::clicked, this,
                [this, k](bool coche) { mode_unique(k, coche); });
        Graphe* g = graphe(k);
        connect(g, &Graphe::roulette, this, &FenetreGraphique::zoom_roulette);
        connect(g, &Graphe::point_clique, this, &FenetreGraphique::lire_point);
        connect(g, &Graphe::clic_droit, lecture_, &QWidget::hide);
        connect(g, &Graphe::souris_deplacee, this, [this](QPoint position) {
            const QPoint d = mapFromGlobal(position) - ancre_;
            if (lecture_->isVisible() && (std::abs(d.x()) > 20 || std::abs(d.y()) > 20))
                lecture_->hide();
        });
    }
    for (QListWidget* liste : listes_) {
        connect(liste, &QListWidget::itemChanged, this, [this] { marquer_modifie(); });
        connect(liste, &QListWidget::itemClicked, this, [this] { marquer_modifie(); });
    }
}

void FenetreGraphique::basculer() {
    if (isVisible())
        hide();
    else
        ouvrir();
}

void FenetreGraphique::changeEvent(QEvent* evenement) {
    QWidget::changeEvent(evenement);
    if (evenement->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    if (depuis_activation_.isValid() && depuis_activation_.elapsed() < 1000) return;
    activer();
}

// Charts stacked on the left, each with its single-chart box; the column and derivative
// lists beside them; the settings on the right.
void FenetreGraphique::disposer() {
    const int gauche_listes =
        width() - largeur_reglages - 10 - largeur_derivees - 1 - largeur_liste;
    reglages_->setGeometry(width() - largeur_reglages - 5, 5, largeur_reglages, height() - 10);
    c_.aide->setGeometry(gauche_listes - 520, 5, 520, 90);
    int visibles = 0;
    for (Graphe* g : graphes_) visibles += g->isVisibleTo(this) ? 1 : 0;
    if (graphe_seul_ != 0 && visibles == 0) visibles = 1;  // the 3D view stands in for it
    if (visibles == 0) return;
    const int hauteur = (height() - 70) / nb_graphes;
    for (int k = 1; k <= nb_graphes; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        const int haut = 5 * k + (k - 1) * hauteur;
        uniques_[i]->setGeometry(gauche_listes - 5 - 18, haut, 18, 18);
        listes_[i]->setGeometry(gauche_listes, haut, largeur_liste, hauteur);
        listes_[i + 5]->setGeometry(gauche_listes + largeur_liste + 1, haut, largeur_derivees,
                                    hauteur);
        if (visibles == nb_graphes) graphes_[i]->setGeometry(0, haut, gauche_listes - 30, hauteur);
    }
    if (visibles < nb_graphes) {
        const QRect seul(0, 5, gauche_listes - 30, height() - 50);
        graphe(graphe_seul_ == 0 ? nb_graphes : graphe_seul_)->setGeometry(seul);
        uniques_[static_cast<std::size_t>(std::max(graphe_seul_, 1) - 1)]->move(gauche_listes - 23,
                                                                                5);
        vue_3d_->setGeometry(seul);
    }
}

void FenetreGraphique::resizeEvent(QResizeEvent* evenement) {
    QWidget::resizeEvent(evenement);
    disposer();
}

void FenetreGraphique::moveEvent(QMoveEvent* evenement) {
    QWidget::moveEvent(evenement);
    if (!a_ajuster_ || !windowHandle() || windowHandle()->frameMargins().isNull()) return;
    a_ajuster_ = false;
    if (!screen()->availableGeometry().contains(frameGeometry())) ajuster_a_l_ecran();
}

void FenetreGraphique::keyPressEvent(QKeyEvent* evenement) {
    if (evenement->key() != Qt::Key_Escape) return QWidget::keyPressEvent(evenement);
    hide();
}

void FenetreGraphique::wheelEvent(QWheelEvent* evenement) {
    zoom_roulette(evenement->angleDelta().y(), evenement->globalPosition().toPoint());
    evenement->accept();
}

// The chart acted on is the lowest one whose top is above the pointer, so that the gap
// between two charts belongs to the upper one.
void FenetreGraphique::zoom_roulette(int delta, QPoint position_globale) {
    if (delta == 0) return;
    const int y = mapFromGlobal(position_globale).y();
    for (int k = nb_graphes; k >= 1; --k) {
        Graphe* g = graphe(k);
        if (!g->isVisible() || g->y() >= y) continue;
        const double minimum = g->axe_min(), maximum = g->axe_max();
        const double d = (maximum - minimum) * 0.1;
        if (delta > 0)
            g->definir_axe_vertical(minimum + d, maximum - d);
        else
            g->definir_axe_vertical(minimum - d, maximum + d);
        return;
    }
}

void FenetreGraphique::lire_point(const QString& titre, QPointF point, QPoint position_globale) {
    // The date axis holds milliseconds; the read-out speaks in the run's own timestamps.
    const bool dates = !c_.abscisses[4]->isChecked();
    double x = point.x();
    if (dates) {
        const QDateTime d = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x));
        x = serie_epoque_unix +
            static_cast<double>(QDateTime(d.date(), d.time(), Qt::UTC).toMSecsSinceEpoch()) /
                jour_en_millisecondes;
    }
    lecture_->setPlainText(qt(texte_lecture_point(cp(titre), x, point.y())));
    ancre_ = mapFromGlobal(position_globale);
    // 140 pixels wide, or what the date needs with a larger screen font.
    int largeur = 140;
    for (const QString& ligne : lecture_->toPlainText().split(QLatin1Char('\n')))
        largeur = std::max(largeur, lecture_->fontMetrics().horizontalAdvance(ligne) + 16);
    lecture_->setGeometry(ancre_.x(), ancre_.y() + 30, largeur,
                          3 * lecture_->fontMetrics().lineSpacing() + 12);
    lecture_->show();
    lecture_->raise();
}

void FenetreGraphique::copier() {
    if (graphe_seul_ == 0) return;
    QPushButton* bouton = c_.copier;
    QWidget* vue = vue_3d_->isVisible() ? static_cast<QWidget*>(vue_3d_) : graphe(graphe_seul_);
    QGuiApplication::clipboard()->setPixmap(vue->grab());
    bouton->setText(QStringLiteral("OK"));
    QTimer::singleShot(300, bouton, [bouton] { bouton->setText(QStringLiteral("copier")); });
}

}  // namespace tarvo

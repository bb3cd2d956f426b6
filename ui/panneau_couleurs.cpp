#include "ui/panneau_couleurs.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "session/session.h"
#include "ui/controles.h"

namespace tarvo {

namespace {

struct Choix {
    const char* nom;
    const char* legende;
    RoleCouleur role;
};
constexpr Choix choisisseurs[] = {{"SpeedButton2", "de fond", RoleCouleur::fond},
                                  {"SpeedButton3", "des boutons", RoleCouleur::boutons},
                                  {"SpeedButton5", "\"vert_clair\"", RoleCouleur::listes},
                                  {"SpeedButton7", "\"aqua\"", RoleCouleur::saisie}};

QFrame* construire_panneau(QWidget* support) {
    auto* panneau = nomme<QFrame>("Panel_des_couleurs", support);
    panneau->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panneau->setLineWidth(2);
    donner_role(panneau, RoleCouleur::boutons);
    auto* grille = new QGridLayout(panneau);
    grille->setContentsMargins(6, 4, 4, 6);
    grille->setSpacing(4);

    auto* mode = nomme<QGroupBox>("RadioGroup_coul_nb");
    auto* boutons_mode = new QVBoxLayout(mode);
    boutons_mode->setContentsMargins(4, 2, 4, 2);
    boutons_mode->setSpacing(0);
    auto* couleurs = nomme<QRadioButton>("RadioButton1_coul_nb", QStringLiteral("couleurs"));
    couleurs->setChecked(true);
    boutons_mode->addWidget(couleurs);
    boutons_mode->addWidget(
        nomme<QRadioButton>("RadioButton2_coul_nb", QStringLiteral("niveaux de gris")));
    grille->addWidget(mode, 0, 0, 2, 1);

    // Each chooser wears its own colour, so the panel shows the scheme it changes.
    for (int k = 0; k < 4; ++k)
        grille->addWidget(bouton(choisisseurs[k].nom, QString::fromUtf8(choisisseurs[k].legende),
                                 choisisseurs[k].role),
                          k / 2, 1 + k % 2);
    grille->addWidget(bouton_outil("SpeedButton4", QStringLiteral("X")), 0, 3, Qt::AlignTop);
    panneau->hide();
    return panneau;
}

// Opens below the button that shows it, kept inside the window.
void montrer_sous(QFrame* panneau, const QWidget* bouton) {
    QWidget* support = panneau->parentWidget();
    // Shown first: its controls take their final size only once polished.
    panneau->show();
    panneau->adjustSize();
    QPoint coin = bouton->mapTo(support, QPoint(0, bouton->height() + 2));
    coin.setX(std::clamp(coin.x(), 0, std::max(0, support->width() - panneau->width() - 20)));
    panneau->move(coin);
    panneau->raise();
}

}  // namespace

void preparer_couleurs_personnalisees(const std::array<Couleur, 4>& affichees) {
    const std::array<QColor, 16> personnalisees{
        couleur_qt(affichees[0]), QColor(231, 254, 218), QColor(255, 250, 217),
        QColor(179, 224, 255),    QColor(253, 234, 225), QColor(236, 225, 253),
        QColor(251, 225, 253),    QColor(255, 245, 221), couleur_qt(affichees[1]),
        QColor(255, 240, 138),    QColor(100, 193, 255), QColor(106, 196, 255),
        QColor(250, 198, 173),    QColor(220, 200, 251), QColor(183, 251, 249),
        QColor(245, 216, 176)};
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, personnalisees[static_cast<std::size_t>(i)]);
}

void choisir_couleur(const ContexteCommandes& contexte, RoleCouleur role, const QColor& couleur) {
    Session* s = contexte.session;
    contexte.executer([s, role, couleur] {
        s->parametres_prm.couleurs[static_cast<std::size_t>(role)] = {
            couleur.red(), couleur.green(), couleur.blue()};
        s->marquer_modifie();
    });
}

void connecter_couleurs(const ContexteCommandes& contexte) {
    auto* fenetre = qobject_cast<QMainWindow*>(contexte.fenetre);
    QWidget* support =
        fenetre && fenetre->centralWidget() ? fenetre->centralWidget() : contexte.fenetre;
    QFrame* panneau = construire_panneau(support);
    Session* s = contexte.session;

    auto* montrer = exiger<QAbstractButton>(contexte.fenetre, QStringLiteral("SpeedButton11"));
    QObject::connect(montrer, &QAbstractButton::clicked, panneau, [panneau, montrer] {
        if (panneau->isVisible())
            panneau->hide();
        else
            montrer_sous(panneau, montrer);
    });
    connecter_clic(panneau, QStringLiteral("SpeedButton4"), panneau,
                   [panneau] { panneau->hide(); });

    for (const Choix& c : choisisseurs) {
        const RoleCouleur role = c.role;
        QObject::connect(exiger<QAbstractButton>(panneau, QLatin1String(c.nom)),
                         &QAbstractButton::clicked, panneau, [contexte, s, role] {
                             const auto affichees = couleurs_affichees(
                                 s->description.RadioGroup_coul_nb, s->parametres_prm.couleurs);
                             preparer_couleurs_personnalisees(affichees);
                             // The desktop's own dialog would not offer the custom colours.
                             QColorDialog boite(
                                 couleur_qt(affichees[static_cast<std::size_t>(role)]),
                                 contexte.fenetre);
                             boite.setOption(QColorDialog::DontUseNativeDialog);
                             if (boite.exec() == QDialog::Accepted)
                                 choisir_couleur(contexte, role, boite.selectedColor());
                         });
    }

    const std::array<QRadioButton*, 2> modes = {
        exiger<QRadioButton>(panneau, "RadioButton1_coul_nb"),
        exiger<QRadioButton>(panneau, "RadioButton2_coul_nb")};
    for (int k = 0; k < static_cast<int>(modes.size()); ++k)
        QObject::connect(modes[static_cast<std::size_t>(k)], &QAbstractButton::clicked, panneau,
                         [contexte, s, k] {
                             if (s->description.RadioGroup_coul_nb == k) return;
                             // The command reads the new mode from the panel before it runs.
                             contexte.executer([s] {
                                 // Back to colours: those last saved, whatever was chosen since.
                                 if (s->description.RadioGroup_coul_nb == 0)
                                     s->parametres_prm.couleurs =
                                         lire_fichier_prm(s->fichier_prm).couleurs;
                                 s->marquer_modifie();
                             });
                         });
}

std::vector<QWidget*> choisisseurs_couleur(const QWidget* fenetre) {
    std::vector<QWidget*> boutons;
    for (const Choix& c : choisisseurs) boutons.push_back(exiger<QWidget>(fenetre, c.nom));
    return boutons;
}

}  // namespace tarvo

#include "ui/couleurs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

#include "session/session.h"

namespace tarvo {

namespace {
const char* const propriete = "couleur";
}  // namespace

void donner_role(QWidget* controle, RoleCouleur role) {
    controle->setProperty(propriete, static_cast<int>(role));
}

QColor couleur_qt(Couleur c) {
    return {c.rouge, c.vert, c.bleu};
}

namespace {

// The graph window carries controls under the same names as the main window's: a rule
// for a main window control looks only among the controls of `racine`'s own window.
template <class T = QWidget>
T* de_la_fenetre(QWidget* racine, const char* nom) {
    for (T* w : racine->findChildren<T*>(QLatin1String(nom)))
        if (w->window() == racine->window()) return w;
    return nullptr;
}

void couleur_du_texte(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

void regles_particulieres(QWidget* racine, const std::array<Couleur, 4>& couleurs) {
    if (auto* flottante = de_la_fenetre(racine, "Memo3")) {
        QPalette p = flottante->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        flottante->setPalette(p);
    }
    for (const char* nom : {"Label67", "Label17", "Label69", "Label24"})
        if (auto* l = de_la_fenetre(racine, nom)) couleur_du_texte(l, couleur_qt(couleurs[0]));
    if (auto* l = de_la_fenetre(racine, "Label10")) colorer_legende(l, couleur_rouge);
    if (auto* petite = de_la_fenetre<QAbstractButton>(racine, "RadioButton_fen_suivi_petite");
        petite && !petite->isChecked())
        petite->click();
    for (QWidget* graphique : racine->findChildren<QWidget*>(QStringLiteral("Form2"))) {
        QPalette p = graphique->palette();
        p.setColor(QPalette::Window, couleur_qt(couleurs[2]));
        graphique->setPalette(p);
    }
}

}  // namespace

void appliquer_couleurs(QWidget* racine, const std::array<Couleur, 4>& couleurs) {
    QPalette fond = racine->palette();
    fond.setColor(QPalette::Window, couleur_qt(couleurs[0]));
    racine->setPalette(fond);
    racine->setAutoFillBackground(true);
    for (QWidget* w : racine->findChildren<QWidget*>()) {
        const QVariant role = w->property(propriete);
        if (!role.isValid()) continue;
        const QColor c = couleur_qt(couleurs[static_cast<std::size_t>(role.toInt())]);
        QPalette p = w->palette();
        // Entry fields and lists are painted in their base; panels and labels in their window.
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
            qobject_cast<QAbstractItemView*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QTextEdit*>(w)) {
            p.setColor(QPalette::Base, c);
        } else if (qobject_cast<QAbstractButton*>(w)) {
            p.setColor(QPalette::Button, c);
        } else {
            p.setColor(QPalette::Window, c);
            w->setAutoFillBackground(true);
        }
        w->setPalette(p);
    }
    regles_particulieres(racine, couleurs);
}

void repeindre_si_change(QWidget* fenetre, const Session& session) {
    const auto couleurs =
        couleurs_affichees(session.description.RadioGroup_coul_nb, session.parametres_prm.couleurs);
    QVariantList valeurs;
    for (const Couleur& c : couleurs) valeurs << c.rouge << c.vert << c.bleu;
    if (fenetre->property("couleurs_peintes").toList() == valeurs) return;
    fenetre->setProperty("couleurs_peintes", valeurs);
    appliquer_couleurs(fenetre, couleurs);
}

void colorer_legende(QWidget* controle, const QColor& couleur) {
    QPalette p = controle->palette();
    p.setColor(QPalette::ButtonText, couleur);
    p.setColor(QPalette::WindowText, couleur);
    controle->setPalette(p);
    controle->setProperty("legende", couleur);
}

void legende_normale(QWidget* controle) {
    QPalette p = controle->palette();
    const QPalette normale =
        controle->parentWidget() ? controle->parentWidget()->palette() : QPalette();
    p.setColor(QPalette::ButtonText, normale.color(QPalette::ButtonText));
    p.setColor(QPalette::WindowText, normale.color(QPalette::WindowText));
    controle->setPalette(p);
    controle->setProperty("legende", QVariant());
}

}  // namespace tarvo

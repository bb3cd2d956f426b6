#include "ui/couleurs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace tarvo {

namespace {
const char* const propriete = "couleur";
}  // namespace

void donner_role(QWidget* controle, RoleCouleur role) {
    controle->setProperty(propriete, static_cast<int>(role));
}

QColor couleur_qt(Couleur c) { return {c.rouge, c.vert, c.bleu}; }

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
    const QPalette normale = controle->parentWidget() ? controle->parentWidget()->palette() : QPalette();
    p.setColor(QPalette::ButtonText, normale.color(QPalette::ButtonText));
    p.setColor(QPalette::WindowText, normale.color(QPalette::WindowText));
    controle->setPalette(p);
    controle->setProperty("legende", QVariant());
}

}  // namespace tarvo

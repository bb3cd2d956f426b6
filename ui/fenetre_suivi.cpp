// `Panel1`, the tracking window: the log of the session, small or large.
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStringList>
#include <QToolButton>

#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/panneaux.h"

namespace tarvo {

FenetreSuivi::FenetreSuivi(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setToolTip(QStringLiteral("   déplaçable   avec las souris   "));
    donner_role(this, RoleCouleur::boutons);
    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(3, 3, 3, 3);

    auto* titre = new QLabel(QStringLiteral("fenêtre de suivi"), this);
    titre->setObjectName(QStringLiteral("Label32"));
    grille->addWidget(titre, 0, 0);
    auto* petite = new QRadioButton(QStringLiteral("petite"), this);
    petite->setObjectName(QStringLiteral("RadioButton_fen_suivi_petite"));
    petite->setChecked(true);
    auto* grande = new QRadioButton(QStringLiteral("grande"), this);
    grande->setObjectName(QStringLiteral("RadioButton_fen_suivi_grande"));
    grille->addWidget(petite, 0, 1);
    grille->addWidget(grande, 0, 2);
    connect(petite, &QRadioButton::clicked, this, [this] { emit taille_changee(false); });
    connect(grande, &QRadioButton::clicked, this, [this] { emit taille_changee(true); });

    auto* effacer = new QToolButton(this);
    effacer->setObjectName(QStringLiteral("SpeedButton_clear"));
    effacer->setText(QStringLiteral("clear"));
    grille->addWidget(effacer, 0, 3);
    auto* fermer = new QToolButton(this);
    fermer->setObjectName(QStringLiteral("SpeedButton_fermer_suivi"));
    fermer->setText(QStringLiteral("X"));
    fermer->setToolTip(QStringLiteral("fermer la fenêtre de suivi"));
    grille->addWidget(fermer, 0, 4);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo5"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    donner_role(memo_, RoleCouleur::listes);
    grille->addWidget(memo_, 1, 0, 1, 5);
    grille->setColumnStretch(0, 1);
}

void FenetreSuivi::rafraichir(const Session& session) {
    const std::vector<std::string>& lignes = session.journal.lignes();
    if (lignes.size() < lignes_affichees_) {
        memo_->clear();
        lignes_affichees_ = 0;
    }
    if (lignes.size() == lignes_affichees_) return;
    // One block for all the new lines: a paragraph at a time would take minutes for a
    // long run's log.
    QStringList nouvelles;
    nouvelles.reserve(static_cast<qsizetype>(lignes.size() - lignes_affichees_));
    for (std::size_t i = lignes_affichees_; i < lignes.size(); ++i) nouvelles.append(qt(lignes[i]));
    memo_->appendPlainText(nouvelles.join(QLatin1Char('\n')));
    lignes_affichees_ = lignes.size();
}

void FenetreSuivi::effacer_affichage() {
    memo_->clear();
}

void FenetreSuivi::mousePressEvent(QMouseEvent* evenement) {
    if (evenement->button() == Qt::LeftButton) prise_ = evenement->position().toPoint();
    QWidget::mousePressEvent(evenement);
}

void FenetreSuivi::mouseMoveEvent(QMouseEvent* evenement) {
    if (evenement->buttons() & Qt::LeftButton)
        move(mapToParent(evenement->position().toPoint() - prise_));
    QWidget::mouseMoveEvent(evenement);
}

}  // namespace tarvo

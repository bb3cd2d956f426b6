#include "ui/panneau_coche.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

namespace tarvo {

PanneauCoche::PanneauCoche(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel_coche"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    donner_role(this, RoleCouleur::boutons);

    groupe_ = nomme<QGroupBox>("GroupBox_coche");
    auto* liste = new QVBoxLayout(groupe_);
    liste->setContentsMargins(6, 2, 6, 4);
    liste->setSpacing(1);
    boutons_ = new QButtonGroup(this);
    for (int k = 0; k < 5; ++k) {
        auto* r = nomme<QRadioButton>(QStringLiteral("RadioButton%1_coche").arg(k + 1));
        boutons_->addButton(r, k);
        liste->addWidget(r);
    }
    connect(boutons_, &QButtonGroup::idClicked, this, &PanneauCoche::choisi);

    auto* fermer = bouton_outil("SpeedButton9", QStringLiteral("esc"));
    connect(fermer, &QToolButton::clicked, this, &QWidget::hide);

    auto* mise_en_page = new QHBoxLayout(this);
    mise_en_page->setContentsMargins(3, 3, 3, 3);
    mise_en_page->addWidget(groupe_);
    mise_en_page->addWidget(fermer, 0, Qt::AlignTop);
    hide();
}

void PanneauCoche::preparer(const std::string& titre, const std::array<std::string, 5>& legendes) {
    groupe_->setTitle(qt(titre));
    // An exclusive group always keeps one button checked: it lets go for a moment.
    boutons_->setExclusive(false);
    for (int k = 0; k < 5; ++k) {
        QAbstractButton* b = boutons_->button(k);
        b->setChecked(false);
        b->setText(qt(legendes[static_cast<std::size_t>(k)]));
    }
    boutons_->setExclusive(true);
    adjustSize();
}

}  // namespace tarvo

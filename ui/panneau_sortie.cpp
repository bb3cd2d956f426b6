// Zone 3 of the main window: the result file's name, its number format and separators,
// the NA text and the text editor. Every control is a description key, filled and read
// back by the description binding.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/controles.h"
#include "ui/panneaux.h"

namespace tarvo {

PanneauSortie::PanneauSortie(QWidget* parent) : QWidget(parent) {
    auto* nom = saisie("Edit_nom_fic_sortie", RoleCouleur::saisie);
    nom->setToolTip(QString::fromUtf8(
        " un # sera remplacé par la durée du traitement  et un § par la  période ciblée"));
    auto* increment = nomme<QCheckBox>("CheckBox_inc_nom", QString::fromUtf8("incrément (i)"));
    increment->setToolTip(QString::fromUtf8("incrémentation automatique du nom (1) (2) etc. "));

    auto* decimales = saisie("Edit_nb_decimale", RoleCouleur::listes, 40);
    auto* na = saisie("Edit_NA", RoleCouleur::listes, 70);

    auto* champs = new QGridLayout;
    champs->setVerticalSpacing(2);
    champs->addWidget(etiquette("Label12", QStringLiteral("fichier de sortie")), 0, 0);
    champs->addWidget(nom, 0, 1, 1, 3);
    champs->addWidget(increment, 0, 4);
    champs->addWidget(etiquette("Label18", QString::fromUtf8("nb décimales")), 1, 0);
    champs->addWidget(decimales, 1, 1);
    champs->addWidget(etiquette("Label30", QStringLiteral("NA")), 1, 2, Qt::AlignRight);
    champs->addWidget(na, 1, 3);
    champs->addWidget(etiquette("Label39", QString::fromUtf8("éditeur de texte")), 2, 0);
    champs->addWidget(saisie("Edit_name_prog_blocnote", RoleCouleur::listes), 2, 1, 1, 4);

    auto* groupes = new QHBoxLayout;
    groupes->addWidget(groupe_radio_colonnes(
        QStringLiteral("DECIMAL_SEPARATOR_sortie"), QString::fromUtf8("séparateur décimal"),
        {QStringLiteral("virgule"), QStringLiteral("point")}, 2));
    groupes->addWidget(groupe_radio_colonnes(
        QStringLiteral("separateur_sortie"), QString::fromUtf8("séparateur de sortie"),
        {QStringLiteral("tabulation"), QStringLiteral("espace"), QStringLiteral("espace+ tab"),
         QStringLiteral("point-virgule")},
        2));
    auto* mise_en_page = new QVBoxLayout(this);
    mise_en_page->setContentsMargins(0, 0, 0, 0);
    mise_en_page->setSpacing(2);
    mise_en_page->addLayout(champs);
    mise_en_page->addLayout(groupes);
    mise_en_page->addStretch(1);
}

// Nothing beyond the description keys, which the binding loads.
void PanneauSortie::rafraichir(const Session&) {}

}  // namespace tarvo

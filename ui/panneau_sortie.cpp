// Zone 3 of the main window: the result file's name, its number format and separators,
// the NA text and the text editor. Every control is a description key, filled and read
// back by the description binding.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <initializer_list>

#include "ui/couleurs.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

QLineEdit* saisie(const char* nom, RoleCouleur role) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nom));
    donner_role(e, role);
    return e;
}

QLabel* etiquette(const char* nom, const char* texte) {
    auto* l = new QLabel(QString::fromUtf8(texte));
    l->setObjectName(QString::fromLatin1(nom));
    return l;
}

// The buttons are named RadioButton<k>_<suffixe>, k from 1, so that the binding finds the
// group's index from them.
QGroupBox* groupe_radio(const char* suffixe, const char* titre,
                        std::initializer_list<const char*> legendes) {
    auto* g = new QGroupBox(QString::fromUtf8(titre));
    g->setObjectName(QStringLiteral("GroupBox_") + QString::fromLatin1(suffixe));
    auto* boites = new QGridLayout(g);
    boites->setContentsMargins(4, 2, 4, 2);
    boites->setVerticalSpacing(0);
    int k = 1;
    for (const char* legende : legendes) {
        auto* b = new QRadioButton(QString::fromUtf8(legende));
        b->setObjectName(
            QStringLiteral("RadioButton%1_%2").arg(k).arg(QString::fromLatin1(suffixe)));
        boites->addWidget(b, (k - 1) / 2, (k - 1) % 2);
        ++k;
    }
    return g;
}

}  // namespace

PanneauSortie::PanneauSortie(QWidget* parent) : QWidget(parent) {
    auto* nom = saisie("Edit_nom_fic_sortie", RoleCouleur::saisie);
    nom->setToolTip(QString::fromUtf8(
        " un # sera remplacé par la durée du traitement  et un § par la  période ciblée"));
    auto* increment = new QCheckBox(QString::fromUtf8("incrément (i)"));
    increment->setObjectName(QStringLiteral("CheckBox_inc_nom"));
    increment->setToolTip(QString::fromUtf8("incrémentation automatique du nom (1) (2) etc. "));

    auto* decimales = saisie("Edit_nb_decimale", RoleCouleur::listes);
    decimales->setMaximumWidth(40);
    auto* na = saisie("Edit_NA", RoleCouleur::listes);
    na->setMaximumWidth(70);

    auto* champs = new QGridLayout;
    champs->setVerticalSpacing(2);
    champs->addWidget(etiquette("Label12", "fichier de sortie"), 0, 0);
    champs->addWidget(nom, 0, 1, 1, 3);
    champs->addWidget(increment, 0, 4);
    champs->addWidget(etiquette("Label18", "nb décimales"), 1, 0);
    champs->addWidget(decimales, 1, 1);
    champs->addWidget(etiquette("Label30", "NA"), 1, 2, Qt::AlignRight);
    champs->addWidget(na, 1, 3);
    champs->addWidget(etiquette("Label39", "éditeur de texte"), 2, 0);
    champs->addWidget(saisie("Edit_name_prog_blocnote", RoleCouleur::listes), 2, 1, 1, 4);

    auto* groupes = new QHBoxLayout;
    groupes->addWidget(
        groupe_radio("DECIMAL_SEPARATOR_sortie", "séparateur décimal", {"virgule", "point"}));
    groupes->addWidget(groupe_radio("separateur_sortie", "séparateur de sortie",
                                    {"tabulation", "espace", "espace+ tab", "point-virgule"}));
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

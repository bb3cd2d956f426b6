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
    auto* boites = new QVBoxLayout(g);
    int k = 1;
    for (const char* legende : legendes) {
        auto* b = new QRadioButton(QString::fromUtf8(legende));
        b->setObjectName(
            QStringLiteral("RadioButton%1_%2").arg(k++).arg(QString::fromLatin1(suffixe)));
        boites->addWidget(b);
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

    auto* champs = new QGridLayout;
    champs->addWidget(etiquette("Label12", "fichier de sortie"), 0, 0);
    champs->addWidget(nom, 0, 1);
    champs->addWidget(increment, 0, 2);
    champs->addWidget(etiquette("Label18", "nb décimales"), 1, 0);
    champs->addWidget(saisie("Edit_nb_decimale", RoleCouleur::listes), 1, 1);
    champs->addWidget(etiquette("Label30", "NA"), 2, 0);
    champs->addWidget(saisie("Edit_NA", RoleCouleur::listes), 2, 1);
    champs->addWidget(etiquette("Label39", "éditeur de texte"), 3, 0);
    champs->addWidget(saisie("Edit_name_prog_blocnote", RoleCouleur::listes), 3, 1, 1, 2);

    auto* mise_en_page = new QHBoxLayout(this);
    mise_en_page->addLayout(champs, 1);
    mise_en_page->addWidget(
        groupe_radio("DECIMAL_SEPARATOR_sortie", "séparateur décimal", {"virgule", "point"}));
    mise_en_page->addWidget(groupe_radio("separateur_sortie", "séparateur de sortie",
                                         {"tabulation", "espace", "espace+ tab", "point-virgule"}));
}

// Nothing beyond the description keys, which the binding loads.
void PanneauSortie::rafraichir(const Session&) {}

}  // namespace tarvo

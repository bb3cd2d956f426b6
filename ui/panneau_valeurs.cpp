// Zone 1, lower part: NA texts and thresholds, extracted columns and their titles, the
// method, the clock corrections and the post-processing of the regular series.
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <array>

#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

QTimeEdit* heure(const char* nom) {
    auto* t = selecteur<QTimeEdit>(nom, QStringLiteral("HH:mm:ss"));
    donner_role(t, RoleCouleur::boutons);
    return t;
}

QDateTimeEdit* date(const char* nom) {
    auto* d = selecteur<QDateTimeEdit>(nom, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    d->setCalendarPopup(true);
    donner_role(d, RoleCouleur::listes);
    return d;
}

QHBoxLayout* rangee(QBoxLayout* parent) {
    auto* l = new QHBoxLayout;
    l->setSpacing(4);
    parent->addLayout(l);
    return l;
}

void ajouter(QHBoxLayout* l, std::initializer_list<QWidget*> controles) {
    for (QWidget* w : controles) l->addWidget(w);
}

// Only one of the two differences can be written: ticking one unticks the other.
void exclusion_mutuelle(QCheckBox* a, QCheckBox* b) {
    QObject::connect(a, &QCheckBox::clicked, b, [b](bool coche) {
        if (coche) b->setChecked(false);
    });
    QObject::connect(b, &QCheckBox::clicked, a, [a](bool coche) {
        if (coche) a->setChecked(false);
    });
}

}  // namespace

PanneauValeurs::PanneauValeurs(QWidget* parent) : QWidget(parent) {
    auto* tout = new QVBoxLayout(this);
    tout->setContentsMargins(2, 2, 2, 2);
    tout->setSpacing(2);

    // What a value is, and the titles the last listing found.
    auto* na = rangee(tout);
    auto* equiv = saisie("Edit_equiv_na", RoleCouleur::listes, 260);
    auto* min = saisie("Edit_min_na", RoleCouleur::listes, 60);
    auto* max = saisie("Edit_max_na", RoleCouleur::listes, 60);
    auto* origine = saisie("Edit_intitule_origine", RoleCouleur::listes);
    seuils_ = {min, max};
    intitule_origine_ = origine;
    origine->setReadOnly(true);
    auto* liste = bouton("Panel_button_liste_colonne", QStringLiteral("lister les colonnes"),
                         RoleCouleur::boutons);
    ajouter(na, {etiquette("Label29", QString::fromUtf8("équivalences NA"), equiv), equiv,
                 etiquette("Label36", QStringLiteral("NA si <"), min), min,
                 etiquette("Label31", QStringLiteral("NA si >"), max), max,
                 etiquette("Label2", QString::fromUtf8("intitulés d'origine"), origine), origine,
                 liste});

    // Which columns, under which titles.
    auto* alternatifs = saisie("Edit_new_desc_colonne", RoleCouleur::listes);
    alternatifs->setToolTip(
        QStringLiteral("   IL FAUT  RELISTER [ 1-Valider et lister les fichiers ]    "));
    ajouter(rangee(tout),
            {nomme<QCheckBox>(
                 "CheckBox_int_col_alternatif",
                 QString::fromUtf8("intitulés de colonne alternatifs avec ,  ; Tab \"\"   ou  )")),
             alternatifs});
    auto* resume = etiquette("Label_col_alternatives", QStringLiteral("---"));
    resume->setWordWrap(true);
    resume->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* extraites = rangee(tout);
    ajouter(extraites, {nomme<QCheckBox>(
                            "CheckBox_col_cochee",
                            QString::fromUtf8("n'extraire que les colonnes suivantes  (ex 7,12)")),
                        saisie("Edit_col_cochee", RoleCouleur::listes, 160)});
    extraites->addWidget(resume, 1);

    // How the measurements of one step make its value.
    QStringList methodes;
    for (const char* m :
         {"moyenne des n mesures OK", "ponctuel = dernière mesure OK", "max des n  mesures OK ",
          "min des n  mesures OK ", "moy ET si vide = prec+suiv /2", "cumul"})
        methodes << QString::fromUtf8(m);
    auto* methode =
        groupe_radio(QStringLiteral("methode"), QString::fromUtf8("méthode"), methodes, {}, 6);
    tout->addWidget(methode);
    auto* exigence = rangee(tout);
    auto* minimum = saisie("Edit_min_mesures_valides", RoleCouleur::listes, 48);
    minimum->setToolTip(
        QString::fromUtf8(" un pas qui a moins de mesures OK que ce minimum est écrit NA (0 = "
                          "sans minimum)  "));
    ajouter(exigence, {etiquette("Label_min_mesures_valides",
                                 QString::fromUtf8("minimum de mesures valides par pas"), minimum),
                       minimum});
    exigence->addStretch();

    // Clock corrections of the measurement dates.
    const QString bulle_decalage =
        QString::fromUtf8(" le décalage n'impacte que la date de mesure  ");
    const QString bulle_derive = QString::fromUtf8(" la dérive n'impacte que la date de mesure  ");
    auto* decalage = rangee(tout);
    auto* decalage_actif =
        nomme<QCheckBox>("CheckBox_decalage_actif", QString::fromUtf8("décalage"));
    auto* signes = new QWidget;  // the two signs exclude each other, and nothing else
    auto* l_signes = new QHBoxLayout(signes);
    l_signes->setContentsMargins(0, 0, 0, 0);
    auto* positif = nomme<QRadioButton>("RadioButton_decalage_positif", QStringLiteral("+"));
    auto* negatif = nomme<QRadioButton>("RadioButton_decalage_negatif", QStringLiteral("-"));
    ajouter(l_signes, {positif, negatif});
    positif->setChecked(true);
    auto* temps_decalage = heure("TimePicker_decalage");
    for (QWidget* w :
         std::initializer_list<QWidget*>{decalage_actif, positif, negatif, temps_decalage})
        w->setToolTip(bulle_decalage);
    ajouter(decalage,
            {etiquette("Label69", QStringLiteral("__________")), decalage_actif,
             etiquette("Label20", QStringLiteral("sens"), signes), signes,
             etiquette("Label3", QStringLiteral("+ heures"), temps_decalage), temps_decalage,
             nomme<QCheckBox>("CheckBox_correction_si_t1supt2",
                              QStringLiteral("correction + 1 j SI t1>t2 ")),
             nomme<QCheckBox>("CheckBox_correction_si_t1egalt2",
                              QStringLiteral("correction +1s SI t1=t2  "))});
    decalage->addStretch();

    auto* derive = rangee(tout);
    auto* derive_active =
        nomme<QCheckBox>("CheckBox_derive_active", QString::fromUtf8("dérive linéaire"));
    auto* erronee = heure("TimePicker_derive_erronee");
    auto* reelle = heure("TimePicker_derive_reelle");
    auto* debut = date("DateTimePicker_debut_derive");
    auto* constat = date("DateTimePicker_constat_derive");
    for (QWidget* w : std::initializer_list<QWidget*>{derive_active, erronee, reelle})
        w->setToolTip(bulle_derive);
    ajouter(derive, {etiquette("Label24", QStringLiteral("__________")), derive_active,
                     etiquette(nullptr, QString::fromUtf8("durée erronée"), erronee), erronee,
                     etiquette(nullptr, QString::fromUtf8("réelle"), reelle), reelle,
                     etiquette(nullptr, QString::fromUtf8("depuis le"), debut), debut,
                     etiquette(nullptr, QString::fromUtf8("constatée le"), constat), constat});
    derive->addStretch();

    // What is done to the regular series once it is built.
    auto* post = rangee(tout);
    auto* lacune = saisie("Edit_nmax_lacune", RoleCouleur::listes, 36);
    auto* delta = nomme<QCheckBox>("CheckBox_delta_Y", QStringLiteral("delta Y  y(i) - y(i-1)"));
    auto* derivees =
        nomme<QCheckBox>("CheckBox_derivees", QString::fromUtf8("dérivées [y(i) - y(i-1)] / pas"));
    exclusion_mutuelle(delta, derivees);
    ajouter(post, {nomme<QCheckBox>("CheckBox_post_traitement", QStringLiteral("POST traitement")),
                   etiquette("Label68", QString::fromUtf8("lacunes comblées jusqu'à"), lacune),
                   lacune, etiquette("Label66", QStringLiteral("NA successifs")),
                   nomme<QCheckBox>("CheckBox_cumul_corriger",
                                    QString::fromUtf8("cumul croissant forcé")),
                   delta, derivees});
    post->addStretch();
    textes_ = TextesZone(this, ZoneTexte::valeurs);
}

void PanneauValeurs::rafraichir(const Session& session) {
    intitule_origine_->setText(qt(session.inventaire.colonnes.Edit_intitule_origine));
    textes_.rafraichir(session);
    // A threshold in force stands out in the entry-field colour.
    const std::array<bool, 2> actifs = {!session.description.Edit_min_na.empty(),
                                        !session.description.Edit_max_na.empty()};
    for (std::size_t i = 0; i < actifs.size(); ++i) {
        QWidget* e = seuils_[i];
        const bool actif = actifs[i];
        const RoleCouleur role = actif ? RoleCouleur::saisie : RoleCouleur::fond;
        donner_role(e, role);
        QPalette p = e->palette();
        p.setColor(QPalette::Base,
                   couleur_qt(couleurs_affichees(
                       session.description.RadioGroup_coul_nb,
                       session.parametres_prm.couleurs)[static_cast<std::size_t>(role)]));
        e->setPalette(p);
    }
}

}  // namespace tarvo

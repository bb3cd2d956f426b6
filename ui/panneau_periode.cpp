// Zone 4 of the main window: the period, the step and its unit, the grid command and the
// grid itself.
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>
#include <array>

#include "engine/grille.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/modele_lignes.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

// Both ends are drawn alike; index 0 is the start, 1 the end.
constexpr std::array<const char*, 2> suffixes = {"deb", "fin"};

QString nom(const char* prefixe, int fin) {
    return QStringLiteral("%1_%2").arg(QLatin1String(prefixe),
                                       QLatin1String(suffixes[static_cast<std::size_t>(fin)]));
}

// A settings text the pickers can show; a text that is no date leaves them at day 0.
double date_de(const std::string& texte) {
    JournalSuivi ignore;
    std::string canonique;
    return texte_vers_date_heure(texte, canonique, ignore);
}

}  // namespace

PanneauPeriode::PanneauPeriode(QWidget* parent) : QWidget(parent) {
    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(2, 2, 2, 2);

    for (int fin = 0; fin < 2; ++fin) {
        auto* date =
            selecteur<QDateEdit>(nom("DatePicker", fin), QStringLiteral("dd/MM/yyyy"), this);
        date->setCalendarPopup(true);
        auto* heure =
            selecteur<QTimeEdit>(nom("TimePicker", fin), QStringLiteral("HH:mm:ss"), this);
        donner_role(date, RoleCouleur::listes);
        donner_role(heure, RoleCouleur::listes);
        auto* zero =
            bouton_outil(fin == 0 ? "SpeedButton_deb" : "SpeedButton_fin", QStringLiteral("0"));
        auto* temps = nomme<QLabel>(nom("Label_temps", fin), this);
        auto* jour = nomme<QLabel>(nom("Label_jour_semaine", fin), this);
        grille->addWidget(etiquette(fin == 0 ? "Label22" : "Label23",
                                    fin == 0 ? QStringLiteral("début") : QStringLiteral("fin")),
                          fin, 0);
        grille->addWidget(date, fin, 1);
        grille->addWidget(heure, fin, 2);
        grille->addWidget(zero, fin, 3);
        grille->addWidget(temps, fin, 4);
        grille->addWidget(jour, fin, 5);
        connect(date, &QDateEdit::dateChanged, this, [this, fin] { fin_modifiee(fin); });
        connect(heure, &QTimeEdit::timeChanged, this, [this, fin] { fin_modifiee(fin); });
        connect(zero, &QToolButton::clicked, this,
                [this, fin] { emit remise_a_zero_demandee(fin); });
    }
    grille->addWidget(etiquette("Label67"), 2, 0, 1, 6);

    // The step: a time of day for unit 0, a count of days, months or years otherwise.
    auto* unites = nomme<QGroupBox>("GroupBox_jour_mois_annee", this);
    auto* ligne_unites = new QHBoxLayout(unites);
    const std::array<QString, 4> legendes = {QStringLiteral("hh:mn:ss"), QStringLiteral("jour"),
                                             QStringLiteral("mois"), QStringLiteral("année")};
    for (int k = 0; k < 4; ++k) {
        auto* r = nomme<QRadioButton>(QStringLiteral("RadioButton%1_jour_mois_annee").arg(k + 1),
                                      legendes[static_cast<std::size_t>(k)], unites);
        ligne_unites->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (!coche) return;
            afficher_unite();
            emit grille_modifiee();
        });
    }
    auto* pas = selecteur<QTimeEdit>("TimePicker_pas", QStringLiteral("HH:mm:ss"), unites);
    auto* nombre = nomme<QSpinBox>("SpinEdit_pas_jour_mois_annee", unites);
    nombre->setRange(1, 400);
    donner_role(pas, RoleCouleur::listes);
    donner_role(nombre, RoleCouleur::listes);
    ligne_unites->addWidget(pas);
    ligne_unites->addWidget(bouton_outil("SpeedButton_pas", QStringLiteral("0")));
    ligne_unites->addWidget(nombre);
    ligne_unites->addWidget(etiquette("Label56"));
    grille->addWidget(unites, 3, 0, 1, 6);
    connect(pas, &QTimeEdit::timeChanged, this, &PanneauPeriode::grille_modifiee);
    connect(nombre, &QSpinBox::valueChanged, this, &PanneauPeriode::grille_modifiee);
    connect(findChild<QToolButton*>(QStringLiteral("SpeedButton_pas")), &QToolButton::clicked, this,
            [this] { emit remise_a_zero_demandee(2); });

    auto* test = nomme<QGroupBox>("GroupBox_actuel_ou_passee", this);
    auto* ligne_test = new QHBoxLayout(test);
    ligne_test->addWidget(
        nomme<QRadioButton>("RadioButton1_actuel_ou_passee", QStringLiteral("(inf ou =)"), test));
    ligne_test->addWidget(
        nomme<QRadioButton>("RadioButton2_actuel_ou_passee", QStringLiteral("(inf strict)"), test));
    for (auto* r : test->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (coche) emit grille_modifiee();
        });
    auto* decalage = nomme<QSpinBox>("SpinEdit_decalage_jour", this);
    decalage->setRange(0, 99999);
    decalage->setToolTip(QStringLiteral(" le décalage n'impacte que la date de mesure  "));
    donner_role(decalage, RoleCouleur::boutons);
    connect(decalage, &QSpinBox::valueChanged, this, &PanneauPeriode::grille_modifiee);
    grille->addWidget(test, 4, 0, 1, 4);
    grille->addWidget(decalage, 4, 4);

    // The period last processed with the description, which a double click brings back.
    const std::array<std::pair<const char*, const char*>, 3> dsc = {
        {{"Label37", "Label_min_dsc"}, {"Label38", "Label_max_dsc"}, {"Label55", "Label_pas_dsc"}}};
    const std::array<QString, 3> titres = {QStringLiteral("Min"), QStringLiteral("Max"),
                                           QStringLiteral("pas")};
    auto* ligne_dsc = new QHBoxLayout;
    for (std::size_t k = 0; k < dsc.size(); ++k) {
        ligne_dsc->addWidget(etiquette(dsc[k].first, titres[k]));
        auto* valeur = etiquette(dsc[k].second);
        donner_role(valeur, RoleCouleur::boutons);
        ligne_dsc->addWidget(valeur);
    }
    ligne_dsc->addWidget(etiquette("Label17"));
    grille->addLayout(ligne_dsc, 5, 0, 1, 6);

    grille->addWidget(bouton_outil("SpeedButton_creer_listes_date_clean",
                                   QStringLiteral("<=  2-  créer la liste horodatée")),
                      6, 0, 1, 3);
    grille->addWidget(etiquette("Label25"), 6, 3, 1, 2);
    grille->addWidget(etiquette("Label_nr_final"), 6, 5);

    grille->addWidget(liste_lignes("ListBox_date_clean"), 7, 0, 1, 6);

    findChild<QRadioButton*>(QStringLiteral("RadioButton1_jour_mois_annee"))->setChecked(true);
    findChild<QRadioButton*>(QStringLiteral("RadioButton1_actuel_ou_passee"))->setChecked(true);
}

void PanneauPeriode::fin_modifiee(int fin) {
    // An end is the date of its date picker at the time of its time picker, whichever
    // of the two was changed.
    const QDateTime moment(findChild<QDateEdit*>(nom("DatePicker", fin))->date(),
                           findChild<QTimeEdit*>(nom("TimePicker", fin))->time());
    const double jours = jours_de(moment);
    findChild<QLabel*>(nom("Label_temps", fin))->setText(qt(texte_grille(jours)));
    findChild<QLabel*>(nom("Label_jour_semaine", fin))->setText(qt(jour_semaine(jours)));
    emit grille_modifiee();
}

void PanneauPeriode::mettre_a_zero(int quoi) {
    auto* heure = quoi == 2 ? findChild<QTimeEdit*>(QStringLiteral("TimePicker_pas"))
                            : findChild<QTimeEdit*>(nom("TimePicker", quoi == 1 ? 1 : 0));
    // A time already at zero sends no change, but the answer Oui still counts as one.
    if (heure->time() != QTime(0, 0))
        heure->setTime(QTime(0, 0));
    else if (quoi == 2)
        emit grille_modifiee();
    else
        fin_modifiee(quoi == 1 ? 1 : 0);
}

void PanneauPeriode::afficher_unite() {
    int unite = unite_hms;
    for (int k = 0; k < 4; ++k)
        if (findChild<QRadioButton*>(QStringLiteral("RadioButton%1_jour_mois_annee").arg(k + 1))
                ->isChecked())
            unite = k;
    findChild<QTimeEdit*>(QStringLiteral("TimePicker_pas"))->setVisible(unite == unite_hms);
    findChild<QToolButton*>(QStringLiteral("SpeedButton_pas"))->setVisible(unite == unite_hms);
    findChild<QSpinBox*>(QStringLiteral("SpinEdit_pas_jour_mois_annee"))
        ->setVisible(unite != unite_hms);
    findChild<QLabel*>(QStringLiteral("Label56"))->setText(qt(texte_Label56(unite)));
}

void PanneauPeriode::charger(const ParametresGrille& p, int SpinEdit_decalage_jour) {
    const std::array<const std::string*, 2> textes = {&p.Label_temps_deb, &p.Label_temps_fin};
    for (int fin = 0; fin < 2; ++fin) {
        const std::string& texte = *textes[static_cast<std::size_t>(fin)];
        const double jours = date_de(texte);
        auto* date = findChild<QDateEdit*>(nom("DatePicker", fin));
        auto* heure = findChild<QTimeEdit*>(nom("TimePicker", fin));
        const QSignalBlocker b1(date), b2(heure);
        date->setDate(date_qt(jours).date());
        heure->setTime(date_qt(jours).time());
        findChild<QLabel*>(nom("Label_temps", fin))->setText(qt(texte));
        findChild<QLabel*>(nom("Label_jour_semaine", fin))->setText(qt(jour_semaine(jours)));
    }
    auto* pas = findChild<QTimeEdit*>(QStringLiteral("TimePicker_pas"));
    auto* nombre = findChild<QSpinBox*>(QStringLiteral("SpinEdit_pas_jour_mois_annee"));
    auto* decalage = findChild<QSpinBox*>(QStringLiteral("SpinEdit_decalage_jour"));
    const QSignalBlocker b1(pas), b2(nombre), b3(decalage);
    pas->setTime(heure_qt(p.TimePicker_pas));
    nombre->setValue(p.SpinEdit_pas_jour_mois_annee);
    decalage->setValue(SpinEdit_decalage_jour);
    const int unite =
        p.unite_pas >= unite_hms && p.unite_pas <= unite_annee ? p.unite_pas : unite_hms;
    for (int k = 0; k < 4; ++k) {
        auto* r =
            findChild<QRadioButton*>(QStringLiteral("RadioButton%1_jour_mois_annee").arg(k + 1));
        const QSignalBlocker bloque(r);
        r->setChecked(k == unite);
    }
    for (int k = 0; k < 2; ++k) {
        auto* r =
            findChild<QRadioButton*>(QStringLiteral("RadioButton%1_actuel_ou_passee").arg(k + 1));
        const QSignalBlocker bloque(r);
        r->setChecked(k == (p.test_strict == 1 ? 1 : 0));
    }
    afficher_unite();
}

void PanneauPeriode::enregistrer(ParametresGrille& p, int& SpinEdit_decalage_jour) const {
    p.Label_temps_deb = cp(findChild<QLabel*>(QStringLiteral("Label_temps_deb"))->text());
    p.Label_temps_fin = cp(findChild<QLabel*>(QStringLiteral("Label_temps_fin"))->text());
    p.TimePicker_pas = fraction_de(findChild<QTimeEdit*>(QStringLiteral("TimePicker_pas"))->time());
    p.SpinEdit_pas_jour_mois_annee =
        findChild<QSpinBox*>(QStringLiteral("SpinEdit_pas_jour_mois_annee"))->value();
    for (int k = 0; k < 4; ++k)
        if (findChild<QRadioButton*>(QStringLiteral("RadioButton%1_jour_mois_annee").arg(k + 1))
                ->isChecked())
            p.unite_pas = k;
    p.test_strict =
        findChild<QRadioButton*>(QStringLiteral("RadioButton2_actuel_ou_passee"))->isChecked() ? 1
                                                                                               : 0;
    SpinEdit_decalage_jour =
        findChild<QSpinBox*>(QStringLiteral("SpinEdit_decalage_jour"))->value();
}

void PanneauPeriode::rafraichir(const Session& session) {
    auto* resume = findChild<QLabel*>(QStringLiteral("Label25"));
    resume->setText(qt(session.Label25));
    if (session.couleur_Label25 == CouleurResume::rouge)
        colorer_legende(resume, couleur_rouge);
    else if (session.couleur_Label25 == CouleurResume::bleu)
        colorer_legende(resume, couleur_bleue);
    findChild<QLabel*>(QStringLiteral("Label_nr_final"))
        ->setText(qt(session.grille.Label_nr_final));
    auto* liste = findChild<QListView*>(QStringLiteral("ListBox_date_clean"));
    static_cast<ModeleLignes*>(liste->model())->definir(&session.grille.items);
    findChild<QLabel*>(QStringLiteral("Label_min_dsc"))
        ->setText(qt(session.description.Label_min_dsc));
    findChild<QLabel*>(QStringLiteral("Label_max_dsc"))
        ->setText(qt(session.description.Label_max_dsc));
    findChild<QLabel*>(QStringLiteral("Label_pas_dsc"))
        ->setText(qt(session.description.Label_pas_dsc));
}

}  // namespace tarvo

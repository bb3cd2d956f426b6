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
        extremites_[static_cast<std::size_t>(fin)] = {date, heure, temps, jour};
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
        unites_[static_cast<std::size_t>(k)] = r;
        ligne_unites->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (!coche) return;
            afficher_unite();
            emit grille_modifiee();
        });
    }
    pas_ = selecteur<QTimeEdit>("TimePicker_pas", QStringLiteral("HH:mm:ss"), unites);
    nombre_pas_ = nomme<QSpinBox>("SpinEdit_pas_jour_mois_annee", unites);
    nombre_pas_->setRange(1, 400);
    donner_role(pas_, RoleCouleur::listes);
    donner_role(nombre_pas_, RoleCouleur::listes);
    zero_pas_ = bouton_outil("SpeedButton_pas", QStringLiteral("0"));
    unite_pas_ = etiquette("Label56");
    ligne_unites->addWidget(pas_);
    ligne_unites->addWidget(zero_pas_);
    ligne_unites->addWidget(nombre_pas_);
    ligne_unites->addWidget(unite_pas_);
    grille->addWidget(unites, 3, 0, 1, 6);
    connect(pas_, &QTimeEdit::timeChanged, this, &PanneauPeriode::grille_modifiee);
    connect(nombre_pas_, &QSpinBox::valueChanged, this, &PanneauPeriode::grille_modifiee);
    connect(zero_pas_, &QToolButton::clicked, this, [this] { emit remise_a_zero_demandee(2); });

    auto* test = nomme<QGroupBox>("GroupBox_actuel_ou_passee", this);
    auto* ligne_test = new QHBoxLayout(test);
    tests_ = {
        nomme<QRadioButton>("RadioButton1_actuel_ou_passee", QStringLiteral("(inf ou =)"), test),
        nomme<QRadioButton>("RadioButton2_actuel_ou_passee", QStringLiteral("(inf strict)"), test)};
    for (auto* r : tests_) {
        ligne_test->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool coche) {
            if (coche) emit grille_modifiee();
        });
    }
    decalage_ = nomme<QSpinBox>("SpinEdit_decalage_jour", this);
    decalage_->setRange(0, 99999);
    decalage_->setToolTip(QStringLiteral(" le décalage n'impacte que la date de mesure  "));
    donner_role(decalage_, RoleCouleur::boutons);
    connect(decalage_, &QSpinBox::valueChanged, this, &PanneauPeriode::grille_modifiee);
    grille->addWidget(test, 4, 0, 1, 4);
    grille->addWidget(decalage_, 4, 4);

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

    dates_ = liste_lignes("ListBox_date_clean");
    grille->addWidget(dates_, 7, 0, 1, 6);

    unites_[0]->setChecked(true);
    tests_[0]->setChecked(true);
    textes_ = TextesZone(this, ZoneTexte::periode);
}

void PanneauPeriode::fin_modifiee(int fin) {
    // An end is the date of its date picker at the time of its time picker, whichever
    // of the two was changed.
    const Extremite& e = extremites_.at(static_cast<std::size_t>(fin));
    const double jours = jours_de(QDateTime(e.date->date(), e.heure->time()));
    e.temps->setText(qt(texte_grille(jours)));
    e.jour->setText(qt(jour_semaine(jours)));
    emit grille_modifiee();
}

void PanneauPeriode::mettre_a_zero(int quoi) {
    auto* heure = quoi == 2 ? pas_ : extremites_[quoi == 1 ? 1 : 0].heure;
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
        if (unites_[static_cast<std::size_t>(k)]->isChecked()) unite = k;
    pas_->setVisible(unite == unite_hms);
    zero_pas_->setVisible(unite == unite_hms);
    nombre_pas_->setVisible(unite != unite_hms);
    unite_pas_->setText(qt(texte_unite_pas(unite)));
}

void PanneauPeriode::charger(const ParametresGrille& p, int SpinEdit_decalage_jour) {
    const std::array<const std::string*, 2> textes = {&p.Label_temps_deb, &p.Label_temps_fin};
    for (int fin = 0; fin < 2; ++fin) {
        const std::string& texte = *textes[static_cast<std::size_t>(fin)];
        const double jours = date_de(texte);
        const Extremite& e = extremites_[static_cast<std::size_t>(fin)];
        const QSignalBlocker b1(e.date), b2(e.heure);
        e.date->setDate(date_qt(jours).date());
        e.heure->setTime(date_qt(jours).time());
        e.temps->setText(qt(texte));
        e.jour->setText(qt(jour_semaine(jours)));
    }
    const QSignalBlocker b1(pas_), b2(nombre_pas_), b3(decalage_);
    pas_->setTime(heure_qt(p.TimePicker_pas));
    nombre_pas_->setValue(p.SpinEdit_pas_jour_mois_annee);
    decalage_->setValue(SpinEdit_decalage_jour);
    const int unite =
        p.unite_pas >= unite_hms && p.unite_pas <= unite_annee ? p.unite_pas : unite_hms;
    for (int k = 0; k < 4; ++k) {
        auto* r = unites_[static_cast<std::size_t>(k)];
        const QSignalBlocker bloque(r);
        r->setChecked(k == unite);
    }
    for (int k = 0; k < 2; ++k) {
        auto* r = tests_[static_cast<std::size_t>(k)];
        const QSignalBlocker bloque(r);
        r->setChecked(k == (p.test_strict == 1 ? 1 : 0));
    }
    afficher_unite();
}

void PanneauPeriode::enregistrer(ParametresGrille& p, int& SpinEdit_decalage_jour) const {
    p.Label_temps_deb = cp(extremites_[0].temps->text());
    p.Label_temps_fin = cp(extremites_[1].temps->text());
    p.TimePicker_pas = fraction_de(pas_->time());
    p.SpinEdit_pas_jour_mois_annee = nombre_pas_->value();
    for (int k = 0; k < 4; ++k)
        if (unites_[static_cast<std::size_t>(k)]->isChecked()) p.unite_pas = k;
    p.test_strict = tests_[1]->isChecked() ? 1 : 0;
    SpinEdit_decalage_jour = decalage_->value();
}

void PanneauPeriode::rafraichir(const Session& session) {
    textes_.rafraichir(session);
    static_cast<ModeleLignes*>(dates_->model())->definir(&session.grille.items);
}

}  // namespace tarvo

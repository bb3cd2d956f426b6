// Zone 1, upper part: directories, description commands, input source and line layout.
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "formats/motifs_date.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

QHBoxLayout* ligne(QVBoxLayout* parent) {
    auto* l = new QHBoxLayout;
    l->setSpacing(4);
    parent->addLayout(l);
    return l;
}

// A directory too long for its place is drawn tiny rather than covering its neighbours;
// `repere` is the control at its right that it must not reach.
void ajuster_repertoire(QWidget* racine, QLabel* l, const QWidget* repere) {
    QFont police = l->font();
    police.setPointSize(10);
    const int gauche = l->mapTo(racine, QPoint(0, 0)).x();
    const int droite = gauche + QFontMetrics(police).horizontalAdvance(l->text());
    const int limite = repere && !repere->isHidden() ? repere->mapTo(racine, QPoint(0, 0)).x()
                                                     : gauche + l->width();
    police.setPointSize(droite > limite ? 4 : 10);
    l->setFont(police);
}

}  // namespace

PanneauDescription::PanneauDescription(QWidget* parent) : QWidget(parent) {
    auto* tout = new QVBoxLayout(this);
    tout->setContentsMargins(2, 2, 2, 2);
    tout->setSpacing(2);

    // The three directories and the description file; the sheet, the description commands
    // and the directory summary at their right.
    auto* reps = new QGridLayout;
    reps->setHorizontalSpacing(4);
    reps->setVerticalSpacing(1);
    tout->addLayout(reps);
    const struct {
        const char* bouton;
        const char* legende;
        const char* label;
    } repertoires[] = {{"SpeedButton_choix_rep_donnee", "Données", "Label_repertoire"},
                       {"SpeedButton_choix_rep_desc", "Description", "Label_rep_description"},
                       {"SpeedButton_choix_rep_sortie", "EXPORT", "Label_rep_sortie"}};
    for (int i = 0; i < 3; ++i) {
        reps->addWidget(bouton(repertoires[i].bouton, QString::fromUtf8(repertoires[i].legende)), i,
                        0);
        auto* l = etiquette(repertoires[i].label, QString());
        // A long path must not widen the window: the size rule shrinks it instead.
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        reps->addWidget(l, i, 1);
    }
    colorer_legende(exiger<QWidget>(this, "SpeedButton_choix_rep_donnee"), couleur_marron);
    reps->addWidget(
        bouton("SpeedButton_desc_bd", QString::fromUtf8("Choix du fichier de description  *.dsc")),
        3, 0);
    auto* nom_desc = etiquette("Label_description_bd", QString());
    nom_desc->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    reps->addWidget(nom_desc, 3, 1);
    reps->setColumnStretch(1, 1);

    auto* feuille = saisie_fixe("Edit_num_feuille_excel", RoleCouleur::listes, 40);
    auto* classeur = new QHBoxLayout;
    classeur->setSpacing(4);
    classeur->addWidget(etiquette("Label61", QString::fromUtf8("feuille n°"), feuille));
    classeur->addWidget(feuille);
    classeur->addWidget(etiquette("Label_nom_feuille", QString()));
    classeur->addWidget(etiquette("Label_nom_fic_excel", QString()), 1);
    classeur->addStretch();
    classeur->addWidget(bouton_outil("SpeedButton11", QStringLiteral("couleurs"),
                                     QStringLiteral(" choix des couleurs  ")));
    for (const auto& [nom, legende] :
         {std::pair{"SpeedButton_help2", "?+"}, std::pair{"SpeedButton_help3", "?-"}})
        classeur->addWidget(
            bouton_outil(nom, QLatin1String(legende), QString::fromUtf8(" écran d'aide  ")));
    reps->addLayout(classeur, 0, 2);
    auto* commandes = new QHBoxLayout;
    commandes->setSpacing(4);
    commandes->addWidget(bouton("SpeedButton_nouveau_dsc", QStringLiteral("Nouveau")));
    commandes->addWidget(bouton("SpeedButton_Enregistrer_dsc", QStringLiteral("Enregistrer")));
    commandes->addWidget(
        bouton("SpeedButton_enreg_description", QStringLiteral("Enregistrer sous ...")));
    commandes->addStretch();
    reps->addLayout(commandes, 1, 2);
    auto* resume = new QHBoxLayout;
    resume->setSpacing(4);
    resume->addWidget(
        etiquette("Label65", QString::fromUtf8("test d'existence des 3  répertoires")));
    resume->addWidget(bouton("SpeedButton_change_hd", QString::fromUtf8("Résumé des DSC")));
    resume->addStretch();
    reps->addLayout(resume, 2, 2);
    reps->addWidget(etiquette("Label70", QString()), 3, 2);

    // Where the input comes from.
    auto* source = ligne(tout);
    source->addWidget(bouton("SpeedButton_choix_fic_donnee",
                             QString::fromUtf8("Exemplaire de fichier de données")));
    auto* presse_papier = bouton("SpeedButton_presse_papier", QStringLiteral("Presse-papier"));
    presse_papier->hide();
    source->addWidget(presse_papier);
    auto* masque = saisie_fixe("Edit_masque", RoleCouleur::listes, 90);
    source->addWidget(etiquette("Label4", QStringLiteral("extension"), masque));
    source->addWidget(masque);
    source->addWidget(nomme<QCheckBox>("CheckBox_recursif", QStringLiteral("avec sous-dossiers")));
    auto* station = saisie_fixe("Edit_f_station", RoleCouleur::listes, 110);
    auto* date_fichier = saisie_fixe("Edit_f_date_fichier", RoleCouleur::listes, 130);
    source->addWidget(etiquette("Label15", QStringLiteral("station"), station));
    source->addWidget(station);
    source->addWidget(etiquette("Label16", QStringLiteral("date fichier"), date_fichier));
    source->addWidget(date_fichier);
    source->addWidget(bouton_outil("SpeedButton_date_fic", QStringLiteral("..."),
                                   QStringLiteral("codes de date du nom de fichier")));
    source->addWidget(nomme<QCheckBox>("CheckBox_car_null",
                                       QString::fromUtf8("gestion des caractères illisibles")));
    source->addStretch();

    // How a line splits and where the data lie.
    auto* lignes = ligne(tout);
    lignes->addWidget(groupe_radio(QStringLiteral("separateur_colonne"),
                                   QString::fromUtf8("séparateur"),
                                   {QStringLiteral("Tabulation"), QStringLiteral("Espace"),
                                    QStringLiteral("Point-virgule"), QStringLiteral("Virgule")}));
    // Beside the separator: quoted fields hold separators that do not split them.
    lignes->addWidget(
        nomme<QCheckBox>("CheckBox_champs_guillemets", QStringLiteral("champs entre guillemets")));
    auto* balise_deb = saisie_fixe("Edit_balise_deb", RoleCouleur::listes, 70);
    auto* balise_fin = saisie_fixe("Edit_balise_fin", RoleCouleur::listes, 70);
    auto* num_donnee = saisie_fixe("Edit_num_ligne_donnee", RoleCouleur::saisie, 36);
    lignes->addWidget(groupe_radio(
        QStringLiteral("numlig_balise"), QString(),
        {QString::fromUtf8("n° de ligne"), QStringLiteral("balises")},
        {etiquette("Label51", QString::fromUtf8("balise de début (= ligne n°1)"), balise_deb),
         balise_deb, etiquette("Label52", QStringLiteral("balise de fin"), balise_fin), balise_fin,
         etiquette("Label50", QString::fromUtf8("1ère donnée en ligne n°"), num_donnee),
         num_donnee}));
    lignes->addStretch();

    // The title line, and the date and time of a measurement in one column or two.
    auto* num_intitule = saisie_fixe("Edit_num_ligne_intitule_col", RoleCouleur::saisie, 36);
    auto* col_datetime = saisie_fixe("Edit_num_col_datetime", RoleCouleur::saisie, 36);
    // Wide enough for the longest entry of its pick list ("mm/jj/aa hh:mn:ss AM/PM souple").
    int plus_long = 170;
    for (const std::string& motif : motifs_date_heure_proposes())
        plus_long = std::max(plus_long, QFontMetrics(font()).horizontalAdvance(qt(motif)) + 16);
    auto* format_datetime =
        saisie_fixe("Edit_format_datetime_mesure", RoleCouleur::listes, plus_long);
    auto* col_date = saisie_fixe("Edit_num_col_date", RoleCouleur::saisie, 36);
    auto* format_date = saisie_fixe("Edit_format_date_mesure_seule", RoleCouleur::listes, 100);
    auto* col_heure = saisie_fixe("Edit_num_col_time", RoleCouleur::saisie, 36);
    auto* format_heure = saisie_fixe("Edit_format_time_mesure_seul", RoleCouleur::listes, 80);
    auto* dates = ligne(tout);
    dates->addWidget(groupe_radio(
        QStringLiteral("avec_sans_intitule"), QString::fromUtf8("intitulés"),
        {QStringLiteral("avec"), QStringLiteral("sans")},
        {etiquette("Label14", QString::fromUtf8("en ligne n°"), num_intitule), num_intitule}));
    auto* decimal =
        groupe_radio(QStringLiteral("DECIMAL_SEPARATOR_entree"), QString::fromUtf8("décimale"),
                     {QStringLiteral("virgule"), QStringLiteral("point")});
    decimal->hide();
    dates->addWidget(decimal);
    dates->addWidget(groupe_radio(
        QStringLiteral("datetime_nb_col"), QStringLiteral("date/heure en"),
        {QStringLiteral("1 colonne"), QStringLiteral("2 colonnes")},
        {etiquette("Label44", QStringLiteral("col."), col_datetime), col_datetime,
         etiquette("Label34", QStringLiteral("format"), format_datetime), format_datetime,
         bouton_outil("SpeedButton_date_heure", QStringLiteral("...")),
         etiquette(nullptr, QStringLiteral("date col."), col_date), col_date,
         etiquette(nullptr, QStringLiteral("format"), format_date), format_date,
         bouton_outil("SpeedButton_date", QStringLiteral("...")),
         etiquette(nullptr, QStringLiteral("heure col."), col_heure), col_heure,
         etiquette(nullptr, QStringLiteral("format"), format_heure), format_heure,
         bouton_outil("SpeedButton_heure", QStringLiteral("..."))}));
    dates->addStretch();

    // The zones of the measurement times and of the result: "UTC+01:00", "Europe/Paris";
    // an empty result zone converts nothing.
    auto* fuseaux = ligne(tout);
    struct Fuseau {
        const char* nom;
        const char* etiquette;
        const char* texte;
    };
    for (const Fuseau& f :
         {Fuseau{"Edit_fuseau_mesures", "Label_fuseau_mesures", "fuseau des mesures"},
          Fuseau{"Edit_fuseau_resultat", "Label_fuseau_resultat", "fuseau du résultat"}}) {
        auto* fuseau = saisie_fixe(f.nom, RoleCouleur::saisie, 130);
        fuseau->setPlaceholderText(QStringLiteral("UTC+01:00, Europe/Paris"));
        fuseaux->addWidget(etiquette(f.etiquette, QString::fromUtf8(f.texte), fuseau));
        fuseaux->addWidget(fuseau);
    }
    fuseaux->addStretch();

    for (const char* nom : {"RadioButton1_datetime_nb_col", "RadioButton2_datetime_nb_col",
                            "RadioButton1_avec_sans_intitule", "RadioButton2_avec_sans_intitule",
                            "RadioButton1_numlig_balise", "RadioButton2_numlig_balise"}) {
        auto* r = exiger<QRadioButton>(this, nom);
        r->setChecked(r->objectName().startsWith(QLatin1String("RadioButton1")));
        connect(r, &QRadioButton::toggled, this, [this] { afficher_options(); });
    }

    // Which date/time, title-line and tag fields the chosen options call for: each field
    // goes with the labels that name it.
    const auto etiquettes = findChildren<QLabel*>();
    const auto champs = [&](std::initializer_list<const char*> noms) {
        std::vector<QWidget*> w;
        for (const char* nom : noms) {
            w.push_back(exiger<QWidget>(this, nom));
            for (QLabel* l : etiquettes)
                if (l->buddy() == w.back()) w.push_back(l);
        }
        return w;
    };
    auto* deux_colonnes = exiger<QRadioButton>(this, "RadioButton2_datetime_nb_col");
    options_ = {
        {deux_colonnes, false,
         champs(
             {"Edit_num_col_datetime", "Edit_format_datetime_mesure", "SpeedButton_date_heure"})},
        {deux_colonnes, true,
         champs({"Edit_num_col_date", "Edit_format_date_mesure_seule", "SpeedButton_date",
                 "Edit_num_col_time", "Edit_format_time_mesure_seul", "SpeedButton_heure"})},
        {exiger<QRadioButton>(this, "RadioButton2_avec_sans_intitule"), false,
         champs({"Edit_num_ligne_intitule_col"})},
        {exiger<QRadioButton>(this, "RadioButton2_numlig_balise"), true,
         champs({"Edit_balise_deb", "Edit_balise_fin"})},
    };
    afficher_options();

    sauvegardes_ = {exiger<QWidget>(this, "SpeedButton_Enregistrer_dsc"),
                    exiger<QWidget>(this, "SpeedButton_enreg_description")};
    const std::array<std::array<const char*, 3>, 3> places{
        {{"Label_repertoire", "SpeedButton_choix_rep_donnee", "Label61"},
         {"Label_rep_description", "SpeedButton_choix_rep_desc", "Label61"},
         {"Label_rep_sortie", "SpeedButton_choix_rep_sortie", "Label65"}}};
    for (std::size_t i = 0; i < places.size(); ++i)
        repertoires_[i] = {exiger<QLabel>(this, places[i][0]), exiger<QWidget>(this, places[i][1]),
                           exiger<QWidget>(this, places[i][2])};
    textes_ = TextesZone(this, ZoneTexte::description);
}

void PanneauDescription::afficher_options() {
    for (const ChampsSelonChoix& o : options_) {
        const bool visible = o.choix->isChecked() == o.si_coche;
        for (QWidget* w : o.champs) w->setVisible(visible);
    }
}

void PanneauDescription::rafraichir(const Session& session) {
    textes_.rafraichir(session);
    const std::array<bool, 2> rouges = {
        session.couleurs_enregistrement.SpeedButton_Enregistrer_dsc_rouge,
        session.couleurs_enregistrement.SpeedButton_enreg_description_rouge};
    for (std::size_t i = 0; i < rouges.size(); ++i) {
        if (rouges[i])
            colorer_legende(sauvegardes_[i], couleur_rouge);
        else
            legende_normale(sauvegardes_[i]);
    }
    for (const Repertoire& r : repertoires_) {
        r.label->setToolTip(r.label->text());
        r.bouton->setToolTip(r.label->text());
        ajuster_repertoire(this, r.label, r.repere);
    }
    afficher_options();
}

}  // namespace tarvo

// The two panels of zone 1: every description key of the zone has its control, a
// description goes through the controls and back unchanged, and the display follows options.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/liaison_description.h"
#include "ui/panneaux.h"

using namespace tarvo;

namespace {

// The keys shown by the other zones of the window.
const std::set<std::string> cles_autres_zones{
    "Label_min_dsc.caption",
    "Label_max_dsc.caption",
    "Label_pas_dsc.caption",
    "Edit_nom_fic_sortie.text",
    "Edit_nb_decimale.text",
    "Edit_NA.text",
    "CheckBox_inc_nom.Checked",
    "RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex",
    "RadioGroup_separateur_sortie_ItemIndex",
    "Edit_name_prog_blocnote.text",
    "CheckBox_prelire_tous.Checked",
    "RadioGroup_coul_nb.ItemIndex",
    "CheckBox_aide_flottante.Checked",
};

// The last button of each group, so that every index differs from its default 0.
const std::map<std::string, int> dernier_indice{
    {"RadioGroup_avec_sans_intitule_ItemIndex", 1},
    {"RadioGroup_datetime_nb_col_ItemIndex", 1},
    {"RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex", 1},
    {"RadioGroup_methode_ItemIndex", 5},
    {"RadioGroup_numlig_balise_ItemIndex", 1},
    {"RadioGroup_separateur_colonne_ItemIndex", 3},
};

bool zone_1(const CleDescription& cle) {
    return !nom_controle(cle).empty() && !cles_autres_zones.contains(std::string(cle.cle));
}

QColor legende(const QWidget* w) {
    return w->palette().color(QPalette::ButtonText);
}

}  // namespace

class PanneauxDescriptionTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fenetre = std::make_unique<QWidget>();
        auto* l = new QVBoxLayout(fenetre.get());
        description = new PanneauDescription;
        valeurs = new PanneauValeurs;
        l->addWidget(description);
        l->addWidget(valeurs);
        fenetre->resize(1280, 500);
        fenetre->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenetre.get()));
        QVERIFY(programme.isValid());
        session = std::make_unique<Session>(dialogue, progression, lanceur, presse_papier,
                                            programme.path().toStdString() + "/");
    }
    void cleanup() {
        session.reset();
        fenetre.reset();
    }

    void seules_les_cles_des_autres_zones_manquent() {
        const auto manquantes = cles_sans_controle(fenetre.get());
        QCOMPARE(std::set<std::string>(manquantes.begin(), manquantes.end()), cles_autres_zones);
        // A control made twice would leave the binding to fill only one of them.
        for (const CleDescription& cle : cles_description()) {
            if (!zone_1(cle) || cle.forme == Forme::indice_radio) continue;
            const QString nom = QString::fromStdString(nom_controle(cle));
            QCOMPARE(fenetre->findChildren<QWidget*>(nom).size(), 1);
        }
    }

    void une_description_passe_par_les_controles_et_revient() {
        Description d = description_par_defaut({programme.path().toStdString() + "/", 0});
        int k = 0;
        for (const CleDescription& cle : cles_description()) {
            if (!zone_1(cle)) continue;
            ++k;
            std::visit(
                [&](auto champ) {
                    if constexpr (std::is_same_v<decltype(champ), ChampIndice>) {
                        champ.ecrire(d, dernier_indice.at(std::string(cle.cle)));
                    } else {
                        using T = std::remove_reference_t<decltype(d.*champ)>;
                        if constexpr (std::is_same_v<T, bool>)
                            d.*champ = !(d.*champ);
                        else if constexpr (std::is_same_v<T, std::string>)
                            d.*champ = fr("é") + std::to_string(k) + "/";
                        else
                            d.*champ = cle.forme == Forme::heure ? (3600.0 * (k % 20) + 61) / 86400
                                                                 : 45000.25 + k;
                    }
                },
                cle.champ);
        }
        // The two signs of the offset are one choice.
        d.RadioButton_decalage_negatif = true;
        d.RadioButton_decalage_positif = false;

        LiaisonDescription(fenetre.get()).charger(d);
        Description lu = description_par_defaut({programme.path().toStdString() + "/", 0});
        LiaisonDescription(fenetre.get()).enregistrer(lu);

        for (const CleDescription& cle : cles_description()) {
            if (!zone_1(cle)) continue;
            const QString nom = QString::fromStdString(nom_controle(cle));
            if (cle.forme == Forme::dossier || cle.cle.starts_with("Label_")) {
                // Shown, never typed: the label holds the record's text.
                const auto& texte = d.*std::get<std::string Description::*>(cle.champ);
                QCOMPARE(fenetre->findChild<QLabel*>(nom)->text(), qt(texte));
                continue;
            }
            std::visit(
                [&](auto champ) {
                    if constexpr (std::is_same_v<decltype(champ), ChampIndice>)
                        QVERIFY2(champ.lire(lu) == champ.lire(d), cle.cle.data());
                    else if constexpr (std::is_same_v<std::remove_reference_t<decltype(d.*champ)>,
                                                      double>)
                        QVERIFY2(std::abs(lu.*champ - d.*champ) < 1e-7, cle.cle.data());
                    else
                        QVERIFY2(lu.*champ == d.*champ, cle.cle.data());
                },
                cle.champ);
        }
    }

    void une_saisie_de_l_utilisateur_est_signalee() {
        int changements = 0;
        LiaisonDescription(fenetre.get()).surveiller([&] { ++changements; });
        LiaisonDescription(fenetre.get()).charger(session->description);
        QCOMPARE(changements, 0);

        auto* masque = fenetre->findChild<QLineEdit*>(QStringLiteral("Edit_masque"));
        QTest::keyClicks(masque, QStringLiteral("txt"));
        QCOMPARE(changements, 3);

        changements = 0;
        auto* methode = fenetre->findChild<QRadioButton*>(QStringLiteral("RadioButton3_methode"));
        // On its indicator: the button is wider than its caption in the grid.
        QTest::mouseClick(methode, Qt::LeftButton, {}, QPoint(8, methode->height() / 2));
        QVERIFY(methode->isChecked());
        QCOMPARE(changements, 1);
        Description lu = session->description;
        LiaisonDescription(fenetre.get()).enregistrer(lu);
        QCOMPARE(lu.RadioGroup_methode_ItemIndex, Methode::max);
        QCOMPARE(lu.Edit_masque, session->description.Edit_masque + "txt");
    }

    void les_champs_de_date_suivent_le_nombre_de_colonnes() {
        const auto visible = [&](const char* nom) {
            return fenetre->findChild<QWidget*>(QLatin1String(nom))->isVisibleTo(fenetre.get());
        };
        LiaisonDescription(fenetre.get()).charger(session->description);
        description->rafraichir(*session);
        QVERIFY(visible("Edit_num_col_datetime") && visible("Edit_format_datetime_mesure") &&
                visible("Label44"));
        QVERIFY(!visible("Edit_num_col_date") && !visible("Edit_format_time_mesure_seul"));

        auto* deux =
            fenetre->findChild<QRadioButton*>(QStringLiteral("RadioButton2_datetime_nb_col"));
        QTest::mouseClick(deux, Qt::LeftButton, {}, QPoint(8, deux->height() / 2));
        for (const char* nom : {"Edit_num_col_date", "Edit_format_date_mesure_seule",
                                "Edit_num_col_time", "Edit_format_time_mesure_seul"})
            QVERIFY2(visible(nom), nom);
        QVERIFY(!visible("Edit_num_col_datetime") && !visible("Label44") && !visible("Label34"));

        // Loading a description checks its button without a signal: the refresh shows it.
        LiaisonDescription(fenetre.get()).charger(session->description);
        description->rafraichir(*session);
        QVERIFY(visible("Edit_num_col_datetime") && !visible("Edit_num_col_time"));
    }

    void le_bouton_a_enregistrer_est_rouge() {
        auto* enregistrer =
            fenetre->findChild<QWidget*>(QStringLiteral("SpeedButton_Enregistrer_dsc"));
        auto* enregistrer_sous =
            fenetre->findChild<QWidget*>(QStringLiteral("SpeedButton_enreg_description"));
        session->couleurs_enregistrement = {true, false};
        session->Label_description_bd = fr("mesures_(csv ;).dsc");
        description->rafraichir(*session);
        QCOMPARE(legende(enregistrer), couleur_rouge);
        QVERIFY(legende(enregistrer_sous) != couleur_rouge);
        QCOMPARE(fenetre->findChild<QLabel*>(QStringLiteral("Label_description_bd"))->text(),
                 QStringLiteral("mesures_(csv ;).dsc"));

        session->couleurs_enregistrement = {false, true};
        description->rafraichir(*session);
        QVERIFY(legende(enregistrer) != couleur_rouge);
        QCOMPARE(legende(enregistrer_sous), couleur_rouge);
    }

    void un_repertoire_trop_long_est_ecrit_petit() {
        Description d = session->description;
        d.dossier_choisi = "/mesures/" + std::string(300, 'x') + "/";
        d.dossier_description = "/descriptions/";
        LiaisonDescription(fenetre.get()).charger(d);
        description->rafraichir(*session);
        auto* donnees = fenetre->findChild<QLabel*>(QStringLiteral("Label_repertoire"));
        QCOMPARE(donnees->font().pointSize(), 4);
        QCOMPARE(fenetre->findChild<QLabel*>(QStringLiteral("Label_rep_description"))
                     ->font()
                     .pointSize(),
                 10);
        // The hint of the label and of its button gives the whole path.
        QCOMPARE(donnees->toolTip(), qt(d.dossier_choisi));
        QCOMPARE(
            fenetre->findChild<QWidget*>(QStringLiteral("SpeedButton_choix_rep_donnee"))->toolTip(),
            qt(d.dossier_choisi));
    }

    void les_intitules_de_la_derniere_lecture_sont_montres() {
        session->inventaire.colonnes.Edit_intitule_origine = fr("Date\tTempérature\tHumidité");
        session->inventaire.affichage.Label_col_alternatives = fr("=> Température");
        valeurs->rafraichir(*session);
        QCOMPARE(fenetre->findChild<QLineEdit*>(QStringLiteral("Edit_intitule_origine"))->text(),
                 QString::fromUtf8("Date\tTempérature\tHumidité"));
        QVERIFY(
            fenetre->findChild<QLineEdit*>(QStringLiteral("Edit_intitule_origine"))->isReadOnly());
        QCOMPARE(fenetre->findChild<QLabel*>(QStringLiteral("Label_col_alternatives"))->text(),
                 QString::fromUtf8("=> Température"));
    }

    void un_seuil_en_vigueur_prend_la_couleur_de_saisie() {
        session->description.Edit_min_na = "-40";
        valeurs->rafraichir(*session);
        const auto fond_de = [&](const char* nom) {
            return fenetre->findChild<QWidget*>(QLatin1String(nom))
                ->palette()
                .color(QPalette::Base);
        };
        QCOMPARE(fond_de("Edit_min_na"), couleur_qt(session->parametres_prm.couleurs[3]));
        QCOMPARE(fond_de("Edit_max_na"), couleur_qt(session->parametres_prm.couleurs[0]));
    }

private:
    QTemporaryDir programme;
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    PressePapierMemoire presse_papier;
    std::unique_ptr<Session> session;
    std::unique_ptr<QWidget> fenetre;
    PanneauDescription* description = nullptr;
    PanneauValeurs* valeurs = nullptr;
};

QTEST_MAIN(PanneauxDescriptionTest)
#include "panneaux_description_test.moc"

// Zone 4, zone 5 and the tracking window over a session built with the platform doubles.
#include <QAbstractItemModelTester>
#include <QDateEdit>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimeEdit>
#include <QToolButton>
#include <memory>

#include "engine/grille.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/liaison_description.h"
#include "ui/modele_lignes.h"
#include "ui/panneaux.h"

using namespace tarvo;

class PanneauxPeriodeTest : public QObject {
    Q_OBJECT

    QTemporaryDir programme_;
    DialogueScripte dialogue_;
    ProgressionScriptee progression_;
    LanceurEnregistreur lanceur_;
    PressePapierMemoire presse_papier_;

    std::unique_ptr<Session> session() {
        return std::make_unique<Session>(dialogue_, progression_, lanceur_, presse_papier_,
                                         programme_.path().toStdString() + "/");
    }
    template <class T>
    static T* controle(const QWidget& panneau, const char* nom) {
        auto* c = panneau.findChild<T*>(QLatin1String(nom));
        if (!c) qFatal("control %s missing", nom);
        return c;
    }

private slots:
    void parametres_aller_retour() {
        PanneauPeriode panneau;
        const ParametresGrille p{
            "07/11/2021 06:30:00", "08/11/2021 10:00:00", 0.25, 3, unite_mois, 1};
        QSignalSpy modifiee(&panneau, &PanneauPeriode::grille_modifiee);
        panneau.charger(p, 4);
        QCOMPARE(modifiee.count(), 0);
        QCOMPARE(controle<QLabel>(panneau, "Label_jour_semaine_deb")->text(),
                 QStringLiteral("dimanche"));
        QCOMPARE(controle<QTimeEdit>(panneau, "TimePicker_deb")->time(), QTime(6, 30));
        QCOMPARE(controle<QDateEdit>(panneau, "DatePicker_fin")->date(), QDate(2021, 11, 8));

        ParametresGrille lu;
        int decalage = -1;
        panneau.enregistrer(lu, decalage);
        QCOMPARE(QString::fromStdString(lu.Label_temps_deb), QStringLiteral("07/11/2021 06:30:00"));
        QCOMPARE(QString::fromStdString(lu.Label_temps_fin), QStringLiteral("08/11/2021 10:00:00"));
        QCOMPARE(lu.TimePicker_pas, 0.25);
        QCOMPARE(lu.SpinEdit_pas_jour_mois_annee, 3);
        QCOMPARE(lu.unite_pas, unite_mois);
        QCOMPARE(lu.test_strict, 1);
        QCOMPARE(decalage, 4);
    }

    void changer_la_date_de_debut() {
        PanneauPeriode panneau;
        panneau.charger({"06/11/2021 14:15:16", "08/11/2021 10:00:00", 1.0 / 24, 1, unite_hms, 0},
                        0);
        QSignalSpy modifiee(&panneau, &PanneauPeriode::grille_modifiee);
        controle<QDateEdit>(panneau, "DatePicker_deb")->setDate(QDate(2021, 11, 7));
        QCOMPARE(modifiee.count(), 1);
        // The time of day is kept.
        QCOMPARE(controle<QLabel>(panneau, "Label_temps_deb")->text(),
                 QStringLiteral("07/11/2021 14:15:16"));
        QCOMPARE(controle<QLabel>(panneau, "Label_jour_semaine_deb")->text(),
                 QStringLiteral("dimanche"));

        // Midnight still has 19 characters.
        controle<QTimeEdit>(panneau, "TimePicker_deb")->setTime(QTime(0, 0));
        QCOMPARE(controle<QLabel>(panneau, "Label_temps_deb")->text(),
                 QStringLiteral("07/11/2021 00:00:00"));
        QCOMPARE(modifiee.count(), 2);
    }

    void boutons_zero_demandent_puis_remettent() {
        PanneauPeriode panneau;
        panneau.charger({"07/11/2021 06:00:00", "08/11/2021 10:00:00", 1.0 / 24, 1, unite_hms, 0},
                        0);
        QSignalSpy demandes(&panneau, &PanneauPeriode::remise_a_zero_demandee);
        QSignalSpy modifiee(&panneau, &PanneauPeriode::grille_modifiee);
        const char* const boutons[] = {"SpeedButton_deb", "SpeedButton_fin", "SpeedButton_pas"};
        for (int quoi = 0; quoi < 3; ++quoi) {
            controle<QToolButton>(panneau, boutons[quoi])->click();
            QCOMPARE(demandes.count(), quoi + 1);
            QCOMPARE(demandes.at(quoi).at(0).toInt(), quoi);
        }
        QCOMPARE(modifiee.count(), 0);  // nothing changes before the answer
        panneau.mettre_a_zero(1);
        QCOMPARE(controle<QLabel>(panneau, "Label_temps_fin")->text(),
                 QStringLiteral("08/11/2021 00:00:00"));
        panneau.mettre_a_zero(2);
        QCOMPARE(controle<QTimeEdit>(panneau, "TimePicker_pas")->time(), QTime(0, 0));
        QCOMPARE(modifiee.count(), 2);
    }

    void unite_du_pas() {
        PanneauPeriode panneau;
        panneau.charger({"07/11/2021 00:00:00", "08/11/2021 00:00:00", 1.0 / 24, 2, unite_hms, 0},
                        0);
        auto* pas = controle<QTimeEdit>(panneau, "TimePicker_pas");
        auto* nombre = controle<QSpinBox>(panneau, "SpinEdit_pas_jour_mois_annee");
        auto* legende = controle<QLabel>(panneau, "Label56");
        QVERIFY(!pas->isHidden());
        QVERIFY(nombre->isHidden());
        QCOMPARE(legende->text(), QString());
        const struct {
            const char* radio;
            QString legende;
        } cas[] = {{"RadioButton2_jour_mois_annee", QStringLiteral("jour")},
                   {"RadioButton3_jour_mois_annee", QStringLiteral("mois")},
                   {"RadioButton4_jour_mois_annee", QStringLiteral("année")},
                   {"RadioButton1_jour_mois_annee", QString()}};
        QSignalSpy modifiee(&panneau, &PanneauPeriode::grille_modifiee);
        for (const auto& c : cas) {
            controle<QRadioButton>(panneau, c.radio)->click();
            QCOMPARE(legende->text(), c.legende);
            QCOMPARE(pas->isHidden(), !c.legende.isEmpty());
            QCOMPARE(nombre->isHidden(), c.legende.isEmpty());
        }
        QCOMPARE(modifiee.count(), 4);
        QCOMPARE(nombre->minimum(), 1);
        QCOMPARE(nombre->maximum(), 400);
    }

    void resume_rouge_ou_bleu() {
        auto s = session();
        PanneauPeriode panneau;
        auto* resume = controle<QLabel>(panneau, "Label25");
        s->resume_grille_affiche.texte = "-3";
        s->resume_grille_affiche.couleur = CouleurResume::rouge;
        panneau.rafraichir(*s);
        QCOMPARE(resume->text(), QStringLiteral("-3"));
        QCOMPARE(resume->palette().color(QPalette::WindowText), couleur_rouge);
        s->resume_grille_affiche.texte = "34 => 1 jour";
        s->resume_grille_affiche.couleur = CouleurResume::bleu;
        panneau.rafraichir(*s);
        QCOMPARE(resume->palette().color(QPalette::WindowText), couleur_bleue);
        // "---" leaves the colour as it was.
        s->resume_grille_affiche.texte = "---";
        s->resume_grille_affiche.couleur = CouleurResume::inchangee;
        panneau.rafraichir(*s);
        QCOMPARE(resume->palette().color(QPalette::WindowText), couleur_bleue);
    }

    void grande_grille() {
        auto s = session();
        s->grille.items.reserve(100001);
        s->grille.items.emplace_back(
            "_intitul\xE9"
            "s des colonnes");
        for (int i = 0; i < 100000; ++i) s->grille.items.emplace_back("08/11/2021 10:00:00");
        s->grille.items.back() = "31/12/2032 23:00:00";
        s->grille.Label_nr_final = "99999";
        PanneauPeriode panneau;
        panneau.resize(400, 600);
        panneau.show();
        panneau.rafraichir(*s);
        QVERIFY(QTest::qWaitForWindowExposed(&panneau));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        // Shown at once: only the rows on screen are converted, not the 100,000.
        const auto* modele = qobject_cast<const ModeleLignes*>(
            controle<QListView>(panneau, "ListBox_date_clean")->model());
        QVERIFY(modele);
        QVERIFY(modele->nb_lignes_converties() > 0);
        QVERIFY2(modele->nb_lignes_converties() < 1000,
                 qPrintable(QString::number(modele->nb_lignes_converties())));
        QCOMPARE(modele->rowCount(), 100001);
        QCOMPARE(modele->index(0, 0).data().toString(), QStringLiteral("_intitulés des colonnes"));
        QCOMPARE(modele->index(100000, 0).data().toString(), QStringLiteral("31/12/2032 23:00:00"));
        QCOMPARE(controle<QLabel>(panneau, "Label_nr_final")->text(), QStringLiteral("99999"));
    }

    void execution_selon_le_traitement() {
        auto s = session();
        PanneauExecution panneau;
        QAbstractItemModelTester verifie(
            controle<QListView>(panneau, "ListBox_DONNEE_date_clean")->model(),
            QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* stop = controle<QToolButton>(panneau, "SpeedButton_stop");
        panneau.rafraichir(*s);
        const QColor gris = stop->palette().color(QPalette::ButtonText);
        s->traitement_en_cours = true;
        s->arret_pc.compte_a_rebours_visible = true;
        s->arret_pc.compte_a_rebours = "    4.50 mn";
        s->listes.ListBox_DONNEE_date_clean = {"temps\tT", "07/11/2021 01:00:00\t12,35"};
        s->dernier_enregistrement.nom_resultat = "A10.txt";
        s->dernier_enregistrement.texte_resultat = "temps\tT\n07/11/2021 01:00:00\t12,35";
        panneau.rafraichir(*s);
        QVERIFY(stop->palette().color(QPalette::ButtonText) != gris);
        QVERIFY(!controle<QLabel>(panneau, "Label_patienter")->isHidden());
        QVERIFY(!panneau.compte_a_rebours()->isHidden());
        QCOMPARE(controle<QLabel>(panneau, "Label49")->text(), QStringLiteral("    4.50 mn"));
        QCOMPARE(controle<QLabel>(panneau, "Label21")->text(), QStringLiteral("A10.txt"));
        QVERIFY(!controle<QPlainTextEdit>(panneau, "RichEdit3")->isHidden());
        QCOMPARE(controle<QListView>(panneau, "ListBox_DONNEE_date_clean")->model()->rowCount(), 2);
        s->traitement_en_cours = false;
        panneau.rafraichir(*s);
        QCOMPARE(stop->palette().color(QPalette::ButtonText), gris);
        QVERIFY(controle<QLabel>(panneau, "Label_patienter")->isHidden());
    }

    void suivi_ajoute_ce_qui_manque() {
        auto s = session();
        s->journal.vider();
        FenetreSuivi fenetre;
        auto* memo = controle<QPlainTextEdit>(fenetre, "Memo5");
        for (const char* l : {"un", "deux", "trois"}) s->journal.ajouter_suivi(l);
        fenetre.rafraichir(*s);
        QCOMPARE(memo->blockCount(), 3);
        s->journal.ajouter_suivi("quatre");
        s->journal.ajouter_suivi("cinq");
        fenetre.rafraichir(*s);
        QCOMPARE(memo->toPlainText(), QStringLiteral("un\ndeux\ntrois\nquatre\ncinq"));
        fenetre.rafraichir(*s);  // nothing new: nothing added
        QCOMPARE(memo->blockCount(), 5);
        // Emptied then refilled with fewer lines: the window starts over.
        s->journal.vider();
        s->journal.ajouter_suivi(
            "d\xE9"
            "but");
        fenetre.rafraichir(*s);
        QCOMPARE(memo->toPlainText(), QStringLiteral("début"));
    }

    void suivi_de_cent_mille_lignes() {
        auto s = session();
        s->journal.vider();
        for (int i = 0; i < 100000; ++i) s->journal.ajouter_suivi("ligne " + std::to_string(i));
        FenetreSuivi fenetre;
        fenetre.resize(400, 300);
        fenetre.show();
        auto* memo = controle<QPlainTextEdit>(fenetre, "Memo5");
        // In one pass: one edit of the document for all the lines, not one per line.
        QSignalSpy modifications(memo->document(), &QTextDocument::contentsChange);
        fenetre.rafraichir(*s);
        QCoreApplication::processEvents();
        QVERIFY2(modifications.count() <= 2, qPrintable(QString::number(modifications.count())));
        QCOMPARE(memo->blockCount(), 100000);
        QCOMPARE(memo->document()->lastBlock().text(), QStringLiteral("ligne 99999"));
    }

    void taille_du_suivi() {
        FenetreSuivi fenetre;
        QSignalSpy taille(&fenetre, &FenetreSuivi::taille_changee);
        controle<QRadioButton>(fenetre, "RadioButton_fen_suivi_grande")->click();
        controle<QRadioButton>(fenetre, "RadioButton_fen_suivi_petite")->click();
        QCOMPARE(taille.count(), 2);
        QCOMPARE(taille.at(0).at(0).toBool(), true);
        QCOMPARE(taille.at(1).at(0).toBool(), false);
    }

    void suivi_deplace_a_la_souris() {
        QWidget fenetre;
        fenetre.resize(800, 600);
        auto* suivi = new FenetreSuivi(&fenetre);
        suivi->setGeometry(100, 100, 300, 150);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        QTest::mousePress(suivi, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(suivi, QPoint(60, 30));
        QTest::mouseRelease(suivi, Qt::LeftButton, {}, QPoint(60, 30));
        QCOMPARE(suivi->pos(), QPoint(150, 120));
    }

    void dates_de_la_description_ont_leur_controle() {
        QWidget fenetre;
        auto* periode = new PanneauPeriode(&fenetre);
        const auto manquantes = [&] {
            QStringList noms;
            for (const std::string& c : cles_sans_controle(&fenetre))
                noms << QString::fromStdString(c);
            return noms;
        }();
        for (const char* cle :
             {"Label_min_dsc.caption", "Label_max_dsc.caption", "Label_pas_dsc.caption"})
            QVERIFY2(!manquantes.contains(QLatin1String(cle)), cle);

        auto s = session();
        s->description.Label_min_dsc = "07/11/2021 00:00:00";
        s->description.Label_pas_dsc = "00:15:00";
        periode->rafraichir(*s);
        QCOMPARE(controle<QLabel>(fenetre, "Label_min_dsc")->text(),
                 QStringLiteral("07/11/2021 00:00:00"));
        QCOMPARE(controle<QLabel>(fenetre, "Label_pas_dsc")->text(), QStringLiteral("00:15:00"));
    }
};

QTEST_MAIN(PanneauxPeriodeTest)
#include "panneaux_periode_test.moc"

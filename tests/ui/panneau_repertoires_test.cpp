// The directory chooser over a stand-in main window holding the three directory buttons,
// their labels and the drive-change button, on real temporary directories.
#include "ui/panneau_repertoires.h"

#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <fstream>
#include <memory>

#include "formats/cp1252.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "plateforme/id_message.h"
#include "session/session.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"

using namespace tarvo;

class PanneauRepertoiresTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> racine_;
    std::unique_ptr<DialogueScripte> dialogue_;
    ProgressionScriptee progression_;
    LanceurEnregistreur lanceur_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<QWidget> fenetre_;
    PanneauRepertoires* panneau_ = nullptr;

    QString dossier(const QString& nom) const {
        QDir(racine_->path()).mkpath(nom);
        return racine_->path() + QLatin1Char('/') + nom;
    }
    void creer(const QString& chemin) const { std::ofstream(chemin.toStdString()) << "1\r\n"; }
    template <class T = QWidget>
    T* controle(const char* nom) const {
        auto* c = fenetre_->findChild<T*>(QLatin1String(nom));
        if (!c) qFatal("control %s missing", nom);
        return c;
    }
    QColor legende(const char* nom) const {
        return controle(nom)->property("legende").value<QColor>();
    }

private slots:
    void init() {
        racine_ = std::make_unique<QTemporaryDir>();
        dialogue_ = std::make_unique<DialogueScripte>();
        const std::string programme = cp(dossier("programme")) + "/";
        creer(dossier("donnees") + "/a.txt");
        session_ = std::make_unique<Session>(*dialogue_, progression_, lanceur_, programme);
        session_->description.dossier_choisi = cp(dossier("donnees")) + "/";
        session_->description.dossier_choisi_sortie = cp(dossier("donnees/EXPORT")) + "/";
        session_->description.dossier_description = cp(dossier("descriptions")) + "/";
        session_->Label_rep_description = session_->description.dossier_description;
        session_->description.Edit_masque = "*.txt";

        fenetre_ = std::make_unique<QWidget>();
        fenetre_->resize(1400, 1000);
        const char* boutons[][3] = {
            {"SpeedButton_choix_rep_donnee", "Label_repertoire", "Données"},
            {"SpeedButton_choix_rep_desc", "Label_rep_description", "Description"},
            {"SpeedButton_choix_rep_sortie", "Label_rep_sortie", "EXPORT"}};
        for (int i = 0; i < 3; ++i) {
            auto* b = new QPushButton(QString::fromUtf8(boutons[i][2]), fenetre_.get());
            b->setObjectName(QLatin1String(boutons[i][0]));
            b->move(10, 10 + 30 * i);
            auto* l = new QLabel(fenetre_.get());
            l->setObjectName(QLatin1String(boutons[i][1]));
            l->move(120, 10 + 30 * i);
        }
        auto* hd = new QPushButton(QString::fromUtf8("Résumé des DSC"), fenetre_.get());
        hd->setObjectName(QStringLiteral("SpeedButton_change_hd"));
        hd->move(10, 100);
        panneau_ =
            new PanneauRepertoires(*session_, *dialogue_, lanceur_, programme, fenetre_.get());
        const ChoixRepertoireDemande demandes[] = {ChoixRepertoireDemande::donnees,
                                                   ChoixRepertoireDemande::description,
                                                   ChoixRepertoireDemande::sortie};
        for (int i = 0; i < 3; ++i)
            connect(controle<QPushButton>(boutons[i][0]), &QPushButton::clicked, panneau_,
                    [this, d = demandes[i]] { panneau_->ouvrir(d); });
        connect(hd, &QPushButton::clicked, panneau_,
                [this] { panneau_->ouvrir_changement_lecteur(); });
        fenetre_->show();
    }
    void cleanup() {
        fenetre_.reset();
        session_.reset();
        dialogue_.reset();
        racine_.reset();
    }

    void validerUnAutreRepertoireDeDonnees() {
        const QString autre = dossier("autre");
        creer(autre + "/b.txt");
        controle<QPushButton>("SpeedButton_choix_rep_donnee")->click();
        QVERIFY(panneau_->isVisible());
        QCOMPARE(legende("SpeedButton_choix_rep_donnee"), couleur_rouge);

        auto* arbre = controle<QTreeView>("DirectoryListBox1");
        auto* modele = qobject_cast<QFileSystemModel*>(arbre->model());
        QVERIFY(modele);
        arbre->setCurrentIndex(modele->index(autre));
        QCOMPARE(controle<QLabel>("Label_dir_new")->text(), autre + QLatin1Char('/'));
        QCOMPARE(controle<QLabel>("Label45")->text(), QStringLiteral("1"));
        QCOMPARE(legende("SpeedButton_valider_repertoire"), couleur_rouge);

        QSignalSpy lister(panneau_, &PanneauRepertoires::lister_demande);
        QSignalSpy changes(panneau_, &PanneauRepertoires::repertoires_changes);
        controle<QPushButton>("SpeedButton_valider_repertoire")->click();
        QCOMPARE(session_->description.dossier_choisi, cp(autre) + "/");
        QCOMPARE(lister.count(), 1);
        QCOMPARE(changes.count(), 1);
        QVERIFY(!panneau_->isVisible());
        QCOMPARE(legende("SpeedButton_choix_rep_donnee"), couleur_marron);
        QVERIFY(!controle("SpeedButton_valider_repertoire")->property("legende").isValid());
    }

    // A path typed in the chooser moves the list there; Valider takes it, even when Enter
    // was not pressed. A path that names no directory is said so and changes nothing.
    void unCheminTapeEstSuivi() {
        const QString autre = dossier("autre/sous");
        controle<QPushButton>("SpeedButton_choix_rep_sortie")->click();
        auto* saisie = controle<QLineEdit>("Edit_dir_new");
        // The chooser opens on the directory being chosen.
        QCOMPARE(saisie->text(), dossier("donnees/EXPORT"));
        saisie->setText(autre + QStringLiteral("/inexistant"));
        QTest::keyClick(saisie, Qt::Key_Return);
        QCOMPARE(dialogue_->ids, std::vector<IdMessage>{IdMessage::repertoire_saisi_absent});
        QCOMPARE(controle<QLabel>("Label_dir_new")->text(), dossier("donnees/EXPORT") + "/");
        saisie->setText(autre);
        QTest::keyClick(saisie, Qt::Key_Return);
        QCOMPARE(controle<QLabel>("Label_dir_new")->text(), autre + "/");
        saisie->setText(dossier("autre"));
        controle<QPushButton>("SpeedButton_valider_repertoire")->click();
        QCOMPARE(session_->description.dossier_choisi_sortie, cp(dossier("autre")) + "/");
    }

    // The list shows the directory being chosen, also once the tree has filled around it.
    void leRepertoireCourantEstEnVue() {
        for (int i = 0; i < 40; ++i)
            dossier(QStringLiteral("donnees/a%1").arg(i, 2, 10, QChar('0')));
        const QString cible = dossier("donnees/z_dernier");
        session_->description.dossier_choisi = cp(cible) + "/";
        controle<QPushButton>("SpeedButton_choix_rep_donnee")->click();
        auto* arbre = controle<QTreeView>("DirectoryListBox1");
        auto* modele = qobject_cast<QFileSystemModel*>(arbre->model());
        QCOMPARE(modele->filePath(arbre->currentIndex()), cible);
        QTRY_VERIFY(modele->rowCount(modele->index(dossier("donnees"))) >= 41);
        QTRY_VERIFY(arbre->viewport()->rect().intersects(arbre->visualRect(arbre->currentIndex())));
    }

    void annulerRendLesCouleursDesBoutons() {
        controle<QPushButton>("SpeedButton_choix_rep_desc")->click();
        QCOMPARE(legende("SpeedButton_choix_rep_desc"), couleur_rouge);
        QCOMPARE(controle<QLabel>("Label_dir_new")->text(),
                 qt(session_->description.dossier_description));
        controle<QPushButton>("SpeedButton_annuler_repertoire")->click();
        QVERIFY(!panneau_->isVisible());
        QVERIFY(!controle("SpeedButton_choix_rep_desc")->property("legende").isValid());
        QCOMPARE(legende("SpeedButton_choix_rep_donnee"), couleur_marron);
        QCOMPARE(session_->description.dossier_description, cp(racine_->path()) + "/descriptions/");
    }

    void changementDeLecteurMontreLeRapport() {
        const QString dsc = dossier("descriptions") + "/essai.DSC";
        std::ofstream(dsc.toStdString())
            << "dossier_choisi= " << session_->description.dossier_choisi << "\r\n";
        controle<QPushButton>("SpeedButton_change_hd")->click();
        QVERIFY(controle("Panel_lecteur")->isVisible());
        QVERIFY(controle<QPlainTextEdit>("Memo8")->toPlainText().contains(dsc));
        auto* edit = controle<QLineEdit>("Edit_lecteur");
        QCOMPARE(edit->text(), racine_->path().section(QLatin1Char('/'), 1, 1));
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("media/"));
        QCOMPARE(edit->text(), QStringLiteral("media"));
        QCOMPARE(panneau_->choix().Edit_lecteur, "media");
        controle<QPushButton>("SpeedButton_fermer_lecteur")->click();
        QVERIFY(!controle("Panel_lecteur")->isVisible());
    }
};

QTEST_MAIN(PanneauRepertoiresTest)
#include "panneau_repertoires_test.moc"

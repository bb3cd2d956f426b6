// Escape on the main window asks to quit once per press; the release of a key pressed to
// close a box, which the window receives once the box is gone, asks nothing.
#include <QtTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "tests/ui/exemple_fenetre.h"

using namespace tarvo;

class ToucheEchapTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    void echap_data() {
        QTest::addColumn<QString>("gestes");  // a: press, r: release of Escape on the window
        QTest::addColumn<bool>("cadres");     // the zone frames shown first
        QTest::addColumn<int>("questions");   // "Quitter  ?" asked, each answered Non
        QTest::newRow("appui") << "a" << false << 1;
        QTest::newRow("relâchement après une boîte fermée") << "r" << false << 0;
        QTest::newRow("appui et relâchement") << "ar" << false << 1;
        QTest::newRow("deux appuis") << "arar" << false << 2;
        QTest::newRow("cadres affichés") << "ar" << true << 0;
    }
    void echap() {
        QFETCH(QString, gestes);
        QFETCH(bool, cadres);
        QFETCH(int, questions);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        if (cadres) ExempleFenetre::cliquer(f.get(), "SpeedButton_help2");
        for (int i = 0; i < questions; ++i) ex->dialogue.attendre_question(Reponse::non);
        for (const QChar geste : gestes) {
            if (geste == QLatin1Char('a'))
                QTest::keyPress(f.get(), Qt::Key_Escape);
            else
                QTest::keyRelease(f.get(), Qt::Key_Escape);
        }
        const auto& vus = ex->dialogue.vus;
        QCOMPARE(std::count_if(vus.begin(), vus.end(),
                               [](const auto& v) { return v.texte == "Quitter  ?\n"; }),
                 questions);
        const auto& ids = ex->dialogue.ids;
        QCOMPARE(std::count(ids.begin(), ids.end(), IdMessage::quitter), questions);
        QVERIFY(f->isVisible());
        if (cadres) QVERIFY(!ExempleFenetre::controle(f.get(), "cadre1_haut")->isVisible());
    }

    // "Quitter  ?" is asked with Non as its default: Escape then Enter does not quit.
    void quitter_par_defaut_non() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        ex->dialogue.attendre_question(Reponse::non);
        QTest::keyPress(f.get(), Qt::Key_Escape);
        QCOMPARE(ex->dialogue.ids, std::vector<IdMessage>{IdMessage::quitter});
        QCOMPARE(ex->dialogue.vus.back().defaut, std::optional<Reponse>(Reponse::non));
    }

    // Escape closes the chooser it is pressed in and asks nothing.
    void echap_ferme_le_choix_de_repertoire_data() {
        QTest::addColumn<QString>("ouvrir");   // the button that opens it
        QTest::addColumn<QString>("panneau");  // what it opens
        QTest::addColumn<QString>("touche");   // where Escape is pressed
        QTest::newRow("répertoire") << "SpeedButton_choix_rep_donnee"
                                    << "Panel_dir"
                                    << "DirectoryListBox1";
        QTest::newRow("chemin saisi") << "SpeedButton_choix_rep_sortie"
                                      << "Panel_dir"
                                      << "Edit_dir_new";
        QTest::newRow("récents") << "SpeedButton_rep_recent"
                                 << "ListBox_rep_recent"
                                 << "ListBox_rep_recent";
        QTest::newRow("lecteur") << "SpeedButton_change_hd"
                                 << "Panel_lecteur"
                                 << "Edit_lecteur";
        // The focus left on the button that opened it, as a click leaves it.
        QTest::newRow("focus sur la fenêtre") << "SpeedButton_choix_rep_desc"
                                              << "Panel_dir"
                                              << "";
    }
    void echap_ferme_le_choix_de_repertoire() {
        QFETCH(QString, ouvrir);
        QFETCH(QString, panneau);
        QFETCH(QString, touche);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        if (ouvrir == QLatin1String("SpeedButton_rep_recent"))
            ExempleFenetre::cliquer(f.get(), "SpeedButton_choix_rep_donnee");
        ExempleFenetre::cliquer(f.get(), qPrintable(ouvrir));
        QWidget* p = ExempleFenetre::controle(f.get(), qPrintable(panneau));
        QVERIFY(p->isVisible());
        QWidget* cible = touche.isEmpty() ? static_cast<QWidget*>(f.get())
                                          : ExempleFenetre::controle(f.get(), qPrintable(touche));
        cible->setFocus();
        QTest::keyClick(cible, Qt::Key_Escape);
        QVERIFY(!p->isVisible());
        QVERIFY(ex->dialogue.vus.empty());
        QVERIFY(f->isVisible());
    }
};

QTEST_MAIN(ToucheEchapTest)
#include "touche_echap_test.moc"

// The "help" and "mise à jour" buttons of the main window: both hand the manual of the
// program directory to the desktop's viewer, and say so when it is missing.
#include <QAbstractButton>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "exemple_fenetre.h"

using namespace tarvo;

class ManuelFenetreTest : public QObject {
    Q_OBJECT

private:
    // The program directory of this process, fixed before anything resolves it.
    QTemporaryDir dossier_programme_;
    std::unique_ptr<ExempleFenetre> ex;
    std::unique_ptr<FenetrePrincipale> f;

    std::string manuel() const { return cp(dossier_programme_.path()) + "/Pelmo_manuel.pdf"; }

private slots:
    void initTestCase() {
        ExempleFenetre::signaler_dans_qtest();
        QVERIFY(dossier_programme_.isValid());
        qputenv("TARVO_DOSSIER_PROGRAMME", dossier_programme_.path().toUtf8());
    }
    void init() {
        QFile::remove(qt(manuel()));
        ex = std::make_unique<ExempleFenetre>();
        f = ex->fenetre({ex->dsc});
        f->demarrer();
        ex->lanceur.appels.clear();
    }
    void cleanup() {
        f.reset();
        ex.reset();
    }

    void les_deux_boutons_ouvrent_le_manuel_du_dossier_programme() {
        QFile pdf(qt(manuel()));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4\n");
        pdf.close();
        const std::size_t vus = ex->dialogue.vus.size();
        QCOMPARE(ExempleFenetre::controle<QAbstractButton>(f.get(), "SpeedButton_url")->text(),
                 QString::fromUtf8("mise à jour"));
        for (const char* bouton : {"SpeedButton_help", "SpeedButton_url"}) {
            ex->lanceur.appels.clear();
            ExempleFenetre::cliquer(f.get(), bouton);
            const std::vector<LanceurEnregistreur::Appel> attendus{
                {LanceurEnregistreur::Genre::document, manuel()}};
            QVERIFY2(ex->lanceur.appels == attendus, bouton);
        }
        QCOMPARE(ex->dialogue.vus.size(), vus);
    }

    void manuel_absent_le_message_donne_son_chemin() {
        ExempleFenetre::cliquer(f.get(), "SpeedButton_help");
        QVERIFY(ex->lanceur.appels.empty());
        QVERIFY(!ex->dialogue.vus.empty());
        QCOMPARE(ex->dialogue.vus.back().texte, "<" + manuel() + "> introuvable");
    }
};

QTEST_MAIN(ManuelFenetreTest)
#include "manuel_fenetre_test.moc"

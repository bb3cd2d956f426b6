// The "help" and "mise à jour" buttons of the main window: they hand the manual of the
// program directory, or its chapter "Versions", to the desktop's viewer, and say so when
// it is missing.
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
    FenetreOuverte f;

    std::string manuel() const { return cp(dossier_programme_.path()) + "/Pelmo_manuel.pdf"; }
    std::string versions() const {
        return cp(dossier_programme_.path()) + "/Pelmo_manuel_versions.pdf";
    }
    static void creer_pdf(const std::string& chemin) {
        QFile pdf(qt(chemin));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4\n");
    }

private slots:
    void initTestCase() {
        ExempleFenetre::signaler_dans_qtest();
        QVERIFY(dossier_programme_.isValid());
        qputenv("TARVO_DOSSIER_PROGRAMME", dossier_programme_.path().toUtf8());
    }
    void init() {
        QFile::remove(qt(manuel()));
        QFile::remove(qt(versions()));
        ex = std::make_unique<ExempleFenetre>();
        f = ex->fenetre({ex->dsc});
        f->demarrer();
        ex->lanceur.appels.clear();
    }
    void cleanup() {
        f.reset();
        ex.reset();
    }

    // "help" opens the manual at its start, "mise à jour" at its chapter "Versions" (the
    // whole manual when that chapter's file is missing).
    void les_deux_boutons_ouvrent_le_manuel_du_dossier_programme_data() {
        QTest::addColumn<bool>("avec_versions");
        QTest::newRow("manuel et chapitre Versions") << true;
        QTest::newRow("manuel seul") << false;
    }
    void les_deux_boutons_ouvrent_le_manuel_du_dossier_programme() {
        QFETCH(bool, avec_versions);
        creer_pdf(manuel());
        if (avec_versions) creer_pdf(versions());
        const std::size_t vus = ex->dialogue.vus.size();
        QCOMPARE(ExempleFenetre::controle<QAbstractButton>(f.get(), "SpeedButton_url")->text(),
                 QString::fromUtf8("mise à jour"));
        const struct {
            const char* bouton;
            std::string ouvert;
        } cas[] = {{"SpeedButton_help", manuel()},
                   {"SpeedButton_url", avec_versions ? versions() : manuel()}};
        for (const auto& c : cas) {
            ex->lanceur.appels.clear();
            ExempleFenetre::cliquer(f.get(), c.bouton);
            const std::vector<LanceurEnregistreur::Appel> attendus{
                {LanceurEnregistreur::Genre::document, c.ouvert}};
            QVERIFY2(ex->lanceur.appels == attendus, c.bouton);
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

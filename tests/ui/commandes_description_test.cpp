// The description commands and the directory chooser of the main window, tried as a user
// tries them, with the files on disk compared byte for byte before and after each step.
#include <QLabel>
#include <QtTest>

#include <memory>

#include "description/repertoires.h"
#include "formats/fichiers.h"
#include "formats/texte.h"

#include "tests/ui/exemple_fenetre.h"

using namespace tarvo;

namespace {
// Bytes that QCOMPARE prints when they differ.
QByteArray octets(const std::string& texte) { return QByteArray::fromStdString(texte); }
}  // namespace

class CommandesDescriptionTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    template <class T = QWidget>
    T* controle(QWidget* f, const char* nom) { return ExempleFenetre::controle<T>(f, nom); }
    void cliquer(QWidget* f, const char* nom) { ExempleFenetre::cliquer(f, nom); }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    // Validating a directory adds the three current ones to the saved list, after the
    // entries it already holds, once each whatever their letter case.
    void valider_un_repertoire_garde_les_repertoires_recents() {
        const std::string fichier = fichier_rep_recents(ex->programme);
        const std::string anciennes = "1- /mesures/2023/\r\n2- " + majuscules(ex->descriptions) +
                                      "\r\n3- /mesures/2023/EXPORT/\r\n";
        ecrire_fichier_atomique(fichier, anciennes);
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        cliquer(f.get(), "SpeedButton_choix_rep_sortie");
        QVERIFY(controle(f.get(), "Panel_dir")->isVisible());
        cliquer(f.get(), "SpeedButton_valider_repertoire");
        QCOMPARE(octets(lire(fichier)),
                 octets(anciennes + "1- " + ex->donnees + "\r\n3- " + ex->sortie + "\r\n"));
    }
};

QTEST_MAIN(CommandesDescriptionTest)
#include "commandes_description_test.moc"

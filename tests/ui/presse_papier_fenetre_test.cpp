// Cells copied from a spreadsheet, given to the window through the clipboard, convert to
// the same result as the file they came from.
#include <QDateEdit>
#include <QTimeEdit>
#include <QtTest>

#include "tests/ui/exemple_fenetre.h"

using namespace tarvo;

class PressePapierFenetreTest : public QObject {
    Q_OBJECT

private:
    // Lists, builds an hourly grid from 05/06 to 10/06/2024, runs; the result file's text.
    static std::string convertir(ExempleFenetre& ex, const std::string& description) {
        auto f = ex.fenetre({description});
        f->demarrer();
        ExempleFenetre::cliquer(f.get(), "SpeedButton_lister");
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_deb")->setDate(QDate(2024, 6, 5));
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_fin")->setDate(QDate(2024, 6, 10));
        ExempleFenetre::controle<QTimeEdit>(f.get(), "TimePicker_pas")->setTime(QTime(1, 0));
        ExempleFenetre::cliquer(f.get(), "SpeedButton_traiter_fichier");
        return f->session().fichier_resultat.empty() ? std::string()
                                                     : lire(f->session().fichier_resultat);
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }

    void bloc_colle_comme_le_fichier() {
        ExempleFenetre ex;
        // One file alone in its directory, as the copied cells are one block.
        const std::string fichier = "LeGue_2024-06-05.csv", seul = ex.donnees + "seul/";
        std::filesystem::create_directories(seul + "EXPORT");
        std::filesystem::copy_file(ex.donnees + fichier, seul + fichier);
        ecrire_fichier_atomique(ex.descriptions + "texte.dsc",
                                ex.description_exemple({{"dossier_choisi", seul},
                                                        {"dossier_choisi_sortie", seul + "EXPORT/"},
                                                        {"Edit_nom_fic_sortie.text", "texte"}}));
        const std::string attendu = convertir(ex, ex.descriptions + "texte.dsc");
        QVERIFY(attendu.find("05/06/2024 13:00:00;") != std::string::npos);

        // A spreadsheet puts tabulations between the cells it copies.
        std::string cellules = lire(ex.donnees + fichier);
        std::replace(cellules.begin(), cellules.end(), ';', '\t');
        ex.presse_papier.contenu = cellules;
        ecrire_fichier_atomique(ex.descriptions + "colle.dsc",
                                ex.description_exemple({{"dossier_choisi", seul},
                                                        {"dossier_choisi_sortie", seul + "EXPORT/"},
                                                        {"Edit_masque.text", "ppp"},
                                                        {"Edit_nom_fic_sortie.text", "colle"}}));
        QCOMPARE(convertir(ex, ex.descriptions + "colle.dsc"), attendu);
    }
};

QTEST_MAIN(PressePapierFenetreTest)
#include "presse_papier_fenetre_test.moc"

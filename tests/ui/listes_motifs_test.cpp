// The pattern pick lists of the description, driven through the main window.
#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/fenetre_principale.h"

using namespace tarvo;

namespace {

struct Liste {
    const char* bouton;
    const char* liste;
    const char* champ;
    std::string Description::*membre;
    bool deux_colonnes;  // the field shows with the two-column date option
};

const Liste listes[] = {
    {"SpeedButton_date_heure", "ListBox_date_heure", "Edit_format_datetime_mesure",
     &Description::Edit_format_datetime_mesure, false},
    {"SpeedButton_date", "ListBox_date", "Edit_format_date_mesure_seule",
     &Description::Edit_format_date_mesure_seule, true},
    {"SpeedButton_heure", "ListBox_heure", "Edit_format_time_mesure_seul",
     &Description::Edit_format_time_mesure_seul, true},
    {"SpeedButton_date_fic", "ListBox_date_fic", "Edit_f_date_fichier",
     &Description::Edit_f_date_fichier, false},
};

}  // namespace

class ListesMotifsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

    template <class T = QWidget>
    static T* controle(QWidget* f, const char* nom) {
        return ExempleFenetre::controle<T>(f, nom);
    }

    static void double_cliquer(QListWidget* liste, int ligne) {
        liste->scrollToItem(liste->item(ligne));
        const QRect r = liste->visualItemRect(liste->item(ligne));
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    // Each button shows its list over the others, on the field's current item; the chosen
    // item fills the field and the description, which then needs saving.
    void chaque_liste_remplit_son_champ() {
        auto f = ex->fenetre();
        f->demarrer();
        for (const Liste& l : listes) {
            const QByteArray trace = l.liste;
            controle<QRadioButton>(f.get(), l.deux_colonnes ? "RadioButton2_datetime_nb_col"
                                                            : "RadioButton1_datetime_nb_col")
                ->click();
            auto* champ = controle<QLineEdit>(f.get(), l.champ);
            auto* liste = controle<QListWidget>(f.get(), l.liste);
            QVERIFY2(liste->count() > 2, trace);
            champ->setText(liste->item(1)->text());
            f->session().f_modif = false;

            controle<QAbstractButton>(f.get(), l.bouton)->click();
            QVERIFY2(liste->isVisible(), trace);
            QCOMPARE(liste->currentRow(), 1);
            for (const Liste& autre : listes)
                if (&autre != &l)
                    QVERIFY2(!controle(f.get(), autre.liste)->isVisible(), autre.liste);

            const int choisi = liste->count() - 1;
            double_cliquer(liste, choisi);
            QVERIFY2(!liste->isVisible(), trace);
            QCOMPARE(champ->text(), liste->item(choisi)->text());
            QCOMPARE(qt(f->session().description.*l.membre), liste->item(choisi)->text());
            QVERIFY2(f->session().f_modif, trace);
        }
    }

    // The lists hold the core's patterns in their order; a text matching no item selects none.
    void items_et_preselection() {
        auto f = ex->fenetre();
        f->demarrer();
        auto* liste = controle<QListWidget>(f.get(), "ListBox_heure");
        QCOMPARE(liste->item(0)->text(), QStringLiteral("hh_mn_ss"));
        QCOMPARE(liste->item(2)->text(), QStringLiteral("hh_mn_ss.s"));
        auto* codes = controle<QListWidget>(f.get(), "ListBox_date_fic");
        QCOMPARE(codes->item(3)->text(), QStringLiteral("(20)4,3,2"));
        controle<QRadioButton>(f.get(), "RadioButton1_datetime_nb_col")->click();
        controle<QLineEdit>(f.get(), "Edit_format_datetime_mesure")->setText(QStringLiteral("xx"));
        controle<QAbstractButton>(f.get(), "SpeedButton_date_heure")->click();
        QCOMPARE(controle<QListWidget>(f.get(), "ListBox_date_heure")->currentItem(), nullptr);
    }

    // The button closes its own open list; a click into a pattern field closes them all.
    void fermetures() {
        auto f = ex->fenetre();
        f->demarrer();
        controle<QRadioButton>(f.get(), "RadioButton1_datetime_nb_col")->click();
        auto* bouton = controle<QAbstractButton>(f.get(), "SpeedButton_date_fic");
        auto* liste = controle<QListWidget>(f.get(), "ListBox_date_fic");
        bouton->click();
        QVERIFY(liste->isVisible());
        bouton->click();
        QVERIFY(!liste->isVisible());

        bouton->click();
        QTest::mouseClick(controle(f.get(), "Edit_format_datetime_mesure"), Qt::LeftButton);
        QVERIFY(!liste->isVisible());
        controle<QAbstractButton>(f.get(), "SpeedButton_date_heure")->click();
        QTest::mouseClick(controle(f.get(), "Edit_f_date_fichier"), Qt::LeftButton);
        QVERIFY(!controle(f.get(), "ListBox_date_heure")->isVisible());
    }
};

QTEST_MAIN(ListesMotifsTest)
#include "listes_motifs_test.moc"

// The table from a session text to the label that shows it: every panel finds its controls
// when it is built, and after the commands every label of the table shows its text.
#include "ui/textes_affiches.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QLabel>
#include <QTimeEdit>
#include <QtTest>
#include <functional>
#include <memory>

#include "tests/ui/exemple_fenetre.h"
#include "ui/fenetre_graphique.h"
#include "ui/panneaux.h"

using namespace tarvo;

namespace {

// The graph window reuses some names of the main window: only the main window's own.
QLabel* label_de_la_fenetre(QWidget* fenetre, const char* nom) {
    const auto* graphique = fenetre->findChild<FenetreGraphique*>();
    for (QLabel* l : fenetre->findChildren<QLabel*>(QLatin1String(nom)))
        if (!graphique->isAncestorOf(l)) return l;
    return nullptr;
}

}  // namespace

class TextesAffichesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }
    void init() { ex = std::make_unique<ExempleFenetre>(); }
    void cleanup() { ex.reset(); }

    // Each panel resolves its controls in its constructor: one that lost a control stops
    // here, with its name, rather than at the first command that needs it.
    void chaque_panneau_se_construit_seul_data() {
        QTest::addColumn<std::function<QWidget*()>>("construire");
        QTest::newRow("description")
            << std::function<QWidget*()>([] { return new PanneauDescription; });
        QTest::newRow("valeurs") << std::function<QWidget*()>([] { return new PanneauValeurs; });
        QTest::newRow("listage") << std::function<QWidget*()>([] { return new PanneauListage; });
        QTest::newRow("sortie") << std::function<QWidget*()>([] { return new PanneauSortie; });
        QTest::newRow("periode") << std::function<QWidget*()>([] { return new PanneauPeriode; });
        QTest::newRow("execution")
            << std::function<QWidget*()>([] { return new PanneauExecution; });
        QTest::newRow("suivi") << std::function<QWidget*()>([] { return new FenetreSuivi; });
    }
    void chaque_panneau_se_construit_seul() {
        QFETCH(std::function<QWidget*()>, construire);
        const std::unique_ptr<QWidget> panneau(construire());
        QVERIFY(panneau->findChildren<QWidget*>().size() > 1);
    }

    // After a listing and a run, each label of the table shows the session's text: no other
    // code writes over it.
    void chaque_label_montre_son_texte() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        const auto jour = [&](const std::string& texte) {
            return QDate::fromString(qt(texte).left(10), QStringLiteral("dd/MM/yyyy"));
        };
        const Description& d = f->session().description;
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_deb")
            ->setDate(jour(d.Label_min_dsc));
        ExempleFenetre::controle<QDateEdit>(f.get(), "DatePicker_fin")
            ->setDate(jour(d.Label_max_dsc));
        ExempleFenetre::controle<QTimeEdit>(f.get(), "TimePicker_pas")->setTime(QTime(1, 0));
        ExempleFenetre::cliquer(f.get(), "SpeedButton_lister");
        ExempleFenetre::cliquer(f.get(), "SpeedButton_traiter_fichier");
        QVERIFY(!f->session().fichier_resultat.empty());

        for (const TexteAffiche& t : textes_affiches()) {
            QLabel* label = label_de_la_fenetre(f.get(), t.controle);
            QVERIFY2(label, t.controle);
            const std::string_view texte = t.texte(f->session());
            if (texte.empty() && t.garder_si_vide) continue;
            QVERIFY2(label->text() == qt(texte), t.controle);
        }
    }
};

QTEST_MAIN(TextesAffichesTest)
#include "textes_affiches_test.moc"

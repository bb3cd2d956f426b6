// The numbered help as a user meets it: the pointer over a control shows its entry in the
// help area and, when asked, in the floating box.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>
#include <memory>
#include <set>

#include "session/aide.h"
#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"

using namespace tarvo;

namespace {

// Controls of the table that the main window does not hold, and why.
const std::set<QString> absents_de_la_fenetre{
    // The upper part is captioned by the frame of zone 1, not by a label of its own.
    QStringLiteral("Label13"),
};

// Among the controls of the graph window some carry the main window's names.
template <class T = QWidget>
T* de_la_fenetre(QWidget* f, const QString& nom) {
    for (T* w : f->findChildren<T*>(nom))
        if (w->window() == f) return w;
    return nullptr;
}

QStringList lignes(const QPlainTextEdit* t) {
    QStringList l;
    for (QTextBlock b = t->document()->begin(); b.isValid(); b = b.next()) l << b.text();
    return l;
}

QString premiere_ligne(const char* controle) {
    return qt(entree_aide(controle)->lignes[0]);
}

}  // namespace

class AideFenetreTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;
    FenetreOuverte f;

    QPlainTextEdit* memo(const char* nom) { return de_la_fenetre<QPlainTextEdit>(f.get(), nom); }
    // Through the window, as the platform delivers a move: to the control under the pointer.
    void bouger(QWidget* w, QPoint point) {
        QTest::mouseMove(f->windowHandle(),
                         f->windowHandle()->mapFromGlobal(w->mapToGlobal(point)));
    }
    // The scroll area brings the control into view first, as a user scrolls to it.
    QPoint survoler(const char* nom, QPoint decalage = {}) {
        QWidget* w = de_la_fenetre(f.get(), nom);
        if (!w) qFatal("no control %s", nom);
        f->findChild<QScrollArea*>("defilement")->ensureWidgetVisible(w);
        const QPoint point = w->rect().center() + decalage;
        bouger(w, point);
        return w->mapTo(f.get(), point);
    }

    // The bottom right corner of zone 1's frame, away from every control.
    void survoler_le_fond() {
        QWidget* zone1 = de_la_fenetre(f.get(), "zone1");
        survoler("zone1", QPoint(zone1->width(), zone1->height()) / 2 - QPoint(3, 3));
        QCOMPARE(f->childAt(zone1->mapTo(f.get(), zone1->rect().bottomRight() - QPoint(2, 2))),
                 zone1);
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }

    void init() {
        ex = std::make_unique<ExempleFenetre>();
        f = ex->fenetre({ex->dsc});
        f->demarrer();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        // The tracking log floats over zone 5; its own controls have no entry.
        de_la_fenetre(f.get(), "Panel1")->hide();
    }

    void cleanup() {
        f.reset();
        ex.reset();
    }

    void chaque_controle_de_la_table_est_dans_la_fenetre() {
        QStringList manquants;
        for (const EntreeAide& e : entrees_aide())
            for (const std::string& c : e.controles) {
                const QString nom = QString::fromStdString(c);
                const bool present = de_la_fenetre(f.get(), nom) != nullptr;
                if (!present && !absents_de_la_fenetre.contains(nom)) manquants << nom;
                // An exception no longer needed hides nothing.
                if (present) QVERIFY2(!absents_de_la_fenetre.contains(nom), qPrintable(nom));
            }
        QVERIFY2(manquants.isEmpty(), qPrintable(manquants.join(QLatin1Char(' '))));
    }

    // The settings added after the first versions have their numbered entry too.
    void les_nouveaux_reglages_ont_leur_aide_data() {
        QTest::addColumn<QString>("controle");
        QTest::addColumn<QString>("numero");
        QTest::newRow("guillemets") << "CheckBox_champs_guillemets"
                                    << "75-";
        QTest::newRow("fuseau des mesures") << "Edit_fuseau_mesures"
                                            << "76-";
        QTest::newRow("son étiquette") << "Label_fuseau_mesures"
                                       << "76-";
        QTest::newRow("fuseau du résultat") << "Edit_fuseau_resultat"
                                            << "77-";
        QTest::newRow("minimum de mesures") << "Edit_min_mesures_valides"
                                            << "78-";
    }
    void les_nouveaux_reglages_ont_leur_aide() {
        QFETCH(QString, controle);
        QFETCH(QString, numero);
        survoler(qPrintable(controle));
        QVERIFY2(lignes(memo("Memo2")).front().startsWith(numero),
                 qPrintable(lignes(memo("Memo2")).join(QLatin1Char('\n'))));
    }

    // Every control that the pointer can reach shows its own entry.
    void chaque_controle_visible_montre_son_entree() {
        int vus = 0;
        for (const EntreeAide& e : entrees_aide())
            for (const std::string& c : e.controles) {
                QWidget* w = de_la_fenetre(f.get(), QString::fromStdString(c));
                if (!w || !w->isVisible() || w->width() < 4 || w->height() < 4) continue;
                f->findChild<QScrollArea*>("defilement")->ensureWidgetVisible(w);
                // Covered by another control, or on a control of its own inside this one.
                QWidget* sous = f->childAt(w->mapTo(f.get(), w->rect().center()));
                if (sous != w && !w->isAncestorOf(sous)) continue;
                for (QWidget* v = sous; v && v != w; v = v->parentWidget())
                    if (entree_aide(cp(v->objectName()))) sous = nullptr;
                if (!sous) continue;
                bouger(w, w->rect().center());
                const LignesAide attendues =
                    lignes_aide(e, f->session().description.Edit_name_prog_blocnote);
                QCOMPARE(lignes(memo("Memo2")).front(), qt(attendues[0]));
                ++vus;
            }
        QVERIFY2(vus >= 60, qPrintable(QString::number(vus)));
    }

    void trois_controles_trois_entrees() {
        survoler("Edit_masque");
        QVERIFY(lignes(memo("Memo2")).front().startsWith(QStringLiteral("1d-")));
        survoler("SpeedButton_lister");
        QCOMPARE(lignes(memo("Memo2")).front(),
                 QStringLiteral("20-  Lister les fichier du répertoire de données ayant la bonne "
                                "extention avec un TRI ALPHABETIQUE"));
        survoler("SpeedButton_choix_rep_donnee");
        QCOMPARE(lignes(memo("Memo2")).front(),
                 QStringLiteral("1a- Choisir ou modifier le répertoire des données"));
        // The editor buttons name the editor of the description.
        survoler("SpeedButton_suivi");
        const QString editeur = qt(f->session().description.Edit_name_prog_blocnote).trimmed();
        QVERIFY(lignes(memo("Memo2")).front().endsWith(editeur + QLatin1Char(')')));
    }

    void six_lignes_puis_deux() {
        QPlainTextEdit* zone = memo("Memo2");
        survoler("Edit_f_date_fichier");
        QCOMPARE(zone->document()->blockCount(), 6);
        QCOMPARE(zone->font().pointSize(), 8);
        survoler("SpeedButton_help");
        QCOMPARE(lignes(zone), (QStringList{premiere_ligne("SpeedButton_help"),
                                            qt(entree_aide("SpeedButton_help")->lignes[1])}));
        QCOMPARE(zone->font().pointSize(), 10);
        // Two controls of one entry: the help area is not touched.
        survoler("SpeedButton_deb");
        int changements = 0;
        connect(zone->document(), &QTextDocument::contentsChange, this, [&] { ++changements; });
        survoler("SpeedButton_fin");
        survoler("Label_temps_fin");
        QCOMPARE(changements, 0);
        QVERIFY(lignes(zone).front().startsWith(QStringLiteral("19-")));
        // Going over to the help area to read it keeps the entry.
        survoler("Memo2");
        QVERIFY(lignes(zone).front().startsWith(QStringLiteral("19-")));
        // The window's own background has an empty entry.
        survoler_le_fond();
        QCOMPARE(lignes(zone), (QStringList{QString(), QString()}));
        QVERIFY(changements > 0);
    }

    // The floating box never covers the control it explains and takes no click: the
    // window's hit test finds the controls under it, the "help" button included.
    void aide_flottante_laisse_passer_les_clics() {
        de_la_fenetre<QCheckBox>(f.get(), "CheckBox_aide_flottante")->click();
        QPlainTextEdit* boite = memo("Memo3");
        for (const char* nom : {"SpeedButton_help", "Edit_masque", "SpeedButton_traiter_fichier",
                                "Edit_equiv_na", "Label_temps_deb", "SpeedButton_fin", "Memo1"}) {
            survoler(nom);
            QWidget* w = de_la_fenetre(f.get(), nom);
            QVERIFY2(boite->isVisible(), nom);
            const QRect controle(w->mapTo(f.get(), QPoint(0, 0)), w->size());
            QVERIFY2(!boite->geometry().intersects(controle), nom);
            QWidget* touche = f->childAt(boite->geometry().center());
            QVERIFY2(touche && touche != boite && !boite->isAncestorOf(touche), nom);
        }
        ex->lanceur.appels.clear();
        survoler("SpeedButton_help");
        QWidget* aide = de_la_fenetre(f.get(), "SpeedButton_help");
        QWidget* sous = f->childAt(aide->mapTo(f.get(), aide->rect().center()));
        QVERIFY(sous == aide || aide->isAncestorOf(sous));
    }

    void aide_flottante() {
        auto* coche = de_la_fenetre<QCheckBox>(f.get(), "CheckBox_aide_flottante");
        QPlainTextEdit* boite = memo("Memo3");
        QVERIFY(!boite->isVisible());
        f->session().f_modif = false;
        coche->click();
        QVERIFY(f->session().f_modif);
        QVERIFY(boite->isVisible());

        const QPoint pointeur = survoler("Edit_masque");
        const EntreeAide& masque = *entree_aide("Edit_masque");
        const int n = lignes_a_afficher(masque.lignes);
        QCOMPARE(boite->height(), n * 15 + 15);
        int w = 150;
        for (const std::string& l : masque.lignes)
            w = std::max(w, boite->fontMetrics().horizontalAdvance(qt(l)));
        QCOMPARE(boite->width(), w * 11 / 10);
        QCOMPARE(boite->x(), std::min(pointeur.x(), f->width() - boite->width() - 20));
        QCOMPARE(boite->y(), std::min(pointeur.y() + 20, f->height() - boite->height() - 150));
        QVERIFY(lignes(boite).front().startsWith(QStringLiteral("  - ")));
        // The whole text is shown: nothing is cut at the right edge.
        QVERIFY(boite->horizontalScrollBar()->maximum() == 0);

        // Entry 19 stays at the height of Label37 wherever the pointer is on its controls,
        // kept inside the window when the label is scrolled out of sight, unless it would
        // cover the control explained.
        const auto place_19 = [&](const char* nom) {
            const int haut = de_la_fenetre(f.get(), "Label37")->mapTo(f.get(), QPoint(0, 0)).y();
            const QRect a_label37(boite->x(),
                                  std::max(0, std::min(haut, f->height() - boite->height())),
                                  boite->width(), boite->height());
            QWidget* w = de_la_fenetre(f.get(), nom);
            const QRect controle(w->mapTo(f.get(), QPoint(0, 0)), w->size());
            return a_label37.intersects(controle) ? !boite->geometry().intersects(controle)
                                                  : boite->geometry() == a_label37;
        };
        survoler("Label_temps_deb", QPoint(0, -3));
        QVERIFY(place_19("Label_temps_deb"));
        survoler("SpeedButton_fin", QPoint(2, 3));
        QVERIFY(place_19("SpeedButton_fin"));
        QVERIFY(lignes(boite).front().startsWith(QStringLiteral("  -  Ces deux dates")));

        // Over the background there is nothing to say: no empty box trails the pointer.
        survoler_le_fond();
        QVERIFY(!boite->isVisible());
        survoler("Edit_masque");
        QVERIFY(boite->isVisible());

        coche->click();
        QVERIFY(!boite->isVisible());
        QVERIFY(!f->session().description.CheckBox_aide_flottante);
    }
};

QTEST_MAIN(AideFenetreTest)
#include "aide_fenetre_test.moc"

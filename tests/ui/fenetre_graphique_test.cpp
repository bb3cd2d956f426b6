// The graph window after real runs of the shipped example, and over step tables of many
// columns: the lists and their texts, the series drawn with their gaps, the modes.
#include "ui/fenetre_graphique.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QGuiApplication>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "plateforme/doubles/sortie_audio_enregistreuse.h"
#include "session/session.h"
#include "tests/ui/exemple_fenetre.h"
#include "ui/conversions_qt.h"
#include "ui/fenetre_principale.h"
#include "ui/graphe.h"
#include "ui/vue_3d.h"

using namespace tarvo;

namespace {

template <class T = QWidget>
T* controle(QWidget* f, const char* nom) {
    auto* w = f->findChild<T*>(QString::fromLatin1(nom));
    if (!w) qFatal("no control %s", nom);
    return w;
}

QListWidget* liste(QWidget* f, int n) {
    return controle<QListWidget>(f, qPrintable(QStringLiteral("CheckListBox%1").arg(n)));
}

std::vector<int> cochees(QListWidget* l) {
    std::vector<int> p;
    for (int i = 0; i < l->count(); ++i)
        if (l->item(i)->checkState() == Qt::Checked) p.push_back(i);
    return p;
}

// Every point the chart's line series hold for series s, in order.
QList<QPointF> points_traces(Graphe* g, int s) {
    QList<QPointF> tous;
    for (QLineSeries* morceau : g->morceaux(s)) tous += morceau->points();
    std::sort(tous.begin(), tous.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    return tous;
}

qreal un_marqueur(Graphe* g) {
    return g->morceaux(0).front()->markerSize();
}

}  // namespace

class FenetreGraphiqueTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExempleFenetre> ex;
    DialogueScripte* dialogue = nullptr;
    ProgressionScriptee progression;

    FenetreOuverte fenetre_principale() {
        auto f = ex->fenetre({ex->dsc});
        f->demarrer();
        return f;
    }

    // The example converted through the main window, and its graph window opened.
    FenetreGraphique* apres_traitement(FenetrePrincipale& f) {
        // The hourly period the example was made for.
        const auto jour = [&](const std::string& texte) {
            return QDate::fromString(qt(texte).left(10), QStringLiteral("dd/MM/yyyy"));
        };
        controle<QDateEdit>(&f, "DatePicker_deb")
            ->setDate(jour(f.session().description.Label_min_dsc));
        controle<QDateEdit>(&f, "DatePicker_fin")
            ->setDate(jour(f.session().description.Label_max_dsc));
        controle<QTimeEdit>(&f, "TimePicker_pas")->setTime(QTime(1, 0));
        controle<QAbstractButton>(&f, "SpeedButton_lister")->click();
        auto* bouton = controle<QToolButton>(&f, "SpeedButton_graphique");
        controle<QAbstractButton>(&f, "SpeedButton_traiter_fichier")->click();
        if (f.session().fichier_resultat.empty()) qFatal("the example gave no result");
        if (!bouton->isEnabled()) qFatal("graph button still disabled after a run");
        bouton->click();
        auto* g = f.findChild<FenetreGraphique*>();
        if (!g || !g->isVisible()) qFatal("graph window not shown");
        return g;
    }

    // A session whose step table has `colonnes` data columns over `n` hourly steps, row i
    // of column m holding i + m, as a run leaves it.
    std::unique_ptr<Session> session_remplie(int colonnes, int n = 30) {
        auto s = std::make_unique<Session>(*dialogue, progression, ex->lanceur, ex->presse_papier,
                                           ex->programme);
        std::vector<double> dates;
        for (int i = 1; i <= n; ++i) dates.push_back(45444.0 + (i - 1) / 24.0);
        TableEtapes& t = s->etapes;
        t.dimensionner(dates, colonnes + 2);
        for (int m = 2; m <= t.K(); ++m)
            t.titres_colonnes[static_cast<std::size_t>(m)] = "mesure " + std::to_string(m);
        for (int i = 1; i <= n; ++i) {
            for (int m = 2; m < t.K(); ++m) {
                t.valeur[t.indice(i, m)] = i + m;
                t.nb_ok[t.indice(i, m)] = 1;
            }
            t.nb_lignes_etape(i) = 1;
        }
        s->parametres_grille.TimePicker_pas = 1.0 / 24;
        s->extraction.nb_lignes_extraites = n;
        return s;
    }

private slots:
    void initTestCase() { ExempleFenetre::signaler_dans_qtest(); }

    void init() {
        ex = std::make_unique<ExempleFenetre>();
        dialogue = &ex->dialogue;
    }

    void cleanup() { ex.reset(); }

    void le_traitement_ouvre_les_graphes_et_la_disposition_revient() {
        std::string texte_sauve;
        {
            auto f = fenetre_principale();
            QVERIFY(!controle<QToolButton>(f.get(), "SpeedButton_graphique")->isEnabled());
            FenetreGraphique* g = apres_traitement(*f);
            QCOMPARE(g->objectName(), QStringLiteral("Form2"));
            // Three columns and the count, one per chart.
            QCOMPARE(f->session().description.suite_coche_liste_graph,
                     std::string("0,;1,;2,;3,;;"));
            QVERIFY(f->session().f_modif);
            QCOMPARE(liste(g, 4)->item(3)->text().trimmed(), QStringLiteral("n OK"));
            // Chart 1 draws the first column from the step table, one point per usable row.
            const SerieGraphe& serie = g->donnees(1).series.at(0);
            QCOMPARE(points_traces(g->graphe(1), 0).size(),
                     static_cast<qsizetype>(serie.nb_points()));
            QVERIFY(serie.nb_points() > 100);
            QVERIFY(g->graphe(5)->chart()->series().isEmpty());
            QVERIFY(!controle<QLabel>(g, "Label5")->text().isEmpty());

            // Column 2 moved onto chart 1 as a derivative, then the description saved.
            liste(g, 1)->item(1)->setCheckState(Qt::Checked);
            liste(g, 6)->item(1)->setCheckState(Qt::Checked);
            controle<QAbstractButton>(g, "Button_af_les_graph")->click();
            QCOMPARE(g->donnees(1).series.at(1).titre,
                     std::string("d/dt > ") + cp(liste(g, 1)->item(1)->text()));
            texte_sauve = f->session().description.suite_coche_liste_graph;
            QCOMPARE(texte_sauve, std::string("0,1,;1,;2,;3,;;"));
            QCOMPARE(f->session().description.suite_coche_liste_graph_deriv,
                     std::string("1,;;;;;"));
            dialogue->attendre_question(Reponse::oui);  // "Enregistrer les modifications ..."
            controle<QAbstractButton>(f.get(), "SpeedButton_Enregistrer_dsc")->click();
        }
        auto f = fenetre_principale();
        dialogue->attendre_question(Reponse::oui);  // the result file of the first run is replaced
        FenetreGraphique* g = apres_traitement(*f);
        QCOMPARE(cochees(liste(g, 1)), (std::vector<int>{0, 1}));
        QCOMPARE(cochees(liste(g, 6)), (std::vector<int>{1}));
        QCOMPARE(f->session().description.suite_coche_liste_graph, texte_sauve);
    }

    // Each chart draws over nearly its whole width: the legend takes a strip at the top,
    // not a third of the chart.
    void les_graphes_prennent_toute_la_largeur() {
        auto f = fenetre_principale();
        FenetreGraphique* g = apres_traitement(*f);
        g->resize(1280, 800);
        QApplication::processEvents();
        for (int k = 1; k <= 4; ++k) {
            const QRectF trace = g->graphe(k)->chart()->plotArea();
            QVERIFY2(trace.width() >= 0.8 * g->graphe(k)->width(), qPrintable(QString::number(k)));
        }
    }

    void une_autre_description_ferme_les_graphes_sans_y_ecrire() {
        auto f = fenetre_principale();
        FenetreGraphique* g = apres_traitement(*f);
        // Another description of the same files, with a chart selection of its own.
        std::string texte = lire(ex->dsc);
        const std::string cle = "\nsuite_coche_liste_graph= ";
        texte.insert(texte.find(cle) + cle.size(), "2,;;;;;");
        ex->fichier_choisi = dossier_de_fichier(ex->dsc) + "autre.dsc";
        ecrire_fichier_atomique(*ex->fichier_choisi, texte);
        // The charts drew the run with a selection not saved yet; it is left unsaved.
        dialogue->attendre_question(Reponse::non);
        controle<QAbstractButton>(f.get(), "SpeedButton_desc_bd")->click();
        QCOMPARE(f->session().Label_description_bd, std::string("autre.dsc"));
        QVERIFY(!g->isVisible());
        QCOMPARE(f->session().description.suite_coche_liste_graph, std::string("2,;;;;;"));
        // The run was the other description's: there is nothing to draw until this one runs.
        QVERIFY(!controle<QAbstractButton>(f.get(), "SpeedButton_graphique")->isEnabled());
    }

    void dispatch_de_8_et_de_20_colonnes() {
        struct Cas {
            int colonnes;
            const char* texte;
            int cochees;
        };
        for (const Cas& c : {Cas{8, "0,5,;1,6,;2,7,;3,8,;4,;", 9},
                             Cas{20, "0,5,10,;1,6,11,;2,7,12,;3,8,13,;4,9,14,;", 15}}) {
            auto s = session_remplie(c.colonnes);
            FenetreGraphique g(*s, *dialogue);
            g.ouvrir();
            QCOMPARE(s->description.suite_coche_liste_graph, std::string(c.texte));
            int n = 0;
            for (int k = 1; k <= 5; ++k) n += static_cast<int>(cochees(liste(&g, k)).size());
            QCOMPARE(n, c.cochees);
            QCOMPARE(liste(&g, 1)->count(), c.colonnes + 1);
            QCOMPARE(liste(&g, 6)->count(), c.colonnes + 1);
            QVERIFY(s->f_modif);
        }
    }

    void restauration_qui_ignore_les_indices_en_trop() {
        auto s = session_remplie(3);
        s->description.suite_coche_liste_graph = "0,7,;12,;3,;;;";
        s->description.suite_coche_liste_graph_deriv = "9,0,;;;;;";
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        QCOMPARE(cochees(liste(&g, 1)), std::vector<int>{0});
        QVERIFY(cochees(liste(&g, 2)).empty());
        QCOMPARE(cochees(liste(&g, 3)), std::vector<int>{3});
        QCOMPARE(cochees(liste(&g, 6)), std::vector<int>{0});
        QCOMPARE(s->description.suite_coche_liste_graph, std::string("0,;;3,;;;"));
        QVERIFY(!s->f_modif);
    }

    void derivee_avec_un_trou_autour_d_un_na() {
        auto s = session_remplie(2, 12);
        TableEtapes& t = s->etapes;
        t.na[t.indice(6, 2)] = 1;
        t.nb_ok[t.indice(6, 2)] = 0;
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        liste(&g, 6)->item(0)->setCheckState(Qt::Checked);
        QVERIFY(s->f_modif);
        controle<QAbstractButton>(&g, "Button_af_les_graph")->click();
        // Rows 2..11 drawn; the first row and rows 6 and 7 have no rate: runs 3..5 and 8..11.
        const QList<QLineSeries*> morceaux = g.graphe(1)->morceaux(0);
        QCOMPARE(morceaux.size(), 2);
        QCOMPARE(morceaux[0]->count(), 3);
        QCOMPARE(morceaux[1]->count(), 4);
        QCOMPARE(morceaux[0]->name(), QStringLiteral("d/dt > mesure 2"));
        for (QLineSeries* m : morceaux)
            for (const QPointF& p : m->points()) QCOMPARE(p.y(), 24.0);  // one per hour, per day
        // One legend entry for the column, whatever its number of runs, once the chart has
        // handled what its series posted.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const QList<QLegendMarker*> marques = g.graphe(1)->chart()->legend()->markers();
        QCOMPARE(marques.size(), 2);
        int entrees = 0;
        for (QLegendMarker* m : marques) entrees += m->isVisible() ? 1 : 0;
        QCOMPARE(entrees, 1);
    }

    void abscisse_n_de_1_a_n_moins_2() {
        auto s = session_remplie(2, 20);
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        QVERIFY(qobject_cast<QDateTimeAxis*>(g.graphe(1)->chart()->axes(Qt::Horizontal).front()));
        controle<QAbstractButton>(&g, "RadioGroup_abscisse_4")->click();
        QVERIFY(qobject_cast<QValueAxis*>(g.graphe(1)->chart()->axes(Qt::Horizontal).front()));
        const QList<QPointF> p = points_traces(g.graphe(1), 0);
        QCOMPARE(p.size(), 18);
        QCOMPARE(p.front().x(), 1.0);
        QCOMPARE(p.back().x(), 18.0);
    }

    void roulette_zoom_vertical_du_graphe_sous_le_pointeur() {
        auto s = session_remplie(8);
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        Graphe* deux = g.graphe(2);
        const double minimum = deux->axe_min(), maximum = deux->axe_max();
        const double bas1 = g.graphe(1)->axe_min();
        // Just below chart 2's bottom edge, in the gap before chart 3.
        const QPoint ici = g.mapToGlobal(QPoint(50, deux->geometry().bottom() + 3));
        QWheelEvent roue(g.mapFromGlobal(ici), ici, {}, QPoint(0, 120), Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(&g, &roue);
        const double d = (maximum - minimum) * 0.1;
        QCOMPARE(deux->axe_min(), minimum + d);
        QCOMPARE(deux->axe_max(), maximum - d);
        QCOMPARE(g.graphe(1)->axe_min(), bas1);
        QTest::mouseDClick(deux->viewport(), Qt::LeftButton, {}, deux->viewport()->rect().center());
        QCOMPARE(deux->axe_min(), minimum);
    }

    void rectangle_zoome_vers_le_haut_annule_et_clic_droit_deplace() {
        auto s = session_remplie(2, 50);
        FenetreGraphique g(*s, *dialogue);
        g.resize(1200, 800);
        g.ouvrir();
        Graphe* un = g.graphe(1);
        auto* x = qobject_cast<QDateTimeAxis*>(un->chart()->axes(Qt::Horizontal).front());
        const QDateTime debut = x->min(), fin = x->max();
        const QRectF zone = un->chart()->plotArea();
        const auto glisser = [&](Qt::MouseButton bouton, QPointF a, QPointF b) {
            QTest::mousePress(un->viewport(), bouton, {}, a.toPoint());
            QMouseEvent deplace(QEvent::MouseMove, b, un->viewport()->mapToGlobal(b), bouton,
                                bouton, {});
            QApplication::sendEvent(un->viewport(), &deplace);
            QTest::mouseRelease(un->viewport(), bouton, {}, b.toPoint());
        };
        const QPointF haut_gauche = zone.topLeft() + QPointF(zone.width() / 4, 2);
        const QPointF bas_milieu = zone.topLeft() + QPointF(zone.width() / 2, zone.height() - 2);
        glisser(Qt::LeftButton, haut_gauche, bas_milieu);
        QVERIFY(x->min() > debut && x->max() < fin);
        glisser(Qt::LeftButton, bas_milieu, haut_gauche);  // upwards: back to the drawn range
        QCOMPARE(x->min(), debut);
        QCOMPARE(x->max(), fin);
        glisser(Qt::RightButton, zone.center(), zone.center() + QPointF(-60, 0));
        QVERIFY(x->min() > debut);
        QCOMPARE(x->min().msecsTo(x->max()), debut.msecsTo(fin));

        // Every point shows its value on request.
        controle<QAbstractButton>(&g, "CheckBox_af_valeur")->click();
        QVERIFY(un->morceaux(0).front()->pointLabelsVisible());
    }

    void plus_de_10000_dates_points_de_1() {
        auto s = session_remplie(1, 10001);
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        QCOMPARE(controle<QSpinBox>(&g, "Edit1")->value(), 1);
        QCOMPARE(un_marqueur(g.graphe(1)), 1.0);
    }

    void clic_sur_un_point_affiche_x_et_y() {
        auto s = session_remplie(2, 10);
        FenetreGraphique g(*s, *dialogue);
        g.resize(1200, 800);
        g.ouvrir();
        Graphe* un = g.graphe(1);
        QLineSeries* serie = un->morceaux(0).front();
        const QPointF point = serie->at(3);  // row 5: 5 + 2
        const QPoint ou =
            un->mapFromScene(un->chart()->mapToScene(un->chart()->mapToPosition(point, serie)));
        QTest::mouseClick(un->viewport(), Qt::LeftButton, {}, ou);
        auto* memo = controle<QPlainTextEdit>(&g, "Memo2");
        QVERIFY(memo->isVisible());
        QCOMPARE(memo->toPlainText(),
                 qt(fr("  série   mesure 2\n  01/06/2024 04:00:00\n  7.000 ")));
        QTest::mouseMove(un->viewport(), ou + QPoint(5, 5));
        QVERIFY(memo->isVisible());
        QTest::mouseMove(un->viewport(), ou + QPoint(40, 0));
        QVERIFY(!memo->isVisible());
    }

    void quitter_le_graphe_unique_montre_les_cinq() {
        auto s = session_remplie(8);
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        // Five stacked charts have no depth to show: 3D is offered for one chart only.
        QVERIFY(!controle<QCheckBox>(&g, "CheckBox_3d")->isEnabled());
        controle<QAbstractButton>(&g, "CheckBox3")->click();
        for (int k = 1; k <= 5; ++k) QCOMPARE(g.graphe(k)->isVisible(), k == 3);
        QVERIFY(controle<QCheckBox>(&g, "CheckBox_3d")->isEnabled());
        QVERIFY(!controle<QCheckBox>(&g, "CheckBox_3d")->isChecked());
        QVERIFY(controle<QAbstractButton>(&g, "Button_pp")->isEnabled());
        controle<QAbstractButton>(&g, "Button_pp")->click();
        QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
        QCOMPARE(controle<QAbstractButton>(&g, "Button_pp")->text(), QStringLiteral("OK"));

        // The 3D view takes the chart's place and its track bars show.
        controle<QCheckBox>(&g, "CheckBox_3d")->click();
        QVERIFY(controle<Vue3D>(&g, "Vue3D")->isVisible());
        QVERIFY(controle<QSlider>(&g, "TrackBar2")->isVisible());
        QVERIFY(!g.graphe(3)->isVisible());
        // Its date axis is labelled as the charts label theirs.
        const QStringList dates = controle<Vue3D>(&g, "Vue3D")->etiquettes_abscisses();
        QCOMPARE(dates.size(), 6);
        for (const QString& d : dates)
            QVERIFY2(QDate::fromString(d, QStringLiteral("dd-MM-yyyy")).isValid(), qPrintable(d));

        controle<QAbstractButton>(&g, "CheckBox3")->click();
        for (int k = 1; k <= 5; ++k) QVERIFY(g.graphe(k)->isVisible());
        QVERIFY(!controle<Vue3D>(&g, "Vue3D")->isVisible());
        QVERIFY(!controle<QAbstractButton>(&g, "Button_pp")->isEnabled());
        // Back to five charts: flat curves with their markers, the 3D box not offered.
        QVERIFY(!controle<QCheckBox>(&g, "CheckBox_3d")->isEnabled());
        const auto series = g.graphe(1)->chart()->series();
        QVERIFY(!series.isEmpty());
        QVERIFY(!static_cast<QLineSeries*>(series.front())->lightMarker().isNull());
    }

    void cocher_toutes_les_colonnes_redispatche() {
        auto s = session_remplie(8);
        s->description.suite_coche_liste_graph = "1,;;;;;";
        FenetreGraphique g(*s, *dialogue);
        g.ouvrir();
        dialogue->attendre_question(Reponse::oui);
        controle<QAbstractButton>(&g, "Button_toute_col_coche")->click();
        QCOMPARE(
            dialogue->vus.back().texte,
            std::string(
                " cocher toutes les colonnes en les  \n dispatchant sur les 5 graphiques ? \n"));
        QCOMPARE(dialogue->ids.back(), IdMessage::dispatcher_colonnes);
        QCOMPARE(s->description.suite_coche_liste_graph, std::string("0,5,;1,6,;2,7,;3,8,;4,;"));
    }

    // The window fits the screen's free area whatever its size, and Escape closes it.
    void tient_dans_l_ecran_et_echap_la_ferme() {
        auto f = fenetre_principale();
        FenetreGraphique* g = apres_traitement(*f);
        const QRect libre = g->screen()->availableGeometry();
        QVERIFY2(libre.contains(g->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 dans %3x%4")
                                .arg(g->frameGeometry().width())
                                .arg(g->frameGeometry().height())
                                .arg(libre.width())
                                .arg(libre.height())));
        for (int k = 1; k <= 5; ++k) QVERIFY(g->rect().contains(g->graphe(k)->geometry()));
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!g->isVisible());
        QVERIFY(f->isVisible());
    }

    // The date axis never shows one label twice: its format follows the span shown.
    void l_axe_des_dates_ne_repete_pas_ses_etiquettes_data() {
        QTest::addColumn<int>("abscisse");  // RadioGroup_abscisse_<n>
        QTest::addColumn<int>("heures");    // the span zoomed to, from the first date
        QTest::newRow("jj-mm-aaaa sur 6 heures") << 1 << 6;
        QTest::newRow("jj-mm-aaaa sur toute la période") << 1 << 0;
        QTest::newRow("mmm-aaaa sur toute la période") << 3 << 0;
        QTest::newRow("hh:mm sur 4 jours") << 2 << 96;
        QTest::newRow("jj-mm-aaaa hh:mm sur 2 minutes") << 0 << -2;
    }
    void l_axe_des_dates_ne_repete_pas_ses_etiquettes() {
        QFETCH(int, abscisse);
        QFETCH(int, heures);
        auto f = fenetre_principale();
        FenetreGraphique* g = apres_traitement(*f);
        controle<QAbstractButton>(
            g, qPrintable(QStringLiteral("RadioGroup_abscisse_%1").arg(abscisse)))
            ->click();
        auto* axe =
            qobject_cast<QDateTimeAxis*>(g->graphe(1)->chart()->axes(Qt::Horizontal).front());
        QVERIFY(axe);
        if (heures != 0) {
            const QDateTime debut = axe->min();
            axe->setRange(debut,
                          heures > 0 ? debut.addSecs(3600 * heures) : debut.addSecs(-60 * heures));
        }
        const int n = axe->tickCount();
        const qint64 t0 = axe->min().toMSecsSinceEpoch();
        const qint64 ecart = axe->max().toMSecsSinceEpoch() - t0;
        QStringList etiquettes;
        for (int i = 0; i < n; ++i)
            etiquettes
                << QDateTime::fromMSecsSinceEpoch(t0 + ecart * i / (n - 1)).toString(axe->format());
        const QStringList toutes = etiquettes;
        etiquettes.removeDuplicates();
        QVERIFY2(etiquettes.size() == n, qPrintable(toutes.join(QLatin1String(" | "))));
    }

    void traitement_sans_mesure() {
        auto f = fenetre_principale();
        // A period the example does not cover: the run reads no measurement line.
        controle<QDateEdit>(f.get(), "DatePicker_deb")->setDate(QDate(2020, 1, 1));
        controle<QDateEdit>(f.get(), "DatePicker_fin")->setDate(QDate(2020, 1, 2));
        controle<QAbstractButton>(f.get(), "SpeedButton_lister")->click();
        controle<QAbstractButton>(f.get(), "SpeedButton_traiter_fichier")->click();
        QCOMPARE(f->session().extraction.nb_lignes_extraites, 0LL);
        auto* bouton = controle<QToolButton>(f.get(), "SpeedButton_graphique");
        QVERIFY(bouton->isEnabled());
        bouton->click();
        QCOMPARE(dialogue->vus.back().texte,
                 fr(" aucune donnée, vérifier la période et le traitement..."));
        QCOMPARE(dialogue->ids.back(), IdMessage::graphe_sans_donnee);
        QVERIFY(!f->session().en_demarrage);
        auto* g = f->findChild<FenetreGraphique*>();
        // One message, and no window left behind it.
        QCOMPARE(
            std::count(dialogue->ids.begin(), dialogue->ids.end(), IdMessage::graphe_sans_donnee),
            1);
        QVERIFY(!g->isVisible());
        for (int k = 1; k <= 5; ++k)
            for (const SerieGraphe& serie : g->donnees(k).series) QVERIFY(serie.segments.empty());
    }
};

QTEST_MAIN(FenetreGraphiqueTest)
#include "fenetre_graphique_test.moc"

// The 3D view as a user sees it: gaps break the ribbons, the track bars move the picture,
// the first series stands in front, and thinning a long series keeps its extremes.
#include "ui/vue_3d.h"

#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace tarvo;

namespace {

constexpr double trou = std::numeric_limits<double>::quiet_NaN();

Vue3D::Serie serie(const QString& nom, std::vector<QPointF> points) {
    return {nom, QColor(0, 0, 255), std::move(points)};
}

std::vector<QPointF> rampe(int n) {
    std::vector<QPointF> pts;
    for (int k = 0; k < n; ++k) pts.emplace_back(k, k % 7);
    return pts;
}

std::pair<double, double> bornes_y(const std::vector<QPolygonF>& morceaux) {
    double bas = std::numeric_limits<double>::infinity(), haut = -bas;
    for (const auto& m : morceaux) {
        for (const QPointF& p : m) {
            bas = std::min(bas, p.y());
            haut = std::max(haut, p.y());
        }
    }
    return {bas, haut};
}

}  // namespace

class Vue3DTest : public QObject {
    Q_OBJECT

private slots:
    void un_trou_coupe_le_ruban() {
        Vue3D vue;
        vue.resize(600, 400);
        auto pts = rampe(10);
        pts[4].setY(trou);
        pts[5].setY(trou);
        vue.definir_series({serie("a", pts)});
        const auto morceaux = vue.trace(0);
        QCOMPARE(morceaux.size(), std::size_t{2});
        QCOMPARE(morceaux[0].size(), 4);
        QCOMPARE(morceaux[1].size(), 4);
    }

    void les_barres_deplacent_l_image_data() {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("elevation");
        QTest::newRow("rotation au minimum") << 180 << 360;
        QTest::newRow("rotation au milieu") << 270 << 360;
        QTest::newRow("elevation au minimum") << 360 << 180;
        QTest::newRow("elevation au milieu") << 360 << 270;
    }
    void les_barres_deplacent_l_image() {
        QFETCH(int, rotation);
        QFETCH(int, elevation);
        Vue3D vue;
        vue.resize(600, 400);
        vue.definir_series({serie("a", rampe(20)), serie("b", rampe(20))});
        const auto avant = vue.trace(1);
        vue.definir_rotation(rotation);
        vue.definir_elevation(elevation);
        const auto apres = vue.trace(1);
        QCOMPARE(apres.size(), avant.size());
        QVERIFY(apres[0] != avant[0]);
    }

    // Same data in both series: the first one must lie lower on screen (nearer the viewer)
    // for every setting of the bars.
    void la_premiere_serie_est_devant_data() {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("elevation");
        QTest::addColumn<int>("profondeur");
        QTest::newRow("reglages initiaux") << 360 << 360 << 30;
        QTest::newRow("tournee a gauche") << 180 << 360 << 30;
        QTest::newRow("vue de haut, profonde") << 270 << 180 << 100;
    }
    void la_premiere_serie_est_devant() {
        QFETCH(int, rotation);
        QFETCH(int, elevation);
        QFETCH(int, profondeur);
        Vue3D vue;
        vue.resize(600, 400);
        vue.definir_series({serie("devant", rampe(20)), serie("derriere", rampe(20))});
        vue.definir_rotation(rotation);
        vue.definir_elevation(elevation);
        vue.definir_profondeur(profondeur);
        const QPolygonF devant = vue.trace(0)[0], derriere = vue.trace(1)[0];
        for (int k = 0; k < devant.size(); ++k) QVERIFY(devant[k].y() > derriere[k].y() + 1.0);
    }

    // A spike up and one down among 100,000 points must survive, at the same height as in
    // a short series with the same extremes.
    void l_amincissement_garde_les_extremes() {
        std::vector<QPointF> longue;
        for (int k = 0; k < 100000; ++k) longue.emplace_back(k, std::sin(k * 0.01));
        longue[53211].setY(7.5);
        longue[77777].setY(-4.25);
        const std::vector<QPointF> courte{{0, 0}, {53211, 7.5}, {77777, -4.25}, {99999, 0}};

        Vue3D vue_longue, vue_courte;
        for (Vue3D* v : {&vue_longue, &vue_courte}) {
            v->resize(500, 300);
            v->definir_rotation(270);  // abscissa straight across: height depends on value alone
        }
        vue_longue.definir_series({serie("longue", longue)});
        vue_courte.definir_series({serie("courte", courte)});

        const auto morceaux = vue_longue.trace(0);
        QCOMPARE(morceaux.size(), std::size_t{1});
        QVERIFY(morceaux[0].size() <= 4 * 500);
        const auto [bas, haut] = bornes_y(morceaux);
        const auto [bas_attendu, haut_attendu] = bornes_y(vue_courte.trace(0));
        QVERIFY(std::abs(bas - bas_attendu) < 1e-6);
        QVERIFY(std::abs(haut - haut_attendu) < 1e-6);
    }

    void le_rendu_peint_les_rubans() {
        Vue3D vue;
        vue.resize(400, 300);
        vue.definir_series({{"a", QColor(255, 0, 0), rampe(30)}});
        QImage image(vue.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        vue.render(&image);
        int rouges = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++rouges;
            }
        }
        QVERIFY2(rouges > 500, qPrintable(QString::number(rouges)));
    }
};

QTEST_MAIN(Vue3DTest)
#include "vue_3d_test.moc"

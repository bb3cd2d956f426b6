#include "ui/graphe.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "formats/date_canonique.h"

namespace tarvo {

namespace {

// The legend runs along the top of each chart: beside it, it took a third of the width.
constexpr int hauteur_legende = 20;

constexpr std::array<std::array<int, 3>, 15> palette{{{0, 0, 255},
                                                      {255, 128, 64},
                                                      {0, 128, 0},
                                                      {128, 60, 0},
                                                      {128, 128, 192},
                                                      {156, 30, 174},
                                                      {0, 128, 64},
                                                      {80, 80, 149},
                                                      {168, 168, 0},
                                                      {0, 128, 192},
                                                      {236, 0, 0},
                                                      {240, 0, 240},
                                                      {106, 106, 106},
                                                      {100, 55, 80},
                                                      {0, 0, 0}}};

// The marker drawn at every point: a dot of one pixel, or a filled circle.
QImage marqueur(const QColor& couleur, int taille) {
    QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (taille <= 1) {
        image.setPixelColor(0, 0, couleur);
        return image;
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(couleur);
    p.drawEllipse(QRectF(0, 0, taille, taille));
    return image;
}

// The points of `tous` (ascending x) within [x0, x1], and one more on each side so that the
// line reaches the edges; beyond two points per pixel column only the lowest and highest
// of each column are kept, in their order: the same picture with far fewer segments.
QList<QPointF> reduire(const QList<QPointF>& tous, double x0, double x1, int colonnes) {
    auto debut = std::lower_bound(tous.begin(), tous.end(), x0,
                                  [](QPointF p, double x) { return p.x() < x; });
    auto fin = std::upper_bound(tous.begin(), tous.end(), x1,
                                [](double x, QPointF p) { return x < p.x(); });
    if (debut != tous.begin()) --debut;
    if (fin != tous.end()) ++fin;
    if (debut == fin || x1 <= x0) return QList<QPointF>(debut, fin);
    const double largeur = (x1 - x0) / colonnes;
    const double couvertes = (std::prev(fin)->x() - debut->x()) / largeur + 2;
    if (static_cast<double>(fin - debut) <= 2 * couvertes) return QList<QPointF>(debut, fin);
    QList<QPointF> r;
    r.reserve(static_cast<qsizetype>(2 * couvertes) + 4);
    for (auto i = debut; i != fin;) {
        const double colonne = std::floor((i->x() - x0) / largeur);
        auto bas = i, haut = i, j = i;
        for (; j != fin && std::floor((j->x() - x0) / largeur) == colonne; ++j) {
            if (j->y() < bas->y()) bas = j;
            if (j->y() > haut->y()) haut = j;
        }
        r.append(bas < haut ? *bas : *haut);
        if (bas != haut) r.append(bas < haut ? *haut : *bas);
        i = j;
    }
    return r;
}

}  // namespace

QColor couleur_palette(int indice, bool claire) {
    const auto& c = palette.at(static_cast<std::size_t>(indice % 15));
    const auto clair = [&](int v) { return claire ? std::min(v + 170, 255) : v; };
    return {clair(c[0]), clair(c[1]), clair(c[2])};
}

qint64 millisecondes_axe(double date) {
    // The axis shows local time: the wall-clock timestamp is moved by the local offset of
    // its day, looked up once per day since whole series share a handful of days.
    static double jour_cache = std::numeric_limits<double>::quiet_NaN();
    static qint64 decalage = 0;
    const double jour = std::floor(date);
    const qint64 utc = std::llround((date - serie_epoque_unix) * jour_en_millisecondes);
    if (jour != jour_cache) {
        jour_cache = jour;
        const QDateTime d = QDateTime::fromMSecsSinceEpoch(utc, Qt::UTC);
        decalage = QDateTime(d.date(), d.time(), Qt::LocalTime).offsetFromUtc() * qint64{1000};
    }
    return utc - decalage;
}

QString format_dates_axe(const QString& choisi, const QDateTime& debut, const QDateTime& fin,
                         int nb_graduations) {
    QStringList formats{choisi};
    if (!choisi.contains(QLatin1String("hh"))) formats << QStringLiteral("dd-MM-yyyy");
    formats << QStringLiteral("dd-MM-yyyy hh:mm") << QStringLiteral("dd-MM-yyyy hh:mm:ss");
    const qint64 t0 = debut.toMSecsSinceEpoch();
    const qint64 ecart = fin.toMSecsSinceEpoch() - t0;
    const int n = std::max(2, nb_graduations);
    for (const QString& format : formats) {
        QStringList etiquettes;
        for (int i = 0; i < n; ++i)
            etiquettes << QDateTime::fromMSecsSinceEpoch(t0 + ecart * i / (n - 1)).toString(format);
        etiquettes.removeDuplicates();
        if (etiquettes.size() == n) return format;
    }
    return formats.back();
}

Graphe::Graphe(const char* nom, QWidget* parent) : QChartView(parent) {
    setObjectName(nom);
    setRubberBand(QChartView::RectangleRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
    viewport()->setMouseTracking(true);
    QChart* c = chart();
    c->setBackgroundBrush(Qt::white);
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(false);
    c->setMargins(QMargins(4, hauteur_legende, 12, 1));
    c->legend()->setAlignment(Qt::AlignTop);
    c->legend()->detachFromChart();
    c->legend()->setBackgroundVisible(false);
    c->legend()->setShowToolTips(true);
    setBackgroundBrush(Qt::white);
    // A wider plot than the points were thinned for needs them again.
    connect(c, &QChart::plotAreaChanged, this, [this](const QRectF& zone) {
        if (static_cast<int>(zone.width()) > largeur_echantillon_) reechantillonner();
    });
}

QLineSeries* Graphe::nouvelle_serie(const QString& titre, const QColor& couleur,
                                    const ReglagesTrace& reglages, bool premiere) {
    auto* s = new QLineSeries;
    s->setName(titre);
    s->setPen(QPen(Qt::black, 1));
    if (!reglages.trois_d) {
        s->setLightMarker(marqueur(couleur, reglages.taille_point));
        s->setMarkerSize(reglages.taille_point);
    }
    s->setPointLabelsVisible(reglages.valeurs);
    s->setPointLabelsFormat(QStringLiteral("@yPoint"));
    s->setPointLabelsClipping(true);
    s->setProperty("couleur", couleur);
    chart()->addSeries(s);
    // The runs after the first share its legend entry.
    const auto marques = chart()->legend()->markers(s);
    for (QLegendMarker* m : marques) {
        m->setVisible(premiere);
        m->setBrush(couleur);
        m->setPen(QPen(couleur.darker(130)));
    }
    connect(s, &QLineSeries::clicked, this, [this, s, titre](const QPointF& p) {
        // The nearest drawn point of that run, not the spot on the line.
        QPointF proche = p;
        double meilleur = std::numeric_limits<double>::max();
        const QPointF ici = chart()->mapToPosition(p, s);
        for (const QPointF& q : s->points()) {
            const QPointF d = chart()->mapToPosition(q, s) - ici;
            if (const double e = d.x() * d.x() + d.y() * d.y(); e < meilleur) {
                meilleur = e;
                proche = q;
            }
        }
        const QPoint position =
            mapToGlobal(mapFromScene(chart()->mapToScene(chart()->mapToPosition(proche, s))));
        emit point_clique(titre, proche, position);
    });
    return s;
}

void Graphe::tracer(const DonneesGraphe& donnees, const ReglagesTrace& reglages) {
    QChart* c = chart();
    c->zoomReset();
    c->removeAllSeries();
    for (QAbstractAxis* a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }
    morceaux_.clear();
    complets_.clear();
    if (donnees.series.empty()) return;  // a blank white area, no axes

    QAbstractAxis* axe_x = nullptr;
    if (reglages.format_dates.isEmpty()) {
        auto* a = new QValueAxis;
        a->setLabelFormat(QStringLiteral("%.0f"));
        axe_x = a;
    } else {
        axe_x = new QDateTimeAxis;
    }
    format_dates_ = reglages.format_dates;
    auto* axe_y = new QValueAxis;
    c->addAxis(axe_x, Qt::AlignBottom);
    c->addAxis(axe_y, Qt::AlignLeft);

    const bool dates = !reglages.format_dates.isEmpty();
    const auto x_axe = [dates](double x) {
        return dates ? static_cast<double>(millisecondes_axe(x)) : x;
    };
    // The axes take their ranges before any series is attached, so that each series lays
    // out its points once.
    double x_min = std::numeric_limits<double>::max(),
           x_max = std::numeric_limits<double>::lowest();
    for (const SerieGraphe& serie : donnees.series)
        for (const auto& segment : serie.segments) {
            x_min = std::min(x_min, x_axe(segment.front().x));
            x_max = std::max(x_max, x_axe(segment.back().x));
        }
    if (x_max < x_min) x_min = x_max = 0;
    if (x_max == x_min) {
        x_min -= 1;
        x_max += 1;
    }
    const auto valeur_x = [dates](double x) {
        return dates ? QVariant(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x)))
                     : QVariant(x);
    };
    axe_x->setRange(valeur_x(x_min), valeur_x(x_max));
    if (donnees.a_des_points()) axe_y->setRange(donnees.axe_min, donnees.axe_max);
    x_trace_ = QPointF(x_min, x_max);
    y_trace_ = QPointF(axe_y->min(), axe_y->max());

    complets_.clear();
    for (const SerieGraphe& serie : donnees.series) {
        const QString titre =
            QString::fromLatin1(serie.titre.data(), static_cast<qsizetype>(serie.titre.size()));
        const QColor couleur = couleur_palette(serie.couleur, reglages.trois_d);
        QList<QLineSeries*> liste;
        QList<QPointF> isoles;
        const auto ajouter = [&](QList<QPointF> points, bool trait) {
            QLineSeries* s = nouvelle_serie(titre, couleur, reglages, liste.isEmpty());
            if (!trait) s->setPen(Qt::NoPen);
            s->attachAxis(axe_x);
            s->attachAxis(axe_y);
            complets_.emplace_back(s, std::move(points));
            liste.append(s);
        };
        for (const auto& segment : serie.segments) {
            QList<QPointF> points;
            points.reserve(static_cast<qsizetype>(segment.size()));
            for (const PointGraphe& p : segment) points.append(QPointF(x_axe(p.x), p.y));
            if (points.size() == 1)
                isoles.append(points.front());
            else
                ajouter(std::move(points), true);
        }
        // Lone points between two gaps have no line: one series of markers only.
        if (!isoles.isEmpty() || liste.isEmpty()) ajouter(std::move(isoles), false);
        morceaux_.push_back(liste);
    }
    largeur_echantillon_ = 0;
    placer_legende();
    reechantillonner();
    if (auto* d = qobject_cast<QDateTimeAxis*>(axe_x)) {
        const auto formater = [this, d] {
            d->setFormat(format_dates_axe(format_dates_, d->min(), d->max(), d->tickCount()));
        };
        formater();
        connect(d, &QDateTimeAxis::rangeChanged, this, [this, formater] {
            formater();
            reechantillonner();
        });
    } else
        connect(static_cast<QValueAxis*>(axe_x), &QValueAxis::rangeChanged, this,
                [this] { reechantillonner(); });
    axe_x->setVisible(reglages.axes);
    axe_y->setVisible(reglages.axes);
    for (QAbstractAxis* a : {axe_x, static_cast<QAbstractAxis*>(axe_y)}) {
        QPen trait = a->linePen();
        trait.setWidth(1);
        a->setLinePen(trait);
    }
}

double Graphe::x_visible_min() const {
    const QAbstractAxis* x = chart()->axes(Qt::Horizontal).front();
    if (const auto* d = qobject_cast<const QDateTimeAxis*>(x))
        return static_cast<double>(d->min().toMSecsSinceEpoch());
    return static_cast<const QValueAxis*>(x)->min();
}

double Graphe::x_visible_max() const {
    const QAbstractAxis* x = chart()->axes(Qt::Horizontal).front();
    if (const auto* d = qobject_cast<const QDateTimeAxis*>(x))
        return static_cast<double>(d->max().toMSecsSinceEpoch());
    return static_cast<const QValueAxis*>(x)->max();
}

void Graphe::reechantillonner() {
    if (complets_.empty()) return;
    largeur_echantillon_ = std::max(100, static_cast<int>(chart()->plotArea().width()));
    const double x0 = x_visible_min(), x1 = x_visible_max();
    for (auto& [serie, points] : complets_)
        serie->replace(reduire(points, x0, x1, largeur_echantillon_));
}

QList<QLineSeries*> Graphe::morceaux(int s) const {
    return morceaux_.at(static_cast<std::size_t>(s));
}

double Graphe::axe_min() const {
    const auto axes = chart()->axes(Qt::Vertical);
    return axes.isEmpty() ? 0 : static_cast<QValueAxis*>(axes.front())->min();
}

double Graphe::axe_max() const {
    const auto axes = chart()->axes(Qt::Vertical);
    return axes.isEmpty() ? 0 : static_cast<QValueAxis*>(axes.front())->max();
}

void Graphe::definir_axe_vertical(double minimum, double maximum) {
    const auto axes = chart()->axes(Qt::Vertical);
    if (!axes.isEmpty() && minimum < maximum) axes.front()->setRange(minimum, maximum);
}

void Graphe::annuler_zoom() {
    const auto horizontaux = chart()->axes(Qt::Horizontal);
    if (horizontaux.isEmpty()) return;
    QAbstractAxis* x = horizontaux.front();
    if (qobject_cast<QDateTimeAxis*>(x))
        x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x_trace_.x())),
                    QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x_trace_.y())));
    else if (x_trace_.y() > x_trace_.x())
        x->setRange(x_trace_.x(), x_trace_.y());
    definir_axe_vertical(y_trace_.x(), y_trace_.y());
}

void Graphe::mousePressEvent(QMouseEvent* evenement) {
    origine_ = dernier_ = evenement->position().toPoint();
    if (evenement->button() == Qt::RightButton) {
        deplacement_ = true;
        emit clic_droit();
        evenement->accept();
        return;
    }
    // The items see the press too, so that a click on a point still reaches its series.
    QGraphicsView::mousePressEvent(evenement);
    if (chart()->plotArea().contains(evenement->position())) QChartView::mousePressEvent(evenement);
}

void Graphe::mouseMoveEvent(QMouseEvent* evenement) {
    emit souris_deplacee(evenement->globalPosition().toPoint());
    if (deplacement_) {
        const QPoint d = evenement->position().toPoint() - dernier_;
        dernier_ = evenement->position().toPoint();
        chart()->scroll(-d.x(), d.y());
        evenement->accept();
        return;
    }
    QChartView::mouseMoveEvent(evenement);
}

void Graphe::mouseReleaseEvent(QMouseEvent* evenement) {
    if (evenement->button() == Qt::RightButton) {
        deplacement_ = false;
        evenement->accept();
        return;
    }
    // QChartView makes its band itself, on the first press, and keeps it private: found here,
    // once per click.
    auto* bande = findChild<QRubberBand*>();
    const QPoint fin = evenement->position().toPoint();
    const bool rectangle = (fin - origine_).manhattanLength() > 4;
    if (bande && bande->isVisible() && rectangle && fin.y() > origine_.y()) {
        QChartView::mouseReleaseEvent(evenement);  // zoom into the rectangle
        return;
    }
    if (bande) bande->hide();
    // A rectangle dragged upwards undoes the zoom; a click goes to the point under it.
    if (rectangle && fin.y() < origine_.y()) annuler_zoom();
    QGraphicsView::mouseReleaseEvent(evenement);
}

void Graphe::mouseDoubleClickEvent(QMouseEvent* evenement) {
    annuler_zoom();
    evenement->accept();
}

void Graphe::resizeEvent(QResizeEvent* evenement) {
    QChartView::resizeEvent(evenement);
    placer_legende();
}

// The legend stands in the top margin that every chart keeps for it, so that the stacked
// charts share their edges, their dates line up and the plots take the whole width.
void Graphe::placer_legende() {
    const QSizeF taille = chart()->size();
    chart()->legend()->setGeometry(
        QRectF(40, 0, std::max(20.0, taille.width() - 48), hauteur_legende));
    chart()->legend()->update();
}

void Graphe::wheelEvent(QWheelEvent* evenement) {
    emit roulette(evenement->angleDelta().y(), evenement->globalPosition().toPoint());
    evenement->accept();
}

}  // namespace tarvo

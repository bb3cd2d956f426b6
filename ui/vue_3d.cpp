// Drawn with QPainter alone so that it renders the same without OpenGL (offscreen, Xvfb).
#include "ui/vue_3d.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "ui/conversions_qt.h"

namespace tarvo {

namespace {

constexpr double largeur_monde = 1.0;
constexpr double hauteur_monde = 0.6;
// Share of a series' depth slot filled by its ribbon; the rest keeps neighbours apart.
constexpr double part_ruban = 0.7;
constexpr double degres = 3.14159265358979323846 / 180.0;
constexpr int marge = 10;
const QColor couleur_paroi(238, 238, 238);
const QColor couleur_grille(200, 200, 200);
const QColor couleur_axe(90, 90, 90);
// Labelled points along the abscissa: the ends and four between.
constexpr int nb_etiquettes_x = 5;

struct Graduation {
    double min;
    double max;
    double pas;
};

// Steps of 1, 2 or 5 times a power of ten, so that the scale reads at a glance.
Graduation graduer(double bas, double haut) {
    if (!(haut > bas)) {
        const double ecart = bas == 0.0 ? 1.0 : std::abs(bas) * 0.1;
        bas -= ecart;
        haut += ecart;
    }
    const double brut = (haut - bas) / 6.0;
    const double puissance = std::pow(10.0, std::floor(std::log10(brut)));
    double pas = puissance * 10.0;
    for (double facteur : {1.0, 2.0, 5.0}) {
        if (puissance * facteur >= brut) {
            pas = puissance * facteur;
            break;
        }
    }
    return {std::floor(bas / pas) * pas, std::ceil(haut / pas) * pas, pas};
}

bool valide(const QPointF& p) {
    return std::isfinite(p.y());
}

}  // namespace

struct Vue3D::Projection {
    double cos_l = 1.0, sin_l = 0.0;  // turn around the vertical axis
    double cos_e = 1.0, sin_e = 0.0;  // tilt towards looking down
    double echelle = 1.0;
    QPointF origine;  // where the world's origin lands once fitted
    double profondeur = 0.3;
    double tranche = 0.3;  // depth slot of one series

    // Orthographic, y upwards, before fitting.
    QPointF brut(double x, double y, double z) const {
        const double profond = -x * sin_l + z * cos_l;
        return {x * cos_l + z * sin_l, y * cos_e + profond * sin_e};
    }
    QPointF ecran(double x, double y, double z) const {
        const QPointF b = brut(x, y, z);
        return {origine.x() + b.x() * echelle, origine.y() - b.y() * echelle};
    }
};

Vue3D::Vue3D(QWidget* parent) : QWidget(parent) {
    setObjectName("Vue3D");
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Vue3D::sizeHint() const {
    return {640, 400};
}
QSize Vue3D::minimumSizeHint() const {
    return {200, 150};
}

void Vue3D::definir_series(std::vector<Serie> series) {
    series_ = std::move(series);
    x_min_ = std::numeric_limits<double>::infinity();
    x_max_ = -x_min_;
    double bas = x_min_, haut = x_max_;
    for (const Serie& s : series_) {
        for (const QPointF& p : s.points) {
            x_min_ = std::min(x_min_, p.x());
            x_max_ = std::max(x_max_, p.x());
            if (valide(p)) {
                bas = std::min(bas, p.y());
                haut = std::max(haut, p.y());
            }
        }
    }
    if (!std::isfinite(x_min_)) x_min_ = 0.0, x_max_ = 1.0;
    if (!(x_max_ > x_min_)) x_min_ -= 0.5, x_max_ += 0.5;
    if (!std::isfinite(bas)) bas = 0.0, haut = 1.0;
    const Graduation g = graduer(bas, haut);
    y_min_ = g.min;
    y_max_ = g.max;
    decimer();
    update();
}

void Vue3D::definir_format_abscisses(const QString& format) {
    format_x_ = format;
    update();
}

QStringList Vue3D::etiquettes_abscisses() const {
    QStringList r;
    for (int k = 0; k <= nb_etiquettes_x; ++k) {
        const double x = x_min_ + (x_max_ - x_min_) * k / nb_etiquettes_x;
        r << (format_x_.isEmpty() ? QString::number(x, 'g', 6) : date_qt(x).toString(format_x_));
    }
    return r;
}

void Vue3D::definir_profondeur(int valeur) {
    profondeur_ = std::clamp(valeur, 30, 100);
    update();
}
void Vue3D::definir_rotation(int valeur) {
    rotation_ = std::clamp(valeur, 180, 360);
    update();
}
void Vue3D::definir_zoom(int valeur) {
    zoom_ = std::clamp(valeur, 50, 100);
    update();
}
void Vue3D::definir_elevation(int valeur) {
    elevation_ = std::clamp(valeur, 180, 360);
    update();
}

void Vue3D::resizeEvent(QResizeEvent* event) {
    if (event->size().width() != event->oldSize().width()) decimer();
    QWidget::resizeEvent(event);
}

// Beyond two points per pixel column nothing more can be seen, so each column keeps its
// lowest and highest point (and a gap when it holds one) in their original order.
void Vue3D::decimer() {
    reduites_.clear();
    const int colonnes = std::max(width(), 100);
    for (const Serie& s : series_) {
        const auto& pts = s.points;
        if (pts.size() <= static_cast<std::size_t>(2 * colonnes)) {
            reduites_.push_back(pts);
            continue;
        }
        std::vector<QPointF> garde;
        garde.reserve(4 * static_cast<std::size_t>(colonnes));
        const double par_colonne = colonnes / (x_max_ - x_min_);
        constexpr std::size_t aucun = std::numeric_limits<std::size_t>::max();
        std::size_t i_min = aucun, i_max = aucun, i_trou = aucun;
        auto vider = [&] {
            std::array<std::size_t, 3> indices{i_min, i_max, i_trou};
            std::sort(indices.begin(), indices.end());
            for (std::size_t k = 0; k < indices.size(); ++k) {
                if (indices[k] != aucun && (k == 0 || indices[k] != indices[k - 1])) {
                    garde.push_back(pts[indices[k]]);
                }
            }
            i_min = i_max = i_trou = aucun;
        };
        long colonne_courante = -1;
        for (std::size_t k = 0; k < pts.size(); ++k) {
            const long colonne = std::clamp(static_cast<long>((pts[k].x() - x_min_) * par_colonne),
                                            0L, static_cast<long>(colonnes - 1));
            if (colonne != colonne_courante) {
                vider();
                colonne_courante = colonne;
            }
            if (!valide(pts[k])) {
                if (i_trou == aucun) i_trou = k;
                continue;
            }
            if (i_min == aucun || pts[k].y() < pts[i_min].y()) i_min = k;
            if (i_max == aucun || pts[k].y() > pts[i_max].y()) i_max = k;
        }
        vider();
        reduites_.push_back(std::move(garde));
    }
}

namespace {

std::vector<std::pair<double, QString>> etiquettes(double bas, double haut) {
    const Graduation g = graduer(bas, haut);
    std::vector<std::pair<double, QString>> resultat;
    const int nombre = static_cast<int>(std::lround((g.max - g.min) / g.pas));
    for (int k = 0; k <= nombre; ++k) {
        double v = g.min + k * g.pas;
        if (std::abs(v) < g.pas * 1e-9) v = 0.0;
        resultat.emplace_back(v, QString::number(v, 'g', 8));
    }
    return resultat;
}

// Legend entries flow in rows across the top; returns each entry's box.
std::vector<QRect> placer_legende(const std::vector<Vue3D::Serie>& series, const QFontMetrics& fm,
                                  int largeur) {
    std::vector<QRect> boites;
    const int hauteur = fm.height();
    int x = marge, y = 6;
    for (const auto& s : series) {
        const int w = hauteur + 4 + fm.horizontalAdvance(s.nom);
        if (x > marge && x + w > largeur - marge) {
            x = marge;
            y += hauteur + 4;
        }
        boites.emplace_back(x, y, w, hauteur);
        x += w + 16;
    }
    return boites;
}

}  // namespace

QRectF Vue3D::zone_trace() const {
    const QFontMetrics fm(font());
    int haut = 8;
    if (const auto boites = placer_legende(series_, fm, width()); !boites.empty()) {
        haut = boites.back().bottom() + 10;
    }
    int gauche = 0;
    for (const auto& e : etiquettes(y_min_, y_max_))
        gauche = std::max(gauche, fm.horizontalAdvance(e.second));
    gauche += 2 * marge;
    return QRectF(gauche, haut, std::max(1, width() - gauche - marge),
                  std::max(1, height() - haut - marge));
}

Vue3D::Projection Vue3D::projection() const {
    Projection p;
    const double lacet = (30.0 - (360 - rotation_) / 3.0) * degres;                // 30° .. -30°
    const double elevation = (20.0 + (360 - elevation_) * 40.0 / 180.0) * degres;  // 20° .. 60°
    p.cos_l = std::cos(lacet);
    p.sin_l = std::sin(lacet);
    p.cos_e = std::cos(elevation);
    p.sin_e = std::sin(elevation);
    p.profondeur = largeur_monde * profondeur_ / 100.0;
    p.tranche = p.profondeur / static_cast<double>(std::max<std::size_t>(1, series_.size()));

    double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, y0 = x0, y1 = -x0;
    for (double x : {0.0, largeur_monde}) {
        for (double y : {0.0, hauteur_monde}) {
            for (double z : {0.0, p.profondeur}) {
                const QPointF b = p.brut(x, y, z);
                x0 = std::min(x0, b.x());
                x1 = std::max(x1, b.x());
                y0 = std::min(y0, b.y());
                y1 = std::max(y1, b.y());
            }
        }
    }
    const QRectF zone = zone_trace();
    p.echelle = std::min(zone.width() / (x1 - x0), zone.height() / (y1 - y0)) * zoom_ / 100.0;
    const QPointF centre = zone.center();
    p.origine = {centre.x() - (x0 + x1) / 2.0 * p.echelle,
                 centre.y() + (y0 + y1) / 2.0 * p.echelle};
    return p;
}

std::vector<QPolygonF> Vue3D::trace(std::size_t i) const {
    std::vector<QPolygonF> morceaux;
    if (i >= reduites_.size()) return morceaux;
    const Projection p = projection();
    const double ex = largeur_monde / (x_max_ - x_min_), ey = hauteur_monde / (y_max_ - y_min_);
    const double z = static_cast<double>(i) * p.tranche;
    QPolygonF courant;
    for (const QPointF& pt : reduites_[i]) {
        if (!valide(pt)) {
            if (!courant.isEmpty()) morceaux.push_back(std::exchange(courant, {}));
            continue;
        }
        courant << p.ecran((pt.x() - x_min_) * ex, (pt.y() - y_min_) * ey, z);
    }
    if (!courant.isEmpty()) morceaux.push_back(courant);
    return morceaux;
}

void Vue3D::paintEvent(QPaintEvent*) {
    QPainter peintre(this);
    peintre.fillRect(rect(), Qt::white);
    const Projection p = projection();
    const double w = largeur_monde, h = hauteur_monde, d = p.profondeur;
    auto e = [&p](double x, double y, double z) { return p.ecran(x, y, z); };

    // Walls seen from inside: floor, back, and the side the depth recedes from.
    const double x_paroi = p.sin_l >= 0.0 ? 0.0 : w;
    peintre.setPen(couleur_grille);
    peintre.setBrush(couleur_paroi);
    peintre.drawPolygon(QPolygonF{{e(0, 0, 0), e(w, 0, 0), e(w, 0, d), e(0, 0, d)}});
    peintre.drawPolygon(QPolygonF{{e(0, 0, d), e(w, 0, d), e(w, h, d), e(0, h, d)}});
    peintre.drawPolygon(
        QPolygonF{{e(x_paroi, 0, 0), e(x_paroi, 0, d), e(x_paroi, h, d), e(x_paroi, h, 0)}});

    for (int k = 1; k < 10; ++k) peintre.drawLine(e(w * k / 10.0, 0, 0), e(w * k / 10.0, 0, d));
    for (std::size_t k = 1; k < series_.size(); ++k)
        peintre.drawLine(e(0, 0, k * p.tranche), e(w, 0, k * p.tranche));

    // The scale goes on whichever left edge of the box is leftmost on screen.
    const double z_echelle = e(0, 0, 0).x() <= e(0, 0, d).x() ? 0.0 : d;
    const QFontMetrics fm(font());
    const double ey = h / (y_max_ - y_min_);
    const auto graduations = etiquettes(y_min_, y_max_);
    const double ecart = p.cos_e * p.echelle * h / std::max<std::size_t>(1, graduations.size() - 1);
    const std::size_t saut =
        std::max(1L, std::lround(std::ceil(fm.height() / std::max(ecart, 1e-9))));
    for (std::size_t k = 0; k < graduations.size(); ++k) {
        const double y = (graduations[k].first - y_min_) * ey;
        peintre.setPen(couleur_grille);
        peintre.drawLine(e(0, y, d), e(w, y, d));
        peintre.drawLine(e(x_paroi, y, 0), e(x_paroi, y, d));
        if (k % saut != 0) continue;
        peintre.setPen(couleur_axe);
        const QPointF a = e(0, y, z_echelle);
        peintre.drawLine(a, a - QPointF(4, 0));
        const QRectF boite(0, a.y() - fm.height() / 2.0, a.x() - 6, fm.height());
        peintre.drawText(boite, Qt::AlignRight | Qt::AlignVCenter, graduations[k].second);
    }
    peintre.setPen(couleur_axe);
    peintre.drawLine(e(0, 0, z_echelle), e(0, h, z_echelle));
    peintre.drawLine(e(0, 0, 0), e(w, 0, 0));
    // The abscissas along the front edge, as the charts label theirs.
    const QStringList abscisses = etiquettes_abscisses();
    for (int k = 0; k <= nb_etiquettes_x; ++k) {
        const QPointF a = e(w * k / nb_etiquettes_x, 0, 0);
        peintre.drawLine(a, a + QPointF(0, 4));
        const QString& t = abscisses[k];
        const double lw = fm.horizontalAdvance(t);
        peintre.drawText(QRectF(a.x() - lw / 2.0, a.y() + 6, lw, fm.height()), Qt::AlignCenter, t);
    }

    // Painter's algorithm: the furthest ribbon first, and within a ribbon the far end first.
    const double ex = w / (x_max_ - x_min_);
    for (std::size_t i = reduites_.size(); i-- > 0;) {
        const auto& pts = reduites_[i];
        const QColor face = series_[i].couleur;
        const QColor dessous = face.darker(125);
        const QPen contour(face.darker(170));
        const double z0 = static_cast<double>(i) * p.tranche, z1 = z0 + p.tranche * part_ruban;
        const std::size_t n = pts.size();
        for (std::size_t r = 0; r < n; ++r) {
            const std::size_t k = p.sin_l >= 0.0 ? r : n - 1 - r;
            if (!valide(pts[k])) continue;
            const double xa = (pts[k].x() - x_min_) * ex, ya = (pts[k].y() - y_min_) * ey;
            const QPointF avant_a = e(xa, ya, z0), arriere_a = e(xa, ya, z1);
            peintre.setPen(contour);
            const bool debut = k == 0 || !valide(pts[k - 1]);
            const bool fin = k + 1 == n || !valide(pts[k + 1]);
            if (debut || fin) peintre.drawLine(avant_a, arriere_a);
            if (fin) continue;
            const double xb = (pts[k + 1].x() - x_min_) * ex, yb = (pts[k + 1].y() - y_min_) * ey;
            const std::array<QPointF, 4> quad{avant_a, e(xb, yb, z0), e(xb, yb, z1), arriere_a};
            // Which side of the band faces the viewer follows from the winding on screen.
            const QPointF u = quad[1] - quad[0], v = quad[3] - quad[0];
            const bool dessus = u.x() * v.y() - u.y() * v.x() <= 0.0;
            peintre.setPen(Qt::NoPen);
            peintre.setBrush(dessus ? face : dessous);
            peintre.drawPolygon(quad.data(), 4);
            peintre.setPen(contour);
            peintre.drawLine(quad[0], quad[1]);
            peintre.drawLine(quad[3], quad[2]);
        }
    }

    peintre.setBrush(Qt::NoBrush);
    const auto boites = placer_legende(series_, fm, width());
    for (std::size_t i = 0; i < boites.size(); ++i) {
        const QRect& b = boites[i];
        const QRect carre(b.left(), b.top() + 2, b.height() - 4, b.height() - 4);
        peintre.fillRect(carre, series_[i].couleur);
        peintre.setPen(series_[i].couleur.darker(170));
        peintre.drawRect(carre);
        peintre.setPen(series_[i].couleur.lightness() > 160 ? series_[i].couleur.darker(170)
                                                            : series_[i].couleur);
        peintre.drawText(b.adjusted(b.height() + 4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         series_[i].nom);
    }
}

}  // namespace tarvo

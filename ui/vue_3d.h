// The graph window's 3D view: each series drawn as a ribbon at its own depth, seen through a
// rotation and elevation of the viewer, with painted walls, a value scale and a legend.
#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstddef>
#include <vector>

namespace tarvo {

class Vue3D : public QWidget {
    Q_OBJECT
public:
    explicit Vue3D(QWidget* parent = nullptr);

    struct Serie {
        QString nom;
        QColor couleur;
        std::vector<QPointF> points;  // x = abscissa value (increasing), y = value; NaN y = gap
    };

    void definir_series(std::vector<Serie> series);
    // The abscissas as dates in this format (the charts' own), or as numbers when empty.
    void definir_format_abscisses(const QString& format);
    // The labels along the front edge as drawn now, for tests.
    QStringList etiquettes_abscisses() const;
    // The four settings take the track bars' own values and are clamped to their ranges.
    void definir_profondeur(
        int valeur);  // TrackBar1, 30..100 (default 30): depth, percent of the width
    void definir_rotation(
        int valeur);  // TrackBar2, 180..360 (default 360): turn around the vertical axis
    void definir_zoom(int valeur);  // TrackBar3, 50..100 (default 90): percent of the fitted size
    void definir_elevation(
        int valeur);  // TrackBar4, 180..360 (default 360): lower values look down more steeply

    // The projected polyline of series i as drawn now (widget coordinates), for tests.
    std::vector<QPolygonF> trace(std::size_t i) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Projection;
    Projection projection() const;
    void decimer();
    QRectF zone_trace() const;

    std::vector<Serie> series_;
    std::vector<std::vector<QPointF>> reduites_;  // what is drawn: thinned to the widget width
    double x_min_ = 0.0, x_max_ = 1.0;
    QString format_x_;
    double y_min_ = 0.0, y_max_ = 1.0;
    int profondeur_ = 30;
    int rotation_ = 360;
    int zoom_ = 90;
    int elevation_ = 360;
};

}  // namespace tarvo

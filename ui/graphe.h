// One chart of the graph window: a column's runs drawn as line series under one legend
// entry, with rectangle zoom and its undo, panning with the right button and the point
// read-out click.
#pragma once

#include <QChartView>
#include <QColor>
#include <QPoint>
#include <QString>

#include "session/graphique.h"

class QLineSeries;

namespace tarvo {

// How every chart of one redraw is drawn.
struct ReglagesTrace {
    QString format_dates;  // empty: the abscissa "n", plain numbers
    int taille_point = 3;
    bool axes = true;
    bool valeurs = false;
    bool trois_d = false;  // light colours, no markers
};

// The base (false) or light (true) palette entry 0..14.
QColor couleur_palette(int indice, bool claire);

// Timestamp (days since 30/12/1899, wall clock) to what a date-time axis places.
qint64 millisecondes_axe(double date);

// The labels of a date axis: `choisi` unless two of its `nb_graduations` evenly spaced
// labels from `debut` to `fin` would read the same; then the first finer format that tells
// them apart. "dd-MM-yyyy" over six hours → "dd-MM-yyyy hh:mm".
QString format_dates_axe(const QString& choisi, const QDateTime& debut, const QDateTime& fin,
                         int nb_graduations);

class Graphe : public QChartView {
    Q_OBJECT
public:
    explicit Graphe(const char* nom, QWidget* parent = nullptr);

    void tracer(const DonneesGraphe& donnees, const ReglagesTrace& reglages);
    // The vertical axis as drawn, or as the wheel left it.
    double axe_min() const;
    double axe_max() const;
    void definir_axe_vertical(double minimum, double maximum);
    // Back to the ranges of the last drawing.
    void annuler_zoom();
    // The line series drawn for series `s`: one per unbroken run, and one for lone points.
    QList<QLineSeries*> morceaux(int s) const;

signals:
    // A left click on a point: the series title, the point, and where it is in the window.
    void point_clique(const QString& titre, QPointF point, QPoint position_globale);
    void clic_droit();
    void souris_deplacee(QPoint position_globale);
    void roulette(int delta, QPoint position_globale);

protected:
    void mousePressEvent(QMouseEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;
    void mouseReleaseEvent(QMouseEvent* evenement) override;
    void mouseDoubleClickEvent(QMouseEvent* evenement) override;
    void wheelEvent(QWheelEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;

private:
    QLineSeries* nouvelle_serie(const QString& titre, const QColor& couleur,
                                const ReglagesTrace& reglages, bool premiere);
    void placer_legende();
    // Each run handed to its line series thinned to what the plot's width can show.
    void reechantillonner();
    double x_visible_min() const;
    double x_visible_max() const;

    std::vector<QList<QLineSeries*>> morceaux_;
    // The whole of every line series, in the same order as the chart's series.
    std::vector<std::pair<QLineSeries*, QList<QPointF>>> complets_;
    // The abscissa format chosen in the window, which the axis refines to its span.
    QString format_dates_;
    int largeur_echantillon_ = 0;
    QPointF x_trace_;
    QPointF y_trace_;
    QPoint origine_;
    QPoint dernier_;
    bool deplacement_ = false;
};

}  // namespace tarvo

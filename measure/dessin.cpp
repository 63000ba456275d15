#include "measure/dessin.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QPolygonF>
#include <QLineF>
#include <cmath>
#include <limits>
#include <cstdlib>

namespace
{

int signe(int v)
{
    return (v > 0) - (v < 0);
}

bool surRaster(const QPainter &canevas)
{
    const QPaintEngine *moteur = canevas.paintEngine();
    return moteur && moteur->type() == QPaintEngine::Raster;
}

// Line from a to b, b itself left unpainted.
void ligne(QPainter &canevas, QPoint a, QPoint b)
{
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    if (dx == 0 && dy == 0) return;
    if (dx == 0 || dy == 0) {
        canevas.drawLine(a, b - QPoint(signe(dx), signe(dy)));
        return;
    }
    if (!surRaster(canevas)) {
        // Printer and vector devices: one device dot at the end makes no visible difference.
        canevas.drawLine(a, b);
        return;
    }
    // Qt's own slanted lines pick other pixels than the classic integer line; compute them.
    const int adx = std::abs(dx), ady = std::abs(dy);
    const int pas = adx >= ady ? adx : ady;
    QPolygon points(pas);
    for (int i = 0; i < pas; ++i) {
        if (adx >= ady)
            points[i] = QPoint(a.x() + i * signe(dx),
                               a.y() + signe(dy) * ((2 * i * ady + adx) / (2 * adx)));
        else
            points[i] = QPoint(a.x() + signe(dx) * ((2 * i * adx + ady) / (2 * ady)),
                               a.y() + i * signe(dy));
    }
    canevas.drawPoints(points);
}

// Outlines in the box [gauche, droite) x [haut, bas).
void rectangle(QPainter &canevas, int gauche, int haut, int droite, int bas)
{
    const int l = droite - gauche, h = bas - haut;
    if (l <= 0 || h <= 0) return;
    if (l == 1 || h == 1)
        canevas.drawLine(gauche, haut, droite - 1, bas - 1);
    else
        canevas.drawRect(gauche, haut, l - 1, h - 1);
}

void ellipse(QPainter &canevas, int gauche, int haut, int droite, int bas)
{
    const int l = droite - gauche, h = bas - haut;
    if (l <= 0 || h <= 0) return;
    if (l == 1 || h == 1)
        canevas.drawLine(gauche, haut, droite - 1, bas - 1);
    else
        canevas.drawEllipse(QRect(gauche, haut, l - 1, h - 1));
}

void prendCouleur(QPainter &canevas, const QColor &couleur)
{
    QPen stylo = canevas.pen();
    stylo.setColor(couleur);
    canevas.setPen(stylo);
    canevas.setRenderHint(QPainter::Antialiasing, false);
}

void polyligne(QPainter &canevas, std::initializer_list<QPoint> sommets)
{
    const QPoint *precedent = nullptr;
    for (const QPoint &p : sommets) {
        if (precedent) ligne(canevas, *precedent, p);
        precedent = &p;
    }
}

} // namespace

void dessinePoint(QPainter &canevas, const QColor &couleur, int n, int X, int Y, int forme)
{
    if (n < 0) n = 0;
    canevas.setBrush(Qt::NoBrush);
    prendCouleur(canevas, couleur);
    switch (forme) {
    case 0:
        ligne(canevas, {X - n, Y}, {X + n + 1, Y});
        ligne(canevas, {X, Y - n}, {X, Y + n + 1});
        return;
    case 1:
        rectangle(canevas, X - n, Y - n, X + n + 1, Y + n + 1);
        break;
    case 2:
        ellipse(canevas, X - n, Y - n, X + n + 1, Y + n + 1);
        break;
    default:
        return;
    }
    if (n >= 2) {
        ligne(canevas, {X - n + 2, Y}, {X + n - 1, Y});
        ligne(canevas, {X, Y - n + 2}, {X, Y + n - 1});
    }
}

void dessineAxes(QPainter &canevas, const QColor &couleur, int sX, int sY, int X0, int Y0, int H,
                 int W, int k)
{
    const int a = 5 * k; // arrow length
    const int b = 2 * k; // arrow half-width
    prendCouleur(canevas, couleur);

    if (sY == 1) {
        ligne(canevas, {X0, H}, {X0, a});
        polyligne(canevas, {{X0, 0}, {X0 - b, a}, {X0 + b, a}, {X0, 0}});
    } else {
        ligne(canevas, {X0, 0}, {X0, H - a});
        polyligne(canevas, {{X0, H}, {X0 - b, H - a}, {X0 + b, H - a}, {X0, H}});
    }

    const int R = W - 1;
    if (sX == 1) {
        ligne(canevas, {0, Y0}, {R - a, Y0});
        polyligne(canevas, {{R, Y0}, {R - a, Y0 - b}, {R - a, Y0 + b}, {R, Y0}});
    } else {
        ligne(canevas, {R, Y0}, {a, Y0});
        polyligne(canevas, {{0, Y0}, {a, Y0 - b}, {a, Y0 + b}, {0, Y0}});
    }
}

namespace
{

// From (X0, Y0) along d to the edge of [0, W - 1] x [0, H - 1].
QPointF jusquAuBord(QPointF O, QPointF d, double H, double W)
{
    const double R = W - 1, B = H - 1;
    double t = std::numeric_limits<double>::infinity();
    if (d.x() > 1e-12) t = std::min(t, (R - O.x()) / d.x());
    if (d.x() < -1e-12) t = std::min(t, -O.x() / d.x());
    if (d.y() > 1e-12) t = std::min(t, (B - O.y()) / d.y());
    if (d.y() < -1e-12) t = std::min(t, -O.y() / d.y());
    if (!std::isfinite(t)) t = 0;
    return O + std::max(0.0, t) * d;
}

} // namespace

QPointF pointeAxeX(int sX, double X0, double Y0, double H, double W, double angle)
{
    const double a = angle * M_PI / 180;
    return jusquAuBord(QPointF(X0, Y0), QPointF(sX * std::cos(a), -sX * std::sin(a)), H, W);
}

void dessineAxesInclines(QPainter &canevas, const QColor &couleur, int sX, int sY, double X0,
                         double Y0, double H, double W, double k, double angle, double fX,
                         double fY)
{
    prendCouleur(canevas, couleur);
    const double a = angle * M_PI / 180, c = std::cos(a), s = std::sin(a);
    // Screen directions of the positive x and y axes (y downward on screen), in device dots.
    const QPointF axes[] = {QPointF(sX * c * fX, -sX * s * fY),
                            QPointF(-sY * s * fX, -sY * c * fY)};
    const QPointF O(X0, Y0);
    for (QPointF d : axes) {
        const double l = std::hypot(d.x(), d.y());
        if (!(l > 0)) continue;
        d /= l;
        const QPointF n(-d.y(), d.x());
        const QPointF bout = jusquAuBord(O, d, H, W), queue = jusquAuBord(O, -d, H, W);
        const QPointF base = bout - 5 * k * d;
        canevas.drawLine(QLineF(queue, base));
        canevas.drawPolyline(QPolygonF({bout, base + 2 * k * n, base - 2 * k * n, bout}));
    }
}

QColor couleurVisible(const QColor &couleur, const QColor &fond)
{
    const bool fondClair = fond.lightnessF() >= 0.5;
    if (fondClair && couleur.lightnessF() > 0.85) return Qt::black;
    if (!fondClair && couleur.lightnessF() < 0.15) return Qt::white;
    return couleur;
}

QColor couleurContour(const QColor &couleur)
{
    return couleur.lightnessF() > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

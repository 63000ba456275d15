#include "calibration/images_etalon.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace
{

constexpr int largeurEtalon = 72;
constexpr int hauteurEtalon = 40;
constexpr int coteAxes = 24;

const QColor sarcelle(0, 128, 128);
const QColor gris(128, 128, 128);
const QColor argent(192, 192, 192);
const QColor grisFonce(110, 110, 110);

// The mode's colour code: horizontal yellow on teal, vertical aqua on teal, equal scales
// white on grey. An idle picture is drawn in dark grey on silver.
struct Teintes {
    QColor fond, trait, point1, point2;
};

Teintes teintes(int mode, bool actif)
{
    if (!actif) return {argent, grisFonce, QColor(170, 90, 90), QColor(90, 90, 170)};
    switch (mode) {
    case 0:
        return {sarcelle, Qt::yellow, Qt::red, Qt::blue};
    case 1:
        return {sarcelle, Qt::cyan, Qt::red, Qt::blue};
    default:
        return {gris, Qt::white, Qt::red, Qt::blue};
    }
}

// A filled head at b, pointing away from a.
void pointe(QPainter &p, QPointF a, QPointF b, const QColor &couleur, qreal longueur = 5,
            qreal demiLargeur = 2.5)
{
    const QPointF d = b - a;
    const qreal n = std::hypot(d.x(), d.y());
    if (n <= 0) return;
    const QPointF u = d / n;
    const QPointF normale(-u.y(), u.x());
    const QPointF base = b - u * longueur;
    p.setPen(Qt::NoPen);
    p.setBrush(couleur);
    p.drawPolygon(QPolygonF({b, base + normale * demiLargeur, base - normale * demiLargeur}));
}

void doubleFleche(QPainter &p, QPointF a, QPointF b, const QColor &couleur)
{
    p.setPen(QPen(couleur, 1.2));
    p.drawLine(a, b);
    pointe(p, b, a, couleur);
    pointe(p, a, b, couleur);
}

void rappel(QPainter &p, QPointF a, QPointF b, const QColor &couleur)
{
    p.setPen(QPen(couleur, 1, Qt::DotLine));
    p.drawLine(a, b);
}

void pointEtalon(QPainter &p, QPointF c, const QColor &couleur)
{
    p.setPen(QPen(couleur, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 3, 3);
    p.drawLine(c - QPointF(5, 0), c + QPointF(5, 0));
    p.drawLine(c - QPointF(0, 5), c + QPointF(0, 5));
}

} // namespace

QPixmap imageEtalon(int index)
{
    if (index < 0 || index > 5) return {};
    const int mode = index / 2;
    const Teintes t = teintes(mode, index % 2 == 1);
    QPixmap image(largeurEtalon, hauteurEtalon);
    image.fill(t.fond);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(t.fond.darker(140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, largeurEtalon - 1, hauteurEtalon - 1));

    QPointF p1, p2;
    switch (mode) {
    case 0: // the horizontal distance between two points at different heights
        p1 = {12, 9};
        p2 = {60, 19};
        rappel(p, p1, {p1.x(), 33}, t.trait);
        rappel(p, p2, {p2.x(), 33}, t.trait);
        doubleFleche(p, {p1.x(), 31}, {p2.x(), 31}, t.trait);
        break;
    case 1: // the vertical distance between two points side by side
        p1 = {12, 7};
        p2 = {40, 33};
        rappel(p, p1, {64, p1.y()}, t.trait);
        rappel(p, p2, {64, p2.y()}, t.trait);
        doubleFleche(p, {62, p1.y()}, {62, p2.y()}, t.trait);
        break;
    default: { // the straight distance, the same scale both ways
        p1 = {10, 31};
        p2 = {62, 9};
        const QPointF d = p2 - p1;
        const QPointF u = d / std::hypot(d.x(), d.y());
        doubleFleche(p, p1 + u * 7, p2 - u * 7, t.trait);
        break;
    }
    }
    pointEtalon(p, p1, t.point1);
    pointEtalon(p, p2, t.point2);
    return image;
}

QPixmap imageAxes(int orientation)
{
    if (orientation < 0 || orientation > 3) return {};
    const bool xDroite = orientation == 0 || orientation == 2;
    const bool yHaut = orientation == 0 || orientation == 1;
    // The axes cross near the corner opposite their arrow heads, as on the origin pointers.
    const qreal ox = xDroite ? 5.5 : 18.5;
    const qreal oy = yHaut ? 18.5 : 5.5;
    const QPointF origine(ox, oy);
    const QPointF boutX(xDroite ? 23 : 1, oy);
    const QPointF boutY(ox, yHaut ? 1 : 23);

    QPixmap image(coteAxes, coteAxes);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor encre(20, 20, 20);
    p.setPen(QPen(encre, 1.2));
    p.drawLine(origine, boutX - QPointF(xDroite ? 3 : -3, 0));
    p.drawLine(origine, boutY - QPointF(0, yHaut ? -3 : 3));
    pointe(p, origine, boutX, encre, 5, 2.5);
    pointe(p, origine, boutY, encre, 5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::red);
    p.drawEllipse(origine, 1.6, 1.6);

    QFont police = p.font();
    police.setPixelSize(9);
    police.setBold(true);
    p.setFont(police);
    p.setPen(QColor(0, 0, 160));
    // Letters inside the quarter the axes span.
    const QRectF caseX(xDroite ? 15 : 1, yHaut ? oy - 11 : oy + 2, 8, 9);
    const QRectF caseY(xDroite ? ox + 3 : ox - 11, yHaut ? 0 : 15, 8, 9);
    p.drawText(caseX, Qt::AlignCenter, QStringLiteral("x"));
    p.drawText(caseY, Qt::AlignCenter, QStringLiteral("y"));
    return image;
}

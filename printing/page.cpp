#include "printing/page.h"

#include "calibration/transformation.h"
#include "measure/Nbreels.h"
#include "measure/dessin.h"
#include "measure/rgbhls.h"

#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{

// Beyond this many dots from the page, coordinates are no longer drawn as integers: a typed
// scale of 1E-30 must neither overflow nor build lines billions of dots long.
constexpr long double kLimite = 1 << 20;

long double dix(int k)
{
    return std::pow(10.0L, static_cast<long double>(k));
}

long double arrondi(long double v)
{
    return std::nearbyint(v);
}

bool entier(long double v)
{
    return std::isfinite(v) && std::fabs(v) <= kLimite;
}

// Liang-Barsky: the part of a-b inside the rectangle, if any.
bool couper(long double &x1, long double &y1, long double &x2, long double &y2, long double xmin,
            long double ymin, long double xmax, long double ymax)
{
    long double t0 = 0, t1 = 1;
    const long double dx = x2 - x1, dy = y2 - y1;
    const long double p[4] = {-dx, dx, -dy, dy};
    const long double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const long double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1) return false;
    }
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = x1 + t0 * dx;
    y1 = y1 + t0 * dy;
    return true;
}

// The axes of dessineAxes when their dots are too far out to be integers: the same segments,
// cut to the page in floating point.
void axesCoupes(QPainter &canevas, const QColor &couleur, int sX, int sY, long double X0,
                long double Y0, long double H, long double W, long double k, const QSizeF &page)
{
    const long double a = 5 * k, b = 2 * k, R = W - 1;
    struct Segment {
        long double x1, y1, x2, y2;
    };
    const long double ya = sY == 1 ? a : H - a, yPointe = sY == 1 ? 0 : H;
    const long double xa = sX == 1 ? R - a : a, xPointe = sX == 1 ? 0 + R : 0;
    const Segment s[8] = {// Vertical axis from the far edge to the arrow head, then the head.
                          {X0, sY == 1 ? H : 0, X0, ya},
                          {X0, yPointe, X0 - b, ya},
                          {X0 - b, ya, X0 + b, ya},
                          {X0 + b, ya, X0, yPointe},
                          // Horizontal axis likewise.
                          {sX == 1 ? 0 : R, Y0, xa, Y0},
                          {xPointe, Y0, xa, Y0 - b},
                          {xa, Y0 - b, xa, Y0 + b},
                          {xa, Y0 + b, xPointe, Y0}};
    QPen stylo = canevas.pen();
    stylo.setColor(couleur);
    canevas.setPen(stylo);
    for (Segment g : s)
        if (couper(g.x1, g.y1, g.x2, g.y2, -2, -2, page.width() + 2, page.height() + 2))
            canevas.drawLine(QLineF(double(g.x1), double(g.y1), double(g.x2), double(g.y2)));
}

// Lines of one family: the first at (u - a) cm from the top (or left), one a centimetre, a + b
// + 1 in all, u being the Origin's distance in printed centimetres and a its whole part.
std::vector<int> lignes(long double u, long double a, long double b, long double cm,
                        long double taille)
{
    std::vector<int> r;
    if (!(cm > 0) || !std::isfinite(u)) return r;
    const long double debut = (u - a) * cm; // 0 <= debut < cm
    const long double kmin = std::max(0.0L, std::ceil((-0.5L - debut) / cm));
    const long double kmax = std::min(a + b, std::floor((taille - debut) / cm) + 1);
    for (long double k = kmin; k <= kmax; ++k) {
        const long double v = arrondi(debut + k * cm);
        if (v >= 0 && v < taille) r.push_back(static_cast<int>(v));
    }
    return r;
}

} // namespace

std::optional<long double> lireEchelleImpression(const QString &texte)
{
    const auto e = lireLongueur(texte);
    if (!e || !(*e > 0)) return std::nullopt;
    return e;
}

std::optional<long double> echelleProposee(long double m)
{
    if (!(m > 0) || !std::isfinite(m)) return std::nullopt;
    // Start from the logarithm, then step so that the comparison with m itself decides: a
    // computed m that should be an exact power of ten may fall either side of it.
    int k = static_cast<int>(std::floor(std::log10(m)));
    if (m < 1) {
        while (dix(k) < m)
            ++k;
        while (dix(k - 1) >= m)
            --k;
    } else {
        while (dix(k) <= m)
            ++k;
        while (dix(k - 1) > m)
            --k;
    }
    return dix(k);
}

int positionPiste(long double e, long double D)
{
    if (e >= 10 * D) return 0;
    if (e <= D / 10) return 200;
    return static_cast<int>(arrondi((std::log10(D / e) + 1) * 100));
}

long double echelleDePiste(int position, long double D)
{
    return D / std::pow(10.0L, position / 100.0L - 1);
}

QColor couleurImprimee(std::uint32_t valeur, ModeCouleur mode)
{
    switch (mode) {
    case ModeCouleur::ecran:
        // Paper is white: white, the markers' default, would print nothing.
        return couleurVisible(couleurDeValeur(valeur), Qt::white);
    case ModeCouleur::gris: {
        const int l = luminosite(valeur);
        return couleurVisible(QColor(l, l, l), Qt::white);
    }
    case ModeCouleur::noir:
        break;
    }
    return QColor(0, 0, 0);
}

long double PageImprimee::facteurX() const
{
    return std::fabs(echelleH) / ech * resolX / 2.54L;
}

long double PageImprimee::facteurY() const
{
    return std::fabs(echelleV) / ech * resolY / 2.54L;
}

GrilleImprimee grilleImprimee(const PageImprimee &p)
{
    GrilleImprimee g;
    const long double fX = p.facteurX(), fY = p.facteurY();
    const long double cmX = p.resolX / 2.54L, cmY = p.resolY / 2.54L;
    // Origin and frame size in printed centimetres.
    const long double uX = p.origineX * std::fabs(p.echelleH) / p.ech;
    const long double uY = p.origineY * std::fabs(p.echelleV) / p.ech;
    const long double aX = std::trunc(uX), aY = std::trunc(uY);
    const long double bX =
        std::trunc((p.largeurAffichee - p.origineX) * std::fabs(p.echelleH) / p.ech);
    const long double bY =
        std::trunc((p.hauteurAffichee - p.origineY) * std::fabs(p.echelleV) / p.ech);
    g.y = lignes(uY, aY, bY, cmY, p.page.height());
    g.x = lignes(uX, aX, bX, cmX, p.page.width());
    g.finX = static_cast<int>(
        std::min<long double>(arrondi(p.largeurAffichee * fX), p.page.width() + 1));
    g.finY = static_cast<int>(
        std::min<long double>(arrondi(p.hauteurAffichee * fY), p.page.height() + 1));
    return g;
}

QString legendeImpression(long double ech)
{
    return QStringLiteral("1cm : ") + texteSci(2, ech) + QStringLiteral("m");
}

void dessinePage(QPainter &canevas, const PageImprimee &p)
{
    if (!(p.ech > 0) || !std::isfinite(p.ech)) return;
    const long double fX = p.facteurX(), fY = p.facteurY();
    canevas.save();
    canevas.setRenderHint(QPainter::Antialiasing, false);
    canevas.setBrush(Qt::NoBrush);
    // Lines have a width on paper, not in dots: one dot is 0.02 mm at 1200 dpi.
    const auto largeur = [&p](double mm) {
        return std::max(1, int(std::lround(mm * p.resolX / 25.4)));
    };
    QPen stylo = canevas.pen();
    stylo.setStyle(Qt::SolidLine);
    stylo.setCapStyle(Qt::FlatCap); // a wide line ends where its dots end
    stylo.setWidth(largeur(0.3));
    canevas.setPen(stylo);

    if (p.axes) {
        const QColor c = couleurImprimee(p.couleurAxes, p.mode);
        const long double X0 = arrondi(p.origineX * fX), Y0 = arrondi(p.origineY * fY);
        const long double W = arrondi(p.largeurAffichee * fX), H = arrondi(p.hauteurAffichee * fY);
        const long double k = arrondi(fX + 1);
        if (p.angleAxes != 0)
            // Turned on the picture, in its pixels: on paper each direction is stretched by
            // its own factor. What leaves the page is clipped by the device.
            dessineAxesInclines(canevas, c, p.sensX, p.sensY, double(X0), double(Y0), double(H),
                                double(W), double(k), p.angleAxes, double(fX), double(fY));
        else if (entier(X0) && entier(Y0) && entier(W) && entier(H) && entier(5 * k))
            dessineAxes(canevas, c, p.sensX, p.sensY, int(X0), int(Y0), int(H), int(W), int(k));
        else
            axesCoupes(canevas, c, p.sensX, p.sensY, X0, Y0, H, W, k, p.page);
    }

    if (p.grille) {
        const GrilleImprimee g = grilleImprimee(p);
        QPen pointille = canevas.pen();
        pointille.setStyle(Qt::DotLine);
        pointille.setColor(p.grilleCouleurAxes ? couleurImprimee(p.couleurAxes, ModeCouleur::ecran)
                                               : QColor(127, 127, 127));
        pointille.setWidth(largeur(0.15));
        canevas.setPen(pointille);
        // Like every line of the drawing, the end dot itself is left out.
        if (g.finX > 0)
            for (int y : g.y)
                canevas.drawLine(0, y, g.finX - 1, y);
        if (g.finY > 0)
            for (int x : g.x)
                canevas.drawLine(x, 0, x, g.finY - 1);
        pointille.setStyle(Qt::SolidLine);
        pointille.setWidth(largeur(0.3));
        canevas.setPen(pointille);
    }

    const long double n = arrondi(p.taillePoints * fX);
    if (n <= kLimite)
        for (const MarqueImprimee &m : p.marques) {
            const long double X = arrondi(m.X * fX), Y = arrondi(m.Y * fY);
            // A marker wholly off the page is skipped, which also keeps its dots integers.
            if (X + n < -1 || Y + n < -1 || X - n > p.page.width() + 1 ||
                Y - n > p.page.height() + 1)
                continue;
            dessinePoint(canevas, couleurImprimee(m.couleur, p.mode), int(n), int(X), int(Y),
                         m.forme);
        }

    const long double yLegende = arrondi(p.hauteurAffichee * fY) + 5;
    if (yLegende < p.page.height()) {
        QPen noir = canevas.pen();
        noir.setColor(Qt::black);
        canevas.setPen(noir);
        const QRectF cadre(10, double(yLegende), std::max(1.0, p.page.width() - 10),
                           std::max(1.0, p.page.height() - double(yLegende)));
        canevas.setLayoutDirection(Qt::LeftToRight);
        canevas.drawText(cadre,
                         Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         legendeImpression(p.ech));
    }
    canevas.restore();
}

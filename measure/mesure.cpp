#include "measure/mesure.h"

#include <cmath>
#include <utility>

bool ReglagesMesure::operator==(const ReglagesMesure &o) const
{
    return cadenceTournage == o.cadenceTournage && pourcentAffichage == o.pourcentAffichage &&
           largeurAffichee == o.largeurAffichee && hauteurAffichee == o.hauteurAffichee &&
           nbPoints == o.nbPoints && origineTemps == o.origineTemps &&
           decimalesTemps == o.decimalesTemps && chiffresXY == o.chiffresXY &&
           modeEtalonnage == o.modeEtalonnage && etalonP1 == o.etalonP1 && etalonP2 == o.etalonP2 &&
           texteSH == o.texteSH && texteSV == o.texteSV && texteSi == o.texteSi &&
           echelleH == o.echelleH && echelleV == o.echelleV && origineX == o.origineX &&
           origineY == o.origineY && sensX == o.sensX && sensY == o.sensY &&
           angleAxes == o.angleAxes && aspects == o.aspects && taillePoints == o.taillePoints;
}

int Mesure::nbPointages() const
{
    int n = 0;
    for (const auto &p : positions)
        n += p.size();
    return n;
}

std::vector<ChangementPosition> differencePositions(const Mesure &avant, const Mesure &apres)
{
    std::vector<ChangementPosition> d;
    for (int p = 0; p < kPointsMesure; ++p) {
        const auto &a = avant.positions[p];
        const auto &b = apres.positions[p];
        if (a.isSharedWith(b)) continue;
        // Both maps are sorted by frame: one merge pass.
        auto i = a.cbegin(), j = b.cbegin();
        while (i != a.cend() || j != b.cend()) {
            if (j == b.cend() || (i != a.cend() && i.key() < j.key())) {
                d.push_back({i.key(), std::int8_t(p), i.value(), std::nullopt});
                ++i;
            } else if (i == a.cend() || j.key() < i.key()) {
                d.push_back({j.key(), std::int8_t(p), std::nullopt, j.value()});
                ++j;
            } else {
                if (i.value() != j.value())
                    d.push_back({i.key(), std::int8_t(p), i.value(), j.value()});
                ++i;
                ++j;
            }
        }
    }
    return d;
}

void appliquerChangements(Mesure &m, const std::vector<ChangementPosition> &changements,
                          bool versApres)
{
    // Backward in reverse order: a cell changed twice ends in its first state.
    const auto n = changements.size();
    for (std::size_t k = 0; k < n; ++k) {
        const auto &c = changements[versApres ? k : n - 1 - k];
        const auto &v = versApres ? c.apres : c.avant;
        auto &carte = m.positions[c.point];
        if (v)
            carte.insert(c.image, *v);
        else
            carte.remove(c.image);
    }
}

std::vector<ChangementAngle> differenceAngles(const Mesure &avant, const Mesure &apres)
{
    std::vector<ChangementAngle> d;
    if (avant.angles.isSharedWith(apres.angles)) return d;
    for (auto i = avant.angles.cbegin(); i != avant.angles.cend(); ++i)
        if (!apres.angles.contains(i.key()) || apres.angles.value(i.key()) != i.value())
            d.push_back({i.key(), i.value(), apres.angles.contains(i.key())
                                                 ? std::optional(apres.angles.value(i.key()))
                                                 : std::nullopt});
    for (auto i = apres.angles.cbegin(); i != apres.angles.cend(); ++i)
        if (!avant.angles.contains(i.key())) d.push_back({i.key(), std::nullopt, i.value()});
    return d;
}

void appliquerAngles(Mesure &m, const std::vector<ChangementAngle> &changements, bool versApres)
{
    const auto n = changements.size();
    for (std::size_t k = 0; k < n; ++k) {
        const auto &c = changements[versApres ? k : n - 1 - k];
        const auto &v = versApres ? c.apres : c.avant;
        if (v)
            m.angles.insert(c.image, *v);
        else
            m.angles.remove(c.image);
    }
}

namespace
{

// The offset from the Origin turned onto the tilted axes, y upward, before the directions.
std::pair<long double, long double> tourne(const ReglagesMesure &g, QPointF P)
{
    const long double u = static_cast<long double>(P.x() - g.origineX);
    const long double v = static_cast<long double>(g.origineY - P.y());
    const long double a =
        static_cast<long double>(g.angleAxes) * 3.14159265358979323846264338L / 180;
    const long double c = std::cos(a), s = std::sin(a);
    return {u * c + v * s, v * c - u * s};
}

} // namespace

QPointF pixelsRelatifs(const ReglagesMesure &g, QPointF P)
{
    if (g.angleAxes == 0) return {g.sensX * (P.x() - g.origineX), g.sensY * (g.origineY - P.y())};
    const auto [u, v] = tourne(g, P);
    return {double(g.sensX * u), double(g.sensY * v)};
}

long double xMetres(const ReglagesMesure &g, QPointF P)
{
    // Untilted, the very products the table always wrote.
    if (g.angleAxes == 0)
        return static_cast<long double>(P.x() - g.origineX) * g.sensX * g.echelleH;
    return tourne(g, P).first * g.sensX * g.echelleH;
}

long double yMetres(const ReglagesMesure &g, QPointF P)
{
    if (g.angleAxes == 0)
        return static_cast<long double>(g.origineY - P.y()) * g.sensY * g.echelleV;
    return tourne(g, P).second * g.sensY * g.echelleV;
}

double angleNormalise(double degres)
{
    if (!std::isfinite(degres)) return 0;
    double a = std::fmod(degres, 360.0);
    if (a <= -180) a += 360;
    if (a > 180) a -= 360;
    return a == 0 ? 0 : a; // no -0 in a file
}

QString motifDecimalesTemps(int k)
{
    if (k <= 0) return QStringLiteral("0");
    return QStringLiteral("0.") + QString(std::min(k, 6), QLatin1Char('0'));
}

int decimalesDeMotif(const QString &motif)
{
    for (int k = 0; k <= 6; ++k)
        if (motif == motifDecimalesTemps(k)) return k;
    return -1;
}

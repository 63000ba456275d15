#include "analyse/mouvement.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

std::optional<Echantillon> echantillonDePosition(int ligne, double t, const ReglagesMesure &g,
                                                 const std::optional<QPointF> &pos)
{
    if (!pos || ligne < g.origineTemps) return std::nullopt;
    return Echantillon{ligne, t, double(xMetres(g, *pos)), double(yMetres(g, *pos))};
}

std::size_t SerieObjet::placer(const Echantillon &e)
{
    if (points_.empty() || points_.back().ligne < e.ligne) {
        points_.push_back(e);
        return points_.size() - 1;
    }
    auto it = std::lower_bound(points_.begin(), points_.end(), e.ligne,
                               [](const Echantillon &a, int l) { return a.ligne < l; });
    if (it != points_.end() && it->ligne == e.ligne)
        *it = e;
    else
        it = points_.insert(it, e);
    return std::size_t(it - points_.begin());
}

bool SerieObjet::retirer(int ligne)
{
    auto it = std::lower_bound(points_.begin(), points_.end(), ligne,
                               [](const Echantillon &a, int l) { return a.ligne < l; });
    if (it == points_.end() || it->ligne != ligne) return false;
    points_.erase(it);
    return true;
}

bool vitesseDefinie(const std::vector<Echantillon> &p, std::size_t i)
{
    if (i == 0 || i + 1 >= p.size()) return false;
    return p[i].ligne - p[i - 1].ligne == p[i + 1].ligne - p[i].ligne && p[i + 1].t != p[i - 1].t;
}

Vitesse vitesseEn(const std::vector<Echantillon> &p, std::size_t i)
{
    const double dt = p[i + 1].t - p[i - 1].t;
    const double vx = (p[i + 1].x - p[i - 1].x) / dt, vy = (p[i + 1].y - p[i - 1].y) / dt;
    return {p[i].ligne, p[i].t, vx, vy, std::hypot(vx, vy)};
}

std::vector<Vitesse> vitesses(const std::vector<Echantillon> &points)
{
    std::vector<Vitesse> v;
    v.reserve(points.size());
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        if (vitesseDefinie(points, i)) v.push_back(vitesseEn(points, i));
    return v;
}

int nombreLacunes(const std::vector<Echantillon> &p)
{
    if (p.size() < 2) return 0;
    int pas = std::numeric_limits<int>::max();
    for (std::size_t i = 1; i < p.size(); ++i)
        pas = std::min(pas, p[i].ligne - p[i - 1].ligne);
    int n = 0;
    for (std::size_t i = 1; i < p.size(); ++i)
        n += p[i].ligne - p[i - 1].ligne > pas;
    return n;
}

int pointsNecessaires(Modele m)
{
    return m == Modele::Droite ? 3 : 4;
}

double Ajustement::operator()(double u) const
{
    double v = 0;
    for (double c : coefficients)
        v = v * u + c;
    return v;
}

Ajustement ajuster(Modele m, const std::vector<double> &u, const std::vector<double> &v)
{
    Ajustement r;
    const std::size_t n = std::min(u.size(), v.size());
    r.points = int(n);
    const int k = m == Modele::Droite ? 2 : 3; // coefficients
    if (int(n) < pointsNecessaires(m)) return r;

    // Work on w = (u - centre) / demi: the normal equations stay well conditioned whatever
    // the units and the distance of the data from zero.
    // Plain values, not structured bindings: C++17 lets no lambda capture those.
    const auto bornes = std::minmax_element(u.begin(), u.begin() + long(n));
    const double mini = *bornes.first, maxi = *bornes.second;
    if (mini == maxi) {
        r.echec = Ajustement::AbscisseUnique;
        return r;
    }
    // As many distinct abscissas as coefficients (a third one between the extremes).
    if (k == 3 && std::none_of(u.begin(), u.begin() + long(n),
                               [&](double w) { return w != mini && w != maxi; }))
        return r;
    const long double centre = (static_cast<long double>(mini) + maxi) / 2;
    const long double demi = (static_cast<long double>(maxi) - mini) / 2;

    // Sums over the points in double precision: w lies in [-1, 1], so nothing cancels, and a
    // tracked clip of 90,000 points is summed at the processor's full speed. The normal matrix
    // A (k x k, powers of w) with right side b is then inverted by Gauss-Jordan elimination
    // with partial pivoting.
    const double c0 = double(centre), d0 = double(demi);
    double sommes[5] = {}, sb[3] = {};
    for (std::size_t i = 0; i < n; ++i) {
        const double w = (u[i] - c0) / d0, w2 = w * w;
        sommes[1] += w;
        sommes[2] += w2;
        sommes[3] += w2 * w;
        sommes[4] += w2 * w2;
        sb[0] += v[i];
        sb[1] += w * v[i];
        sb[2] += w2 * v[i];
    }
    sommes[0] = double(n);
    long double A[3][6] = {}, b[3] = {};
    for (int a = 0; a < k; ++a) {
        b[a] = sb[a];
        for (int c = 0; c < k; ++c)
            A[a][c] = sommes[a + c];
    }
    for (int a = 0; a < k; ++a)
        A[a][k + a] = 1;
    for (int c = 0; c < k; ++c) {
        int pivot = c;
        for (int a = c + 1; a < k; ++a)
            if (std::fabs(A[a][c]) > std::fabs(A[pivot][c])) pivot = a;
        if (A[pivot][c] == 0) return r;
        for (int j = 0; j < 2 * k; ++j)
            std::swap(A[c][j], A[pivot][j]);
        const long double d = A[c][c];
        for (int j = 0; j < 2 * k; ++j)
            A[c][j] /= d;
        for (int a = 0; a < k; ++a) {
            if (a == c) continue;
            const long double f = A[a][c];
            for (int j = 0; j < 2 * k; ++j)
                A[a][j] -= f * A[c][j];
        }
    }
    // Coefficients in w, lowest power first.
    long double cw[3] = {};
    for (int a = 0; a < k; ++a)
        for (int c = 0; c < k; ++c)
            cw[a] += A[a][k + c] * b[c];

    // Residuals from the points themselves, not from the sums: a near-perfect fit keeps
    // the digits of its small residuals.
    const double moyenne = sb[0] / double(n);
    const double e0 = double(cw[0]), e1 = double(cw[1]), e2 = k == 3 ? double(cw[2]) : 0.0;
    double residus = 0, dispersion = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = (u[i] - c0) / d0;
        const double ecart = v[i] - ((e2 * w + e1) * w + e0);
        residus += ecart * ecart;
        dispersion += (v[i] - moyenne) * (v[i] - moyenne);
    }
    const long double s2 = residus / (long double)(n - std::size_t(k));

    // Back to u: coefficient of u^j is sum over a >= j of cw[a] C(a, j) (-centre)^(a-j) /
    // demi^a. J holds those factors; the covariance follows as J C J'.
    long double J[3][3] = {};
    for (int j = 0; j < k; ++j)
        for (int a = j; a < k; ++a) {
            const long double binome = (a == 2 && j == 1) ? 2 : 1;
            J[j][a] =
                binome * std::pow(-centre, (long double)(a - j)) / std::pow(demi, (long double)a);
        }
    r.coefficients.assign(std::size_t(k), 0);
    r.incertitudes.assign(std::size_t(k), 0);
    for (int j = 0; j < k; ++j) {
        long double c = 0, var = 0;
        for (int a = 0; a < k; ++a) {
            c += J[j][a] * cw[a];
            for (int e = 0; e < k; ++e)
                var += J[j][a] * A[a][k + e] * J[j][e];
        }
        // Highest power first.
        r.coefficients[std::size_t(k - 1 - j)] = double(c);
        r.incertitudes[std::size_t(k - 1 - j)] =
            double(std::sqrt(std::max<long double>(0, var * s2)));
    }
    r.r2 = dispersion > 0 ? double(1 - residus / dispersion)
                          : std::numeric_limits<double>::quiet_NaN();
    r.echec = Ajustement::Aucun;
    return r;
}

namespace
{

QByteArray nombre(double v)
{
    return QByteArray::number(v, 'g', 12);
}

} // namespace

QByteArray tableauCSV(const std::vector<SerieObjet> &objets,
                      const std::map<int, std::pair<double, double>> &angles)
{
    const std::size_t n = objets.size();
    // Per row: its time and, per object, the index of its position and of its velocity.
    struct Ligne {
        double t = 0;
        std::vector<const Echantillon *> positions;
        std::vector<std::optional<Vitesse>> vitesses;
    };
    std::map<int, Ligne> lignes;
    for (std::size_t o = 0; o < n; ++o) {
        const auto &p = objets[o].points();
        for (std::size_t i = 0; i < p.size(); ++i) {
            Ligne &l = lignes[p[i].ligne];
            if (l.positions.empty()) {
                l.positions.assign(n, nullptr);
                l.vitesses.assign(n, std::nullopt);
            }
            l.t = p[i].t;
            l.positions[o] = &p[i];
            if (vitesseDefinie(p, i)) l.vitesses[o] = vitesseEn(p, i);
        }
    }

    for (const auto &[ligne, a] : angles) {
        Ligne &l = lignes[ligne];
        if (l.positions.empty()) {
            l.positions.assign(n, nullptr);
            l.vitesses.assign(n, std::nullopt);
            l.t = a.first;
        }
    }

    QByteArray csv = "image,t(s)";
    for (std::size_t o = 0; o < n; ++o) {
        const QByteArray i = n > 1 ? QByteArray::number(qulonglong(o + 1)) : QByteArray();
        csv += ",x" + i + "(m),y" + i + "(m),vx" + i + "(m/s),vy" + i + "(m/s),v" + i + "(m/s)";
    }
    if (!angles.empty()) csv += ",angle(\xC2\xB0)";
    csv += '\n';
    for (const auto &[ligne, l] : lignes) {
        csv += QByteArray::number(ligne) + ',' + nombre(l.t);
        for (std::size_t o = 0; o < n; ++o) {
            if (const Echantillon *e = l.positions[o])
                csv += ',' + nombre(e->x) + ',' + nombre(e->y);
            else
                csv += ",,";
            if (const auto &v = l.vitesses[o])
                csv += ',' + nombre(v->vx) + ',' + nombre(v->vy) + ',' + nombre(v->v);
            else
                csv += ",,,";
        }
        if (!angles.empty()) {
            csv += ',';
            if (const auto a = angles.find(ligne); a != angles.end()) csv += nombre(a->second.second);
        }
        csv += '\n';
    }
    return csv;
}

#include "analyse/grandeurs.h"

#include <cmath>
#include <limits>

namespace
{

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 3.14159265358979323846;

// Second difference over the two neighbours of i (same spacing in rows, increasing times).
double derivee2(const std::vector<Echantillon> &p, std::size_t i, double Echantillon::*c)
{
    const double d1 = p[i].t - p[i - 1].t, d2 = p[i + 1].t - p[i].t;
    if (!(d1 > 0 && d2 > 0)) return NaN;
    return ((p[i + 1].*c - p[i].*c) / d2 - (p[i].*c - p[i - 1].*c) / d1) / ((d1 + d2) / 2);
}

} // namespace

QString symboleGrandeur(Grandeur g)
{
    static const char16_t *const symboles[nombreGrandeurs] = {
        u"image", u"t", u"x", u"y", u"vx", u"vy", u"v", u"ax", u"ay", u"a",
        u"d",     u"r", u"θ", u"ω", u"px", u"py", u"p", u"Ec", u"Ep", u"Em", u"angle"};
    return QString::fromUtf16(symboles[int(g)]);
}

QString uniteGrandeur(Grandeur g)
{
    switch (g) {
    case Grandeur::Image:
        return QString();
    case Grandeur::Temps:
        return QStringLiteral("s");
    case Grandeur::X:
    case Grandeur::Y:
    case Grandeur::Distance:
    case Grandeur::R:
        return QStringLiteral("m");
    case Grandeur::Vx:
    case Grandeur::Vy:
    case Grandeur::V:
        return QStringLiteral("m/s");
    case Grandeur::Ax:
    case Grandeur::Ay:
    case Grandeur::A:
        return QStringLiteral("m/s²");
    case Grandeur::Theta:
        return QStringLiteral("rad");
    case Grandeur::Angle:
        return QStringLiteral("°");
    case Grandeur::Omega:
        return QStringLiteral("rad/s");
    case Grandeur::Px:
    case Grandeur::Py:
    case Grandeur::P:
        return QStringLiteral("kg·m/s");
    case Grandeur::Ec:
    case Grandeur::Ep:
    case Grandeur::Em:
        return QStringLiteral("J");
    }
    return QString();
}

Grandeurs calculerGrandeurs(const std::vector<Echantillon> &p, const ParametresGrandeurs &par)
{
    const std::size_t n = p.size();
    Grandeurs r;
    for (auto &c : r.colonnes)
        c.assign(n, NaN);
    auto col = [&r](Grandeur g) -> std::vector<double> & { return r.colonnes[std::size_t(g)]; };
    auto &X = col(Grandeur::X), &Y = col(Grandeur::Y), &Vx = col(Grandeur::Vx),
         &Vy = col(Grandeur::Vy), &Ax = col(Grandeur::Ax), &Ay = col(Grandeur::Ay);
    for (std::size_t i = 0; i < n; ++i) {
        col(Grandeur::Image)[i] = p[i].ligne;
        col(Grandeur::Temps)[i] = p[i].t;
    }

    if (par.lissage) {
        Lissage l = lisser(p, *par.lissage);
        X = std::move(l.x);
        Y = std::move(l.y);
        Vx = std::move(l.vx);
        Vy = std::move(l.vy);
        Ax = std::move(l.ax);
        Ay = std::move(l.ay);
        for (int g = int(Grandeur::X); g <= int(Grandeur::Em); ++g)
            r.lissees |= 1u << unsigned(g);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            X[i] = p[i].x;
            Y[i] = p[i].y;
            if (!vitesseDefinie(p, i)) continue;
            const Vitesse v = vitesseEn(p, i);
            Vx[i] = v.vx;
            Vy[i] = v.vy;
            Ax[i] = derivee2(p, i, &Echantillon::x);
            Ay[i] = derivee2(p, i, &Echantillon::y);
        }
    }

    auto &R = col(Grandeur::R), &Th = col(Grandeur::Theta), &Om = col(Grandeur::Omega),
         &D = col(Grandeur::Distance);
    int pas = std::numeric_limits<int>::max();
    for (std::size_t i = 1; i < n; ++i)
        pas = std::min(pas, p[i].ligne - p[i - 1].ligne);
    double parcours = 0, precedent = NaN;
    for (std::size_t i = 0; i < n; ++i) {
        col(Grandeur::V)[i] = std::hypot(Vx[i], Vy[i]);
        col(Grandeur::A)[i] = std::hypot(Ax[i], Ay[i]);
        if (i > 0 && p[i].ligne - p[i - 1].ligne == pas)
            parcours += std::hypot(X[i] - X[i - 1], Y[i] - Y[i - 1]);
        D[i] = parcours;
        R[i] = std::hypot(X[i], Y[i]);
        if (R[i] > 0) {
            double th = std::atan2(Y[i], X[i]);
            if (!std::isnan(precedent)) th += 2 * pi * std::round((precedent - th) / (2 * pi));
            Th[i] = precedent = th;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (par.lissage) {
            if (R[i] > 0) Om[i] = (X[i] * Vy[i] - Y[i] * Vx[i]) / (R[i] * R[i]);
        } else if (vitesseDefinie(p, i)) {
            Om[i] = (Th[i + 1] - Th[i - 1]) / (p[i + 1].t - p[i - 1].t);
        }
    }

    for (std::size_t i = 0; i < n; ++i)
        if (const auto a = par.angles.constFind(p[i].ligne); a != par.angles.cend())
            col(Grandeur::Angle)[i] = *a;

    if (par.masse > 0) {
        const double m = par.masse;
        for (std::size_t i = 0; i < n; ++i) {
            col(Grandeur::Px)[i] = m * Vx[i];
            col(Grandeur::Py)[i] = m * Vy[i];
            col(Grandeur::P)[i] = m * col(Grandeur::V)[i];
            const double v = col(Grandeur::V)[i];
            col(Grandeur::Ec)[i] = m * v * v / 2;
            col(Grandeur::Ep)[i] = m * par.g * Y[i];
            col(Grandeur::Em)[i] = col(Grandeur::Ec)[i] + col(Grandeur::Ep)[i];
        }
    }
    return r;
}

std::vector<Echantillon> echantillonsAngles(const QMap<int, double> &anglesParImage, int T,
                                           const std::function<double(int)> &tempsDe)
{
    std::vector<Echantillon> e;
    for (auto i = anglesParImage.cbegin(); i != anglesParImage.cend(); ++i)
        if (i.key() + 1 >= T) e.push_back({i.key() + 1, tempsDe(i.key()), NaN, NaN});
    return e;
}

QMap<int, double> anglesParLigne(const QMap<int, double> &anglesParImage)
{
    QMap<int, double> l;
    for (auto i = anglesParImage.cbegin(); i != anglesParImage.cend(); ++i)
        l.insert(i.key() + 1, i.value());
    return l;
}

SerieGrandeurs serieGrandeurs(const Grandeurs &g, Grandeur horizontale, Grandeur verticale)
{
    SerieGrandeurs s;
    s.horizontale = horizontale;
    s.verticale = verticale;
    s.horizontaleLissee = g.lissee(horizontale);
    s.verticaleLissee = g.lissee(verticale);
    const auto &u = g[horizontale], &v = g[verticale], &lignes = g[Grandeur::Image];
    for (std::size_t i = 0; i < g.size(); ++i)
        if (std::isfinite(u[i]) && std::isfinite(v[i])) {
            s.lignes.push_back(int(lignes[i]));
            s.u.push_back(u[i]);
            s.v.push_back(v[i]);
        }
    return s;
}

#include "analyse/lissage.h"
#include "analyse/algebre.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

ParametresLissage parametresValides(ParametresLissage p)
{
    p.fenetre = std::clamp(p.fenetre | 1, 5, 51);
    p.ordre = std::clamp(p.ordre, 2, std::min(5, p.fenetre - 1));
    return p;
}

Lissage lisser(const std::vector<Echantillon> &p, ParametresLissage parametres)
{
    parametres = parametresValides(parametres);
    const std::size_t n = p.size();
    Lissage r;
    r.x.resize(n);
    r.y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        r.x[i] = p[i].x;
        r.y[i] = p[i].y;
    }
    r.vx.assign(n, NaN);
    r.vy.assign(n, NaN);
    r.ax.assign(n, NaN);
    r.ay.assign(n, NaN);
    if (n < 3) return r;

    int pas = std::numeric_limits<int>::max();
    for (std::size_t i = 1; i < n; ++i)
        pas = std::min(pas, p[i].ligne - p[i - 1].ligne);

    for (std::size_t debut = 0; debut < n;) {
        std::size_t fin = debut + 1; // one past the run
        while (fin < n && p[fin].ligne - p[fin - 1].ligne == pas && p[fin].t > p[fin - 1].t)
            ++fin;
        const std::size_t L = fin - debut;
        if (L >= 3) {
            const std::size_t N =
                std::min<std::size_t>(std::size_t(parametres.fenetre), L % 2 ? L : L - 1);
            const int k = std::min(parametres.ordre, int(N) - 1) + 1; // coefficients
            for (std::size_t i = debut; i < fin; ++i) {
                const std::size_t s = std::clamp(i >= N / 2 ? i - N / 2 : 0, debut, fin - N);
                // The window's times on [-1, 1]: the normal equations stay well conditioned
                // up to the fifth power.
                const double centre = (p[s].t + p[s + N - 1].t) / 2;
                const double demi = (p[s + N - 1].t - p[s].t) / 2;
                double A[36] = {}, bx[6] = {}, by[6] = {}, sommes[11] = {};
                for (std::size_t j = s; j < s + N; ++j) {
                    const double w = (p[j].t - centre) / demi;
                    double puissance = 1;
                    for (int e = 0; e < 2 * k - 1; ++e) {
                        sommes[e] += puissance;
                        if (e < k) {
                            bx[e] += puissance * p[j].x;
                            by[e] += puissance * p[j].y;
                        }
                        puissance *= w;
                    }
                }
                for (int a = 0; a < k; ++a)
                    for (int c = 0; c < k; ++c)
                        A[a * k + c] = sommes[a + c];
                double B[36];
                std::copy(A, A + k * k, B);
                if (!resoudreSysteme(k, A, bx) || !resoudreSysteme(k, B, by)) continue;
                // The polynomial and its two derivatives at this row's time, by Horner.
                const double w = (p[i].t - centre) / demi;
                auto lire = [&](const double *c, double &f, double &d1, double &d2) {
                    f = d1 = d2 = 0;
                    for (int e = k - 1; e >= 0; --e) {
                        d2 = d2 * w + 2 * d1;
                        d1 = d1 * w + f;
                        f = f * w + c[e];
                    }
                    d1 /= demi;
                    d2 /= demi * demi;
                };
                lire(bx, r.x[i], r.vx[i], r.ax[i]);
                lire(by, r.y[i], r.vy[i], r.ay[i]);
            }
        }
        debut = fin;
    }
    return r;
}

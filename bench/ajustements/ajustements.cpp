// Cost of the analysis on a tracked clip of 10,000 frames (a pendulum of 2 s pointed at
// whole pixels, 30 frames/s): the sine fit the graph window runs when asked (target: under
// 50 ms), the damped sine and a typed formula for comparison, then the smoothing and all the
// quantities of the object. Median of 15 runs each; figures only, nothing is judged.
#include "analyse/ajustements.h"
#include "analyse/grandeurs.h"
#include "bench/commun.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

namespace
{

constexpr int kPoints = 10000;
constexpr int kTours = 15;

double mesurer(const std::function<void()> &f)
{
    std::vector<double> ms;
    for (int i = 0; i < kTours; ++i) {
        const auto debut = std::chrono::steady_clock::now();
        f();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut)
                .count());
    }
    return mediane(ms);
}

} // namespace

int main()
{
    std::vector<Echantillon> p;
    for (int i = 0; i < kPoints; ++i) {
        const double t = i / 30.0;
        const double x = std::round(100 * std::sin(3.1321 * t + 0.4) * std::exp(-t / 600));
        p.push_back({i + 1, t, x / 1000, -1});
    }
    const auto s = serieGrandeurs(calculerGrandeurs(p), Grandeur::Temps, Grandeur::X);

    auto ajustement = [&](TypeAjustement type, const char *nom, const QString &formule = {}) {
        DemandeAjustement d;
        d.type = type;
        d.formule = formule;
        d.departs = {0.1, 3.13, 0.4, 0};
        ResultatAjustement r;
        const double ms = mesurer([&] { r = ajusterSerie(d, s, 1, kPoints); });
        std::printf("%-34s %8.2f ms  (%d points, %d iterations, %s)\n", nom, ms, r.points,
                    r.iterations, r.converge ? "converged" : "failed");
    };
    ajustement(TypeAjustement::Sinus, "sine fit");
    ajustement(TypeAjustement::SinusAmorti, "damped sine fit");
    ajustement(TypeAjustement::Formule, "formula A*sin(w*t+p)+c", QStringLiteral("A*sin(w*t+p)+c"));

    ParametresGrandeurs brut, lisse;
    lisse.masse = 0.2;
    lisse.lissage = ParametresLissage{};
    std::printf("%-34s %8.2f ms\n", "quantities, raw",
                mesurer([&] { calculerGrandeurs(p, brut); }));
    std::printf("%-34s %8.2f ms\n", "quantities, smoothed (9, 2)",
                mesurer([&] { calculerGrandeurs(p, lisse); }));
    lisse.lissage = ParametresLissage{51, 5};
    std::printf("%-34s %8.2f ms\n", "quantities, smoothed (51, 5)",
                mesurer([&] { calculerGrandeurs(p, lisse); }));
    return 0;
}

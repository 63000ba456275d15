// Time of one recomputation of the Measurement table (10,000 frames, 4 points pointed on
// every frame) against the time of formatting the same 80,000 values alone.
// Last line: "ratio actualgrid/format=R".
#include "app/etat.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/grilles.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kImages = 10000;
constexpr int kPoints = 4;
constexpr int kEssais = 7;

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double chronometre(F &&f)
{
    const auto debut = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut)
        .count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    nbImages = kImages;
    periode = 0.04L;
    formatTemps = QStringLiteral("0.000");
    chiffresXY = 3;
    origineX = 12;
    origineY = 479;
    sensX = 1;
    sensY = 1;
    echelleH = 0.00123456789L;
    echelleV = 0.00234567891L;

    TStringGrid pixels, metres;
    tailleGrille(&pixels, 2 * kPoints + 1, kImages + 1);
    tailleGrille(&metres, 2 * kPoints + 1, kImages + 1);
    std::vector<long double> valeurs;
    valeurs.reserve(2 * kPoints * kImages);
    unsigned graine = 12345;
    auto hasard = [&graine](int borne) {
        graine = graine * 1103515245u + 12345u;
        return static_cast<int>((graine >> 8) % static_cast<unsigned>(borne));
    };
    for (int r = 1; r <= kImages; ++r)
        for (int p = 1; p <= kPoints; ++p) {
            const int X = hasard(640), Y = hasard(480);
            pixels.setCells(2 * p - 1, r, QString::number(X));
            pixels.setCells(2 * p, r, QString::number(Y));
            valeurs.push_back(static_cast<long double>((X - origineX) * sensX) * echelleH);
            valeurs.push_back(static_cast<long double>((origineY - Y) * sensY) * echelleV);
        }

    std::vector<double> tempsGrille, tempsFormat;
    std::size_t controle = 0;
    for (int essai = 0; essai < kEssais; ++essai) {
        tempsGrille.push_back(chronometre([&] { actualiserGrille(&pixels, &metres, kImages, 1); }));
        tempsFormat.push_back(chronometre([&] {
            for (long double v : valeurs)
                controle += static_cast<std::size_t>(texteSci(chiffresXY - 1, v).size());
        }));
    }
    const double grille = mediane(tempsGrille), format = mediane(tempsFormat);
    std::printf("cells: %d values (+%d times), check %zu, last row: %s\n", int(valeurs.size()),
                kImages, controle, qPrintable(metres.Cells(2 * kPoints, kImages)));
    std::printf("actualgrid: %.1f ms (median of %d)\n", grille, kEssais);
    std::printf("texteSci alone: %.1f ms (median of %d)\n", format, kEssais);
    std::printf("ratio actualgrid/format=%.2f\n", grille / format);
    return 0;
}

// Cost of bringing the graph window up to date after one new pointing, on a 1,000-frame
// and on a 90,000-frame table holding the same trajectory (500 frames pointed, then 200 new
// pointings timed one by one): the window must not pay for the frames nobody pointed.
// The graph shown is the heaviest one, vy(t) with a parabola, and each update includes a
// repaint of the chart. Last line: "ratio 90000/1000=R".
#include "analyse/graphes.h"
#include "app/Unit1.h"
#include "app/etat.h"
#include "measure/TStringGrid.h"
#include "measure/grilles.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kPointes = 500;
constexpr int kNouveaux = 200;

// Pixel of a thrown ball on row r.
QPoint position(int r)
{
    const double t = (r - 1) * 0.04;
    return {int(std::lround(20 + 40 * t)), int(std::lround(50 + 60 * t + 200 * t * t)) % 480};
}

void pointer(int r)
{
    const QPoint p = position(r);
    Form1->StringGrid0->setCells(1, r, QString::number(p.x()));
    Form1->StringGrid0->setCells(2, r, QString::number(p.y()));
}

// Median time of one update, in milliseconds.
double mesurer(int images)
{
    nbImages = images;
    periode = 0.04L;
    TStringGrid *g = Form1->StringGrid0;
    tailleGrille(g, 3, images + 1);
    for (int r = 1; r <= images; ++r) {
        g->setCells(0, r, QString::number(r - 1));
        g->setCells(1, r, QString());
        g->setCells(2, r, QString());
    }
    for (int r = 1; r <= kPointes; ++r)
        pointer(r);

    auto *fenetre = new TGrapheBox(Form1);
    fenetre->cbGraphe->setCurrentIndex(TGrapheBox::grVy);
    fenetre->cbModele->setCurrentIndex(2);
    fenetre->show();
    QApplication::processEvents();

    std::vector<double> temps;
    for (int r = kPointes + 1; r <= kPointes + kNouveaux; ++r) {
        pointer(r);
        const auto debut = std::chrono::steady_clock::now();
        emit Form1->tableauModifie(r, 1);
        fenetre->ChartView1->viewport()->repaint();
        temps.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut)
                .count());
    }
    std::printf(
        "%d frames: %zu points shown, last fit a = %.4f\n", images, fenetre->lignesPoints().size(),
        fenetre->ajustement().coefficients.empty() ? 0.0 : fenetre->ajustement().coefficients[0]);
    delete fenetre;
    std::sort(temps.begin(), temps.end());
    return temps[temps.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    creerFenetres();
    mesurer(1000); // warm-up: fonts, chart items
    const double petit = mesurer(1000);
    const double grand = mesurer(90000);
    std::printf("update after one pointing, 1000 frames: %.3f ms (median of %d)\n", petit,
                kNouveaux);
    std::printf("update after one pointing, 90000 frames: %.3f ms (median of %d)\n", grand,
                kNouveaux);
    std::printf("ratio 90000/1000=%.2f\n", grand / petit);
    detruireFenetres();
    return 0;
}

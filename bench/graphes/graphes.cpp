// Cost of bringing the graph panel up to date after one new pointing, on a 1,000-frame
// and on a 90,000-frame table holding the same trajectory (500 frames pointed, then 100 new
// pointings timed one by one, three rounds of each size in turn): the panel must not pay for
// the frames nobody pointed. Four graphs are shown, each with a fit: vy(t) with a parabola,
// x(t) with a line, a(t) from smoothed positions with a line, the trajectory with a parabola;
// each update includes a repaint of the four charts. Then, for information, the same on tables
// pointed on every frame (as tracking would leave them), where the cost follows the points.
// Last line: "ratio 90000/1000=R" (the 500-frame trajectory).
#include "analyse/graphes.h"
#include "app/Unit1.h"
#include "app/etat.h"
#include "measure/TStringGrid.h"
#include "measure/grilles.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kPointes = 500;
constexpr int kNouveaux = 100;
constexpr int kTours = 3;

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Pixel of a ball bouncing once a second, on row r.
QPoint position(int r)
{
    const double t = ((r - 1) % 25) * 0.04;
    return {(r - 1) % 640, int(std::lround(50 + 60 * t + 200 * t * t))};
}

void pointer(int r)
{
    const QPoint p = position(r);
    Form1->StringGrid0->setCells(1, r, QString::number(p.x()));
    Form1->StringGrid0->setCells(2, r, QString::number(p.y()));
}

// Times of the updates, in milliseconds, appended to temps.
void mesurer(int images, int pointes, int nouveaux, std::vector<double> &temps)
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
    for (int r = 1; r <= pointes; ++r)
        pointer(r);

    auto *fenetre = new TGrapheBox(Form1);
    fenetre->setWindowFlag(Qt::Window);
    fenetre->resize(1000, 800);
    fenetre->sbNombre->setValue(4);
    fenetre->chkLissage->setChecked(true);
    const int graphes[4][2] = {{TGrapheBox::grVy, 2}, {TGrapheBox::grX, 1}, {8 /* a(t) */, 1},
                               {TGrapheBox::grTrajectoire, 2}};
    for (int i = 0; i < 4; ++i) {
        fenetre->vues[std::size_t(i)]->cbGraphe->setCurrentIndex(graphes[i][0]);
        fenetre->vues[std::size_t(i)]->cbModele->setCurrentIndex(graphes[i][1]);
    }
    fenetre->show();
    QApplication::processEvents();

    for (int r = pointes + 1; r <= std::min(images, pointes + nouveaux); ++r) {
        pointer(r);
        const auto debut = std::chrono::steady_clock::now();
        emit Form1->tableauModifie(r, 1);
        for (VueGraphe *v : fenetre->vues)
            v->ChartView1->viewport()->repaint();
        temps.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - debut)
                .count());
    }
    std::printf(
        "%d frames: %zu points shown, last fit a = %.4f\n", images, fenetre->lignesPoints().size(),
        fenetre->ajustement().coefficients.empty() ? 0.0 : fenetre->ajustement().coefficients[0]);
    delete fenetre;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    creerFenetres();
    std::vector<double> ignores, petit, grand;
    mesurer(1000, kPointes, kNouveaux, ignores); // warm-up: fonts, chart items
    // Rounds in turn, so that a busy moment of the machine weighs on both sizes alike.
    for (int tour = 0; tour < kTours; ++tour) {
        mesurer(1000, kPointes, kNouveaux, petit);
        mesurer(90000, kPointes, kNouveaux, grand);
    }
    std::vector<double> pleinPetit, pleinGrand;
    mesurer(1000, 1000 - 20, 20, pleinPetit);
    mesurer(90000, 90000 - 20, 20, pleinGrand);
    std::printf("every frame pointed: 1000 frames %.3f ms, 90000 frames %.3f ms, ratio %.2f "
                "(information)\n",
                mediane(pleinPetit), mediane(pleinGrand),
                mediane(pleinGrand) / mediane(pleinPetit));
    const double p = mediane(petit), g = mediane(grand);
    std::printf("four graphs with fits, smoothing on\n");
    std::printf("update after one pointing, 1000 frames: %.3f ms (median of %zu)\n", p,
                petit.size());
    std::printf("update after one pointing, 90000 frames: %.3f ms (median of %zu)\n", g,
                grand.size());
    std::printf("ratio 90000/1000=%.2f\n", g / p);
    detruireFenetres();
    return 0;
}

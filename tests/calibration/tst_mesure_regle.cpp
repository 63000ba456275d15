// One measurement from start to end: open an mkclip clip, calibrate on its ruler, place the
// Origin, point the disc on every frame, and recover from the table the acceleration mkclip
// drew the disc with.
#include "app/Unit1.h"
#include "analyse/mouvement.h"
#include "calibration/transformation.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/dessin.h"
#include "measure/document.h"
#include "measure/sessionMesure.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QtTest>
#include <cmath>

namespace
{

// mkclip's ruler is 100 px long in these clips; we say it is half a metre.
constexpr double longueurRegle = 0.5;
constexpr int pixelsRegle = 100;
constexpr double accelerationPixels = 160; // --a of the clips, y downward
constexpr double vitesseXPixels = 100;     // --vx

QString clip(const QString &nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + nom;
}

// The two end pixels of the ruler, from the first line of the clip's CSV.
std::pair<QPoint, QPoint> regle(const QString &nom)
{
    QFile f(clip(nom + QStringLiteral(".csv")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QStringList champs = QString::fromLatin1(f.readLine()).simplified().split(' ');
    if (champs.size() != 6 || champs[1] != QStringLiteral("ruler")) return {};
    return {{champs[2].toInt(), champs[3].toInt()}, {champs[4].toInt(), champs[5].toInt()}};
}

// The centre of the red disc on the frame shown, to the nearest pixel.
QPoint disque(const QImage &image)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 160 && c.green() < 100 && c.blue() < 100) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    if (n == 0) return {-1, -1};
    return {int(std::lround(sx / n)), int(std::lround(sy / n))};
}

void clic(QPoint p)
{
    QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, p);
}

// Least squares fit of v = c0 + c1 t + c2 t^2; returns {c0, c1, c2}.
std::array<double, 3> parabole(const std::vector<double> &t, const std::vector<double> &v)
{
    double s[5] = {}, b[3] = {};
    for (size_t i = 0; i < t.size(); ++i) {
        double p = 1;
        for (int k = 0; k < 5; ++k) {
            s[k] += p;
            if (k < 3) b[k] += p * v[i];
            p *= t[i];
        }
    }
    double m[3][4] = {{s[0], s[1], s[2], b[0]}, {s[1], s[2], s[3], b[1]}, {s[2], s[3], s[4], b[2]}};
    for (int c = 0; c < 3; ++c)
        for (int r = c + 1; r < 3; ++r) {
            const double f = m[r][c] / m[c][c];
            for (int k = c; k < 4; ++k)
                m[r][k] -= f * m[c][k];
        }
    std::array<double, 3> x{};
    for (int r = 2; r >= 0; --r) {
        double v2 = m[r][3];
        for (int k = r + 1; k < 3; ++k)
            v2 -= m[r][k] * x[k];
        x[r] = v2 / m[r][r];
    }
    return x;
}

double nombre(const QString &texte)
{
    const auto v = lireReel(texte, '.');
    return v ? double(*v) : std::nan("");
}

} // namespace

class TestMesureRegle : public QObject
{
    Q_OBJECT

    PlateformeScriptee plateforme_;

    void ouvrir(const QString &nom)
    {
        plateforme_.fichiersOuverts.push_back({clip(nom + QStringLiteral(".avi"))});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        QVERIFY(plateforme_.messages.empty());
    }

    // Calibrates on the ruler's ends in the equal-scales mode and types its length.
    void etalonner(const QString &nom)
    {
        const auto [a, b] = regle(nom);
        QCOMPARE(b.x() - a.x(), pixelsRegle);
        Form1->popUpMnuModeEtalonnerClick();
        QTest::mouseClick(Form1->rbEtalonSimu, Qt::LeftButton);
        QVERIFY(Form1->rbEtalonSimu->isChecked());
        clic(a);
        QTest::mouseClick(Form1->chkBoxPt2, Qt::LeftButton);
        clic(b);
        QCOMPARE(etalonP1, a);
        QCOMPARE(etalonP2, b);
        QFocusEvent entree(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &entree);
        Form1->edSi->selectAll();
        QTest::keyClicks(Form1->edSi, QString::number(longueurRegle));
        QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &sortie);
        QVERIFY(std::fabs(double(echelleH) - longueurRegle / pixelsRegle) < 1e-12);
        QCOMPARE(echelleV, echelleH);
    }

    void placerOrigine(QPoint p)
    {
        Form1->popUpMnuModeEtalonnerClick();
        // The origin button has no caption: click its indicator.
        QStyleOptionButton option;
        option.initFrom(Form1->rbChxOrig);
        const QRect indicateur = Form1->rbChxOrig->style()->subElementRect(
            QStyle::SE_RadioButtonIndicator, &option, Form1->rbChxOrig);
        QTest::mouseClick(Form1->rbChxOrig, Qt::LeftButton, Qt::NoModifier, indicateur.center());
        QVERIFY(Form1->rbChxOrig->isChecked());
        clic(p);
        QCOMPARE(QPoint(origineX, origineY), p);
    }

    // Points the disc on every frame from the first; the table moves on by itself.
    QList<QPoint> pointer()
    {
        Form1->popUpMnuModeAcquerirClick();
        QList<QPoint> pointes;
        for (int f = 0; f < nbImages; ++f) {
            if (imageCourante != f) return pointes;
            const QPoint p = disque(Form1->MediaPlayer1->image());
            if (p.x() < 0) return pointes;
            clic(p);
            pointes << p;
        }
        return pointes;
    }

private slots:
    void init() { debuterSession(plateforme_); }

    void cleanup() { terminerSession(); }

    void acceleration_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::newRow("raw") << "raw";
        QTest::newRow("divx") << "divx";
    }

    void acceleration()
    {
        QFETCH(QString, nom);
        ouvrir(nom);
        QCOMPARE(origineY, hauteurAffichee - 1);
        etalonner(nom);
        const QPoint depart = disque(Form1->MediaPlayer1->image());
        placerOrigine(depart);
        const QList<QPoint> pointes = pointer();
        QCOMPARE(pointes.size(), nbImages);

        TStringGrid *table = Form1->StringGrid1;
        std::vector<double> t, x, y;
        for (int r = 1; r <= nbImages; ++r) {
            t.push_back(nombre(table->Cells(0, r)));
            x.push_back(nombre(table->Cells(1, r)));
            y.push_back(nombre(table->Cells(2, r)));
            QVERIFY2(!std::isnan(t.back()) && !std::isnan(x.back()) && !std::isnan(y.back()),
                     qPrintable(QStringLiteral("row %1").arg(r)));
        }
        // The first pointing is the Origin.
        QCOMPARE(table->Cells(1, 1), QStringLiteral(" 0.00E+0"));
        QCOMPARE(table->Cells(2, 1), QStringLiteral(" 0.00E+0"));

        const double metresParPixel = longueurRegle / pixelsRegle;
        const auto cy = parabole(t, y);
        const double attendue = -accelerationPixels * metresParPixel; // y grows upward
        QVERIFY2(std::fabs(2 * cy[2] / attendue - 1) < 0.02,
                 qPrintable(QStringLiteral("a = %1, expected %2").arg(2 * cy[2]).arg(attendue)));
        const auto cx = parabole(t, x);
        QVERIFY2(std::fabs(cx[1] / (vitesseXPixels * metresParPixel) - 1) < 0.02,
                 qPrintable(QStringLiteral("vx = %1").arg(cx[1])));
    }

    void clicGardeLeFocusDeLaLongueur()
    {
        // A click on the picture leaves the focus in the length box being typed in: the box
        // stays red and the click takes the Scale from what it holds.
        ouvrir(QStringLiteral("raw"));
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        Form1->popUpMnuModeEtalonnerClick();
        QTest::mouseClick(Form1->rbEtalonHori, Qt::LeftButton);
        clic({20, 30});
        Form1->edSH->setFocus();
        QVERIFY(Form1->edSH->hasFocus());
        Form1->edSH->selectAll();
        QTest::keyClicks(Form1->edSH, QStringLiteral("0"));
        QCOMPARE(Form1->edSH->palette().color(QPalette::Base), QColor(255, 0, 0));
        clic({120, 30});
        QCOMPARE(etalonP1.x(), 120);
        QVERIFY(Form1->edSH->hasFocus());
        QCOMPARE(Form1->edSH->text(), QStringLiteral("0"));
        QCOMPARE(echelleH, 0.0L);
    }

    void origineSurUnPointage()
    {
        ouvrir(QStringLiteral("raw"));
        etalonner(QStringLiteral("raw"));
        const QList<QPoint> pointes = pointer();
        QVERIFY(pointes.size() > 6);
        TStringGrid *table = Form1->StringGrid1;
        QVERIFY(table->Cells(1, 6) != QStringLiteral(" 0.00E+0"));

        // The Origin on the sixth pointing: that row reads zero, the others follow.
        placerOrigine(pointes[5]);
        QCOMPARE(table->Cells(1, 6), QStringLiteral(" 0.00E+0"));
        QCOMPARE(table->Cells(2, 6), QStringLiteral(" 0.00E+0"));
        const double dx = (pointes[0].x() - pointes[5].x()) * longueurRegle / pixelsRegle;
        QVERIFY(std::fabs(nombre(table->Cells(1, 1)) - dx) < 1e-3);

        // Turning both axes turns the signs of the table at once.
        const QString x1 = table->Cells(1, 1), y1 = table->Cells(2, 1);
        QTest::mouseClick(Form1->tbXnYN, Qt::LeftButton);
        QCOMPARE(nombre(table->Cells(1, 1)), -nombre(x1));
        QCOMPARE(nombre(table->Cells(2, 1)), -nombre(y1));
    }

    // A block sliding down a 30 degree slope filmed level, pointed, then the axes turned onto
    // the slope: x is the distance run along it, y stays within a pixel's worth of zero, in
    // the table and in what the graphs read.
    void pente_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::newRow("angle typed") << "tape";
        QTest::newRow("two clicks along the slope") << "pente";
        QTest::newRow("x arrow dragged") << "fleche";
    }

    void pente()
    {
        QFETCH(QString, comment);
        const QString nom = QStringLiteral("pente_30");
        ouvrir(nom);
        etalonner(nom);
        Form1->udFmt_xy->setPosition(4); // 5 digits: the table shows tenths of a pixel here
        Form1->udFmt_xyClick();
        const QPoint depart = disque(Form1->MediaPlayer1->image());
        placerOrigine(depart);
        const QList<QPoint> pointes = pointer();
        QCOMPARE(pointes.size(), nbImages);

        std::vector<QPointF> vrais; // the true centres, from mkclip's CSV
        QFile f(clip(nom + QStringLiteral(".csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        f.readLine();
        f.readLine();
        while (!f.atEnd()) {
            const QList<QByteArray> c = f.readLine().trimmed().split(',');
            if (c.size() == 3) vrais.emplace_back(c[1].toDouble(), c[2].toDouble());
        }
        QCOMPARE(int(vrais.size()), nbImages);

        if (comment == QStringLiteral("tape")) {
            Form1->edAngleAxes->setValue(-30);
        } else if (comment == QStringLiteral("pente")) {
            Form1->mnuAxesPente->trigger();
            clic(pointes.first());
            clic(pointes.last());
            QVERIFY(!Form1->mnuAxesPente->isChecked());
        } else {
            placerOrigine(depart);
            const QPointF pointe =
                pointeAxeX(sensX, origineX, origineY, hauteurAffichee, largeurAffichee, angleAxes);
            const QPoint loin = depart + QPoint(260, 150); // 300 px down the slope
            QTest::mousePress(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, pointe.toPoint());
            QTest::mouseMove(Form1->PaintBox1, loin);
            QTest::mouseRelease(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, loin);
            QCOMPARE(QPoint(origineX, origineY), depart); // the arrow turned, the Origin stayed
        }
        QVERIFY2(std::fabs(angleAxes + 30) < 0.2, qPrintable(QString::number(angleAxes)));
        QCOMPARE(Form1->document->mesure().nbPointages(), nbImages); // no click was a pointing

        const double pixel = longueurRegle / pixelsRegle;
        double pireX = 0, pireY = 0;
        for (int r = 1; r <= nbImages; ++r) {
            const double x = nombre(Form1->StringGrid1->Cells(1, r));
            const double y = nombre(Form1->StringGrid1->Cells(2, r));
            const QPointF d = vrais[std::size_t(r - 1)] - vrais[0];
            const double parcouru = std::hypot(d.x(), d.y()) * pixel;
            pireX = std::max(pireX, std::fabs(x - parcouru));
            pireY = std::max(pireY, std::fabs(y));
            const auto e = echantillonDePosition(r, 0, Form1->document->reglages(),
                                                 Form1->document->position(0, r - 1));
            QVERIFY(e && std::fabs(e->x - x) < 1e-4 && std::fabs(e->y - y) < 1e-4);
        }
        qInfo("%s: worst x along the slope off by %.2f px, worst y across it %.2f px",
              qPrintable(comment), pireX / pixel, pireY / pixel);
        QVERIFY2(pireY <= pixel, qPrintable(QString::number(pireY / pixel)));
        QVERIFY2(pireX <= pixel, qPrintable(QString::number(pireX / pixel)));

        // The turn is one undo step, and the table goes back with it.
        const QString x2 = Form1->StringGrid1->Cells(1, 2);
        Form1->sessionMesure->annuler();
        QCOMPARE(angleAxes, 0.0);
        QCOMPARE(Form1->edAngleAxes->value(), 0.0);
        QCOMPARE(nombre(Form1->StringGrid1->Cells(1, 2)),
                 nombre(texteSci(4, (pointes[1].x() - depart.x()) * echelleH)));
        Form1->sessionMesure->retablir();
        QCOMPARE(Form1->StringGrid1->Cells(1, 2), x2);
    }
};

QTEST_MAIN(TestMesureRegle)
#include "tst_mesure_regle.moc"

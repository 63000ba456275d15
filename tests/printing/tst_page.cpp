// The printed page without a printer: the proposed scale, the track bar, and
// the page drawn on an image at a set resolution, its 1 cm squares and markers measured.
#include "measure/Nbreels.h"
#include "printing/page.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>
#include <cmath>
#include <cstdlib>

Q_DECLARE_METATYPE(ModeCouleur)

namespace
{

// The drawing of a 320 x 240 picture at 1 mm per pixel, 2 cm to the printed centimetre, at
// 300 dots per inch (118.11 dots to the centimetre), on a page just larger than the drawing.
PageImprimee pageType()
{
    PageImprimee p;
    p.resolX = p.resolY = 300;
    p.page = QSizeF(2000, 1600);
    p.echelleH = p.echelleV = 0.001L;
    p.ech = 0.02L;
    p.largeurAffichee = 320;
    p.hauteurAffichee = 240;
    p.origineX = 110;
    p.origineY = 190;
    p.axes = false;
    p.mode = ModeCouleur::ecran;
    return p;
}

QImage dessiner(const PageImprimee &p)
{
    QImage image(p.page.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The image's own resolution sizes the legend's font, as a printer's does.
    image.setDotsPerMeterX(qRound(p.resolX / 0.0254));
    image.setDotsPerMeterY(qRound(p.resolY / 0.0254));
    QPainter canevas(&image);
    dessinePage(canevas, p);
    return image;
}

// Lines of columns (or rows) holding more than a hundred pixels of the colour: the first
// column of each, and in `largeurs` how many columns wide each is.
QList<int> lignesDe(const QImage &image, QRgb couleur, bool colonnes,
                    QList<int> *largeurs = nullptr)
{
    QList<int> r, l;
    const int n = colonnes ? image.width() : image.height();
    const int m = colonnes ? image.height() : image.width();
    for (int i = 0; i < n; ++i) {
        int compte = 0;
        for (int j = 0; j < m; ++j)
            compte += image.pixel(colonnes ? i : j, colonnes ? j : i) == couleur;
        if (compte <= 100) continue;
        if (!r.isEmpty() && r.last() + l.last() == i)
            ++l.last();
        else
            r << i, l << 1;
    }
    if (largeurs) *largeurs = l;
    return r;
}

} // namespace

class TestPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { definirSeparateurDecimal(QLatin1Char('.')); }

    void echelleProposee_data()
    {
        // m as text, read as an 80-bit real as the dialog computes it.
        QTest::addColumn<QString>("m");
        QTest::addColumn<double>("attendue"); // 0: no proposal
        QTest::newRow("320x240 at 1 mm on 20.3 cm") << "0.0157635" << 0.1;
        QTest::newRow("exactly 1") << "1" << 10.0;
        QTest::newRow("2.5") << "2.5" << 10.0;
        QTest::newRow("exactly 0.1") << "0.1" << 0.1;
        QTest::newRow("just above 0.1") << "0.100000000000001" << 1.0;
        QTest::newRow("just below 0.01") << "0.00999999999999999" << 0.01;
        QTest::newRow("exactly 100") << "100" << 1000.0;
        QTest::newRow("tiny") << "3E-30" << 1e-29;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("negative") << "-0.5" << 0.0;
        QTest::newRow("infinite") << "inf" << 0.0;
        QTest::newRow("not a number") << "nan" << 0.0;
    }
    void echelleProposee()
    {
        QFETCH(QString, m);
        QFETCH(double, attendue);
        const auto d = ::echelleProposee(std::strtold(m.toLatin1().constData(), nullptr));
        QCOMPARE(d.has_value(), attendue != 0);
        if (d)
            QVERIFY2(std::fabs(double(*d) / attendue - 1) < 1e-12,
                     qPrintable(QString::number(double(*d))));
    }

    void piste()
    {
        for (long double D : {1e-3L, 0.1L, 1.0L, 10.0L, 1e5L}) {
            QCOMPARE(positionPiste(D, D), 100);
            QCOMPARE(positionPiste(10 * D, D), 0);
            QCOMPARE(positionPiste(1000 * D, D), 0);
            QCOMPARE(positionPiste(D / 10, D), 200);
            QCOMPARE(positionPiste(D / 1e6L, D), 200);
            // Every position written with 3 digits and read back lands on itself.
            for (int p = 0; p <= 200; ++p) {
                const QString t = texteSci(2, echelleDePiste(p, D));
                const auto e = lireEchelleImpression(t);
                QVERIFY(e);
                QCOMPARE(positionPiste(*e, D), p);
            }
        }
        QCOMPARE(texteSci(2, echelleDePiste(0, 0.1L)), QStringLiteral(" 1.00E+0"));
        QCOMPARE(texteSci(2, echelleDePiste(200, 0.1L)), QStringLiteral(" 1.00E-2"));
    }

    // 1 cm squares, the lines through the Origin, the legend under the drawing. (The markers'
    // distance is measured on the PDF.)
    void pageALEchelle()
    {
        PageImprimee p = pageType();
        const QImage image = dessiner(p);
        const QRgb grille = qRgb(127, 127, 127);
        const double cm = 300 / 2.54;

        const QList<int> xs = lignesDe(image, grille, true), ys = lignesDe(image, grille, false);
        // 5.5 cm left of the Origin and 10.5 right; 9.5 above and 2.5 below.
        QCOMPARE(xs.size(), 16);
        QCOMPARE(ys.size(), 12);
        // Lines through the Origin, within the dot their width adds on one side.
        const auto pres = [](const QList<int> &l, double v) {
            return std::any_of(l.begin(), l.end(), [v](int i) { return std::abs(i - v) <= 1; });
        };
        QVERIFY(pres(xs, qRound(110 * 0.05 * cm)));
        QVERIFY(pres(ys, qRound(190 * 0.05 * cm)));
        for (const QList<int> &l : {xs, ys}) {
            for (int i = 1; i < l.size(); ++i)
                QVERIFY2(std::abs(l[i] - l[i - 1] - cm) < 1, qPrintable(QString::number(l[i])));
            const double moyen = double(l.last() - l.first()) / (l.size() - 1);
            QVERIFY2(std::fabs(moyen / cm - 1) < 0.005, qPrintable(QString::number(moyen)));
        }
        // The lines run over the drawing only: 320 x 240 pixels are 16 x 12 cm.
        QCOMPARE(image.pixel(xs.first(), qRound(12 * cm) + 2), qRgb(255, 255, 255));

        // The legend under the drawing, in black.
        bool legende = false;
        for (int y = qRound(12 * cm) + 5; y < qRound(12 * cm) + 60 && !legende; ++y)
            for (int x = 10; x < 300 && !legende; ++x)
                legende = qGray(image.pixel(x, y)) < 100;
        QVERIFY(legende);
        QCOMPARE(legendeImpression(0.1L), QStringLiteral("1cm :  1.00E-1m"));
    }

    // Turned axes on paper run along the picture's turned axes: through the Origin and through
    // the dots of a picture pixel on them, each direction stretched by its own Scale.
    void axesInclines_data()
    {
        QTest::addColumn<double>("echelleV");
        QTest::newRow("equal scales") << 0.001;
        QTest::newRow("vertical scale twice") << 0.002;
    }

    void axesInclines()
    {
        QFETCH(double, echelleV);
        PageImprimee p = pageType();
        p.echelleV = echelleV;
        p.page = QSizeF(2000, 3000);
        p.axes = true;
        p.grille = false;
        p.couleurAxes = 255; // red
        p.angleAxes = 30;
        const QImage image = dessiner(p);
        const double fX = double(p.facteurX()), fY = double(p.facteurY());
        const auto rouge = [&image](QPointF d) {
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (image.pixel(qRound(d.x()) + dx, qRound(d.y()) + dy) == qRgb(255, 0, 0))
                        return true;
            return false;
        };
        const double a = 30 * M_PI / 180;
        for (double t : {0.0, 60.0, 150.0, -80.0}) {
            const QPointF P(110 + t * std::cos(a), 190 - t * std::sin(a)); // on the x axis
            QVERIFY2(rouge(QPointF(P.x() * fX, P.y() * fY)), qPrintable(QString::number(t)));
        }
        // Not along the picture's rows any more.
        QVERIFY(!rouge(QPointF(250 * fX, 190 * fY)));
    }

    void couleurs_data()
    {
        QTest::addColumn<ModeCouleur>("mode");
        QTest::addColumn<bool>("grilleCouleurAxes");
        QTest::addColumn<QColor>("axes");
        QTest::addColumn<QColor>("point");
        QTest::addColumn<QColor>("grille");
        const QColor rouge(255, 0, 0), vert(0, 255, 0), gris127(127, 127, 127);
        QTest::newRow("screen") << ModeCouleur::ecran << false << rouge << vert << gris127;
        QTest::newRow("grey") << ModeCouleur::gris << false << QColor(128, 128, 128)
                              << QColor(128, 128, 128) << gris127;
        QTest::newRow("black") << ModeCouleur::noir << false << QColor(0, 0, 0) << QColor(0, 0, 0)
                               << gris127;
        // The grid in the axes' colour takes their screen colour whatever the mode.
        QTest::newRow("black, grid as axes")
            << ModeCouleur::noir << true << QColor(0, 0, 0) << QColor(0, 0, 0) << rouge;
    }
    void couleurs()
    {
        QFETCH(ModeCouleur, mode);
        QFETCH(bool, grilleCouleurAxes);
        QFETCH(QColor, axes);
        QFETCH(QColor, point);
        QFETCH(QColor, grille);
        // 254 dots per inch: 100 dots to the centimetre, 10 dots per pixel.
        PageImprimee p;
        p.resolX = p.resolY = 254;
        p.page = QSizeF(500, 400);
        p.echelleH = p.echelleV = 0.001L;
        p.ech = 0.01L;
        p.largeurAffichee = 40;
        p.hauteurAffichee = 30;
        p.origineX = 5;
        p.origineY = 25;
        p.couleurAxes = 255; // red
        p.mode = mode;
        p.grilleCouleurAxes = grilleCouleurAxes;
        p.marques = {{22, 12, 65280, 0}}; // green cross
        const QImage image = dessiner(p);
        // The bases of the two arrow heads (5 x 11 dots long, 2 x 11 half-wide).
        QCOMPARE(image.pixelColor(399 - 55, 240), axes);
        QCOMPARE(image.pixelColor(40, 55), axes);
        QCOMPARE(image.pixelColor(220 + 3, 120), point); // arm of the cross
        // The dotted grid line at x = 150: dots of its colour, white between them.
        QSet<QRgb> vus;
        for (int y = 0; y < 24; ++y)
            vus << image.pixel(150, y);
        QVERIFY(vus.contains(grille.rgb()) && vus.contains(qRgb(255, 255, 255)));
        // Marker half-size: the size times the dots per pixel (to the dot a wide line's end
        // is rounded to).
        QCOMPARE(image.pixelColor(220 + 9, 120), point);
        QCOMPARE(image.pixelColor(220 + 12, 120), QColor(Qt::white));
    }

    // Lines have their width on paper whatever the printer's dots: the grid about 0.15 mm,
    // the axes about 0.3 mm; white, the default colour, prints black.
    void traitsEnMillimetres()
    {
        for (int dpi : {300, 600, 1200}) {
            PageImprimee p = pageType();
            p.resolX = p.resolY = dpi;
            p.page = QSizeF(2000.0 * dpi / 300, 1600.0 * dpi / 300);
            p.axes = true;
            p.couleurAxes = 0xFFFFFF;
            const QImage image = dessiner(p);
            QList<int> grille, axes;
            lignesDe(image, qRgb(127, 127, 127), true, &grille);
            lignesDe(image, qRgb(0, 0, 0), false, &axes);
            const double dotsParMm = dpi / 25.4;
            QVERIFY(!grille.isEmpty() && !axes.isEmpty());
            const auto environ = [](int mesure, double attendu) {
                return std::abs(mesure - attendu) <= std::max(1.5, 0.1 * attendu);
            };
            QVERIFY2(environ(grille.first(), 0.15 * dotsParMm),
                     qPrintable(QStringLiteral("%1 dpi: grid %2").arg(dpi).arg(grille.first())));
            QVERIFY2(environ(axes.first(), 0.3 * dotsParMm),
                     qPrintable(QStringLiteral("%1 dpi: axis %2").arg(dpi).arg(axes.first())));
        }
    }

    // Whatever the scale, only the lines that land on the page are drawn.
    void grilleBornee()
    {
        PageImprimee p = pageType();
        for (long double e : {1e-30L, 1e-9L, 1e-4L}) {
            p.ech = e;
            const GrilleImprimee g = grilleImprimee(p);
            QVERIFY(g.x.size() <= 2000 / 118 + 2 && g.x.size() >= 2000 / 119);
            QVERIFY(g.y.size() <= 1600 / 118 + 2 && g.y.size() >= 1600 / 119);
            QCOMPARE(g.finX, 2001);
            p.axes = true;
            p.marques = {{50, 60, 255, 2}};
            dessiner(p); // neither hangs nor overflows
        }
        // Origin at the bottom-left pixel and 1 cm for more than the frame's height: one
        // horizontal line, through the Origin.
        p = pageType();
        p.origineX = 0;
        p.origineY = 239;
        p.ech = 1;
        const GrilleImprimee g = grilleImprimee(p);
        QCOMPARE(g.y, std::vector<int>{qRound(239 * 0.001 * 300 / 2.54)});
        QCOMPARE(g.x, std::vector<int>{0});
    }
};

QTEST_MAIN(TestPage)
#include "tst_page.moc"

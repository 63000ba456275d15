// Markers and axes compared pixel by pixel with the shapes they must have.
#include "measure/dessin.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

namespace
{

const QColor kEncre(200, 30, 60);

// One text line per image row: '#' for the ink colour, '.' for the untouched ground.
QStringList image(const QImage &im)
{
    QStringList lignes;
    for (int y = 0; y < im.height(); ++y) {
        QString l;
        for (int x = 0; x < im.width(); ++x) {
            const QRgb p = im.pixel(x, y);
            l += p == kEncre.rgba() ? QLatin1Char('#')
                 : p == 0u          ? QLatin1Char('.')
                                    : QLatin1Char('?');
        }
        lignes << l;
    }
    return lignes;
}

QImage toile(int l, int h)
{
    QImage im(l, h, QImage::Format_ARGB32);
    im.fill(Qt::transparent);
    return im;
}

QStringList marqueur(int n, int forme)
{
    QImage im = toile(11, 11);
    QPainter p(&im);
    p.setPen(QPen(Qt::green, 0)); // only the colour may change
    dessinePoint(p, kEncre, n, 5, 5, forme);
    p.end();
    return image(im);
}

QStringList axes(int sX, int sY)
{
    QImage im = toile(16, 14);
    QPainter p(&im);
    dessineAxes(p, kEncre, sX, sY, 4, 9, 14, 16, 1);
    p.end();
    return image(im);
}

} // namespace

class TestDessin : public QObject
{
    Q_OBJECT
private slots:
    void marqueurs_data();
    void marqueurs();
    void grandCercle();
    void formeInconnue();
    void etatDuCanevas();
    void axesQuatreSens_data();
    void axesQuatreSens();
    void flecheAgrandie();
    void surImprimante();
};

void TestDessin::marqueurs_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("forme");
    QTest::addColumn<QStringList>("attendu");
    const QString vide = QStringLiteral("...........");
    auto avec = [&](std::initializer_list<std::pair<int, const char *>> lignes) {
        QStringList l(11, vide);
        for (const auto &[y, texte] : lignes)
            l[y] = QString::fromLatin1(texte);
        return l;
    };
    const QStringList pixel = avec({{5, ".....#....."}});
    QTest::newRow("cross size 1") << 0 << 0 << pixel;
    QTest::newRow("square size 1") << 0 << 1 << pixel;
    QTest::newRow("circle size 1") << 0 << 2 << pixel;
    QTest::newRow("cross size 2")
        << 1 << 0 << avec({{4, ".....#....."}, {5, "....###...."}, {6, ".....#....."}});
    QTest::newRow("cross size 5") << 4 << 0
                                  << avec({{1, ".....#....."},
                                           {2, ".....#....."},
                                           {3, ".....#....."},
                                           {4, ".....#....."},
                                           {5, ".#########."},
                                           {6, ".....#....."},
                                           {7, ".....#....."},
                                           {8, ".....#....."},
                                           {9, ".....#....."}});
    QTest::newRow("square size 2")
        << 1 << 1 << avec({{4, "....###...."}, {5, "....#.#...."}, {6, "....###...."}});
    QTest::newRow("square size 3") << 2 << 1
                                   << avec({{3, "...#####..."},
                                            {4, "...#...#..."},
                                            {5, "...#.#.#..."},
                                            {6, "...#...#..."},
                                            {7, "...#####..."}});
    QTest::newRow("square size 5") << 4 << 1
                                   << avec({{1, ".#########."},
                                            {2, ".#.......#."},
                                            {3, ".#...#...#."},
                                            {4, ".#...#...#."},
                                            {5, ".#.#####.#."},
                                            {6, ".#...#...#."},
                                            {7, ".#...#...#."},
                                            {8, ".#.......#."},
                                            {9, ".#########."}});
    QTest::newRow("circle size 2")
        << 1 << 2 << avec({{4, ".....#....."}, {5, "....#.#...."}, {6, ".....#....."}});
    QTest::newRow("circle size 3") << 2 << 2
                                   << avec({{3, "....###...."},
                                            {4, "...#...#..."},
                                            {5, "...#.#.#..."},
                                            {6, "...#...#..."},
                                            {7, "....###...."}});
}

void TestDessin::marqueurs()
{
    QFETCH(int, n);
    QFETCH(int, forme);
    QFETCH(QStringList, attendu);
    QCOMPARE(marqueur(n, forme), attendu);
}

void TestDessin::grandCercle()
{
    const QStringList im = marqueur(4, 2);
    // Outline inside the 9 x 9 box, touching its four sides at the middle, corners clear.
    QCOMPARE(im[0], QStringLiteral("..........."));
    QCOMPARE(im[10], QStringLiteral("..........."));
    for (int y = 0; y < 11; ++y) {
        QCOMPARE(im[y][0], QLatin1Char('.'));
        QCOMPARE(im[y][10], QLatin1Char('.'));
    }
    QCOMPARE(im[5][1], QLatin1Char('#'));
    QCOMPARE(im[5][9], QLatin1Char('#'));
    QCOMPARE(im[1][5], QLatin1Char('#'));
    QCOMPARE(im[9][5], QLatin1Char('#'));
    QCOMPARE(im[1][1], QLatin1Char('.'));
    QCOMPARE(im[9][9], QLatin1Char('.'));
    // Symmetric about both axes and the diagonal.
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            QCOMPARE(im[y][x], im[y][10 - x]);
            QCOMPARE(im[y][x], im[10 - y][x]);
            QCOMPARE(im[y][x], im[x][y]);
        }
    // Inner cross from X - 2 to X + 2, not touching the outline.
    QCOMPARE(im[5].mid(2, 7), QStringLiteral(".#####."));
    for (int y = 3; y <= 7; ++y)
        QCOMPARE(im[y][5], QLatin1Char('#'));
    QCOMPARE(im[2][5], QLatin1Char('.'));
}

void TestDessin::formeInconnue()
{
    QCOMPARE(marqueur(2, 3), QStringList(11, QStringLiteral("...........")));
    QCOMPARE(marqueur(2, -1), QStringList(11, QStringLiteral("...........")));
}

void TestDessin::etatDuCanevas()
{
    QImage im = toile(20, 20);
    QPainter p(&im);
    p.setPen(QPen(Qt::green, 3, Qt::DashLine));
    p.setBrush(Qt::red);
    dessinePoint(p, kEncre, 4, 10, 10, 1);
    // Outlines only, with the caller's pen apart from its colour.
    QCOMPARE(p.brush().style(), Qt::NoBrush);
    QCOMPARE(p.pen().color(), kEncre);
    QCOMPARE(p.pen().width(), 3);
    QCOMPARE(p.pen().style(), Qt::DashLine);
    p.end();
    QCOMPARE(im.pixel(10, 10), kEncre.rgba()); // inner cross
    QCOMPARE(im.pixel(12, 12), 0u);            // inside the square, not filled
}

void TestDessin::axesQuatreSens_data()
{
    QTest::addColumn<int>("sX");
    QTest::addColumn<int>("sY");
    QTest::addColumn<QStringList>("attendu");
    const QString axe = QStringLiteral("....#...........");
    const QStringList hautDroite = {
        axe,
        axe,
        QStringLiteral("...#.#.........."),
        QStringLiteral("...#.#.........."),
        QStringLiteral("..#...#........."),
        QStringLiteral("..#####........."),
        axe,
        QStringLiteral("....#.....##...."),
        QStringLiteral("....#.....#.##.."),
        QStringLiteral("###########...##"),
        QStringLiteral("....#.....#.##.."),
        QStringLiteral("....#.....##...."),
        axe,
        axe,
    };
    QTest::newRow("x right, y up") << 1 << 1 << hautDroite;
    // Tip of the downward arrow at y = H, one row below the canvas.
    const QStringList basGauche = {
        axe,
        axe,
        axe,
        axe,
        axe,
        axe,
        axe,
        QStringLiteral("....##.........."),
        QStringLiteral("..####.........."),
        QStringLiteral("################"),
        QStringLiteral("..##.##........."),
        QStringLiteral("...###.........."),
        QStringLiteral("...#.#.........."),
        QStringLiteral("....#..........."),
    };
    QTest::newRow("x left, y down") << -1 << -1 << basGauche;
    const QStringList basDroite = {
        axe,
        axe,
        axe,
        axe,
        axe,
        axe,
        axe,
        QStringLiteral("....#.....##...."),
        QStringLiteral("....#.....#.##.."),
        QStringLiteral("###########...##"),
        QStringLiteral("..#...#...#.##.."),
        QStringLiteral("...#.#....##...."),
        QStringLiteral("...#.#.........."),
        QStringLiteral("....#..........."),
    };
    QTest::newRow("x right, y down") << 1 << -1 << basDroite;
    const QStringList hautGauche = {
        axe,
        axe,
        QStringLiteral("...#.#.........."),
        QStringLiteral("...#.#.........."),
        QStringLiteral("..#...#........."),
        QStringLiteral("..#####........."),
        axe,
        QStringLiteral("....##.........."),
        QStringLiteral("..####.........."),
        QStringLiteral("##..############"),
        QStringLiteral("..####.........."),
        QStringLiteral("....##.........."),
        axe,
        axe,
    };
    QTest::newRow("x left, y up") << -1 << 1 << hautGauche;
}

void TestDessin::axesQuatreSens()
{
    QFETCH(int, sX);
    QFETCH(int, sY);
    QFETCH(QStringList, attendu);
    QCOMPARE(axes(sX, sY), attendu);
}

void TestDessin::flecheAgrandie()
{
    // k = 2: arrows 10 long and 4 half-wide; the vertical head's base is row 10.
    QImage im = toile(40, 30);
    QPainter p(&im);
    dessineAxes(p, kEncre, 1, 1, 20, 25, 30, 40, 2);
    p.end();
    const QStringList l = image(im);
    QCOMPARE(l[0].indexOf(QLatin1Char('#')), 20);
    QCOMPARE(l[0].count(QLatin1Char('#')), 1);
    QCOMPARE(l[10].mid(15, 11), QStringLiteral(".#########."));
    // Horizontal head: tip at x = 39, base column x = 29 from y = 21 to 29.
    QCOMPARE(l[25][39], QLatin1Char('#'));
    for (int y = 21; y <= 29; ++y)
        QCOMPARE(l[y][29], QLatin1Char('#'));
    QCOMPARE(l[20][29], QLatin1Char('.'));
    QCOMPARE(l[25][28], QLatin1Char('#')); // the axis line reaches the base
}

void TestDessin::surImprimante()
{
    // Vector devices take the same calls (the printer path).
    QBuffer tampon;
    tampon.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&tampon);
    QPainter p(&pdf);
    dessineAxes(p, kEncre, -1, -1, 300, 400, 900, 700, 6);
    for (int forme = 0; forme < 3; ++forme)
        dessinePoint(p, kEncre, 12, 200 + 50 * forme, 200, forme);
    QVERIFY(p.end());
    QVERIFY(tampon.size() > 0);
}

QTEST_GUILESS_MAIN(TestDessin)
#include "tst_dessin.moc"

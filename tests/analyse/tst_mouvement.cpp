// Velocities and fits against exact numbers, the refusals of bad input, and the CSV layout.
#include "analyse/grandeurs.h"
#include "analyse/mouvement.h"
#include "app/etat.h"

#include <QtTest>
#include <cmath>

Q_DECLARE_METATYPE(Modele)
Q_DECLARE_METATYPE(Ajustement::Echec)

namespace
{

// Rows 'lignes' of a 25 frame/s clip, the time origin on row 1, x = f(t), y = 2 x.
std::vector<Echantillon> serie(const std::vector<int> &lignes, double (*f)(double))
{
    std::vector<Echantillon> p;
    for (int l : lignes) {
        const double t = (l - 1) * 0.04;
        p.push_back({l, t, f(t), 2 * f(t)});
    }
    return p;
}

double carre(double t)
{
    return 3 * t * t - t;
}

bool proche(double a, double b, double tolerance = 1e-9)
{
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(b));
}

} // namespace

class TestMouvement : public QObject
{
    Q_OBJECT

private slots:
    // On a parabola the central difference is the exact derivative; a missing row is a gap
    // that no velocity bridges, and an equal spacing of several frames is no gap.
    void vitesses_data()
    {
        QTest::addColumn<std::vector<int>>("lignes");
        QTest::addColumn<std::vector<int>>("avecVitesse");
        QTest::addColumn<int>("lacunes");
        QTest::newRow("suivies") << std::vector<int>{1, 2, 3, 4, 5} << std::vector<int>{2, 3, 4}
                                 << 0;
        QTest::newRow("une lacune")
            << std::vector<int>{1, 2, 3, 5, 6, 7} << std::vector<int>{2, 6} << 1;
        QTest::newRow("une image sur deux")
            << std::vector<int>{3, 5, 7, 9} << std::vector<int>{5, 7} << 0;
        QTest::newRow("deux points") << std::vector<int>{1, 2} << std::vector<int>{} << 0;
        QTest::newRow("aucun") << std::vector<int>{} << std::vector<int>{} << 0;
    }
    void vitesses()
    {
        QFETCH(std::vector<int>, lignes);
        QFETCH(std::vector<int>, avecVitesse);
        QFETCH(int, lacunes);
        const auto p = serie(lignes, carre);
        const auto v = ::vitesses(p);
        QCOMPARE(int(v.size()), int(avecVitesse.size()));
        for (std::size_t i = 0; i < v.size(); ++i) {
            QCOMPARE(v[i].ligne, avecVitesse[i]);
            const double t = (v[i].ligne - 1) * 0.04;
            QCOMPARE(v[i].t, t);
            QVERIFY(proche(v[i].vx, 6 * t - 1));
            QVERIFY(proche(v[i].vy, 2 * (6 * t - 1)));
            QVERIFY(proche(v[i].v, std::sqrt(5.0) * std::fabs(6 * t - 1)));
        }
        QCOMPARE(nombreLacunes(p), lacunes);
    }

    // Every point at the same time (a clip without a frame period): no velocity at all.
    void vitessesSansDuree()
    {
        std::vector<Echantillon> p{{1, 0, 0, 0}, {2, 0, 1, 1}, {3, 0, 2, 2}};
        QVERIFY(::vitesses(p).empty());
    }

    void serieObjet()
    {
        SerieObjet s;
        QCOMPARE(s.placer({5, 0.2, 1, 1}), std::size_t(0));
        QCOMPARE(s.placer({9, 0.4, 2, 2}), std::size_t(1));
        QCOMPARE(s.placer({7, 0.3, 3, 3}), std::size_t(1));
        QCOMPARE(s.placer({7, 0.3, 4, 4}), std::size_t(1)); // replaced, not added
        QCOMPARE(s.size(), std::size_t(3));
        QCOMPARE(s.points()[1].x, 4.0);
        QVERIFY(s.retirer(5));
        QVERIFY(!s.retirer(5));
        QCOMPARE(s.points().front().ligne, 7);
    }

    // Exact numbers: perfect data, and small sets whose least squares solution was worked
    // out by hand (line) and in exact rational arithmetic (parabola).
    void ajustementsExacts()
    {
        const auto d = ajuster(Modele::Droite, {0, 1, 2, 3, 4}, {1, 3, 5, 7, 9});
        QVERIFY(d.valide());
        QVERIFY(proche(d.coefficients[0], 2) && proche(d.coefficients[1], 1));
        QVERIFY(d.incertitudes[0] < 1e-12 && d.incertitudes[1] < 1e-12);
        QVERIFY(proche(d.r2, 1));

        const auto l = ajuster(Modele::Droite, {0, 1, 2, 3}, {0, 1, 1, 3});
        QVERIFY(proche(l.coefficients[0], 0.9) && proche(l.coefficients[1], -0.1));
        QVERIFY(proche(l.incertitudes[0], std::sqrt(0.07)));
        QVERIFY(proche(l.incertitudes[1], std::sqrt(0.245)));
        QVERIFY(proche(l.r2, 1 - 0.7 / 4.75));
        QVERIFY(proche(l(2.0), 1.7));

        const std::vector<double> u{-2, -1, 0, 1, 2, 3}, v{4.1, 0.9, 0.2, 1.1, 3.9, 9.2};
        const auto p = ajuster(Modele::Parabole, u, v);
        QVERIFY(p.valide());
        const double coef[3] = {1.0089285714285714, 0.0025, 0.037142857142857144};
        const double inc[3] = {0.028041969274933715, 0.04963771813071678, 0.10442261073471139};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(proche(p.coefficients[std::size_t(i)], coef[i]));
            QVERIFY(proche(p.incertitudes[std::size_t(i)], inc[i]));
        }
        QVERIFY(proche(p.r2, 0.9984271086693994));

        // Far from zero (an hour into a clip) the same data give the same curvature and the
        // same curve: the fit does not lose its digits.
        std::vector<double> loin;
        for (double x : u)
            loin.push_back(x + 3600);
        const auto q = ajuster(Modele::Parabole, loin, v);
        QVERIFY(proche(q.coefficients[0], coef[0], 1e-7));
        QVERIFY(proche(q.incertitudes[0], inc[0], 1e-7));
        for (std::size_t i = 0; i < u.size(); ++i)
            QVERIFY(proche(q(loin[i]), p(u[i]), 1e-7));

        // Every ordinate equal: a perfect horizontal line, R² undefined.
        const auto h = ajuster(Modele::Droite, {0, 1, 2}, {5, 5, 5});
        QVERIFY(h.valide() && std::isnan(h.r2) && proche(h.coefficients[1], 5));
    }

    void refus_data()
    {
        QTest::addColumn<Modele>("modele");
        QTest::addColumn<std::vector<double>>("u");
        QTest::addColumn<Ajustement::Echec>("echec");
        QTest::newRow("vide") << Modele::Droite << std::vector<double>{}
                              << Ajustement::TropPeuDePoints;
        QTest::newRow("droite, 2 points")
            << Modele::Droite << std::vector<double>{0, 1} << Ajustement::TropPeuDePoints;
        QTest::newRow("parabole, 3 points")
            << Modele::Parabole << std::vector<double>{0, 1, 2} << Ajustement::TropPeuDePoints;
        QTest::newRow("même instant")
            << Modele::Droite << std::vector<double>{2, 2, 2, 2} << Ajustement::AbscisseUnique;
        QTest::newRow("parabole, deux abscisses")
            << Modele::Parabole << std::vector<double>{1, 2, 1, 2} << Ajustement::TropPeuDePoints;
    }
    void refus()
    {
        QFETCH(Modele, modele);
        QFETCH(std::vector<double>, u);
        QFETCH(Ajustement::Echec, echec);
        std::vector<double> v;
        for (std::size_t i = 0; i < u.size(); ++i)
            v.push_back(double(i));
        const auto a = ajuster(modele, u, v);
        QCOMPARE(a.echec, echec);
        QVERIFY(a.coefficients.empty());
    }

    // A row's position in displayed pixels becomes a sample through the working state's
    // calibration, counted from the time origin T.
    void lecture()
    {
        ReglagesMesure g;
        g.origineX = 10;
        g.origineY = 100;
        g.echelleH = g.echelleV = 0.01L;
        const auto e = echantillonDePosition(4, 0.12, g, QPointF(30, 60));
        QVERIFY(e);
        QCOMPARE(e->ligne, 4);
        QVERIFY(proche(e->t, 0.12) && proche(e->x, 0.2) && proche(e->y, 0.4));
        QVERIFY(!echantillonDePosition(2, 0, g, std::nullopt));
        g.origineTemps = 3;
        QVERIFY(!echantillonDePosition(2, 0, g, QPointF(30, 60))); // before the time origin
        // A tracked position keeps its decimals.
        const auto suivi = echantillonDePosition(4, 0.12, g, QPointF(30.5, 59.75));
        QVERIFY(suivi && proche(suivi->x, 0.205) && proche(suivi->y, 0.4025));
    }

    void csv()
    {
        SerieObjet a, b;
        for (int l = 1; l <= 3; ++l)
            a.placer({l, (l - 1) * 0.5, double(l), 0});
        b.placer({2, 0.5, -1.5, 2.25});
        const QByteArray attendu = "image,t(s),x1(m),y1(m),vx1(m/s),vy1(m/s),v1(m/s),"
                                   "x2(m),y2(m),vx2(m/s),vy2(m/s),v2(m/s)\n"
                                   "1,0,1,0,,,,,,,,\n"
                                   "2,0.5,2,0,2,0,2,-1.5,2.25,,,\n"
                                   "3,1,3,0,,,,,,,,\n";
        QCOMPARE(tableauCSV({a, b}), attendu);
        QCOMPARE(tableauCSV({SerieObjet()}),
                 QByteArray("image,t(s),x(m),y(m),vx(m/s),vy(m/s),v(m/s)\n"));
        // The protractor's angles: a last column, and rows of their own where nothing was
        // pointed.
        QCOMPARE(tableauCSV({a}, {{2, {0.5, 37.5}}, {5, {2, -1}}}),
                 QByteArray("image,t(s),x(m),y(m),vx(m/s),vy(m/s),v(m/s),angle(\xC2\xB0)\n"
                            "1,0,1,0,,,,\n"
                            "2,0.5,2,0,2,0,2,37.5\n"
                            "3,1,3,0,,,,\n"
                            "5,2,,,,,,-1\n"));
        // And a quantity to plot, against time even without any pointing.
        const QMap<int, double> parImage{{1, 10}, {2, 12.5}, {4, -3}};
        ParametresGrandeurs par;
        par.angles = anglesParLigne(parImage);
        const Grandeurs g = calculerGrandeurs(
            echantillonsAngles(parImage, 2, [](int f) { return (f - 1) * 0.04; }), par);
        QCOMPARE(g[Grandeur::Angle], (std::vector<double>{10, 12.5, -3}));
        QCOMPARE(g[Grandeur::Temps], (std::vector<double>{0, 0.04, 0.12}));
        QCOMPARE(g[Grandeur::Image], (std::vector<double>{2, 3, 5}));
        QCOMPARE(serieGrandeurs(g, Grandeur::Temps, Grandeur::Angle).v.size(), std::size_t(3));
        QCOMPARE(uniteGrandeur(Grandeur::Angle), QStringLiteral("°"));
    }
};

QTEST_GUILESS_MAIN(TestMouvement)
#include "tst_mouvement.moc"

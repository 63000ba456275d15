// Reading typed lengths, the key filter, the Scale from two points, the origin pointer and
// the pixel-to-metre transform.
#include "app/etat.h"
#include "calibration/transformation.h"

#include <QtTest>
#include <cmath>

class TestTransformation : public QObject
{
    Q_OBJECT
private slots:
    void init() { reinitialiserEtat(); }

    void longueur_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("valide");
        QTest::addColumn<double>("valeur");
        QTest::newRow("formatted") << " 1.41E+0" << true << 1.41;
        QTest::newRow("plain") << "2" << true << 2.0;
        QTest::newRow("exponent") << "1.5E-3" << true << 0.0015;
        QTest::newRow("small e") << "2e1" << true << 20.0;
        QTest::newRow("negative") << "-0.5" << true << -0.5;
        QTest::newRow("plus") << "+3" << true << 3.0;
        QTest::newRow("comma retried") << "1,5" << true << 1.5;
        QTest::newRow("comma first") << ",5" << true << 0.5;
        QTest::newRow("trailing point") << "2." << true << 2.0;
        QTest::newRow("zero") << "0" << false << 0.0;
        QTest::newRow("zero formatted") << " 0.00E+0" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("minus alone") << "-" << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("exponent unfinished") << "1E" << false << 0.0;
        QTest::newRow("exponent sign only") << "1E-" << false << 0.0;
        QTest::newRow("two commas") << "1,5,3" << false << 0.0;
        QTest::newRow("trailing blank") << "1 " << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("overflow") << "1E99999" << false << 0.0;
    }

    void longueur()
    {
        QFETCH(QString, texte);
        QFETCH(bool, valide);
        QFETCH(double, valeur);
        const auto l = lireLongueur(texte);
        QCOMPARE(l.has_value(), valide);
        if (valide) QVERIFY(std::fabs(double(*l) - valeur) < 1e-12);
    }

    void positionDeLErreur()
    {
        QCOMPARE(lireVal(QStringLiteral("  12.5")).position, 0);
        QCOMPARE(lireVal(QStringLiteral("12x")).position, 3);
        QCOMPARE(lireVal(QStringLiteral("1,5")).position, 2);
        QVERIFY(lireVal(QStringLiteral("")).position > 0);
        QVERIFY(lireVal(QStringLiteral("-")).position > 0);
        // Full 80-bit precision, not a double.
        QCOMPARE(lireVal(QStringLiteral("0.1")).valeur, 0.1L);
    }

    void reelAvecSeparateur()
    {
        QCOMPARE(*lireReel(QStringLiteral(" 8.54E+0"), '.'), 8.54L);
        QCOMPARE(*lireReel(QStringLiteral(" 8,54E+0 "), ','), 8.54L);
        QVERIFY(!lireReel(QStringLiteral("8.54"), ','));
        QVERIFY(!lireReel(QStringLiteral("8,54"), '.'));
        QVERIFY(!lireReel(QStringLiteral(""), '.'));
        QVERIFY(!lireReel(QStringLiteral("-"), '.'));
        QCOMPARE(*lireReel(QStringLiteral("0"), '.'), 0.0L);
    }

    void filtreDesTouches()
    {
        const QChar rien;
        QCOMPARE(filtreToucheEtalon(QChar(13), '.'), rien);
        QCOMPARE(filtreToucheEtalon('e', '.'), QChar('E'));
        QCOMPARE(filtreToucheEtalon('E', ','), QChar('E'));
        QCOMPARE(filtreToucheEtalon(',', '.'), QChar('.'));
        QCOMPARE(filtreToucheEtalon('.', ','), QChar(','));
        for (char c : {'0', '5', '9', '+', '-', '\b'})
            QCOMPARE(filtreToucheEtalon(QChar(c), '.'), QChar(c));
        for (char c : {'a', 'x', 'F', ' ', '/', '\t', '\x16'})
            QCOMPARE(filtreToucheEtalon(QChar(c), '.'), rien);
    }

    void echelleDeuxPoints()
    {
        QVERIFY(std::fabs(echelleSimultanee(1.0L, {0, 0}, {30, 40}) - 0.02L) < 1e-15L);
        QVERIFY(std::fabs(echelleSimultanee(-1.0L, {30, 40}, {0, 0}) - 0.02L) < 1e-15L);
        // The squared distance is summed without overflowing int.
        QVERIFY(std::fabs(echelleSimultanee(50000.0L, {0, 0}, {30000, 40000}) - 1.0L) < 1e-15L);
    }

    void transformee()
    {
        // A 320 x 240 clip at 100 %: Origin at the bottom-left pixel, 0.01 m per pixel.
        origineX = 0;
        origineY = 239;
        echelleH = echelleV = 0.01L;
        QCOMPARE(pXRelatif(10), 10);
        QCOMPARE(pYRelatif(229), 10);
        QVERIFY(std::fabs(xMetres(10) - 0.1L) < 1e-15L);
        QVERIFY(std::fabs(yMetres(229) - 0.1L) < 1e-15L);
        sensX = -1;
        sensY = -1;
        QCOMPARE(pXRelatif(10), -10);
        QVERIFY(std::fabs(xMetres(10) + 0.1L) < 1e-15L);
        QVERIFY(std::fabs(yMetres(229) + 0.1L) < 1e-15L);
        // Below the Origin on screen with y upward: negative.
        sensY = 1;
        QCOMPARE(pYRelatif(240), -1);
    }

    void curseurOrigine_data()
    {
        QTest::addColumn<int>("sx");
        QTest::addColumn<int>("sy");
        QTest::addColumn<int>("forme");
        QTest::addColumn<bool>("bip");
        QTest::newRow("x+ y+") << 1 << 1 << 11 << false;
        QTest::newRow("x- y+") << -1 << 1 << 12 << false;
        QTest::newRow("x+ y-") << 1 << -1 << 13 << true;
        QTest::newRow("x- y-") << -1 << -1 << 14 << false;
    }

    void curseurOrigine()
    {
        QFETCH(int, sx);
        QFETCH(int, sy);
        QFETCH(int, forme);
        QFETCH(bool, bip);
        bool b = !bip;
        QCOMPARE(slotCurseurOrigine(sx, sy, 1, b), 100 + forme);
        QCOMPARE(b, bip);
        QCOMPARE(slotCurseurOrigine(sx, sy, 2, b), 200 + forme);
        // Unknown colour: the pointer stays, the beep still sounds.
        QCOMPARE(slotCurseurOrigine(sx, sy, 3, b), 0);
        QCOMPARE(b, bip);
    }
};

QTEST_GUILESS_MAIN(TestTransformation)
#include "tst_transformation.moc"

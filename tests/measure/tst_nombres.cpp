// Number texts of the measurement table and the colour lightness used for grey printing.
#include "measure/Nbreels.h"
#include "measure/rgbhls.h"

#include <QtTest>
#include <cmath>
#include <limits>

class TestNombres : public QObject
{
    Q_OBJECT
private slots:
    void init() { definirSeparateurDecimal(QLatin1Char('.')); }

    void texteSci_data();
    void texteSci();
    void texteSciVirgule();
    void texteSciNonFini();
    void estNegatif_();
    void formateReel_data();
    void formateReel();
    void formateReelVirgule();
    void motifTemps_();
    void separateurDesLocales_data();
    void separateurDesLocales();
    void luminositeExemples_data();
    void luminositeExemples();
    void rgbEnHls_();
    void couleurs();
};

void TestNombres::texteSci_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("attendu");
    // The table's own examples.
    QTest::newRow("0.123456") << 2 << 0.123456 << " 1.23E-1";
    QTest::newRow("-0.05") << 2 << -0.05 << "-5.00E-2";
    QTest::newRow("zero") << 2 << 0.0 << " 0.00E+0";
    QTest::newRow("1234.5") << 2 << 1234.5 << " 1.23E+3";
    QTest::newRow("d0") << 0 << 0.123 << " 1E-1";
    QTest::newRow("d4") << 4 << 0.1 << " 1.0000E-1";
    QTest::newRow("d3 zero width") << 3 << 0.0 << " 0.000E+0";
    QTest::newRow("10 px at 0.01") << 2 << 0.1 << " 1.00E-1";
    QTest::newRow("-10 px at 0.01") << 2 << -0.1 << "-1.00E-1";
    QTest::newRow("10 m") << 2 << 10.0 << " 1.00E+1";
    // Rounding of the mantissa, carries into the exponent.
    QTest::newRow("half up") << 2 << 0.125 << " 1.25E-1";
    QTest::newRow("half away") << 1 << 0.125 << " 1.3E-1";
    QTest::newRow("half away neg") << 1 << -0.125 << "-1.3E-1";
    QTest::newRow("carry") << 2 << 9.996 << " 1.00E+1";
    QTest::newRow("carry neg") << 2 << -0.09999 << "-1.00E-1";
    QTest::newRow("carry d0") << 0 << 9.5 << " 1E+1";
    QTest::newRow("below half") << 2 << 1.2349999 << " 1.23E+0";
    // Negative zero is not negative: blank, and no minus sign.
    QTest::newRow("-0") << 2 << -0.0 << " 0.00E+0";
    // Extremes keep their exponent digits.
    QTest::newRow("huge") << 2 << 1.5e300 << " 1.50E+300";
    QTest::newRow("tiny") << 2 << -2.5e-300 << "-2.50E-300";
    QTest::newRow("denormal") << 1 << 4.9406564584124654e-324 << " 4.9E-324";
    // More decimals than the value has: zeros.
    QTest::newRow("d20") << 20 << 0.5 << " 5.00000000000000000000E-1";
}

void TestNombres::texteSci()
{
    QFETCH(int, d);
    QFETCH(double, x);
    QFETCH(QString, attendu);
    QCOMPARE(::texteSci(d, x), attendu);
}

void TestNombres::texteSciVirgule()
{
    definirSeparateurDecimal(QLatin1Char(','));
    QCOMPARE(separateurDecimal(), QLatin1Char(','));
    QCOMPARE(::texteSci(2, 0.123456L), QStringLiteral(" 1,23E-1"));
    QCOMPARE(::texteSci(2, -0.05L), QStringLiteral("-5,00E-2"));
    QCOMPARE(::texteSci(0, 0.123L), QStringLiteral(" 1E-1")); // no separator without decimals
    // Values beyond double range and precision: the 80-bit value is used.
    QCOMPARE(::texteSci(2, 1.5e4000L), QStringLiteral(" 1,50E+4000"));
    QCOMPARE(::texteSci(17, 1.0L + 1e-17L), QStringLiteral(" 1,00000000000000001E+0"));
}

void TestNombres::texteSciNonFini()
{
    const long double inf = std::numeric_limits<long double>::infinity();
    QCOMPARE(::texteSci(2, inf), QStringLiteral(" INF"));
    QCOMPARE(::texteSci(2, -inf), QStringLiteral("-INF"));
    QCOMPARE(::texteSci(2, std::numeric_limits<long double>::quiet_NaN()), QStringLiteral(" NAN"));
}

void TestNombres::estNegatif_()
{
    QVERIFY(estNegatif(-1e-4000L));
    QVERIFY(estNegatif(-std::numeric_limits<long double>::infinity()));
    QVERIFY(!estNegatif(0.0L));
    QVERIFY(!estNegatif(-0.0L));
    QVERIFY(!estNegatif(1e-4000L));
    QVERIFY(!estNegatif(std::numeric_limits<long double>::quiet_NaN()));
}

void TestNombres::formateReel_data()
{
    QTest::addColumn<QString>("motif");
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("0.000 zero") << "0.000" << 0.0 << "0.000";
    QTest::newRow("0.000 period") << "0.000" << 0.04 << "0.040";
    QTest::newRow("0.000 duration") << "0.000" << 2.0 << "2.000";
    QTest::newRow("0 frames") << "0" << 3.0 << "3";
    QTest::newRow("0 period ms") << "0" << 40.0 << "40";
    QTest::newRow("0 half away") << "0" << 2.5 << "3";
    QTest::newRow("0 half away 2") << "0" << 0.5 << "1";
    QTest::newRow("0 below half") << "0" << 0.49 << "0";
    QTest::newRow("6 decimals") << "0.000000" << 0.04 << "0.040000";
    QTest::newRow("1 decimal") << "0.0" << 0.04 << "0.0";
    QTest::newRow("carry") << "0.00" << 9.999 << "10.00";
    QTest::newRow("carry to first digit") << "0.000" << 0.0005 << "0.001";
    QTest::newRow("too small") << "0.000" << 0.0004 << "0.000";
    QTest::newRow("negative") << "0.00" << -1.234 << "-1.23";
    QTest::newRow("negative to zero") << "0.00" << -0.001 << "0.00";
    QTest::newRow("negative zero") << "0.0" << -0.0 << "0.0";
    QTest::newRow("## page width") << "##.0" << 20.32 << "20.3";
    QTest::newRow("## small") << "##.0" << 0.55 << ".6";
    QTest::newRow("optional decimals") << "0.0##" << 1.5 << "1.5";
    QTest::newRow("optional decimals used") << "0.0##" << 1.23456 << "1.235";
    QTest::newRow("big") << "0.000" << 123456789.0 << "123456789.000";
    QTest::newRow("beyond 18 digits") << "0.000" << 1.5e20 << "1.5E+20";
}

void TestNombres::formateReel()
{
    QFETCH(QString, motif);
    QFETCH(double, x);
    QFETCH(QString, attendu);
    QCOMPARE(::formateReel(motif, x), attendu);
}

void TestNombres::formateReelVirgule()
{
    definirSeparateurDecimal(QLatin1Char(','));
    QCOMPARE(::formateReel(QStringLiteral("0.000"), 0.04L), QStringLiteral("0,040"));
    QCOMPARE(::formateReel(QStringLiteral("0"), 12.4L), QStringLiteral("12"));
    // Times are products of a frame count and an 80-bit period: the decimal value decides,
    // not the binary noise below it.
    const long double periode = 1.0L / 25;
    QCOMPARE(::formateReel(QStringLiteral("0.000000"), 1 * periode), QStringLiteral("0,040000"));
    QCOMPARE(::formateReel(QStringLiteral("0.00"), 3 * 0.005L), QStringLiteral("0,02"));
    const long double tiers = 1.0L / 3;
    QCOMPARE(::formateReel(QStringLiteral("0.000"), 2 * tiers), QStringLiteral("0,667"));
}

void TestNombres::motifTemps_()
{
    QCOMPARE(motifTemps(0), QStringLiteral("0"));
    QCOMPARE(motifTemps(3), QStringLiteral("0.000"));
    QCOMPARE(motifTemps(6), QStringLiteral("0.000000"));
}

void TestNombres::separateurDesLocales_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("attendu");
    // Arabic locales whose separator is U+066B, which no text file of the program can hold.
    for (const char *l : {"ar_SA", "ar_EG", "ar_IQ", "ar_SY", "ar"})
        QTest::newRow(l) << QString::fromLatin1(l) << QChar('.');
    for (const char *l : {"ar_DZ", "ar_MA", "fr_FR", "de_DE"})
        QTest::newRow(l) << QString::fromLatin1(l) << QChar(',');
    for (const char *l : {"ar_AE", "en_US", "C"})
        QTest::newRow(l) << QString::fromLatin1(l) << QChar('.');
}

void TestNombres::separateurDesLocales()
{
    QFETCH(QString, locale);
    QFETCH(QChar, attendu);
    const QChar sep = separateurDeLocale(QLocale(locale));
    QCOMPARE(sep, attendu);
    definirSeparateurDecimal(QLocale(locale).decimalPoint().at(0));
    QCOMPARE(separateurDecimal(), attendu);
    QCOMPARE(::texteSci(2, 1.5L), QStringLiteral(" 1") + attendu + QStringLiteral("50E+0"));
}

void TestNombres::luminositeExemples_data()
{
    QTest::addColumn<uint>("couleur");
    QTest::addColumn<int>("attendu");
    QTest::newRow("white") << 16777215u << 255;
    QTest::newRow("black") << 0u << 0;
    QTest::newRow("red") << 255u << 128;
    QTest::newRow("green") << 65280u << 128;
    QTest::newRow("blue") << 16711680u << 128;
    QTest::newRow("silver") << 12632256u << 192;
    QTest::newRow("grey 127, half to even") << 0x7F7F7Fu << 128;
    QTest::newRow("grey 120") << 0x787878u << 120;
    QTest::newRow("high byte ignored") << 0xFF0000FFu << 128;
}

void TestNombres::luminositeExemples()
{
    QFETCH(uint, couleur);
    QFETCH(int, attendu);
    QCOMPARE(luminosite(couleur), attendu);
}

void TestNombres::rgbEnHls_()
{
    const Hls rouge = rgbEnHls(255, 0, 0);
    QCOMPARE(rouge.h, 0);
    QCOMPARE(rouge.l, 120);
    QCOMPARE(rouge.s, 240);
    QCOMPARE(rgbEnHls(0, 255, 0).h, 80);
    QCOMPARE(rgbEnHls(0, 0, 255).h, 160);
    const Hls gris = rgbEnHls(128, 128, 128);
    QCOMPARE(gris.s, 0);
    QCOMPARE(gris.h, 160);
    QCOMPARE(gris.l, 120);
    // Dark and light halves use the two saturation formulas; magenta wraps the hue.
    const Hls marron = rgbEnHls(128, 64, 0);
    QCOMPARE(marron.l, 60);
    QCOMPARE(marron.s, 240);
    QCOMPARE(marron.h, 20);
    const Hls rose = rgbEnHls(255, 192, 203);
    QCOMPARE(rose.l, 210);
    QCOMPARE(rose.s, 240);
    QCOMPARE(rose.h, 233);
}

void TestNombres::couleurs()
{
    QCOMPARE(couleurDeValeur(255), QColor(255, 0, 0));
    QCOMPARE(couleurDeValeur(16711680), QColor(0, 0, 255));
    QCOMPARE(valeurDeCouleur(QColor(0, 128, 0)), 32768u);
    QCOMPARE(valeurDeCouleur(couleurDeValeur(12632256)), 12632256u);
}

QTEST_GUILESS_MAIN(TestNombres)
#include "tst_nombres.moc"

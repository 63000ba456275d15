#pragma once
// Real numbers as text: the scientific notation of every value in metres, and the
// fixed-point patterns of times and clip properties. All use the user's decimal separator.
#include <QChar>
#include <QLocale>
#include <QString>

// The decimal separator of the user's locale, read once; tests choose their own.
QChar separateurDecimal();
void definirSeparateurDecimal(QChar separateur);
// The separator the program uses under a locale: its own when it is "." or ",", else ".".
QChar separateurDeLocale(const QLocale &locale);

// True exactly when x is below zero (negative zero is not; neither is NaN).
bool estNegatif(long double x);

// x in the pattern "0.<d zeros>E+0": one non-zero leading digit, d rounded decimals,
// the exponent with its sign always written; one blank in front unless x is negative.
// d = 2: 0.123456 gives " 1.23E-1", -0.05 gives "-5.00E-2", 0 gives " 0.00E+0".
QString texteSci(int d, long double x);

// x in a fixed-point pattern made of '0' (digit always written) and '#' (digit written
// only when significant) with at most one '.': "0", "0.000", "##.0". Rounded half away
// from zero on the decimal value; no sign when the rounded value is zero.
QString formateReel(const QString &motif, long double x);

// The time pattern with k decimals: "0" for k = 0, else "0." followed by k zeros.
QString motifTemps(int k);

#include "measure/Nbreels.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstring>

namespace
{

QChar &separateurCourant()
{
    static QChar separateur = separateurDeLocale(QLocale::system());
    return separateur;
}

// The decimal digits of |x| as the platform's formatting sees them: 18 significant digits
// of the 80-bit value (correctly rounded), then every further rounding is done on these
// digits, half away from zero. Value = c[0].c[1]c[2]... x 10^exposant.
constexpr int kChiffresMax = 18;

struct Decimal {
    Decimal() { std::memset(c, '0', sizeof c); }
    char c[kChiffresMax];
    int exposant = 0;
    bool zero = true;
};

Decimal decompose(long double x)
{
    Decimal r;
    if (x == 0) return r;
    char tampon[64];
    const auto res = std::to_chars(tampon, tampon + sizeof tampon, std::fabs(x),
                                   std::chars_format::scientific, kChiffresMax - 1);
    // "d.ddddddddddddddddde-XXXX"
    const char *p = tampon;
    int n = 0;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && n < kChiffresMax) r.c[n++] = *p;
    int exposant = 0;
    bool negatif = false;
    if (p < res.ptr) ++p; // 'e'
    if (p < res.ptr && (*p == '-' || *p == '+')) negatif = *p++ == '-';
    for (; p < res.ptr; ++p)
        exposant = exposant * 10 + (*p - '0');
    r.exposant = negatif ? -exposant : exposant;
    r.zero = false;
    return r;
}

// Keeps the first n significant digits (0 <= n < 18), rounding half away from zero; the
// digits beyond become '0'. n = 0 keeps nothing unless the first digit rounds up.
void arrondit(Decimal &d, int n)
{
    if (d.zero || n >= kChiffresMax) return;
    if (n < 0) {
        d = Decimal();
        return;
    }
    const bool plus = d.c[n] >= '5';
    for (int i = n; i < kChiffresMax; ++i)
        d.c[i] = '0';
    if (!plus) {
        if (n == 0) d = Decimal();
        return;
    }
    int i = n - 1;
    while (i >= 0 && d.c[i] == '9')
        d.c[i--] = '0';
    if (i >= 0) {
        ++d.c[i];
    } else {
        // 9.99 -> 10.0, or nothing kept and the first digit rounded up
        d.c[0] = '1';
        ++d.exposant;
    }
}

void ajouteEntier(QString &s, int v)
{
    char tampon[16];
    const auto res = std::to_chars(tampon, tampon + sizeof tampon, v);
    for (const char *p = tampon; p < res.ptr; ++p)
        s += QLatin1Char(*p);
}

bool nonFini(long double x, QString &texte)
{
    if (std::isnan(x)) {
        texte = QStringLiteral("NAN");
        return true;
    }
    if (std::isinf(x)) {
        texte = x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
        return true;
    }
    return false;
}

} // namespace

QChar separateurDecimal()
{
    return separateurCourant();
}

QChar separateurDeLocale(const QLocale &locale)
{
    // Numbers are typed, shown and written to Windows-1256 files with "." or ",": the
    // Arabic decimal separator (U+066B) of many Arabic locales has no place in those files
    // and no key of its own, so it and any other becomes ".".
    const QString point = locale.decimalPoint();
    return point == QLatin1String(",") ? QChar(',') : QChar('.');
}

void definirSeparateurDecimal(QChar separateur)
{
    separateurCourant() = separateur == QLatin1Char(',') ? separateur : QChar('.');
}

bool estNegatif(long double x)
{
    return x < 0;
}

QString texteSci(int d, long double x)
{
    QString s;
    if (nonFini(x, s)) return estNegatif(x) ? s : QLatin1Char(' ') + s;
    if (d < 0) d = 0;
    Decimal dec = decompose(x);
    arrondit(dec, d + 1);
    s.reserve(d + 10);
    s += QLatin1Char(estNegatif(x) ? '-' : ' ');
    s += QLatin1Char(dec.c[0]);
    if (d > 0) {
        s += separateurCourant();
        for (int i = 1; i <= d; ++i)
            s += QLatin1Char(i < kChiffresMax ? dec.c[i] : '0');
    }
    s += QLatin1Char('E');
    s += QLatin1Char(dec.exposant < 0 ? '-' : '+');
    ajouteEntier(s, dec.exposant < 0 ? -dec.exposant : dec.exposant);
    return s;
}

QString formateReel(const QString &motif, long double x)
{
    QString s;
    if (nonFini(x, s)) return s;

    int zerosEntiers = 0, decimalesMax = 0, decimalesMin = 0;
    bool fraction = false;
    for (const QChar c : motif) {
        if (c == QLatin1Char('.')) {
            fraction = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!fraction) {
                if (c == QLatin1Char('0')) ++zerosEntiers;
            } else {
                ++decimalesMax;
                if (c == QLatin1Char('0')) decimalesMin = decimalesMax;
            }
        }
    }

    Decimal dec = decompose(x);
    arrondit(dec, dec.exposant + 1 + decimalesMax);
    if (!dec.zero && dec.exposant >= kChiffresMax) {
        // Beyond 18 integer digits a fixed pattern would invent digits: fall back to the
        // shortest scientific form of the 18 digits.
        int n = kChiffresMax;
        while (n > 1 && dec.c[n - 1] == '0')
            --n;
        if (x < 0) s += QLatin1Char('-');
        s += QLatin1Char(dec.c[0]);
        if (n > 1) {
            s += separateurCourant();
            for (int i = 1; i < n; ++i)
                s += QLatin1Char(dec.c[i]);
        }
        s += QLatin1String("E+");
        ajouteEntier(s, dec.exposant);
        return s;
    }

    bool nonNul = false;
    auto chiffre = [&dec, &nonNul](int index) {
        const char c = (dec.zero || index < 0 || index >= kChiffresMax) ? '0' : dec.c[index];
        if (c != '0') nonNul = true;
        return c;
    };
    QString entier;
    const int chiffresEntiers = dec.zero ? 0 : dec.exposant + 1;
    for (int i = 0; i < chiffresEntiers; ++i)
        entier += QLatin1Char(chiffre(i));
    if (entier.size() < zerosEntiers)
        entier.prepend(QString(zerosEntiers - entier.size(), QLatin1Char('0')));
    QString decimales;
    for (int j = 1; j <= decimalesMax; ++j)
        decimales += QLatin1Char(chiffre(dec.exposant + j));
    int garde = decimales.size();
    while (garde > decimalesMin && decimales.at(garde - 1) == QLatin1Char('0'))
        --garde;
    decimales.truncate(garde);

    if (x < 0 && nonNul) s += QLatin1Char('-');
    s += entier;
    if (!decimales.isEmpty()) {
        s += separateurCourant();
        s += decimales;
    }
    return s;
}

QString motifTemps(int k)
{
    if (k <= 0) return QStringLiteral("0");
    return QStringLiteral("0.") + QString(k, QLatin1Char('0'));
}

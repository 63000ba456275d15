#include "measure/pixels.h"

#include <cmath>

QString textePixel(double valeur)
{
    const double centiemes = std::round(valeur * 100.0);
    // Beyond what a qint64 holds (and for a value that is no number) the conversion would
    // be undefined: no hundredths are kept there anyway.
    if (!(std::abs(centiemes) < 9e18)) return QString::number(valeur, 'f', 0);
    if (std::fmod(centiemes, 100.0) == 0.0) return QString::number(qint64(centiemes / 100.0));
    QString texte = QString::number(centiemes / 100.0, 'f', 2);
    if (texte.endsWith(QLatin1Char('0'))) texte.chop(1);
    return texte;
}

double valeurPixel(const QString &texte, bool *ok)
{
    bool lu = false;
    const double v = texte.trimmed().toDouble(&lu);
    lu = lu && std::isfinite(v);
    if (ok) *ok = lu;
    return lu ? v : 0.0;
}

// Numbers read from table cells and entry boxes: the pixel store's texts and the real numbers
// written with either decimal separator; each value read is written back as the program
// writes it.
#include "../cible.h"

#include "calibration/transformation.h"
#include "measure/Nbreels.h"
#include "measure/pixels.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QString texte =
        QString::fromUtf8(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    bool ok = false;
    const double pixel = valeurPixel(texte, &ok);
    if (ok && !std::isfinite(pixel)) promesseRompue();
    if (!ok && pixel != 0.0) promesseRompue();
    (void)valeurPixel(textePixel(pixel));
    for (QChar separateur : {QLatin1Char('.'), QLatin1Char(',')}) {
        if (const auto reel = lireReel(texte, separateur)) {
            (void)texteSci(3, *reel);
            (void)formateReel(QStringLiteral("0.000"), *reel);
        }
    }
    if (const auto longueur = lireLongueur(texte)) (void)texteSci(2, *longueur);
    return 0;
}

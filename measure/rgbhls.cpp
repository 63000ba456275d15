#include "measure/rgbhls.h"

#include <algorithm>

Hls rgbEnHls(int r, int g, int b)
{
    Hls res;
    const int M = std::max({r, g, b});
    const int m = std::min({r, g, b});
    res.l = ((M + m) * 240 + 255) / 510;
    if (M == m) {
        res.s = 0;
        res.h = 160; // hue undefined for greys
        return res;
    }
    if (res.l <= 120)
        res.s = ((M - m) * 240 + (M + m) / 2) / (M + m);
    else
        res.s = ((M - m) * 240 + (510 - M - m) / 2) / (510 - M - m);
    const int D = M - m;
    const int dR = ((M - r) * 40 + D / 2) / D;
    const int dG = ((M - g) * 40 + D / 2) / D;
    const int dB = ((M - b) * 40 + D / 2) / D;
    if (r == M)
        res.h = dB - dG;
    else if (g == M)
        res.h = 80 + dR - dB;
    else
        res.h = 160 + dG - dR;
    if (res.h < 0) res.h += 240;
    if (res.h > 240) res.h -= 240;
    return res;
}

int luminosite(std::uint32_t couleur)
{
    const int r = couleur & 255;
    const int g = (couleur >> 8) & 255;
    const int b = (couleur >> 16) & 255;
    const int l = rgbEnHls(r, g, b).l;
    // l * 255 / 240 = l * 17 / 16, rounded half to even
    int q = l * 17 / 16;
    const int reste = l * 17 % 16;
    if (reste > 8 || (reste == 8 && q % 2 != 0)) ++q;
    return q;
}

QColor couleurDeValeur(std::uint32_t valeur)
{
    return QColor(valeur & 255, (valeur >> 8) & 255, (valeur >> 16) & 255);
}

std::uint32_t valeurDeCouleur(const QColor &couleur)
{
    const QRgb rgb = couleur.rgb();
    return std::uint32_t(qRed(rgb)) | std::uint32_t(qGreen(rgb)) << 8 |
           std::uint32_t(qBlue(rgb)) << 16;
}

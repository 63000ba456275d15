#pragma once
// Colour maths: the platform's hue/lightness/saturation on a 0 … 240 scale, and the grey
// level that prints a colour in shades of grey. Colour values are plain RGB with red in
// the low byte, as the grids store them.
#include <QColor>
#include <cstdint>

struct Hls {
    int h = 0, l = 0, s = 0;
};

Hls rgbEnHls(int r, int g, int b);

// Lightness of a colour value on 0 … 255 (white 255, black 0, pure red 128).
int luminosite(std::uint32_t couleur);

// Colour value (red in the low byte) <-> QColor. Bits above the 24 colour bits are ignored.
QColor couleurDeValeur(std::uint32_t valeur);
std::uint32_t valeurDeCouleur(const QColor &couleur);

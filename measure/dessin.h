#pragma once
// Markers and axes, drawn the same way on the image, on a bitmap and on the printer.
// Lines are move-to / line-to: the end point's own pixel is not painted; rectangles and
// ellipses are outlines whose right and bottom bounds are exclusive. Only the pen colour
// is set: width and style stay as the caller left them. On a raster canvas with a 1-pixel
// pen the pixels are exact.
#include <QColor>

class QPainter;

// Marker of half-size n centred on pixel (X, Y): shape 0 cross, 1 square, 2 circle;
// the square and the circle get an inner cross from n = 2. Other shapes draw nothing.
void dessinePoint(QPainter &canevas, const QColor &couleur, int n, int X, int Y, int forme);

// The two axes through (X0, Y0) over an area W wide and H high, arrow heads 5k long and
// 2k half-wide at the positive ends (sX = +1: right, sY = +1: up).
void dessineAxes(QPainter &canevas, const QColor &couleur, int sX, int sY, int X0, int Y0, int H,
                 int W, int k);

// A colour that shows on a ground: a colour too light to see on a light ground (lightness
// above 0.85: white, the default of markers and axes) is drawn black, one too dark to see on
// a dark ground white; any other stays as it is.
QColor couleurVisible(const QColor &couleur, const QColor &fond);

// The thin outline that makes any colour show on any picture: dark around light colours,
// light around dark ones.
QColor couleurContour(const QColor &couleur);

#pragma once
// Markers and axes, drawn the same way on the image, on a bitmap and on the printer.
// Lines are move-to / line-to: the end point's own pixel is not painted; rectangles and
// ellipses are outlines whose right and bottom bounds are exclusive. Only the pen colour
// is set: width and style stay as the caller left them. On a raster canvas with a 1-pixel
// pen the pixels are exact.
#include <QColor>
#include <QPointF>

class QPainter;

// Marker of half-size n centred on pixel (X, Y): shape 0 cross, 1 square, 2 circle;
// the square and the circle get an inner cross from n = 2. Other shapes draw nothing.
void dessinePoint(QPainter &canevas, const QColor &couleur, int n, int X, int Y, int forme);

// The two axes through (X0, Y0) over an area W wide and H high, arrow heads 5k long and
// 2k half-wide at the positive ends (sX = +1: right, sY = +1: up).
void dessineAxes(QPainter &canevas, const QColor &couleur, int sX, int sY, int X0, int Y0, int H,
                 int W, int k);

// The same two axes turned by `angle` degrees (counter-clockwise on screen) about (X0, Y0),
// each running to the edges of the area [0, W - 1] x [0, H - 1] with its arrow head where its
// positive end leaves it. fX and fY are device dots per displayed pixel when the area is a
// stretched picture (printing with different Scales): the axes turn in picture pixels.
void dessineAxesInclines(QPainter &canevas, const QColor &couleur, int sX, int sY, double X0,
                         double Y0, double H, double W, double k, double angle, double fX = 1,
                         double fY = 1);

// Where the arrow head of the x axis of dessineAxesInclines points (also untilted).
QPointF pointeAxeX(int sX, double X0, double Y0, double H, double W, double angle);

// A colour that shows on a ground: a colour too light to see on a light ground (lightness
// above 0.85: white, the default of markers and axes) is drawn black, one too dark to see on
// a dark ground white; any other stays as it is.
QColor couleurVisible(const QColor &couleur, const QColor &fond);

// The thin outline that makes any colour show on any picture: dark around light colours,
// light around dark ones.
QColor couleurContour(const QColor &couleur);

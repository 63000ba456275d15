#pragma once
// Calibration arithmetic without windows: reading a typed length, the key filter of the
// length boxes, the Scale from two points, the origin pointer, and the one transform from a
// displayed pixel to metres.
#include <QChar>
#include <QPoint>
#include <QString>
#include <optional>

// Result of the invariant number reader: the value and the 1-based position of the first
// character that could not be read (0 when the whole text was read).
struct LectureVal {
    long double valeur = 0;
    int position = 0;
};

// Invariant reading: leading blanks skipped, "." as the decimal mark, an optional sign and
// an optional exponent ("1.5E-3"). Trailing characters are an error.
LectureVal lireVal(const QString &texte);

// A typed length: invariant reading, then one more try with the offending comma replaced by
// a point ("1,5" under a comma locale). Empty, unreadable, zero or out-of-range: nothing.
std::optional<long double> lireLongueur(const QString &texte);

// A number written with the user's decimal separator (blanks around it allowed), as the
// program reads back what it wrote itself. Nothing when the text is not such a number.
std::optional<long double> lireReel(const QString &texte, QChar separateur);

// The conversion-error text shown when a box holds text that is not a number.
QString texteErreurConversion(const QString &texte);

// The key filter of the three length boxes: Enter gives nothing, "e" gives "E", "," and "."
// give the separator; then only backspace, "+", "-", digits, "E" and the separator pass.
// A null character means the key is dropped.
QChar filtreToucheEtalon(QChar touche, QChar separateur);

// Metres per pixel when the straight distance between p1 and p2 measures L metres (|L| over
// the pixel distance). The two points must differ.
long double echelleSimultanee(long double longueur, QPoint p1, QPoint p2);

// Pixel coordinates relative to the Origin, with the axis directions: sensX (X - origineX)
// and sensY (origineY - Y), along the picture's edges whatever the axes' tilt.
int pXRelatif(int X);
int pYRelatif(int Y);
// Metres of a displayed pixel (whole when pointed, with decimals when tracked): the relative
// coordinate times the Scale, computed as the table computes it with untilted axes.
long double xMetres(double X);
long double yMetres(double Y);
// The same along the axes as they stand, tilted or not: what the table shows for P.
QPoint pixelsRelatifs(QPoint P); // rounded to whole pixels
long double xMetres(QPointF P);
long double yMetres(QPointF P);

// Pointer slot of the origin mode for an orientation and a pointer colour (1 black, 2
// white); 0 when the colour is neither and the pointer stays. bip is set for x to the right
// with y downward, the one orientation announced by a beep.
int slotCurseurOrigine(int sensX, int sensY, int couleur, bool &bip);

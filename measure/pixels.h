#pragma once
// Positions in the table's pixel store (the hidden grid). Pointed positions are whole
// pixels; tracked ones keep up to two decimals, written with a point whatever the locale,
// since the store is never shown.
#include <QString>

QString textePixel(double valeur);
// Reads both kinds; an empty or unreadable text reads as 0, as an integer conversion did,
// and sets *ok to false when given.
double valeurPixel(const QString &texte, bool *ok = nullptr);

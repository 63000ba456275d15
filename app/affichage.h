#pragma once
// Sizes of the picture on screen: the display percent, the percent that fits the clip area,
// and the clip side's share of the window width. Plain integer arithmetic, no windows.
#include <QSize>

// num / den rounded to the nearest integer, ties to even (den > 0).
long long arrondiPair(long long num, long long den);

// The natural size at `pourcent` %, each side rounded (ties to even) and at least 1 pixel.
QSize tailleAffichee(QSize naturelle, int pourcent);

// The largest percent at which a picture of the natural size fits an area of `zone` outer
// pixels (9 pixels go to the panel's border and the scroll box's frame), within
// [minimum, maximum]. A natural size of zero gives 100.
int pourcentAdapte(QSize zone, QSize naturelle, int minimum, int maximum);

// The clip side's width in a window `largeurFenetre` wide, for the share
// `largeurPnl1` / `largeurForm` (rounded to the nearest pixel).
int largeurCoteClip(int largeurFenetre, int largeurPnl1, int largeurForm);

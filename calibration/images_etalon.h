#pragma once
// Pictures of the settings page: the idle and active drawing of each scale mode and the
// pictures of the four axis-orientation buttons.
#include <QPixmap>

// 72 x 40. Index 0 horizontal idle, 1 horizontal active, 2 vertical idle, 3 vertical
// active, 4 equal scales idle, 5 equal scales active; any other index gives a null pixmap.
QPixmap imageEtalon(int index);

// 24 x 24. Orientation 0 x right / y up, 1 x left / y up, 2 x right / y down, 3 x left /
// y down; any other orientation gives a null pixmap.
QPixmap imageAxes(int orientation);

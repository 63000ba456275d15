#pragma once
// Savitzky-Golay smoothing of one object's positions: on each pointed row, a polynomial fitted
// by least squares to the positions of a window of rows around it gives the smoothed position
// and, from the same polynomial, the velocity and the acceleration.
#include "analyse/mouvement.h"

#include <vector>

struct ParametresLissage {
    // Odd, 5 to 51 rows; the order of the polynomial 2 to 5, below the window. Nine rows and
    // a parabola keep the acceleration of a fall pointed at whole pixels (1 px = 1 mm, 25 or
    // 30 frames/s) within 1 % of g on every row, ends included; seven rows let it stray over
    // 1 %, a cubic over 3 % at the ends. The price is on fast swings: at 25 frames/s the
    // acceleration peak of a 2 s pendulum comes out 2 % low, of a 1 s one 8 % low.
    int fenetre = 9;
    int ordre = 2;
};

// The window made odd and brought into 5..51, the order into 2..5 and below the window.
ParametresLissage parametresValides(ParametresLissage p);

// One value per pointed row, in the order of the series; NaN where the value does not exist.
struct Lissage {
    std::vector<double> x, y, vx, vy, ax, ay;
};

// Smooths each run of rows on its own: a run is a stretch of pointings one step apart (the
// smallest row spacing of the series) at increasing times, so no window reaches over a gap.
// Near either end of a run the window stays whole and its polynomial is read off-centre.
// A run shorter than the window gets the largest odd window it holds, the order lowered
// below it (three rows: the parabola through them, i.e. the raw position, the central
// difference and the second difference); a run of one or two rows keeps its raw positions
// and has no velocity nor acceleration.
Lissage lisser(const std::vector<Echantillon> &points, ParametresLissage parametres = {});

#pragma once
// The quantities of one object's motion, row by row, for graphs and fits: positions,
// velocities, accelerations, distance travelled, polar coordinates around the origin,
// momentum and energies. Any quantity can be read against any other as a series of pairs.
#include "analyse/lissage.h"
#include "analyse/mouvement.h"

#include <QMap>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

enum class Grandeur {
    Image, // the table's row
    Temps,
    X,
    Y,
    Vx,
    Vy,
    V,
    Ax,
    Ay,
    A,
    Distance,
    R,
    Theta,
    Omega,
    Px,
    Py,
    P,
    Ec,
    Ep,
    Em,
    Angle, // read with the protractor, in degrees
};
constexpr int nombreGrandeurs = int(Grandeur::Angle) + 1;

// Symbol and unit as the graph's axes and the table's header write them ("vx", "m/s").
QString symboleGrandeur(Grandeur g);
QString uniteGrandeur(Grandeur g);

struct ParametresGrandeurs {
    // kg; momentum and energies exist only with a mass above zero.
    double masse = 0;
    // m/s²; the potential energy m g y takes y upwards.
    double g = 9.81;
    // When given, positions and everything computed from them come from the smoothing.
    std::optional<ParametresLissage> lissage;
    // The protractor's angles in degrees by the table's row (1-based), as the document keeps
    // them by frame; the Angle column holds the angle of each row given, NaN elsewhere.
    QMap<int, double> angles;
};

// One column per quantity, one value per pointed row in row order; NaN where a value does not
// exist on that row.
//
// Without smoothing: velocities by central differences and accelerations by second
// differences over three equally spaced rows, ω by the central difference of θ; none
// reaches over a gap (see vitesseDefinie). With smoothing, the smoothed positions and the
// derivatives of the same local polynomial (see lisser), and ω = (x vy − y vx) / r².
//
// Angle: as recorded, never smoothed. A series of angles alone is computed from samples with
// x and y NaN (see echantillonsAngles).
//
// Distance: the sum of the straight segments between consecutive pointings. Across a gap
// (rows further apart than the series' usual step) nothing is added, since the path taken
// there is unknown, and the sum carries on from its value before the gap.
//
// θ = atan2(y, x) in radians, unwrapped: each value is taken within π of the previous one, so
// a turn past ±π goes on to 3π/2, 2π... It does not exist at the origin itself.
struct Grandeurs {
    std::array<std::vector<double>, nombreGrandeurs> colonnes;
    // Bit g set: the column comes from smoothed positions.
    unsigned lissees = 0;

    std::size_t size() const { return colonnes[0].size(); }
    const std::vector<double> &operator[](Grandeur g) const { return colonnes[std::size_t(g)]; }
    bool lissee(Grandeur g) const { return lissees >> unsigned(g) & 1u; }
};

Grandeurs calculerGrandeurs(const std::vector<Echantillon> &points,
                            const ParametresGrandeurs &parametres = {});

// One quantity against another, only on the rows where both exist.
struct SerieGrandeurs {
    Grandeur horizontale = Grandeur::Temps, verticale = Grandeur::X;
    std::vector<int> lignes;
    std::vector<double> u, v;
    bool horizontaleLissee = false, verticaleLissee = false;
};

// One sample per recorded angle from the time origin T on (rows 1-based, frames of the map
// 0-based), at the time tempsDe(frame) gives, x and y NaN: what calculerGrandeurs needs to
// give the angle against time when no object was pointed.
std::vector<Echantillon> echantillonsAngles(const QMap<int, double> &anglesParImage, int T,
                                           const std::function<double(int)> &tempsDe);
// The document's angles (by frame, 0-based) as ParametresGrandeurs::angles wants them.
QMap<int, double> anglesParLigne(const QMap<int, double> &anglesParImage);

SerieGrandeurs serieGrandeurs(const Grandeurs &g, Grandeur horizontale, Grandeur verticale);

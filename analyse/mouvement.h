#pragma once
// Motion analysis without windows: the pointed positions of one object in frame order,
// velocities by central differences, least-squares line and parabola with the standard
// uncertainty of each coefficient, and the table with its computed columns as CSV.
#include <QByteArray>
#include <QPointF>

#include "measure/mesure.h"
#include <QString>
#include <map>
#include <optional>
#include <vector>

// One pointed position: the table's row (frame number, 1-based), the time from the time
// origin in seconds, and x, y in metres.
struct Echantillon {
    int ligne = 0;
    double t = 0, x = 0, y = 0;
};

// The sample of one object on row `ligne` (1-based) at time t from the time origin, from its
// position in displayed pixels (with decimals when tracked) through the settings' Origin, axes
// (turned, directions) and Scales, as the table's. Nothing when the row is not pointed or lies
// before the time origin.
std::optional<Echantillon> echantillonDePosition(int ligne, double t, const ReglagesMesure &g,
                                                 const std::optional<QPointF> &pos);

// The positions of one object, kept sorted by row. A pointing in frame order appends.
class SerieObjet
{
public:
    // Inserts or replaces the position of e.ligne; returns its index.
    std::size_t placer(const Echantillon &e);
    // Removes the position of a row; false when there was none.
    bool retirer(int ligne);
    void vider() { points_.clear(); }
    const std::vector<Echantillon> &points() const { return points_; }
    std::size_t size() const { return points_.size(); }

private:
    std::vector<Echantillon> points_;
};

// Velocity on one row, by the central difference over its two neighbours.
struct Vitesse {
    int ligne = 0;
    double t = 0, vx = 0, vy = 0, v = 0;
};

// Whether the central difference exists at index i: both neighbours exist, lie as many
// frames away on either side (a missing pointing is a gap, never bridged) and at distinct
// times.
bool vitesseDefinie(const std::vector<Echantillon> &points, std::size_t i);
Vitesse vitesseEn(const std::vector<Echantillon> &points, std::size_t i);
// Every velocity that exists, in row order.
std::vector<Vitesse> vitesses(const std::vector<Echantillon> &points);

// Gaps: consecutive pointings further apart in frames than the closest two of the series.
int nombreLacunes(const std::vector<Echantillon> &points);

enum class Modele { Droite, Parabole };

// Least squares fit of v against u: v = a u + b (line) or v = a u^2 + b u + c (parabola).
struct Ajustement {
    enum Echec { Aucun, TropPeuDePoints, AbscisseUnique };
    Echec echec = TropPeuDePoints;
    int points = 0;
    // Highest power first: {a, b} or {a, b, c}, with their standard uncertainties.
    std::vector<double> coefficients, incertitudes;
    double r2 = 0; // NaN when every ordinate is the same
    bool valide() const { return echec == Aucun; }
    double operator()(double u) const;
};

// Points a fit needs: one more than its coefficients, so that each has an uncertainty.
int pointsNecessaires(Modele m);
Ajustement ajuster(Modele m, const std::vector<double> &u, const std::vector<double> &v);

// The table with its computed columns, UTF-8, comma separated, "." as decimal mark, one
// header row: "image,t(s)", then per object x, y, vx, vy, v (numbered from 1 when there are
// several). One row per frame where some object is pointed; an empty field where a value
// does not exist. With the protractor's angles (row -> time from the time origin, degrees),
// a last column "angle(°)" and a row for each frame with an angle too; without any, the
// file is as before.
QByteArray tableauCSV(const std::vector<SerieObjet> &objets,
                      const std::map<int, std::pair<double, double>> &angles = {});

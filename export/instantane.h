#pragma once
// The Measurement table as the exports read it, taken from the grids in one go so that the
// writers need no window: names and cells are the grids' texts as they stand.
#include <QChar>
#include <QStringList>
#include <vector>

struct InstantaneTableau {
    // Bare variable names, one per column: "t", then "x", "y" or "x1", "y1", "x2" …
    QStringList noms;
    // Rows 1 … R of the table, each with one text per column (time, then x and y per point).
    std::vector<QStringList> lignes;
    // First row (1-based) with a time: the time origin.
    int origineTemps = 1;
    // The user's decimal separator, as the cells are written with it.
    QChar separateur = QLatin1Char('.');
    // The last column is the protractor's angle in degrees (named "angle"): present only when
    // some angle was recorded.
    bool angle = false;

    int colonnes() const { return static_cast<int>(noms.size()); }
    int nbLignes() const { return static_cast<int>(lignes.size()); }
    // The cell of column k in row r (1-based as in the table); empty outside.
    QString cellule(int k, int r) const;
    // The same table without the angle column.
    InstantaneTableau sansAngle() const;
};

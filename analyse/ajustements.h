#pragma once
// Fits of one quantity against another: line and parabola (linear least squares, see
// ajuster), and by nonlinear least squares (GSL, trust region with Levenberg-Marquardt steps)
// sine, damped sine, exponential, power and a formula typed by the user, with named
// parameters. Each parameter comes with its standard uncertainty; the texts that show a
// fit, its CSV block and its clipboard text.
#include "analyse/grandeurs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

enum class TypeAjustement {
    Droite,        // a t + b
    Parabole,      // a t² + b t + c
    Sinus,         // A sin(ω t + φ) + c
    SinusAmorti,   // A e^(−t/τ) sin(ω t + φ) + c
    Exponentielle, // A e^(k t) + c: growth or decay towards a level c (cooling, charging)
    Puissance,     // A t^n, fitted on the points of positive abscissa only
    Formule,       // typed: any name other than the variable and muParser's own is a parameter
};

struct DemandeAjustement {
    TypeAjustement type = TypeAjustement::Droite;
    // Formula only: the expression in muParser's syntax ("a*t^2+b*t+c", "A*exp(-t/tau)"),
    // the name of its variable, and starting values in the order the parameters first appear
    // in the expression (1 for those not given).
    QString formule;
    QString variable = QStringLiteral("t");
    std::vector<double> departs;
};

struct ParametreAjuste {
    QString nom;
    double valeur = 0, incertitude = 0; // standard uncertainty
};

struct ResultatAjustement {
    TypeAjustement type = TypeAjustement::Droite;
    bool converge = false;
    QString erreur; // short, in Arabic; empty when the fit converged
    std::vector<ParametreAjuste> parametres;
    double r2 = 0; // NaN when every ordinate is the same
    int points = 0, iterations = 0;
    int premiereLigne = 0, derniereLigne = 0; // rows fitted (series fits only)
    QString formule, variable;                // formula fits: as typed
    // The fitted curve, for drawing it; empty when the fit failed. It may hold the formula's
    // parser: call it from one thread at a time.
    std::function<double(double)> courbe;
    double operator()(double u) const { return courbe ? courbe(u) : 0.0; }
};

// Symbols of the parameters in display order ("A", "ω", "φ", "c"); formula: not known before
// it is read (empty).
QStringList nomsParametres(TypeAjustement type);

// A fit of v against u. Never throws: a failure (too few points, a value that is not a
// number, parameters the data cannot determine, no convergence, a formula that does not
// read) comes back with converge false and its message.
ResultatAjustement ajusterDonnees(const DemandeAjustement &demande, const std::vector<double> &u,
                                  const std::vector<double> &v);
// The same on the points of a series whose rows lie in premiereLigne..derniereLigne.
ResultatAjustement ajusterSerie(const DemandeAjustement &demande, const SerieGrandeurs &serie,
                                int premiereLigne, int derniereLigne);

// The fitted function written left to right with its symbols: "y = A·sin(ω·t + φ) + c"; a
// formula as typed. vertical and horizontal name the axes' quantities.
QString equation(const ResultatAjustement &r, const QString &vertical, const QString &horizontal);
// One line per parameter, "A = 0.1234 ± 0.0005" (the value rounded where its uncertainty
// rounds, one significant digit, two when it starts with 1), then "R² = 0.99876".
QStringList lignesParametres(const ResultatAjustement &r, QChar decimal = QLatin1Char('.'));
// CSV block, UTF-8, one line each ending with '\n': the equation, then "nom;valeur;incertitude"
// (with the given separator), a line per parameter at full precision and "R²". A separator
// equal to the decimal mark becomes ";", as in the text export.
QByteArray blocCSV(const ResultatAjustement &r, const QString &equation,
                   QChar separateur = QLatin1Char(','), QChar decimal = QLatin1Char('.'));
// The same table for the clipboard: tab separated, lines joined by CR LF.
QString textePressePapiersAjustement(const ResultatAjustement &r, const QString &equation,
                                     QChar decimal = QLatin1Char('.'));

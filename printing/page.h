#pragma once
// The printed page and the arithmetic of the print dialog, without widgets: one drawing
// function takes a painter and the page's resolution, so that a printer, a PDF file and an
// image all get the same page.
#include <QColor>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

// A typed print scale in metres per printed centimetre: the reader of the length boxes (point,
// or the user's comma), and only a positive value counts.
std::optional<long double> lireEchelleImpression(const QString &texte);

// The print scale proposed for m, the scale at which the picture just fills the page: the
// smallest power of ten not below m when m < 1, the next power of ten above m from 1 on
// (m = 1 proposes 10). Nothing when m is zero, negative or not finite.
std::optional<long double> echelleProposee(long double m);

// The track bar runs from 0 (ten times the proposed scale D: a small drawing) through 100 (D)
// to 200 (a tenth of D), logarithmically.
int positionPiste(long double e, long double D);
long double echelleDePiste(int position, long double D);

// Colours of the axes and markers on paper: the screen's, grey of the same lightness, or black.
enum class ModeCouleur { ecran = 0, gris = 1, noir = 2 };
QColor couleurImprimee(std::uint32_t valeur, ModeCouleur mode);

// One recorded position: displayed pixel (with decimals when tracked: a printer dot is much
// finer than a displayed pixel), colour value (red in the low byte), marker shape.
struct MarqueImprimee {
    double X = 0, Y = 0;
    std::uint32_t couleur = 0;
    int forme = 0;
};

// Everything the page shows, in displayed pixels and metres; the drawing scales it.
struct PageImprimee {
    int resolX = 600, resolY = 600;         // dots per inch
    QSizeF page;                            // printable area in dots; what falls outside is lost
    long double echelleH = 1, echelleV = 1; // metres per displayed pixel
    long double ech = 1;                    // metres per printed centimetre
    int largeurAffichee = 0, hauteurAffichee = 0;
    int origineX = 0, origineY = 0, sensX = 1, sensY = 1;
    double angleAxes = 0; // the axes' turn on the picture, degrees counter-clockwise
    int taillePoints = 1;
    bool axes = true;
    std::uint32_t couleurAxes = 0;
    ModeCouleur mode = ModeCouleur::noir;
    bool grille = true;
    bool grilleCouleurAxes = false; // grid in the axes' screen colour rather than grey
    std::vector<MarqueImprimee> marques;

    // Printer dots per displayed pixel.
    long double facteurX() const;
    long double facteurY() const;
};

// The dots of the grid lines that land on the page: x of the vertical lines, y of the
// horizontal ones, and how far the lines run (the drawing's width and height in dots, at most
// just past the page). However small the scale, no more lines than the page holds.
struct GrilleImprimee {
    std::vector<int> x, y;
    int finX = 0, finY = 0;
};
GrilleImprimee grilleImprimee(const PageImprimee &p);

// The one-line legend, "1cm : " then the scale with 3 significant digits and "m".
QString legendeImpression(long double ech);

// Draws the page with its top-left corner at the painter's origin, in device dots.
void dessinePage(QPainter &canevas, const PageImprimee &p);

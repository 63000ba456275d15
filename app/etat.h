#pragma once
// The working state: program-wide variables shared by the main window and the dialogs.
// Pixels are displayed pixels (after the display zoom) unless the name says otherwise.
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

extern QString repDepart;    // start directory: help, configuration, exchange file
extern QString cheminConfig; // full path of kmconfig.txt once saved
extern int imageCourante;    // 0-based frame shown; -1 before any
extern int nbImages;
extern long double periode; // seconds per frame
extern int frequence;       // frames per second, rounded
extern int largeurReelle, hauteurReelle;
extern QString codecClip;
// The measurement's settings below (references) are fields of the measurement the window works
// on (mesureDeTravail(), the document's value): one place, these names.
extern int &largeurAffichee, &hauteurAffichee;
extern long double facteurAffichage;
extern int &pcAffichage;
extern bool adapterDemande, demande100, udPcEnfonce;
extern int &origineX, &origineY;
extern int &sensX, &sensY; // +1 or -1
extern double &angleAxes;  // turn of the axes, degrees counter-clockwise, 0 untilted
extern QPoint &etalonP1, &etalonP2;
extern long double &echelleH, &echelleV; // metres per displayed pixel
extern QString texteSH, texteSV, texteSi;
extern bool saisieEtalon;
extern bool echelleModifiee;
extern int &chiffresXY;
extern QString formatTemps;
extern int &taillePoints;
extern int couleurCurseur; // 1 black, 2 white
extern int formeCurseur;   // 1 large target, 2 small target, 3 cross
extern bool aRedessiner;
extern bool effacerSansDemande;
extern int largeurPnl1, largeurForm;

// Outside AVI, each frame's own time in seconds from frame 0 (variable frame rates); empty
// for AVI, whose frames are a period apart.
extern std::vector<double> tempsImages;
// Frames per second at filming for slow motion, 0 when the clip plays as recorded.
extern double &cadenceTournage;
// Seconds from frame `origine` to frame `image` (0-based), the capture rate applied: the time
// column, its exports and graphs.
long double ecartTemps(int image, int origine);

// Puts every variable back to its value before the main window is created (tests create
// the windows several times in one process).
void reinitialiserEtat();

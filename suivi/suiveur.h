#pragma once
// Automatic tracking: follows one object from frame to frame by normalised cross-correlation
// (OpenCV's template matching), with the peak refined to a fraction of a pixel by a parabola
// through it and its neighbours. Positions are in natural pixels of the clip, pixel (i, j)
// having its centre at (i, j), y downward.
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class TMediaPlayer;

struct ReglagesSuivi {
    double seuil = 0.5;            // a match scoring less means the object is lost
    double seuilRafraichir = 0.85; // a match scoring this much renews the template
    int coteMin = 4;               // the smallest side of a box, in pixels
    double contrasteMin = 2.0;     // grey-level standard deviation a box must show
};

// Why a box cannot be followed.
enum class RefusDepart { Aucun, HorsImage, TropPetite, SansDetail };

enum class EtatSuivi { Trouve, Perdu, Sorti };

struct Suivi {
    EtatSuivi etat = EtatSuivi::Perdu;
    QPointF centre; // where the object was found (Trouve only)
    double score = 0;
};

// Grey levels (Format_Grayscale8) of any region of the picture, black outside it.
using LecteurZone = std::function<QImage(const QRect &zone)>;

class Suiveur
{
public:
    explicit Suiveur(const ReglagesSuivi &reglages = {});
    ~Suiveur();
    Suiveur(const Suiveur &) = delete;
    Suiveur &operator=(const Suiveur &) = delete;

    // Takes the object in the box on the first picture. The point followed is the centre of
    // the box, or the centre of the object when it is round or otherwise symmetric about a
    // point near there. A box partly off the picture is cut to it.
    RefusDepart demarrer(const LecteurZone &lire, QSize image, QRect boite);
    QPointF depart() const;
    QRect boite() const; // the box as cut to the picture

    // Finds the object on the next picture: around where its last velocity takes it.
    Suivi suivre(const LecteurZone &lire);

    const ReglagesSuivi &reglages() const;

private:
    struct Prive;
    std::unique_ptr<Prive> d;
};

// ---- Following through a clip ----

struct PointSuivi {
    int image;      // 0-based frame index
    QPointF centre; // natural pixels
    double score;   // 1 on the first frame
};

enum class FinSuivi { Complet, FinClip, Perdu, Sorti, Annule, Refus };

struct BilanSuivi {
    FinSuivi fin = FinSuivi::Complet;
    RefusDepart refus = RefusDepart::Aucun;
    int image = -1;   // the frame where it stopped (Perdu, Sorti), else the last one found
    double score = 0; // the failing score (Perdu)
    int trouves = 0;  // frames reported, the first one included
};

// Follows the object in the box from frame `debut` of an open player, stepping forward one
// frame at a time: `nombre` frames after the first (all to the end when negative). surPoint
// gets every frame found, the first one included, as it is found; returning false cancels.
// FinClip: the clip ended before `nombre` frames.
BilanSuivi suivreClip(TMediaPlayer &lecteur, int debut, const QRect &boite, int nombre,
                      const ReglagesSuivi &reglages,
                      const std::function<bool(const PointSuivi &)> &surPoint);

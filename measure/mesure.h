#pragma once
// The whole measurement as one value: what a session file holds, what undo steps change and
// what recovery writes. Positions are pixels of the displayed image at largeurAffichee x
// hauteurAffichee (the grids' own unit), whole when pointed and in hundredths when tracked,
// exactly as the hidden grid holds them; nothing is normalised. Frames are 0-based here
// (row r of the grids is frame r - 1).
#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

constexpr int kPointsMesure = 4; // the grids keep four pairs whatever the point count

// Appearance of the axes (index 0) or of one point (1 ... 4).
struct AspectMesure {
    std::uint32_t couleur = 16777215; // RGB, red in the low byte
    bool trace = true;                // drawn on the picture
    int forme = 0;                    // 0 cross, 1 square, 2 circle (unused for the axes)
    bool operator==(const AspectMesure &o) const
    {
        return couleur == o.couleur && trace == o.trace && forme == o.forme;
    }
    bool operator!=(const AspectMesure &o) const { return !(*this == o); }
};

// Everything but the clip and the pointings: small, so undo steps may keep it whole.
struct ReglagesMesure {
    int pourcentAffichage = 100;                  // 10 ... 200
    int largeurAffichee = 0, hauteurAffichee = 0; // the displayed picture the pixels belong to
    int nbPoints = 1;                             // points per frame shown, 1 ... 4
    int origineTemps = 1;                         // T: 1-based frame of t = 0
    int decimalesTemps = 3;                       // 0 ... 6
    int chiffresXY = 3;                           // significant digits of x and y, 1 ... 5
    int modeEtalonnage = 0; // last scale mode chosen: 0 none, 1 horizontal, 2 vertical, 3 both
    QPoint etalonP1{1, 1}, etalonP2{2, 2};
    QString texteSH, texteSV, texteSi;            // the three length boxes as they read
    long double echelleH = 1.0L, echelleV = 1.0L; // metres per displayed pixel
    int origineX = 0, origineY = 0;
    int sensX = 1, sensY = 1; // +1 or -1
    std::array<AspectMesure, kPointsMesure + 1> aspects{};
    int taillePoints = 1;       // marker half-size, 0 ... 4
    double cadenceTournage = 0; // frames per second at filming (slow motion), 0 as recorded

    bool operator==(const ReglagesMesure &o) const;
    bool operator!=(const ReglagesMesure &o) const { return !(*this == o); }
};

// The clip the pixels were taken on, to find it again and to notice that it changed.
struct ClipMesure {
    QString fichier;      // absolute path
    qint64 taille = 0;    // bytes
    QByteArray empreinte; // SHA-256 of the first MiB, hex
    int nbImages = 0;
    bool operator==(const ClipMesure &o) const
    {
        return fichier == o.fichier && taille == o.taille && empreinte == o.empreinte &&
               nbImages == o.nbImages;
    }
};

struct Mesure {
    ClipMesure clip;
    ReglagesMesure reglages;
    // For each point (0-based here), frame -> pixel. Sparse: a few hundred pointed frames of
    // a 90,000-frame clip cost a few hundred entries. Implicitly shared, so a copy handed to
    // the recovery writer costs nothing until one side changes.
    std::array<QMap<int, QPointF>, kPointsMesure> positions;
    // Angles read with the protractor, frame -> degrees (tenths, as the table shows them).
    // Empty unless the protractor was used.
    QMap<int, double> angles;
    // The graph panel's graphs and fits with their parameters, as it last showed them; empty
    // until it is used.
    QJsonObject graphes;

    bool operator==(const Mesure &o) const
    {
        return clip == o.clip && reglages == o.reglages && positions == o.positions &&
               angles == o.angles && graphes == o.graphes;
    }
    bool operator!=(const Mesure &o) const { return !(*this == o); }
    int nbPointages() const;
};

// One pointing that changed: absent before (pointed), absent after (cleared), or moved.
struct ChangementPosition {
    int image = 0;
    std::int8_t point = 0; // 0-based
    std::optional<QPointF> avant, apres;
};

// One angle that changed: absent before (recorded), absent after (cleared), or changed.
struct ChangementAngle {
    int image = 0;
    std::optional<double> avant, apres;
};
std::vector<ChangementAngle> differenceAngles(const Mesure &avant, const Mesure &apres);
void appliquerAngles(Mesure &m, const std::vector<ChangementAngle> &changements, bool versApres);

// The pointings that differ between two measurements, frame by frame.
std::vector<ChangementPosition> differencePositions(const Mesure &avant, const Mesure &apres);
// Applies changements forward (apres) or backward (avant).
void appliquerChangements(Mesure &m, const std::vector<ChangementPosition> &changements,
                          bool versApres);

// Metres of a displayed pixel through the settings' Origin, axis directions and Scales, as
// the table computes them.
long double xMetres(const ReglagesMesure &g, double X);
long double yMetres(const ReglagesMesure &g, double Y);

// Time pattern of the table for k decimals: "0", "0.0" ... "0.000000".
QString motifDecimalesTemps(int k);
// Decimals of a time pattern; -1 when it is not one.
int decimalesDeMotif(const QString &motif);

#pragma once
// Reads the few header values of an AVI file shown while a clip is being chosen: frame count,
// picture size, codec FourCC, time scale and rate. Values are read at fixed byte offsets (the
// usual layout: main header, then the first stream's header) without parsing the RIFF tree,
// so any file long enough gives numbers; the validity rule of EnteteAvi filters most of them.
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

// Byte offsets of the fields, from the start of the file.
constexpr qint64 offsetNbImagesAvi = 48;
constexpr qint64 offsetLargeurAvi = 64;
constexpr qint64 offsetHauteurAvi = 68;
constexpr qint64 offsetCodecAvi = 112;
constexpr qint64 offsetEchelleAvi = 128;
constexpr qint64 offsetTauxAvi = 132;

// The file is opened (read-only is enough) and closed by the caller. Every function moves the
// file position; a failed positioning or a read of fewer than 4 bytes throws ErreurES.
qint32 lireEntierAvi(QFile &fichier, qint64 offset);  // little-endian, signed
QString lireFourCCAvi(QFile &fichier, qint64 offset); // bytes in file order, cut at the first 0
qint32 nbImagesAvi(QFile &fichier);
std::pair<qint32, qint32> dimensionsAvi(QFile &fichier); // (width, height)
QString codecAvi(QFile &fichier);
qint32 echelleAvi(QFile &fichier);
qint32 tauxAvi(QFile &fichier);

// FourCC (lower case) to codec name; the last row is the empty FourCC of uncompressed clips.
constexpr int nbCodecs = 13;
extern const char *const codecsFourCC[nbCodecs];
extern const char *const codecsNoms[nbCodecs]; // UTF-8

// Name of the codec with this FourCC, compared without regard to ASCII case; none if unknown.
std::optional<QString> nomCodec(const QString &fourcc);

// The header values and what is derived from them.
struct EnteteAvi {
    qint32 nbImages = 0;
    qint32 largeur = 0;
    qint32 hauteur = 0;
    QString fourCC;
    qint32 echelle = 0; // read only when taux >= 1, else 0
    qint32 taux = 0;
    long double periode = -1; // seconds per frame; -1 when the rate is below 1
    long double duree = 0;    // nbImages x periode, 0 when the period is not positive
    qint32 frequence = 0;     // 1 / periode rounded half to even, 0 when the period is not positive
    bool valide = false;      // nbImages, largeur, hauteur and periode all > 0
};

// Reads frame count, size, FourCC, rate and (rate >= 1) scale in that order. Throws ErreurES
// on a short file; an invalid period raises no error, it only makes the values invalid. A
// file read through that does not begin as RIFF AVI gives all values 0, not valid.
EnteteAvi lireEnteteAvi(QFile &fichier);

// Frames per second from a period in seconds: 1 / periode rounded to the nearest integer,
// halves to even; 0 for a non-positive period, and clamped to the int range for tiny ones.
qint32 frequenceDePeriode(long double periode);

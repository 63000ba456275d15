#include "clip/video.h"

#include "measure/erreurs.h"

#include <cmath>
#include <limits>

namespace
{

const char *const texteFinDeFichier = "Lecture au-delà de la fin de fichier";

// Reads exactly 4 bytes at an absolute offset, or throws the run-time's end-of-file error.
void lire4(QFile &fichier, qint64 offset, unsigned char octets[4])
{
    if (offset < 0 || !fichier.seek(offset) ||
        fichier.read(reinterpret_cast<char *>(octets), 4) != 4)
        throw ErreurES(QString::fromUtf8(texteFinDeFichier));
}

} // namespace

const char *const codecsFourCC[nbCodecs] = {"cvid", "iv32", "msvc", "mrle", "yvu9", "iv50", "vdom",
                                            "mpv4", "mp42", "i263", "iv41", "divx", ""};

const char *const codecsNoms[nbCodecs] = {"Cinepak Codec by Radius",
                                          "Intel Indeo Video R3.2",
                                          "Microsoft Video 1",
                                          "Microsoft RLE",
                                          "Intel Indeo Video Raw R1.1",
                                          "Intel Video 5.04",
                                          "VDOnet VDOWave",
                                          "MS MPEG-4 Video Codec V1",
                                          "MS MPEG-4 Video Codec V2",
                                          "Intel I.263 Video Driver 2.55.012",
                                          "Intel Indeo Video Interactive",
                                          "DivX Codec",
                                          "Non compressé"};

qint32 lireEntierAvi(QFile &fichier, qint64 offset)
{
    unsigned char o[4];
    lire4(fichier, offset, o);
    const quint32 u =
        quint32(o[0]) | quint32(o[1]) << 8 | quint32(o[2]) << 16 | quint32(o[3]) << 24;
    return qint32(u); // two's complement, well defined since C++20 and in practice before
}

QString lireFourCCAvi(QFile &fichier, qint64 offset)
{
    unsigned char o[4];
    lire4(fichier, offset, o);
    QString texte;
    for (unsigned char c : o) {
        if (c == 0) break;
        texte += QChar(char16_t(c)); // one byte, one character (Latin-1)
    }
    return texte;
}

qint32 nbImagesAvi(QFile &fichier)
{
    return lireEntierAvi(fichier, offsetNbImagesAvi);
}

std::pair<qint32, qint32> dimensionsAvi(QFile &fichier)
{
    const qint32 largeur = lireEntierAvi(fichier, offsetLargeurAvi);
    const qint32 hauteur = lireEntierAvi(fichier, offsetHauteurAvi);
    return {largeur, hauteur};
}

QString codecAvi(QFile &fichier)
{
    return lireFourCCAvi(fichier, offsetCodecAvi);
}

qint32 echelleAvi(QFile &fichier)
{
    return lireEntierAvi(fichier, offsetEchelleAvi);
}

qint32 tauxAvi(QFile &fichier)
{
    return lireEntierAvi(fichier, offsetTauxAvi);
}

std::optional<QString> nomCodec(const QString &fourcc)
{
    // Only ASCII letters change case: a FourCC is bytes, not words of a language.
    QString bas = fourcc;
    for (QChar &c : bas)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
    for (int i = 0; i < nbCodecs; ++i)
        if (bas == QLatin1String(codecsFourCC[i])) return QString::fromUtf8(codecsNoms[i]);
    return std::nullopt;
}

qint32 frequenceDePeriode(long double periode)
{
    if (!(periode > 0)) return 0;
    const long double f = 1.0L / periode;
    constexpr long double plafond = std::numeric_limits<qint32>::max();
    if (!(f < plafond)) // also catches an infinite quotient
        return std::numeric_limits<qint32>::max();
    long double entier = std::floor(f);
    const long double reste = f - entier;
    if (reste > 0.5L || (reste == 0.5L && std::fmod(entier, 2.0L) != 0)) entier += 1;
    return qint32(entier);
}

EnteteAvi lireEnteteAvi(QFile &fichier)
{
    EnteteAvi e;
    e.nbImages = nbImagesAvi(fichier);
    const auto dimensions = dimensionsAvi(fichier);
    e.largeur = dimensions.first;
    e.hauteur = dimensions.second;
    e.fourCC = codecAvi(fichier);
    e.taux = tauxAvi(fichier);
    if (e.taux >= 1) {
        e.echelle = echelleAvi(fichier);
        e.periode = static_cast<long double>(e.echelle) / e.taux;
    }
    if (e.periode > 0) {
        e.duree = e.nbImages * e.periode;
        e.frequence = frequenceDePeriode(e.periode);
    }
    e.valide = e.nbImages > 0 && e.largeur > 0 && e.hauteur > 0 && e.periode > 0;
    // Another container (MP4, MOV, MKV...) read at these offsets gives absurd numbers: it is
    // refused outright, once the reads have failed as they would on a short file.
    if (!fichier.seek(0)) return EnteteAvi{};
    const QByteArray signature = fichier.read(12);
    if (!(signature.startsWith("RIFF") && signature.mid(8, 4) == "AVI ")) return EnteteAvi{};
    return e;
}

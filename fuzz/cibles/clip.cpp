// A clip in any container: the preview's reading of its header, then the player's opening
// (the container's index or the one reading pass, the AVI index, the MP4 box walk) and a few
// positionings. The bytes are written to a temporary file, as the player reads files.
#include "../cible.h"

#include "clip/TMediaPlayer.h"
#include "clip/infosClip.h"

#include <QCoreApplication>

#include <algorithm>
#include <QDir>
#include <QFile>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
#ifdef KINEMAR_CIBLE_AVI
    // Always an AVI file, so that its header and index readers are the ones tried.
    QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    if (octets.size() < 12) octets.resize(12, '\0');
    octets.replace(0, 4, "RIFF");
    octets.replace(8, 4, "AVI ");
    const QString suffixe = QStringLiteral("avi");
#else
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const QString suffixe = QStringLiteral("clip");
#endif
    static const QString chemin =
        QDir::tempPath() + QStringLiteral("/kinemar-fuzz-%1.%2").arg(getpid()).arg(suffixe);
    {
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(octets);
    }
    (void)lireInfosClip(chemin);
    TMediaPlayer lecteur;
    lecteur.setFileName(chemin);
    lecteur.setDelaiOuverture(std::chrono::seconds(5));
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &) {
        if (lecteur.estOuvert()) promesseRompue();
        return 0;
    }
    const int n = lecteur.Length();
    if (n <= 0) promesseRompue();
    for (int f : {n - 1, 0, n / 2, 1}) {
        lecteur.deplacerVers(f);
        if (lecteur.Position() != std::clamp(f, 0, n - 1)) promesseRompue();
        (void)lecteur.image();
    }
    return 0;
}

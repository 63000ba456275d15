// The AVI header reader, at its fixed offsets, on a file of any bytes.
#include "../cible.h"

#include "measure/erreurs.h"
#include "clip/video.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    static const QString chemin =
        QDir::tempPath() + QStringLiteral("/kinemar-fuzz-entete-%1.avi").arg(getpid());
    {
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char *>(donnees), qint64(taille));
    }
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    try {
        const EnteteAvi e = lireEnteteAvi(f);
        if (e.valide && (e.nbImages <= 0 || e.largeur <= 0 || e.hauteur <= 0 || !(e.periode > 0)))
            promesseRompue();
        (void)nomCodec(e.fourCC);
    } catch (const ErreurKinemar &) {
        // a file too short: the program says so
    }
    return 0;
}

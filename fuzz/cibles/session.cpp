// The session file: any bytes are refused with a reason or read into a measurement; one that
// is read is written again and reads back the same.
#include "../cible.h"

#include "measure/fichierMesure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const QString fichier = QStringLiteral("/fuzz/sessions/s.kinemar");
    const LectureSession lue = lireSession(octets, fichier);
    if (!lue.mesure) {
        if (lue.erreur.isEmpty()) promesseRompue();
        return 0;
    }
    const LectureSession relue = lireSession(texteSession(*lue.mesure, fichier), fichier);
    if (!relue.mesure || *relue.mesure != *lue.mesure) promesseRompue();
    return 0;
}

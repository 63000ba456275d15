// Writes the session seeds of the fuzz corpus with the program's own writer:
// graines DOSSIER. Run again when the session format changes (scripts/fuzz --graines).
#include "measure/fichierMesure.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: graines FOLDER\n");
        return 2;
    }
    const QDir dossier(QFile::decodeName(argv[1]));
    const QString fichier = QStringLiteral("/fuzz/sessions/s.kinemar");
    auto ecrire = [&](const char *nom, const Mesure &m) {
        QFile f(dossier.filePath(QString::fromLatin1(nom)));
        return f.open(QIODevice::WriteOnly) && f.write(texteSession(m, fichier)) >= 0;
    };
    Mesure vide;
    vide.clip.fichier = QStringLiteral("/fuzz/sessions/chute.avi");
    vide.clip.taille = 123456;
    vide.clip.empreinte = QByteArray(64, 'a');
    vide.clip.nbImages = 30;
    vide.reglages.largeurAffichee = 320;
    vide.reglages.hauteurAffichee = 240;

    Mesure pleine = vide;
    pleine.clip.fichier = QStringLiteral("/fuzz/ailleurs/تجربة.mp4");
    pleine.reglages.nbPoints = 2;
    pleine.reglages.modeEtalonnage = 3;
    pleine.reglages.texteSH = QStringLiteral("0,5");
    pleine.reglages.texteSV = QStringLiteral("1E-1");
    pleine.reglages.echelleH = 0.00125L;
    pleine.reglages.echelleV = 0.0025L;
    pleine.reglages.origineX = 10;
    pleine.reglages.origineY = 230;
    pleine.reglages.sensY = -1;
    pleine.reglages.aspects[1].couleur = 255;
    pleine.reglages.aspects[2].forme = 2;
    pleine.reglages.cadenceTournage = 240;
    for (int f = 0; f < 12; ++f) {
        pleine.positions[0].insert(f, QPointF(20 + 7 * f, 200 - f * f));
        if (f % 3 == 0) pleine.positions[1].insert(f, QPointF(30.25 + f, 100.5));
    }
    return ecrire("vide.kinemar", vide) && ecrire("pleine.kinemar", pleine) ? 0 : 1;
}

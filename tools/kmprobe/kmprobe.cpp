// kmprobe CLIP [--times] [--frames I,J,K...] [--out DIR]
// Prints the header values the clip-properties page shows, then what the media player makes
// of the clip, with --times each frame's time from frame 0 (INDEX SECONDS, one line a frame),
// and writes DIR/frame-I.png for each frame asked, reached in the order given by
// one Step or Back from the previous one, as the program moves.
#include "measure/erreurs.h"
#include "clip/TMediaPlayer.h"
#include "clip/video.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace
{

void afficher(const QString &texte)
{
    std::fputs(qPrintable(texte + QLatin1Char('\n')), stdout);
}

int usage()
{
    std::fputs("usage: kmprobe CLIP [--times] [--frames I,J,K...] [--out DIR]\n", stderr);
    return 2;
}

void entete(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        afficher(QStringLiteral("entête : illisible (%1)").arg(f.errorString()));
        return;
    }
    try {
        const EnteteAvi e = lireEnteteAvi(f);
        afficher(QStringLiteral("entête.images : %1").arg(e.nbImages));
        afficher(QStringLiteral("entête.largeur : %1").arg(e.largeur));
        afficher(QStringLiteral("entête.hauteur : %1").arg(e.hauteur));
        afficher(QStringLiteral("entête.fourcc : %1").arg(e.fourCC));
        afficher(QStringLiteral("entête.codec : %1")
                     .arg(nomCodec(e.fourCC).value_or(QStringLiteral("inconnu"))));
        afficher(QStringLiteral("entête.échelle : %1").arg(e.echelle));
        afficher(QStringLiteral("entête.taux : %1").arg(e.taux));
        afficher(QStringLiteral("entête.valide : %1").arg(e.valide ? "oui" : "non"));
    } catch (const ErreurKinemar &erreur) {
        afficher(QStringLiteral("entête : %1").arg(erreur.texte()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString clip, sortie = QStringLiteral(".");
    std::vector<int> images;
    bool temps = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--frames") && i + 1 < args.size()) {
            for (const QString &t : args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                bool ok = false;
                const int f = t.trimmed().toInt(&ok);
                if (!ok || f < 0) return usage();
                images.push_back(f);
            }
        } else if (a == QLatin1String("--times")) {
            temps = true;
        } else if (a == QLatin1String("--out") && i + 1 < args.size()) {
            sortie = args[++i];
        } else if (a.startsWith(QLatin1String("--")) || !clip.isEmpty()) {
            return usage();
        } else {
            clip = a;
        }
    }
    if (clip.isEmpty()) return usage();

    afficher(QStringLiteral("fichier : %1").arg(clip));
    entete(clip);

    TMediaPlayer lecteur;
    lecteur.setFileName(clip);
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &erreur) {
        afficher(erreur.texte());
        return 1;
    }
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Millisecondes);
    const int ms = lecteur.Length();
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
    const int L = lecteur.Length();
    afficher(QStringLiteral("lecteur.images : %1").arg(L));
    afficher(QStringLiteral("lecteur.ms : %1").arg(ms));
    afficher(QStringLiteral("lecteur.taille : %1x%2")
                 .arg(lecteur.DisplayRect().width())
                 .arg(lecteur.DisplayRect().height()));
    afficher(QStringLiteral("lecteur.décodeur : %1").arg(lecteur.nomDecodeur()));
    afficher(QStringLiteral("lecteur.illisibles : %1").arg(lecteur.imagesIlisibles()));

    if (temps)
        for (int f = 0; f < L; ++f)
            std::printf("%d %.6f\n", f, lecteur.tempsImage(f));
    if (images.empty()) return 0;
    if (!QDir().mkpath(sortie)) {
        afficher(QStringLiteral("impossible de créer %1").arg(sortie));
        return 1;
    }
    int code = 0;
    for (int a : images) {
        lecteur.deplacerVers(a);
        const QString nom = QDir(sortie).filePath(QStringLiteral("frame-%1.png").arg(a));
        if (lecteur.image().save(nom, "PNG")) {
            afficher(QStringLiteral("image %1 (position %2) : %3")
                         .arg(a)
                         .arg(lecteur.Position())
                         .arg(nom));
        } else {
            afficher(QStringLiteral("image %1 : écriture impossible de %2").arg(a).arg(nom));
            code = 1;
        }
    }
    return code;
}

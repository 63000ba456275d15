// kmtrack CLIP --frame F --box X,Y,W,H [--count N] [--threshold S]
// Follows the object in the box from frame F (0-based) with the program's tracker and prints
// one line per frame found, the first one included: "INDEX X Y SCORE", in pixels of the
// picture at 100 % (pixel centres on whole numbers, y downward). Without --count it goes on
// to the end of the clip. When the object is lost, leaves the picture or the clip ends before
// N frames, the frames found are printed first, then the reason on stderr, and the exit
// status is 1. A bad command line exits with 2.
#include "measure/erreurs.h"
#include "clip/TMediaPlayer.h"
#include "suivi/suiveur.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace
{

// Far beyond any picture, and far from overflowing a rectangle's corners.
constexpr int kLimite = 1000000;

int usage(const char *pourquoi = nullptr)
{
    if (pourquoi) std::fprintf(stderr, "kmtrack: %s\n", pourquoi);
    std::fputs("usage: kmtrack CLIP --frame F --box X,Y,W,H [--count N] [--threshold S]\n", stderr);
    return 2;
}

void dire(const QString &texte)
{
    std::fputs(qPrintable(QStringLiteral("kmtrack: ") + texte + QLatin1Char('\n')), stderr);
}

bool entier(const QString &texte, int &valeur)
{
    bool ok = false;
    valeur = texte.trimmed().toInt(&ok);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString clip;
    int debut = -1, nombre = -1;
    QRect boite;
    bool avecBoite = false;
    ReglagesSuivi reglages;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool valeur = i + 1 < args.size();
        if (a == QLatin1String("--frame") && valeur) {
            if (!entier(args[++i], debut) || debut < 0)
                return usage("--frame: a frame index from 0 expected");
        } else if (a == QLatin1String("--count") && valeur) {
            if (!entier(args[++i], nombre) || nombre < 0)
                return usage("--count: a number of frames from 0 expected");
        } else if (a == QLatin1String("--box") && valeur) {
            const QStringList p = args[++i].split(QLatin1Char(','));
            int v[4];
            if (p.size() != 4 || !entier(p[0], v[0]) || !entier(p[1], v[1]) ||
                !entier(p[2], v[2]) || !entier(p[3], v[3]) || v[2] <= 0 || v[3] <= 0 ||
                std::abs(v[0]) > kLimite || std::abs(v[1]) > kLimite || v[2] > kLimite ||
                v[3] > kLimite)
                return usage("--box: X,Y,W,H in whole pixels expected, W and H positive");
            boite = QRect(v[0], v[1], v[2], v[3]);
            avecBoite = true;
        } else if (a == QLatin1String("--threshold") && valeur) {
            bool ok = false;
            reglages.seuil = args[++i].toDouble(&ok);
            if (!ok || !(reglages.seuil > -1.0) || reglages.seuil > 1.0)
                return usage("--threshold: a score between -1 and 1 expected");
        } else if (a.startsWith(QLatin1String("--")) || !clip.isEmpty()) {
            return usage();
        } else {
            clip = a;
        }
    }
    if (clip.isEmpty() || debut < 0 || !avecBoite) return usage();

    TMediaPlayer lecteur;
    lecteur.setFileName(clip);
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &erreur) {
        dire(erreur.texte());
        return 1;
    }
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
    // Forward steps only: no pictures need keeping for going back.
    lecteur.setCacheMio(16);
    const int L = lecteur.Length();
    if (debut >= L) {
        dire(QStringLiteral("the clip has %1 frames (0 to %2): no frame %3")
                 .arg(L)
                 .arg(L - 1)
                 .arg(debut));
        return 1;
    }

    const BilanSuivi bilan =
        suivreClip(lecteur, debut, boite, nombre, reglages, [](const PointSuivi &p) {
            std::printf("%d %.3f %.3f %.4f\n", p.image, p.centre.x(), p.centre.y(), p.score);
            return true;
        });
    std::fflush(stdout);
    const QSize taille = lecteur.tailleNaturelle();
    switch (bilan.fin) {
    case FinSuivi::Complet:
    case FinSuivi::Annule:
        return 0;
    case FinSuivi::FinClip:
        dire(QStringLiteral("the clip ends at frame %1, %2 frames after frame %3")
                 .arg(L - 1)
                 .arg(L - 1 - debut)
                 .arg(debut));
        return 1;
    case FinSuivi::Perdu:
        dire(QStringLiteral("object lost at frame %1: match %2 below the threshold %3")
                 .arg(bilan.image)
                 .arg(bilan.score, 0, 'f', 2)
                 .arg(reglages.seuil, 0, 'f', 2));
        return 1;
    case FinSuivi::Sorti:
        dire(QStringLiteral("object leaves the picture at frame %1").arg(bilan.image));
        return 1;
    case FinSuivi::Refus:
        switch (bilan.refus) {
        case RefusDepart::HorsImage:
            dire(QStringLiteral("the box %1,%2,%3,%4 lies outside the %5x%6 picture")
                     .arg(boite.x())
                     .arg(boite.y())
                     .arg(boite.width())
                     .arg(boite.height())
                     .arg(taille.width())
                     .arg(taille.height()));
            break;
        case RefusDepart::TropPetite:
            dire(QStringLiteral("the box is too small: at least %1x%1 pixels of the picture needed")
                     .arg(reglages.coteMin));
            break;
        case RefusDepart::SansDetail:
            dire(QStringLiteral("nothing to follow in the box: it is of one even shade"));
            break;
        case RefusDepart::Aucun:
            break;
        }
        return 1;
    }
    return 0;
}

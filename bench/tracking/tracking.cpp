// Tracking benchmark. On a 640x480, 500-frame MPEG-4 clip made with mkclip (a disc of radius
// 14 over a textured background, with noise and motion blur), it measures the median time
// per frame of stepping through the clip (Step, then the picture shown, as the window does)
// and of tracking a 40-pixel box through it (Step, then the tracker reading only what it
// needs), and the tracking error against the true path. Then it tracks 500 frames of a
// 1920x1080 clip and reports how far the resident memory grew over the run.
// The last line is:   ratio track/step=R
#include "bench/commun.h"
#include "clip/TMediaPlayer.h"
#include "suivi/suiveur.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{

long memoireKo(const char *champ)
{
    std::ifstream f("/proc/self/status");
    std::string ligne;
    while (std::getline(f, ligne))
        if (ligne.rfind(champ, 0) == 0) return std::stol(ligne.substr(std::string(champ).size()));
    return -1;
}

std::map<int, std::pair<double, double>> chemin(const std::string &csv)
{
    std::map<int, std::pair<double, double>> vrai;
    std::ifstream f(csv);
    std::string ligne;
    while (std::getline(f, ligne)) {
        if (ligne.empty() || !std::isdigit(static_cast<unsigned char>(ligne[0]))) continue;
        std::replace(ligne.begin(), ligne.end(), ',', ' ');
        std::istringstream l(ligne);
        int i;
        double x, y;
        if (l >> i >> x >> y) vrai[i] = {x, y};
    }
    return vrai;
}

bool faire(const std::string &avi, std::vector<std::string> options)
{
    if (QFileInfo::exists(QString::fromStdString(avi))) return true;
    options.insert(options.begin(), {MKCLIP, "--out", avi});
    return lancer(options);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // tracking [DIR]: clips already made in DIR are reused.
    QTemporaryDir temp;
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path());
    const std::string petit = dir.filePath(QStringLiteral("suivi640.avi")).toStdString();
    const std::string grand = dir.filePath(QStringLiteral("suivi1080.avi")).toStdString();
    if (!faire(petit, {"--codec",      "divx",   "--size",   "640x480", "--rate",    "1/25",
                       "--frames",     "500",    "--gop",    "250",     "--x0",      "60",
                       "--y0",         "240",    "--vx",     "20",      "--vy",      "-8",
                       "--a",          "0",      "--radius", "14",      "--color",   "f0f0f0",
                       "--background", "707070", "--ruler",  "0",       "--texture", "30",
                       "--noise",      "4",      "--blur",   "3"}) ||
        !faire(grand,
               {"--codec", "divx", "--size", "1920x1080", "--rate",   "1/25", "--frames", "500",
                "--gop",   "50",   "--x0",   "100",       "--y0",     "500",  "--vx",     "60",
                "--vy",    "-10",  "--a",    "0",         "--radius", "14",   "--ruler",  "0"})) {
        std::fprintf(stderr, "mkclip failed\n");
        return 1;
    }
    const QString nom = QString::fromStdString(petit);

    // Stepping: each frame as the window shows it.
    std::vector<double> pas, pasSeul;
    {
        TMediaPlayer lecteur;
        lecteur.setFileName(nom);
        lecteur.Open();
        lecteur.setFrames(1);
        for (int f = 1; f < lecteur.Length(); ++f) {
            QElapsedTimer t;
            t.start();
            lecteur.Step();
            const double seul = t.nsecsElapsed() / 1e9;
            lecteur.image();
            pas.push_back(t.nsecsElapsed() / 1e9);
            pasSeul.push_back(seul);
        }
    }

    // Tracking the same frames: the time from one frame found to the next.
    std::vector<double> suivi;
    const auto vrai = chemin(petit.substr(0, petit.size() - 4) + ".csv");
    double carres = 0;
    int n = 0;
    BilanSuivi bilan;
    {
        TMediaPlayer lecteur;
        lecteur.setFileName(nom);
        lecteur.setCacheMio(16);
        lecteur.Open();
        const auto depart = vrai.at(0);
        const QRect boite(int(std::lround(depart.first)) - 20, int(std::lround(depart.second)) - 20,
                          40, 40);
        QElapsedTimer t;
        bilan = suivreClip(lecteur, 0, boite, -1, ReglagesSuivi(), [&](const PointSuivi &p) {
            if (p.image > 0) suivi.push_back(t.nsecsElapsed() / 1e9);
            const auto v = vrai.at(p.image);
            carres += std::pow(p.centre.x() - v.first, 2) + std::pow(p.centre.y() - v.second, 2);
            ++n;
            t.start();
            return true;
        });
    }

    // Memory over 500 frames of 1920x1080.
    long avant = 0, apres = 0, pic = 0;
    int trouves1080 = 0;
    {
        TMediaPlayer lecteur;
        lecteur.setFileName(QString::fromStdString(grand));
        lecteur.setCacheMio(16);
        lecteur.Open();
        const auto v = chemin(grand.substr(0, grand.size() - 4) + ".csv").at(0);
        const QRect boite(int(std::lround(v.first)) - 20, int(std::lround(v.second)) - 20, 40, 40);
        suivreClip(lecteur, 0, boite, -1, ReglagesSuivi(), [&](const PointSuivi &p) {
            if (p.image == 20) avant = memoireKo("VmRSS:");
            trouves1080 = p.image + 1;
            return true;
        });
        apres = memoireKo("VmRSS:");
        pic = memoireKo("VmHWM:");
    }

    const double s = mediane(pas), s1 = mediane(pasSeul), tr = mediane(suivi);
    std::printf("640x480 MPEG-4, 500 frames, 40-px box: %d frames tracked, RMS error %.3f px\n",
                bilan.trouves, std::sqrt(carres / std::max(n, 1)));
    std::printf("per frame: step %.3f ms (Step alone %.3f ms), track %.3f ms\n", s * 1e3, s1 * 1e3,
                tr * 1e3);
    std::printf("1920x1080, %d frames tracked: resident %ld kB at frame 20, %ld kB at the end "
                "(growth %ld kB; tracking player's cache 16 MiB), peak %ld kB\n",
                trouves1080, avant, apres, apres - avant, pic);
    std::printf("ratio track/step-alone=%.2f\n", tr / s1);
    std::printf("ratio track/step=%.2f\n", tr / s);
    return 0;
}

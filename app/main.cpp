#include "app/Unit1.h"
#include "export/fichiers.h"
#include "help/visionneuse.h"

#include <QBuffer>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>

#ifndef KINEMAR_VERSION
#define KINEMAR_VERSION "2.5"
#endif

namespace
{

const char *const usage =
    "Usage: kinemar [CLIP | SESSION.kinemar] [--capture IMAGE.png]\n"
    "       kinemar --help | --version\n"
    "\n"
    "Measures motion on a video clip: open the clip, point the objects frame by frame,\n"
    "calibrate the picture and get a table of time and positions in metres.\n"
    "\n"
    "  CLIP                   the clip to open at start (the same checks as the open command)\n"
    "  SESSION.kinemar        a saved measurement session: its clip, table and settings\n"
    "  --capture IMAGE.png    open CLIP, save a picture of the window and quit; the exit\n"
    "                         status is 0 when the clip opened (to check an installation)\n"
    "  -h, --help             print this help and exit\n"
    "  -v, --version          print the version and exit\n";

struct Arguments {
    QString clip, capture;
    bool erreur = false;
};

Arguments lireArguments(const QStringList &args)
{
    Arguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString &x = args[i];
        if (x == QLatin1String("--capture") && i + 1 < args.size())
            a.capture = args[++i];
        else if (x.startsWith(QLatin1Char('-')) && x.size() > 1)
            a.erreur = true;
        else if (a.clip.isEmpty())
            a.clip = x;
        else
            a.erreur = true;
    }
    return a;
}

// A session file opens its clip and its measurement; anything else is taken for a clip.
bool ouvrirArgument(const QString &fichier)
{
    if (fichier.endsWith(QLatin1String(".kinemar"), Qt::CaseInsensitive))
        return Form1->ouvrirSession(fichier);
    return Form1->ouvrirClip(fichier);
}

} // namespace

int main(int argc, char *argv[])
{
    // A write beyond the file-size limit then fails with its reason, shown to the user,
    // instead of killing the program with the work in progress.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before any display is opened, so they work on a server or in a script.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("kinemar %s\n", KINEMAR_VERSION);
            return 0;
        }
    }

    ApplicationKinemar application(argc, argv);
    const Arguments args = lireArguments(QCoreApplication::arguments());
    if (args.erreur || (args.clip.isEmpty() && !args.capture.isEmpty())) {
        std::fputs(usage, stderr);
        return 2;
    }
    chargerTraductionQt();
    installerVisionneuseAide();
    creerFenetres();
    Form1->afficherAuDemarrage();

    if (!args.clip.isEmpty()) {
        // Once the window is laid out, as if the user had chosen the clip in the open dialog.
        QTimer::singleShot(0, Form1, [args] {
            if (args.capture.isEmpty()) {
                ouvrirArgument(args.clip);
                return;
            }
            // Nobody answers a message in this mode: its text goes to the error output.
            static bool termine = false;
            const auto terminer = [args](int code) {
                if (termine) return;
                termine = true;
                if (auto *m = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    std::fprintf(stderr, "%s\n", qPrintable(m->text()));
                QByteArray png;
                QBuffer tampon(&png);
                tampon.open(QIODevice::WriteOnly);
                if (!Form1->grab().save(&tampon, "PNG") || ecrireFichier(args.capture, png))
                    code = 1;
                QCoreApplication::exit(code);
            };
            QTimer::singleShot(200, Form1, [terminer] {
                if (QApplication::activeModalWidget()) terminer(1);
            });
            const bool ouvert = ouvrirArgument(args.clip);
            QCoreApplication::processEvents();
            terminer(ouvert ? 0 : 1);
        });
    }
    return application.exec();
}

#include "app/Unit1.h"
#include "help/visionneuse.h"

#include <QScreen>

int main(int argc, char *argv[])
{
    ApplicationKinemar application(argc, argv);
    chargerTraductionQt();
    installerVisionneuseAide();
    creerFenetres();
    // Without a window manager "maximised" means nothing: take the whole screen ourselves.
    if (QScreen *ecran = QGuiApplication::primaryScreen())
        Form1->setGeometry(ecran->availableGeometry());
    Form1->showMaximized();
    return application.exec();
}

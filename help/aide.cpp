// Help commands of the main window and the about box.
#include "app/Unit1.h"
#include "app/plateforme.h"
#include "help/About.h"

#include <QAction>

namespace
{
QString fichierAide()
{
    return repDepart + QStringLiteral("/kineMar2.hlp");
}
} // namespace

void TForm1::BitBtn1Click()
{
    plateforme().aide(fichierAide(), 1);
}

void TForm1::Aide1Click()
{
    plateforme().aide(fichierAide(), 1);
}

void TForm1::popUpMnuAideClick()
{
    plateforme().aide(fichierAide(), 1);
}

void TForm1::Aide2Click() {}
void TForm1::Aide3Click() {}

void TForm1::propos1Click()
{
    AboutBox->ShowModal();
}

#include "help/About.h"

TAboutBox::TAboutBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("AboutBox"), QStringLiteral("Kinemar  حول"), parent)
{
}

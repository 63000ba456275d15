#include "export/sauveTableauPP.h"

TSauveTableauPPBox::TSauveTableauPPBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("SauveTableauPPBox"), QStringLiteral(""), parent)
{
}

#include "export/sauveGraphicPP.h"

TSauveGraphicPPBox::TSauveGraphicPPBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("SauveGraphicPPBox"), QStringLiteral(""), parent)
{
}

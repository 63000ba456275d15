#include "export/accescur.h"

TaccescurBox::TaccescurBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("accescurBox"), QStringLiteral("Curvalis"), parent)
{
}

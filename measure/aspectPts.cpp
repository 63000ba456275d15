#include "measure/aspectPts.h"

TaspectPointBox::TaspectPointBox(QWidget *parent) : TDialogueKinemar(QStringLiteral("aspectPointBox"), QStringLiteral("مظهر النقطة"), parent)
{
}

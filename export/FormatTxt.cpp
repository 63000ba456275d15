#include "export/FormatTxt.h"

TFormatTxtBox::TFormatTxtBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("FormatTxtBox"), QStringLiteral(""), parent)
{
}

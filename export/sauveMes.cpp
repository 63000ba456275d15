#include "export/sauveMes.h"

TsauverMesuresBox::TsauverMesuresBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("sauverMesuresBox"), QStringLiteral(""), parent)
{
}

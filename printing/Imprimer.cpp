#include "printing/Imprimer.h"

TdlgImprimer::TdlgImprimer(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("dlgImprimer"), QStringLiteral(""), parent)
{
}

#pragma once
#include "app/controles.h"
#include "app/dialogue.h"

class TdlgPointeur : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TdlgPointeur(QWidget *parent = nullptr);
    TRadioGroup *rgPtNoirBlanc;
    TRadioGroup *rgPtForme;
};

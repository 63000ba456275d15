#pragma once
// The format chooser: the two data-file formats or the text file.
#include "app/controles.h"
#include "app/dialogue.h"

class TsauverMesuresBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TsauverMesuresBox(QWidget *parent = nullptr);
    TRadioGroup *rgFormat;
    // Hides the chooser first, so that the next dialog appears alone.
    void OKBtnClick() override;
};

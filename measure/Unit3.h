#pragma once
// The pointer dialog: colour (black or white) and shape of the pointer over the image. Its
// two radio groups are the lasting store of the choice; the menus write into them too.
#include "app/controles.h"
#include "app/dialogue.h"

class TdlgPointeur : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TdlgPointeur(QWidget *parent = nullptr);
    TRadioGroup *rgPtNoirBlanc;
    TRadioGroup *rgPtForme;
    // The pointer slot for the current choices; updates couleurCurseur, formeCurseur and the
    // menu check marks. While the shape choice is disabled (calibrating) the shape of the
    // pointer in use is kept.
    int Curseur();
    void OKBtnClick() override;
};

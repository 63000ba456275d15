#pragma once
// The per-point dialog: marker shape and colour of the current point.
#include "app/controles.h"
#include "app/dialogue.h"

#include <cstdint>

class QGroupBox;
class QToolButton;

class TaspectPointBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TaspectPointBox(QWidget *parent = nullptr);
    TRadioGroup *ptForme;
    QGroupBox *ptCouleur;
    QToolButton *SpeedButton1;

    int numPoint = 0;
    std::uint32_t couleurInitiale = 0, couleurChoisie = 0;
    int formeInitiale = 0;

    void FormShow() override;
    void SpeedButton1Click();
    void OKBtnClick() override;
};

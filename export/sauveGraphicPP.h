#pragma once
#include "app/dialogue.h"

class TSauveGraphicPPBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TSauveGraphicPPBox(QWidget *parent = nullptr);
};

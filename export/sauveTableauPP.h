#pragma once
#include "app/dialogue.h"

class TSauveTableauPPBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TSauveTableauPPBox(QWidget *parent = nullptr);
};

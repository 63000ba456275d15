#pragma once
#include "app/dialogue.h"

class TtailleImaBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TtailleImaBox(QWidget *parent = nullptr);
};

#pragma once
#include "app/dialogue.h"

class TaspectPointBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TaspectPointBox(QWidget *parent = nullptr);
};

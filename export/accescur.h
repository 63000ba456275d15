#pragma once
#include "app/dialogue.h"

class TaccescurBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TaccescurBox(QWidget *parent = nullptr);
};

#pragma once
#include "app/dialogue.h"

class TsauverMesuresBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TsauverMesuresBox(QWidget *parent = nullptr);
};

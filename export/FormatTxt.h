#pragma once
#include "app/dialogue.h"

class TFormatTxtBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TFormatTxtBox(QWidget *parent = nullptr);
};

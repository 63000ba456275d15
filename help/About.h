#pragma once
#include "app/dialogue.h"

class TAboutBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};

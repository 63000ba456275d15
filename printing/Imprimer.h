#pragma once
#include "app/dialogue.h"

class TdlgImprimer : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TdlgImprimer(QWidget *parent = nullptr);
};

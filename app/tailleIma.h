#pragma once
#include "app/controles.h"
#include "app/dialogue.h"

#include <QLabel>

class QCheckBox;

// Display size of the clip, in percent of its natural size.
class TtailleImaBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TtailleImaBox(QWidget *parent = nullptr);
    QLabel *Label3, *Label1, *Label2;
    TUpDown *udPc;
    QLabel *pnlPc;
    QCheckBox *chkBxAdapter;
};

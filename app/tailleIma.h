#pragma once
#include "app/controles.h"
#include "app/dialogue.h"

#include <QLabel>

class QCheckBox;
class QTimer;

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
    QTimer *Timer1;

    void FormShow() override;
    void FormHide();
    void OKBtnClick() override;
    void CancelBtnClick() override;
    void udPcClick();
    void udPcChanging(int &nouvelle, bool &permis);
    void udPcMouseDown();
    void udPcMouseUp();
    void Timer1Timer();
    void chkBxAdapterClick();
    // Applies the percent of udPc; false when the user kept the measurements.
    bool MaJ();
    // Shows the clip at pourcent of its size, the calibration reset for it; the pointings
    // are left to the caller (undo brings its own back).
    void appliquerTaille(int pourcent);

protected:
    void hideEvent(QHideEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};

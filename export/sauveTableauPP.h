#pragma once
// The table copied to the clipboard as text: a title, a field separator, then the copy.
#include "app/controles.h"
#include "app/dialogue.h"

class QLabel;
class QLineEdit;

// The title as it was when the dialog was last shown (Cancel puts it back).
extern QString titrePPSauve;

class TSauveTableauPPBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TSauveTableauPPBox(QWidget *parent = nullptr);
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *edSauvePPTitre;
    TRadioGroup *rgSeparTxt;
    void FormShow() override;
    // Restores the title only: the separator chosen stays.
    void CancelBtnClick() override;
    void OKBtnClick() override;
};

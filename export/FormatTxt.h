#pragma once
// The text export: a title, a field separator, then the file.
#include "app/controles.h"
#include "app/dialogue.h"

class QLabel;
class QLineEdit;

// The title and separator as they were when the dialog was last shown (for undoing).
extern QString titreSauve;
extern int separSauve;

class TFormatTxtBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TFormatTxtBox(QWidget *parent = nullptr);
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *edFormatTxtTitre;
    TRadioGroup *rgSeparTxt;
    void FormShow() override;
    void CancelBtnClick() override;
    // Asks for the file, then writes it; a cancelled file dialog undoes as Cancel does.
    void OKBtnClick() override;
};

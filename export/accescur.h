#pragma once
// Where the analysis program lies and which version it is, kept in kmconfig.txt.
#include "app/controles.h"
#include "app/dialogue.h"

class QLineEdit;
class QPushButton;

class TaccescurBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TaccescurBox(QWidget *parent = nullptr);
    QLineEdit *edCurPath;
    QPushButton *btnParcourir;
    TRadioGroup *rgCurVersion;
    void FormShow() override;
    void btnParcourirClick();
    void rgCurVersionClick();
    // Writes kmconfig.txt and enables the launch command.
    void OKBtnClick() override;

private:
    // OK is offered only when it can save: a version chosen and a readable program file.
    void majOK();
};

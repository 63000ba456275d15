#pragma once
// The about box: the program's icon, title and version, date and credit lines.
#include "app/dialogue.h"

#include <QIcon>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    void FormShow() override;
    void OKButtonClick();

    QFrame *Panel1;
    QLabel *ProgramIcon, *lblTitre, *lblDate;
    QList<QLabel *> lblCredits;
    QPushButton *OKButton;

protected:
    void showEvent(QShowEvent *e) override;
};

// The program's picture: a film frame crossed by a pointed trajectory.
QIcon iconeProgramme();

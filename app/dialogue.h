#pragma once
// Common shape of the program's modal dialogs: FormShow stores the values the dialog edits,
// CancelBtnClick puts them back; callers do not look at the modal result.
#include <QDialog>

class QPushButton;

class TDialogueKinemar : public QDialog
{
    Q_OBJECT
public:
    explicit TDialogueKinemar(const QString &nomInstance, const QString &titre,
                              QWidget *parent = nullptr);
    virtual void FormShow() {}
    virtual void OKBtnClick() {}
    virtual void CancelBtnClick() {}
    // Shows the dialog modally through the platform.
    int ShowModal();
    // Escape and the window's close box: the same as a click on CancelBtn when there is one.
    void reject() override;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    // Adds OK/Cancel buttons wired to the handlers; captions as the dialog needs them.
    void creerBoutons(const QString &texteOK, const QString &texteAnnuler, bool annulerParDefaut);
    // Silver background, with disabled texts dark enough to read on it.
    void fondArgent();
    // Wide enough for the window's title bar to show the whole title.
    void largeurDuTitre();
    void showEvent(QShowEvent *e) override;

private:
    bool annulationEnCours_ = false; // Cancel's own handler may close through reject()
    bool formShowFait_ = false;
};

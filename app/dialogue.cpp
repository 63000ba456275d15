#include "app/dialogue.h"
#include "app/plateforme.h"

#include <QPushButton>
#include <QStyle>

TDialogueKinemar::TDialogueKinemar(const QString &nomInstance, const QString &titre,
                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(nomInstance);
    setWindowTitle(titre);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
}

int TDialogueKinemar::ShowModal()
{
    // FormShow runs whether or not a real window appears (the scripted platform shows none).
    FormShow();
    formShowFait_ = true;
    const int r = plateforme().montrerModal(this);
    formShowFait_ = false;
    return r;
}

void TDialogueKinemar::showEvent(QShowEvent *e)
{
    if (!formShowFait_) FormShow();
    QDialog::showEvent(e);
}

void TDialogueKinemar::creerBoutons(const QString &texteOK, const QString &texteAnnuler,
                                    bool annulerParDefaut)
{
    OKBtn = new QPushButton(texteOK, this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(texteAnnuler, this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    OKBtn->setDefault(!annulerParDefaut);
    CancelBtn->setDefault(annulerParDefaut);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        CancelBtnClick();
        QDialog::reject();
    });
}

void TDialogueKinemar::reject()
{
    // Escape (and closing the window) is the Cancel button: its undo runs too.
    if (CancelBtn && CancelBtn->isEnabled() && !annulationEnCours_) {
        annulationEnCours_ = true;
        CancelBtn->click();
        annulationEnCours_ = false;
    } else
        QDialog::reject();
}

void TDialogueKinemar::fondArgent()
{
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    // The style's disabled grey is nearly silver itself.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, QColor(112, 112, 112));
    setPalette(p);
    setAutoFillBackground(true);
}

void TDialogueKinemar::largeurDuTitre()
{
    // The title bar's own font is usually bold and its buttons and icon take room too.
    QFont gras = font();
    gras.setBold(true);
    const int titre = QFontMetrics(gras).horizontalAdvance(windowTitle());
    setMinimumWidth(
        std::max(minimumWidth(), titre + 4 * style()->pixelMetric(QStyle::PM_TitleBarHeight)));
}

#include "export/sauveMes.h"

#include "app/Unit1.h"

#include <QPushButton>
#include <QVBoxLayout>

TsauverMesuresBox::TsauverMesuresBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("sauverMesuresBox"), QStringLiteral("حفظ القياسات"), parent)
{
    auto *l = new QVBoxLayout(this);
    l->setSizeConstraint(QLayout::SetFixedSize);
    rgFormat =
        new TRadioGroup(QStringLiteral("الصيغة"),
                        {QStringLiteral("Curvalis Windows (*.cw3)"),
                         QStringLiteral("Curvalis DOS (*.ccc)"), QStringLiteral("نص (*.txt)")},
                        this);
    rgFormat->setObjectName(QStringLiteral("rgFormat"));
    rgFormat->setItemIndex(0);
    l->addWidget(rgFormat);
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    l->addLayout(boutons);
}

void TsauverMesuresBox::OKBtnClick()
{
    hide();
    switch (rgFormat->ItemIndex()) {
    case 0:
        Form1->SaveCW3Execute();
        break;
    case 1:
        Form1->SaveCCCExecute();
        break;
    case 2:
        Form1->SaveTXTExecute();
        break;
    default:
        break;
    }
}

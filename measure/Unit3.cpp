#include "measure/Unit3.h"

#include <QPushButton>
#include <QVBoxLayout>

TdlgPointeur::TdlgPointeur(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("dlgPointeur"), QStringLiteral("مظهر المؤشر"), parent)
{
    auto *l = new QVBoxLayout(this);
    rgPtNoirBlanc = new TRadioGroup(QStringLiteral("أسود/أبيض"),
                                    {QStringLiteral("أسود"), QStringLiteral("أبيض")}, this);
    rgPtNoirBlanc->setObjectName(QStringLiteral("rgPtNoirBlanc"));
    rgPtNoirBlanc->setItemIndex(0);
    rgPtForme = new TRadioGroup(QStringLiteral("الشكل"),
                                {QStringLiteral("دارئة كبيرة"), QStringLiteral("دارئة صغيرة"),
                                 QStringLiteral("+ علامة")},
                                this);
    rgPtForme->setObjectName(QStringLiteral("rgPtForme"));
    rgPtForme->setItemIndex(1);
    l->addWidget(rgPtNoirBlanc);
    l->addWidget(rgPtForme);
    creerBoutons(QStringLiteral("تطبيق"), QStringLiteral("إلغاء"), false);
    l->addWidget(OKBtn);
    l->addWidget(CancelBtn);
}

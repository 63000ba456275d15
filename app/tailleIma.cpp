#include "app/tailleIma.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

TtailleImaBox::TtailleImaBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("tailleImaBox"), QStringLiteral("حجم مقطع الفيديو"), parent)
{
    setFixedSize(313, 164);
    auto *g = new QGridLayout(this);
    Label3 = new QLabel(QStringLiteral(": تحذير"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-style: italic;"));
    Label1 = new QLabel(QStringLiteral("إن تغيير حجم مقطع الفيديو يؤدي إلى فقدان البيانات"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    udPc = new TUpDown(this);
    udPc->setObjectName(QStringLiteral("udPc"));
    udPc->setMin(10);
    udPc->setMax(200);
    udPc->setPosition(100);
    pnlPc = new QLabel(QStringLiteral("100%"), this);
    pnlPc->setObjectName(QStringLiteral("pnlPc"));
    pnlPc->setFrameShape(QFrame::Panel);
    Label2 = new QLabel(QStringLiteral("(10..200)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    chkBxAdapter = new QCheckBox(QStringLiteral("مكيّف"), this);
    chkBxAdapter->setObjectName(QStringLiteral("chkBxAdapter"));
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), true);
    g->addWidget(Label3, 0, 0, 1, 3);
    g->addWidget(Label1, 1, 0, 1, 3);
    g->addWidget(pnlPc, 2, 0);
    g->addWidget(udPc, 2, 1);
    g->addWidget(Label2, 2, 2);
    g->addWidget(chkBxAdapter, 3, 0, 1, 3);
    g->addWidget(OKBtn, 4, 0);
    g->addWidget(CancelBtn, 4, 2);
    connect(udPc, &TUpDown::Click, this,
            [this] { pnlPc->setText(QString::number(udPc->Position()) + QStringLiteral("%")); });
}

#include "app/Unit1.h"

void TForm1::bbtnImaClick()
{
    demande100 = false;
    adapterDemande = false;
    tailleImaBox->ShowModal();
}

void TForm1::mnuIma100Click()
{
    demande100 = true;
    adapterDemande = false;
    tailleImaBox->ShowModal();
}

void TForm1::mnuImaAdapterClick()
{
    demande100 = false;
    adapterDemande = true;
    tailleImaBox->ShowModal();
}

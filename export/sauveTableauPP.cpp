#include "export/sauveTableauPP.h"

#include "app/Unit1.h"
#include "export/commandes.h"
#include "export/instantane.h"
#include "export/texteTableau.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QString titrePPSauve;

TSauveTableauPPBox::TSauveTableauPPBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("SauveTableauPPBox"),
                       QStringLiteral(" جدول القياسات>>>> الحافظة"), parent)
{
    auto *g = new QGridLayout(this);
    Label1 = new QLabel(QStringLiteral("أنت تطلب حفظ بيانات الجدول في الحافظة"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    Label2 = new QLabel(QStringLiteral("إعطاء عنوان للبيانات"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("العنوان"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    edSauvePPTitre = new QLineEdit(titreExportInitial(), this);
    edSauvePPTitre->setObjectName(QStringLiteral("edSauvePPTitre"));
    edSauvePPTitre->setMinimumWidth(260);
    Label4 = new QLabel(QStringLiteral("إختيار نوع الفاصل بين البيانات"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    rgSeparTxt = new TRadioGroup(QString(), elementsSeparateur(), this);
    rgSeparTxt->setObjectName(QStringLiteral("rgSeparTxt"));
    disposerEnColonnes(rgSeparTxt, 2);
    rgSeparTxt->setItemIndex(0);
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    definirHint(OKBtn, QStringLiteral("نسخ فوري للجدول إلى الحافظة"));
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(Label2, 1, 0, 1, 2);
    g->addWidget(Label3, 2, 0);
    g->addWidget(edSauvePPTitre, 2, 1);
    g->addWidget(Label4, 3, 0, 1, 2);
    g->addWidget(rgSeparTxt, 4, 0, 1, 2);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    g->addLayout(boutons, 5, 0, 1, 2);
    g->setRowStretch(6, 1);
}

void TSauveTableauPPBox::FormShow()
{
    offrirSeparateurs(rgSeparTxt);
    titrePPSauve = edSauvePPTitre->text();
    edSauvePPTitre->setFocus();
}

void TSauveTableauPPBox::CancelBtnClick()
{
    edSauvePPTitre->setText(titrePPSauve);
}

void TSauveTableauPPBox::OKBtnClick()
{
    // The text is whole before it replaces what the clipboard held.
    const QString texte =
        textePressePapiers(Form1->instantaneTableau(), separateurChoisi(rgSeparTxt->ItemIndex()),
                           edSauvePPTitre->text());
    QGuiApplication::clipboard()->setText(texte);
}

#include "export/FormatTxt.h"

#include "app/Unit1.h"
#include "app/plateforme.h"
#include "export/commandes.h"
#include "export/instantane.h"
#include "export/texteTableau.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QString titreSauve;
int separSauve = 0;

TFormatTxtBox::TFormatTxtBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("FormatTxtBox"), QStringLiteral(" (*.txt)  حفظ بصيغة نص"),
                       parent)
{
    auto *g = new QGridLayout(this);
    g->setSizeConstraint(QLayout::SetFixedSize);
    Label1 = new QLabel(QStringLiteral("أنت تطلب حفظ البيانات في ملف نصي   "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    Label2 = new QLabel(QStringLiteral("إعطاء عنوان للبيانات"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("العنوان"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    edFormatTxtTitre = new QLineEdit(titreExportInitial(), this);
    edFormatTxtTitre->setObjectName(QStringLiteral("edFormatTxtTitre"));
    edFormatTxtTitre->setMinimumWidth(260);
    filtrerTitreCp1256(edFormatTxtTitre);
    Label4 = new QLabel(QStringLiteral("إختيار نوع الفاصل بين البيانات"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    rgSeparTxt = new TRadioGroup(QString(), elementsSeparateur(), this);
    rgSeparTxt->setObjectName(QStringLiteral("rgSeparTxt"));
    disposerEnColonnes(rgSeparTxt, 2);
    rgSeparTxt->setItemIndex(0);
    definirHint(rgSeparTxt, QStringLiteral("التبويب هو الفاصل المستعمل في نسخ أغلب الجداول"));
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(Label2, 1, 0, 1, 2);
    g->addWidget(Label3, 2, 0);
    g->addWidget(edFormatTxtTitre, 2, 1);
    g->addWidget(Label4, 3, 0, 1, 2);
    g->addWidget(rgSeparTxt, 4, 0, 1, 2);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    g->addLayout(boutons, 5, 0, 1, 2);
}

void TFormatTxtBox::FormShow()
{
    offrirSeparateurs(rgSeparTxt);
    titreSauve = edFormatTxtTitre->text();
    separSauve = rgSeparTxt->ItemIndex();
    edFormatTxtTitre->setFocus();
}

void TFormatTxtBox::CancelBtnClick()
{
    edFormatTxtTitre->setText(titreSauve);
    rgSeparTxt->setItemIndex(separSauve);
}

void TFormatTxtBox::OKBtnClick()
{
    DialogueFichier d;
    d.titre = QStringLiteral(" (*.txt) حفظ القياسات بصيغة نص");
    d.extensionDefaut = QStringLiteral("txt");
    d.filtre = QStringLiteral("fichiers texte (*.txt)|*.txt");
    d.confirmerEcrasement = true;
    const QString fichier = plateforme().fichierAEnregistrer(d);
    if (fichier.isEmpty()) {
        CancelBtnClick();
        return;
    }
    int remplaces = 0;
    const QByteArray octets =
        fichierTexte(Form1->instantaneTableau(), separateurChoisi(rgSeparTxt->ItemIndex()),
                     edFormatTxtTitre->text(), &remplaces);
    if (enregistrerFichier(fichier, octets) && remplaces > 0)
        plateforme().message(
            TypeMessage::Avertissement,
            QStringLiteral("بعض الحروف لا مقابل لها في ترميز الملف (Windows-1256)") + QChar(13) +
                QStringLiteral("فكتبت مكانها العلامة ?"),
            Boutons::Ok);
}

#include "measure/aspectPts.h"

#include "app/Unit1.h"
#include "measure/document.h"
#include "app/images.h"
#include "app/plateforme.h"
#include "measure/TStringGrid.h"
#include "measure/rgbhls.h"

#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TaspectPointBox::TaspectPointBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("aspectPointBox"), QStringLiteral("مظهر النقطة"), parent)
{
    fondArgent();
    auto *l = new QVBoxLayout(this);
    ptForme = new TRadioGroup(
        QStringLiteral("الشكل"),
        {QStringLiteral("+ علامة"), QStringLiteral("مربع"), QStringLiteral("دائرة")}, this);
    ptForme->setObjectName(QStringLiteral("ptForme"));
    ptForme->setColumns(3);
    ptCouleur = new QGroupBox(QStringLiteral("اللون"), this);
    ptCouleur->setObjectName(QStringLiteral("ptCouleur"));
    SpeedButton1 = new QToolButton(ptCouleur);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFixedSize(105, 81);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(imageBouton(QStringLiteral("SpeedButton1")));
    SpeedButton1->setIconSize(QSize(64, 64));
    auto *lc = new QVBoxLayout(ptCouleur);
    lc->addWidget(SpeedButton1, 0, Qt::AlignCenter);
    l->addWidget(ptForme);
    l->addWidget(ptCouleur);
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    l->addLayout(boutons);
    largeurDuTitre();
    connect(SpeedButton1, &QToolButton::clicked, this, &TaspectPointBox::SpeedButton1Click);
}

void TaspectPointBox::FormShow()
{
    numPoint = Form1->udPointNumero->Position();
    couleurInitiale =
        Form1->document->reglages().aspects[std::size_t(numPoint)].couleur;
    couleurChoisie = couleurInitiale;
    formeInitiale = Form1->document->reglages().aspects[std::size_t(numPoint)].forme;
    ptForme->setItemIndex(formeInitiale);
}

void TaspectPointBox::SpeedButton1Click()
{
    const auto choisie = plateforme().couleur(couleurDeValeur(couleurInitiale), true);
    // A colour chosen earlier in the same showing is dropped when this one is cancelled.
    couleurChoisie = choisie ? valeurDeCouleur(*choisie) : couleurInitiale;
}

void TaspectPointBox::OKBtnClick()
{
    Form1->aspect(numPoint).couleur = couleurChoisie;
    Form1->couleurNumeroPoint(couleurDeValeur(couleurChoisie));
    Form1->aspect(numPoint).forme = ptForme->ItemIndex();
    Form1->redessinerImageCourante();
}

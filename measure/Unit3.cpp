#include "measure/Unit3.h"

#include "app/Unit1.h"
#include "app/curseurs.h"
#include "app/etat.h"

#include <QPushButton>
#include <QVBoxLayout>

TdlgPointeur::TdlgPointeur(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("dlgPointeur"), QStringLiteral("مظهر المؤشر"), parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    fondArgent();
    auto *l = new QVBoxLayout(this);
    rgPtNoirBlanc = new TRadioGroup(QStringLiteral("أسود/أبيض"),
                                    {QStringLiteral("أسود"), QStringLiteral("أبيض")}, this);
    rgPtNoirBlanc->setObjectName(QStringLiteral("rgPtNoirBlanc"));
    rgPtNoirBlanc->setColumns(2);
    rgPtNoirBlanc->setItemIndex(0);
    definirHint(rgPtNoirBlanc, QStringLiteral("إختيار لون المؤشر"));
    rgPtForme = new TRadioGroup(
        QStringLiteral("الشكل"),
        {QStringLiteral("دارئة كبيرة"), QStringLiteral("دارئة صغيرة"), QStringLiteral("+ علامة")},
        this);
    rgPtForme->setObjectName(QStringLiteral("rgPtForme"));
    rgPtForme->setColumns(3);
    rgPtForme->setItemIndex(1);
    definirHint(rgPtForme, QStringLiteral("إختيار شكل المؤشر"));
    l->addWidget(rgPtNoirBlanc);
    l->addWidget(rgPtForme);
    creerBoutons(QStringLiteral("تطبيق"), QStringLiteral("إلغاء"), false);
    definirHint(OKBtn, QStringLiteral("تطبيق الإختيار"));
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    l->addLayout(boutons);
    largeurDuTitre();
}

int TdlgPointeur::Curseur()
{
    const int slot = Form1->slotCurseurPaintBox();
    if (slot > 0) formeCurseur = slot % 100;
    couleurCurseur = rgPtNoirBlanc->ItemIndex() + 1;
    const QList<QAction *> couleurs = Form1->mnuCouleurPointeur->actions();
    if (rgPtNoirBlanc->ItemIndex() >= 0 && rgPtNoirBlanc->ItemIndex() < couleurs.size())
        couleurs[rgPtNoirBlanc->ItemIndex()]->setChecked(true);
    if (rgPtForme->isEnabled()) {
        formeCurseur = rgPtForme->ItemIndex() + 1;
        const QList<QAction *> formes = Form1->mnuFormePointeur->actions();
        if (rgPtForme->ItemIndex() >= 0 && rgPtForme->ItemIndex() < formes.size())
            formes[rgPtForme->ItemIndex()]->setChecked(true);
    }
    return couleurCurseur * 100 + formeCurseur;
}

void TdlgPointeur::OKBtnClick()
{
    Form1->curseurPaintBox(Curseur());
}

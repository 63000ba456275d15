#include "app/tailleIma.h"

TtailleImaBox::TtailleImaBox(QWidget *parent) : TDialogueKinemar(QStringLiteral("tailleImaBox"), QStringLiteral("حجم مقطع الفيديو"), parent)
{
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

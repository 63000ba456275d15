// Marker and pointer appearance: the pointer dialog and menus, marker size, axis colour,
// the per-point dialog.
#include "app/Unit1.h"
#include "measure/document.h"

#include "app/plateforme.h"
#include "measure/TStringGrid.h"
#include "measure/Unit3.h"
#include "measure/aspectPts.h"
#include "measure/rgbhls.h"

void TForm1::bbtnCibleClick()
{
    dlgPointeur->ShowModal();
}

void TForm1::mnuPetiteCibleClick(QAction *sender)
{
    dlgPointeur->rgPtForme->setItemIndex(sender->data().toInt());
    curseurPaintBox(dlgPointeur->Curseur());
}

void TForm1::mnuCouleurNoirClick(QAction *sender)
{
    dlgPointeur->rgPtNoirBlanc->setItemIndex(sender->data().toInt());
    curseurPaintBox(dlgPointeur->Curseur());
}

void TForm1::udTaillePointsClick()
{
    if (!clipOuvert()) return;
    taillePoints = udTaillePoints->Position();
    const QList<QAction *> tailles = mnuTaillePoints->actions();
    if (taillePoints >= 0 && taillePoints < tailles.size()) tailles[taillePoints]->setChecked(true);
    lblTaillePoints->setText(QString::number(taillePoints + 1));
    redessinerImageCourante();
}

void TForm1::mnuTaille1Click(QAction *sender)
{
    sender->setChecked(true);
    udTaillePoints->setPosition(sender->data().toInt() - 1);
    taillePoints = udTaillePoints->Position();
    lblTaillePoints->setText(QString::number(taillePoints + 1));
    redessinerImageCourante();
}

void TForm1::CouleurAxesExecute()
{
    if (!clipOuvert()) return;
    const auto choisie = plateforme().couleur(
        couleurDeValeur(document->reglages().aspects[0].couleur), true);
    if (choisie) aspect(0).couleur = valeurDeCouleur(*choisie);
    redessinerImageCourante();
}

void TForm1::bbtnCouleurPointClick()
{
    aspectPointBox->ShowModal();
}

// Origin and axis orientation: the origin mode, the four orientation buttons, the origin
// pointer and placing the Origin.
#include "app/Unit1.h"

#include "app/plateforme.h"
#include "calibration/transformation.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

namespace
{

// The axes check box of the measuring page: a redraw is needed only when axes are drawn.
bool axesDessines(const TForm1 *f)
{
    const auto *c = f->findChild<QCheckBox *>(QStringLiteral("chkBoxAxDed"));
    return c && c->isChecked();
}

} // namespace

void TForm1::rbChxOrigClick()
{
    if (!rbChxOrig->isChecked()) return;
    etalonHoriRAZ();
    etalonVertRAZ();
    etalonSimuRAZ();
    // The button shown down always matches the orientation in force.
    const int indice = (sensX == 1 ? 0 : 1) + (sensY == 1 ? 0 : 2);
    QToolButton *boutons[] = {tbXpYp, tbXnYp, tbXpYn, tbXnYN};
    boutons[indice]->setChecked(true);
    tBarOriAxes->setEnabled(true);
    for (QToolButton *b : {tbXpYp, tbXnYp, tbXpYn, tbXnYN})
        b->setEnabled(true);
    CursOrig();
    ImgEtalon(0, 2, 4);
}

void TForm1::ChxOrigRAZ()
{
    for (QToolButton *b : {tbXpYp, tbXnYp, tbXpYn, tbXnYN})
        b->setEnabled(false);
    tBarOriAxes->setEnabled(false);
}

void TForm1::tbXpYpClick(QToolButton *sender)
{
    switch (sender->property("ImageIndex").toInt()) {
    case 0:
        sensX = 1;
        sensY = 1;
        break;
    case 1:
        sensX = -1;
        sensY = 1;
        break;
    case 2:
        sensX = 1;
        sensY = -1;
        break;
    case 3:
        sensX = -1;
        sensY = -1;
        break;
    default:
        break;
    }
    CursOrig();
    MaJlblP();
    ActualGrid();
    if (axesDessines(this) && clipOuvert()) reDraw(MediaPlayer1, imageCourante);
}

void TForm1::CursOrig()
{
    bool bip = false;
    const int slot = slotCurseurOrigine(sensX, sensY, couleurCurseur, bip);
    if (bip) plateforme().bip();
    if (slot != 0) curseurPaintBox(slot);
}

void TForm1::clicOrigine(int X, int Y)
{
    origineX = X;
    origineY = Y;
    MaJlblP();
    if (axesDessines(this) && clipOuvert()) reDraw(MediaPlayer1, imageCourante);
    ActualGrid();
}

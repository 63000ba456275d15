// The measuring page: table, pointing and appearance handlers.
#include "app/Unit1.h"

#include <QVBoxLayout>

void TForm1::construirePageMesures()
{
    new QVBoxLayout(tsMesures);
}

void TForm1::Button2Click() {}
void TForm1::ActualGrid() {}
bool TForm1::tableauOccupe()
{
    return false;
}
void TForm1::OptTraitt(bool) {}
void TForm1::Drawpoints(QImage &) {}
void TForm1::bbtnCibleClick() {}
void TForm1::udTaillePointsClick() {}
void TForm1::mnuPetiteCibleClick(QAction *) {}
void TForm1::mnuCouleurNoirClick(QAction *) {}
void TForm1::mnuTaille1Click(QAction *) {}
void TForm1::mnuFdCl2pointsClick(QAction *) {}
void TForm1::Timer2Timer() {}

// Scales and Origin: the settings page and its handlers.
#include "app/Unit1.h"

#include <QVBoxLayout>

void TForm1::construirePageEtalon()
{
    new QVBoxLayout(tsEtalon);
}

void TForm1::initEchelle()
{
    etalonP1 = QPoint(1, 1);
    etalonP2 = QPoint(2, 2);
    echelleH = 1.0L;
    echelleV = 1.0L;
}

void TForm1::ImgEtalon(int, int, int) {}
void TForm1::ChxOrigRAZ() {}
void TForm1::etalonHoriRAZ() {}
void TForm1::etalonVertRAZ() {}
void TForm1::etalonSimuRAZ() {}

// Opening a clip and the clip-properties page.
#include "app/Unit1.h"

#include <QVBoxLayout>

void TForm1::construirePageProClip()
{
    new QVBoxLayout(tsProClip);
}
void TForm1::creerLecteur() {}
bool TForm1::clipOuvert() const
{
    return false;
}
void TForm1::bbtnOpenAviClick() {}
void TForm1::OpenDialog1SelectionChange(const QString &) {}
void TForm1::RAZProClip() {}
void TForm1::affichImage(TMediaPlayer *, int) {}
void TForm1::activeBoutons(bool, bool, bool, bool, bool) {}
void TForm1::affichT0() {}
void TForm1::bbtnPlayClick(QObject *) {}
void TForm1::MediaPlayer1Notify() {}
void TForm1::FormPaint() {}
void TForm1::reDraw(TMediaPlayer *, int) {}

// Moving through the clip: positioning, the navigation buttons, playing, redrawing.
#include "app/Unit1.h"

#include "clip/TMediaPlayer.h"
#include "measure/TStringGrid.h"

#include <QToolButton>

void TForm1::affichImage(TMediaPlayer *lecteur, int a)
{
    // The move is relative: the player is taken to stand on imageCourante.
    if (!(a == 0 && imageCourante == -1)) {
        lecteur->setFrames(std::abs(a - imageCourante));
        if (a < imageCourante)
            lecteur->Back();
        else
            lecteur->Step();
    }
    imageCourante = a;
    lblNoImage2->setText(QString::number(a + 1));
    const int L = lecteur->Length();
    lblNoImage4->setText(QString::number(L));
    affichT0();
    activeBoutons(imageCourante<L - 1, imageCourante> 0, imageCourante<L - 1, imageCourante> 0,
                  imageCourante < L - 1);
}

void TForm1::activeBoutons(bool lecture, bool premiere, bool derniere, bool precedente,
                           bool suivante)
{
    bbtnPlay->setEnabled(lecture);
    bbtnDeb->setEnabled(premiere);
    bbtnFin->setEnabled(derniere);
    bbtnPre->setEnabled(precedente);
    bbtnSui->setEnabled(suivante);
}

void TForm1::affichT0()
{
    const bool origine = udt0 && udt0->Position() == imageCourante + 1;
    lblNoImage5->setText(origine ? QStringLiteral("   ( t= 0 )") : QString());
}

void TForm1::selectionnerLigneCourante()
{
    StringGrid0->setRow(imageCourante + 1);
    StringGrid1->setRow(imageCourante + 1);
}

void TForm1::bbtnPlayClick(QObject *sender)
{
    const int tag = sender ? sender->property("tag").toInt() : 0;
    if (clipOuvert() && tag >= 2 && tag <= 6) {
        TMediaPlayer *lecteur = MediaPlayer1;
        const int L = lecteur->Length();
        switch (tag) {
        case 2:
            lecteur->setFrames(1);
            if (lecteur->Mode() == TMediaPlayer::ModeLecteur::Arrete) {
                lecteur->setNotify(true);
                lecteur->Play();
            } else if (lecteur->Mode() == TMediaPlayer::ModeLecteur::Lecture) {
                const int P = lecteur->Position();
                affichImage(lecteur, P == L ? P - 1 : P);
            }
            break;
        case 3:
            if (imageCourante > 0) affichImage(lecteur, 0);
            break;
        case 4:
            if (imageCourante < L - 1) affichImage(lecteur, L - 1);
            break;
        case 5:
            if (imageCourante > 0) affichImage(lecteur, imageCourante - 1);
            break;
        case 6:
            if (imageCourante < L - 1) affichImage(lecteur, imageCourante + 1);
            break;
        }
        selectionnerLigneCourante();
    }
    Drawpoints(PaintBox1->Canvas());
}

void TForm1::MediaPlayer1Notify()
{
    TMediaPlayer *lecteur = MediaPlayer1;
    if (!lecteur->estOuvert()) return;
    if (lecteur->Position() == lecteur->Length()) lecteur->setPosition(lecteur->Length() - 1);
    imageCourante = lecteur->Position();
    selectionnerLigneCourante();
}

// While the clip plays the player shows its own frames: a repaint must not step it, which
// would stop playing.
static bool enLecture(TMediaPlayer *lecteur)
{
    return lecteur->Mode() == TMediaPlayer::ModeLecteur::Lecture;
}

void TForm1::FormPaint()
{
    if (clipOuvert() && !enLecture(MediaPlayer1)) affichImage(MediaPlayer1, imageCourante);
}

void TForm1::reDraw(TMediaPlayer *lecteur, int f)
{
    // Showing the frame again and drawing on a cleared overlay does what re-positioning the
    // player one frame aside and back did on a display that lost its markers.
    if (!lecteur || !lecteur->estOuvert() || f < 0) return;
    if (!enLecture(lecteur)) affichImage(lecteur, f);
    PaintBox1->effacerCanvas();
    Drawpoints(PaintBox1->Canvas());
    PaintBox1->rafraichir();
}

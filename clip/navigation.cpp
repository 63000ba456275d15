// Moving through the clip: positioning, the navigation buttons, playing, redrawing.
#include "analyse/graphes.h"
#include "app/Unit1.h"

#include "clip/TMediaPlayer.h"
#include "measure/TStringGrid.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>
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
    if (GrapheBox) GrapheBox->imageMontree(a);
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
    if (mnuImagePremiere) {
        mnuImagePremiere->setEnabled(premiere);
        mnuImageDerniere->setEnabled(derniere);
        mnuImagePrecedente->setEnabled(precedente);
        mnuImageSuivante->setEnabled(suivante);
    }
}

namespace
{

// Sees the key presses of the whole application and hands the window's stepping keys to it.
class ClavierImages : public QObject
{
public:
    explicit ClavierImages(TForm1 *form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        return e->type() == QEvent::KeyPress && form_->toucheImages(static_cast<QKeyEvent *>(e));
    }

private:
    TForm1 *form_;
};

// Widgets whose keys are their own: text boxes, and the table with its cell cursor.
bool gardeSesTouches(const QWidget *w)
{
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
        qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
        qobject_cast<const TStringGrid *>(w))
        return true;
    const auto *liste = qobject_cast<const QComboBox *>(w);
    return liste && liste->isEditable();
}

} // namespace

void TForm1::construireClavierImages()
{
    mnuClip->addSeparator();
    // The keys are shown after a tab, not registered as shortcuts: a text box keeps them.
    auto commande = [this](const char *nom, const QString &texte, const char *touche,
                           QToolButton *bouton) {
        auto *a = new QAction(texte + QLatin1Char('\t') + QLatin1String(touche), mnuClip);
        a->setObjectName(QLatin1String(nom));
        a->setStatusTip(bouton->statusTip());
        a->setEnabled(false);
        mnuClip->addAction(a);
        connect(a, &QAction::triggered, this, [bouton] {
            if (bouton->isEnabled()) bouton->click();
        });
        return a;
    };
    mnuImagePremiere =
        commande("mnuImagePremiere", QStringLiteral("الصورة الأولى"), "Home", bbtnDeb);
    mnuImageDerniere =
        commande("mnuImageDerniere", QStringLiteral("الصورة الأخيرة"), "End", bbtnFin);
    mnuImagePrecedente =
        commande("mnuImagePrecedente", QStringLiteral("الصورة السابقة"), "PgUp", bbtnPre);
    mnuImageSuivante =
        commande("mnuImageSuivante", QStringLiteral("الصورة الموالية"), "PgDown", bbtnSui);
    qApp->installEventFilter(new ClavierImages(this));
}

bool TForm1::toucheImages(QKeyEvent *e)
{
    if (!clipOuvert() || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    QWidget *focus = QApplication::focusWidget();
    if (focus ? focus->window() != this : QApplication::activeWindow() != this) return false;
    if (focus && gardeSesTouches(focus)) return false;
    // Right and Left go the way the frame buttons run on screen.
    const bool gaucheSuivante = ToolBar2->layoutDirection() == Qt::RightToLeft;
    QToolButton *bouton = nullptr;
    switch (e->key()) {
    case Qt::Key_PageDown:
        bouton = bbtnSui;
        break;
    case Qt::Key_PageUp:
        bouton = bbtnPre;
        break;
    case Qt::Key_Home:
        bouton = bbtnDeb;
        break;
    case Qt::Key_End:
        bouton = bbtnFin;
        break;
    case Qt::Key_Right:
        bouton = gaucheSuivante ? bbtnPre : bbtnSui;
        break;
    case Qt::Key_Left:
        bouton = gaucheSuivante ? bbtnSui : bbtnPre;
        break;
    default:
        return false;
    }
    if (bouton->isEnabled()) bouton->click();
    return true;
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

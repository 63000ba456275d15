#include "app/tailleIma.h"

#include "app/Unit1.h"
#include "app/affichage.h"
#include "app/plateforme.h"
#include "clip/TMediaPlayer.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/sessionMesure.h"
#include "measure/grilles.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>

namespace
{
// Columns of the four x/y pairs of the grids, shown or not.
} // namespace

TtailleImaBox::TtailleImaBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("tailleImaBox"), QStringLiteral("حجم مقطع الفيديو"), parent)
{
    // Fixed border, no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(313, 164);
    auto *g = new QGridLayout(this);
    g->setContentsMargins(10, 8, 10, 10);
    g->setVerticalSpacing(8);
    Label3 = new QLabel(QStringLiteral(": تحذير"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-style: italic;"));
    Label1 = new QLabel(QStringLiteral("إن تغيير حجم مقطع الفيديو يؤدي إلى فقدان البيانات"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    // Two lines where the font is wider than the box.
    Label1->setWordWrap(true);
    udPc = new TUpDown(this);
    udPc->setObjectName(QStringLiteral("udPc"));
    udPc->setMin(10);
    udPc->setMax(200);
    udPc->setPosition(100);
    udPc->setWrap(false);
    pnlPc = new QLabel(QStringLiteral("100%"), this);
    pnlPc->setObjectName(QStringLiteral("pnlPc"));
    pnlPc->setFrameShape(QFrame::Panel);
    pnlPc->setFrameShadow(QFrame::Sunken);
    pnlPc->setAlignment(Qt::AlignCenter);
    pnlPc->setLayoutDirection(Qt::LeftToRight);
    pnlPc->setFixedSize(52, 22);
    Label2 = new QLabel(QStringLiteral("(10..200)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    chkBxAdapter = new QCheckBox(QStringLiteral("مكيّف"), this);
    chkBxAdapter->setObjectName(QStringLiteral("chkBxAdapter"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1800);
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), true);

    auto *ligne = new QHBoxLayout;
    ligne->setSpacing(4);
    ligne->addWidget(pnlPc);
    ligne->addWidget(udPc);
    ligne->addWidget(Label2);
    ligne->addStretch(1);
    ligne->addWidget(chkBxAdapter);
    auto *boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    boutons->addStretch(1);
    g->addWidget(Label3, 0, 0);
    g->addWidget(Label1, 1, 0);
    g->addLayout(ligne, 2, 0);
    g->addLayout(boutons, 3, 0);

    connect(udPc, &TUpDown::Click, this, &TtailleImaBox::udPcClick);
    connect(udPc, &TUpDown::Changing, this, &TtailleImaBox::udPcChanging);
    connect(udPc, &TUpDown::MouseDown, this, &TtailleImaBox::udPcMouseDown);
    connect(udPc, &TUpDown::MouseUp, this, &TtailleImaBox::udPcMouseUp);
    connect(Timer1, &QTimer::timeout, this, &TtailleImaBox::Timer1Timer);
    // A change made by the program runs the handler too, as the user's click does.
    connect(chkBxAdapter, &QCheckBox::toggled, this, &TtailleImaBox::chkBxAdapterClick);
}

void TtailleImaBox::FormShow()
{
    Timer1->start();
    OKBtn->setDefault(false);
    CancelBtn->setDefault(true);
    udPcEnfonce = false;
    setWindowTitle(QStringLiteral("(حجم مقطع الفيديو (حاليا   % ") + QString::number(pcAffichage) +
                   QStringLiteral("  "));
    chkBxAdapter->setChecked(adapterDemande);
    if (QScreen *ecran = screen()) {
        QRect cadre = frameGeometry();
        cadre.moveCenter(ecran->availableGeometry().center());
        move(cadre.topLeft());
    }
}

void TtailleImaBox::FormHide()
{
    Timer1->stop();
}

void TtailleImaBox::hideEvent(QHideEvent *e)
{
    FormHide();
    TDialogueKinemar::hideEvent(e);
}

void TtailleImaBox::keyPressEvent(QKeyEvent *e)
{
    // Escape presses Cancel, so that its undo runs.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        CancelBtn->click();
        return;
    }
    TDialogueKinemar::keyPressEvent(e);
}

void TtailleImaBox::udPcClick()
{
    pnlPc->setText(QString::number(udPc->Position()) + QStringLiteral("%"));
}

void TtailleImaBox::udPcChanging(int &nouvelle, bool &)
{
    nouvelle = std::clamp(nouvelle, udPc->Min(), udPc->Max());
}

void TtailleImaBox::udPcMouseDown()
{
    udPcEnfonce = true;
    chkBxAdapter->setChecked(false);
}

void TtailleImaBox::udPcMouseUp()
{
    udPcEnfonce = false;
    udPc->setIncrement(1);
}

void TtailleImaBox::Timer1Timer()
{
    // Held down, the arrows go faster: 1, 6, 11, 16, then 20 per repeat.
    if (!udPcEnfonce) return;
    const int i = udPc->Increment();
    udPc->setIncrement(i > 15 ? 20 : i + 5);
}

void TtailleImaBox::chkBxAdapterClick()
{
    if (!chkBxAdapter->isChecked()) return;
    // Below the up-down's minimum the clip is shown at 10 % and overflows the area: what the
    // box shows is what OK applies.
    const int pourcent = pourcentAdapte(Form1->ScrollBox1->size(), {largeurReelle, hauteurReelle},
                                        udPc->Min(), udPc->Max());
    udPc->setPosition(pourcent);
    pnlPc->setText(QString::number(pourcent) + QStringLiteral("%"));
}

void TtailleImaBox::OKBtnClick()
{
    if (demande100) {
        MaJ();
    } else if (udPc->Position() == pcAffichage) {
        if (chkBxAdapter->isChecked()) Form1->placerImageEnHaut();
    } else {
        MaJ();
    }
    pcAffichage = udPc->Position();
}

void TtailleImaBox::CancelBtnClick()
{
    if (!demande100) return;
    udPc->setPosition(pcAffichage);
    pnlPc->setText(QString::number(udPc->Position()) + QStringLiteral("%"));
}

bool TtailleImaBox::MaJ()
{
    TForm1 *f = Form1;
    if (f->pointagesDansLaTable() &&
        plateforme().message(TypeMessage::Confirmation,
                             QStringLiteral(": سيتم مسح كل القياسات في الجدول") + QChar(13) +
                                 QStringLiteral("      هل أنت متأكد من هذا الإختيار ؟ "),
                             Boutons::OuiNon) != Reponse::Oui) {
        udPc->setPosition(pcAffichage);
        pnlPc->setText(QString::number(udPc->Position()) + QStringLiteral(" "));
        return false;
    }
    const int pourcent = udPc->Position();
    // The pointings cleared and the new size are one undo step: undo brings both back.
    QUndoStack *pile = f->document->pile();
    pile->beginMacro(QStringLiteral("حجم الصورة"));
    f->effacerPointages();
    appliquerTaille(pourcent);
    pcAffichage = pourcent;
    if (f->sessionMesure) f->sessionMesure->validerReglages();
    pile->endMacro();
    return true;
}

void TtailleImaBox::appliquerTaille(int pourcent)
{
    TForm1 *f = Form1;
    facteurAffichage = pourcent / 100.0L;
    if (f->clipOuvert()) f->reDraw(f->MediaPlayer1, 0);
    const QSize taille = tailleAffichee({largeurReelle, hauteurReelle}, pourcent);
    f->MediaPlayer1->setDisplayRect(QRect(QPoint(4, 4), taille));
    if (chkBxAdapter->isChecked()) f->placerImageEnHaut();
    const QRect affichage = f->MediaPlayer1->DisplayRect();
    f->disposerImage(affichage.width(), affichage.height());
    origineX = 0;
    origineY = affichage.height() - 1;
    f->razEtalonnageTaille();
    f->mnuIma100->setEnabled(pourcent != 100);
    f->mnuImaAdapter->setEnabled(!chkBxAdapter->isChecked());
    f->lblAdapt->setText(QStringLiteral("التكييف % :  ") + QString::number(pourcent) +
                         QStringLiteral(" "));
    // The overlay was drawn at the old size: draw the axes again on the new picture.
    if (f->clipOuvert()) f->reDraw(f->MediaPlayer1, 0);
}

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
    tailleImaBox->udPc->setPosition(100);
    tailleImaBox->pnlPc->setText(QStringLiteral("100%"));
    tailleImaBox->ShowModal();
}

void TForm1::mnuImaAdapterClick()
{
    demande100 = false;
    adapterDemande = true;
    tailleImaBox->chkBxAdapterClick();
    tailleImaBox->ShowModal();
}

void TForm1::disposerImage(int W, int H)
{
    pnl1AVI->resize(W + 8, H + 8);
    MediaPlayer1->setDisplayRect(QRect(4, 4, W, H));
    PaintBox1->setGeometry(4, 4, W, H);
    hauteurAffichee = H;
    largeurAffichee = W;
    ajusterFondScrollBox();
}

void TForm1::placerImageEnHaut()
{
    pnl1AVI->move(0, 0);
    ajusterFondScrollBox();
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TForm1::ajusterFondScrollBox()
{
    // The surface covers the visible area, so the panel can be dragged anywhere in it, and
    // reaches just past the panel: no scroll range is left over from a larger picture.
    const QRect panneau = pnl1AVI->geometry();
    const QSize vue = ScrollBox1->viewport()->size();
    const QSize taille(std::max(vue.width(), panneau.x() + panneau.width()),
                       std::max(vue.height(), panneau.y() + panneau.height()));
    if (ScrollBox1Fond->size() != taille) ScrollBox1Fond->resize(taille);
}

bool TForm1::pointagesDansLaTable()
{
    // Pairs hidden by a smaller point count hold pixels of this size too.
    return clipOuvert() && document->occupe(kPointsMesure);
}

void TForm1::effacerPointages()
{
    document->effacer(0, kPointsMesure - 1, 0, nbImages);
    for (TStringGrid *g : {StringGrid0, StringGrid1}) {
        g->setCol(1);
        g->setRow(1);
    }
    ChgPointNumero(1);
}

void TForm1::razEtalonnageTaille()
{
    etalonP1 = QPoint(1, 1);
    etalonP2 = QPoint(2, 2);
    echelleH = 1.0L;
    echelleV = 1.0L;
    placerIndicateurs();
    rbEtalonSimu->setChecked(false);
    edSi->setText(QStringLiteral("1") + separateurDecimal() + QStringLiteral("41E+0"));
    etalonSimuRAZ();
    // The labels and the other two boxes show the reset too, not the old calibration.
    edSH->setText(texteSci(chiffresXY - 1, 1.0L));
    edSV->setText(texteSci(chiffresXY - 1, 1.0L));
    echelleH = 1.0L;
    echelleV = 1.0L;
    affichSH(1.0L);
    affichSV(1.0L);
    MaJlblP();
    lblXMetres->setText(QStringLiteral("x= ") + texteSci(chiffresXY - 1, 0));
    lblYMetres->setText(QStringLiteral("y= ") + texteSci(chiffresXY - 1, 0));
    echelleModifiee = true;
}

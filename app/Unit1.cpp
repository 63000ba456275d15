#include "app/Unit1.h"

#include "app/affichage.h"
#include "app/curseurs.h"
#include "measure/erreurs.h"
#include "app/images.h"
#include "app/plateforme.h"
#include "app/tailleIma.h"
#include "calibration/outilsImage.h"
#include "export/FormatTxt.h"
#include "export/accescur.h"
#include "export/sauveGraphicPP.h"
#include "export/sauveMes.h"
#include "export/sauveTableauPP.h"
#include "help/About.h"
#include "help/aide.h"
#include "measure/Unit3.h"
#include "measure/aspectPts.h"
#include "measure/document.h"
#include "measure/sessionMesure.h"
#include "printing/Imprimer.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QShortcut>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

TForm1 *Form1 = nullptr;
TdlgPointeur *dlgPointeur = nullptr;
TAboutBox *AboutBox = nullptr;
TaccescurBox *accescurBox = nullptr;
TFormatTxtBox *FormatTxtBox = nullptr;
TsauverMesuresBox *sauverMesuresBox = nullptr;
TtailleImaBox *tailleImaBox = nullptr;
TaspectPointBox *aspectPointBox = nullptr;
TSauveTableauPPBox *SauveTableauPPBox = nullptr;
TdlgImprimer *dlgImprimer = nullptr;
TSauveGraphicPPBox *SauveGraphicPPBox = nullptr;

namespace
{

// Alt pressed and released alone selects the menu bar, as F10 does, whatever the style.
class StyleMenuClavier : public QProxyStyle
{
public:
    int styleHint(StyleHint indice, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *retour) const override
    {
        if (indice == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(indice, option, widget, retour);
    }
};

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

// The clip's path takes the room left on the tool bar and may be cut at its start: a long
// path never pushes the quit button off the bar.
class EtiquetteChemin : public QLabel
{
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
};

QToolButton *boutonImage(QWidget *parent, const char *nom, const QString &hint = {})
{
    auto *b = nomme(new QToolButton(parent), nom);
    b->setIcon(imageBouton(QString::fromLatin1(nom)));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    if (!hint.isEmpty()) definirHint(b, hint);
    return b;
}

QLabel *etiquette(QWidget *parent, const char *nom, const QString &texte)
{
    return nomme(new QLabel(texte, parent), nom);
}

QAction *element(QMenu *menu, const char *nom, const QString &texte)
{
    auto *a = nomme(new QAction(texte, menu), nom);
    menu->addAction(a);
    return a;
}

QMenu *sousMenu(QMenu *parent, const char *nom, const QString &texte)
{
    auto *m = nomme(new QMenu(texte, parent), nom);
    m->menuAction()->setObjectName(QString::fromLatin1(nom) + QStringLiteral("Action"));
    parent->addMenu(m);
    return m;
}

} // namespace

void activerMenu(QMenu *menu, bool actif)
{
    menu->setEnabled(actif);
    menu->menuAction()->setEnabled(actif);
}

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setLayoutDirection(Qt::LeftToRight);
    document = new DocumentMesure(this, &mesureDeTravail());
    construireMenus();
    construireBarreOutils();
    construireCoteClip();
    construirePages();
    construirePopup();
    construireGraphes();
    construireSuivi();
    construireOutilsImage();
    construireLoupe();
    construireRapporteur();
    construireClavierImages();
    StatusBar1 = nomme(new QStatusBar(this), "StatusBar1");
    setStatusBar(StatusBar1);

    Timer1 = nomme(new QTimer(this), "Timer1");
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer2 = nomme(new QTimer(this), "Timer2");
    Timer2->setInterval(500);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);

    creerLecteur();
    FormCreate();
    Timer1->start();
    sessionMesure = new SessionMesure(this);
}

TForm1::~TForm1()
{
    // The tracking box's chooser filters the whole application's events while it waits, and
    // the window's children still send some as they go: it goes before them.
    delete findChild<QObject *>(QStringLiteral("choixBoiteSuivi"), Qt::FindDirectChildrenOnly);
    // So do the picture's tools, always.
    delete outilsImage;
    outilsImage = nullptr;
}

void TForm1::construireMenus()
{
    QMenuBar *barre = menuBar();
    barre->setObjectName(QStringLiteral("MainMenu1"));
    barre->setLayoutDirection(Qt::RightToLeft);
    auto *styleClavier = new StyleMenuClavier;
    styleClavier->setParent(barre);
    barre->setStyle(styleClavier);
    // F10 opens the first menu; the arrow keys then go through the others.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [barre] {
        for (QAction *a : barre->actions())
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                barre->setActiveAction(a);
                return;
            }
    });

    mnuFichiers = nomme(barre->addMenu(QStringLiteral("ملفات")), "mnuFichiers");
    mnuChargerAvi = element(mnuFichiers, "mnuChargerAvi", QStringLiteral("فتح مقطع فيديو"));
    mnuChargerAvi->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuEnregistrerMesures =
        sousMenu(mnuFichiers, "mnuEnregistrerMesures", QStringLiteral("قياسات"));
    mnuCopierPP = sousMenu(mnuEnregistrerMesures, "mnuCopierPP", QStringLiteral("نسخ إلى الحافظة"));
    mnuTableauPP = element(mnuCopierPP, "mnuTableauPP", QStringLiteral("الجدول"));
    mnuGraphiquePP = element(mnuCopierPP, "mnuGraphiquePP", QStringLiteral("المنحنى"));
    mnuEnregFic = sousMenu(mnuEnregistrerMesures, "mnuEnregFic", QStringLiteral("حفظ على ملف"));
    mnuAuFormatCW3 =
        element(mnuEnregFic, "mnuAuFormatCW3", QStringLiteral("Curvalis Windows (*.cw3)  بصيغة"));
    mnuAuFormatCCC =
        element(mnuEnregFic, "mnuAuFormatCCC", QStringLiteral(" Curvalis DOS (*.ccc)  بصيغة"));
    mnuAuFormatTxt = element(mnuEnregFic, "mnuAuFormatTxt", QStringLiteral(" (*.txt)  بصيغة نص"));
    SaveCW3 = mnuAuFormatCW3;
    SaveCCC = mnuAuFormatCCC;
    SaveTXT = mnuAuFormatTxt;
    mnuImprimer = element(mnuEnregistrerMesures, "mnuImprimer", QStringLiteral("طباعة"));
    AccsCurvalis1 = sousMenu(mnuFichiers, "AccsCurvalis1", QStringLiteral("Curvalis  برنامج"));
    mnuCurPath = element(AccsCurvalis1, "mnuCurPath", QStringLiteral("تحديد عنوان الوصول"));
    mnuCurExec = element(AccsCurvalis1, "mnuCurExec", QStringLiteral(" Curvalis  تشغيل"));
    CurPath = mnuCurPath;
    CurExec = mnuCurExec;
    mnuFichiers->addSeparator();
    mnuQuitter = element(mnuFichiers, "mnuQuitter", QStringLiteral("خروج"));

    mnuClip = nomme(barre->addMenu(QStringLiteral("فيديو")), "mnuClip");
    mnuIma100 = element(mnuClip, "mnuIma100", QStringLiteral("100%"));
    mnuImaAdapter = element(mnuClip, "mnuImaAdapter", QStringLiteral("مكيّف"));
    mnuImaAutre = element(mnuClip, "mnuImaAutre", QStringLiteral(".... المزيد"));

    mnuPointages = nomme(barre->addMenu(QStringLiteral("تنقيط")), "mnuPointages");
    mnuFormePointeur = sousMenu(mnuPointages, "mnuFormePointeur", QStringLiteral("شكل المؤشر"));
    mnuGrandeCible = element(mnuFormePointeur, "mnuGrandeCible", QStringLiteral("دارئة كبيرة"));
    mnuPetiteCible = element(mnuFormePointeur, "mnuPetiteCible", QStringLiteral("دارئة صغيرة"));
    mnuCroix = element(mnuFormePointeur, "mnuCroix", QStringLiteral("+ علامة"));
    mnuCouleurPointeur = sousMenu(mnuPointages, "mnuCouleurPointeur", QStringLiteral("لون المؤشر"));
    mnuCouleurNoir = element(mnuCouleurPointeur, "mnuCouleurNoir", QStringLiteral("أسود"));
    mnuCouleurBlanc = element(mnuCouleurPointeur, "mnuCouleurBlanc", QStringLiteral("أبيض"));
    mnuTaillePoints = sousMenu(mnuPointages, "mnuTaillePoints", QStringLiteral("حجم النقاط"));
    mnuTaille1 = element(mnuTaillePoints, "mnuTaille1", QStringLiteral("  1"));
    mnuTaille2 = element(mnuTaillePoints, "mnuTaille2", QStringLiteral("  2"));
    mnuTaille3 = element(mnuTaillePoints, "mnuTaille3", QStringLiteral("  3"));
    mnuTaile4 = element(mnuTaillePoints, "mnuTaile4", QStringLiteral("  4"));
    mnuTaille5 = element(mnuTaillePoints, "mnuTaille5", QStringLiteral("  5"));
    mnuAutomatismes =
        sousMenu(mnuPointages, "mnuAutomatismes", QStringLiteral("النقطة الموالية تلقائيا"));
    mnuAutoH = element(mnuAutomatismes, "mnuAutoH", QStringLiteral("أفقيا"));
    mnuAutoV = element(mnuAutomatismes, "mnuAutoV", QStringLiteral("شاقوليا"));
    AutoH = mnuAutoH;
    AutoV = mnuAutoV;
    for (QAction *a : {mnuAutoH, mnuAutoV}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    mnuConfigurationsrapides =
        sousMenu(mnuPointages, "mnuConfigurationsrapides", QStringLiteral("إعدادات سريعة"));
    mnuFondclair =
        sousMenu(mnuConfigurationsrapides, "mnuFondclair", QStringLiteral("خلفية فاتحة"));
    mnuFondSombre =
        sousMenu(mnuConfigurationsrapides, "mnuFondSombre", QStringLiteral("خلفية داكنة"));
    const char *nomsClair[] = {"mnuFdCl1point", "mnuFdCl2points", "mnuFdCl3points",
                               "mnuFdCl4points"};
    const char *nomsSombre[] = {"mnuFdSo1Point", "mnuFdSo2points", "mnuFdSo3points",
                                "mnuFdSo4points"};
    const QString textes[] = {QStringLiteral("1نقطة"), QStringLiteral("2نقطة"),
                              QStringLiteral("3نقاط"), QStringLiteral("4نقاط")};
    for (int i = 0; i < 4; ++i) {
        QAction *clair = element(mnuFondclair, nomsClair[i], textes[i]);
        clair->setData(i + 1);
        clair->setStatusTip(QStringLiteral("إستخدام إعداد مناسب على خلفية فاتحة"));
        mnuFondclairItems << clair;
        QAction *sombre = element(mnuFondSombre, nomsSombre[i], textes[i]);
        sombre->setData(21 + i);
        sombre->setStatusTip(QStringLiteral("إستخدام إعداد مناسب على خلفية داكنة"));
        mnuFondSombreItems << sombre;
    }

    Aidde1 = nomme(barre->addMenu(QStringLiteral("?")), "Aidde1");
    Aide1 = element(Aidde1, "Aide1", QStringLiteral("مساعدة"));
    Aide2 = element(Aidde1, "Aide2", QStringLiteral("مساعدة في شريط الحالة"));
    Aide3 = element(Aidde1, "Aide3", QStringLiteral("مساعدة بفقاعات التلميحات"));
    Aide2->setCheckable(true);
    Aide2->setChecked(true);
    Aide3->setCheckable(true);
    propos1 = element(Aidde1, "propos1", QStringLiteral("Kinemar  حول"));

    // Radio items with their tags.
    auto radio = [this](std::initializer_list<std::pair<QAction *, int>> items, QAction *coche) {
        auto *groupe = new QActionGroup(this);
        groupe->setExclusive(true);
        for (auto [a, tag] : items) {
            a->setCheckable(true);
            a->setData(tag);
            groupe->addAction(a);
        }
        coche->setChecked(true);
    };
    radio({{mnuGrandeCible, 0}, {mnuPetiteCible, 1}, {mnuCroix, 2}}, mnuPetiteCible);
    radio({{mnuCouleurNoir, 0}, {mnuCouleurBlanc, 1}}, mnuCouleurNoir);
    radio({{mnuTaille1, 1}, {mnuTaille2, 2}, {mnuTaille3, 3}, {mnuTaile4, 4}, {mnuTaille5, 5}},
          mnuTaille2);

    connect(mnuChargerAvi, &QAction::triggered, this, &TForm1::bbtnOpenAviClick);
    connect(mnuTableauPP, &QAction::triggered, this, &TForm1::mnuTableauPPClick);
    connect(mnuGraphiquePP, &QAction::triggered, this, &TForm1::mnuGraphiquePPClick);
    connect(SaveCW3, &QAction::triggered, this, &TForm1::SaveCW3Execute);
    connect(SaveCCC, &QAction::triggered, this, &TForm1::SaveCCCExecute);
    connect(SaveTXT, &QAction::triggered, this, &TForm1::SaveTXTExecute);
    connect(mnuImprimer, &QAction::triggered, this, &TForm1::bbtnImprimerClick);
    connect(CurPath, &QAction::triggered, this, &TForm1::CurPathExecute);
    connect(CurExec, &QAction::triggered, this, &TForm1::CurExecExecute);
    connect(mnuQuitter, &QAction::triggered, this, &TForm1::mnuQuitterClick);
    connect(mnuIma100, &QAction::triggered, this, &TForm1::mnuIma100Click);
    connect(mnuImaAdapter, &QAction::triggered, this, &TForm1::mnuImaAdapterClick);
    connect(mnuImaAutre, &QAction::triggered, this, &TForm1::bbtnImaClick);
    for (QAction *a : {mnuGrandeCible, mnuPetiteCible, mnuCroix})
        connect(a, &QAction::triggered, this, [this, a] { mnuPetiteCibleClick(a); });
    for (QAction *a : {mnuCouleurNoir, mnuCouleurBlanc})
        connect(a, &QAction::triggered, this, [this, a] { mnuCouleurNoirClick(a); });
    for (QAction *a : {mnuTaille1, mnuTaille2, mnuTaille3, mnuTaile4, mnuTaille5})
        connect(a, &QAction::triggered, this, [this, a] { mnuTaille1Click(a); });
    for (QAction *a : mnuFondclairItems + mnuFondSombreItems)
        connect(a, &QAction::triggered, this, [this, a] { mnuFdCl2pointsClick(a); });
    connect(Aide1, &QAction::triggered, this, &TForm1::Aide1Click);
    connect(Aide2, &QAction::triggered, this, &TForm1::Aide2Click);
    connect(Aide3, &QAction::triggered, this, &TForm1::Aide3Click);
    connect(propos1, &QAction::triggered, this, &TForm1::propos1Click);

    activerMenu(mnuEnregistrerMesures, false);
    activerMenu(mnuClip, false);
    activerMenu(mnuPointages, false);
    CurExec->setEnabled(false);
}

void TForm1::construireBarreOutils()
{
    ToolBar1 = nomme(new QToolBar(this), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setLayoutDirection(Qt::RightToLeft);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    bbtnOpenAvi = boutonImage(ToolBar1, "bbtnOpenAvi",
                              QStringLiteral("فتح مقطع فيديو|فتح مقطع فيديو (ملف بصيغة avi)"));
    bbtnIma = boutonImage(
        ToolBar1, "bbtnIma",
        QStringLiteral("حجم الصورة بـ % من الحجم الحقيقي|تغيير حجم الصورة بـ % من الحجم الحقيقي"));
    bbtnCible = boutonImage(ToolBar1, "bbtnCible", QStringLiteral("مظهر المؤشر|تغيير مظهر المؤشر"));
    Panel7 = nomme(new QFrame(ToolBar1), "Panel7");
    Panel7->setFrameShape(QFrame::StyledPanel);
    Panel7->setAutoFillBackground(true);
    definirHint(Panel7, QStringLiteral("حجم النقاط 1 .... 5|تغيير حجم النقاط 1 .... 5"));
    {
        auto *l = new QHBoxLayout(Panel7);
        l->setContentsMargins(4, 1, 4, 1);
        Panel7Titre = etiquette(Panel7, "Panel7Titre", QStringLiteral("الحجم"));
        lblTaillePoints = etiquette(Panel7, "lblTaillePoints", QStringLiteral("2"));
        udTaillePoints = nomme(new TUpDown(Panel7), "udTaillePoints");
        udTaillePoints->setMin(0);
        udTaillePoints->setMax(4);
        udTaillePoints->setPosition(1);
        definirHint(udTaillePoints, hintDe(Panel7));
        l->addWidget(Panel7Titre);
        l->addWidget(lblTaillePoints);
        l->addWidget(udTaillePoints);
    }
    bbtnCurExec = boutonImage(ToolBar1, "bbtnCurExec");
    // Bound to its action by hand: a default action would put the action's caption in
    // place of the picture whenever the action changes.
    bbtnCurExec->setEnabled(CurExec->isEnabled());
    connect(CurExec, &QAction::enabledChanged, bbtnCurExec, &QWidget::setEnabled);
    connect(bbtnCurExec, &QToolButton::clicked, CurExec, &QAction::trigger);
    definirHint(bbtnCurExec, QStringLiteral("Curvalis تشغيل"));
    bbtnCopierMesuresPP = boutonImage(ToolBar1, "bbtnCopierMesuresPP");
    bbtnCopierGraphiquePP = boutonImage(ToolBar1, "bbtnCopierGraphiquePP");
    bbtnEnregistrerMesures = boutonImage(ToolBar1, "bbtnEnregistrerMesures");
    bbtnImprimer =
        boutonImage(ToolBar1, "bbtnImprimer",
                    QStringLiteral("طباعة جملة النقاط و المحاور|طباعة جملة النقاط و المحاور"));
    BitBtn1 = boutonImage(ToolBar1, "BitBtn1", QStringLiteral("مساعدة|محتويات المساعدة"));
    lblNomAvi = nomme(new EtiquetteChemin(ToolBar1), "lblNomAvi");
    lblNomAvi->setLayoutDirection(Qt::LeftToRight);
    lblNomAvi->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    lblNomAvi->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tbtnPreQuit = nomme(new QWidget(ToolBar1), "tbtnPreQuit");
    tbtnPreQuit->setFixedWidth(0);
    bbtnQuitter = boutonImage(ToolBar1, "bbtnQuitter");

    for (QWidget *w : std::initializer_list<QWidget *>{
             bbtnOpenAvi, bbtnIma, bbtnCible, Panel7, bbtnCurExec, bbtnCopierMesuresPP,
             bbtnCopierGraphiquePP, bbtnEnregistrerMesures, bbtnImprimer, BitBtn1, lblNomAvi,
             tbtnPreQuit, bbtnQuitter})
        ToolBar1->addWidget(w);

    for (QWidget *w : std::initializer_list<QWidget *>{bbtnIma, bbtnCible, Panel7,
                                                       bbtnCopierMesuresPP, bbtnCopierGraphiquePP,
                                                       bbtnEnregistrerMesures, bbtnImprimer})
        w->setEnabled(false);

    connect(bbtnOpenAvi, &QToolButton::clicked, this, &TForm1::bbtnOpenAviClick);
    connect(bbtnIma, &QToolButton::clicked, this, &TForm1::bbtnImaClick);
    connect(bbtnCible, &QToolButton::clicked, this, &TForm1::bbtnCibleClick);
    connect(udTaillePoints, &TUpDown::Click, this, &TForm1::udTaillePointsClick);
    connect(bbtnCopierMesuresPP, &QToolButton::clicked, this, &TForm1::mnuTableauPPClick);
    connect(bbtnCopierGraphiquePP, &QToolButton::clicked, this, &TForm1::mnuGraphiquePPClick);
    connect(bbtnEnregistrerMesures, &QToolButton::clicked, this,
            &TForm1::bbtnEnregistrerMesuresClick);
    connect(bbtnImprimer, &QToolButton::clicked, this, &TForm1::bbtnImprimerClick);
    connect(BitBtn1, &QToolButton::clicked, this, &TForm1::BitBtn1Click);
    connect(bbtnQuitter, &QToolButton::clicked, this, &TForm1::mnuQuitterClick);
}

void TForm1::construireCoteClip()
{
    Splitter1 = nomme(new QSplitter(Qt::Horizontal, this), "Splitter1");
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStyleSheet(QStringLiteral("QSplitter::handle { background: #00ffff; }"));
    setCentralWidget(Splitter1);

    pnl1 = nomme(new QWidget(Splitter1), "pnl1");
    pnl1->setMinimumWidth(20);
    auto *colonne = new QVBoxLayout(pnl1);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);

    tbCoord = nomme(new QToolBar(pnl1), "tbCoord");
    definirHint(tbCoord, QStringLiteral("الإحداثيات|الإحداثيات"));
    lblXPixels = etiquette(tbCoord, "lblXPixels", QStringLiteral("pX= 0"));
    lblYPixels = etiquette(tbCoord, "lblYPixels", QStringLiteral("pY= 0"));
    lblUPixels = etiquette(tbCoord, "lblUPixels", QStringLiteral("بكسل"));
    lblPMetres = etiquette(tbCoord, "lblPMetres", QStringLiteral(";"));
    lblXMetres = etiquette(tbCoord, "lblXMetres", QString());
    lblYMetres = etiquette(tbCoord, "lblYMetres", QString());
    lblUMetres = etiquette(tbCoord, "lblUMetres", QStringLiteral("متر"));
    for (QLabel *l :
         {lblXPixels, lblYPixels, lblUPixels, lblPMetres, lblXMetres, lblYMetres, lblUMetres}) {
        l->setContentsMargins(4, 0, 4, 0);
        tbCoord->addWidget(l);
    }
    colonne->addWidget(tbCoord);

    ScrollBox1 = nomme(new QScrollArea(pnl1), "ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    // Tab reaches the scroll box for its arrow keys, but a click on the picture leaves the
    // focus where it was (a length box being typed in keeps it).
    ScrollBox1->setFocusPolicy(Qt::TabFocus);
    ScrollBox1->setBackgroundRole(QPalette::NoRole);
    ScrollBox1->setStyleSheet(QStringLiteral("QScrollArea#ScrollBox1 { background: #c0c0c0; }"));
    ScrollBox1Fond = nomme(new QWidget, "ScrollBox1Fond");
    ScrollBox1Fond->setStyleSheet(QStringLiteral("background: #c0c0c0;"));
    ScrollBox1Fond->resize(100, 100);
    ScrollBox1->setWidget(ScrollBox1Fond);
    colonne->addWidget(ScrollBox1, 1);

    pnl1AVI = nomme(new QLabel(ScrollBox1Fond), "pnl1AVI");
    pnl1AVI->setAutoFillBackground(true);
    pnl1AVI->setAlignment(Qt::AlignCenter);
    pnl1AVI->setGeometry(0, 0, 185, 41);
    pnl1AVI->setFrameShape(QFrame::Panel);
    pnl1AVI->setFrameShadow(QFrame::Sunken);
    pnl1AVI->setMouseTracking(true);
    pnl1AVI->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);

    PaintBox1 = nomme(new TPaintBox(pnl1AVI), "PaintBox1");
    definirHint(PaintBox1, QStringLiteral("منطقة التنقيط"));
    PaintBox1->setGeometry(4, 4, 0, 0);
    PaintBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PaintBox1, &TPaintBox::Paint, this, [this] {
        if (clipOuvert()) aRedessiner = true;
    });

    auto indicateur = [this](const char *nom, int l, int h) {
        auto *f = nomme(new QFrame(pnl1AVI), nom);
        f->resize(l, h);
        f->setAutoFillBackground(true);
        f->hide();
        return f;
    };
    indicX1 = indicateur("indicX1", 3, 4);
    indicX2 = indicateur("indicX2", 3, 4);
    indicY1 = indicateur("indicY1", 4, 3);
    indicY2 = indicateur("indicY2", 4, 3);

    ToolBar2 = nomme(new QToolBar(pnl1), "ToolBar2");
    bbtnPlay = boutonImage(ToolBar2, "bbtnPlay", QStringLiteral("تشغيل الفيديو|تشغيل الفيديو"));
    bbtnDeb = boutonImage(ToolBar2, "bbtnDeb",
                          QStringLiteral("الصورة الأولى|الإنتقال إلى الصورة الأولى"));
    bbtnFin = boutonImage(ToolBar2, "bbtnFin",
                          QStringLiteral("الصورة الأخيرة|الإنتقال إلى الصورة الأخيرة"));
    bbtnPre = boutonImage(ToolBar2, "bbtnPre",
                          QStringLiteral("الصورة السابقة|الإنتقال إلى الصورة السابقة"));
    bbtnSui = boutonImage(ToolBar2, "bbtnSui",
                          QStringLiteral("الصورة الموالية|الإنتقال إلى الصورة الموالية"));
    int tag = 2;
    for (QToolButton *b : {bbtnPlay, bbtnDeb, bbtnFin, bbtnPre, bbtnSui}) {
        b->setProperty("tag", tag++);
        b->setEnabled(false);
        ToolBar2->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, b] { bbtnPlayClick(b); });
    }
    ToolBar2->addSeparator();
    lblNoImage1 = etiquette(ToolBar2, "lblNoImage1", QStringLiteral("صورة رقم"));
    lblNoImage2 = etiquette(ToolBar2, "lblNoImage2", QString());
    lblNoImage3 = etiquette(ToolBar2, "lblNoImage3", QStringLiteral(" / "));
    lblNoImage4 = etiquette(ToolBar2, "lblNoImage4", QString());
    lblNoImage5 = etiquette(ToolBar2, "lblNoImage5", QString());
    // A blank's width between the caption and the frame number.
    lblNoImage1->setContentsMargins(0, 0, lblNoImage1->fontMetrics().horizontalAdvance(u' '), 0);
    for (QLabel *l : {lblNoImage1, lblNoImage2, lblNoImage3, lblNoImage4, lblNoImage5})
        ToolBar2->addWidget(l);
    colonne->addWidget(ToolBar2);

    connect(Splitter1, &QSplitter::splitterMoved, this, &TForm1::Splitter1Moved);
    Splitter1->installEventFilter(this);
}

void TForm1::construirePages()
{
    PageControl1 = nomme(new QTabWidget(Splitter1), "PageControl1");
    PageControl1->setLayoutDirection(Qt::RightToLeft);
    // Like the clip side, the pages may be squeezed down to the splitter's minimum.
    PageControl1->setMinimumWidth(20);
    tsMesures = nomme(new QWidget, "tsMesures");
    tsEtalon = nomme(new QWidget, "tsEtalon");
    tsProClip = nomme(new QWidget, "tsProClip");
    PageControl1->addTab(tsMesures, QStringLiteral("   قياسات   "));
    PageControl1->addTab(tsEtalon, QStringLiteral("   إعدادات  "));
    PageControl1->addTab(tsProClip, QStringLiteral("خصائص مقطع الفيديو"));
    // The captions bring their own blanks: little padding, so the three fit a narrow side.
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 3px; }"));
    construirePageMesures();
    construirePageEtalon();
    construirePageProClip();
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (!PageControl1->signalsBlocked()) PageControl1Change();
    });
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
}

void TForm1::construirePopup()
{
    PopupMenu1 = nomme(new QMenu(this), "PopupMenu1");
    PopupMenu1->setLayoutDirection(Qt::RightToLeft);
    popUpMnuModeAcquerir = element(PopupMenu1, "popUpMnuModeAcquerir", QStringLiteral("قياسات"));
    popUpMnuModeEtalonner = element(PopupMenu1, "popUpMnuModeEtalonner", QStringLiteral("إعدادات"));
    popUpMnuModeProClip =
        element(PopupMenu1, "popUpMnuModeProClip", QStringLiteral("خصائص مقطع الفيديو"));
    PopupMenu1->addSeparator();
    popUpMnuPointeur = element(PopupMenu1, "popUpMnuPointeur", QStringLiteral("المؤشر"));
    PopupMenu1->addSeparator();
    popUpMnuAide = element(PopupMenu1, "popUpMnuAide", QStringLiteral("مساعدة"));
    for (QAction *a : {popUpMnuModeAcquerir, popUpMnuModeEtalonner, popUpMnuModeProClip}) {
        a->setCheckable(true);
        a->setEnabled(false);
    }
    popUpMnuModeAcquerir->setChecked(true);
    popUpMnuPointeur->setEnabled(false);
    connect(popUpMnuModeAcquerir, &QAction::triggered, this, &TForm1::popUpMnuModeAcquerirClick);
    connect(popUpMnuModeEtalonner, &QAction::triggered, this, &TForm1::popUpMnuModeEtalonnerClick);
    connect(popUpMnuModeProClip, &QAction::triggered, this, &TForm1::popUpMnuModeProClipClick);
    connect(popUpMnuPointeur, &QAction::triggered, this, &TForm1::bbtnCibleClick);
    connect(popUpMnuAide, &QAction::triggered, this, &TForm1::popUpMnuAideClick);
    connect(PaintBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu1->popup(PaintBox1->mapToGlobal(p)); });
}

void TForm1::FormCreate()
{
    aRedessiner = false;
    chiffresXY = 3;
    effacerSansDemande = false;
    repDepart = QDir::currentPath();
    setWindowTitle(QStringLiteral("Kinemar v.2.5"));
    activerPage(tsMesures);
    // Hint timings: the bubble shows almost at once and stays four seconds.
    QPalette bulle = QToolTip::palette();
    bulle.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
    QToolTip::setPalette(bulle);
    installerAide(this);
    imageCourante = -1;
    largeurForm = 620;
    largeurPnl1 = 410;
    resize(620, 465);
    chargerCurseursKinemar();
    couleurCurseur = 1;
    formeCurseur = 2;
    facteurAffichage = 1.0L;
    taillePoints = 1;
    origineX = 0;
    origineY = 0;
    sensX = 1;
    sensY = 1;
    angleAxes = 0;
    initEchelle();
}

void TForm1::activerPage(QWidget *page)
{
    const bool bloque = PageControl1->blockSignals(true);
    PageControl1->setCurrentWidget(page);
    PageControl1->blockSignals(bloque);
}

void TForm1::PageControl1Change()
{
    QWidget *page = PageControl1->currentWidget();
    if (page == tsMesures) {
        if (clipOuvert()) {
            formeCurseur = dlgPointeur->rgPtForme->ItemIndex() + 1;
            curseurPaintBox(couleurCurseur * 100 + formeCurseur);
        }
        dlgPointeur->rgPtForme->setEnabled(true);
        activerMenu(mnuFormePointeur, true);
        if (rbChxOrig) rbChxOrig->setChecked(false);
        ChxOrigRAZ();
        if (rbEtalonHori) rbEtalonHori->setChecked(false);
        etalonHoriRAZ();
        if (rbEtalonVert) rbEtalonVert->setChecked(false);
        etalonVertRAZ();
        if (rbEtalonSimu) rbEtalonSimu->setChecked(false);
        etalonSimuRAZ();
    } else if (page == tsEtalon) {
        ImgEtalon(0, 2, 4);
        dlgPointeur->rgPtForme->setEnabled(false);
        activerMenu(mnuFormePointeur, false);
    }
    popUpMnuModeAcquerir->setChecked(page == tsMesures);
    popUpMnuModeEtalonner->setChecked(page == tsEtalon);
    popUpMnuModeProClip->setChecked(page == tsProClip);
}

void TForm1::popUpMnuModeAcquerirClick()
{
    activerPage(tsMesures);
    PageControl1Change();
}

void TForm1::popUpMnuModeEtalonnerClick()
{
    activerPage(tsEtalon);
    PageControl1Change();
}

void TForm1::popUpMnuModeProClipClick()
{
    activerPage(tsProClip);
    PageControl1Change();
}

void TForm1::curseurPaintBox(int slot)
{
    PaintBox1->setProperty("slotCurseur", slot);
    PaintBox1->setCursor(curseurSlot(slot));
}

int TForm1::slotCurseurPaintBox() const
{
    return PaintBox1->property("slotCurseur").toInt();
}

void TForm1::mnuQuitterClick()
{
    close();
}

void TForm1::Splitter1Moved()
{
    mnuImaAdapter->setEnabled(true);
    largeurPnl1 = pnl1->width();
    // The splitter's width: the window's own, less a docked panel beside it (the graphs).
    largeurForm = Splitter1->width();
}

void TForm1::FormResize()
{
    // The file name takes the tool bar's free width (the layout does it; the bar is right to left).
    lblNomAvi->setMinimumWidth(0);
    // The share stays the one set at start or by the splitter: recomputing it from each
    // rounded width would let the clip side creep at every step of a dragged border.
    const int largeur = largeurCoteClip(Splitter1->width(), largeurPnl1, largeurForm);
    const int total = Splitter1->width();
    Splitter1->setSizes({largeur, std::max(0, total - largeur - Splitter1->handleWidth())});
    mnuImaAdapter->setEnabled(true);
}

void TForm1::afficherAuDemarrage()
{
    // The start-up size stays the normal size, whole on the screen, so that restoring the
    // maximised window gives it back with its title bar in view.
    if (QScreen *ecran = screen()) {
        const QRect zone = ecran->availableGeometry();
        // Never below what the layout needs: showing would grow it and lose the normal size.
        const QSize voulue = size().expandedTo(minimumSizeHint());
        resize(std::min(voulue.width(), zone.width()), std::min(voulue.height(), zone.height()));
        QRect cadre(QPoint(), size());
        cadre.moveCenter(zone.center());
        move(std::max(zone.left(), cadre.left()), std::max(zone.top(), cadre.top()));
    }
    const QSize normale = size();
    showMaximized();
    // Without a window manager nothing maximises the window: take the screen ourselves.
    QTimer::singleShot(1000, this, [this, normale] {
        if (isMaximized() && size() == normale)
            if (QScreen *ecran = screen()) setGeometry(ecran->availableGeometry());
    });
}

void TForm1::resizeEvent(QResizeEvent *e)
{
    // The shares are applied when the splitter itself gets its new width (see eventFilter).
    QMainWindow::resizeEvent(e);
}

void TForm1::paintEvent(QPaintEvent *e)
{
    QMainWindow::paintEvent(e);
    FormPaint();
}

void TForm1::Timer1Timer()
{
    if (aRedessiner) {
        reDraw(MediaPlayer1, imageCourante);
        aRedessiner = false;
    }
}

bool TForm1::FormCloseQuery()
{
    return plateforme().message(TypeMessage::Confirmation,
                                QStringLiteral("هل أنت متأكد من المغادرة ؟    "),
                                Boutons::OuiNon) == Reponse::Oui;
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (FormCloseQuery())
        e->accept();
    else
        e->ignore();
}

bool TForm1::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == Splitter1 && evenement->type() == QEvent::Resize) {
        // Let the splitter lay itself out first, then impose the clip side's width.
        static_cast<QObject *>(Splitter1)->event(evenement);
        FormResize();
        return true;
    }
    if (objet == ScrollBox1->viewport() && evenement->type() == QEvent::Resize)
        ajusterFondScrollBox();
    // Dragging the clip panel inside its scroll box once a clip is open.
    if (objet == pnl1AVI && clipOuvert()) {
        switch (evenement->type()) {
        case QEvent::MouseButtonPress: {
            auto *e = static_cast<QMouseEvent *>(evenement);
            glissement_ = true;
            departGlissement_ = e->globalPosition().toPoint() - pnl1AVI->pos();
            pnl1AVI->setCursor(curseurSlot(51));
            mnuImaAdapter->setEnabled(true);
            return true;
        }
        case QEvent::MouseMove: {
            auto *e = static_cast<QMouseEvent *>(evenement);
            if (glissement_) {
                pnl1AVI->move(e->globalPosition().toPoint() - departGlissement_);
                ajusterFondScrollBox();
            } else
                pnl1AVI->setCursor(curseurSlot(50));
            return true;
        }
        case QEvent::MouseButtonRelease:
            glissement_ = false;
            pnl1AVI->setCursor(curseurSlot(50));
            return true;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(objet, evenement);
}

ApplicationKinemar::ApplicationKinemar(int &argc, char **argv) : QApplication(argc, argv)
{
    initialiserRessources();
    setWindowIcon(iconeProgramme());
}

void afficherErreurNonInterceptee(const std::exception &e)
{
    QString texte;
    if (auto *k = dynamic_cast<const ErreurKinemar *>(&e))
        texte = k->texte();
    else
        texte = QString::fromLocal8Bit(e.what());
    plateforme().message(TypeMessage::Erreur, texte, Boutons::Ok);
}

bool ApplicationKinemar::notify(QObject *receveur, QEvent *evenement)
{
    try {
        return QApplication::notify(receveur, evenement);
    } catch (const std::exception &e) {
        afficherErreurNonInterceptee(e);
    } catch (...) {
        plateforme().message(TypeMessage::Erreur, QStringLiteral("خطأ غير معروف"), Boutons::Ok);
    }
    return false;
}

void creerFenetres()
{
    Form1 = new TForm1;
    dlgPointeur = new TdlgPointeur(Form1);
    AboutBox = new TAboutBox(Form1);
    accescurBox = new TaccescurBox(Form1);
    FormatTxtBox = new TFormatTxtBox(Form1);
    sauverMesuresBox = new TsauverMesuresBox(Form1);
    tailleImaBox = new TtailleImaBox(Form1);
    aspectPointBox = new TaspectPointBox(Form1);
    SauveTableauPPBox = new TSauveTableauPPBox(Form1);
    dlgImprimer = new TdlgImprimer(Form1);
    SauveGraphicPPBox = new TSauveGraphicPPBox(Form1);
}

void detruireFenetres()
{
    delete Form1; // the dialogs are its children
    Form1 = nullptr;
    dlgPointeur = nullptr;
    AboutBox = nullptr;
    accescurBox = nullptr;
    FormatTxtBox = nullptr;
    sauverMesuresBox = nullptr;
    tailleImaBox = nullptr;
    aspectPointBox = nullptr;
    SauveTableauPPBox = nullptr;
    dlgImprimer = nullptr;
    SauveGraphicPPBox = nullptr;
    reinitialiserEtat();
}

#pragma once
// The main window: start-up, layout, pages (modes), timers, resizing and closing. Its
// handlers for each subsystem are defined in that subsystem's folder.
#include "app/controles.h"
#include "app/etat.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>

class QAction;
class QActionGroup;
class QFrame;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QCheckBox;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QGroupBox;
class TMediaPlayer;
class TStringGrid;

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // ---- Main tool bar ----
    QToolBar *ToolBar1;
    QToolButton *bbtnOpenAvi, *bbtnIma, *bbtnCible, *bbtnCurExec, *bbtnCopierMesuresPP,
        *bbtnCopierGraphiquePP, *bbtnEnregistrerMesures, *bbtnImprimer, *BitBtn1, *bbtnQuitter;
    QFrame *Panel7;
    QLabel *Panel7Titre, *lblTaillePoints;
    TUpDown *udTaillePoints;
    QLabel *lblNomAvi;
    QWidget *tbtnPreQuit;

    // ---- Clip side ----
    QSplitter *Splitter1;
    QWidget *pnl1;
    QToolBar *tbCoord;
    QLabel *lblXPixels, *lblYPixels, *lblUPixels, *lblPMetres, *lblXMetres, *lblYMetres,
        *lblUMetres;
    QScrollArea *ScrollBox1;
    QWidget *ScrollBox1Fond; // the scrolled surface pnl1AVI lies on
    QLabel *pnl1AVI;         // clip panel: white frame 4 px around the picture
    TPaintBox *PaintBox1;
    QFrame *indicX1, *indicY1, *indicX2, *indicY2;
    QToolBar *ToolBar2;
    QToolButton *bbtnPlay, *bbtnDeb, *bbtnFin, *bbtnPre, *bbtnSui;
    TMediaPlayer *MediaPlayer1 = nullptr;
    QLabel *lblNoImage1, *lblNoImage2, *lblNoImage3, *lblNoImage4, *lblNoImage5;

    // ---- Pages ----
    QTabWidget *PageControl1;
    QWidget *tsMesures, *tsEtalon, *tsProClip;
    QStatusBar *StatusBar1;
    QTimer *Timer1, *Timer2;

    // ---- Main menu ----
    QMenu *mnuFichiers, *mnuEnregistrerMesures, *mnuCopierPP, *mnuEnregFic, *AccsCurvalis1,
        *mnuClip, *mnuPointages, *mnuFormePointeur, *mnuCouleurPointeur, *mnuTaillePoints,
        *mnuAutomatismes, *mnuConfigurationsrapides, *mnuFondclair, *mnuFondSombre, *Aidde1;
    QAction *mnuChargerAvi, *mnuTableauPP, *mnuGraphiquePP, *mnuAuFormatCW3, *mnuAuFormatCCC,
        *mnuAuFormatTxt, *mnuImprimer, *mnuCurPath, *mnuCurExec, *mnuQuitter, *mnuIma100,
        *mnuImaAdapter, *mnuImaAutre, *mnuGrandeCible, *mnuPetiteCible, *mnuCroix,
        *mnuCouleurNoir, *mnuCouleurBlanc, *mnuTaille1, *mnuTaille2, *mnuTaille3, *mnuTaile4,
        *mnuTaille5, *mnuAutoH, *mnuAutoV, *Aide1, *Aide2, *Aide3, *propos1;
    QList<QAction *> mnuFondclairItems, mnuFondSombreItems; // tags 1..4 and 21..24
    // Actions (the menu items and buttons bound to them share these objects).
    QAction *CurExec, *CurPath, *AutoH, *AutoV, *SaveCW3, *SaveCCC, *SaveTXT;

    // ---- Pop-up menu of the pointing area ----
    QMenu *PopupMenu1;
    QAction *popUpMnuModeAcquerir, *popUpMnuModeEtalonner, *popUpMnuModeProClip,
        *popUpMnuPointeur, *popUpMnuAide;

    // ---- Page tsProClip: clip properties ----
    QScrollArea *ScrollBox3;
    QLabel *lblDurTot, *lblPeriode, *lblFrequence, *lblNbImages, *lblDim, *lblDimL, *lblDimH,
        *lblCodec1, *lblCodec2, *lblCodec3, *lblAdapt, *Image2;

    // ---- Start-up, pages, timers, closing ----
    void FormCreate();
    void FormResize();
    void PageControl1Change();
    void popUpMnuModeAcquerirClick();
    void popUpMnuModeEtalonnerClick();
    void popUpMnuModeProClipClick();
    void mnuQuitterClick();
    void Splitter1Moved();
    void Timer1Timer();
    void Timer2Timer();
    bool FormCloseQuery();
    // Makes a page active without running PageControl1Change (as setting it from code does).
    void activerPage(QWidget *page);
    // Sets the pointer shown over the pointing area and over the clip panel.
    void curseurPaintBox(int slot);
    void reDraw(TMediaPlayer *lecteur, int f);
    bool clipOuvert() const;

    // ---- Clip: opening, properties, navigation (clip/) ----
    void bbtnOpenAviClick();
    void OpenDialog1SelectionChange(const QString &fichier);
    void RAZProClip();
    void affichImage(TMediaPlayer *lecteur, int a);
    void activeBoutons(bool lecture, bool premiere, bool derniere, bool precedente,
                       bool suivante);
    void affichT0();
    void bbtnPlayClick(QObject *sender);
    void MediaPlayer1Notify();
    void FormPaint();

    // ---- Display size (Part of app/, to come) ----
    void bbtnImaClick();
    void mnuIma100Click();
    void mnuImaAdapterClick();

    // ---- Measurement table, pointing, appearance (measure/) ----
    // [measure members]
    TStringGrid *StringGrid0 = nullptr, *StringGrid1 = nullptr, *StringGrid2 = nullptr;
    void ActualGrid();
    bool tableauOccupe();
    void Button2Click();
    void OptTraitt(bool actif);
    void Drawpoints(QImage &canvas);
    void bbtnCibleClick();
    void udTaillePointsClick();
    void mnuPetiteCibleClick(QAction *sender);
    void mnuCouleurNoirClick(QAction *sender);
    void mnuTaille1Click(QAction *sender);
    void mnuFdCl2pointsClick(QAction *sender);

    // ---- Calibration (calibration/) ----
    // [calibration members]
    QRadioButton *rbChxOrig = nullptr, *rbEtalonHori = nullptr, *rbEtalonVert = nullptr,
                 *rbEtalonSimu = nullptr;
    void initEchelle();
    void ImgEtalon(int a, int b, int c);
    void ChxOrigRAZ();
    void etalonHoriRAZ();
    void etalonVertRAZ();
    void etalonSimuRAZ();

    // ---- Export, printing, help (to come) ----
    void mnuTableauPPClick();
    void mnuGraphiquePPClick();
    void bbtnEnregistrerMesuresClick();
    void bbtnImprimerClick();
    void SaveCW3Execute();
    void SaveCCCExecute();
    void SaveTXTExecute();
    void CurPathExecute();
    void CurExecExecute();
    void BitBtn1Click();
    void Aide1Click();
    void Aide2Click();
    void Aide3Click();
    void propos1Click();
    void popUpMnuAideClick();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void construireBarreOutils();
    void construireCoteClip();
    void construirePages();
    void construireMenus();
    void construirePopup();
    void construirePageProClip();
    // Pages filled by their subsystems.
    void construirePageMesures();
    void construirePageEtalon();
    void creerLecteur();

    bool glissement_ = false;
    QPoint departGlissement_;
};

// Routes errors that no handler caught to the platform's error display.
class ApplicationKinemar : public QApplication
{
public:
    ApplicationKinemar(int &argc, char **argv);
    bool notify(QObject *receveur, QEvent *evenement) override;
};

// Shows the text of an uncaught error; the event loop then goes on.
void afficherErreurNonInterceptee(const std::exception &e);

class TdlgPointeur;
class TAboutBox;
class TaccescurBox;
class TFormatTxtBox;
class TsauverMesuresBox;
class TtailleImaBox;
class TaspectPointBox;
class TSauveTableauPPBox;
class TdlgImprimer;
class TSauveGraphicPPBox;

extern TForm1 *Form1;
extern TdlgPointeur *dlgPointeur;
extern TAboutBox *AboutBox;
extern TaccescurBox *accescurBox;
extern TFormatTxtBox *FormatTxtBox;
extern TsauverMesuresBox *sauverMesuresBox;
extern TtailleImaBox *tailleImaBox;
extern TaspectPointBox *aspectPointBox;
extern TSauveTableauPPBox *SauveTableauPPBox;
extern TdlgImprimer *dlgImprimer;
extern TSauveGraphicPPBox *SauveGraphicPPBox;

// Creates the main window and the ten dialogs in their fixed order.
void creerFenetres();
// Destroys them (tests create the windows more than once).
void detruireFenetres();

// Enables or disables a submenu together with its entry in the parent menu.
void activerMenu(QMenu *menu, bool actif);

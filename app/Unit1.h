#pragma once
// The main window: start-up, layout, pages (modes), timers, resizing and closing. Its
// handlers for each subsystem are defined in that subsystem's folder.
#include "app/controles.h"
#include "app/etat.h"

#include <QApplication>
#include <QLabel>
#include <QColor>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <optional>

class DocumentMesure;
struct AspectMesure;
class QAction;
class QActionGroup;
class QFrame;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QKeyEvent;
class QToolBar;
class QToolButton;
class QCheckBox;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QGroupBox;
class TMediaPlayer;
class TStringGrid;
struct InstantaneTableau;
struct Mesure;
struct ReglagesMesure;
struct PlageMesure;
class SessionMesure;

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
        *mnuImaAdapter, *mnuImaAutre, *mnuGrandeCible, *mnuPetiteCible, *mnuCroix, *mnuCouleurNoir,
        *mnuCouleurBlanc, *mnuTaille1, *mnuTaille2, *mnuTaille3, *mnuTaile4, *mnuTaille5, *mnuAutoH,
        *mnuAutoV, *Aide1, *Aide2, *Aide3, *propos1;
    QList<QAction *> mnuFondclairItems, mnuFondSombreItems; // tags 1..4 and 21..24
    // Actions (the menu items and buttons bound to them share these objects).
    QAction *CurExec, *CurPath, *AutoH, *AutoV, *SaveCW3, *SaveCCC, *SaveTXT;

    // ---- Pop-up menu of the pointing area ----
    QMenu *PopupMenu1;
    QAction *popUpMnuModeAcquerir, *popUpMnuModeEtalonner, *popUpMnuModeProClip, *popUpMnuPointeur,
        *popUpMnuAide;

    // ---- Page tsProClip: clip properties ----
    QScrollArea *ScrollBox3;
    QLabel *lblDurTot, *lblPeriode, *lblFrequence, *lblNbImages, *lblDim, *lblDimL, *lblDimH,
        *lblCodec1, *lblCodec2, *lblCodec3, *lblAdapt, *Image2;
    QLabel *lblIlisibles = nullptr; // frames of the open clip that could not be read
    void afficherImagesIlisibles();

    // ---- Start-up, pages, timers, closing ----
    void FormCreate();
    void FormResize();
    // Shows the window maximised at start, its normal size the start-up size.
    void afficherAuDemarrage();
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
    // The slot of the pointer shown over the pointing area; 0 before any was set.
    int slotCurseurPaintBox() const;
    void reDraw(TMediaPlayer *lecteur, int f);
    bool clipOuvert() const;

    // ---- Clip: opening, properties, navigation (clip/) ----
    void bbtnOpenAviClick();
    bool ouvrirClip(const QString &fichier); // false: not opened, the message was shown
    void OpenDialog1SelectionChange(const QString &fichier);
    void RAZProClip();
    void affichImage(TMediaPlayer *lecteur, int a);
    void activeBoutons(bool lecture, bool premiere, bool derniere, bool precedente, bool suivante);
    // The Video menu's stepping commands, and Page Down/Up, Home/End and the arrows anywhere in
    // the window but a text box or the table (which move their own cursor).
    QAction *mnuImagePremiere = nullptr, *mnuImageDerniere = nullptr, *mnuImagePrecedente = nullptr,
            *mnuImageSuivante = nullptr;
    void construireClavierImages();
    bool toucheImages(QKeyEvent *e);
    void affichT0();
    void bbtnPlayClick(QObject *sender);
    void MediaPlayer1Notify();
    void FormPaint();
    // Selects row imageCourante + 1 in StringGrid0 and StringGrid1: the table follows the frame.
    void selectionnerLigneCourante();
    void installerLecteur(TMediaPlayer *lecteur);
    void etatCalibrationOuverture();

    // ---- Display size (app/tailleIma.cpp) ----
    void bbtnImaClick();
    void mnuIma100Click();
    void mnuImaAdapterClick();
    // Lays the picture out at W x H displayed pixels: the clip panel 4 pixels larger on each
    // side, the display rectangle and the pointing area exactly over the picture, the scroll
    // range fitted to the panel.
    void disposerImage(int W, int H);
    // Brings the clip panel to the top-left corner of the clip area, scrolled to its start.
    void placerImageEnHaut();
    // The scrolled surface: the visible area, or the panel's extent where it goes further.
    void ajusterFondScrollBox();
    // Any pointing in the four pairs of columns, hidden ones included.
    bool pointagesDansLaTable();
    // Empties the four pairs of both grids; frame 1 and point 1 become current.
    void effacerPointages();
    // Calibration back to its defaults after a change of display size, read-outs included.
    void razEtalonnageTaille();

    // ---- Measurement table, pointing, appearance (measure/) ----
    // [measure members]
    // Measuring page: decimals strip, table, time origin, clearing buttons, pointing strip.
    QFrame *pnlDecimales = nullptr, *Panel10 = nullptr, *pnlMesures = nullptr, *Panel5 = nullptr,
           *Panel6 = nullptr;
    QLabel *lblCS = nullptr, *lblFmt_xy = nullptr, *Label2 = nullptr, *lblt0 = nullptr,
           *Label3 = nullptr, *Label4 = nullptr, *Panel5Titre = nullptr, *Panel6Titre = nullptr,
           *lblPointNumero = nullptr, *lblPointsPlan = nullptr;
    TUpDown *udFmt_t = nullptr, *udFmt_xy = nullptr, *udt0 = nullptr, *udPointsPlan = nullptr,
            *udPointNumero = nullptr;
    QToolButton *Button0 = nullptr, *Button1 = nullptr, *Button2 = nullptr,
                *bbtnCouleurPoint = nullptr, *bbtnCouleurAxes = nullptr;
    QCheckBox *chkBoxPtDed = nullptr, *chkBoxAxDed = nullptr, *chkBoxAutoH = nullptr,
              *chkBoxAutoV = nullptr;
    // Lays out the table and the pointing controls for a clip just opened (nbImages frames).
    void preparerTableau();
    void StringGrid1DrawCell(class QPainter &canevas, int col, int row, const QRect &rect);
    void StringGrid1Click();
    void Button0Click();
    void Button1Click();
    void udFmt_tClick();
    void udFmt_xyClick();
    void udt0Click();
    void udt0MouseDown();
    void udt0MouseUp();
    void PaintBox1MouseUp(Qt::MouseButton bouton, Qt::KeyboardModifiers mod, int X, int Y);
    void PaintBox1MouseMove(Qt::KeyboardModifiers mod, int X, int Y);
    void tbCoordMouseMove();
    void nbPointsPlan(int n);
    void ChgPointNumero(int p);
    // The current point's number in its colour, on a ground it can be read on.
    void couleurNumeroPoint(const QColor &couleur);
    void udPointsPlanClick();
    void udPointNumeroClick();
    void chkPtDedExecute();
    void chkAxDedExecute();
    void chkBoxAutoHClick();
    void chkBoxAutoVClick();
    void AutoHExecute();
    void AutoVExecute();
    void CouleurAxesExecute();
    void bbtnCouleurPointClick();
    // reDraw of the frame shown, when a clip is open.
    void redessinerImageCourante();
    void connecterPointage();
    TStringGrid *StringGrid0 = nullptr, *StringGrid1 = nullptr, *StringGrid2 = nullptr;
    void ActualGrid();
    bool tableauOccupe();
    // A text written into a pixel cell of the hidden grid: that frame's pointing changes.
    void ecrirePixel(int col, int row, const QString &texte);
    void Button2Click();
    void OptTraitt(bool actif);
    // Axes and markers of every pointed frame. On the picture (no ground given) each line has
    // a thin contrasting outline; on a plain ground, colours that would vanish on it change.
    void Drawpoints(QImage &canvas, const std::optional<QColor> &fond = std::nullopt);
    void bbtnCibleClick();
    void udTaillePointsClick();
    void mnuPetiteCibleClick(QAction *sender);
    void mnuCouleurNoirClick(QAction *sender);
    void mnuTaille1Click(QAction *sender);
    void mnuFdCl2pointsClick(QAction *sender);

    // ---- Calibration (calibration/) ----
    // [calibration members]
    QGroupBox *GroupBox1 = nullptr;
    QFrame *pnlEtalonHori = nullptr, *pnlEtalonVert = nullptr, *pnlEtalonSimu = nullptr,
           *pnlChxOrig = nullptr;
    QLineEdit *edSH = nullptr, *edSV = nullptr, *edSi = nullptr;
    QCheckBox *chkBoxPtH1 = nullptr, *chkBoxPtH2 = nullptr, *chkBoxPtV1 = nullptr,
              *chkBoxPtV2 = nullptr, *chkBoxPt1 = nullptr, *chkBoxPt2 = nullptr;
    QLabel *imgEtalonHori = nullptr, *imgEtalonVert = nullptr, *imgEtalonSimu = nullptr;
    QLabel *lblSHori = nullptr, *lblSVert = nullptr, *lblSHoriTitre = nullptr,
           *lblSVertTitre = nullptr;
    QLabel *lblP1X = nullptr, *lblP1Y = nullptr, *lblP2X = nullptr, *lblP2Y = nullptr;
    QToolBar *tBarOriAxes = nullptr;
    QToolButton *tbXpYp = nullptr, *tbXnYp = nullptr, *tbXpYn = nullptr, *tbXnYN = nullptr;
    void rbEtalonHoriClick();
    void rbEtalonVertClick();
    void rbEtalonSimuClick();
    void rbChxOrigClick();
    void chkBoxPtH1Click();
    void chkBoxPtH2Click();
    void chkBoxPtV1Click();
    void chkBoxPtV2Click();
    void chkBoxPt1Click();
    void chkBoxPt2Click();
    // Key filter of the three length boxes; Key becomes null when the key is dropped.
    void edSHKeyPress(QChar &Key);
    void edSiEnter();
    void edSHChange();
    void edSVChange();
    void edSiChange();
    void edSHExit();
    void edSVExit();
    void edSiExit();
    void MaJlblP();
    void affichSH(long double valeur);
    void affichSV(long double valeur);
    void tbXpYpClick(QToolButton *sender);
    void CursOrig();
    // The two click branches of PaintBox1 (left release inside the frame): the Origin while
    // rbChxOrig is checked, a calibration point while a scale mode is checked.
    void clicOrigine(int X, int Y);
    void clicEtalon(int X, int Y);
    // Rewrites edSi with chiffresXY digits (after a change of the coordinate digits).
    void reecrireEdSi();
    // Places the four tick marks from the calibration points.
    void placerIndicateurs();
    bool edSiReecritHorsMode = false; // edSi's text is being rewritten outside its mode
    QRadioButton *rbChxOrig = nullptr, *rbEtalonHori = nullptr, *rbEtalonVert = nullptr,
                 *rbEtalonSimu = nullptr;
    void initEchelle();
    void ImgEtalon(int a, int b, int c);
    void ChxOrigRAZ();
    void etalonHoriRAZ();
    void etalonVertRAZ();
    void etalonSimuRAZ();

    // ---- Sessions, undo and recovery (measure/echangeMesure.cpp, measure/sessionMesure.cpp) ----
    // The whole measurement taken from the window, and put back; plage says what changed.
    Mesure lireMesure() const;
    ReglagesMesure lireReglages() const;
    void poserMesure(const Mesure &m, const PlageMesure &plage);
    bool ouvrirSession(const QString &fichier); // false: not opened, the message was shown
    SessionMesure *sessionMesure = nullptr;
    // The measurement itself: the pointed positions and their undo history. The grids show it.
    DocumentMesure *document = nullptr;
    // The look of the axes (0) or of point p (1 … 4), a setting of the measurement as it
    // stands; StringGrid2 shows them.
    AspectMesure &aspect(int p);
    void rafraichirTableau(const PlageMesure &plage);
    // The angle column of the table follows the protractor's angles (measure/tableau.cpp).
    void colonneAngle();
    // ---- Magnifier and protractor over the picture (measure/loupe.cpp, measure/rapporteur.cpp) ----
    class TLoupe *loupe = nullptr;
    QMenu *mnuLoupe = nullptr;
    QAction *mnuLoupeAfficher = nullptr;
    void construireLoupe();
    class TRapporteur *rapporteur = nullptr;
    QAction *mnuRapporteur = nullptr, *mnuEnregistrerAngle = nullptr;
    void construireRapporteur();
    // Records the protractor's angle for the frame shown, then moves to the next frame when
    // the automatic vertical advance is on.
    void enregistrerAngleExecute();
    // A position between pixels that the next pointing records instead of the click's pixel
    // (a click in the magnifier).
    std::optional<QPointF> positionFine;
    // ---- Automatic tracking (suivi/) ----
    // The command waits for a box dragged (or a click) on the picture, then follows the
    // object from the frame shown and fills the current point's column.
    QAction *SuiviAuto = nullptr;
    QToolButton *bbtnSuiviAuto = nullptr;
    void construireSuivi();
    void SuiviAutoExecute();
    // Follows the object in the box (displayed pixels) from the frame shown.
    void suivreDepuis(const QRect &boite);

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
    // The table as the exports read it (export/).
    InstantaneTableau instantaneTableau() const;
    // Writes a data file: the exchange file beside the program `cible`, or a file the user
    // chooses when `cible` is empty. False when nothing was written (cancelled or failed).
    bool SaveFormatCur(const QString &cible, const QString &extension);
    void BitBtn1Click();
    void Aide1Click();
    void Aide2Click();
    void Aide3Click();
    void propos1Click();
    void popUpMnuAideClick();
    // Runs at every change of the current hint with its long part (help/).
    void DisplayHint(const QString &texteLong);
    // Opens the help file at a context number.
    void ouvrirAide(int contexte);

    // ---- Graphs and motion analysis (analyse/) ----
    QAction *mnuGraphes = nullptr;
    QToolButton *bbtnGraphes = nullptr;
    class TGrapheBox *GrapheBox = nullptr; // made on first use
    class QDockWidget *dockGraphes = nullptr;
    void construireGraphes();
    void mnuGraphesClick();

signals:
    // The table's positions or their metres changed: one object's pair on one row, every
    // pair of a row (point 0), or everything (ligne 0).
    void tableauModifie(int ligne, int point);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
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

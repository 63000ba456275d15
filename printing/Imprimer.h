#pragma once
// The print dialog: the print scale (typed or on a logarithmic track bar) with the page and
// drawing previews, the colour and grid options, and the print itself.
#include "app/dialogue.h"
#include "printing/page.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSlider;
class TRadioGroup;

// A rectangle of the previews: brush, pen and the way it is painted over what lies beneath.
class TFormeApercu : public QWidget
{
    Q_OBJECT
public:
    // normal paints brush and pen; inverseEt paints not(colour and beneath), as a too-big
    // drawing shows over the page and the dialog face.
    enum class ModeStylo { normal, inverseEt };
    explicit TFormeApercu(QWidget *parent = nullptr);
    QColor Brush() const { return brosse_; }
    QColor Pen() const { return stylo_; }
    ModeStylo Mode() const { return mode_; }
    void definir(const QColor &brosse, const QColor &stylo, ModeStylo mode);
    // The shape this one may lie over (the page under the drawing).
    void setDessous(TFormeApercu *f) { dessous_ = f; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor brosse_ = Qt::white, stylo_ = Qt::black;
    ModeStylo mode_ = ModeStylo::normal;
    TFormeApercu *dessous_ = nullptr;
};

class TdlgImprimer : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TdlgImprimer(QWidget *parent = nullptr);
    ~TdlgImprimer() override;

    QGroupBox *GroupBox1, *gbGrille, *gbPoints;
    QLabel *lblImageXm, *lblImageYm, *lblImageimprimeeX, *lblImageImprimeeY, *lblFormatFeuille;
    QLineEdit *edEch;
    QSlider *TrackBar1;
    TFormeApercu *shpFeuille, *shpDessin;
    TRadioGroup *rbCouleur;
    QCheckBox *chkImpGrille;
    QRadioButton *rbGrilleColor, *rbGrilleGris, *rbImpPoints0, *rbImpPoints1;
    QPushButton *Button1, *Button2;
    // The printer chosen with Button1 (the platform's printer dialog); tests set PDF output.
    QPrinter *imprimante() const { return imprimante_.get(); }

    // State kept between showings.
    int resolX = 0, resolY = 0;                         // dots per inch
    long double largeurFeuille = 0, hauteurFeuille = 0; // printable area, cm
    long double largeurScene = 0, hauteurScene = 0;     // the displayed frame, m
    long double echDefaut = 1;                          // proposed scale, centre of the track bar
    long double largeurDessin = 0, hauteurDessin = 0;   // printed drawing, cm
    long double facteurX = 0, facteurY = 0;             // printer dots per displayed pixel
    QString texteEch;                                   // edEch when the dialog was shown
    bool saisieEch = false;                             // edEch has the focus

    void FormShow() override;
    void AjusteShpFeuille();
    void AjusteShpDessin();
    void edEchKeyPress(QChar &Key);
    void edEchChange();
    void edEchEnter();
    void edEchExit();
    void TrackBar1Change();
    // Prints; the dialog closes only when the page went to the printer.
    void OKBtnClick() override;
    void CancelBtnClick() override;
    void Button1Click();
    void Button2Click();
    void rbGrilleColorClick();
    void rbGrilleGrisClick();
    void chkImpGrilleClick();

    // The last valid print scale of edEch (what the previews show).
    long double echelle() const { return echCourante_; }
    // The page as it prints at scale e, from the main window's measurements and appearance.
    PageImprimee pageCourante(long double e) const;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void done(int r) override;

private:
    // The printed sizes, their labels and the drawing preview, for the scale e.
    void tailleDessin(long double e);
    std::unique_ptr<QPrinter> imprimante_;
    long double echCourante_ = 1;
};

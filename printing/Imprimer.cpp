#include "printing/Imprimer.h"

#include "app/Unit1.h"
#include "app/etat.h"
#include "app/plateforme.h"
#include "measure/document.h"
#include "export/fichiers.h"
#include "calibration/transformation.h"
#include "clip/TMediaPlayer.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/pixels.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace
{

const QColor rouge(255, 0, 0);
const QColor blanc(255, 255, 255);
const QColor noir(0, 0, 0);
const QColor lime(0, 255, 0);
const QColor jaune(255, 255, 0);
const QColor aqua(0, 255, 255);
const QColor gris(128, 128, 128);

QString nombre(long double v)
{
    return texteSci(2, v);
}

int arrondi(long double v)
{
    return std::isfinite(v) ? static_cast<int>(std::nearbyint(v)) : 0;
}

// not(a and b), channel by channel: what a pen in that mode leaves over colour b.
QColor inverseEt(const QColor &a, const QColor &b)
{
    return QColor(255 - (a.red() & b.red()), 255 - (a.green() & b.green()),
                  255 - (a.blue() & b.blue()));
}

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

// Focus and keys of the print-scale box, routed to the dialog's handlers.
class FiltreEch : public QObject
{
public:
    explicit FiltreEch(TdlgImprimer *d) : QObject(d), d_(d) {}

    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        auto *ed = qobject_cast<QLineEdit *>(objet);
        if (!ed) return false;
        switch (evenement->type()) {
        case QEvent::FocusIn:
            d_->edEchEnter();
            break;
        case QEvent::FocusOut: {
            // Another window or a menu taking the focus is not leaving the box.
            const Qt::FocusReason r = static_cast<QFocusEvent *>(evenement)->reason();
            if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) d_->edEchExit();
            break;
        }
        case QEvent::KeyPress:
            return touche(ed, static_cast<QKeyEvent *>(evenement));
        default:
            break;
        }
        return false;
    }

private:
    bool touche(QLineEdit *ed, QKeyEvent *e)
    {
        return filtrerTouche(ed, e, [this](QChar &k) { d_->edEchKeyPress(k); });
    }

    TdlgImprimer *d_;
};

QLabel *valeur(QWidget *parent, const char *nom)
{
    auto *l = nomme(new QLabel(parent), nom);
    l->setLayoutDirection(Qt::LeftToRight);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(60);
    return l;
}

} // namespace

// ---- Preview shapes ----

TFormeApercu::TFormeApercu(QWidget *parent) : QWidget(parent) {}

void TFormeApercu::definir(const QColor &brosse, const QColor &stylo, ModeStylo mode)
{
    brosse_ = brosse;
    stylo_ = stylo;
    mode_ = mode;
    update();
}

void TFormeApercu::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    if (r.isEmpty()) return;
    if (mode_ == ModeStylo::normal) {
        p.fillRect(r, brosse_);
        p.setPen(stylo_);
    } else {
        // Painted colours computed rather than drawn with a raster operation, which a widget
        // grab or an alpha channel would spoil.
        const QColor fond = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                           : palette().color(QPalette::Window);
        p.fillRect(r, inverseEt(brosse_, fond));
        if (dessous_ && dessous_->isVisible()) {
            const QRect sous = dessous_->geometry().translated(-pos()) & r;
            p.fillRect(sous, inverseEt(brosse_, dessous_->Brush()));
        }
        p.setPen(inverseEt(stylo_, fond));
    }
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// ---- Dialog ----

TdlgImprimer::TdlgImprimer(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("dlgImprimer"), QStringLiteral("طباعة"), parent),
      imprimante_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 3, 8, 4);
    page->setSpacing(2);

    // ---- Scale ----
    GroupBox1 = nomme(new QGroupBox(QStringLiteral("السلم"), this), "GroupBox1");
    auto *g = new QGridLayout(GroupBox1);
    g->setContentsMargins(6, 0, 6, 2);
    g->setVerticalSpacing(0);
    lblImageXm = valeur(GroupBox1, "lblImageXm");
    lblImageYm = valeur(GroupBox1, "lblImageYm");
    g->addWidget(new QLabel(QStringLiteral("الأبعاد الحقيقية للصورة"), GroupBox1), 0, 0);
    g->addWidget(lblImageXm, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("x"), GroupBox1), 0, 2);
    g->addWidget(lblImageYm, 0, 3);
    g->addWidget(new QLabel(QStringLiteral("  متر"), GroupBox1), 0, 4);

    edEch = nomme(new QLineEdit(QStringLiteral("1"), GroupBox1), "edEch");
    edEch->setLayoutDirection(Qt::LeftToRight);
    edEch->setFixedWidth(80);
    g->addWidget(new QLabel(QStringLiteral("1cm (الطابعة)  ="), GroupBox1), 1, 0);
    g->addWidget(edEch, 1, 1, 1, 3, Qt::AlignCenter);
    g->addWidget(new QLabel(QStringLiteral("  متر"), GroupBox1), 1, 4);

    TrackBar1 = nomme(new QSlider(Qt::Horizontal, GroupBox1), "TrackBar1");
    TrackBar1->setLayoutDirection(Qt::LeftToRight);
    TrackBar1->setRange(0, 200);
    TrackBar1->setValue(100);
    TrackBar1->setSingleStep(20);
    TrackBar1->setPageStep(20);
    TrackBar1->setTickInterval(20);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    g->addWidget(TrackBar1, 2, 0, 1, 5);

    lblImageimprimeeX = valeur(GroupBox1, "lblImageimprimeeX");
    lblImageImprimeeY = valeur(GroupBox1, "lblImageImprimeeY");
    g->addWidget(new QLabel(QStringLiteral("أبعاد الصورة المطبوعة"), GroupBox1), 3, 0);
    g->addWidget(lblImageimprimeeX, 3, 1);
    g->addWidget(new QLabel(QStringLiteral("x"), GroupBox1), 3, 2);
    g->addWidget(lblImageImprimeeY, 3, 3);
    g->addWidget(new QLabel(QStringLiteral("cm"), GroupBox1), 3, 4);
    page->addWidget(GroupBox1);

    // ---- Previews and colours ----
    auto *milieu = new QHBoxLayout;
    auto *apercu = new QVBoxLayout;
    apercu->setSpacing(0);
    lblFormatFeuille = nomme(new QLabel(this), "lblFormatFeuille");
    lblFormatFeuille->setLayoutDirection(Qt::LeftToRight);
    lblFormatFeuille->setAlignment(Qt::AlignCenter);
    apercu->addWidget(lblFormatFeuille);
    auto *cadre = new QWidget(this);
    cadre->setFixedSize(112, 102);
    shpFeuille = nomme(new TFormeApercu(cadre), "shpFeuille");
    shpFeuille->setGeometry(6, 1, 90, 90);
    shpFeuille->definir(gris, noir, TFormeApercu::ModeStylo::normal);
    shpDessin = nomme(new TFormeApercu(cadre), "shpDessin");
    shpDessin->setGeometry(6, 1, 0, 0);
    shpDessin->setDessous(shpFeuille);
    shpDessin->raise();
    definirHint(
        shpDessin,
        QStringLiteral(": الرسم\rأحمر = كبير جدا \rأصفر = مناسب|منطقة الرسم (أحمر = كبير جدا ، "
                       "إرفع النسبة cm/m ، أصفر = مناسب )"));
    // The hint's lines are joined by CR, which a tool tip shows on one line.
    shpDessin->setToolTip(shpDessin->toolTip().replace(QChar(13), QChar(10)));
    apercu->addWidget(cadre, 0, Qt::AlignCenter);
    milieu->addLayout(apercu);

    rbCouleur = new TRadioGroup(QStringLiteral("ألوان النقاط و المحاور"),
                                {QStringLiteral("نفس ألوان الشاشة"), QStringLiteral("تدرج الرمادي"),
                                 QStringLiteral("أسود و أبيض")},
                                this);
    rbCouleur->setObjectName(QStringLiteral("rbCouleur"));
    rbCouleur->setItemIndex(2);
    milieu->addWidget(rbCouleur, 1);
    page->addLayout(milieu);

    // ---- Grid and points ----
    auto *bas = new QHBoxLayout;
    gbGrille = nomme(new QGroupBox(QStringLiteral("1cm x 1cm  الشبكة"), this), "gbGrille");
    {
        auto *l = new QVBoxLayout(gbGrille);
        l->setContentsMargins(6, 2, 6, 2);
        l->setSpacing(1);
        chkImpGrille = nomme(new QCheckBox(QStringLiteral("طباعة"), gbGrille), "chkImpGrille");
        chkImpGrille->setChecked(true);
        rbGrilleColor =
            nomme(new QRadioButton(QStringLiteral("نفس لون المحاور"), gbGrille), "rbGrilleColor");
        rbGrilleGris = nomme(new QRadioButton(QStringLiteral("رمادي"), gbGrille), "rbGrilleGris");
        rbGrilleGris->setChecked(true);
        l->addWidget(chkImpGrille);
        l->addWidget(rbGrilleColor);
        l->addWidget(rbGrilleGris);
    }
    bas->addWidget(gbGrille, 1);
    gbPoints = nomme(new QGroupBox(this), "gbPoints");
    {
        auto *l = new QVBoxLayout(gbPoints);
        l->setContentsMargins(6, 2, 6, 2);
        l->setSpacing(1);
        rbImpPoints0 =
            nomme(new QRadioButton(QStringLiteral("كل النقاط"), gbPoints), "rbImpPoints0");
        rbImpPoints1 = nomme(new QRadioButton(QStringLiteral("t = 0 النقاط إبتداءا من"), gbPoints),
                             "rbImpPoints1");
        rbImpPoints1->setChecked(true);
        // Offered once the time origin is after the first frame (the table enables them).
        rbImpPoints0->setEnabled(false);
        rbImpPoints1->setEnabled(false);
        l->addStretch();
        l->addWidget(rbImpPoints0);
        l->addWidget(rbImpPoints1);
        l->addStretch();
    }
    bas->addWidget(gbPoints, 1);
    page->addLayout(bas);

    // ---- Buttons ----
    // OK closes only once the page went to the printer, so it is not creerBoutons' pair.
    OKBtn = nomme(new QPushButton(QStringLiteral("طباعة"), this), "OKBtn");
    definirHint(OKBtn, QStringLiteral("طباعة فورية"));
    CancelBtn = nomme(new QPushButton(QStringLiteral("إلغاء"), this), "CancelBtn");
    definirHint(CancelBtn, QStringLiteral("إلغاء تغييرات السلم"));
    Button2 = nomme(new QPushButton(QStringLiteral("في وقت لاحق"), this), "Button2");
    definirHint(Button2, QStringLiteral("تأجيل الطباعة لوقت لاحق"));
    Button1 = nomme(new QPushButton(QStringLiteral("إعداد الطابعة"), this), "Button1");
    for (QPushButton *b : {OKBtn, CancelBtn, Button2, Button1})
        b->setAutoDefault(false);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(Button2);
    boutons->addWidget(CancelBtn);
    boutons->addStretch();
    boutons->addWidget(Button1);
    page->addLayout(boutons);

    connect(OKBtn, &QPushButton::clicked, this, &TdlgImprimer::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] {
        CancelBtnClick();
        QDialog::reject();
    });
    connect(Button1, &QPushButton::clicked, this, &TdlgImprimer::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TdlgImprimer::Button2Click);
    connect(edEch, &QLineEdit::textChanged, this, &TdlgImprimer::edEchChange);
    connect(TrackBar1, &QSlider::valueChanged, this, &TdlgImprimer::TrackBar1Change);
    connect(rbGrilleColor, &QRadioButton::clicked, this, &TdlgImprimer::rbGrilleColorClick);
    connect(rbGrilleGris, &QRadioButton::clicked, this, &TdlgImprimer::rbGrilleGrisClick);
    connect(chkImpGrille, &QCheckBox::toggled, this, &TdlgImprimer::chkImpGrilleClick);
    edEch->installEventFilter(new FiltreEch(this));

    resize(QSize(406, 363).expandedTo(minimumSizeHint()));
}

TdlgImprimer::~TdlgImprimer() = default;

void TdlgImprimer::FormShow()
{
    saisieEch = false;
    resolX = imprimante_->logicalDpiX();
    resolY = imprimante_->logicalDpiY();
    largeurScene = Form1->PaintBox1->width() * std::fabs(echelleH);
    hauteurScene = Form1->PaintBox1->height() * std::fabs(echelleV);
    // The box is valid here: leaving the dialog never keeps an invalid one (see done()).
    if (const auto e = lireEchelleImpression(edEch->text())) echCourante_ = *e;
    largeurDessin = largeurScene / echCourante_;
    hauteurDessin = hauteurScene / echCourante_;
    AjusteShpFeuille();
    AjusteShpDessin();
    if (echelleModifiee) {
        const long double m =
            std::max(largeurScene / largeurFeuille, hauteurScene / hauteurFeuille);
        // No proposal from a zero or unreadable Scale: the flag stays for a later showing.
        if (const auto d = echelleProposee(m)) {
            echDefaut = *d;
            {
                const QSignalBlocker bloque(edEch);
                edEch->setText(nombre(echDefaut));
            }
            // The track bar moves with echDefaut even when the text is already that one.
            edEchChange();
            echelleModifiee = false;
        }
    }
    lblImageXm->setText(nombre(largeurScene));
    lblImageYm->setText(nombre(hauteurScene));
    lblImageimprimeeX->setText(nombre(largeurDessin));
    lblImageImprimeeY->setText(nombre(hauteurDessin));
    texteEch = edEch->text();
}

void TdlgImprimer::AjusteShpFeuille()
{
    const QRect r = imprimante_->pageLayout().paintRectPixels(imprimante_->resolution());
    largeurFeuille = resolX > 0 ? r.width() / static_cast<long double>(resolX) * 2.54L : 0;
    hauteurFeuille = resolY > 0 ? r.height() / static_cast<long double>(resolY) * 2.54L : 0;
    lblFormatFeuille->setText(
        formateReel(QStringLiteral("##.0"), largeurFeuille) + QStringLiteral("x") +
        formateReel(QStringLiteral("##.0"), hauteurFeuille) + QStringLiteral("cm"));
    if (r.width() > r.height())
        shpFeuille->resize(90, arrondi(r.height() * 90.0L / r.width()));
    else if (r.height() > 0)
        shpFeuille->resize(arrondi(r.width() * 90.0L / r.height()), 90);
    else
        shpFeuille->resize(90, 90);
}

void TdlgImprimer::AjusteShpDessin()
{
    int l, h;
    if (largeurDessin <= largeurFeuille && hauteurDessin <= hauteurFeuille) {
        l = arrondi(shpFeuille->width() * largeurDessin / largeurFeuille);
        h = arrondi(shpFeuille->height() * hauteurDessin / hauteurFeuille);
        shpDessin->definir(jaune, noir, TFormeApercu::ModeStylo::normal);
    } else {
        // Too big: ten pixels past the page on the side that overflows most, in proportion.
        if (largeurDessin <= largeurFeuille) {
            h = shpFeuille->height() + 10;
            l = arrondi(h * largeurDessin / hauteurDessin);
        } else {
            l = shpFeuille->width() + 10;
            h = arrondi(l * hauteurDessin / largeurDessin);
        }
        shpDessin->definir(aqua, rouge, TFormeApercu::ModeStylo::inverseEt);
    }
    shpDessin->resize(std::max(l, 0), std::max(h, 0));
}

void TdlgImprimer::edEchKeyPress(QChar &Key)
{
    Key = filtreToucheEtalon(Key, separateurDecimal());
}

void TdlgImprimer::edEchChange()
{
    const QString texte = edEch->text();
    if (texte.isEmpty()) return;
    QPalette p = edEch->palette();
    const auto e = lireEchelleImpression(texte);
    if (!e) {
        OKBtn->setEnabled(false);
        p.setColor(QPalette::Base, rouge);
        p.setColor(QPalette::Text, blanc);
        edEch->setPalette(p);
        return;
    }
    OKBtn->setEnabled(true);
    p.setColor(QPalette::Base, lime);
    p.setColor(QPalette::Text, noir);
    edEch->setPalette(p);
    echCourante_ = *e;
    {
        // The track bar follows the box without writing back into it: a typed or restored
        // scale stays as it is, not rounded to the bar's steps.
        const QSignalBlocker bloque(TrackBar1);
        TrackBar1->setValue(positionPiste(*e, echDefaut));
    }
    tailleDessin(*e);
}

void TdlgImprimer::tailleDessin(long double e)
{
    largeurDessin = largeurScene / e;
    hauteurDessin = hauteurScene / e;
    lblImageimprimeeX->setText(nombre(largeurDessin));
    lblImageImprimeeY->setText(nombre(hauteurDessin));
    AjusteShpDessin();
}

void TdlgImprimer::edEchEnter()
{
    saisieEch = true;
}

void TdlgImprimer::edEchExit()
{
    saisieEch = false;
}

void TdlgImprimer::TrackBar1Change()
{
    if (saisieEch) return;
    edEch->setText(nombre(echelleDePiste(TrackBar1->value(), echDefaut)));
}

PageImprimee TdlgImprimer::pageCourante(long double e) const
{
    PageImprimee p;
    p.resolX = resolX;
    p.resolY = resolY;
    p.page = imprimante_->pageLayout().paintRectPixels(imprimante_->resolution()).size();
    p.echelleH = echelleH;
    p.echelleV = echelleV;
    p.ech = e;
    p.largeurAffichee = largeurAffichee;
    p.hauteurAffichee = hauteurAffichee;
    p.origineX = origineX;
    p.origineY = origineY;
    p.sensX = sensX;
    p.sensY = sensY;
    p.angleAxes = angleAxes;
    p.taillePoints = taillePoints;
    const TStringGrid *pixels = Form1->StringGrid0;
    const DocumentMesure &document = *Form1->document;
    const auto &apparence = document.reglages().aspects;
    p.axes = apparence[0].trace;
    p.couleurAxes = apparence[0].couleur;
    p.mode = static_cast<ModeCouleur>(std::clamp(rbCouleur->ItemIndex(), 0, 2));
    p.grille = chkImpGrille->isChecked();
    p.grilleCouleurAxes = rbGrilleColor->isChecked();

    const int premiere = rbImpPoints1->isChecked() ? Form1->udt0->Position() - 1 : 0;
    const int derniere = std::min(nbImages, pixels->RowCount() - 1) - 1;
    const int n = std::min(Form1->udPointsPlan->Position(), (pixels->ColCount() - 1) / 2);
    for (int f = std::max(premiere, 0); f <= derniere; ++f)
        for (int q = 1; q <= n; ++q) {
            const AspectMesure &a = apparence[std::size_t(q)];
            if (!a.trace) continue;
            const auto pos = document.position(q - 1, f);
            if (!pos) continue;
            p.marques.push_back({pos->x(), pos->y(), a.couleur, a.forme});
        }
    return p;
}

void TdlgImprimer::OKBtnClick()
{
    // The box is valid (OK is disabled otherwise) or empty, which changed nothing.
    const long double e = echCourante_;
    const bool pdf = imprimante_->outputFormat() == QPrinter::PdfFormat;
    if (pdf && imprimante_->outputFileName().isEmpty()) {
        // No printer on this computer and no file chosen yet: ask where the PDF goes.
        DialogueFichier d;
        d.titre = QStringLiteral("طباعة");
        d.filtre = QStringLiteral("PDF (*.pdf)");
        d.extensionDefaut = QStringLiteral("pdf");
        d.confirmerEcrasement = true;
        const QString fichier = plateforme().fichierAEnregistrer(d);
        if (fichier.isEmpty()) return;
        imprimante_->setOutputFileName(fichier);
    }
    // What a PDF reader shows as the document's title and maker.
    imprimante_->setCreator(QStringLiteral("Kinemar"));
    imprimante_->setDocName(Form1->clipOuvert()
                                ? QStringLiteral("Kinemar - ") +
                                      QFileInfo(Form1->MediaPlayer1->FileName()).fileName()
                                : QStringLiteral("Kinemar"));
    // A PDF is drawn in a folder of its own, then put in place by the one writer: a full disk
    // is told and leaves a PDF of the same name as it was.
    const QString fichierPdf = pdf ? imprimante_->outputFileName() : QString();
    QTemporaryDir brouillon;
    const bool aCote = pdf && brouillon.isValid();
    if (aCote) imprimante_->setOutputFileName(brouillon.filePath(QStringLiteral("page.pdf")));
    const auto remettre = [&] {
        if (aCote) imprimante_->setOutputFileName(fichierPdf);
    };
    QPainter canevas;
    if (!canevas.begin(imprimante_.get())) {
        remettre();
        const QString cible = pdf ? imprimante_->outputFileName() : imprimante_->printerName();
        QString texte = QStringLiteral("تعذر بدء الطباعة") + QChar(13);
        if (!cible.isEmpty()) texte += cible + QChar(13);
        texte += QStringLiteral("إختر الطابعة أو الملف بالزر \"إعداد الطابعة\"");
        plateforme().message(TypeMessage::Erreur, texte, Boutons::Ok);
        return;
    }
    // The printer in use decides the dots, whatever was read when the dialog opened.
    resolX = canevas.device()->logicalDpiX();
    resolY = canevas.device()->logicalDpiY();
    const PageImprimee page = pageCourante(e);
    facteurX = page.facteurX();
    facteurY = page.facteurY();
    dessinePage(canevas, page);
    const bool fini = canevas.end();
    remettre();
    if (fini && aCote) {
        QFile dessin(brouillon.filePath(QStringLiteral("page.pdf")));
        const std::optional<QString> raison = dessin.open(QIODevice::ReadOnly)
                                                  ? ecrireFichier(fichierPdf, dessin.readAll())
                                                  : std::optional<QString>(dessin.errorString());
        if (raison) {
            plateforme().message(TypeMessage::Erreur, texteErreurEcriture(fichierPdf, *raison),
                                 Boutons::Ok);
            return;
        }
    }
    if (!fini) {
        plateforme().message(TypeMessage::Erreur,
                             QStringLiteral("تعذر إتمام الطباعة") + QChar(13) +
                                 imprimante_->outputFileName(),
                             Boutons::Ok);
        return;
    }
    accept();
}

void TdlgImprimer::CancelBtnClick()
{
    edEch->setText(texteEch);
}

void TdlgImprimer::Button1Click()
{
    if (!plateforme().configurerImprimante(imprimante_.get())) return;
    resolX = imprimante_->logicalDpiX();
    resolY = imprimante_->logicalDpiY();
    AjusteShpFeuille();
    AjusteShpDessin();
}

void TdlgImprimer::Button2Click()
{
    // "Later": closes without Cancel's undo, the new scale is kept for the next showing.
    QDialog::reject();
}

void TdlgImprimer::rbGrilleColorClick()
{
    rbGrilleGris->setChecked(!rbGrilleColor->isChecked());
}

void TdlgImprimer::rbGrilleGrisClick()
{
    rbGrilleColor->setChecked(!rbGrilleGris->isChecked());
}

void TdlgImprimer::chkImpGrilleClick()
{
    rbGrilleColor->setEnabled(chkImpGrille->isChecked());
    rbGrilleGris->setEnabled(chkImpGrille->isChecked());
}

void TdlgImprimer::keyPressEvent(QKeyEvent *e)
{
    // Escape is the Cancel button: the scale edits are undone.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        CancelBtn->click();
        return;
    }
    TDialogueKinemar::keyPressEvent(e);
}

void TdlgImprimer::done(int r)
{
    // However the dialog closes ("later", the title bar), an unreadable or empty box is not
    // kept: the next showing reads it.
    if (!lireEchelleImpression(edEch->text())) edEch->setText(texteEch);
    TDialogueKinemar::done(r);
}

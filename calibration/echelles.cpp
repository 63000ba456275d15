// Scales: the settings page, the three scale modes, the length boxes and the calibration
// clicks.
#include "app/Unit1.h"

#include "app/curseurs.h"
#include "measure/erreurs.h"
#include "app/plateforme.h"
#include "calibration/images_etalon.h"
#include "calibration/transformation.h"
#include "measure/Nbreels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSignalBlocker>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

namespace
{

const QColor lime(0, 255, 0);
const QColor marron(128, 0, 0);
const QColor gris(128, 128, 128);
const QColor sarcelle(0, 128, 128);
const QColor aqua(0, 255, 255);
const QColor rouge(255, 0, 0);
const QColor bleu(0, 0, 255);
const QColor blanc(255, 255, 255);
const QColor noir(0, 0, 0);

// "?" "?!" kept apart: joined they would read as a trigraph.
const QString erreurEchelle = QStringLiteral("erreur ?"
                                             "?!");

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

// A radio button of the calibration group. Clicking the checked one keeps it checked, as a
// radio button does, yet the program may uncheck any of them (leaving the settings page
// unchecks all four), which an exclusive group would refuse.
class TRadioEtalon : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override
    {
        if (!isChecked()) setChecked(true);
    }
};

void colorer(QWidget *w, const QColor &fond, const QColor &texte)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, fond);
    p.setColor(QPalette::WindowText, texte);
    p.setColor(QPalette::ButtonText, texte);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void couleursSaisie(QLineEdit *ed, const QColor &fond, const QColor &texte = QColor())
{
    QPalette p = ed->palette();
    p.setColor(QPalette::Base, fond);
    if (texte.isValid()) p.setColor(QPalette::Text, texte);
    ed->setPalette(p);
}

// Text colour of an enabled label only, so that a disabled one still looks disabled.
void encre(QLabel *l, const QColor &c)
{
    QPalette p = l->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, c);
    p.setColor(QPalette::Inactive, QPalette::WindowText, c);
    l->setPalette(p);
}

bool estRouge(const QLineEdit *ed)
{
    return ed->palette().color(QPalette::Base) == rouge;
}

QString format(long double v)
{
    return texteSci(chiffresXY - 1, v);
}

void signalerErreurConversion(const QString &texte)
{
    afficherErreurNonInterceptee(ErreurKinemar(texteErreurConversion(texte)));
}

// The focus and key events of the three length boxes, routed to the window's handlers.
class FiltreSaisieEtalon : public QObject
{
public:
    explicit FiltreSaisieEtalon(TForm1 *form) : QObject(form), form_(form) {}

    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        auto *ed = qobject_cast<QLineEdit *>(objet);
        if (!ed) return false;
        switch (evenement->type()) {
        case QEvent::KeyPress:
            return touche(ed, static_cast<QKeyEvent *>(evenement));
        case QEvent::FocusIn:
            form_->edSiEnter();
            break;
        case QEvent::FocusOut: {
            // Another window or a menu taking the focus is not leaving the box.
            const Qt::FocusReason r = static_cast<QFocusEvent *>(evenement)->reason();
            if (r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason) break;
            if (ed == form_->edSH)
                form_->edSHExit();
            else if (ed == form_->edSV)
                form_->edSVExit();
            else if (ed == form_->edSi)
                form_->edSiExit();
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    bool touche(QLineEdit *ed, QKeyEvent *e)
    {
        return filtrerTouche(ed, e, [this](QChar &k) { form_->edSHKeyPress(k); });
    }

    TForm1 *form_;
};

QFrame *panneau(QWidget *parent, const char *nom, const QColor &fond, const QColor &texte)
{
    auto *f = nomme(new QFrame(parent), nom);
    f->setFrameShape(QFrame::StyledPanel);
    colorer(f, fond, texte);
    return f;
}

// One scale mode: the radio button above, then picture, point boxes, length box and unit,
// so that the whole caption fits the narrow page beside a large clip.
void ligneMode(QFrame *pnl, QRadioButton *rb, QLabel *img, QCheckBox *c1, QCheckBox *c2,
               QLineEdit *ed)
{
    auto *colonne = new QVBoxLayout(pnl);
    colonne->setContentsMargins(4, 2, 4, 2);
    colonne->setSpacing(1);
    colonne->addWidget(rb);
    auto *l = new QHBoxLayout;
    colonne->addLayout(l);
    img->setFixedSize(72, 40);
    l->addWidget(img);
    auto *points = new QVBoxLayout;
    points->setSpacing(0);
    points->addWidget(c1);
    points->addWidget(c2);
    l->addLayout(points);
    l->addStretch();
    // Room for the longest length the coordinate digits give, sign and blank included.
    QStyleOptionFrame option;
    option.initFrom(ed);
    const int texte = ed->fontMetrics().horizontalAdvance(QStringLiteral("-8.8888E-88"));
    ed->setFixedWidth(ed->style()
                          ->sizeFromContents(QStyle::CT_LineEdit, &option,
                                             QSize(texte + 4 + 2 * ed->textMargins().left(), 0), ed)
                          .width());
    l->addWidget(ed);
    l->addWidget(new QLabel(QStringLiteral("m"), pnl));
}

} // namespace

void TForm1::construirePageEtalon()
{
    auto *page = new QVBoxLayout(tsEtalon);
    GroupBox1 = nomme(new QGroupBox(QStringLiteral("السلالم"), tsEtalon), "GroupBox1");
    page->addWidget(GroupBox1);
    page->addStretch();
    auto *groupe = new QVBoxLayout(GroupBox1);
    groupe->setSpacing(3);

    const QString point1 = QStringLiteral("النقطة الأولى");
    const QString point2 = QStringLiteral("النقطة الثانية");
    auto radio = [](QWidget *parent, const char *nom, const QString &texte) {
        auto *rb = nomme(new TRadioEtalon(texte, parent), nom);
        rb->setAutoExclusive(false);
        rb->setEnabled(false);
        return static_cast<QRadioButton *>(rb);
    };
    auto caseACocher = [](QWidget *parent, const char *nom, const QString &texte) {
        auto *c = nomme(new QCheckBox(texte, parent), nom);
        c->setEnabled(false);
        return c;
    };
    auto saisie = [](QWidget *parent, const char *nom) {
        auto *ed = nomme(new QLineEdit(parent), nom);
        ed->setLayoutDirection(Qt::LeftToRight);
        ed->setEnabled(false);
        return ed;
    };

    pnlEtalonHori = panneau(GroupBox1, "pnlEtalonHori", sarcelle, Qt::yellow);
    rbEtalonHori = radio(pnlEtalonHori, "rbEtalonHori", QStringLiteral("السلم الأفقي"));
    imgEtalonHori = nomme(new QLabel(pnlEtalonHori), "imgEtalonHori");
    chkBoxPtH1 = caseACocher(pnlEtalonHori, "chkBoxPtH1", point1);
    chkBoxPtH2 = caseACocher(pnlEtalonHori, "chkBoxPtH2", point2);
    edSH = saisie(pnlEtalonHori, "edSH");
    ligneMode(pnlEtalonHori, rbEtalonHori, imgEtalonHori, chkBoxPtH1, chkBoxPtH2, edSH);

    pnlEtalonVert = panneau(GroupBox1, "pnlEtalonVert", sarcelle, aqua);
    rbEtalonVert = radio(pnlEtalonVert, "rbEtalonVert", QStringLiteral("السلم الشاقولي"));
    imgEtalonVert = nomme(new QLabel(pnlEtalonVert), "imgEtalonVert");
    chkBoxPtV1 = caseACocher(pnlEtalonVert, "chkBoxPtV1", point1);
    chkBoxPtV2 = caseACocher(pnlEtalonVert, "chkBoxPtV2", point2);
    edSV = saisie(pnlEtalonVert, "edSV");
    ligneMode(pnlEtalonVert, rbEtalonVert, imgEtalonVert, chkBoxPtV1, chkBoxPtV2, edSV);

    pnlEtalonSimu = panneau(GroupBox1, "pnlEtalonSimu", gris, blanc);
    rbEtalonSimu = radio(pnlEtalonSimu, "rbEtalonSimu", QStringLiteral("السلمان متماثلان"));
    imgEtalonSimu = nomme(new QLabel(pnlEtalonSimu), "imgEtalonSimu");
    chkBoxPt1 = caseACocher(pnlEtalonSimu, "chkBoxPt1", point1);
    chkBoxPt2 = caseACocher(pnlEtalonSimu, "chkBoxPt2", point2);
    edSi = saisie(pnlEtalonSimu, "edSi");
    ligneMode(pnlEtalonSimu, rbEtalonSimu, imgEtalonSimu, chkBoxPt1, chkBoxPt2, edSi);

    couleursSaisie(edSH, lime, marron);
    couleursSaisie(edSV, lime, marron);
    couleursSaisie(edSi, gris, gris);
    // The texts the reset writes with the default 3 digits, so that the first reset finds
    // them already there and the boxes keep their initial look.
    edSH->setText(texteSci(2, 1.0L));
    edSV->setText(texteSci(2, 1.0L));
    edSi->setText(texteSci(2, std::sqrt(2.0L)));

    // Origin and axes.
    pnlChxOrig = panneau(GroupBox1, "pnlChxOrig", GroupBox1->palette().color(QPalette::Window),
                         GroupBox1->palette().color(QPalette::WindowText));
    {
        auto *l = new QHBoxLayout(pnlChxOrig);
        l->setContentsMargins(4, 2, 4, 2);
        rbChxOrig = radio(pnlChxOrig, "rbChxOrig", QString());
        // No caption: keep the button to its indicator so that a click anywhere on it counts.
        rbChxOrig->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        definirHint(rbChxOrig, QStringLiteral("مبدأ المعلم و إتجاهات المحاور|تحديد مبدأ المحاور "));
        l->addWidget(rbChxOrig);
        auto *textes = new QVBoxLayout;
        textes->setSpacing(0);
        textes->addWidget(new QLabel(QStringLiteral("محاور"), pnlChxOrig));
        textes->addWidget(new QLabel(QStringLiteral("مبدأ و إتجاهات"), pnlChxOrig));
        l->addLayout(textes);
        tBarOriAxes = nomme(new QToolBar(pnlChxOrig), "tBarOriAxes");
        tBarOriAxes->setLayoutDirection(Qt::LeftToRight);
        tBarOriAxes->setIconSize(QSize(24, 24));
        definirHint(tBarOriAxes, QStringLiteral("إختيار إتجاهات المحاور|إختيار إتجاهات المحاور"));
        auto *axes = new QButtonGroup(tBarOriAxes);
        axes->setExclusive(true);
        const char *noms[] = {"tbXpYp", "tbXnYp", "tbXpYn", "tbXnYN"};
        QToolButton *boutons[4];
        for (int i = 0; i < 4; ++i) {
            auto *b = nomme(new QToolButton(tBarOriAxes), noms[i]);
            b->setProperty("ImageIndex", i);
            b->setIcon(QIcon(imageAxes(i)));
            b->setCheckable(true);
            b->setEnabled(false);
            axes->addButton(b);
            tBarOriAxes->addWidget(b);
            connect(b, &QToolButton::clicked, this, [this, b] { tbXpYpClick(b); });
            boutons[i] = b;
        }
        tbXpYp = boutons[0];
        tbXnYp = boutons[1];
        tbXpYn = boutons[2];
        tbXnYN = boutons[3];
        tbXpYp->setChecked(true);
        tBarOriAxes->setEnabled(false);
        l->addStretch();
        l->addWidget(tBarOriAxes);
    }

    groupe->addWidget(pnlEtalonHori);
    groupe->addWidget(pnlEtalonVert);
    groupe->addWidget(pnlEtalonSimu);
    groupe->addWidget(pnlChxOrig);

    // Sensitivities, in the colours of their modes.
    auto sensibilite = [this](const char *nomTitre, const QString &titre, const char *nom,
                              const QColor &texte) {
        auto *f = new QFrame(GroupBox1);
        colorer(f, sarcelle, texte);
        auto *l = new QHBoxLayout(f);
        l->setContentsMargins(4, 1, 4, 1);
        auto *t = nomme(new QLabel(titre, f), nomTitre);
        auto *v = nomme(new QLabel(f), nom);
        v->setLayoutDirection(Qt::LeftToRight);
        l->addWidget(t);
        l->addWidget(v);
        l->addStretch();
        GroupBox1->layout()->addWidget(f);
        return std::pair(t, v);
    };
    std::tie(lblSHoriTitre, lblSHori) =
        sensibilite("lblSHoriTitre", QStringLiteral(": الحساسية الأفقية"), "lblSHori", Qt::yellow);
    std::tie(lblSVertTitre, lblSVert) =
        sensibilite("lblSVertTitre", QStringLiteral(": الحساسية الشاقولية"), "lblSVert", aqua);

    // Pixel coordinates of the two points, point 1 in red and point 2 in blue.
    {
        auto *f = new QWidget(GroupBox1);
        auto *l = new QHBoxLayout(f);
        l->setContentsMargins(4, 1, 4, 1);
        lblP1X = nomme(new QLabel(f), "lblP1X");
        lblP1Y = nomme(new QLabel(f), "lblP1Y");
        lblP2X = nomme(new QLabel(f), "lblP2X");
        lblP2Y = nomme(new QLabel(f), "lblP2Y");
        for (QLabel *p : {lblP1X, lblP1Y})
            encre(p, rouge);
        for (QLabel *p : {lblP2X, lblP2Y})
            encre(p, bleu);
        for (QLabel *p : {lblP1X, lblP1Y, lblP2X, lblP2Y}) {
            p->setLayoutDirection(Qt::LeftToRight);
            p->setEnabled(false);
            l->addWidget(p);
        }
        l->addStretch();
        GroupBox1->layout()->addWidget(f);
    }

    // Handlers. The radio buttons exclude one another by hand (see TRadioEtalon).
    const QList<QRadioButton *> modes{rbEtalonHori, rbEtalonVert, rbEtalonSimu, rbChxOrig};
    const QList<void (TForm1::*)()> entrees{&TForm1::rbEtalonHoriClick, &TForm1::rbEtalonVertClick,
                                            &TForm1::rbEtalonSimuClick, &TForm1::rbChxOrigClick};
    for (int i = 0; i < modes.size(); ++i) {
        QRadioButton *rb = modes[i];
        auto entree = entrees[i];
        connect(rb, &QRadioButton::toggled, this, [this, rb, modes, entree](bool coche) {
            if (!coche) return;
            for (QRadioButton *autre : modes)
                if (autre != rb) autre->setChecked(false);
            (this->*entree)();
        });
    }
    connect(chkBoxPtH1, &QCheckBox::toggled, this, &TForm1::chkBoxPtH1Click);
    connect(chkBoxPtH2, &QCheckBox::toggled, this, &TForm1::chkBoxPtH2Click);
    connect(chkBoxPtV1, &QCheckBox::toggled, this, &TForm1::chkBoxPtV1Click);
    connect(chkBoxPtV2, &QCheckBox::toggled, this, &TForm1::chkBoxPtV2Click);
    connect(chkBoxPt1, &QCheckBox::toggled, this, &TForm1::chkBoxPt1Click);
    connect(chkBoxPt2, &QCheckBox::toggled, this, &TForm1::chkBoxPt2Click);
    connect(edSH, &QLineEdit::textChanged, this, &TForm1::edSHChange);
    connect(edSV, &QLineEdit::textChanged, this, &TForm1::edSVChange);
    connect(edSi, &QLineEdit::textChanged, this, &TForm1::edSiChange);
    auto *filtre = new FiltreSaisieEtalon(this);
    for (QLineEdit *ed : {edSH, edSV, edSi})
        ed->installEventFilter(filtre);
}

// ---- Reset and read-outs ----

void TForm1::initEchelle()
{
    etalonP1 = QPoint(1, 1);
    etalonP2 = QPoint(2, 2);
    echelleH = 1.0L;
    echelleV = 1.0L;
    placerIndicateurs();
    edSH->setText(format(1.0L));
    edSV->setText(format(1.0L));
    edSi->setText(format(std::sqrt(2.0L)));
    // Whatever the change handlers made of those texts, the reset leaves 1 m per pixel.
    echelleH = 1.0L;
    echelleV = 1.0L;
    lblXMetres->setText(QStringLiteral("x= ") + format(0));
    lblYMetres->setText(QStringLiteral("y= ") + format(0));
    affichSH(1.0L);
    affichSV(1.0L);
    // A new clip starts without calibration points: no box ticked, no point read-out.
    for (QCheckBox *c : {chkBoxPtH1, chkBoxPtH2, chkBoxPtV1, chkBoxPtV2, chkBoxPt1, chkBoxPt2}) {
        const QSignalBlocker silence(c);
        c->setChecked(false);
    }
    for (QLabel *l : {lblP1X, lblP1Y, lblP2X, lblP2Y}) {
        l->clear();
        l->setEnabled(false);
    }
    ActualGrid();
}

void TForm1::placerIndicateurs()
{
    // PaintBox1 lies at (4, 4) in pnl1AVI: + 3 centres the 3-pixel tick on the point.
    indicX1->move(etalonP1.x() + 3, 1);
    indicX2->move(etalonP2.x() + 3, 1);
    indicY1->move(1, etalonP1.y() + 3);
    indicY2->move(1, etalonP2.y() + 3);
}

void TForm1::MaJlblP()
{
    // Along the axes as they stand (turned, when tilted), to the nearest pixel.
    const QPoint p1 = pixelsRelatifs(etalonP1), p2 = pixelsRelatifs(etalonP2);
    lblP1X->setText(QStringLiteral("pX= ") + QString::number(p1.x()));
    lblP1Y->setText(QStringLiteral("pY= ") + QString::number(p1.y()));
    lblP2X->setText(QStringLiteral("pX= ") + QString::number(p2.x()));
    lblP2Y->setText(QStringLiteral("pY= ") + QString::number(p2.y()));
}

void TForm1::affichSH(long double valeur)
{
    lblSHori->setText(format(valeur) + QStringLiteral(" m / pxl"));
}

void TForm1::affichSV(long double valeur)
{
    lblSVert->setText(format(valeur) + QStringLiteral(" m / pxl"));
}

void TForm1::ImgEtalon(int a, int b, int c)
{
    imgEtalonHori->setPixmap(imageEtalon(a));
    imgEtalonVert->setPixmap(imageEtalon(b));
    imgEtalonSimu->setPixmap(imageEtalon(c));
    for (QLabel *img : {imgEtalonHori, imgEtalonVert, imgEtalonSimu})
        img->update();
}

void TForm1::etalonHoriRAZ()
{
    chkBoxPtH1->setEnabled(false);
    chkBoxPtH2->setEnabled(false);
    edSH->setEnabled(false);
}

void TForm1::etalonVertRAZ()
{
    chkBoxPtV1->setEnabled(false);
    chkBoxPtV2->setEnabled(false);
    edSV->setEnabled(false);
}

void TForm1::etalonSimuRAZ()
{
    chkBoxPt1->setEnabled(false);
    chkBoxPt2->setEnabled(false);
    edSi->setEnabled(false);
}

// ---- Entering a scale mode ----

void TForm1::rbEtalonHoriClick()
{
    ChxOrigRAZ();
    etalonVertRAZ();
    etalonSimuRAZ();
    chkBoxPtH1->setEnabled(true);
    chkBoxPtH2->setEnabled(true);
    chkBoxPtH2->setChecked(true);
    chkBoxPtH1->setChecked(true);
    ImgEtalon(1, 2, 4);
    edSH->setEnabled(etalonP1.x() != etalonP2.x());
    couleursSaisie(edSH, lime, marron);
    couleursSaisie(edSV, lime);
    couleursSaisie(edSi, gris, gris);
    indicX1->show();
    indicX2->show();
    indicY1->hide();
    indicY2->hide();
    lblP1X->setEnabled(true);
    lblP2X->setEnabled(true);
    lblP1Y->setEnabled(false);
    lblP2Y->setEnabled(false);
    saisieEtalon = false;
    edSH->setText(format(std::abs(etalonP2.x() - etalonP1.x()) * echelleH));
    edSV->setText(format(std::abs(etalonP2.y() - etalonP1.y()) * echelleV));
    // Saved once the box shows the current calibration, so that putting it back restores
    // the Scale in force rather than an older one.
    texteSH = edSH->text();
    ActualGrid();
}

void TForm1::rbEtalonVertClick()
{
    ChxOrigRAZ();
    etalonHoriRAZ();
    etalonSimuRAZ();
    chkBoxPtV1->setEnabled(true);
    chkBoxPtV2->setEnabled(true);
    chkBoxPtV2->setChecked(true);
    chkBoxPtV1->setChecked(true);
    ImgEtalon(0, 3, 4);
    edSV->setEnabled(etalonP1.y() != etalonP2.y());
    couleursSaisie(edSV, lime, marron);
    couleursSaisie(edSH, lime);
    couleursSaisie(edSi, gris, gris);
    indicY1->show();
    indicY2->show();
    indicX1->hide();
    indicX2->hide();
    lblP1Y->setEnabled(true);
    lblP2Y->setEnabled(true);
    lblP1X->setEnabled(false);
    lblP2X->setEnabled(false);
    saisieEtalon = false;
    edSH->setText(format(std::abs(etalonP2.x() - etalonP1.x()) * echelleH));
    edSV->setText(format(std::abs(etalonP2.y() - etalonP1.y()) * echelleV));
    texteSV = edSV->text();
    ActualGrid();
}

void TForm1::rbEtalonSimuClick()
{
    ChxOrigRAZ();
    etalonHoriRAZ();
    etalonVertRAZ();
    chkBoxPt1->setEnabled(true);
    chkBoxPt2->setEnabled(true);
    chkBoxPt2->setChecked(true);
    chkBoxPt1->setChecked(true);
    ImgEtalon(0, 2, 5);
    edSi->setEnabled(true);
    couleursSaisie(edSi, lime, marron);
    couleursSaisie(edSH, gris, gris);
    couleursSaisie(edSV, gris, gris);
    for (QFrame *f : {indicX1, indicX2, indicY1, indicY2})
        f->show();
    for (QLabel *l : {lblP1X, lblP1Y, lblP2X, lblP2Y})
        l->setEnabled(true);
    saisieEtalon = false;
    // The straight length the current Scales give; its change handler derives the common
    // Scale from the horizontal and vertical lengths.
    const long double dx = (long double)etalonP2.x() - etalonP1.x();
    const long double dy = (long double)etalonP2.y() - etalonP1.y();
    edSi->setText(format(std::sqrt(dx * echelleH * dx * echelleH + dy * echelleV * dy * echelleV)));
    texteSi = edSi->text();
    ActualGrid();
}

// ---- Choosing the point to move ----

namespace
{

void pointChoisi(TForm1 *f, QCheckBox *moi, QCheckBox *autre, int forme)
{
    if (moi->isChecked()) {
        const int couleur = f->slotCurseurPaintBox() / 100;
        if (couleur == 1 || couleur == 2) f->curseurPaintBox(couleur * 100 + forme);
        autre->setChecked(false);
    } else {
        autre->setChecked(true);
    }
}

} // namespace

void TForm1::chkBoxPtH1Click()
{
    pointChoisi(this, chkBoxPtH1, chkBoxPtH2, 21);
}

void TForm1::chkBoxPtH2Click()
{
    pointChoisi(this, chkBoxPtH2, chkBoxPtH1, 22);
}

void TForm1::chkBoxPtV1Click()
{
    pointChoisi(this, chkBoxPtV1, chkBoxPtV2, 31);
}

void TForm1::chkBoxPtV2Click()
{
    pointChoisi(this, chkBoxPtV2, chkBoxPtV1, 32);
}

void TForm1::chkBoxPt1Click()
{
    pointChoisi(this, chkBoxPt1, chkBoxPt2, 41);
}

void TForm1::chkBoxPt2Click()
{
    pointChoisi(this, chkBoxPt2, chkBoxPt1, 42);
}

// ---- Typing a length ----

void TForm1::edSHKeyPress(QChar &Key)
{
    Key = filtreToucheEtalon(Key, separateurDecimal());
}

void TForm1::edSiEnter()
{
    saisieEtalon = true;
}

void TForm1::edSHChange()
{
    if (!saisieEtalon) return;
    const auto longueur = lireLongueur(edSH->text());
    if (!longueur) {
        lblSHori->setText(erreurEchelle);
        couleursSaisie(edSH, rouge, blanc);
        return;
    }
    const int dx = std::abs(etalonP2.x() - etalonP1.x());
    if (dx != 0) echelleH = *longueur / dx;
    affichSH(echelleH);
    couleursSaisie(edSH, lime, noir);
    echelleModifiee = true;
}

void TForm1::edSVChange()
{
    if (!saisieEtalon) return;
    const auto longueur = lireLongueur(edSV->text());
    if (!longueur) {
        lblSVert->setText(erreurEchelle);
        couleursSaisie(edSV, rouge, blanc);
        return;
    }
    const int dy = std::abs(etalonP2.y() - etalonP1.y());
    if (dy != 0) echelleV = *longueur / dy;
    affichSV(echelleV);
    couleursSaisie(edSV, lime, noir);
    echelleModifiee = true;
}

void TForm1::edSiChange()
{
    // Only the digits changed (coordinate decimals): separate horizontal and vertical
    // calibrations stay as they are.
    if (edSiReecritHorsMode) return;
    long double longueur;
    if (saisieEtalon) {
        const auto lu = lireLongueur(edSi->text());
        if (!lu) {
            lblSHori->setText(erreurEchelle);
            lblSVert->setText(erreurEchelle);
            couleursSaisie(edSi, rouge, blanc);
            return;
        }
        longueur = *lu;
    } else {
        // The diagonal that the horizontal and vertical lengths together give.
        const QChar sep = separateurDecimal();
        const auto a = lireReel(edSH->text(), sep);
        const auto b = lireReel(edSV->text(), sep);
        if (!a || !b) {
            signalerErreurConversion(!a ? edSH->text() : edSV->text());
            return;
        }
        longueur = std::sqrt(*a * *a + *b * *b);
    }
    if (etalonP1 == etalonP2) return;
    const long double s = echelleSimultanee(longueur, etalonP1, etalonP2);
    echelleH = s;
    echelleV = s;
    affichSH(s);
    affichSV(s);
    couleursSaisie(edSi, lime, marron);
    echelleModifiee = true;
}

namespace
{

// Leaving a length box: an invalid entry gives the saved text back; a valid one is written
// again tidily, positive. The change handler recomputes the Scale either way.
void sortieSaisie(TForm1 *f, QLineEdit *ed, const QString &sauve)
{
    if (estRouge(ed)) {
        ed->setText(sauve);
        // The saved text may give another Scale than the one the table was last written with.
        f->ActualGrid();
        return;
    }
    const auto valeur = lireReel(ed->text(), separateurDecimal());
    if (!valeur) {
        signalerErreurConversion(ed->text());
        return;
    }
    ed->setText(format(std::fabs(*valeur)));
    f->ActualGrid();
}

} // namespace

void TForm1::edSHExit()
{
    sortieSaisie(this, edSH, texteSH);
}

void TForm1::edSVExit()
{
    sortieSaisie(this, edSV, texteSV);
}

void TForm1::edSiExit()
{
    sortieSaisie(this, edSi, texteSi);
}

void TForm1::reecrireEdSi()
{
    const auto valeur = lireReel(edSi->text(), separateurDecimal());
    if (!valeur) {
        signalerErreurConversion(edSi->text());
        return;
    }
    edSiReecritHorsMode = !(rbEtalonSimu && rbEtalonSimu->isChecked());
    edSi->setText(format(*valeur));
    edSiReecritHorsMode = false;
}

// ---- Calibration click ----

namespace
{

const QString memeAbscisse =
    QStringLiteral("Les points 1 et 2 ont même abscisse !\r\rLa sensibilité horizontale "
                   "précédente\rva être rétablie...");
const QString memeOrdonnee =
    QStringLiteral("Les points 1 et 2 ont même ordonnée !\r\rLa sensibilité verticale "
                   "précédente\rva être rétablie...");
const QString identiques =
    QStringLiteral("Les points 1 et 2 sont identiques !\r\rLes sensibilités précédentes\rvont "
                   "être rétablies...");

} // namespace

void TForm1::clicEtalon(int X, int Y)
{
    const bool hori = rbEtalonHori && rbEtalonHori->isChecked();
    const bool vert = rbEtalonVert && rbEtalonVert->isChecked();
    const bool simu = rbEtalonSimu && rbEtalonSimu->isChecked();
    if (!hori && !vert && !simu) return;
    const QPoint avant1 = etalonP1, avant2 = etalonP2;
    QLineEdit *ed;
    const QString *refus;
    if (hori) {
        (chkBoxPtH1->isChecked() ? etalonP1 : etalonP2).setX(X);
        ed = edSH;
        refus = &memeAbscisse;
    } else if (vert) {
        (chkBoxPtV1->isChecked() ? etalonP1 : etalonP2).setY(Y);
        ed = edSV;
        refus = &memeOrdonnee;
    } else {
        (chkBoxPt1->isChecked() ? etalonP1 : etalonP2) = QPoint(X, Y);
        ed = edSi;
        refus = &identiques;
    }
    auto confondus = [&] {
        if (hori) return etalonP1.x() == etalonP2.x();
        if (vert) return etalonP1.y() == etalonP2.y();
        return etalonP1 == etalonP2;
    };
    if (confondus()) {
        plateforme().message(TypeMessage::Erreur, *refus, Boutons::Ok);
        etalonP1 = avant1;
        etalonP2 = avant2;
        if (clipOuvert()) reDraw(MediaPlayer1, imageCourante);
    } else if (!simu) {
        ed->setEnabled(true);
    }
    MaJlblP();
    placerIndicateurs();
    // The points can arrive equal on this axis from another mode: no Scale then.
    if (confondus()) return;
    // The length box's number as it stands, even while it is red and has the focus.
    const auto longueur = lireReel(ed->text(), separateurDecimal());
    if (!longueur) {
        signalerErreurConversion(ed->text());
        return;
    }
    if (hori) {
        echelleH = *longueur / std::abs(etalonP2.x() - etalonP1.x());
        affichSH(echelleH);
    } else if (vert) {
        echelleV = *longueur / std::abs(etalonP2.y() - etalonP1.y());
        affichSV(echelleV);
    } else {
        echelleH = echelleV = echelleSimultanee(*longueur, etalonP1, etalonP2);
        affichSH(echelleH);
        affichSV(echelleV);
    }
    ActualGrid();
}

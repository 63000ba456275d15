// The Measurement table: its page, layout for a new clip, recomputation from the stored
// pixels, clearing, the time origin and the two decimal controls.
#include "app/Unit1.h"

#include "app/images.h"
#include "app/plateforme.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/pixels.h"
#include "measure/sessionMesure.h"
#include "measure/grilles.h"
#include "measure/rgbhls.h"
#include "printing/Imprimer.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace
{

const QString kBlanc = QStringLiteral("16777215");
constexpr int kPointsMax = 4;
constexpr std::uint32_t kCouleurFixe = 14811135; // pale yellow
constexpr std::uint32_t kArgent = 12632256;

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

// Pictures of the three clearing buttons: a small table with the part that goes crossed out.
QIcon imageEffacement(int quoi)
{
    QPixmap image(24, 24);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 19, 17);
    p.setBrush(QColor(255, 255, 225));
    p.drawRect(2, 3, 19, 4);
    for (int x = 8; x < 21; x += 6)
        p.drawLine(x, 3, x, 20);
    for (int y = 11; y < 20; y += 4)
        p.drawLine(2, y, 21, y);
    QRect zone = quoi == 0   ? QRect(8, 7, 6, 13)
                 : quoi == 1 ? QRect(2, 11, 19, 4)
                             : QRect(2, 7, 19, 13);
    p.fillRect(zone, QColor(255, 160, 160, 160));
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(zone.topLeft(), zone.bottomRight());
    p.drawLine(zone.topRight(), zone.bottomLeft());
    return QIcon(image);
}

// A black pointing hand, to the next point (right) or turned down to the next frame; grey
// while its box is disabled.
QIcon imageMain(bool versLeBas)
{
    QIcon icone;
    for (const auto &[mode, encre] : {std::pair(QIcon::Normal, QColor(Qt::black)),
                                      std::pair(QIcon::Disabled, QColor(128, 128, 128))}) {
        QPixmap image(24, 24);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont police(QStringLiteral("DejaVu Sans"));
        police.setPixelSize(22);
        p.setFont(police);
        p.setPen(encre);
        if (versLeBas) {
            p.translate(24, 0);
            p.rotate(90);
        }
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("☛"));
        p.end();
        icone.addPixmap(image, mode);
    }
    return icone;
}

QString question(const QString &premiere, int blancs)
{
    const QChar cr(13);
    return premiere + cr + QString(blancs, QLatin1Char(' ')) + cr + cr +
           QStringLiteral("هل أنت متأكد من هذا الطلب ؟   ");
}

// The print dialog offers "from t = 0" only when the time origin is not the first frame.
void choixPointsImpression(bool actif)
{
    if (!dlgImprimer) return;
    for (const char *nom : {"rbImpPoints0", "rbImpPoints1"})
        if (auto *b = dlgImprimer->findChild<QAbstractButton *>(QString::fromLatin1(nom)))
            b->setEnabled(actif);
}

bool confirme(const QString &texte)
{
    return plateforme().message(TypeMessage::Confirmation, texte, Boutons::OuiNon) == Reponse::Oui;
}

} // namespace

void TForm1::construirePageMesures()
{
    auto *page = new QVBoxLayout(tsMesures);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(2);

    // ---- decimals strip ----
    pnlDecimales = nomme(new QFrame(tsMesures), "pnlDecimales");
    pnlDecimales->setFrameShape(QFrame::StyledPanel);
    {
        auto *l = new QHBoxLayout(pnlDecimales);
        l->setContentsMargins(4, 1, 4, 1);
        lblCS = nomme(new QLabel(QStringLiteral("t أعشار الزمن"), pnlDecimales), "lblCS");
        udFmt_t = nomme(new TUpDown(pnlDecimales), "udFmt_t");
        udFmt_t->setMin(0);
        udFmt_t->setMax(6);
        udFmt_t->setPosition(3);
        definirHint(udFmt_t, QStringLiteral("t تغيير عدد الأرقام بعد الفاصلة للزمن"));
        lblFmt_xy = nomme(new QLabel(QStringLiteral("y , x أعشار "), pnlDecimales), "lblFmt_xy");
        udFmt_xy = nomme(new TUpDown(pnlDecimales), "udFmt_xy");
        udFmt_xy->setMin(0);
        udFmt_xy->setMax(4);
        udFmt_xy->setPosition(2);
        udFmt_t->setEnabled(false);
        udFmt_xy->setEnabled(false);
        definirHint(udFmt_xy, QStringLiteral("x , y تغيير عدد الأرقام بعد الفاصلة للأحداثيات "));
        // Each up-down with its number, the decimals it gives.
        auto nombre = [this](TUpDown *ud, const char *nom) {
            auto *n = nomme(new QLabel(pnlDecimales), nom);
            n->setAlignment(Qt::AlignCenter);
            n->setMinimumWidth(n->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 6);
            n->setFrameShape(QFrame::StyledPanel);
            ud->setAffichage(n);
            return n;
        };
        l->addWidget(lblCS);
        l->addWidget(nombre(udFmt_t, "lblDecimalesT"));
        l->addWidget(udFmt_t);
        l->addSpacing(16);
        l->addWidget(lblFmt_xy);
        l->addWidget(nombre(udFmt_xy, "lblDecimalesXY"));
        l->addWidget(udFmt_xy);
        l->addStretch(1);
    }
    page->addWidget(pnlDecimales);

    // ---- the grids ----
    StringGrid1 = nomme(new TStringGrid(tsMesures), "StringGrid1");
    StringGrid1->setDefaultColWidth(44);
    StringGrid1->setDefaultRowHeight(22);
    StringGrid1->setFixedColor(couleurDeValeur(kCouleurFixe));
    StringGrid1->setColor(Qt::white);
    QFont police(QStringLiteral("Courier New"));
    police.setStyleHint(QFont::Monospace);
    police.setFixedPitch(true);
    police.setPixelSize(13);
    StringGrid1->setFont(police);
    StringGrid1->setDefaultDrawing(false);
    tailleGrille(StringGrid1, 3, 2);
    StringGrid1->setEnabled(false);
    StringGrid1->OnDrawCell = [this](QPainter &canevas, int c, int r, const QRect &rect, int) {
        StringGrid1DrawCell(canevas, c, r, rect);
    };
    connect(StringGrid1, &TStringGrid::OnClick, this, &TForm1::StringGrid1Click);
    page->addWidget(StringGrid1, 1);

    StringGrid0 = nomme(new TStringGrid(tsMesures), "StringGrid0");
    tailleGrille(StringGrid0, 3, 2);
    StringGrid0->hide();
    // Both grids show the document.
    StringGrid0->setFournisseur(
        {[this](int c, int r) { return texteCellulePixels(*document, c, r, document->reglages().origineTemps); },
         [this](int c, int r, const QString &texte) { ecrirePixel(c, r, texte); }});
    StringGrid1->setFournisseur(
        {[this](int c, int r) {
             // Past the point columns: the protractor's angle.
             if (c == StringGrid0->ColCount() && StringGrid1->ColCount() > c)
                 return texteCelluleAngle(*document, r);
             return texteCelluleMetres(*document, c, r, document->reglages().origineTemps);
         },
         {}});
    connect(document, &DocumentMesure::modifie, this, [this](const PlageMesure &plage) {
        colonneAngle();
        rafraichirTableau(plage);
    });
    connect(this, &TForm1::tableauModifie, this, &TForm1::colonneAngle);
    // Titles from the start, so that an export before any clip is well formed.
    StringGrid0->setCells(0, 0, QStringLiteral("t"));
    titresColonnes(StringGrid0, QString(), 1);
    StringGrid1->setCells(0, 0, QStringLiteral("t(s)"));
    titresColonnes(StringGrid1, QStringLiteral("(m)"), 1);
    StringGrid2 = nomme(new TStringGrid(tsMesures), "StringGrid2");
    tailleGrille(StringGrid2, 2, 3);
    StringGrid2->setFixedCols(0);
    StringGrid2->setFixedRows(0);
    StringGrid2->hide();
    // The appearance of the axes (column 0) and of each point: the document's settings.
    StringGrid2->setFournisseur(
        {[this](int c, int r) { return texteApparence(document->reglages(), c, r); },
         [this](int c, int r, const QString &texte) {
             if (c <= kPointsMax && r <= 2)
                 ecrireApparence(mesureDeTravail().reglages.aspects[std::size_t(c)], c, r, texte);
         }});

    // ---- time origin and clearing ----
    auto *ligne = new QHBoxLayout;
    Panel10 = nomme(new QFrame(tsMesures), "Panel10");
    Panel10->setFrameShape(QFrame::StyledPanel);
    definirHint(Panel10, QStringLiteral("إختيار مبدأ الأزمنة"));
    {
        auto *l = new QHBoxLayout(Panel10);
        l->setContentsMargins(4, 1, 4, 1);
        Label2 = nomme(new QLabel(QStringLiteral(": من الصورة رقم (t = 0) مبدأ الزمن"), Panel10),
                       "Label2");
        // On two lines rather than cut when the page is narrow.
        Label2->setWordWrap(true);
        lblt0 = nomme(new QLabel(QStringLiteral("1"), Panel10), "lblt0");
        QFont gras = lblt0->font();
        gras.setBold(true);
        lblt0->setFont(gras);
        lblt0->setStyleSheet(QStringLiteral("color: #008080;"));
        lblt0->setMinimumWidth(28);
        lblt0->setEnabled(false);
        udt0 = nomme(new TUpDown(Panel10), "udt0");
        udt0->setMin(1);
        udt0->setMax(10);
        udt0->setPosition(1);
        udt0->setEnabled(false);
        l->addWidget(Label2);
        l->addWidget(lblt0);
        l->addWidget(udt0);
    }
    ligne->addWidget(Panel10);
    ligne->addStretch(1);
    Label3 = nomme(new QLabel(QStringLiteral("مسح"), tsMesures), "Label3");
    ligne->addWidget(Label3);
    const char *nomsBoutons[] = {"Button0", "Button1", "Button2"};
    const QString hints[] = {QStringLiteral(" (x,y) مسح عمود"), QStringLiteral("مسح سطر"),
                             QStringLiteral("مسح الجدول")};
    QToolButton *boutons[3];
    for (int i = 0; i < 3; ++i) {
        boutons[i] = nomme(new QToolButton(tsMesures), nomsBoutons[i]);
        boutons[i]->setIcon(imageEffacement(i));
        boutons[i]->setIconSize(QSize(24, 24));
        definirHint(boutons[i], hints[i]);
        boutons[i]->setEnabled(false);
        ligne->addWidget(boutons[i]);
    }
    Button0 = boutons[0];
    Button1 = boutons[1];
    Button2 = boutons[2];
    page->addLayout(ligne);

    // ---- pointing strip ----
    pnlMesures = nomme(new QFrame(tsMesures), "pnlMesures");
    pnlMesures->setFrameShape(QFrame::StyledPanel);
    {
        // Three rows, so that the strip fits the narrow page beside a large clip.
        auto *rangees = new QVBoxLayout(pnlMesures);
        rangees->setContentsMargins(4, 1, 4, 1);
        rangees->setSpacing(1);
        auto *l = new QHBoxLayout;
        auto *lDessin = new QHBoxLayout;
        auto *l2 = new QHBoxLayout;
        rangees->addLayout(l);
        rangees->addLayout(lDessin);
        rangees->addLayout(l2);
        auto panneau = [this](const char *nom, const char *nomTitre, const QString &titre,
                              QLabel *&titreLbl) {
            auto *f = nomme(new QFrame(pnlMesures), nom);
            f->setFrameShape(QFrame::StyledPanel);
            titreLbl = nomme(new QLabel(titre, f), nomTitre);
            return f;
        };
        Panel6 = panneau("Panel6", "Panel6Titre", QStringLiteral("نقطة/صورة"), Panel6Titre);
        lblPointsPlan = nomme(new QLabel(QStringLiteral("1"), Panel6), "lblPointsPlan");
        udPointsPlan = nomme(new TUpDown(Panel6), "udPointsPlan");
        udPointsPlan->setMin(1);
        udPointsPlan->setMax(4);
        udPointsPlan->setPosition(1);
        definirHint(udPointsPlan, QStringLiteral("(تحديد عدد التنقيطات في الصورة (1 ... 4"));
        auto *l6 = new QHBoxLayout(Panel6);
        l6->setContentsMargins(3, 1, 3, 1);
        l6->addWidget(Panel6Titre);
        l6->addWidget(lblPointsPlan);
        l6->addWidget(udPointsPlan);

        Panel5 = panneau("Panel5", "Panel5Titre", QStringLiteral("نقطة رقم"), Panel5Titre);
        lblPointNumero = nomme(new QLabel(QStringLiteral("1"), Panel5), "lblPointNumero");
        QFont gras = lblPointNumero->font();
        gras.setBold(true);
        lblPointNumero->setFont(gras);
        lblPointNumero->setAutoFillBackground(true);
        lblPointNumero->setAlignment(Qt::AlignCenter);
        lblPointNumero->setMinimumWidth(
            lblPointNumero->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 4);
        udPointNumero = nomme(new TUpDown(Panel5), "udPointNumero");
        udPointNumero->setMin(1);
        udPointNumero->setMax(1);
        udPointNumero->setPosition(1);
        definirHint(udPointNumero, QStringLiteral("إختيار رقم النقطة"));
        auto *l5 = new QHBoxLayout(Panel5);
        l5->setContentsMargins(3, 1, 3, 1);
        l5->addWidget(Panel5Titre);
        l5->addWidget(lblPointNumero);
        l5->addWidget(udPointNumero);

        chkBoxPtDed = nomme(new QCheckBox(QStringLiteral("رسم"), pnlMesures), "chkBoxPtDed");
        chkBoxPtDed->setChecked(true);
        definirHint(chkBoxPtDed, QStringLiteral("عرض النقطة تلقائي"));
        bbtnCouleurPoint = nomme(new QToolButton(pnlMesures), "bbtnCouleurPoint");
        bbtnCouleurPoint->setIcon(imageBouton(QStringLiteral("bbtnCouleurPoint")));
        definirHint(bbtnCouleurPoint, QStringLiteral("تحديد مظهر النقطة الحالية"));
        chkBoxAxDed = nomme(new QCheckBox(QStringLiteral("محاور"), pnlMesures), "chkBoxAxDed");
        chkBoxAxDed->setChecked(true);
        definirHint(chkBoxAxDed, QStringLiteral("رسم المحاور تلقائي"));
        bbtnCouleurAxes = nomme(new QToolButton(pnlMesures), "bbtnCouleurAxes");
        bbtnCouleurAxes->setIcon(imageBouton(QStringLiteral("bbtnCouleurAxes")));
        definirHint(bbtnCouleurAxes, QStringLiteral("تحديد لون المحاور"));
        Label4 = nomme(new QLabel(QStringLiteral("النقطة الموالية تلقائيا"), pnlMesures), "Label4");
        // Pointing hands: to the next point of the frame, down to the next frame.
        chkBoxAutoH = nomme(new QCheckBox(QStringLiteral("☞"), pnlMesures), "chkBoxAutoH");
        chkBoxAutoH->setChecked(true);
        definirHint(chkBoxAutoH, QStringLiteral("الإنتقال الأفقي داخل الجدول تلقائي"));
        chkBoxAutoV = nomme(new QCheckBox(QStringLiteral("☟"), pnlMesures), "chkBoxAutoV");
        chkBoxAutoV->setChecked(true);
        // The hands are pictures, large and dark; the captions stay for the accessible name.
        for (QCheckBox *main : {chkBoxAutoH, chkBoxAutoV}) {
            main->setAccessibleName(main->text());
            main->setText(QString());
            main->setIcon(imageMain(main == chkBoxAutoV));
            main->setIconSize(QSize(24, 24));
        }
        definirHint(chkBoxAutoV, QStringLiteral("الإنتقال الشاقولي داخل الجدول تلقائي"));
        for (QWidget *w : std::initializer_list<QWidget *>{Panel6, Panel5})
            l->addWidget(w);
        l->addStretch(1);
        for (QWidget *w : std::initializer_list<QWidget *>{chkBoxPtDed, bbtnCouleurPoint,
                                                           chkBoxAxDed, bbtnCouleurAxes})
            lDessin->addWidget(w);
        lDessin->addStretch(1);
        for (QWidget *w : std::initializer_list<QWidget *>{Label4, chkBoxAutoH, chkBoxAutoV})
            l2->addWidget(w);
        l2->addStretch(1);
        for (QWidget *w : std::initializer_list<QWidget *>{
                 udPointsPlan, udPointNumero, chkBoxPtDed, bbtnCouleurPoint, chkBoxAxDed,
                 bbtnCouleurAxes, chkBoxAutoH, chkBoxAutoV})
            w->setEnabled(false);
    }
    page->addWidget(pnlMesures);

    mnuAutoH->setStatusTip(QStringLiteral("الإنتقال التلقائي للنقطة الموالية على نفس الصورة"));
    mnuAutoV->setStatusTip(QStringLiteral("الإنتقال للصورة الموالية بعد معالجة كل النقاط"));
    definirHint(PaintBox1, QStringLiteral("منطقة التنقيط"));
    definirHint(tbCoord, QStringLiteral("الإحداثيات|الإحداثيات"));

    // ---- events ----
    connect(udFmt_t, &TUpDown::Click, this, &TForm1::udFmt_tClick);
    connect(udFmt_xy, &TUpDown::Click, this, &TForm1::udFmt_xyClick);
    connect(udt0, &TUpDown::Click, this, &TForm1::udt0Click);
    connect(udt0, &TUpDown::MouseDown, this, &TForm1::udt0MouseDown);
    connect(udt0, &TUpDown::MouseUp, this, &TForm1::udt0MouseUp);
    connect(Button0, &QToolButton::clicked, this, &TForm1::Button0Click);
    connect(Button1, &QToolButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QToolButton::clicked, this, &TForm1::Button2Click);
    // Button1 is the window's cancel button: Escape clears the row while its page is shown.
    auto *echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    echap->setContext(Qt::WindowShortcut);
    connect(echap, &QShortcut::activated, this, [this] {
        if (Button1->isEnabled() && PageControl1->currentWidget() == tsMesures) Button1->click();
    });
    connecterPointage();
}

void TForm1::preparerTableau()
{
    const int N = nbImages;

    // Time origin on the first frame.
    lblt0->setEnabled(true);
    lblt0->setText(QStringLiteral("1"));
    udt0->setMax(N);
    udt0->setPosition(1);
    udt0->setEnabled(true);

    // Pixels of another clip mean nothing here: every pair goes, hidden ones included.
    Mesure vide;
    vide.reglages = document->reglages();
    vide.reglages.origineTemps = 1;
    vide.clip.nbImages = N;
    document->remplacer(vide);

    {
        const LotCellules lot0(StringGrid0);
        tailleGrille(StringGrid0, 3, N + 1);
        StringGrid0->setCells(0, 0, QStringLiteral("t"));
        titresColonnes(StringGrid0, QString(), 1);
    }

    {
        const LotCellules lot1(StringGrid1);
        tailleGrille(StringGrid1, 3, N + 1);
        StringGrid1->setEnabled(true);
        titresColonnes(StringGrid1, QStringLiteral("(m)"), 1);
        formatTemps = QStringLiteral("0.000");
        StringGrid1->setCells(0, 0, QStringLiteral("t(s)"));
        const int largeurXY = StringGrid1->TextWidth(texteSci(chiffresXY, 0));
        StringGrid1->setColWidths(1, largeurXY);
        StringGrid1->setColWidths(2, largeurXY);
        StringGrid1->setColWidths(
            0, StringGrid1->TextWidth(formateReel(QStringLiteral("0.000"), N * periode) +
                                      QLatin1Char('0')));
    }
    StringGrid0->setCol(1);
    StringGrid0->setRow(1);
    StringGrid1->setCol(1);
    StringGrid1->setRow(1);
    udFmt_t->setEnabled(true);
    udFmt_xy->setEnabled(true);

    // Appearance: the document keeps the choices made, so they outlive the clip.
    StringGrid2->setColCount(2);

    // Pointing controls: one point per frame again.
    for (QWidget *w : std::initializer_list<QWidget *>{chkBoxAutoV, chkBoxPtDed, bbtnCouleurPoint,
                                                       chkBoxAxDed, bbtnCouleurAxes, udPointsPlan})
        w->setEnabled(true);
    udPointsPlan->setPosition(1);
    lblPointsPlan->setText(QStringLiteral("1"));
    chkBoxAutoH->setEnabled(false);
    mnuAutoH->setEnabled(false);
    udPointNumero->setMax(1);
    udPointNumero->setEnabled(false);
    ChgPointNumero(1);

    for (QToolButton *b : {Button0, Button1, Button2})
        b->setEnabled(true);
    emit tableauModifie(0, 0);
}

void TForm1::ActualGrid()
{
    if (!clipOuvert()) return;
    // The texts are computed when painted: only the rows on screen are formatted again.
    StringGrid0->rafraichir();
    StringGrid1->rafraichir();
    emit tableauModifie(0, 0);
}

bool TForm1::tableauOccupe()
{
    return clipOuvert() && document->occupe((StringGrid0->ColCount() - 1) / 2);
}

void TForm1::colonneAngle()
{
    // One more column after the points' while some angle is recorded.
    const int n = 2 * ((StringGrid0->ColCount() - 1) / 2) + 1;
    const bool avec = !document->mesure().angles.isEmpty();
    if (StringGrid1->ColCount() != n + (avec ? 1 : 0)) StringGrid1->setColCount(n + (avec ? 1 : 0));
    if (!avec) return;
    StringGrid1->setCells(n, 0, QStringLiteral("angle(°)"));
    StringGrid1->setColWidths(n, std::max(StringGrid1->TextWidth(QStringLiteral(" -180.00")),
                                          StringGrid1->TextWidth(QStringLiteral("angle(°)0"))));
}

void TForm1::rafraichirTableau(const PlageMesure &plage)
{
    rafraichirGrille(StringGrid0, plage);
    rafraichirGrille(StringGrid1, plage);
}

AspectMesure &TForm1::aspect(int p)
{
    return mesureDeTravail().reglages.aspects[std::size_t(std::clamp(p, 0, kPointsMax))];
}

void TForm1::ecrirePixel(int col, int row, const QString &texte)
{
    // A pixel written into the hidden grid is a pointing (or its clearing) of that frame.
    if (col < 1 || col > 2 * kPointsMax || row < 1 || row > nbImages) return;
    const int p = (col - 1) / 2, f = row - 1;
    if (texte.isEmpty()) {
        document->ecrireCellule(p, f, std::nullopt);
        return;
    }
    QPointF pos = document->position(p, f).value_or(QPointF());
    (col % 2 ? pos.rx() : pos.ry()) = valeurPixel(texte);
    document->ecrireCellule(p, f, pos);
}

void TForm1::StringGrid1DrawCell(QPainter &canevas, int col, int row, const QRect &rect)
{
    if (row >= 1 && row < udt0->Position() && col == 0) canevas.setBrush(couleurDeValeur(kArgent));
    texteCellule(StringGrid1, rect, StringGrid1->Cells(col, row),
                 row == 0 ? Alignement::centre : Alignement::droite, col == 0 ? 4 : 3);
}

void TForm1::StringGrid1Click()
{
    if (!clipOuvert()) return;
    // The angle column belongs to no point.
    if (StringGrid1->Col() < StringGrid0->ColCount()) {
        ChgPointNumero((StringGrid1->Col() + 1) / 2);
        StringGrid0->setCol(StringGrid1->Col());
    }
    StringGrid0->setRow(StringGrid1->Row());
    affichImage(MediaPlayer1, StringGrid1->Row() - 1);
    Drawpoints(PaintBox1->Canvas());
}

void TForm1::Button0Click()
{
    if (!confirme(question(QStringLiteral("أنت تطلب مسح عمود من الجدول   "), 15))) return;
    if (StringGrid1->Col() >= StringGrid0->ColCount()) {
        // The protractor's column: every angle goes, in one step.
        document->effacer(0, -1, 0, nbImages, true);
        emit tableauModifie(0, 0);
        return;
    }
    const int p = (StringGrid0->Col() - 1) / 2;
    document->effacer(p, p, 0, nbImages);
    for (TStringGrid *g : {StringGrid0, StringGrid1}) {
        g->setCol(2 * p + 1);
        g->setRow(1);
    }
    emit tableauModifie(0, 0);
    redessinerImageCourante();
}

void TForm1::Button1Click()
{
    if (!confirme(question(QStringLiteral("أنت تطلب مسح سطر من الجدول    "), 13))) return;
    const int r = StringGrid0->Row();
    document->effacer(0, (StringGrid0->ColCount() - 1) / 2 - 1, r - 1, r - 1, true);
    for (TStringGrid *g : {StringGrid0, StringGrid1}) {
        g->setCol(1);
        g->setRow(r);
    }
    emit tableauModifie(r, 0);
    redessinerImageCourante();
}

void TForm1::Button2Click()
{
    if (!effacerSansDemande &&
        !confirme(question(QStringLiteral("أنت تطلب مسح كامل الجدول      "), 12)))
        return;
    document->effacer(0, (StringGrid0->ColCount() - 1) / 2 - 1, 0, nbImages, true);
    for (TStringGrid *g : {StringGrid0, StringGrid1}) {
        g->setCol(1);
        g->setRow(1);
    }
    emit tableauModifie(0, 0);
    if (clipOuvert()) reDraw(MediaPlayer1, 0);
    effacerSansDemande = false;
}

void TForm1::udFmt_tClick()
{
    if (!clipOuvert()) return;
    formatTemps = motifTemps(udFmt_t->Position());
    const long double derniere = ecartTemps(nbImages - 1, document->reglages().origineTemps - 1);
    StringGrid1->setColWidths(
        0, StringGrid1->TextWidth(formateReel(formatTemps, derniere) + QLatin1Char('0')));
    ActualGrid();
}

void TForm1::udFmt_xyClick()
{
    if (!clipOuvert()) return;
    chiffresXY = udFmt_xy->Position() + 1;
    const int w = StringGrid1->TextWidth(texteSci(chiffresXY, 0));
    for (int c = 1; c < StringGrid1->ColCount(); ++c)
        StringGrid1->setColWidths(c, w);
    ActualGrid();
    reecrireEdSi();
}

void TForm1::udt0Click()
{
    if (!clipOuvert()) return;
    lblt0->setText(QString::number(udt0->Position()));
    affichT0();
}

void TForm1::udt0MouseDown()
{
    // The arrow's auto-repeat presses again while held: restarting would never let it tick.
    if (!Timer2->isActive()) Timer2->start();
}

void TForm1::Timer2Timer()
{
    // Holding the arrow accelerates: 1, 2, 4, 8 … frames per step.
    if (udt0->Increment() < udt0->Max()) udt0->setIncrement(udt0->Increment() * 2);
}

void TForm1::udt0MouseUp()
{
    Timer2->stop();
    udt0->setIncrement(1);
    const int T = udt0->Position();
    // The time column follows the arrow once it is let go: that is when the step is taken.
    if (sessionMesure) sessionMesure->validerReglages();
    choixPointsImpression(T > 1);
    emit tableauModifie(0, 0);
}

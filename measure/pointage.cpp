// Pointing on the image: the click dispatch, recording a Pointing with the automatic
// advance, the live coordinates, drawing the recorded points, the point count and the
// current point, the drawn flags and the quick configurations.
#include "app/Unit1.h"

#include "clip/TMediaPlayer.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/dessin.h"
#include "measure/grilles.h"
#include "measure/rgbhls.h"
#include "measure/pixels.h"

#include <QCheckBox>
#include <QEvent>
#include <QPainter>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

namespace
{


// Runs a function on the mouse moves over a widget, without taking the event.
class SurMouvement : public QObject
{
public:
    SurMouvement(QObject *parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) f_();
        return false;
    }

private:
    std::function<void()> f_;
};

const std::uint32_t kCouleursClair[4] = {255, 16711680, 16384, 0};
const std::uint32_t kCouleursSombre[4] = {65535, 16776960, 65280, 12632256};

} // namespace

void TForm1::connecterPointage()
{
    connect(PaintBox1, &TPaintBox::MouseUp, this, &TForm1::PaintBox1MouseUp);
    connect(PaintBox1, &TPaintBox::MouseMove, this, &TForm1::PaintBox1MouseMove);
    auto *filtre = new SurMouvement(tbCoord, [this] { tbCoordMouseMove(); });
    tbCoord->setMouseTracking(true);
    tbCoord->installEventFilter(filtre);
    for (QWidget *w : tbCoord->findChildren<QWidget *>()) {
        w->setMouseTracking(true);
        w->installEventFilter(filtre);
    }
    connect(udPointsPlan, &TUpDown::Click, this, &TForm1::udPointsPlanClick);
    connect(udPointNumero, &TUpDown::Click, this, &TForm1::udPointNumeroClick);
    // A change made by the program runs the handler too, as the user's click does.
    connect(chkBoxPtDed, &QCheckBox::toggled, this, &TForm1::chkPtDedExecute);
    connect(chkBoxAxDed, &QCheckBox::clicked, this, &TForm1::chkAxDedExecute);
    connect(chkBoxAutoH, &QCheckBox::clicked, this, &TForm1::chkBoxAutoHClick);
    connect(chkBoxAutoV, &QCheckBox::clicked, this, &TForm1::chkBoxAutoVClick);
    connect(AutoH, &QAction::triggered, this, &TForm1::AutoHExecute);
    connect(AutoV, &QAction::triggered, this, &TForm1::AutoVExecute);
    connect(bbtnCouleurPoint, &QToolButton::clicked, this, &TForm1::bbtnCouleurPointClick);
    connect(bbtnCouleurAxes, &QToolButton::clicked, this, &TForm1::CouleurAxesExecute);
}

void TForm1::redessinerImageCourante()
{
    if (clipOuvert()) reDraw(MediaPlayer1, imageCourante);
}

void TForm1::OptTraitt(bool actif)
{
    CurExec->setEnabled(actif);
    activerMenu(mnuCopierPP, actif);
    bbtnCopierMesuresPP->setEnabled(actif);
    bbtnCopierGraphiquePP->setEnabled(actif);
    activerMenu(mnuEnregFic, actif);
    bbtnEnregistrerMesures->setEnabled(actif);
    bbtnImprimer->setEnabled(actif);
    mnuImprimer->setEnabled(actif);
    if (mnuGraphes) mnuGraphes->setEnabled(actif);
}

void TForm1::PaintBox1MouseUp(Qt::MouseButton bouton, Qt::KeyboardModifiers, int X, int Y)
{
    const std::optional<QPointF> fine = std::exchange(positionFine, std::nullopt);
    if (bouton != Qt::LeftButton || !clipOuvert()) return;
    const QRect affichage = MediaPlayer1->DisplayRect();
    // A release dragged off the picture, on any side, points at nothing.
    if (X < 0 || Y < 0 || X >= affichage.width() || Y >= affichage.height()) return;

    if (rbChxOrig && rbChxOrig->isChecked()) {
        clicOrigine(X, Y);
        return;
    }
    if ((rbEtalonHori && rbEtalonHori->isChecked()) ||
        (rbEtalonVert && rbEtalonVert->isChecked()) ||
        (rbEtalonSimu && rbEtalonSimu->isChecked())) {
        clicEtalon(X, Y);
        return;
    }

    // A click while the clip plays points the frame on view: the clip stops there, so that
    // the advance starts from that frame and not from the one shown before playing.
    if (MediaPlayer1->Mode() == TMediaPlayer::ModeLecteur::Lecture) {
        MediaPlayer1->Stop();
        imageCourante = std::min(MediaPlayer1->Position(), MediaPlayer1->Length() - 1);
    }
    const int p = udPointNumero->Position();
    const int c = 2 * p - 1;
    const int r = MediaPlayer1->Position() + 1;
    // Only while playing runs past the end can the player stand after the last row.
    if (r < 1 || r >= StringGrid0->RowCount()) return;
    const bool dejaPointe = document->position(p - 1, r - 1).has_value();
    document->pointer(p - 1, r - 1, fine.value_or(QPointF(X, Y)));
    emit tableauModifie(r, p);

    const bool autresPoints = p < udPointNumero->Max();
    const bool autoH = chkBoxAutoH->isChecked();
    const bool pasDerniere = r < StringGrid0->RowCount() - 1;
    const bool autoV = chkBoxAutoV->isChecked();

    // A new marker is drawn alone; a replaced one needs the whole picture again.
    auto marquer = [&](bool reafficherImage) {
        if (dejaPointe) {
            if (reafficherImage)
                reDraw(MediaPlayer1, imageCourante);
            else
                Drawpoints(PaintBox1->Canvas());
            return;
        }
        {
            QPainter canevas(&PaintBox1->Canvas());
            const AspectMesure &a = document->reglages().aspects[std::size_t(p)];
            dessinePoint(canevas, couleurDeValeur(a.couleur), taillePoints, X, Y, a.forme);
        }
        PaintBox1->rafraichir();
    };

    if (autoH && autresPoints) {
        marquer(true);
        StringGrid1->setCol(c + 2);
        ChgPointNumero(p + 1);
    } else if (autoH && autoV && pasDerniere) {
        affichImage(MediaPlayer1, imageCourante + 1);
        marquer(false);
        StringGrid1->setRow(r + 1);
        StringGrid1->setCol(1);
        ChgPointNumero(1);
    } else if (!autoH && autoV && pasDerniere) {
        affichImage(MediaPlayer1, imageCourante + 1);
        marquer(false);
        StringGrid1->setRow(r + 1);
    } else {
        marquer(true);
    }

    StringGrid0->setRow(StringGrid1->Row());
    StringGrid0->setCol(StringGrid1->Col());

    // Keep the row just pointed and the current column in view.
    const int lignesVisibles = StringGrid1->VisibleRowCount();
    if (lignesVisibles < r - StringGrid1->TopRow() + 1)
        StringGrid1->setTopRow(r - lignesVisibles + 1);
    const int colonnesVisibles = StringGrid1->VisibleColCount();
    const int col = StringGrid1->Col();
    if (colonnesVisibles < col - StringGrid1->LeftCol())
        StringGrid1->setLeftCol(col - colonnesVisibles + 1);
    else if (col < StringGrid1->LeftCol())
        StringGrid1->setLeftCol(std::max(1, col - 1));
    StringGrid0->setTopRow(StringGrid1->TopRow());
    StringGrid0->setLeftCol(StringGrid1->LeftCol());
}

void TForm1::PaintBox1MouseMove(Qt::KeyboardModifiers, int X, int Y)
{
    if (!clipOuvert()) return;
    if (angleAxes != 0) {
        // Along the tilted axes: the metres as the table would write them for this pixel.
        const QPoint p = pixelsRelatifs(mesureDeTravail().reglages, QPointF(X, Y)).toPoint();
        lblXPixels->setText(QStringLiteral("pX= ") + QString::number(p.x()));
        lblYPixels->setText(QStringLiteral("pY= ") + QString::number(p.y()));
        lblXMetres->setText(
            QStringLiteral("x= ") +
            texteSci(chiffresXY - 1, xMetres(mesureDeTravail().reglages, QPointF(X, Y))));
        lblYMetres->setText(
            QStringLiteral("y= ") +
            texteSci(chiffresXY - 1, yMetres(mesureDeTravail().reglages, QPointF(X, Y))));
        return;
    }
    const int pX = sensX * (X - origineX);
    const int pY = sensY * (origineY - Y);
    lblXPixels->setText(QStringLiteral("pX= ") + QString::number(pX));
    lblYPixels->setText(QStringLiteral("pY= ") + QString::number(pY));
    lblXMetres->setText(QStringLiteral("x= ") +
                        texteSci(chiffresXY - 1, static_cast<long double>(pX) * echelleH));
    lblYMetres->setText(QStringLiteral("y= ") +
                        texteSci(chiffresXY - 1, static_cast<long double>(pY) * echelleV));
}

void TForm1::tbCoordMouseMove()
{
    if (!clipOuvert() || !lblSHori || !lblSVert) return;
    const QString SH = lblSHori->text();
    const QString SV = lblSVert->text();
    const QChar cr(13);
    auto blancs = [](int n) { return QString(n, QLatin1Char(' ')); };
    const QString court =
        QStringLiteral(": الحساسيتان") + cr + blancs(27) + SH + blancs(2) + cr + blancs(29) + SV;
    const QString long_ = blancs(39) + SH + blancs(26) + SV + blancs(2);
    definirHint(tbCoord, court + QLatin1Char('|') + long_);
}

void TForm1::Drawpoints(QImage &canvas, const std::optional<QColor> &fond)
{
    {
        QPainter canevas(&canvas);
        const auto &apparence = document->reglages().aspects;
        const bool axes = apparence[0].trace;
        const QColor couleurAxes = couleurDeValeur(apparence[0].couleur);
        const int n = (StringGrid0->ColCount() - 1) / 2;
        const int L = clipOuvert() ? MediaPlayer1->Length() : 0;
        const int N = std::min(L, StringGrid0->RowCount() - 1);
        struct Aspect {
            bool dessine;
            QColor couleur;
            int forme;
        };
        std::vector<Aspect> aspects(n + 1);
        for (int p = 1; p <= n; ++p)
            aspects[p] = {apparence[std::size_t(p)].trace,
                          couleurDeValeur(apparence[std::size_t(p)].couleur),
                          apparence[std::size_t(p)].forme};
        // On a plain ground a colour that would vanish takes one that shows; on a picture
        // every line first gets a thin outline of the contrasting colour, 1 pixel around.
        const auto couleur = [&fond](const QColor &c, bool contour) {
            if (fond) return couleurVisible(c, *fond);
            return contour ? couleurContour(c) : c;
        };
        for (const bool contour : {true, false}) {
            if (contour && fond) continue;
            QPen stylo(Qt::SolidLine);
            stylo.setWidth(contour ? 3 : 1);
            canevas.setPen(stylo);
            if (axes && angleAxes != 0)
                dessineAxesInclines(canevas, couleur(couleurAxes, contour), sensX, sensY, origineX,
                                    origineY, hauteurAffichee, largeurAffichee, 1, angleAxes);
            else if (axes)
                dessineAxes(canevas, couleur(couleurAxes, contour), sensX, sensY, origineX,
                            origineY, hauteurAffichee, largeurAffichee, 1);
            for (int p = 1; p <= n; ++p) {
                if (!aspects[p].dessine) continue;
                const auto &carte = document->mesure().positions[p - 1];
                for (auto i = carte.cbegin(); i != carte.cend() && i.key() < N; ++i)
                    // Tracked positions may hold decimals: the marker goes on the nearest pixel.
                    dessinePoint(canevas, couleur(aspects[p].couleur, contour), taillePoints,
                                 qRound(i.value().x()), qRound(i.value().y()), aspects[p].forme);
            }
        }
    }
    if (&canvas == &PaintBox1->Canvas()) PaintBox1->rafraichir();
}

void TForm1::ChgPointNumero(int p)
{
    udPointNumero->setPosition(p);
    lblPointNumero->setText(QString::number(p));
    const AspectMesure &a = document->reglages().aspects[std::size_t(std::clamp(p, 0, kPointsMesure))];
    couleurNumeroPoint(couleurDeValeur(a.couleur));
    chkBoxPtDed->setChecked(a.trace);
}

void TForm1::couleurNumeroPoint(const QColor &couleur)
{
    QPalette pal = lblPointNumero->palette();
    pal.setColor(QPalette::WindowText, couleur);
    // White, the default colour of the points, would vanish on the page's light ground.
    pal.setColor(QPalette::Window, couleur.lightnessF() > 0.6 ? QColor(64, 64, 64)
                                                              : palette().color(QPalette::Window));
    lblPointNumero->setPalette(pal);
}

void TForm1::nbPointsPlan(int n)
{
    // A point shown for the first time has the document's default look: white, drawn, a cross.
    StringGrid2->setColCount(n + 1);
    udPointNumero->setPosition(n);
    lblPointNumero->setText(QString::number(n));
    lblPointsPlan->setText(QString::number(n));

    tailleGrille(StringGrid0, 2 * n + 1, StringGrid0->RowCount());
    tailleGrille(StringGrid1, 2 * n + 1, StringGrid1->RowCount());
    StringGrid1->setColWidths(2 * n - 1, StringGrid1->ColWidths(1));
    StringGrid1->setColWidths(2 * n, StringGrid1->ColWidths(2));

    StringGrid0->setCol(2 * n - 1);
    StringGrid1->setCol(2 * n - 1);
    titresColonnes(StringGrid0, QString(), n);
    titresColonnes(StringGrid1, QStringLiteral("(m)"), n);

    chkBoxAutoH->setEnabled(n != 1);
    mnuAutoH->setEnabled(n != 1);
    chkBoxPtDed->setChecked(document->reglages().aspects[std::size_t(n)].trace);
    udPointNumero->setEnabled(udPointNumero->Max() > 1);
    emit tableauModifie(0, 0);
}

void TForm1::udPointsPlanClick()
{
    const int v = udPointsPlan->Position();
    udPointNumero->setMax(v);
    nbPointsPlan(v);
}

void TForm1::udPointNumeroClick()
{
    const int p = udPointNumero->Position();
    ChgPointNumero(p);
    StringGrid0->setCol(2 * p - 1);
    StringGrid1->setCol(2 * p - 1);
}

void TForm1::chkPtDedExecute()
{
    if (!clipOuvert()) return;
    aspect(udPointNumero->Position()).trace = chkBoxPtDed->isChecked();
    redessinerImageCourante();
}

void TForm1::chkAxDedExecute()
{
    if (!clipOuvert()) return;
    aspect(0).trace = chkBoxAxDed->isChecked();
    redessinerImageCourante();
}

void TForm1::chkBoxAutoHClick()
{
    mnuAutoH->setChecked(chkBoxAutoH->isChecked());
}

void TForm1::chkBoxAutoVClick()
{
    mnuAutoV->setChecked(chkBoxAutoV->isChecked());
}

// The menu items are checkable actions: the toolkit has already inverted them.
void TForm1::AutoHExecute()
{
    chkBoxAutoH->setChecked(mnuAutoH->isChecked());
}

void TForm1::AutoVExecute()
{
    chkBoxAutoV->setChecked(mnuAutoV->isChecked());
}

void TForm1::mnuFdCl2pointsClick(QAction *sender)
{
    const int t = sender ? sender->data().toInt() : 0;
    const bool clair = t <= 20;
    const int n = clair ? t : t - 20;
    if (n < 1 || n > 4) return;
    StringGrid2->setColCount(n + 1);
    for (int i = 1; i <= n; ++i) {
        const std::uint32_t couleur = clair ? kCouleursClair[i - 1] : kCouleursSombre[i - 1];
        aspect(i).couleur = couleur;
        couleurNumeroPoint(couleurDeValeur(couleur));
    }
    udPointNumero->setMax(n);
    udPointsPlan->setPosition(n);
    nbPointsPlan(n);
    udPointNumero->setEnabled(n > 1);
    redessinerImageCourante();
}

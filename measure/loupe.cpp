#include "measure/loupe.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace
{

// About this many screen pixels across, whatever the magnification.
constexpr int kLargeurVisee = 160;
constexpr int kMarge = 6;

} // namespace

TLoupe::TLoupe(QWidget *parent, QWidget *image) : QWidget(parent), image_(image)
{
    setObjectName(QStringLiteral("loupe"));
    setCursor(Qt::CrossCursor);
    setGrossissement(4);
    hide();
}

int TLoupe::cases() const
{
    return (kLargeurVisee / z_) | 1;
}

void TLoupe::setGrossissement(int z)
{
    z_ = std::clamp(z, 4, 8);
    setFixedSize(cases() * z_, cases() * z_);
    placer(centre_);
    update();
}

void TLoupe::setPlace(Place p)
{
    place_ = p;
    // Beside the pointer it never stands under it: clicks go to the picture.
    setAttribute(Qt::WA_TransparentForMouseEvents, p == Place::PresDuPointeur);
    placer(centre_);
}

void TLoupe::placer(QPoint affiche)
{
    if (!parentWidget() || !image_) return;
    // The visible part of the picture when the loupe fits in it, else the whole visible area.
    QRect zone = parentWidget()->rect();
    const QRect visible =
        QRect(image_->mapTo(parentWidget(), QPoint(0, 0)), image_->size()).intersected(zone);
    if (visible.width() >= width() + 2 * kMarge && visible.height() >= height() + 2 * kMarge)
        zone = visible;
    const QPoint p = image_->mapTo(parentWidget(), affiche);
    if (place_ == Place::Coin) {
        // Top left, or top right when the pointer is under that corner.
        const QRect gauche(zone.topLeft() + QPoint(kMarge, kMarge), size());
        if (gauche.adjusted(-20, -20, 20, 20).contains(p))
            move(zone.right() - kMarge - width(), zone.top() + kMarge);
        else
            move(gauche.topLeft());
        return;
    }
    // Below and to the right of the pointer, on the other side where there is no room.
    const int d = 24;
    int x = p.x() + d, y = p.y() + d;
    if (x + width() > zone.right()) x = p.x() - d - width();
    if (y + height() > zone.bottom()) y = p.y() - d - height();
    move(std::max(zone.left(), x), std::max(zone.top(), y));
}

void TLoupe::suivre(QPoint affiche, Qt::KeyboardModifiers mod)
{
    // Held still, even beside the pointer it takes the click that reaches it.
    setAttribute(Qt::WA_TransparentForMouseEvents,
                 place_ == Place::PresDuPointeur && !(mod & Qt::ShiftModifier));
    if (mod & Qt::ShiftModifier) return;
    centre_ = affiche;
    placer(affiche);
    update();
}

QImage TLoupe::source(QPointF &echelle) const
{
    const QSize affiche = image_ ? image_->size() : QSize(1, 1);
    QImage s = imageClip ? imageClip() : QImage();
    if (s.isNull() && imageAffichee) s = imageAffichee();
    if (s.isNull() || affiche.isEmpty()) {
        echelle = {1, 1};
        return s;
    }
    echelle = {double(s.width()) / affiche.width(), double(s.height()) / affiche.height()};
    return s;
}

double TLoupe::pas() const
{
    QPointF s;
    source(s);
    // Screen pixels of the loupe per displayed pixel.
    const double ecran = z_ * std::min(s.x(), s.y());
    return ecran >= 4 ? 0.25 : ecran >= 2 ? 0.5 : 1.0;
}

// Clip pixel i (centre at i) fills the loupe's columns [(i - c + m) z, (i - c + m + 1) z),
// c the clip pixel under the crosshair and m = cases() / 2: loupe point L stands for clip
// position c - m - 1/2 + L / z. A displayed pixel X spans clip positions [X s - 1/2, (X + 1) s
// - 1/2), its centre at (X + 1/2) s - 1/2 (the tracker's convention).
std::optional<QPointF> TLoupe::positionAffichee(QPoint local) const
{
    QPointF s;
    source(s);
    const int m = cases() / 2;
    const double cu = std::round((centre_.x() + 0.5) * s.x() - 0.5);
    const double cv = std::round((centre_.y() + 0.5) * s.y() - 0.5);
    const double u = cu - m - 0.5 + double(local.x()) / z_;
    const double v = cv - m - 0.5 + double(local.y()) / z_;
    const double q = pas();
    const double X = std::round(((u + 0.5) / s.x() - 0.5) / q) * q;
    const double Y = std::round(((v + 0.5) / s.y() - 0.5) / q) * q;
    const QSize affiche = image_ ? image_->size() : QSize();
    if (X < 0 || Y < 0 || X > affiche.width() - 1 || Y > affiche.height() - 1) return std::nullopt;
    return QPointF(X, Y);
}

QPointF TLoupe::pointLocal(QPointF affichee) const
{
    QPointF s;
    source(s);
    const int m = cases() / 2;
    const double cu = std::round((centre_.x() + 0.5) * s.x() - 0.5);
    const double cv = std::round((centre_.y() + 0.5) * s.y() - 0.5);
    const double u = (affichee.x() + 0.5) * s.x() - 0.5, v = (affichee.y() + 0.5) * s.y() - 0.5;
    return {(u - cu + m + 0.5) * z_, (v - cv + m + 0.5) * z_};
}

void TLoupe::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    QPointF s;
    const QImage src = source(s);
    const int n = cases(), m = n / 2;
    if (!src.isNull()) {
        const int cu = int(std::round((centre_.x() + 0.5) * s.x() - 0.5));
        const int cv = int(std::round((centre_.y() + 0.5) * s.y() - 0.5));
        // Whole blocks, no smoothing: each clip pixel is seen as it is.
        const QImage morceau = src.copy(cu - m, cv - m, n, n).convertToFormat(QImage::Format_RGB32);
        p.drawImage(rect(), morceau.scaled(n * z_, n * z_, Qt::IgnoreAspectRatio,
                                           Qt::FastTransformation));
    }
    // The crosshair on the displayed pixel under the pointer, open over that pixel so that it
    // hides nothing of it; drawn light on dark so that it shows on any picture.
    const QPointF c = pointLocal(QPointF(centre_));
    const double r = std::max(z_ * std::max(1.0, 1.0 / std::min(s.x(), s.y())) / 2, 3.0);
    for (const auto &[couleur, largeur] : {std::pair{QColor(0, 0, 0, 160), 3.0},
                                           std::pair{QColor(255, 255, 0), 1.0}}) {
        p.setPen(QPen(couleur, largeur));
        p.drawLine(QPointF(0, c.y()), QPointF(c.x() - r, c.y()));
        p.drawLine(QPointF(c.x() + r, c.y()), QPointF(width(), c.y()));
        p.drawLine(QPointF(c.x(), 0), QPointF(c.x(), c.y() - r));
        p.drawLine(QPointF(c.x(), c.y() + r), QPointF(c.x(), height()));
    }
    if (marques) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        for (const auto &[pos, couleur] : marques()) {
            const QPointF q = pointLocal(pos);
            for (const auto &[c, l] : {std::pair{QColor(0, 0, 0, 160), 3.0}, std::pair{couleur, 1.0}}) {
                p.setPen(QPen(c, l));
                p.drawEllipse(q, 3.5, 3.5);
                p.drawLine(q - QPointF(6, 0), q + QPointF(6, 0));
                p.drawLine(q - QPointF(0, 6), q + QPointF(0, 6));
            }
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("×%1").arg(z_));
}

void TLoupe::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) return;
    if (const auto pos = positionAffichee(e->position().toPoint())) emit pointe(*pos);
}

// ---- The main window's command ----

#include "app/Unit1.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/rgbhls.h"

#include <QActionGroup>
#include <QScrollArea>
#include <QStatusBar>

namespace
{

// Repaints the magnifier whenever the picture under it is painted (a new frame, markers).
class SuiviPeinture : public QObject
{
public:
    SuiviPeinture(QObject *parent, TLoupe *loupe) : QObject(parent), loupe_(loupe) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && loupe_->isVisible()) loupe_->rafraichir();
        return false;
    }

private:
    TLoupe *loupe_;
};

} // namespace

void TForm1::construireLoupe()
{
    loupe = new TLoupe(ScrollBox1->viewport(), PaintBox1);
    loupe->imageClip = [this] { return PaintBox1->imageFond ? PaintBox1->imageFond() : QImage(); };
    loupe->imageAffichee = [this] { return PaintBox1->capture(); };
    loupe->marques = [this] {
        std::vector<std::pair<QPointF, QColor>> l;
        if (!clipOuvert()) return l;
        const int n = (StringGrid0->ColCount() - 1) / 2;
        for (int p = 1; p <= std::min(n, kPointsMesure); ++p)
            if (const auto pos = document->position(p - 1, imageCourante))
                l.emplace_back(*pos, couleurDeValeur(document->reglages().aspects[std::size_t(p)].couleur));
        return l;
    };
    PaintBox1->installEventFilter(new SuiviPeinture(loupe, loupe));
    connect(PaintBox1, &TPaintBox::MouseMove, loupe,
            [this](Qt::KeyboardModifiers mod, int x, int y) { loupe->suivre({x, y}, mod); });
    connect(loupe, &TLoupe::pointe, this, [this](QPointF pos) {
        positionFine = pos;
        PaintBox1MouseUp(Qt::LeftButton, Qt::NoModifier, qRound(pos.x()), qRound(pos.y()));
        positionFine.reset();
    });

    mnuPointages->addSeparator();
    mnuLoupe = new QMenu(QStringLiteral("المكبّر"), mnuPointages);
    mnuLoupe->setObjectName(QStringLiteral("mnuLoupe"));
    mnuPointages->addMenu(mnuLoupe);
    definirHint(mnuLoupe->menuAction(),
                QStringLiteral("المكبّر|صورة مكبرة لما حول المؤشر لتنقيط أدق"));
    mnuLoupeAfficher = mnuLoupe->addAction(QStringLiteral("إظهار المكبّر"));
    mnuLoupeAfficher->setObjectName(QStringLiteral("mnuLoupeAfficher"));
    mnuLoupeAfficher->setCheckable(true);
    mnuLoupeAfficher->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    definirHint(mnuLoupeAfficher,
                QStringLiteral("إظهار أو إخفاء المكبّر|صورة مكبرة لما حول المؤشر؛ اضغط Shift "
                               "لتثبيتها ثم انقر داخلها لتنقيط موضع بين البكسلات"));
    connect(mnuLoupeAfficher, &QAction::toggled, this, [this](bool oui) {
        loupe->setVisible(oui);
        if (oui) {
            loupe->raise();
            if (StatusBar1)
                StatusBar1->showMessage(QStringLiteral("اضغط Shift لتثبيت المكبّر ثم انقر داخله "
                                                       "لتنقيط موضع بين البكسلات"),
                                        8000);
        }
    });

    mnuLoupe->addSeparator();
    auto *facteurs = new QActionGroup(mnuLoupe);
    for (int z : {4, 6, 8}) {
        QAction *a = mnuLoupe->addAction(QStringLiteral("تكبير %1×").arg(z));
        a->setObjectName(QStringLiteral("mnuLoupe%1").arg(z));
        a->setCheckable(true);
        a->setChecked(z == loupe->grossissement());
        definirHint(a, QStringLiteral("تكبير %1×|كل بكسل من المقطع يظهر مربعا من %1×%1 في المكبّر")
                           .arg(z));
        facteurs->addAction(a);
        connect(a, &QAction::triggered, loupe, [this, z] { loupe->setGrossissement(z); });
    }
    mnuLoupe->addSeparator();
    auto *places = new QActionGroup(mnuLoupe);
    for (const auto &[texte, place, nom] :
         {std::tuple{QStringLiteral("في زاوية الصورة"), TLoupe::Place::Coin, "mnuLoupeCoin"},
          std::tuple{QStringLiteral("بجانب المؤشر"), TLoupe::Place::PresDuPointeur,
                     "mnuLoupePointeur"}}) {
        QAction *a = mnuLoupe->addAction(texte);
        a->setObjectName(QLatin1String(nom));
        a->setCheckable(true);
        a->setChecked(place == loupe->place());
        definirHint(a, texte + QStringLiteral("|موضع المكبّر : ") + texte);
        places->addAction(a);
        connect(a, &QAction::triggered, loupe, [this, place = place] { loupe->setPlace(place); });
    }
}

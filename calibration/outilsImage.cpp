// Tilted axes (typed angle, dragged x arrow, two clicks along a slope), the tape and nudging
// the last pointing with Alt + arrows.
#include "calibration/outilsImage.h"

#include "app/Unit1.h"
#include "calibration/transformation.h"
#include "clip/TMediaPlayer.h"
#include "measure/Nbreels.h"
#include "measure/document.h"
#include "measure/dessin.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

namespace
{

constexpr double kPresEnd = 6;    // pixels: a press this close to a tape end takes it
constexpr double kPresFleche = 8; // and this close to the x arrow's tip turns the axes

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The angle of the x axis whose positive end runs from a towards b, with the directions in
// force, to the hundredth of a degree.
double angleVers(QPointF a, QPointF b)
{
    double degres = std::atan2(-(b.y() - a.y()), b.x() - a.x()) * 180 / M_PI;
    if (sensX != 1) degres += 180;
    return angleNormalise(std::round(angleNormalise(degres) * 100) / 100);
}

// Drawn over the picture, above the markers; the mouse goes through it.
class VueRuban : public QWidget
{
public:
    VueRuban(QWidget *parent, const OutilsImage *outils) : QWidget(parent), outils_(outils)
    {
        setObjectName(QStringLiteral("vueRuban"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF a = outils_->rubanA(), b = outils_->rubanB();
        for (const bool contour : {true, false}) {
            p.setPen(QPen(contour ? QColor(0, 0, 0) : QColor(255, 220, 0), contour ? 4 : 2,
                          Qt::SolidLine, Qt::RoundCap));
            p.drawLine(a, b);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(a, kPresEnd - 2, kPresEnd - 2);
            p.drawEllipse(b, kPresEnd - 2, kPresEnd - 2);
        }
        // The value beside the middle of the tape, on the side away from it.
        const QString texte =
            texteSci(chiffresXY - 1, outils_->longueurRuban()) + QStringLiteral(" m");
        QFont police = p.font();
        police.setBold(true);
        p.setFont(police);
        const QFontMetrics fm(police);
        QRectF cadre = fm.boundingRect(texte).adjusted(-3, -1, 3, 1);
        QPointF n(-(b.y() - a.y()), b.x() - a.x());
        const double l = std::hypot(n.x(), n.y());
        n = l > 0 ? n / l : QPointF(0, -1);
        if (n.y() > 0) n = -n; // above the tape rather than below
        const QPointF centre = (a + b) / 2 + n * (cadre.height() / 2 + 6);
        cadre.moveCenter(centre);
        cadre.moveLeft(std::clamp(cadre.left(), 0.0, std::max(0.0, width() - cadre.width())));
        cadre.moveTop(std::clamp(cadre.top(), 0.0, std::max(0.0, height() - cadre.height())));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 170));
        p.drawRect(cadre);
        p.setPen(QColor(255, 220, 0));
        p.drawText(cadre, Qt::AlignCenter, texte);
    }

private:
    const OutilsImage *outils_;
};

bool gardeSesTouches(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

} // namespace

OutilsImage::OutilsImage(TForm1 *fenetre) : QObject(fenetre), f_(fenetre)
{
    setObjectName(QStringLiteral("outilsImage"));
    vueRuban_ = new VueRuban(f_->PaintBox1, this);
    connect(f_->document, &DocumentMesure::modifie, this, [this](const PlageMesure &plage) {
        if (plage.positions.size() != 1 || !plage.positions.front().apres) return;
        dernierPoint_ = plage.positions.front().point;
        derniereImage_ = plage.positions.front().image;
    });
    qApp->installEventFilter(this);
}

void OutilsImage::montrerRuban(bool oui)
{
    rubanVisible_ = oui;
    const QRect image(0, 0, largeurAffichee, hauteurAffichee);
    if (oui && (rubanA_ == rubanB_ || !image.contains(rubanA_) || !image.contains(rubanB_))) {
        // First shown, or off a picture shown smaller since: across its middle half.
        const int W = std::max(largeurAffichee, 2), H = std::max(hauteurAffichee, 1);
        rubanA_ = QPoint(W / 4, H / 2);
        rubanB_ = QPoint(W - 1 - W / 4, H / 2);
    }
    vueRuban_->setGeometry(f_->PaintBox1->rect());
    vueRuban_->setVisible(oui);
    vueRuban_->raise();
    if (f_->mnuRuban->isChecked() != oui) f_->mnuRuban->setChecked(oui);
    f_->mnuRubanEtalon->setEnabled(oui && f_->mnuRuban->isEnabled());
}

void OutilsImage::placerRuban(QPoint a, QPoint b)
{
    rubanA_ = a;
    rubanB_ = b;
    redessinerRuban();
}

long double OutilsImage::longueurRuban() const
{
    const ReglagesMesure &g = mesureDeTravail().reglages;
    const long double dx = xMetres(g, rubanB_) - xMetres(g, rubanA_);
    const long double dy = yMetres(g, rubanB_) - yMetres(g, rubanA_);
    return std::sqrt(dx * dx + dy * dy);
}

void OutilsImage::redessinerRuban()
{
    if (rubanVisible_) vueRuban_->update();
}

void OutilsImage::armerPente(bool oui)
{
    etapePente_ = oui ? 1 : 0;
    if (f_->mnuAxesPente->isChecked() != oui) f_->mnuAxesPente->setChecked(oui);
    if (!f_->StatusBar1) return;
    if (oui)
        f_->StatusBar1->showMessage(QStringLiteral(
            "انقر على نقطتين من المنحدر : الأولى ثم الثانية في إتجاه محور x (Esc للتراجع)"));
    else
        f_->StatusBar1->clearMessage();
}

bool OutilsImage::clicPente(QPoint p)
{
    if (etapePente_ == 1) {
        penteA_ = p;
        etapePente_ = 2;
        if (f_->StatusBar1)
            f_->StatusBar1->showMessage(
                QStringLiteral("انقر الآن على النقطة الثانية من المنحدر (Esc للتراجع)"));
        return true;
    }
    if (p == penteA_) return true; // the same pixel twice gives no direction: wait for another
    armerPente(false);
    f_->changerAngleAxes(angleVers(penteA_, p));
    return true;
}

std::optional<int> OutilsImage::pointADeplacer(int image) const
{
    const DocumentMesure &d = *f_->document;
    if (derniereImage_ == image && d.position(dernierPoint_, image)) return dernierPoint_;
    const int courant = f_->udPointNumero->Position() - 1;
    if (d.position(courant, image)) return courant;
    for (int p = f_->udPointsPlan->Position() - 1; p >= 0; --p)
        if (d.position(p, image)) return p;
    return std::nullopt;
}

bool OutilsImage::eventFilter(QObject *objet, QEvent *e)
{
    const QEvent::Type type = e->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (!objet->isWidgetType() || static_cast<QWidget *>(objet)->window() != f_) return false;
        if (k->key() == Qt::Key_Escape && etapePente_) {
            e->accept();
            if (type == QEvent::KeyPress) armerPente(false);
            return true;
        }
        if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return false;
        int dx = 0, dy = 0;
        switch (k->key()) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            return false;
        }
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
        if (gardeSesTouches(QApplication::focusWidget())) return false;
        e->accept();
        if (type == QEvent::KeyPress) f_->deplacerDernierPointage(dx, dy);
        return true;
    }
    if (objet != f_->PaintBox1) return false;
    if (type == QEvent::Resize) {
        vueRuban_->setGeometry(f_->PaintBox1->rect());
        if (rubanVisible_) montrerRuban(true); // brought back onto a smaller picture
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto *m = static_cast<QMouseEvent *>(e);
    const int W = largeurAffichee, H = hauteurAffichee;
    const QPoint ici(std::clamp(qRound(m->position().x()), 0, std::max(W - 1, 0)),
                     std::clamp(qRound(m->position().y()), 0, std::max(H - 1, 0)));
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (m->button() != Qt::LeftButton || !f_->clipOuvert()) return false;
        if (etapePente_) {
            glisse_ = -1; // its release is not a pointing either
            return clicPente(ici);
        }
        if (rubanVisible_) {
            const double da = distance(m->position(), rubanA_),
                         db = distance(m->position(), rubanB_);
            if (std::min(da, db) <= kPresEnd) {
                glisse_ = da <= db ? 1 : 2;
                return true;
            }
        }
        if (f_->rbChxOrig->isChecked() && f_->document->reglages().aspects[0].trace) {
            const QPointF pointe = pointeAxeX(sensX, origineX, origineY, H, W, angleAxes);
            if (distance(m->position(), pointe) <= kPresFleche) {
                glisse_ = 3;
                return true;
            }
        }
        return false;
    }
    case QEvent::MouseMove:
        if (glisse_ == 1 || glisse_ == 2) {
            (glisse_ == 1 ? rubanA_ : rubanB_) = ici;
            redessinerRuban();
        } else if (glisse_ == 3 && ici != QPoint(origineX, origineY)) {
            f_->changerAngleAxes(angleVers(QPointF(origineX, origineY), ici));
        }
        return false; // the live coordinates follow the mouse as ever
    case QEvent::MouseButtonRelease:
        if (m->button() != Qt::LeftButton || glisse_ == 0) return false;
        glisse_ = 0;
        // Both ends on one pixel would measure nothing: the tape keeps a length.
        if (rubanA_ == rubanB_) rubanB_.rx() += rubanB_.x() + 1 < W ? 1 : -1;
        redessinerRuban();
        return true;
    default:
        return false;
    }
}

void TForm1::construireOutilsImage()
{
    // Beside the orientation buttons: the turn of the axes in degrees.
    if (auto *l = qobject_cast<QHBoxLayout *>(pnlChxOrig->layout())) {
        auto *titre = new QLabel(QStringLiteral("ميل"), pnlChxOrig);
        edAngleAxes = new QDoubleSpinBox(pnlChxOrig);
        edAngleAxes->setObjectName(QStringLiteral("edAngleAxes"));
        edAngleAxes->setRange(-180, 180);
        edAngleAxes->setDecimals(2);
        edAngleAxes->setSingleStep(1);
        edAngleAxes->setWrapping(true);
        edAngleAxes->setSuffix(QStringLiteral("°"));
        edAngleAxes->setKeyboardTracking(false);
        edAngleAxes->setLayoutDirection(Qt::LeftToRight);
        edAngleAxes->setEnabled(false);
        definirHint(edAngleAxes,
                    QStringLiteral("ميل المحاور بالدرجات|ميل المحاور : زاوية محور x مع الأفقي "
                                   "بالدرجات، موجبة عكس إتجاه عقارب الساعة"));
        titre->setBuddy(edAngleAxes);
        // The four orientation buttons stay whole beside it.
        tBarOriAxes->setMinimumWidth(tBarOriAxes->sizeHint().width());
        l->addWidget(titre);
        l->addWidget(edAngleAxes);
        connect(edAngleAxes, &QDoubleSpinBox::valueChanged, this,
                [this](double v) { changerAngleAxes(v); });
    }

    mnuPointages->addSeparator();
    mnuAxesPente = new QAction(QStringLiteral("إمالة المحاور على منحدر (نقرتان)"), this);
    mnuAxesPente->setObjectName(QStringLiteral("mnuAxesPente"));
    mnuAxesPente->setCheckable(true);
    mnuAxesPente->setStatusTip(
        QStringLiteral("نقرتان على الصورة على طول منحدر تجعلان محور x موازيا له"));
    mnuRuban = new QAction(QStringLiteral("شريط القياس"), this);
    mnuRuban->setObjectName(QStringLiteral("mnuRuban"));
    mnuRuban->setCheckable(true);
    mnuRuban->setStatusTip(
        QStringLiteral("شريط على الصورة يعرض طوله بالمتر، اسحب طرفيه لقياس مسافة"));
    mnuRubanEtalon = new QAction(QStringLiteral("السلمان من طرفي الشريط ..."), this);
    mnuRubanEtalon->setObjectName(QStringLiteral("mnuRubanEtalon"));
    mnuRubanEtalon->setStatusTip(
        QStringLiteral("طرفا الشريط يصبحان نقطتي المعايرة، ثم أدخل الطول الحقيقي بالمتر"));
    for (QAction *a : {mnuAxesPente, mnuRuban, mnuRubanEtalon}) {
        a->setEnabled(false);
        mnuPointages->addAction(a);
    }
    outilsImage = new OutilsImage(this);
    connect(mnuAxesPente, &QAction::triggered, this, &TForm1::mnuAxesPenteClick);
    connect(mnuRuban, &QAction::triggered, this, &TForm1::mnuRubanClick);
    connect(mnuRubanEtalon, &QAction::triggered, this, &TForm1::mnuRubanEtalonClick);
    // They need a clip, as the Pointing menu does.
    connect(mnuPointages->menuAction(), &QAction::changed, this, [this] {
        const bool actif = mnuPointages->isEnabled();
        mnuAxesPente->setEnabled(actif);
        mnuRuban->setEnabled(actif);
        mnuRubanEtalon->setEnabled(actif && outilsImage->rubanVisible());
        if (edAngleAxes) edAngleAxes->setEnabled(actif);
    });
}

void TForm1::afficherAngleAxes()
{
    if (!edAngleAxes) return;
    const QSignalBlocker bloque(edAngleAxes);
    edAngleAxes->setValue(angleAxes);
}

void TForm1::changerAngleAxes(double degres)
{
    degres = angleNormalise(degres);
    const bool change = degres != angleAxes;
    angleAxes = degres;
    afficherAngleAxes();
    if (!change || !clipOuvert()) return;
    MaJlblP();
    ActualGrid();
    if (document->reglages().aspects[0].trace) reDraw(MediaPlayer1, imageCourante);
    if (outilsImage) outilsImage->placerRuban(outilsImage->rubanA(), outilsImage->rubanB());
}

void TForm1::mnuAxesPenteClick()
{
    outilsImage->armerPente(mnuAxesPente->isChecked() && clipOuvert());
}

void TForm1::mnuRubanClick()
{
    outilsImage->montrerRuban(mnuRuban->isChecked() && clipOuvert());
}

void TForm1::mnuRubanEtalonClick()
{
    if (!clipOuvert() || !outilsImage->rubanVisible()) return;
    const QPoint a = outilsImage->rubanA(), b = outilsImage->rubanB();
    // The common Scale's own flow: its mode, its two points clicked, its length box.
    popUpMnuModeEtalonnerClick();
    if (!rbEtalonSimu->isChecked()) rbEtalonSimu->click();
    const QPoint p1 = etalonP1, p2 = etalonP2;
    const auto poser = [this](QCheckBox *boite, QPoint p) {
        if (!boite->isChecked()) boite->click();
        clicEtalon(p.x(), p.y());
    };
    // Moved in the order that never makes the two points one.
    if (a == p2 && b == p1) {
        // Already the tape's ends, the other way round.
    } else if (a == p2) {
        poser(chkBoxPt2, b);
        poser(chkBoxPt1, a);
    } else {
        poser(chkBoxPt1, a);
        poser(chkBoxPt2, b);
    }
    if (!chkBoxPt1->isChecked()) chkBoxPt1->click();
    edSi->setFocus(Qt::OtherFocusReason);
    edSi->selectAll();
    if (StatusBar1)
        StatusBar1->showMessage(
            QStringLiteral("أدخل الطول الحقيقي للشريط بالمتر في خانة السلمين المتماثلين"));
}

bool TForm1::deplacerDernierPointage(int dx, int dy)
{
    if (!clipOuvert() || imageCourante < 0) return false;
    const std::optional<int> p = outilsImage->pointADeplacer(imageCourante);
    if (!p) return false;
    const int image = imageCourante;
    if (!document->deplacer(*p, image, QPointF(dx, dy), largeurAffichee, hauteurAffichee))
        return false;
    reDraw(MediaPlayer1, imageCourante);
    emit tableauModifie(image + 1, *p + 1);
    return true;
}

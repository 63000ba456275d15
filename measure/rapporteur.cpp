#include "measure/rapporteur.h"

#include "measure/Nbreels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kPortee = 7; // pixels around an end that take the mouse

} // namespace

double angleRapporteur(QPointF sommet, QPointF a, QPointF b)
{
    const QPointF u = a - sommet, v = b - sommet;
    if ((u.x() == 0 && u.y() == 0) || (v.x() == 0 && v.y() == 0)) return 0;
    // y grows downward on the screen: counter-clockwise is the cross product's opposite.
    const double d = std::atan2(-(u.x() * v.y() - u.y() * v.x()), u.x() * v.x() + u.y() * v.y());
    const double degres = d * 180 / kPi;
    return degres <= -180 ? degres + 360 : degres;
}

TRapporteur::TRapporteur(QWidget *image) : QWidget(image), image_(image)
{
    setObjectName(QStringLiteral("rapporteur"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(image->rect());
    image->installEventFilter(this);
    placerAuDepart();
    hide();
}

void TRapporteur::placerAuDepart()
{
    const QSizeF t = image_ ? QSizeF(image_->size()) : QSizeF(200, 200);
    const double l = std::min(t.width(), t.height()) * 0.6;
    const QPointF s(std::round(t.width() / 2), std::round(t.height() * 0.2));
    points_[Sommet] = s;
    points_[Bras1] = s + QPointF(0, std::round(l));
    points_[Bras2] = s + QPointF(std::round(l * std::sin(37 * kPi / 180)),
                                 std::round(l * std::cos(37 * kPi / 180)));
    update();
    emit angleChange(angle());
}

void TRapporteur::setExtremite(Extremite e, QPointF p)
{
    points_[e] = p;
    update();
    emit angleChange(angle());
}

double TRapporteur::angle() const
{
    return angleRapporteur(points_[Sommet], points_[Bras1], points_[Bras2]);
}

int TRapporteur::extremiteSous(QPointF p) const
{
    // The arms' ends first: at the start of a drag they may lie on the vertex.
    for (int e : {Bras2, Bras1, Sommet})
        if (QLineF(p, points_[e]).length() <= kPortee) return e;
    return -1;
}

bool TRapporteur::eventFilter(QObject *objet, QEvent *e)
{
    if (objet != image_) return false;
    if (e->type() == QEvent::Resize) {
        setGeometry(image_->rect());
        return false;
    }
    if (!isVisible()) return false;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *m = static_cast<QMouseEvent *>(e);
        if (m->button() != Qt::LeftButton) return false;
        glisse_ = extremiteSous(m->position());
        return glisse_ >= 0;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(e);
        if (glisse_ < 0) return false; // the live coordinates go on
        setExtremite(Extremite(glisse_), m->position());
        return false;
    }
    case QEvent::MouseButtonRelease: {
        if (glisse_ < 0) return false;
        auto *m = static_cast<QMouseEvent *>(e);
        setExtremite(Extremite(glisse_), m->position());
        glisse_ = -1;
        return true; // a drag is no pointing
    }
    default:
        return false;
    }
}

void TRapporteur::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF s = points_[Sommet], a = points_[Bras1], b = points_[Bras2];
    // The arc between the arms, from the first to the second.
    const double r = std::min({28.0, QLineF(s, a).length(), QLineF(s, b).length()});
    const double debut = std::atan2(-(a - s).y(), (a - s).x()) * 180 / kPi;
    QPainterPath arc;
    arc.arcMoveTo(QRectF(s.x() - r, s.y() - r, 2 * r, 2 * r), debut);
    arc.arcTo(QRectF(s.x() - r, s.y() - r, 2 * r, 2 * r), debut, angle());
    for (const auto &[couleur, largeur] :
         {std::pair{QColor(0, 0, 0, 150), 3.0}, std::pair{QColor(0, 220, 255), 1.0}}) {
        p.setPen(QPen(couleur, largeur));
        p.setBrush(Qt::NoBrush);
        p.drawLine(s, a);
        p.drawLine(s, b);
        p.drawPath(arc);
        for (const QPointF &q : points_)
            p.drawEllipse(q, 4, 4);
    }
    // The value beside the vertex, on the side away from the arms.
    const QString texte =
        QString::number(angle(), 'f', 1).replace(QLatin1Char('.'), separateurDecimal()) +
        QStringLiteral("°");
    QFont police = p.font();
    police.setBold(true);
    police.setPixelSize(14);
    p.setFont(police);
    const QFontMetricsF fm(police);
    QPointF dir = -((a - s) / std::max(1.0, QLineF(s, a).length()) +
                    (b - s) / std::max(1.0, QLineF(s, b).length()));
    const double n = std::hypot(dir.x(), dir.y());
    dir = n > 0.1 ? dir / n : QPointF(-1, 0);
    const QSizeF taille(fm.horizontalAdvance(texte) + 8, fm.height() + 2);
    QRectF cadre(s + dir * (r + 6 + taille.width() / 2) - QPointF(taille.width(), taille.height()) / 2,
                 taille);
    cadre.moveLeft(std::clamp(cadre.left(), 0.0, std::max(0.0, width() - cadre.width())));
    cadre.moveTop(std::clamp(cadre.top(), 0.0, std::max(0.0, height() - cadre.height())));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawRoundedRect(cadre, 3, 3);
    p.setPen(QColor(0, 220, 255));
    p.drawText(cadre, Qt::AlignCenter, texte);
}

// ---- The main window's commands ----

#include "app/Unit1.h"
#include "clip/TMediaPlayer.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"

#include <QCheckBox>
#include <QStatusBar>

void TForm1::construireRapporteur()
{
    rapporteur = new TRapporteur(PaintBox1);
    mnuRapporteur = new QAction(QStringLiteral("المنقلة"), this);
    mnuRapporteur->setObjectName(QStringLiteral("mnuRapporteur"));
    mnuRapporteur->setCheckable(true);
    mnuRapporteur->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    definirHint(mnuRapporteur, QStringLiteral("إظهار أو إخفاء المنقلة|اسحب رأس المنقلة وطرفي "
                                              "ذراعيها لقياس زاوية على الصورة"));
    mnuEnregistrerAngle = new QAction(QStringLiteral("تسجيل الزاوية في الجدول"), this);
    mnuEnregistrerAngle->setObjectName(QStringLiteral("mnuEnregistrerAngle"));
    mnuEnregistrerAngle->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    mnuEnregistrerAngle->setEnabled(false);
    definirHint(mnuEnregistrerAngle,
                QStringLiteral("تسجيل الزاوية|تسجيل زاوية المنقلة للصورة المعروضة في عمود "
                               "angle من الجدول"));
    mnuPointages->addAction(mnuRapporteur);
    mnuPointages->addAction(mnuEnregistrerAngle);
    connect(mnuRapporteur, &QAction::toggled, this, [this](bool oui) {
        if (oui && !rapporteur->isVisible()) rapporteur->placerAuDepart();
        rapporteur->setVisible(oui);
        if (oui) rapporteur->raise();
        mnuEnregistrerAngle->setEnabled(oui && clipOuvert());
    });
    connect(mnuEnregistrerAngle, &QAction::triggered, this, &TForm1::enregistrerAngleExecute);
}

void TForm1::enregistrerAngleExecute()
{
    if (!clipOuvert() || !rapporteur->isVisible()) return;
    const int f = imageCourante;
    if (f < 0 || f >= nbImages) return;
    document->changerAngle(f, rapporteur->angle());
    emit tableauModifie(f + 1, 0);
    if (chkBoxAutoV->isChecked() && f + 1 < std::min(nbImages, MediaPlayer1->Length()))
        affichImage(MediaPlayer1, f + 1);
    selectionnerLigneCourante();
    if (StatusBar1)
        StatusBar1->showMessage(QStringLiteral("سُجّلت الزاوية %1 للصورة %2")
                                    .arg(StringGrid1->Cells(StringGrid1->ColCount() - 1, f + 1)
                                             .trimmed())
                                    .arg(f + 1),
                                5000);
}

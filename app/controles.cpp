#include "app/controles.h"
#include "help/indications.h"

#include <QAction>
#include <QCoreApplication>
#include <QStatusTipEvent>
#include <QBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>

TUpDown::TUpDown(QWidget *parent, Qt::Orientation o) : QWidget(parent)
{
    haut_ = new QToolButton(this);
    bas_ = new QToolButton(this);
    const bool vertical = o == Qt::Vertical;
    haut_->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    bas_->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
    auto *l = vertical ? static_cast<QBoxLayout *>(new QVBoxLayout(this))
                       : static_cast<QBoxLayout *>(new QHBoxLayout(this));
    // One pixel around the arrows for the focus frame.
    l->setContentsMargins(1, 1, 1, 1);
    l->setSpacing(0);
    if (vertical) {
        l->addWidget(haut_);
        l->addWidget(bas_);
    } else {
        l->addWidget(bas_);
        l->addWidget(haut_);
    }
    for (QToolButton *b : {haut_, bas_}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setFixedSize(vertical ? QSize(17, 11) : QSize(13, 17));
        // The up-down itself takes the focus and the arrow keys, as one control.
        b->setFocusPolicy(Qt::NoFocus);
        // A step on every press, the first one and each auto-repeat, and none on the release:
        // the release handlers then see the position the user let go at.
        connect(b, &QToolButton::pressed, this, [this, b] {
            emit MouseDown();
            cliquer(b == haut_);
        });
        connect(b, &QToolButton::released, this, [this, b] {
            // auto-repeat raises released/pressed pairs while held; only the real release counts
            if (!b->isDown()) emit MouseUp();
        });
    }
    setFocusPolicy(Qt::StrongFocus);
}

void TUpDown::keyPressEvent(QKeyEvent *e)
{
    const bool vertical = haut_->arrowType() == Qt::UpArrow;
    const int plus = vertical ? Qt::Key_Up : Qt::Key_Right;
    const int moins = vertical ? Qt::Key_Down : Qt::Key_Left;
    if (e->key() != plus && e->key() != moins) {
        QWidget::keyPressEvent(e);
        return;
    }
    // A held key repeats like a held arrow; its release is the button's release.
    if (!e->isAutoRepeat()) emit MouseDown();
    cliquer(e->key() == plus);
}

void TUpDown::keyReleaseEvent(QKeyEvent *e)
{
    const bool vertical = haut_->arrowType() == Qt::UpArrow;
    const bool fleche = vertical ? e->key() == Qt::Key_Up || e->key() == Qt::Key_Down
                                 : e->key() == Qt::Key_Left || e->key() == Qt::Key_Right;
    if (!fleche) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    if (!e->isAutoRepeat()) emit MouseUp();
}

void TUpDown::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    update();
}

void TUpDown::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    update();
}

void TUpDown::paintEvent(QPaintEvent *e)
{
    QWidget::paintEvent(e);
    if (!hasFocus()) return;
    // The arrows take no focus themselves: a dotted frame shows where the keys go.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TUpDown::setPosition(int p)
{
    position_ = std::clamp(p, min_, std::max(min_, max_));
    afficher();
}

void TUpDown::setAffichage(QLabel *affichage)
{
    affichage_ = affichage;
    afficher();
}

void TUpDown::afficher()
{
    if (affichage_) affichage_->setText(QString::number(position_));
}

void TUpDown::setMin(int m)
{
    min_ = m;
    setPosition(position_);
}

void TUpDown::setMax(int m)
{
    max_ = m;
    setPosition(position_);
}

void TUpDown::cliquer(bool haut)
{
    if (!isEnabled()) return;
    long long cible = static_cast<long long>(position_) + (haut ? increment_ : -increment_);
    if (cible > max_) cible = wrap_ ? min_ : max_;
    if (cible < min_) cible = wrap_ ? max_ : min_;
    int nouvelle = static_cast<int>(cible);
    bool permis = true;
    emit Changing(nouvelle, permis);
    if (!permis) return;
    position_ = std::clamp(nouvelle, min_, std::max(min_, max_));
    afficher();
    emit Click(haut);
}

TRadioGroup::TRadioGroup(const QString &titre, const QStringList &elements, QWidget *parent)
    : QGroupBox(titre, parent)
{
    auto *l = new QGridLayout(this);
    l->setContentsMargins(6, 4, 6, 4);
    for (int i = 0; i < elements.size(); ++i) {
        auto *b = new QRadioButton(elements[i], this);
        groupe_.addButton(b, i);
    }
    setColumns(1);
    connect(&groupe_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
}

void TRadioGroup::setColumns(int n)
{
    colonnes_ = std::max(1, n);
    auto *l = static_cast<QGridLayout *>(layout());
    // Items fill the columns top to bottom, as many rows as the longest column needs.
    const int lignes = (count() + colonnes_ - 1) / colonnes_;
    for (int i = 0; i < count(); ++i)
        l->removeWidget(bouton(i));
    for (int i = 0; i < count(); ++i)
        l->addWidget(bouton(i), i % lignes, i / lignes);
}

int TRadioGroup::ItemIndex() const
{
    return groupe_.checkedId();
}

void TRadioGroup::setItemIndex(int i)
{
    if (i == ItemIndex()) return;
    if (i < 0 || i >= count()) {
        if (QAbstractButton *b = groupe_.checkedButton()) {
            groupe_.setExclusive(false);
            b->setChecked(false);
            groupe_.setExclusive(true);
        }
    } else {
        groupe_.button(i)->setChecked(true);
    }
    emit Click();
}

QRadioButton *TRadioGroup::bouton(int i) const
{
    return static_cast<QRadioButton *>(groupe_.button(i));
}

int TRadioGroup::count() const
{
    return static_cast<int>(groupe_.buttons().size());
}

TPaintBox::TPaintBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMouseTracking(true);
}

QImage &TPaintBox::Canvas()
{
    if (canvas_.size() != size()) {
        QImage nouveau(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        nouveau.fill(Qt::transparent);
        if (!canvas_.isNull()) {
            QPainter p(&nouveau);
            p.drawImage(0, 0, canvas_);
        }
        canvas_ = nouveau;
    }
    return canvas_;
}

void TPaintBox::effacerCanvas()
{
    Canvas().fill(Qt::transparent);
    rafraichir();
}

void TPaintBox::rafraichir()
{
    interne_ = true;
    update();
}

QImage TPaintBox::capture()
{
    QImage resultat(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resultat.fill(Qt::white);
    QPainter p(&resultat);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (imageFond) {
        const QImage fond = imageFond();
        if (!fond.isNull()) p.drawImage(rect(), fond);
    }
    p.drawImage(0, 0, Canvas());
    return resultat;
}

void TPaintBox::paintEvent(QPaintEvent *)
{
    {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (imageFond) {
            const QImage fond = imageFond();
            if (!fond.isNull()) p.drawImage(rect(), fond);
        }
        p.drawImage(0, 0, Canvas());
    }
    const bool demandeParLeSysteme = !interne_;
    interne_ = false;
    if (demandeParLeSysteme) emit Paint();
}

void TPaintBox::resizeEvent(QResizeEvent *)
{
    Canvas();
}

void TPaintBox::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    emit MouseDown(e->button(), e->modifiers(), p.x(), p.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    emit MouseMove(e->modifiers(), p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    emit MouseUp(e->button(), e->modifiers(), p.x(), p.y());
}

void definirHint(QWidget *w, const QString &hint)
{
    w->setProperty("hint", hint);
    w->setToolTip(partieCourte(hint));
    w->setStatusTip(partieLongue(hint));
    // A hint that changes under the pointer reaches the status bar at once.
    if (w->underMouse()) {
        QStatusTipEvent e(w->statusTip());
        QCoreApplication::sendEvent(w, &e);
    }
}

void definirHint(QAction *a, const QString &hint)
{
    a->setProperty("hint", hint);
    a->setToolTip(partieCourte(hint));
    a->setStatusTip(partieLongue(hint));
}

QString hintDe(const QObject *o)
{
    return o ? o->property("hint").toString() : QString();
}

bool filtrerTouche(QLineEdit *ed, QKeyEvent *e, const std::function<void(QChar &)> &filtre)
{
    const QString texte = e->text();
    if (texte.isEmpty() || (e->modifiers() & Qt::ControlModifier)) return false;
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    QString garde;
    bool change = false;
    for (QChar c : texte) {
        QChar k = c;
        filtre(k);
        if (k.isNull()) {
            change = true;
            continue;
        }
        change = change || k != c;
        garde += k;
    }
    if (!change) return false;
    if (!garde.isEmpty()) ed->insert(garde);
    return true;
}

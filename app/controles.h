#pragma once
// Small controls the windows share: an up-down with the behaviour the handlers rely on,
// a radio group with an item index, and the pointing area with its overlay canvas.
#include <QButtonGroup>
#include <QGroupBox>
#include <QImage>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QToolButton;
class QRadioButton;

// Two arrow buttons driving an integer position within [Min, Max].
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr, Qt::Orientation o = Qt::Vertical);
    int Position() const { return position_; }
    // Sets the position (clamped to the range) without raising Click.
    void setPosition(int p);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void setMin(int m);
    void setMax(int m);
    int Increment() const { return increment_; }
    void setIncrement(int i) { increment_ = i; }
    bool Wrap() const { return wrap_; }
    void setWrap(bool w) { wrap_ = w; }
    // One click on an arrow, as the user does it (also used by tests).
    void cliquer(bool haut);
    // A label that shows the position, kept in step with it.
    void setAffichage(QLabel *affichage);
    QToolButton *flecheHaut() const { return haut_; }
    QToolButton *flecheBas() const { return bas_; }

signals:
    // Before the position changes; the handler may change the new value or refuse the move.
    void Changing(int &nouvelle, bool &permis);
    void Click(bool haut); // after the position changed by an arrow
    void MouseDown();
    void MouseUp();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    QToolButton *haut_, *bas_;
    QLabel *affichage_ = nullptr;
    void afficher();
    int position_ = 0, min_ = 0, max_ = 100, increment_ = 1;
    bool wrap_ = false;
};

// Radio buttons in a frame, selected by index (-1 = none).
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &titre, const QStringList &elements,
                         QWidget *parent = nullptr);
    int ItemIndex() const;
    void setItemIndex(int i); // raises Click like the toolkit does
    QRadioButton *bouton(int i) const;
    int count() const;
    // Number of columns the items are laid out in (1 at creation).
    int Columns() const { return colonnes_; }
    void setColumns(int n);

signals:
    void Click();

private:
    QButtonGroup groupe_;
    int colonnes_ = 1;
};

// The pointing area laid over the picture: it shows the clip frame and, over it, a
// transparent overlay on which markers and axes are drawn at once.
class TPaintBox : public QWidget
{
    Q_OBJECT
public:
    explicit TPaintBox(QWidget *parent = nullptr);
    // The overlay canvas, always the size of the widget.
    QImage &Canvas();
    void effacerCanvas();
    // Repaints after the program drew on the overlay. Unlike a repaint the window system asks
    // for (exposure), it does not raise Paint, so drawing never triggers another redraw.
    void rafraichir();
    // Supplies the frame to show under the overlay, scaled to the whole widget.
    std::function<QImage()> imageFond;
    // The composed picture (frame + overlay), as a screen copy would give it.
    QImage capture();

signals:
    void Paint();
    void MouseDown(Qt::MouseButton bouton, Qt::KeyboardModifiers mod, int x, int y);
    void MouseMove(Qt::KeyboardModifiers mod, int x, int y);
    void MouseUp(Qt::MouseButton bouton, Qt::KeyboardModifiers mod, int x, int y);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage canvas_;
    bool interne_ = false;
};

// "Short|long" hints: the short part is the bubble, the long one goes to the status bar.
// The numeric boxes' key filter: each typed character goes through filtre, which may change it
// or clear it (QChar()); true when the key was handled here. Keys without a character, Tab,
// Escape, Delete and Ctrl shortcuts (copy, paste) pass through.
class QLineEdit;
class QKeyEvent;
bool filtrerTouche(QLineEdit *ed, QKeyEvent *e, const std::function<void(QChar &)> &filtre);

void definirHint(QWidget *w, const QString &hint);
void definirHint(QAction *a, const QString &hint);
QString hintDe(const QObject *o);

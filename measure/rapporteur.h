#pragma once
// The protractor over the picture: a vertex and two arms whose three ends are dragged with
// the mouse, and the angle between the arms written beside the vertex. Positions are in
// displayed pixels, like the pointings. The angle goes from the first arm to the second,
// counter-clockwise on the screen positive, within (-180, 180] degrees: with the first arm
// hanging straight down, a pendulum's string on the right of it reads positive.
#include <QPointF>
#include <QPointer>
#include <QWidget>

// The angle from arm sommet-a to arm sommet-b in degrees, as above; 0 when an arm has no
// length.
double angleRapporteur(QPointF sommet, QPointF a, QPointF b);

class TRapporteur : public QWidget
{
    Q_OBJECT
public:
    // Lies over `image` (the pointing area), the same size; takes its mouse presses only on
    // the three ends, so that every other click still points.
    explicit TRapporteur(QWidget *image);

    enum Extremite { Sommet, Bras1, Bras2 };
    QPointF extremite(Extremite e) const { return points_[e]; }
    void setExtremite(Extremite e, QPointF p);
    double angle() const;
    // Vertex in the upper part of the picture, first arm hanging down, second arm at 37°.
    void placerAuDepart();

signals:
    void angleChange(double degres);

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    int extremiteSous(QPointF p) const; // -1: none within reach
    QPointer<QWidget> image_;
    QPointF points_[3];
    int glisse_ = -1;
};

#pragma once
// Tools on the picture beside pointing: turning the axes by their x arrow (origin mode) or by
// two clicks along a slope, the tape (a length with its two ends dragged) and Alt + arrows to
// nudge the last pointing of the frame shown. They see the picture's mouse before the
// pointing does and keep only the presses that are theirs. Positions are displayed pixels.
#include <QObject>
#include <QPoint>
#include <QPointF>

#include <optional>

class TForm1;
class QWidget;

class OutilsImage : public QObject
{
    Q_OBJECT
public:
    explicit OutilsImage(TForm1 *fenetre);

    // The tape: shown or not, and its two ends.
    bool rubanVisible() const { return rubanVisible_; }
    QPoint rubanA() const { return rubanA_; }
    QPoint rubanB() const { return rubanB_; }
    void montrerRuban(bool oui);
    void placerRuban(QPoint a, QPoint b);
    // The tape's length in metres through the current calibration, as the table measures the
    // distance between two pointings at its ends.
    long double longueurRuban() const;
    // Waiting for the two clicks along a slope (0: not, 1: the first, 2: the second).
    int etapePente() const { return etapePente_; }
    void armerPente(bool oui);
    // The pointing Alt + arrows move on frame `image`: the last one made there in this run,
    // else the current point's, else the highest point's. Nothing when none.
    std::optional<int> pointADeplacer(int image) const;

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void redessinerRuban();
    bool clicPente(QPoint p);

    TForm1 *f_;
    QWidget *vueRuban_;
    bool rubanVisible_ = false;
    QPoint rubanA_, rubanB_;
    int glisse_ = 0; // end of the tape being dragged (1 or 2), 3 the x arrow, 0 nothing
    int etapePente_ = 0;
    QPoint penteA_;
    int dernierPoint_ = -1, derniereImage_ = -1; // last pointing made
};

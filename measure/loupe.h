#pragma once
// The magnifier of the pointing area: the clip's own pixels around the pointer, each drawn as
// a block of z x z screen pixels (z = 4 ... 8), with a crosshair on the pixel under the
// pointer. It lies in the top-left corner of the visible picture or beside the pointer.
// While Shift is held it keeps its view and its place, so that the pointer can reach it: a
// click inside it gives a position of the picture between its pixels, in displayed pixels
// (the table's unit), rounded to the quarter pixel or to what the display size allows.
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class TLoupe : public QWidget
{
    Q_OBJECT
public:
    enum class Place { Coin, PresDuPointeur };

    // parent: the visible area the loupe is placed in; image: the pointing area it magnifies.
    TLoupe(QWidget *parent, QWidget *image);

    // The frame at the clip's own size; when it gives nothing, the picture as displayed.
    std::function<QImage()> imageClip;
    // The picture as displayed (frame and markers), the fallback.
    std::function<QImage()> imageAffichee;
    // The positions pointed on the frame shown (displayed pixels) with their colours, marked
    // where they lie between the pixels.
    std::function<std::vector<std::pair<QPointF, QColor>>()> marques;

    int grossissement() const { return z_; }
    void setGrossissement(int z);
    Place place() const { return place_; }
    void setPlace(Place p);

    // The pointer over the picture, in displayed pixels; with Shift held nothing changes.
    void suivre(QPoint affiche, Qt::KeyboardModifiers mod);
    // The displayed pixel shown at the crosshair.
    QPoint centre() const { return centre_; }
    // A point of the loupe (its own pixels) as a position of the picture, rounded to the
    // step the display allows; nothing outside the picture.
    std::optional<QPointF> positionAffichee(QPoint local) const;
    // The loupe's pixel that shows a position of the picture (inverse of the above).
    QPointF pointLocal(QPointF affichee) const;
    // Fraction of a displayed pixel a click in the loupe can tell: 1/4, 1/2 or 1.
    double pas() const;
    // Frame changed or markers drawn: show them again.
    void rafraichir() { update(); }

signals:
    // A click in the loupe: the position of the picture it points at.
    void pointe(QPointF affichee);

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage source(QPointF &echelle) const; // echelle: clip pixels per displayed pixel
    int cases() const;                    // clip pixels across (odd)
    void placer(QPoint affiche);

    QPointer<QWidget> image_;
    int z_ = 4;
    Place place_ = Place::Coin;
    QPoint centre_;
};

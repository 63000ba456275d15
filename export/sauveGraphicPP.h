#pragma once
// The graph copied to the clipboard as a picture: the frame with its points and axes, or
// the points and axes alone on a background colour.
#include "app/controles.h"
#include "app/dialogue.h"

#include <QFrame>

class QLabel;
class QPushButton;

// The background colour of a graph without the picture; taken from the sample at each showing.
extern QColor couleurFond;

// A colour sample: a rectangle, filled (solid) or only outlined (hollow).
class TEchantillonCouleur : public QFrame
{
    Q_OBJECT
public:
    explicit TEchantillonCouleur(QWidget *parent = nullptr);
    bool plein() const { return plein_; }
    void setPlein(bool p);
    QColor couleur() const { return couleur_; }
    void setCouleur(const QColor &c);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    bool plein_ = true;
    QColor couleur_ = Qt::white;
};

class TSauveGraphicPPBox : public TDialogueKinemar
{
    Q_OBJECT
public:
    explicit TSauveGraphicPPBox(QWidget *parent = nullptr);
    QLabel *Label1;
    TRadioGroup *rgIncExc;
    TEchantillonCouleur *shpCouleurFond;
    QPushButton *btnCouleurFond;
    void FormShow() override;
    void rgIncExcClick();
    void btnCouleurFondClick();
    // The picture is as large as the pointing area; it replaces what the clipboard held.
    void OKBtnClick() override;
};

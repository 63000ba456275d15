#include "app/images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace
{

// All drawings work on a 24 x 24 grid; the painter is scaled for larger versions.
using Dessin = void (*)(QPainter &);

const QColor encre(40, 40, 40);

QPen plume(const QColor &c, qreal largeur = 1.2)
{
    return QPen(c, largeur, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void triangle(QPainter &p, QPointF a, QPointF b, QPointF c, const QColor &couleur)
{
    p.setPen(plume(couleur.darker(150), 1.0));
    p.setBrush(couleur);
    p.drawPolygon(QPolygonF({a, b, c}));
}

void barre(QPainter &p, qreal x, const QColor &couleur)
{
    p.setPen(plume(couleur.darker(150), 1.0));
    p.setBrush(couleur);
    p.drawRect(QRectF(x, 6, 2.5, 12));
}

void feuille(QPainter &p, QRectF r)
{
    p.setPen(plume(encre, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

const QColor vertLecture(30, 150, 60);
const QColor bleuNav(40, 90, 180);

void dessinPlay(QPainter &p)
{
    triangle(p, {7, 4}, {20, 12}, {7, 20}, vertLecture);
}

void dessinDeb(QPainter &p)
{
    barre(p, 3, bleuNav);
    triangle(p, {13, 6}, {6, 12}, {13, 18}, bleuNav);
    triangle(p, {21, 6}, {14, 12}, {21, 18}, bleuNav);
}

void dessinFin(QPainter &p)
{
    triangle(p, {3, 6}, {10, 12}, {3, 18}, bleuNav);
    triangle(p, {11, 6}, {18, 12}, {11, 18}, bleuNav);
    barre(p, 18.5, bleuNav);
}

void dessinPre(QPainter &p)
{
    triangle(p, {15, 5}, {6, 12}, {15, 19}, bleuNav);
    barre(p, 16.5, bleuNav);
}

void dessinSui(QPainter &p)
{
    barre(p, 5, bleuNav);
    triangle(p, {9, 5}, {18, 12}, {9, 19}, bleuNav);
}

void dossier(QPainter &p)
{
    p.setPen(plume(QColor(150, 110, 20), 1.0));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath chemise;
    chemise.moveTo(2, 6);
    chemise.lineTo(8, 6);
    chemise.lineTo(10, 8);
    chemise.lineTo(20, 8);
    chemise.lineTo(20, 20);
    chemise.lineTo(2, 20);
    chemise.closeSubpath();
    p.drawPath(chemise);
}

void dessinOpenAvi(QPainter &p)
{
    dossier(p);
    // A strip of film sticking out of the folder.
    p.setPen(plume(encre, 1.0));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(9, 3, 13, 9));
    p.setBrush(QColor(140, 200, 240));
    p.drawRect(QRectF(11, 5.5, 4, 4));
    p.drawRect(QRectF(16, 5.5, 4, 4));
    p.setPen(plume(QColor(150, 110, 20), 1.0));
    p.setBrush(QColor(250, 215, 110));
    QPainterPath rabat;
    rabat.moveTo(2, 20);
    rabat.lineTo(6, 12);
    rabat.lineTo(23, 12);
    rabat.lineTo(20, 20);
    rabat.closeSubpath();
    p.drawPath(rabat);
}

void dessinParcourir(QPainter &p)
{
    dossier(p);
    p.setPen(Qt::NoPen);
    p.setBrush(encre);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(7 + 4 * i, 15), 1.2, 1.2);
}

void dessinIma(QPainter &p)
{
    // A picture frame with arrows pulling its corners out.
    p.setPen(plume(encre, 1.0));
    p.setBrush(QColor(170, 210, 240));
    p.drawRect(QRectF(6, 7, 12, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 160, 80));
    p.drawPolygon(QPolygonF({QPointF(6, 17), QPointF(11, 11), QPointF(15, 17)}));
    p.setPen(plume(QColor(180, 30, 30), 1.4));
    p.drawLine(QPointF(2, 2), QPointF(6, 6));
    p.drawLine(QPointF(2, 2), QPointF(5, 2));
    p.drawLine(QPointF(2, 2), QPointF(2, 5));
    p.drawLine(QPointF(22, 22), QPointF(18, 18));
    p.drawLine(QPointF(22, 22), QPointF(19, 22));
    p.drawLine(QPointF(22, 22), QPointF(22, 19));
}

void dessinCible(QPainter &p)
{
    p.setPen(plume(encre, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.drawLine(QPointF(12, 2), QPointF(12, 9));
    p.drawLine(QPointF(12, 15), QPointF(12, 22));
    p.drawLine(QPointF(2, 12), QPointF(9, 12));
    p.drawLine(QPointF(15, 12), QPointF(22, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QPointF(12, 12), 1.5, 1.5);
}

void courbe(QPainter &p, QRectF r, const QColor &couleur)
{
    p.setPen(plume(couleur, 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath c;
    c.moveTo(r.left(), r.bottom());
    c.cubicTo(r.left() + r.width() * 0.4, r.top() - r.height() * 0.2, r.left() + r.width() * 0.6,
              r.top() - r.height() * 0.2, r.right(), r.bottom());
    p.drawPath(c);
}

void dessinCurExec(QPainter &p)
{
    // A graph with a curve of points, and a small green run arrow.
    p.setPen(plume(encre, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2, 2, 17, 17));
    p.drawLine(QPointF(4, 4), QPointF(4, 17));
    p.drawLine(QPointF(4, 17), QPointF(17, 17));
    courbe(p, QRectF(5, 6, 11, 9), QColor(30, 80, 200));
    triangle(p, {14, 13}, {22.5, 17.5}, {14, 22}, vertLecture);
}

void dessinCopierMesures(QPainter &p)
{
    feuille(p, QRectF(2, 2, 13, 15));
    feuille(p, QRectF(8, 7, 14, 15));
    p.setPen(plume(QColor(90, 120, 170), 0.9));
    for (qreal y = 11; y < 22; y += 3)
        p.drawLine(QPointF(9, y), QPointF(21, y));
    p.drawLine(QPointF(13, 8), QPointF(13, 21));
    p.drawLine(QPointF(17.5, 8), QPointF(17.5, 21));
}

void dessinCopierGraphique(QPainter &p)
{
    feuille(p, QRectF(2, 2, 13, 15));
    feuille(p, QRectF(8, 7, 14, 15));
    p.setPen(plume(encre, 0.9));
    p.drawLine(QPointF(10, 9), QPointF(10, 20));
    p.drawLine(QPointF(10, 20), QPointF(21, 20));
    courbe(p, QRectF(11, 11, 9, 8), QColor(200, 40, 40));
}

void dessinEnregistrer(QPainter &p)
{
    // A diskette.
    p.setPen(plume(QColor(20, 40, 90), 1.0));
    p.setBrush(QColor(50, 90, 170));
    QPainterPath corps;
    corps.moveTo(3, 3);
    corps.lineTo(18, 3);
    corps.lineTo(21, 6);
    corps.lineTo(21, 21);
    corps.lineTo(3, 21);
    corps.closeSubpath();
    p.drawPath(corps);
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(7, 3, 9, 6));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(12.5, 4, 2, 4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 12, 12, 9));
    p.setPen(plume(QColor(150, 150, 150), 0.8));
    p.drawLine(QPointF(8, 15), QPointF(16, 15));
    p.drawLine(QPointF(8, 18), QPointF(16, 18));
}

void dessinImprimer(QPainter &p)
{
    feuille(p, QRectF(6, 2, 12, 8));
    p.setPen(plume(encre, 1.0));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 1.5, 1.5);
    p.setBrush(QColor(60, 200, 60));
    p.drawEllipse(QPointF(18.5, 12), 1, 1);
    feuille(p, QRectF(6, 15, 12, 7));
    p.setPen(plume(QColor(120, 120, 120), 0.8));
    p.drawLine(QPointF(8, 18), QPointF(16, 18));
    p.drawLine(QPointF(8, 20), QPointF(14, 20));
}

void dessinAide(QPainter &p)
{
    p.setPen(plume(QColor(20, 60, 140), 1.0));
    p.setBrush(QColor(60, 120, 220));
    p.drawEllipse(QPointF(12, 12), 10, 10);
    QFont police = p.font();
    police.setPixelSize(15);
    police.setBold(true);
    p.setFont(police);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
}

void dessinQuitter(QPainter &p)
{
    // An open door with an arrow leaving through it.
    p.setPen(plume(encre, 1.0));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(10, 2, 11, 20));
    p.setBrush(QColor(150, 90, 40));
    p.drawPolygon(QPolygonF({QPointF(10, 2), QPointF(16, 5), QPointF(16, 24), QPointF(10, 22)}));
    p.setPen(plume(QColor(200, 30, 30), 2.0));
    p.drawLine(QPointF(9, 12), QPointF(2, 12));
    p.drawLine(QPointF(2, 12), QPointF(5.5, 8.5));
    p.drawLine(QPointF(2, 12), QPointF(5.5, 15.5));
}

void dessinCouleurPoint(QPainter &p)
{
    // The three marker shapes, each in its own colour.
    p.setBrush(Qt::NoBrush);
    p.setPen(plume(QColor(210, 30, 30), 1.6));
    p.drawLine(QPointF(2, 7), QPointF(10, 7));
    p.drawLine(QPointF(6, 3), QPointF(6, 11));
    p.setPen(plume(QColor(30, 80, 210), 1.6));
    p.drawRect(QRectF(13, 3, 8, 8));
    p.setPen(plume(QColor(20, 150, 40), 1.6));
    p.drawEllipse(QRectF(8, 13, 8, 8));
}

void dessinCouleurAxes(QPainter &p)
{
    p.setPen(plume(QColor(200, 30, 200), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(5, 21), QPointF(5, 3));
    p.drawLine(QPointF(5, 3), QPointF(2.5, 6.5));
    p.drawLine(QPointF(5, 3), QPointF(7.5, 6.5));
    p.drawLine(QPointF(3, 19), QPointF(21, 19));
    p.drawLine(QPointF(21, 19), QPointF(17.5, 16.5));
    p.drawLine(QPointF(21, 19), QPointF(17.5, 21.5));
    p.setPen(plume(encre, 0.8));
    const QColor teintes[] = {QColor(230, 40, 40), QColor(40, 180, 60), QColor(40, 90, 220)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(teintes[i]);
        p.drawRect(QRectF(10 + 4 * i, 6 + 2 * i, 5, 5));
    }
}

void dessinPalette(QPainter &p)
{
    p.setPen(plume(QColor(120, 80, 30), 1.0));
    p.setBrush(QColor(235, 205, 150));
    QPainterPath palette;
    palette.addEllipse(QRectF(2, 4, 20, 16));
    QPainterPath trou;
    trou.addEllipse(QRectF(13, 13, 4, 3.5));
    p.drawPath(palette.subtracted(trou));
    p.setPen(Qt::NoPen);
    const QColor teintes[] = {QColor(220, 30, 30), QColor(250, 200, 0), QColor(40, 160, 50),
                              QColor(40, 90, 220), QColor(150, 40, 180)};
    const QPointF places[] = {{6.5, 10}, {10.5, 7.5}, {15.5, 8}, {18.5, 11.5}, {7, 15}};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(teintes[i]);
        p.drawEllipse(places[i], 2, 2);
    }
}

struct Entree {
    const char *nom;
    Dessin dessin;
};

const Entree images[] = {
    {"bbtnOpenAvi", dessinOpenAvi},
    {"bbtnIma", dessinIma},
    {"bbtnCible", dessinCible},
    {"bbtnCurExec", dessinCurExec},
    {"bbtnCopierMesuresPP", dessinCopierMesures},
    {"bbtnCopierGraphiquePP", dessinCopierGraphique},
    {"bbtnEnregistrerMesures", dessinEnregistrer},
    {"bbtnImprimer", dessinImprimer},
    {"BitBtn1", dessinAide},
    {"bbtnQuitter", dessinQuitter},
    {"bbtnPlay", dessinPlay},
    {"bbtnDeb", dessinDeb},
    {"bbtnFin", dessinFin},
    {"bbtnPre", dessinPre},
    {"bbtnSui", dessinSui},
    {"bbtnCouleurPoint", dessinCouleurPoint},
    {"bbtnCouleurAxes", dessinCouleurAxes},
    {"SpeedButton1", dessinPalette},
    {"btnParcourir", dessinParcourir},
};

QPixmap rendre(Dessin dessin, int facteur)
{
    QPixmap image(24 * facteur, 24 * facteur);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(facteur, facteur);
    dessin(p);
    return image;
}

} // namespace

QIcon imageBouton(const QString &nom)
{
    for (const Entree &e : images) {
        if (nom.compare(QLatin1String(e.nom), Qt::CaseInsensitive) == 0) {
            QIcon icone;
            icone.addPixmap(rendre(e.dessin, 1));
            icone.addPixmap(rendre(e.dessin, 2));
            return icone;
        }
    }
    return {};
}

QStringList nomsImagesBoutons()
{
    QStringList noms;
    for (const Entree &e : images)
        noms << QString::fromLatin1(e.nom);
    return noms;
}

#include "measure/grilles.h"

#include "measure/erreurs.h"
#include "app/etat.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/commandesMesure.h"
#include "measure/document.h"
#include "measure/pixels.h"

#include <QFontMetrics>
#include <QPainter>
#include <charconv>

void tailleGrille(TStringGrid *grille, int colonnes, int lignes)
{
    grille->setColCount(colonnes);
    grille->setRowCount(lignes);
}

void titresColonnes(TStringGrid *grille, const QString &unite, int n)
{
    if (n <= 1) {
        grille->setCells(1, 0, QStringLiteral("x") + unite);
        grille->setCells(2, 0, QStringLiteral("y") + unite);
        return;
    }
    for (int i = 1; i <= n; ++i) {
        grille->setCells(2 * i - 1, 0, QStringLiteral("x") + QString::number(i) + unite);
        grille->setCells(2 * i, 0, QStringLiteral("y") + QString::number(i) + unite);
    }
}

LotCellules::LotCellules(QWidget *grille)
    : grille_(grille), actif_(!grille->testAttribute(Qt::WA_ForceUpdatesDisabled))
{
    grille_->setUpdatesEnabled(false);
}

LotCellules::~LotCellules()
{
    grille_->setUpdatesEnabled(actif_);
}

QString texteCellulePixels(const DocumentMesure &d, int col, int row, int T)
{
    if (row < 1 || row > nbImages) return QString();
    if (col == 0) return row >= T ? QString::number(row - T) : QString();
    const auto pos = d.position((col - 1) / 2, row - 1);
    if (!pos) return QString();
    return textePixel(col % 2 ? pos->x() : pos->y());
}

QString texteCelluleMetres(const DocumentMesure &d, int col, int row, int T)
{
    if (row < 1 || row > nbImages) return QString();
    if (col == 0)
        return row >= T ? formateReel(formatTemps, ecartTemps(row - 1, T - 1)) : QString();
    const auto pos = d.position((col - 1) / 2, row - 1);
    if (!pos) return QString();
    const int chiffres = d.reglages().chiffresXY - 1;
    return texteSci(chiffres, col % 2 ? xMetres(d.reglages(), *pos) : yMetres(d.reglages(), *pos));
}

QString texteCelluleAngle(const DocumentMesure &d, int row)
{
    if (row < 1 || row > nbImages) return QString();
    const auto a = d.angle(row - 1);
    if (!a) return QString();
    const double v = *a + 0.0; // no "-0.0"
    return (v < 0 ? QString() : QStringLiteral(" ")) +
           QString::number(v, 'f', 1).replace(QLatin1Char('.'), separateurDecimal());
}

void rafraichirGrille(TStringGrid *grille, const PlageMesure &plage)
{
    if (plage.reglages || plage.positions.size() + plage.angles.size() > 16) {
        grille->rafraichir();
        return;
    }
    for (const ChangementPosition &c : plage.positions)
        grille->rafraichirLigne(c.image + 1);
    for (const ChangementAngle &c : plage.angles)
        grille->rafraichirLigne(c.image + 1);
}

QString texteApparence(const ReglagesMesure &g, int col, int row)
{
    if (col < 0 || col > kPointsMesure || row > 2) return QString();
    const AspectMesure &a = g.aspects[std::size_t(col)];
    switch (row) {
    case 0:
        return QString::number(a.couleur);
    case 1:
        return a.trace ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString::number(col == 0 ? 1 : a.forme);
    }
}

void ecrireApparence(AspectMesure &a, int col, int row, const QString &texte)
{
    if (row == 0)
        a.couleur = texte.isEmpty() ? 16777215u : static_cast<std::uint32_t>(texte.toLongLong());
    else if (row == 1)
        a.trace = texte != QLatin1String("0");
    else if (col > 0)
        a.forme = texte.toInt();
}

void texteCellule(TStringGrid *grille, const QRect &rectangle, const QString &texte,
                  Alignement alignement, int marge)
{
    QPainter *canevas = grille->Canvas();
    if (!canevas) return;
    const QFontMetrics fm(canevas->font());
    const int largeurTexte = fm.horizontalAdvance(texte);
    const int hauteurTexte = fm.height();
    const int w = rectangle.width() - marge - largeurTexte;
    int x = rectangle.left();
    switch (alignement) {
    case Alignement::centre:
        x += w / 2;
        break;
    case Alignement::gauche:
        x += marge;
        break;
    case Alignement::droite:
        x += w;
        break;
    }
    const int y = rectangle.top() + (rectangle.height() - hauteurTexte) / 2;
    canevas->save();
    canevas->fillRect(rectangle, canevas->brush());
    canevas->setClipRect(rectangle, Qt::IntersectClip);
    canevas->drawText(QPoint(x, y + fm.ascent()), texte);
    canevas->restore();
}

long double reelDeTexte(const QString &texte)
{
    QByteArray octets = texte.trimmed().toUtf8();
    const QByteArray separateur = QString(separateurDecimal()).toUtf8();
    if (separateur != ".") {
        // A point is not the separator then: leave it so that the text is refused.
        octets.replace('.', '#');
        octets.replace(separateur, ".");
    }
    const char *debut = octets.constData();
    const char *fin = debut + octets.size();
    if (debut != fin && *debut == '+') ++debut;
    long double valeur = 0;
    const auto resultat = std::from_chars(debut, fin, valeur);
    if (debut == fin || resultat.ec != std::errc() || resultat.ptr != fin)
        throw ErreurKinemar(
            QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(texte));
    return valeur;
}

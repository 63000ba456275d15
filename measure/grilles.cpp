#include "measure/grilles.h"

#include "app/erreurs.h"
#include "app/etat.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
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

void effaceCellules(TStringGrid *grille, const QRect &rectangle, int col, int row)
{
    {
        const LotCellules lot(grille);
        for (int r = rectangle.top(); r <= rectangle.bottom(); ++r)
            for (int c = rectangle.left(); c <= rectangle.right(); ++c)
                grille->setCells(c, r, QString());
    }
    grille->setCol(col);
    grille->setRow(row);
}

void actualiserGrille(const TStringGrid *pixels, TStringGrid *metres, int N, int T)
{
    const int n = (metres->ColCount() - 1) / 2;
    const int d = chiffresXY - 1;
    const LotCellules lot(metres);
    for (int r = 1; r <= N; ++r) {
        if (r >= T) metres->setCells(0, r, formateReel(formatTemps, ecartTemps(r - 1, T - 1)));
        for (int p = 1; p <= n; ++p) {
            const int c = 2 * p - 1;
            const QString texteX = pixels->Cells(c, r);
            if (texteX.isEmpty()) continue;
            // Whole pixels when pointed, with decimals when tracked.
            const double X = valeurPixel(texteX);
            const double Y = valeurPixel(pixels->Cells(c + 1, r));
            const long double x = static_cast<long double>(X - origineX) * sensX * echelleH;
            const long double y = static_cast<long double>(origineY - Y) * sensY * echelleV;
            metres->setCells(c, r, texteSci(d, x));
            metres->setCells(c + 1, r, texteSci(d, y));
        }
    }
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

#pragma once
// Plain routines on the table's grids: shape, column titles, clearing a block of cells,
// drawing a cell's text, and reading back the numbers the grids hold as text.
#include <QRect>
#include <QString>

class TStringGrid;
class QWidget;

// Holds a grid's repaints through a batch of cell changes: one repaint at the end, not one per
// cell. It gives back the grid's own setting, not updatesEnabled(), which also reads false
// while a parent holds its repaints (a stacked page being switched): putting that back would
// leave the grid unpainted for good.
class LotCellules
{
public:
    explicit LotCellules(QWidget *grille);
    ~LotCellules();
    LotCellules(const LotCellules &) = delete;
    LotCellules &operator=(const LotCellules &) = delete;

private:
    QWidget *grille_;
    bool actif_;
};

// Column count first, then row count.
void tailleGrille(TStringGrid *grille, int colonnes, int lignes);

// Row 0 of columns 1 … 2n: "x"/"y" + unite for n <= 1, "x1", "y1", "x2" … + unite otherwise.
void titresColonnes(TStringGrid *grille, const QString &unite, int n);

// Empties the cells of the rectangle (bounds included), then makes (col, row) current,
// column first.
void effaceCellules(TStringGrid *grille, const QRect &rectangle, int col, int row);

// The recomputation of the Measurement table: rows T … N get their time, and every pointed
// pair of rows 1 … N its x and y in metres from the pixels stored in `pixels`, through the
// Origin, axis directions and Scales of the working state. Unpointed pairs are left alone.
void actualiserGrille(const TStringGrid *pixels, TStringGrid *metres, int N, int T);

enum class Alignement { gauche, centre, droite };

// Fills the cell with the brush of the paint in progress and writes the text in it,
// vertically centred and clipped to the cell.
void texteCellule(TStringGrid *grille, const QRect &rectangle, const QString &texte,
                  Alignement alignement, int marge);

// A real written with the user's decimal separator (blanks around, an exponent allowed).
// Throws ErreurKinemar with the conversion error when the text is not a number.
long double reelDeTexte(const QString &texte);

#pragma once
// Plain routines on the table's grids: shape, column titles, clearing a block of cells,
// drawing a cell's text, and reading back the numbers the grids hold as text.
#include <QRect>
#include <QString>

class DocumentMesure;
struct AspectMesure;
struct PlageMesure;
struct ReglagesMesure;
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

// Texts of the cells below the titles, computed from the document and the working state
// (number formats, Origin, axis directions, Scales, time origin T) whenever a cell is read or
// painted: nothing stores the table as text, and a new scale costs the rows on screen.
// The hidden pixel grid: the frame offset from T, then the pixels of each point.
QString texteCellulePixels(const DocumentMesure &d, int col, int row, int T);
// The Measurement table: the time from T, then x and y in metres of each point.
QString texteCelluleMetres(const DocumentMesure &d, int col, int row, int T);

// The protractor's angle of a row in degrees, one decimal, with the blank of a value that is
// not negative; empty when none was recorded.
QString texteCelluleAngle(const DocumentMesure &d, int row);

// The appearance grid's cells: row 0 the colour (RGB, red in the low byte), row 1 "1" when
// drawn, else "0", row 2 the marker shape; column 0 the axes (its shape cell reads "1"), 1 … 4
// the points.
QString texteApparence(const ReglagesMesure &g, int col, int row);
// A text written there: an empty colour is white, as the program writes it for a new point.
void ecrireApparence(AspectMesure &a, int col, int row, const QString &texte);

// The rows of a change painted again: those of a few pointings, else the whole table.
void rafraichirGrille(TStringGrid *grille, const PlageMesure &plage);

enum class Alignement { gauche, centre, droite };

// Fills the cell with the brush of the paint in progress and writes the text in it,
// vertically centred and clipped to the cell.
void texteCellule(TStringGrid *grille, const QRect &rectangle, const QString &texte,
                  Alignement alignement, int marge);

// A real written with the user's decimal separator (blanks around, an exponent allowed).
// Throws ErreurKinemar with the conversion error when the text is not a number.
long double reelDeTexte(const QString &texte);

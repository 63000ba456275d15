#pragma once
// A grid of text cells with fixed (title) columns and rows, a current cell, owner-drawn
// cells and a cell-change event, in the manner of the platform's string grid.
//
// The cell store is independent of the grid's shape: cells outside the current column or
// row count keep their text, and growing the grid again shows it.
//
// OnClick is raised after every mouse selection of a cell (the current one included),
// after every keyboard move, and whenever the program sets a different current column or
// row. Setting the column and the row are two separate changes, each raising it. Shrinking
// the grid moves the current cell inside it without raising anything.
#include <QAbstractScrollArea>
#include <QColor>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

class TStringGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum EtatCellule { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
    using EtatsCellule = int;

    explicit TStringGrid(QWidget *parent = nullptr);
    ~TStringGrid() override;

    QString Cells(int col, int row) const;
    void setCells(int col, int row, const QString &texte);

    // A grid that shows a model: the texts of the cells below the title rows are asked of
    // the provider when read or painted, and a text written there is handed to `ecriture`
    // (ignored without one). Title rows keep their own texts.
    struct Fournisseur {
        std::function<QString(int col, int row)> texte;
        std::function<void(int col, int row, const QString &texte)> ecriture;
    };
    void setFournisseur(Fournisseur f);
    bool fourni(int row) const { return bool(fournisseur_.texte) && row >= fixedRows_; }
    // The model changed: paint the visible cells again, or those of one row.
    void rafraichir();
    void rafraichirLigne(int row);

    int ColCount() const { return colCount_; }
    void setColCount(int n);
    int RowCount() const { return rowCount_; }
    void setRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    void setFixedCols(int n);
    int FixedRows() const { return fixedRows_; }
    void setFixedRows(int n);

    // The current cell. Setting a column or row outside the grid throws ErreurKinemar.
    int Col() const { return col_; }
    void setCol(int c);
    int Row() const { return row_; }
    void setRow(int r);

    // First scrollable row and column shown, and how many are shown entirely.
    int TopRow() const { return topRow_; }
    void setTopRow(int r);
    int LeftCol() const { return leftCol_; }
    void setLeftCol(int c);
    int VisibleRowCount() const;
    int VisibleColCount() const;

    int ColWidths(int c) const;
    void setColWidths(int c, int largeur);
    int DefaultColWidth() const { return defaultColWidth_; }
    void setDefaultColWidth(int largeur); // every column goes back to this width
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int hauteur);

    bool Enabled() const { return isEnabled(); }

    QColor Color() const { return couleur_; }
    void setColor(const QColor &c);
    QColor FixedColor() const { return couleurFixe_; }
    void setFixedColor(const QColor &c);
    // When set, each cell is filled and its text written at (left + 2, top + 2) before
    // OnDrawCell runs.
    bool DefaultDrawing() const { return dessinParDefaut_; }
    void setDefaultDrawing(bool oui) { dessinParDefaut_ = oui; }

    // The cell's rectangle in viewport coordinates; empty when the cell is not shown.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false (and -1, -1) outside every cell.
    bool MouseToCell(const QPoint &p, int &col, int &row) const;

    // The painter of the paint in progress (with the cell's brush, pen and font set), or
    // nullptr outside OnDrawCell.
    QPainter *Canvas() const { return canevas_; }
    // Width of a text in the grid's font.
    int TextWidth(const QString &texte) const;
    // The built-in look of a cell: fill with the painter's brush, text at (left+2, top+2).
    void dessineCelluleDefaut(QPainter &canevas, int col, int row, const QRect &rect);

    // Owner drawing, called for every cell painted, after the default drawing.
    std::function<void(QPainter &canevas, int col, int row, const QRect &rect, EtatsCellule etat)>
        OnDrawCell;
    // Asked before the current cell moves; setting peutSelectionner to false keeps it.
    std::function<void(int col, int row, bool &peutSelectionner)> OnSelectCell;

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void focusCell(int c, int r);   // move (if allowed) and raise OnClick
    bool moveCurrent(int c, int r); // asks OnSelectCell, scrolls the cell into view
    void clampInView();
    void ajusteApresTaille();
    void metAJourBarres();
    int largeurFixe() const;
    int hauteurFixe() const;
    int maxTopRow() const;
    int maxLeftCol() const;
    int hauteurLigne() const { return defaultRowHeight_ + 1; }

    std::vector<std::vector<QString>> cellules_; // by column, then row; title rows alone
                                                 // when a provider gives the others
    Fournisseur fournisseur_;
    std::vector<int> largeurs_;
    int colCount_ = 5, rowCount_ = 5;
    int fixedCols_ = 1, fixedRows_ = 1;
    int col_ = 1, row_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
    QColor couleur_ = Qt::white;
    QColor couleurFixe_ = QColor(240, 240, 240);
    bool dessinParDefaut_ = true;
    bool selectionSouris_ = false;
    bool majBarres_ = false;
    QPainter *canevas_ = nullptr;
};

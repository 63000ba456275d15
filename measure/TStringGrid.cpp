#include "measure/TStringGrid.h"

#include "measure/erreurs.h"
#include "clip/limites.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace
{

// Far beyond any clip; an index past it can only be a fault of the caller.
constexpr int kColonnesMax = 1 << 12;
// Rows: the frames of the longest clip the player opens, under the title row.
constexpr int kLignesMax = imagesMax + 1;

[[noreturn]] void horsLimites()
{
    throw ErreurKinemar(QStringLiteral("Indice de grille hors limites"));
}

const QColor kLigneNormale(192, 192, 192);
const QColor kLigneFixe(128, 128, 128);

} // namespace

TStringGrid::TStringGrid(QWidget *parent) : QAbstractScrollArea(parent)
{
    // Columns of numbers read left to right whatever the language of the window.
    setLayoutDirection(Qt::LeftToRight);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    largeurs_.assign(colCount_, defaultColWidth_);
    metAJourBarres();
}

TStringGrid::~TStringGrid() = default;

// ---- cell store -------------------------------------------------------------------------

QString TStringGrid::Cells(int col, int row) const
{
    if (col >= 0 && fourni(row)) return fournisseur_.texte(col, row);
    if (col < 0 || row < 0 || col >= int(cellules_.size())) return QString();
    const auto &colonne = cellules_[col];
    return row < int(colonne.size()) ? colonne[row] : QString();
}

void TStringGrid::setCells(int col, int row, const QString &texte)
{
    if (col < 0 || row < 0 || col >= kColonnesMax || row >= kLignesMax) horsLimites();
    if (fourni(row)) {
        if (fournisseur_.ecriture) fournisseur_.ecriture(col, row, texte);
        return;
    }
    if (col >= int(cellules_.size())) {
        if (texte.isEmpty()) return;
        cellules_.resize(col + 1);
    }
    auto &colonne = cellules_[col];
    if (row >= int(colonne.size())) {
        if (texte.isEmpty()) return;
        // Rows are written in order when a clip is laid out: grow geometrically.
        if (row >= int(colonne.capacity()))
            colonne.reserve(std::max<std::size_t>(row + 1, colonne.capacity() * 2));
        colonne.resize(row + 1);
    }
    colonne[row] = texte;
    if (isVisible()) viewport()->update();
}

void TStringGrid::setFournisseur(Fournisseur f)
{
    fournisseur_ = std::move(f);
    // What the grid held below its titles is the provider's now.
    for (auto &colonne : cellules_)
        if (int(colonne.size()) > fixedRows_) colonne.resize(fixedRows_);
    rafraichir();
}

void TStringGrid::rafraichir()
{
    if (isVisible()) viewport()->update();
}

void TStringGrid::rafraichirLigne(int row)
{
    if (!isVisible()) return;
    const QRect r = CellRect(0, row).united(CellRect(colCount_ - 1, row));
    if (r.isEmpty()) return; // not on screen
    viewport()->update(QRect(0, r.top() - 1, viewport()->width(), r.height() + 2));
}

// ---- shape -----------------------------------------------------------------------------

void TStringGrid::setColCount(int n)
{
    n = std::clamp(n, 1, kColonnesMax);
    if (n == colCount_) return;
    colCount_ = n;
    // Widths are not kept for dropped columns: a column that comes back has the default.
    largeurs_.resize(n, defaultColWidth_);
    if (fixedCols_ >= n) fixedCols_ = n - 1;
    ajusteApresTaille();
}

void TStringGrid::setRowCount(int n)
{
    n = std::clamp(n, 1, kLignesMax);
    if (n == rowCount_) return;
    rowCount_ = n;
    if (fixedRows_ >= n) fixedRows_ = n - 1;
    ajusteApresTaille();
}

void TStringGrid::setFixedCols(int n)
{
    fixedCols_ = std::clamp(n, 0, colCount_ - 1);
    ajusteApresTaille();
}

void TStringGrid::setFixedRows(int n)
{
    fixedRows_ = std::clamp(n, 0, rowCount_ - 1);
    ajusteApresTaille();
}

void TStringGrid::ajusteApresTaille()
{
    col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
    row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
    topRow_ = std::clamp(topRow_, fixedRows_, maxTopRow());
    leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeftCol());
    metAJourBarres();
    viewport()->update();
}

int TStringGrid::ColWidths(int c) const
{
    if (c < 0 || c >= int(largeurs_.size())) return defaultColWidth_;
    return largeurs_[c];
}

void TStringGrid::setColWidths(int c, int largeur)
{
    if (c < 0 || c >= colCount_) horsLimites();
    largeurs_[c] = std::max(0, largeur);
    ajusteApresTaille();
}

void TStringGrid::setDefaultColWidth(int largeur)
{
    defaultColWidth_ = std::max(0, largeur);
    largeurs_.assign(colCount_, defaultColWidth_);
    ajusteApresTaille();
}

void TStringGrid::setDefaultRowHeight(int hauteur)
{
    defaultRowHeight_ = std::max(1, hauteur);
    ajusteApresTaille();
}

void TStringGrid::setColor(const QColor &c)
{
    couleur_ = c;
    viewport()->update();
}

void TStringGrid::setFixedColor(const QColor &c)
{
    couleurFixe_ = c;
    viewport()->update();
}

// ---- current cell ----------------------------------------------------------------------

void TStringGrid::setCol(int c)
{
    if (c == col_) return;
    if (c < 0 || c >= colCount_) horsLimites();
    focusCell(c, row_);
}

void TStringGrid::setRow(int r)
{
    if (r == row_) return;
    if (r < 0 || r >= rowCount_) horsLimites();
    focusCell(col_, r);
}

void TStringGrid::focusCell(int c, int r)
{
    moveCurrent(c, r);
    emit OnClick();
}

bool TStringGrid::moveCurrent(int c, int r)
{
    bool peutSelectionner = true;
    if (OnSelectCell) OnSelectCell(c, r, peutSelectionner);
    if (!peutSelectionner) return false;
    col_ = c;
    row_ = r;
    clampInView();
    return true;
}

// ---- scrolling -------------------------------------------------------------------------

int TStringGrid::largeurFixe() const
{
    int x = 0;
    for (int c = 0; c < fixedCols_; ++c)
        x += largeurs_[c] + 1;
    return x;
}

int TStringGrid::hauteurFixe() const
{
    return fixedRows_ * hauteurLigne();
}

// Rows that fit entirely below the fixed rows, at least one.
static int lignesEntieres(int hauteurVue, int hauteurFixe, int hauteurCellule)
{
    const int reste = hauteurVue - hauteurFixe - hauteurCellule;
    return reste < 0 ? 1 : reste / (hauteurCellule + 1) + 1;
}

int TStringGrid::maxTopRow() const
{
    const int n = lignesEntieres(viewport()->height(), hauteurFixe(), defaultRowHeight_);
    return std::max(fixedRows_, rowCount_ - n);
}

int TStringGrid::maxLeftCol() const
{
    const int place = viewport()->width() - largeurFixe();
    int c = colCount_ - 1;
    int x = largeurs_[c];
    while (c > fixedCols_ && x + 1 + largeurs_[c - 1] <= place) {
        --c;
        x += 1 + largeurs_[c];
    }
    return std::max(fixedCols_, c);
}

int TStringGrid::VisibleRowCount() const
{
    const int n = lignesEntieres(viewport()->height(), hauteurFixe(), defaultRowHeight_);
    const int reste = viewport()->height() - hauteurFixe() - defaultRowHeight_;
    return std::min(reste < 0 ? 0 : n, rowCount_ - topRow_);
}

int TStringGrid::VisibleColCount() const
{
    const int place = viewport()->width() - largeurFixe();
    int x = 0, n = 0;
    for (int c = leftCol_; c < colCount_; ++c) {
        x += largeurs_[c];
        if (x > place) break;
        ++n;
        x += 1;
    }
    return n;
}

void TStringGrid::setTopRow(int r)
{
    r = std::clamp(r, fixedRows_, maxTopRow());
    if (r == topRow_) return;
    topRow_ = r;
    metAJourBarres();
    viewport()->update();
}

void TStringGrid::setLeftCol(int c)
{
    c = std::clamp(c, fixedCols_, maxLeftCol());
    if (c == leftCol_) return;
    leftCol_ = c;
    metAJourBarres();
    viewport()->update();
}

void TStringGrid::clampInView()
{
    if (row_ >= fixedRows_) {
        const int n = lignesEntieres(viewport()->height(), hauteurFixe(), defaultRowHeight_);
        if (row_ < topRow_)
            topRow_ = row_;
        else if (row_ >= topRow_ + n)
            topRow_ = row_ - n + 1;
    }
    if (col_ >= fixedCols_) {
        if (col_ < leftCol_) {
            leftCol_ = col_;
        } else {
            const int place = viewport()->width() - largeurFixe();
            auto largeurJusqua = [this](int depuis, int jusqua) {
                int x = 0;
                for (int c = depuis; c <= jusqua; ++c)
                    x += largeurs_[c] + 1;
                return x - 1;
            };
            while (leftCol_ < col_ && largeurJusqua(leftCol_, col_) > place)
                ++leftCol_;
        }
    }
    metAJourBarres();
    viewport()->update();
}

void TStringGrid::metAJourBarres()
{
    majBarres_ = true;
    QScrollBar *v = verticalScrollBar();
    v->setRange(0, std::max(maxTopRow(), topRow_) - fixedRows_);
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setValue(topRow_ - fixedRows_);
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, std::max(maxLeftCol(), leftCol_) - fixedCols_);
    h->setPageStep(std::max(1, VisibleColCount()));
    h->setValue(leftCol_ - fixedCols_);
    majBarres_ = false;
}

void TStringGrid::scrollContentsBy(int, int)
{
    if (majBarres_) return;
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    ajusteApresTaille();
}

// ---- geometry --------------------------------------------------------------------------

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return QRect();
    int x;
    if (col < fixedCols_) {
        x = 0;
        for (int c = 0; c < col; ++c)
            x += largeurs_[c] + 1;
    } else {
        if (col < leftCol_) return QRect();
        x = largeurFixe();
        for (int c = leftCol_; c < col; ++c)
            x += largeurs_[c] + 1;
    }
    int y;
    if (row < fixedRows_) {
        y = row * hauteurLigne();
    } else {
        if (row < topRow_) return QRect();
        y = hauteurFixe() + (row - topRow_) * hauteurLigne();
    }
    if (x >= viewport()->width() || y >= viewport()->height()) return QRect();
    return QRect(x, y, largeurs_[col], defaultRowHeight_);
}

bool TStringGrid::MouseToCell(const QPoint &p, int &col, int &row) const
{
    col = row = -1;
    if (p.x() < 0 || p.y() < 0) return false;
    int c = -1;
    int x = 0;
    for (int i = 0; i < fixedCols_ && c < 0; ++i) {
        if (p.x() < x + largeurs_[i] + 1) c = i;
        x += largeurs_[i] + 1;
    }
    for (int i = leftCol_; i < colCount_ && c < 0; ++i) {
        if (p.x() < x + largeurs_[i] + 1) c = i;
        x += largeurs_[i] + 1;
    }
    int r = -1;
    const int hf = hauteurFixe();
    if (p.y() < hf)
        r = p.y() / hauteurLigne();
    else if (topRow_ + (p.y() - hf) / hauteurLigne() < rowCount_)
        r = topRow_ + (p.y() - hf) / hauteurLigne();
    if (c < 0 || r < 0) return false;
    col = c;
    row = r;
    return true;
}

int TStringGrid::TextWidth(const QString &texte) const
{
    return QFontMetrics(font()).horizontalAdvance(texte);
}

// ---- painting --------------------------------------------------------------------------

void TStringGrid::dessineCelluleDefaut(QPainter &canevas, int col, int row, const QRect &rect)
{
    canevas.fillRect(rect, canevas.brush());
    const QRect zoneTexte(rect.left() + 2, rect.top() + 2, rect.width() - 2, rect.height() - 2);
    canevas.drawText(zoneTexte, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Cells(col, row));
}

void TStringGrid::paintEvent(QPaintEvent *e)
{
    // Only the cells of the region asked for: a pointing repaints its row, not the table.
    const QRect zone = e->rect();
    QPainter p(viewport());
    const int largeurVue = viewport()->width(), hauteurVue = viewport()->height();
    p.fillRect(viewport()->rect(), couleur_);
    p.setFont(font());

    std::vector<int> colonnes, lignes;
    for (int c = 0; c < fixedCols_; ++c)
        colonnes.push_back(c);
    {
        int x = largeurFixe();
        for (int c = leftCol_; c < colCount_ && x < largeurVue; ++c) {
            colonnes.push_back(c);
            x += largeurs_[c] + 1;
        }
    }
    for (int r = 0; r < fixedRows_; ++r)
        lignes.push_back(r);
    for (int r = topRow_, y = hauteurFixe(); r < rowCount_ && y < hauteurVue;
         ++r, y += hauteurLigne())
        lignes.push_back(r);

    const QPalette pal = palette();
    const bool focus = hasFocus();
    QRect rectFocus;
    for (int r : lignes) {
        for (int c : colonnes) {
            const QRect rect = CellRect(c, r);
            if (rect.isEmpty() || !rect.adjusted(-1, -1, 1, 1).intersects(zone)) continue;
            EtatsCellule etat = 0;
            const bool fixe = c < fixedCols_ || r < fixedRows_;
            if (fixe)
                etat |= gdFixed;
            else if (c == col_ && r == row_) {
                etat |= gdSelected;
                if (focus) {
                    etat |= gdFocused;
                    rectFocus = rect;
                }
            }
            // The current cell is highlighted while the grid has no focus; with the focus
            // it keeps the normal colours and gets a focus frame.
            const bool surligne = (etat & gdSelected) && !(etat & gdFocused);
            p.save();
            p.setBrush(fixe       ? couleurFixe_
                       : surligne ? pal.color(QPalette::Active, QPalette::Highlight)
                                  : couleur_);
            p.setPen(surligne ? pal.color(QPalette::Active, QPalette::HighlightedText)
                              : QColor(Qt::black));
            canevas_ = &p;
            if (dessinParDefaut_) dessineCelluleDefaut(p, c, r, rect);
            if (OnDrawCell) OnDrawCell(p, c, r, rect, etat);
            canevas_ = nullptr;
            p.restore();

            p.setPen(fixe ? kLigneFixe : kLigneNormale);
            p.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
            p.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
        }
    }
    if (!rectFocus.isEmpty()) {
        QPen pointille(Qt::black, 0, Qt::DotLine);
        p.setPen(pointille);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rectFocus.adjusted(0, 0, -1, -1));
    }
}

void TStringGrid::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

// ---- user input ------------------------------------------------------------------------

void TStringGrid::mousePressEvent(QMouseEvent *e)
{
    selectionSouris_ = false;
    if (e->button() != Qt::LeftButton) return;
    int c, r;
    if (!MouseToCell(e->position().toPoint(), c, r) || c < fixedCols_ || r < fixedRows_) return;
    selectionSouris_ = true;
    moveCurrent(c, r);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !selectionSouris_) return;
    selectionSouris_ = false;
    emit OnClick();
}

void TStringGrid::keyPressEvent(QKeyEvent *e)
{
    int c = col_, r = row_;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, VisibleRowCount());
    switch (e->key()) {
    case Qt::Key_Up:
        --r;
        break;
    case Qt::Key_Down:
        ++r;
        break;
    case Qt::Key_Left:
        --c;
        break;
    case Qt::Key_Right:
        ++c;
        break;
    case Qt::Key_PageUp:
        r -= page;
        break;
    case Qt::Key_PageDown:
        r += page;
        break;
    case Qt::Key_Home:
        (ctrl ? r : c) = 0;
        break;
    case Qt::Key_End:
        (ctrl ? r : c) = ctrl ? rowCount_ - 1 : colCount_ - 1;
        break;
    default:
        e->ignore(); // Escape and shortcuts belong to the window
        return;
    }
    e->accept();
    c = std::clamp(c, fixedCols_, colCount_ - 1);
    r = std::clamp(r, fixedRows_, rowCount_ - 1);
    if (c != col_ || r != row_) focusCell(c, r);
}

// The string grid: its cell store, its current cell and when it raises its cell-change
// event, scrolling, owner drawing, and speed with a long clip.
#include "measure/erreurs.h"
#include "measure/TStringGrid.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

class TestGrille : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void celluleshorsForme();
    void largeursDeColonnes();
    void evenementParProgramme();
    void evenementSouris();
    void evenementClavier();
    void refusDeSelection();
    void reductionDeForme();
    void defilement();
    void dessinParProprietaire();
    void grandeTable();

private:
    TStringGrid *g = nullptr;
    QSignalSpy *clics = nullptr;
    QPoint centre(int c, int r) const { return g->CellRect(c, r).center(); }
};

void TestGrille::init()
{
    g = new TStringGrid;
    g->resize(400, 200);
    g->setDefaultColWidth(44);
    g->setDefaultRowHeight(22);
    g->setColCount(5);
    g->setRowCount(21);
    clics = new QSignalSpy(g, &TStringGrid::OnClick);
}

void TestGrille::cleanup()
{
    delete clics;
    delete g;
}

void TestGrille::celluleshorsForme()
{
    g->setCells(3, 7, QStringLiteral("x2"));
    g->setCells(4, 20, QStringLiteral("y2"));
    g->setCells(1, 20, QStringLiteral("bas"));
    g->setColCount(3);
    g->setRowCount(11);
    QCOMPARE(g->ColCount(), 3);
    QCOMPARE(g->RowCount(), 11);
    // Hidden, not lost: growing the grid again shows the old texts.
    g->setColCount(5);
    g->setRowCount(21);
    QCOMPARE(g->Cells(3, 7), QStringLiteral("x2"));
    QCOMPARE(g->Cells(4, 20), QStringLiteral("y2"));
    QCOMPARE(g->Cells(1, 20), QStringLiteral("bas"));
    // Cells never written, and writes beyond the current shape.
    QCOMPARE(g->Cells(0, 0), QString());
    QCOMPARE(g->Cells(50, 5000), QString());
    QCOMPARE(g->Cells(-1, 3), QString());
    g->setCells(8, 30, QStringLiteral("loin"));
    QCOMPARE(g->Cells(8, 30), QStringLiteral("loin"));
    g->setCells(3, 7, QString());
    QCOMPARE(g->Cells(3, 7), QString());
    QVERIFY_THROWS_EXCEPTION(ErreurKinemar, g->setCells(-1, 0, QStringLiteral("a")));
    QVERIFY_THROWS_EXCEPTION(ErreurKinemar, g->setCells(0, -2, QStringLiteral("a")));
}

void TestGrille::largeursDeColonnes()
{
    g->setColWidths(1, 80);
    g->setColWidths(4, 90);
    QCOMPARE(g->ColWidths(1), 80);
    QCOMPARE(g->ColWidths(2), 44);
    // A column that comes back has the default width; kept ones keep theirs.
    g->setColCount(3);
    g->setColCount(5);
    QCOMPARE(g->ColWidths(4), 44);
    QCOMPARE(g->ColWidths(1), 80);
    g->setDefaultColWidth(50);
    QCOMPARE(g->ColWidths(1), 50);
    QCOMPARE(g->DefaultColWidth(), 50);
}

void TestGrille::evenementParProgramme()
{
    QCOMPARE(g->Col(), 1);
    QCOMPARE(g->Row(), 1);
    int colVue = -1, ligneVue = -1;
    connect(g, &TStringGrid::OnClick, g, [&] {
        colVue = g->Col();
        ligneVue = g->Row();
    });
    g->setCol(1); // already current: nothing
    g->setRow(1);
    QCOMPARE(clics->count(), 0);
    g->setCol(3);
    QCOMPARE(clics->count(), 1);
    QCOMPARE(colVue, 3); // the handler sees the new cell
    g->setRow(9);
    QCOMPARE(clics->count(), 2);
    QCOMPARE(ligneVue, 9);
    // Row then column: two changes, two events; the first sees the old column.
    g->setRow(10);
    QCOMPARE(colVue, 3);
    g->setCol(1);
    QCOMPARE(clics->count(), 4);
    QCOMPARE(colVue, 1);
    QCOMPARE(ligneVue, 10);
    // Outside the grid: an error, no event, no move.
    QVERIFY_THROWS_EXCEPTION(ErreurKinemar, g->setCol(5));
    QVERIFY_THROWS_EXCEPTION(ErreurKinemar, g->setRow(-1));
    QCOMPARE(clics->count(), 4);
    QCOMPARE(g->Col(), 1);
    QCOMPARE(g->Row(), 10);
}

void TestGrille::evenementSouris()
{
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g));
    QWidget *vue = g->viewport();
    QTest::mouseClick(vue, Qt::LeftButton, {}, centre(2, 3));
    QCOMPARE(clics->count(), 1);
    QCOMPARE(g->Col(), 2);
    QCOMPARE(g->Row(), 3);
    // The current cell again: still an event.
    QTest::mouseClick(vue, Qt::LeftButton, {}, centre(2, 3));
    QCOMPARE(clics->count(), 2);
    // Title cells, other buttons and the empty area select nothing.
    QTest::mouseClick(vue, Qt::LeftButton, {}, centre(0, 4));
    QTest::mouseClick(vue, Qt::LeftButton, {}, centre(3, 0));
    QTest::mouseClick(vue, Qt::RightButton, {}, centre(3, 4));
    QTest::mouseClick(vue, Qt::LeftButton, {}, QPoint(vue->width() - 2, 10 + 23 * 1));
    QCOMPARE(clics->count(), 2);
    QCOMPARE(g->Col(), 2);
    QCOMPARE(g->Row(), 3);
    // A disabled grid does not react.
    g->setEnabled(false);
    QVERIFY(!g->Enabled());
    QTest::ignoreMessage(QtWarningMsg,
                         "Mouse event \"MousePress\" not accepted by receiving widget");
    QTest::ignoreMessage(QtWarningMsg,
                         "Mouse event \"MouseRelease\" not accepted by receiving widget");
    QTest::mouseClick(vue, Qt::LeftButton, {}, centre(1, 1));
    QCOMPARE(clics->count(), 2);
    QCOMPARE(g->Row(), 3);
}

void TestGrille::evenementClavier()
{
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g));
    g->setFocus();
    QTest::keyClick(g, Qt::Key_Down);
    QCOMPARE(g->Row(), 2);
    QCOMPARE(clics->count(), 1);
    QTest::keyClick(g, Qt::Key_Up);
    QCOMPARE(clics->count(), 2);
    // At the edges of the data cells a key moves nothing and raises nothing.
    QTest::keyClick(g, Qt::Key_Up);
    QTest::keyClick(g, Qt::Key_Left);
    QCOMPARE(clics->count(), 2);
    QCOMPARE(g->Row(), 1);
    QCOMPARE(g->Col(), 1);
    QTest::keyClick(g, Qt::Key_End);
    QCOMPARE(g->Col(), 4);
    QTest::keyClick(g, Qt::Key_Right);
    QCOMPARE(clics->count(), 3);
    QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(g->Row(), 20);
    QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(g->Row(), 1);
    QTest::keyClick(g, Qt::Key_PageDown);
    QCOMPARE(g->Row(), 1 + g->VisibleRowCount());
    QCOMPARE(clics->count(), 6);
    // Keys the grid does not use go on to the window (Escape is the clear-row button).
    QKeyEvent echap(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(g, &echap);
    QVERIFY(!echap.isAccepted());
}

void TestGrille::refusDeSelection()
{
    g->OnSelectCell = [](int col, int, bool &peut) { peut = col != 3; };
    g->setCol(3);
    QCOMPARE(g->Col(), 1);
    g->setCol(2);
    QCOMPARE(g->Col(), 2);
}

void TestGrille::reductionDeForme()
{
    g->setCol(4);
    g->setRow(15);
    clics->clear();
    // The current cell is pulled inside the smaller grid, silently.
    g->setColCount(3);
    g->setRowCount(11);
    QCOMPARE(g->Col(), 2);
    QCOMPARE(g->Row(), 10);
    QCOMPARE(clics->count(), 0);
    QVERIFY(g->TopRow() <= 10);
    // Down to a single row: no title row is left, the current cell stays valid.
    g->setRowCount(1);
    QCOMPARE(g->FixedRows(), 0);
    QCOMPARE(g->Row(), 0);
    g->setRowCount(0);
    QCOMPARE(g->RowCount(), 1);
}

void TestGrille::defilement()
{
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g));
    const int visibles = g->VisibleRowCount();
    QVERIFY(visibles >= 3);
    QVERIFY(visibles < 20);
    QCOMPARE(g->TopRow(), 1);
    // Moving the current row below the view scrolls it to the bottom of the view.
    g->setRow(18);
    QCOMPARE(g->TopRow(), 18 - visibles + 1);
    QVERIFY(!g->CellRect(1, 18).isEmpty());
    QVERIFY(g->CellRect(1, 1).isEmpty());
    g->setRow(2);
    QCOMPARE(g->TopRow(), 2);
    // The top row stays between the first data row and the last full page.
    g->setTopRow(0);
    QCOMPARE(g->TopRow(), 1);
    g->setTopRow(1000);
    QCOMPARE(g->TopRow(), 20 - visibles + 1);
    QCOMPARE(g->VisibleRowCount(), visibles);
    // The scroll bar moves the view, not the current cell.
    g->verticalScrollBar()->setValue(0);
    QCOMPARE(g->TopRow(), 1);
    QCOMPARE(g->Row(), 2);
    // Columns scroll the same way when the grid is narrow.
    g->resize(150, 200);
    g->setColWidths(2, 60);
    g->setCol(4);
    QVERIFY(g->LeftCol() > 1);
    QVERIFY(!g->CellRect(4, 2).isEmpty());
    QVERIFY(g->CellRect(4, 2).right() < g->viewport()->width());
    int c, r;
    QVERIFY(g->MouseToCell(g->CellRect(4, 2).center(), c, r));
    QCOMPARE(c, 4);
    QCOMPARE(r, 2);
}

void TestGrille::dessinParProprietaire()
{
    g->setCells(0, 0, QStringLiteral("t(s)"));
    g->setCol(2);
    g->setRow(3);
    QMap<QPair<int, int>, int> etats;
    bool canevasFourni = true;
    g->OnDrawCell = [&](QPainter &p, int c, int r, const QRect &rect, int etat) {
        etats[{c, r}] = etat;
        canevasFourni = canevasFourni && g->Canvas() == &p;
        if (c == 1 && r == 2) {
            p.fillRect(rect, Qt::red);
        }
    };
    const QImage im = g->grab().toImage();
    QVERIFY(canevasFourni);
    QCOMPARE(g->Canvas(), nullptr);
    QCOMPARE(etats.value({0, 0}), int(TStringGrid::gdFixed));
    QCOMPARE(etats.value({0, 5}), int(TStringGrid::gdFixed));
    QVERIFY(etats.value({2, 3}) & TStringGrid::gdSelected);
    QCOMPARE(etats.value({1, 2}), 0);
    // Only the rows in view are drawn.
    for (const auto &cle : etats.keys())
        QVERIFY(cle.second <= g->TopRow() + g->VisibleRowCount());
    const QRect r12 = g->CellRect(1, 2);
    QCOMPARE(im.pixelColor(g->viewport()->mapTo(g, r12.center())), QColor(Qt::red));
    // The default look fills with the painter's brush before the hook runs.
    const QRect r11 = g->CellRect(1, 1);
    QCOMPARE(im.pixelColor(g->viewport()->mapTo(g, r11.topLeft() + QPoint(1, 1))),
             QColor(Qt::white));
    const QRect r00 = g->CellRect(0, 0);
    QCOMPARE(im.pixelColor(g->viewport()->mapTo(g, r00.bottomRight())), g->FixedColor());
}

void TestGrille::grandeTable()
{
    QElapsedTimer montre;
    montre.start();
    g->setColCount(9);
    g->setRowCount(10001);
    for (int r = 1; r <= 10000; ++r)
        for (int c = 0; c < 9; ++c)
            g->setCells(c, r, QStringLiteral(" 1.23E-1"));
    g->resize(500, 600);
    for (int i = 0; i < 20; ++i) {
        g->setRow(1 + i * 500);
        (void)g->grab();
    }
    QVERIFY2(montre.elapsed() < 3000, qPrintable(QString::number(montre.elapsed())));
    QCOMPARE(g->Cells(8, 10000), QStringLiteral(" 1.23E-1"));
}

QTEST_MAIN(TestGrille)
#include "tst_grille.moc"

// Tracking from the main window: the table filled as pointing fills it, the current point
// and frame afterwards, the stops and refusals with their messages, Cancel, and the box
// chosen with the mouse.
#include "app/Unit1.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/pixels.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

QList<QPointF> centres(const char *nom)
{
    QList<QPointF> l;
    QFile f(clip(nom) + QStringLiteral(".csv"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return l;
    while (!f.atEnd()) {
        const QList<QByteArray> champs = f.readLine().trimmed().split(',');
        bool ok = false;
        champs[0].toInt(&ok);
        if (ok && champs.size() == 3) l << QPointF(champs[1].toDouble(), champs[2].toDouble());
    }
    return l;
}

QRect boiteAutour(QPointF c, int cote = 21)
{
    return QRect(int(std::lround(c.x())) - cote / 2, int(std::lround(c.y())) - cote / 2, cote,
                 cote);
}

} // namespace

class TestSuiviFenetre : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QList<QPointF> disque;

    void ouvrir(const char *nom)
    {
        plateformeTest.fichiersOuverts.push_back({clip(nom) + QStringLiteral(".avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        disque = centres(nom);
        QCOMPARE(disque.size(), nbImages);
    }

    void allerA(int f)
    {
        Form1->StringGrid1->setRow(f + 1);
        QCOMPARE(imageCourante, f);
    }

    // Rows of point p's pair that hold something.
    QList<int> lignesPointees(int p)
    {
        QList<int> l;
        for (int r = 1; r < Form1->StringGrid0->RowCount(); ++r)
            if (!Form1->StringGrid0->Cells(2 * p - 1, r).isEmpty()) l << r;
        return l;
    }

    QList<int> suite(int de, int a)
    {
        QList<int> l;
        for (int r = de; r <= a; ++r)
            l << r;
        return l;
    }

private slots:
    void init() { debuterSession(plateformeTest); }
    void cleanup() { terminerSession(); }

    // Two points tracked one after the other over the same frames, with a Scale and an Origin
    // of their own: every cell as the table's recomputation writes it, positions on the path.
    void deuxPoints()
    {
        ouvrir("divx_sans_index");
        Form1->udPointsPlan->cliquer(true);
        Form1->udPointNumero->cliquer(false);
        QCOMPARE(Form1->udPointNumero->Position(), 1);
        QVERIFY(Form1->SuiviAuto->isEnabled());
        origineX = 7;
        origineY = 100;
        sensX = -1;
        echelleH = 0.0123L;
        echelleV = 0.0321L;
        allerA(10);
        QSignalSpy tableauModifie(Form1, &TForm1::tableauModifie); // the graphs read it again
        Form1->suivreDepuis(boiteAutour(disque[10]));
        QCOMPARE(tableauModifie.count(), 1);
        QCOMPARE(plateformeTest.messages.size(), size_t(0));
        QCOMPARE(plateformeTest.barres.size(), size_t(1));
        QCOMPARE(plateformeTest.barres[0].total, 49);
        QCOMPARE(plateformeTest.barres[0].etapes.back(), 49);
        QCOMPARE(lignesPointees(1), suite(11, 60));
        // On the last frame found, and on to the next point as after the last click of a frame.
        QCOMPARE(imageCourante, 59);
        QCOMPARE(Form1->MediaPlayer1->Position(), 59);
        QCOMPARE(Form1->StringGrid1->Row(), 60);
        QCOMPARE(Form1->StringGrid1->Col(), 3);
        QCOMPARE(Form1->udPointNumero->Position(), 2);

        // The same frames again for point 2: the disc again, in a larger box.
        allerA(10);
        QCOMPARE(Form1->udPointNumero->Position(), 2);
        Form1->suivreDepuis(boiteAutour(disque[10], 25));
        QCOMPARE(lignesPointees(2), suite(11, 60));
        QCOMPARE(Form1->StringGrid1->Col(), 3);
        QCOMPARE(Form1->udPointNumero->Position(), 2);

        bool decimales = false;
        for (int r = 11; r <= 60; ++r)
            for (int p = 1; p <= 2; ++p) {
                const QString X = Form1->StringGrid0->Cells(2 * p - 1, r);
                const QString Y = Form1->StringGrid0->Cells(2 * p, r);
                decimales = decimales || X.contains(QLatin1Char('.'));
                const QPointF e = QPointF(valeurPixel(X), valeurPixel(Y)) - disque[r - 1];
                QVERIFY2(std::hypot(e.x(), e.y()) < 0.5, qPrintable(X + QLatin1Char(' ') + Y));
            }
        QVERIFY(decimales);
        // Recomputing the table from the pixels changes nothing.
        TStringGrid *t = Form1->StringGrid1;
        QStringList avant;
        for (int r = 1; r < t->RowCount(); ++r)
            for (int c = 0; c < t->ColCount(); ++c)
                avant << t->Cells(c, r);
        Form1->ActualGrid();
        QStringList apres;
        for (int r = 1; r < t->RowCount(); ++r)
            for (int c = 0; c < t->ColCount(); ++c)
                apres << t->Cells(c, r);
        QCOMPARE(apres, avant);
        QCOMPARE(t->Cells(1, 20),
                 texteSci(chiffresXY - 1, static_cast<long double>(
                                              valeurPixel(Form1->StringGrid0->Cells(1, 20)) - 7) *
                                              -1 * 0.0123L));

        // Pointing by hand still records whole pixels.
        allerA(3);
        Form1->udPointNumero->cliquer(false);
        emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, 40, 50);
        QCOMPARE(Form1->StringGrid0->Cells(1, 4), QStringLiteral("40"));
    }

    // A blank frame, Cancel, the last frame, boxes off the picture or too small: a message,
    // and the table as it was or with the frames found.
    void arretsEtRefus()
    {
        ouvrir("suivi_vide");
        allerA(2);
        Form1->suivreDepuis(boiteAutour(disque[2]));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Avertissement), 1);
        const QString texte = plateformeTest.messages.back().texte;
        QVERIFY2(texte.contains(QStringLiteral("9")) && texte.contains(QStringLiteral("0.50")),
                 qPrintable(texte));
        QCOMPARE(lignesPointees(1), suite(3, 8));
        QCOMPARE(imageCourante, 7);

        Form1->Button2Click();
        plateformeTest.annulerApres = 3;
        allerA(1);
        Form1->suivreDepuis(boiteAutour(disque[1]));
        QCOMPARE(lignesPointees(1), suite(2, 4));
        QCOMPARE(imageCourante, 3);
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Avertissement), 1);
        plateformeTest.annulerApres = -1;

        Form1->Button2Click();
        const size_t barres = plateformeTest.barres.size();
        // Off the picture, one pixel, and a blank frame with nothing to follow.
        const std::pair<int, QRect> refus[] = {
            {1, QRect(-60, -60, 20, 20)}, {1, QRect(30, 60, 1, 1)}, {9, QRect(20, 20, 12, 12)}};
        for (const auto &[f, b] : refus) {
            allerA(f);
            Form1->suivreDepuis(b);
            QVERIFY(lignesPointees(1).isEmpty());
            QCOMPARE(imageCourante, f);
        }
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Avertissement), 4);
        allerA(nbImages - 1);
        Form1->suivreDepuis(boiteAutour(disque[0]));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Information), 1);
        QCOMPARE(plateformeTest.barres.size(), barres + 3);
        QVERIFY(lignesPointees(1).isEmpty());
    }

    // The command waits for a box: a drag or a click on the picture tracks and points
    // nothing by hand; Escape gives up and the next click is a pointing again.
    void souris()
    {
        ouvrir("divx_sans_index");
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        QVERIFY(!Form1->SuiviAuto->isChecked());
        Form1->SuiviAuto->trigger();
        QVERIFY(Form1->SuiviAuto->isChecked());
        const QPoint c = disque[0].toPoint();
        QTest::mousePress(Form1->PaintBox1, Qt::LeftButton, {}, c - QPoint(11, 9));
        QTest::mouseMove(Form1->PaintBox1, c);
        QTest::mouseRelease(Form1->PaintBox1, Qt::LeftButton, {}, c + QPoint(10, 12));
        QVERIFY(!Form1->SuiviAuto->isChecked());
        QCOMPARE(lignesPointees(1), suite(1, 60));
        QVERIFY(std::abs(valeurPixel(Form1->StringGrid0->Cells(1, 1)) - disque[0].x()) < 0.5);

        Form1->Button2Click();
        allerA(20);
        Form1->SuiviAuto->trigger();
        QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, {}, disque[20].toPoint());
        QCOMPARE(lignesPointees(1), suite(21, 60));

        Form1->Button2Click();
        allerA(5);
        Form1->SuiviAuto->trigger();
        const int questions = plateformeTest.nombreMessages(TypeMessage::Confirmation);
        QTest::keyClick(Form1->PaintBox1, Qt::Key_Escape);
        QVERIFY(!Form1->SuiviAuto->isChecked());
        // Escape went to the box, not to the clear-row button.
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Confirmation), questions);
        emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, 33, 44);
        QCOMPARE(lignesPointees(1), QList<int>{6});
        QCOMPARE(Form1->StringGrid0->Cells(1, 6), QStringLiteral("33"));
    }
};

QTEST_MAIN(TestSuiviFenetre)
#include "tst_suivi_fenetre.moc"

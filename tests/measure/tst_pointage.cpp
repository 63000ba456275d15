// Pointing end to end: open a test clip, click the true centre of the disc and a fixed point
// on every frame, in each of the four advance modes, and compare every cell of the pixel
// grid and of the Measurement table with the transform.
#include "app/Unit1.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "calibration/outilsImage.h"
#include "measure/loupe.h"
#include "measure/rapporteur.h"
#include "export/instantane.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QUndoStack>
#include <QFile>
#include <QLineF>
#include <QPainter>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

// The disc centre of each frame, from the CSV written beside the clip.
QList<QPoint> centres(const QString &csv)
{
    QList<QPoint> l;
    QFile f(csv);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return l;
    while (!f.atEnd()) {
        const QList<QByteArray> champs = f.readLine().trimmed().split(',');
        bool ok = false;
        champs[0].toInt(&ok);
        if (ok && champs.size() == 3)
            l << QPoint(int(std::lround(champs[1].toDouble())),
                        int(std::lround(champs[2].toDouble())));
    }
    return l;
}

const QPoint kFixe(100, 90);

} // namespace

class TestPointage : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QList<QPoint> disque;

    void ouvrir()
    {
        plateformeTest.fichiersOuverts.push_back({clip("raw_10.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        disque = centres(clip("raw_10.csv"));
        QCOMPARE(disque.size(), nbImages);
    }

    void cliquer(QPoint p) { emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, p.x(), p.y()); }

    // Moves to frame f and point p the way a user does: navigation buttons, point up-down.
    void allerA(int f, int p)
    {
        if (imageCourante > f) Form1->bbtnDeb->click();
        while (imageCourante < f)
            Form1->bbtnSui->click();
        while (Form1->udPointNumero->Position() < p)
            Form1->udPointNumero->cliquer(true);
        while (Form1->udPointNumero->Position() > p)
            Form1->udPointNumero->cliquer(false);
        QCOMPARE(imageCourante, f);
        QCOMPARE(Form1->StringGrid1->Row(), f + 1);
        QCOMPARE(Form1->StringGrid1->Col(), 2 * p - 1);
    }

    void verifierPosition(int f, int p)
    {
        QCOMPARE(imageCourante, f);
        QCOMPARE(Form1->MediaPlayer1->Position(), f);
        QCOMPARE(Form1->udPointNumero->Position(), p);
        for (TStringGrid *g : {Form1->StringGrid0, Form1->StringGrid1}) {
            QCOMPARE(g->Row(), f + 1);
            QCOMPARE(g->Col(), 2 * p - 1);
        }
    }

    void verifierTableau()
    {
        const int d = chiffresXY - 1;
        for (int r = 1; r <= nbImages; ++r) {
            QCOMPARE(Form1->StringGrid0->Cells(0, r), QString::number(r - 1));
            QCOMPARE(Form1->StringGrid1->Cells(0, r),
                     formateReel(QStringLiteral("0.000"), (r - 1) * periode));
            for (int p = 1; p <= 2; ++p) {
                const QPoint q = p == 1 ? disque[r - 1] : kFixe;
                QCOMPARE(Form1->StringGrid0->Cells(2 * p - 1, r), QString::number(q.x()));
                QCOMPARE(Form1->StringGrid0->Cells(2 * p, r), QString::number(q.y()));
                const long double x = (long double)(sensX * (q.x() - origineX)) * echelleH;
                const long double y = (long double)(sensY * (origineY - q.y())) * echelleV;
                QCOMPARE(Form1->StringGrid1->Cells(2 * p - 1, r), texteSci(d, x));
                QCOMPARE(Form1->StringGrid1->Cells(2 * p, r), texteSci(d, y));
            }
        }
    }

private slots:
    void init()
    {
        debuterSession(plateformeTest);
        ouvrir();
    }
    void cleanup() { terminerSession(); }

    void modes_data()
    {
        QTest::addColumn<bool>("autoH");
        QTest::addColumn<bool>("autoV");
        QTest::newRow("horizontal et vertical") << true << true;
        QTest::newRow("horizontal") << true << false;
        QTest::newRow("vertical") << false << true;
        QTest::newRow("aucun") << false << false;
    }
    void modes()
    {
        QFETCH(bool, autoH);
        QFETCH(bool, autoV);
        // A calibration of each kind: shifted Origin, one axis reversed, unequal Scales.
        origineX = 40;
        origineY = 70;
        sensX = autoH ? 1 : -1;
        sensY = autoV ? 1 : -1;
        echelleH = 0.0125L;
        echelleV = 0.02L;

        Form1->udPointsPlan->cliquer(true);
        Form1->udPointNumero->cliquer(false);
        if (Form1->chkBoxAutoH->isChecked() != autoH) Form1->chkBoxAutoH->click();
        if (Form1->chkBoxAutoV->isChecked() != autoV) Form1->chkBoxAutoV->click();
        QCOMPARE(Form1->mnuAutoH->isChecked(), autoH);
        QCOMPARE(Form1->mnuAutoV->isChecked(), autoV);
        verifierPosition(0, 1);

        const int N = nbImages;
        // With only the vertical advance one object is followed through the clip, then the
        // next; otherwise the points of a frame are taken before the next frame.
        QList<QPair<int, int>> ordre;
        if (autoV && !autoH) {
            for (int p = 1; p <= 2; ++p)
                for (int f = 0; f < N; ++f)
                    ordre << qMakePair(f, p);
        } else {
            for (int f = 0; f < N; ++f)
                for (int p = 1; p <= 2; ++p)
                    ordre << qMakePair(f, p);
        }
        for (const auto &[f, p] : ordre) {
            allerA(f, p);
            if (!autoH && !autoV && f == 3) {
                // A wrong click first: the second one replaces it.
                cliquer(QPoint(5, 5));
                verifierPosition(f, p);
            }
            cliquer(p == 1 ? disque[f] : kFixe);
            int fAttendue = f, pAttendu = p;
            if (autoH && p < 2)
                pAttendu = p + 1;
            else if (autoV && f < N - 1) {
                fAttendue = f + 1;
                if (autoH) pAttendu = 1;
            }
            verifierPosition(fAttendue, pAttendu);
        }
        verifierTableau();
        QVERIFY(Form1->tableauOccupe());
    }

    void clicSourisEtDessin()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        // Default Origin and 1 m per pixel: 10 px right and 10 px up.
        const QPoint p(10, hauteurAffichee - 11);
        QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, {}, p);
        QCOMPARE(Form1->StringGrid0->Cells(1, 1), QStringLiteral("10"));
        QCOMPARE(Form1->StringGrid0->Cells(2, 1), QString::number(hauteurAffichee - 11));
        QCOMPARE(Form1->StringGrid1->Cells(1, 1), QStringLiteral(" 1.00E+1"));
        QCOMPARE(Form1->StringGrid1->Cells(2, 1), QStringLiteral(" 1.00E+1"));
        QCOMPARE(imageCourante, 1);

        // Other buttons and releases off the picture record nothing.
        QTest::mouseClick(Form1->PaintBox1, Qt::RightButton, {}, QPoint(20, 20));
        cliquer(QPoint(largeurAffichee, 20));
        cliquer(QPoint(-1, 20));
        cliquer(QPoint(20, hauteurAffichee));
        QCOMPARE(Form1->StringGrid0->Cells(1, 2), QString());
        QCOMPARE(imageCourante, 1);

        // Live coordinates.
        sensX = -1;
        emit Form1->PaintBox1->MouseMove({}, 30, hauteurAffichee - 1);
        QCOMPARE(Form1->lblXPixels->text(), QStringLiteral("pX= -30"));
        QCOMPARE(Form1->lblYPixels->text(), QStringLiteral("pY= 0"));
        QCOMPARE(Form1->lblXMetres->text(), QStringLiteral("x= -3.00E+1"));
        QCOMPARE(Form1->lblYMetres->text(), QStringLiteral("y=  0.00E+0"));
        sensX = 1;

        // A point whose drawn flag is off shows its marker only until the next redraw.
        auto marque = [](QPoint q) { return qAlpha(Form1->PaintBox1->Canvas().pixel(q)) != 0; };
        Form1->chkBoxPtDed->click();
        QCOMPARE(Form1->StringGrid2->Cells(1, 1), QStringLiteral("0"));
        const QPoint q(60, 40);
        cliquer(q);
        QVERIFY(marque(q));
        Form1->redessinerImageCourante();
        QVERIFY(!marque(q));
        Form1->chkBoxPtDed->click();
        // With the flag on, the whole trajectory is drawn over any frame.
        Form1->bbtnFin->click();
        Form1->redessinerImageCourante();
        QVERIFY(marque(p));
        QVERIFY(marque(q));
    }

    void derniereImage()
    {
        // On the last frame with both advances on, the click records and nothing moves; a
        // second click replaces the first.
        Form1->bbtnFin->click();
        cliquer(QPoint(30, 30));
        verifierPosition(nbImages - 1, 1);
        cliquer(QPoint(31, 32));
        verifierPosition(nbImages - 1, 1);
        QCOMPARE(Form1->StringGrid0->Cells(1, nbImages), QStringLiteral("31"));
        QCOMPARE(Form1->StringGrid0->Cells(2, nbImages), QStringLiteral("32"));
        QVERIFY(qAlpha(Form1->PaintBox1->Canvas().pixel(31, 32)) != 0);
        // The first marker's left arm, beyond the second one's outline, is gone.
        QVERIFY(qAlpha(Form1->PaintBox1->Canvas().pixel(29, 30)) == 0);
    }

    void clicPendantLaLecture()
    {
        // A click while the clip plays points the frame on view; the clip then stands on the
        // frame after it, and the table with it.
        Form1->bbtnPlay->click();
        QTRY_VERIFY_WITH_TIMEOUT(Form1->MediaPlayer1->Position() >= 2, 5000);
        const int f = Form1->MediaPlayer1->Position();
        QVERIFY(f < nbImages - 1);
        cliquer(QPoint(25, 35));
        QCOMPARE(Form1->StringGrid0->Cells(1, f + 1), QStringLiteral("25"));
        QTest::qWait(100); // the player's end-of-play notice
        QCOMPARE(Form1->MediaPlayer1->Mode(), TMediaPlayer::ModeLecteur::Arrete);
        verifierPosition(f + 1, 1);
        for (int r = 1; r <= nbImages; ++r)
            if (r != f + 1) QCOMPARE(Form1->StringGrid0->Cells(1, r), QString());
    }

    void troisPointsDeuxChoix()
    {
        // n = 3, both advances, point 1 on frame 5: three clicks fill row 5, then frame 6.
        Form1->udPointsPlan->cliquer(true);
        Form1->udPointsPlan->cliquer(true);
        for (int i = 0; i < 4; ++i)
            Form1->bbtnSui->click();
        Form1->udPointNumero->cliquer(false);
        Form1->udPointNumero->cliquer(false);
        verifierPosition(4, 1);
        for (int p = 0; p < 3; ++p)
            cliquer(QPoint(20 + p, 30 + p));
        verifierPosition(5, 1);
        for (int c = 1; c <= 6; ++c)
            QVERIFY(!Form1->StringGrid0->Cells(c, 5).isEmpty());
        QCOMPARE(Form1->StringGrid0->Cells(5, 5), QStringLiteral("22"));
    }

    // Alt + arrows nudge the last pointing of the frame shown, one pixel a press, and a run of
    // nudges undoes at once; the tape measures through the calibration, its dragged end is no
    // pointing, and it hands its ends to the common Scale's own flow.
    void outilsSurLImage()
    {
        allerA(2, 1);
        QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
        allerA(2, 1);
        const int pas = Form1->document->pile()->count();
        for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up})
            QTest::keyClick(Form1->PaintBox1, k, Qt::AltModifier);
        QCOMPARE(Form1->StringGrid0->Cells(1, 3), QStringLiteral("52"));
        QCOMPARE(Form1->StringGrid0->Cells(2, 3), QStringLiteral("59"));
        QCOMPARE(Form1->StringGrid1->Cells(1, 3), texteSci(chiffresXY - 1, 52.0L * echelleH));
        QCOMPARE(Form1->document->pile()->count(), pas + 1);
        Form1->document->pile()->undo();
        QCOMPARE(Form1->StringGrid0->Cells(1, 3), QStringLiteral("50"));
        QCOMPARE(Form1->StringGrid0->Cells(2, 3), QStringLiteral("60"));
        QCOMPARE(imageCourante, 2); // the arrows without Alt still step frames
        QTest::keyClick(Form1->PaintBox1, Qt::Key_Up, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(Form1->StringGrid0->Cells(2, 3), QStringLiteral("60"));

        Form1->mnuRuban->trigger();
        QVERIFY(Form1->outilsImage->rubanVisible());
        Form1->outilsImage->placerRuban({10, 100}, {110, 100});
        QCOMPARE(double(Form1->outilsImage->longueurRuban()), 100.0); // 1 m a pixel
        const int pointages = Form1->document->mesure().nbPointages();
        QTest::mousePress(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(112, 98));
        QTest::mouseMove(Form1->PaintBox1, QPoint(110, 70));
        QTest::mouseRelease(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(110, 70));
        QCOMPARE(Form1->outilsImage->rubanB(), QPoint(110, 70));
        QCOMPARE(Form1->document->mesure().nbPointages(), pointages);

        Form1->mnuRubanEtalon->trigger();
        QVERIFY(Form1->rbEtalonSimu->isChecked());
        QCOMPARE(etalonP1, QPoint(10, 100));
        QCOMPARE(etalonP2, QPoint(110, 70));
        QFocusEvent entree(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &entree);
        Form1->edSi->selectAll();
        QTest::keyClicks(Form1->edSi, QStringLiteral("0.5"));
        QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &sortie);
        QVERIFY(std::fabs(double(echelleH) - 0.5 / std::hypot(100.0, 30.0)) < 1e-12);
        QVERIFY(std::fabs(double(Form1->outilsImage->longueurRuban()) - 0.5) < 1e-12);
    }

    void loupeEntreLesPixels()
    {
        // A disc moving by fractions of a pixel, pointed through the magnifier the way a user
        // does: the pointer over the disc, Shift held on the way to the magnifier, a click on
        // the middle of the red blob it shows.
        plateformeTest.fichiersOuverts.push_back({clip("loupe.avi")});
        Form1->bbtnOpenAviClick();
        QFile csv(clip("loupe.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly | QIODevice::Text));
        QList<QPointF> verite;
        while (!csv.atEnd()) {
            const QList<QByteArray> c = csv.readLine().trimmed().split(',');
            if (c.size() == 3 && c[0] != "frame") verite << QPointF(c[1].toDouble(), c[2].toDouble());
        }
        QCOMPARE(verite.size(), nbImages);
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        Form1->mnuLoupeAfficher->trigger();
        TLoupe *loupe = Form1->loupe;
        QVERIFY(loupe->isVisible());
        for (int z : {4, 8}) {
            // At 8x beside the pointer: held with Shift, it stays where the pointer left it.
            Form1->findChild<QAction *>(QStringLiteral("mnuLoupe%1").arg(z))->trigger();
            if (z == 8) Form1->findChild<QAction *>(QStringLiteral("mnuLoupePointeur"))->trigger();
            Form1->bbtnDeb->click();
            double pire = 0, somme = 0;
            for (int f = 0; f < 20; ++f) {
                QCOMPARE(imageCourante, f);
                const QPoint vise = verite[f].toPoint() + QPoint(f % 3 - 1, 1 - f % 2);
                emit Form1->PaintBox1->MouseMove({}, vise.x(), vise.y());
                const QPoint place = loupe->pos();
                emit Form1->PaintBox1->MouseMove(Qt::ShiftModifier, 3, 3);
                QCOMPARE(loupe->centre(), vise);
                QCOMPARE(loupe->pos(), place);
                QVERIFY(!loupe->testAttribute(Qt::WA_TransparentForMouseEvents));
                const QImage vue = loupe->grab().toImage().convertToFormat(QImage::Format_RGB32);
                double sx = 0, sy = 0, n = 0;
                for (int y = 0; y < vue.height(); ++y)
                    for (int x = 0; x < vue.width(); ++x) {
                        const QColor c = vue.pixelColor(x, y);
                        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) {
                            sx += x + 0.5;
                            sy += y + 0.5;
                            ++n;
                        }
                    }
                QVERIFY(n > 0);
                QTest::mouseClick(loupe, Qt::LeftButton, {}, QPoint(qRound(sx / n), qRound(sy / n)));
                const auto pos = Form1->document->position(0, f);
                QVERIFY(pos);
                QCOMPARE(std::fmod(pos->x() * 4, 1.0), 0.0);
                pire = std::max(pire, QLineF(*pos, verite[f]).length());
                somme += QLineF(*pos, verite[f]).length();
            }
            qInfo("magnifier x%d: distance to the true centre %.3f px on average, %.3f at most", z,
                  somme / 20, pire);
            QVERIFY(pire <= 0.3);
        }
    }

    void rapporteurSurUnAngleDessine()
    {
        // A 37° angle drawn on the picture; the protractor's three ends dragged onto the
        // vertex and the far ends of the two lines, found on the picture as a user sees them.
        const QPointF V(20, 100);
        const double a = 37 * 3.14159265358979323846 / 180;
        QImage dessin(largeurAffichee, hauteurAffichee, QImage::Format_RGB32);
        dessin.fill(Qt::white);
        {
            QPainter p(&dessin);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Qt::black, 1.5));
            p.drawLine(V, V + QPointF(130, 0));
            p.drawLine(V, V + 130 * QPointF(std::cos(a), -std::sin(a)));
        }
        Form1->PaintBox1->imageFond = [dessin] { return dessin; };
        auto bout = [&](bool haut) {
            QPoint loin;
            for (int y = 0; y < dessin.height(); ++y)
                for (int x = 0; x < dessin.width(); ++x)
                    if (qGray(dessin.pixel(x, y)) < 100 && (y < V.y() - 3) == haut &&
                        QLineF(V, QPointF(x, y)).length() > QLineF(V, loin).length())
                        loin = QPoint(x, y);
            return loin;
        };
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        Form1->mnuRapporteur->trigger();
        TRapporteur *r = Form1->rapporteur;
        QVERIFY(r->isVisible());
        auto glisser = [](QPointF de, QPoint vers) {
            QTest::mousePress(Form1->PaintBox1, Qt::LeftButton, {}, de.toPoint());
            QTest::mouseMove(Form1->PaintBox1, vers);
            QTest::mouseRelease(Form1->PaintBox1, Qt::LeftButton, {}, vers);
        };
        glisser(r->extremite(TRapporteur::Sommet), V.toPoint());
        glisser(r->extremite(TRapporteur::Bras1), bout(false));
        glisser(r->extremite(TRapporteur::Bras2), bout(true));
        qInfo("protractor on a drawn 37 degree angle: %.2f degrees", r->angle());
        QVERIFY(std::abs(r->angle() - 37) <= 0.2);
        // The drags pointed nothing; the command records the angle of the frame shown.
        QVERIFY(!Form1->tableauOccupe());
        QCOMPARE(Form1->StringGrid1->ColCount(), 3);
        Form1->mnuEnregistrerAngle->trigger();
        QCOMPARE(Form1->StringGrid1->ColCount(), 4);
        QCOMPARE(Form1->StringGrid1->Cells(3, 0), QStringLiteral("angle(°)"));
        QCOMPARE(Form1->StringGrid1->Cells(3, 1),
                 QStringLiteral(" ") + QString::number(r->angle(), 'f', 1));
        QCOMPARE(imageCourante, 1);
        QVERIFY(Form1->instantaneTableau().angle);
        Form1->findChild<QAction *>(QStringLiteral("mnuAnnuler"))->trigger();
        QVERIFY(Form1->document->mesure().angles.isEmpty());
        QCOMPARE(Form1->StringGrid1->ColCount(), 3);
        // Its column cleared with the column button, as a point's pair is.
        Form1->mnuEnregistrerAngle->trigger();
        Form1->StringGrid1->setCol(3);
        QCOMPARE(Form1->StringGrid0->Col(), 1);
        plateformeTest.reponses = {Reponse::Oui};
        Form1->Button0Click();
        QVERIFY(Form1->document->mesure().angles.isEmpty());
        QCOMPARE(Form1->StringGrid1->ColCount(), 3);
    }
};

QTEST_MAIN(TestPointage)
#include "tst_pointage.moc"

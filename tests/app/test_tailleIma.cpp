// Display size of the clip: the size rules, the dialog and its commands, and measurements
// made on a clip shown at 50, 137 and 200 % against mkclip's truth.
#include "app/Unit1.h"
#include "app/affichage.h"
#include "app/tailleIma.h"
#include "calibration/transformation.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/TStringGrid.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace
{

QString clip(const QString &nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + nom;
}

// mkclip's CSV: "# ruler x1 y x2 y", a title line, then "frame,x,y" per frame.
std::pair<int, std::vector<QPointF>> verite(const QString &nom)
{
    QFile f(clip(nom + QStringLiteral(".csv")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QStringList regle = QString::fromLatin1(f.readLine()).simplified().split(' ');
    f.readLine();
    std::vector<QPointF> centres;
    while (!f.atEnd()) {
        const QStringList c = QString::fromLatin1(f.readLine()).trimmed().split(',');
        if (c.size() == 3) centres.emplace_back(c[1].toDouble(), c[2].toDouble());
    }
    return {regle.size() == 6 ? regle[2].toInt() : 0, centres};
}

// Centre of the red disc, each pixel weighted by how red it is (a smoothed edge pixel counts
// for the share of it the disc covers).
QPointF disque(const QImage &image)
{
    double sx = 0, sy = 0, s = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double poids = std::max(0, c.red() - (c.green() + c.blue()) / 2);
            if (poids < 40) continue;
            sx += poids * x;
            sy += poids * y;
            s += poids;
        }
    return s > 0 ? QPointF(sx / s, sy / s) : QPointF(-1, -1);
}

// The picture as the pointing area shows it, without the markers drawn over it.
QImage imageAffichee()
{
    Form1->PaintBox1->effacerCanvas();
    return Form1->PaintBox1->grab().toImage();
}

// Where natural pixel u lies on a picture shown at factor f (pixel centres line up).
double affiche(double u, double f)
{
    return (u + 0.5) * f - 0.5;
}

void clic(QPoint p)
{
    QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, p);
}

void pointerImages(int n)
{
    for (int f = 0; f < n; ++f)
        clic(disque(imageAffichee()).toPoint());
}

} // namespace

class TestTailleIma : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateforme_;

    void ouvrir(const QString &nom)
    {
        plateforme_.fichiersOuverts.push_back({clip(nom + QStringLiteral(".avi"))});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
    }

    // The dialog answers with OK, or with Escape, after `avant` played with its controls.
    void repondre(bool ok, std::function<void()> avant = {})
    {
        plateforme_.surModal = [ok, avant](QDialog *d) {
            if (avant) avant();
            if (ok)
                tailleImaBox->OKBtn->click();
            else
                QTest::keyClick(d, Qt::Key_Escape);
            return ok ? QDialog::Accepted : QDialog::Rejected;
        };
    }

    void appliquer(int pourcent)
    {
        repondre(true, [pourcent] { tailleImaBox->udPc->setPosition(pourcent); });
        Form1->bbtnImaClick();
        QCOMPARE(pcAffichage, pourcent);
    }

private slots:
    void init() { debuterSession(plateforme_); }
    void cleanup() { terminerSession(); }

    void regles()
    {
        QCOMPARE(tailleAffichee({320, 240}, 137), QSize(438, 329));
        QCOMPARE(tailleAffichee({320, 240}, 50), QSize(160, 120));
        QCOMPARE(tailleAffichee({45, 35}, 10), QSize(4, 4)); // 4.5 and 3.5: ties to even
        QCOMPARE(tailleAffichee({4, 3}, 10), QSize(1, 1));   // never 0 pixels
        const QSize n(320, 240);
        QCOMPARE(pourcentAdapte({489, 249}, n, 10, 200), 100); // the height limits
        QCOMPARE(pourcentAdapte({169, 500}, n, 10, 200), 50);  // the width limits
        QCOMPARE(pourcentAdapte({2000, 2000}, n, 10, 200), 200);
        QCOMPARE(pourcentAdapte({20, 15}, n, 10, 200), 10);
        QCOMPARE(pourcentAdapte({5, 5}, n, 10, 200), 10);
        QCOMPARE(pourcentAdapte({19, 1000}, {80, 60}, 10, 200), 12);  // 12.5
        QCOMPARE(pourcentAdapte({36, 1000}, {200, 60}, 10, 200), 14); // 13.5
        QCOMPARE(pourcentAdapte({300, 300}, {0, 0}, 10, 200), 100);
    }

    void mesureAgrandie_data()
    {
        QTest::addColumn<int>("pourcent");
        QTest::newRow("50 %") << 50;
        QTest::newRow("137 %") << 137;
        QTest::newRow("200 %") << 200;
    }

    // The disc pointed on every frame of a clip shown larger or smaller, calibrated on the
    // ruler: the table gives mkclip's motion.
    void mesureAgrandie()
    {
        QFETCH(int, pourcent);
        const auto [regle, centres] = verite(QStringLiteral("raw"));
        QVERIFY(!centres.empty());
        ouvrir(QStringLiteral("raw"));
        appliquer(pourcent);
        const double f = pourcent / 100.0;
        const QSize taille = tailleAffichee({largeurReelle, hauteurReelle}, pourcent);
        QCOMPARE(Form1->MediaPlayer1->DisplayRect(), QRect(QPoint(4, 4), taille));
        QCOMPARE(Form1->PaintBox1->geometry(), QRect(QPoint(4, 4), taille));
        QCOMPARE(Form1->pnl1AVI->size(), taille + QSize(8, 8));
        QCOMPARE(QPoint(origineX, origineY), QPoint(0, taille.height() - 1));
        QCOMPARE(Form1->lblAdapt->text(), QStringLiteral("التكييف % :  %1 ").arg(pourcent));

        // The picture fills the pointing area with no offset.
        const QPointF vu = disque(imageAffichee());
        QVERIFY2(std::hypot(vu.x() - affiche(centres[0].x(), f),
                            vu.y() - affiche(centres[0].y(), f)) < 0.3,
                 qPrintable(QStringLiteral("disc at %1, %2").arg(vu.x()).arg(vu.y())));

        // Five digits, so that the table's rounding hides no pixel. The ruler's 100 natural
        // pixels are 0.5 m; its ends are clicked where they are shown.
        Form1->udFmt_xy->cliquer(true);
        Form1->udFmt_xy->cliquer(true);
        Form1->popUpMnuModeEtalonnerClick();
        Form1->rbEtalonSimu->setChecked(true);
        const int y = int(std::lround(affiche(hauteurReelle - 8, f)));
        clic({int(std::lround(affiche(regle, f))), y});
        Form1->chkBoxPt2->setChecked(true);
        clic({int(std::lround(affiche(regle + 100, f))), y});
        QFocusEvent entree(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &entree);
        Form1->edSi->setText(QStringLiteral("0.5"));
        QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &sortie);
        Form1->rbChxOrig->setChecked(true);
        clic(vu.toPoint());
        Form1->popUpMnuModeAcquerirClick();
        pointerImages(nbImages);
        QCOMPARE(imageCourante, nbImages - 1);

        double pire = 0;
        for (int r = 1; r <= nbImages; ++r) {
            const QPointF d = (centres[r - 1] - centres[0]) * 0.005;
            const auto x = lireReel(Form1->StringGrid1->Cells(1, r), '.');
            const auto y = lireReel(Form1->StringGrid1->Cells(2, r), '.');
            QVERIFY(x && y);
            pire = std::max({pire, std::fabs(double(*x) - d.x()), std::fabs(double(*y) + d.y())});
        }
        // The two clicks behind a value are each within half a shown pixel.
        pire /= 0.005;
        QVERIFY2(pire < 0.2 + 1.1 / f, qPrintable(QStringLiteral("worst %1 px").arg(pire)));
    }

    // The 100 % item on a clip shown at 50 % whose only pointing lies in a hidden pair:
    // the question; No keeps everything; Yes restores the natural size, clears every pair and
    // resets the calibration, read-outs included.
    void retourA100()
    {
        ouvrir(QStringLiteral("raw"));
        appliquer(50);
        Form1->udPointsPlan->cliquer(true);
        pointerImages(1);
        const QString pixels = Form1->StringGrid0->Cells(3, 1);
        QVERIFY(!pixels.isEmpty());
        Form1->udPointsPlan->cliquer(false);
        Form1->popUpMnuModeEtalonnerClick();
        Form1->rbChxOrig->setChecked(true);
        Form1->tbXnYN->click();
        Form1->rbEtalonSimu->setChecked(true);
        clic({10, 10});
        Form1->chkBoxPt2->setChecked(true);
        clic({50, 10});
        QVERIFY(echelleH != 1.0L);

        repondre(true);
        plateforme_.reponses = {Reponse::Non};
        Form1->mnuIma100Click();
        QCOMPARE(plateforme_.messages.size(), size_t(1));
        QCOMPARE(plateforme_.messages[0].texte,
                 QStringLiteral(": سيتم مسح كل القياسات في الجدول\r      هل أنت متأكد من هذا "
                                "الإختيار ؟ "));
        QCOMPARE(pcAffichage, 50);
        QCOMPARE(largeurAffichee, 80);
        QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("50 "));
        QCOMPARE(Form1->StringGrid0->Cells(3, 1), pixels);

        Form1->mnuIma100Click();
        QCOMPARE(pcAffichage, 100);
        QCOMPARE(Form1->PaintBox1->size(), QSize(largeurReelle, hauteurReelle));
        QCOMPARE(Form1->lblNoImage2->text(), QStringLiteral("1"));
        for (int c = 1; c <= 8; ++c)
            QVERIFY(Form1->StringGrid0->Cells(c, 1).isEmpty());
        QCOMPARE(QPoint(origineX, origineY), QPoint(0, hauteurReelle - 1));
        QVERIFY(Form1->tbXnYN->isChecked());
        QCOMPARE(echelleH, 1.0L);
        QCOMPARE(echelleV, 1.0L);
        QCOMPARE(etalonP2, QPoint(2, 2));
        QCOMPARE(Form1->indicX2->x(), 5);
        QVERIFY(!Form1->rbEtalonSimu->isChecked());
        QCOMPARE(Form1->edSi->text(), QStringLiteral("1.41E+0"));
        QCOMPARE(Form1->edSH->text(), QStringLiteral(" 1.00E+0"));
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->lblSVert->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->lblP1Y->text(), QStringLiteral("pY= -%1").arg(hauteurReelle - 2));
        QVERIFY(!Form1->mnuIma100->isEnabled());
        Form1->udPointsPlan->cliquer(true);
        QVERIFY(Form1->StringGrid1->Cells(3, 1).isEmpty());
    }

    // OK with the percent unchanged applies and asks nothing; with the fit box ticked it only
    // brings the dragged panel back. Escape after the 100 % item undoes the item.
    void okEtAnnuler()
    {
        ouvrir(QStringLiteral("raw"));
        appliquer(60);
        pointerImages(2);
        Form1->pnl1AVI->move(30, 20);
        repondre(true);
        Form1->bbtnImaClick();
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(30, 20));
        repondre(true, [] {
            tailleImaBox->chkBxAdapter->setChecked(true);
            tailleImaBox->udPc->setPosition(pcAffichage);
        });
        Form1->bbtnImaClick();
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(0, 0));
        QVERIFY(!Form1->StringGrid0->Cells(1, 2).isEmpty());
        QVERIFY(plateforme_.messages.empty());
        QCOMPARE(tailleImaBox->windowTitle(), QStringLiteral("(حجم مقطع الفيديو (حاليا   % 60  "));
        QVERIFY(tailleImaBox->CancelBtn->isDefault());

        repondre(false);
        Form1->mnuIma100Click();
        QCOMPARE(tailleImaBox->udPc->Position(), 60);
        QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("60%"));
        QCOMPARE(pcAffichage, 60);
    }

    // The fit item takes the percent from the clip area, at least 10, and OK applies what
    // the box shows. Held on an arrow, udPc goes faster at each tick of its timer.
    void adapterEtAccelerer()
    {
        ouvrir(QStringLiteral("raw"));
        Form1->ScrollBox1->resize(20, 15);
        repondre(true, [] { QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("10%")); });
        Form1->mnuImaAdapterClick();
        QCOMPARE(pcAffichage, 10);
        QCOMPARE(Form1->PaintBox1->size(), QSize(16, 12));
        QVERIFY(!Form1->mnuImaAdapter->isEnabled());

        repondre(true, [] {
            TtailleImaBox *b = tailleImaBox;
            QVERIFY(b->Timer1->isActive());
            emit b->udPc->MouseDown();
            QVERIFY(!b->chkBxAdapter->isChecked());
            QList<int> pas;
            for (int i = 0; i < 5; ++i) {
                b->Timer1Timer();
                pas << b->udPc->Increment();
            }
            QCOMPARE(pas, (QList<int>{6, 11, 16, 20, 20}));
            b->udPc->setPosition(190);
            b->udPc->cliquer(true);
            QCOMPARE(b->pnlPc->text(), QStringLiteral("200%"));
            emit b->udPc->MouseUp();
            QCOMPARE(b->udPc->Increment(), 1);
        });
        Form1->bbtnImaClick();
        QCOMPARE(pcAffichage, 200);
    }

    // The scroll range follows the picture down as well as up, and a new clip starts at the
    // top-left with a range that fits it.
    void defilement()
    {
        Form1->resize(400, 360);
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        ouvrir(QStringLiteral("raw"));
        appliquer(200);
        QScrollBar *h = Form1->ScrollBox1->horizontalScrollBar();
        QScrollBar *v = Form1->ScrollBox1->verticalScrollBar();
        QVERIFY(h->maximum() > 0);
        h->setValue(h->maximum());
        appliquer(50);
        QCOMPARE(h->maximum(), 0);
        appliquer(200);
        Form1->pnl1AVI->move(120, 90);
        Form1->ajusterFondScrollBox();
        h->setValue(h->maximum());

        ouvrir(QStringLiteral("raw_10"));
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(0, 0));
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);
        QCOMPARE(Form1->ScrollBox1Fond->size(), Form1->ScrollBox1->viewport()->size());
    }
};

QTEST_MAIN(TestTailleIma)
#include "test_tailleIma.moc"

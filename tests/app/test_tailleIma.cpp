// Display size of the clip: the size rules, the dialog's commands and handlers, and
// measurements made on a clip shown at 50, 137 and 200 % against mkclip's truth.
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

// mkclip's truth: the ruler's two end pixels and the disc's centre on every frame.
struct Verite {
    QPoint regle1, regle2;
    std::vector<QPointF> centres;
};

Verite verite(const QString &nom)
{
    Verite v;
    QFile f(clip(nom + QStringLiteral(".csv")));
    if (!f.open(QIODevice::ReadOnly)) return v;
    const QStringList regle = QString::fromLatin1(f.readLine()).simplified().split(' ');
    if (regle.size() == 6) {
        v.regle1 = {regle[2].toInt(), regle[3].toInt()};
        v.regle2 = {regle[4].toInt(), regle[5].toInt()};
    }
    f.readLine();
    while (!f.atEnd()) {
        const QStringList c = QString::fromLatin1(f.readLine()).trimmed().split(',');
        if (c.size() == 3) v.centres.emplace_back(c[1].toDouble(), c[2].toDouble());
    }
    return v;
}

// Centre of the red disc in a picture, each pixel weighted by how red it is (the smoothed
// edge counts for the share of the pixel the disc covers).
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

double nombre(const QString &texte)
{
    const auto v = lireReel(texte, '.');
    return v ? double(*v) : std::nan("");
}

} // namespace

class TestTailleIma : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateforme_;
    int modaux_ = 0;

    void ouvrir(const QString &nom)
    {
        plateforme_.fichiersOuverts.push_back({clip(nom + QStringLiteral(".avi"))});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
    }

    // The dialog answers with OK (or Escape), after `avant` played with its controls.
    void repondre(bool ok, std::function<void()> avant = {})
    {
        plateforme_.surModal = [this, ok, avant](QDialog *d) {
            ++modaux_;
            if (avant) avant();
            auto *boite = static_cast<TtailleImaBox *>(d);
            if (ok)
                boite->OKBtn->click();
            else
                QTest::keyClick(boite, Qt::Key_Escape);
            return ok ? QDialog::Accepted : QDialog::Rejected;
        };
    }

    void appliquer(int pourcent)
    {
        repondre(true, [pourcent] { tailleImaBox->udPc->setPosition(pourcent); });
        Form1->bbtnImaClick();
        QCOMPARE(pcAffichage, pourcent);
    }

    void pointerImages(int n)
    {
        for (int f = 0; f < n; ++f)
            clic(disque(imageAffichee()).toPoint());
    }

private slots:
    void init()
    {
        debuterSession(plateforme_);
        modaux_ = 0;
    }
    void cleanup() { terminerSession(); }

    void regles_data()
    {
        QTest::addColumn<QSize>("naturelle");
        QTest::addColumn<int>("pourcent");
        QTest::addColumn<QSize>("affichee");
        QTest::newRow("137 %") << QSize(320, 240) << 137 << QSize(438, 329);
        QTest::newRow("50 %") << QSize(320, 240) << 50 << QSize(160, 120);
        QTest::newRow("ties to even") << QSize(45, 35) << 10 << QSize(4, 4);
        QTest::newRow("never 0 pixels") << QSize(4, 3) << 10 << QSize(1, 1);
        QTest::newRow("200 %") << QSize(160, 120) << 200 << QSize(320, 240);
    }

    void regles()
    {
        QFETCH(QSize, naturelle);
        QFETCH(int, pourcent);
        QFETCH(QSize, affichee);
        QCOMPARE(tailleAffichee(naturelle, pourcent), affichee);
    }

    void pourcentAdapte_data()
    {
        QTest::addColumn<QSize>("zone");
        QTest::addColumn<QSize>("naturelle");
        QTest::addColumn<int>("pourcent");
        QTest::newRow("height limits") << QSize(489, 249) << QSize(320, 240) << 100;
        QTest::newRow("width limits") << QSize(169, 500) << QSize(320, 240) << 50;
        QTest::newRow("at most 200") << QSize(2000, 2000) << QSize(160, 120) << 200;
        QTest::newRow("at least 10") << QSize(20, 15) << QSize(160, 120) << 10;
        QTest::newRow("area under 9 px") << QSize(5, 5) << QSize(160, 120) << 10;
        QTest::newRow("12.5 to even") << QSize(19, 1000) << QSize(80, 60) << 12;
        QTest::newRow("13.5 to even") << QSize(36, 1000) << QSize(200, 60) << 14;
        QTest::newRow("no natural size") << QSize(300, 300) << QSize(0, 0) << 100;
    }

    void pourcentAdapte()
    {
        QFETCH(QSize, zone);
        QFETCH(QSize, naturelle);
        QFETCH(int, pourcent);
        QCOMPARE(::pourcentAdapte(zone, naturelle, 10, 200), pourcent);
    }

    // Point the disc on a clip shown at 50, 137 and 200 %, calibrated on the ruler, and find
    // mkclip's motion in the table.
    void mesureAgrandie_data()
    {
        QTest::addColumn<int>("pourcent");
        QTest::newRow("50 %") << 50;
        QTest::newRow("137 %") << 137;
        QTest::newRow("200 %") << 200;
    }

    void mesureAgrandie()
    {
        QFETCH(int, pourcent);
        const Verite v = verite(QStringLiteral("raw"));
        QVERIFY(!v.centres.empty());
        ouvrir(QStringLiteral("raw"));
        appliquer(pourcent);
        const double f = pourcent / 100.0;
        const QSize taille = tailleAffichee({largeurReelle, hauteurReelle}, pourcent);
        const int W = taille.width(), H = taille.height();
        QCOMPARE(Form1->MediaPlayer1->DisplayRect(), QRect(4, 4, W, H));
        QCOMPARE(Form1->PaintBox1->geometry(), QRect(4, 4, W, H));
        QCOMPARE(Form1->pnl1AVI->size(), QSize(W + 8, H + 8));
        QCOMPARE(QSize(largeurAffichee, hauteurAffichee), taille);
        QCOMPARE(QPoint(origineX, origineY), QPoint(0, H - 1));
        QCOMPARE(Form1->lblAdapt->text(), QStringLiteral("التكييف % :  %1 ").arg(pourcent));
        QVERIFY(Form1->mnuIma100->isEnabled());

        // The picture fills the pointing area with no offset: the disc stands where the
        // natural picture puts it.
        const QPointF vu = disque(imageAffichee());
        const QPointF attendu(affiche(v.centres[0].x(), f), affiche(v.centres[0].y(), f));
        QVERIFY2(std::hypot(vu.x() - attendu.x(), vu.y() - attendu.y()) < 0.3,
                 qPrintable(QStringLiteral("disc at %1,%2 instead of %3,%4")
                                .arg(vu.x())
                                .arg(vu.y())
                                .arg(attendu.x())
                                .arg(attendu.y())));

        // Five digits, so that the table's rounding does not hide a pixel.
        Form1->udFmt_xy->cliquer(true);
        Form1->udFmt_xy->cliquer(true);
        // The ruler's ends where they are shown, its 100 natural pixels taken as 0.5 m.
        Form1->popUpMnuModeEtalonnerClick();
        Form1->rbEtalonSimu->setChecked(true);
        auto regle = [f](QPoint p) {
            return QPoint(int(std::lround(affiche(p.x(), f))), int(std::lround(affiche(p.y(), f))));
        };
        clic(regle(v.regle1));
        Form1->chkBoxPt2->setChecked(true);
        clic(regle(v.regle2));
        QFocusEvent entree(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &entree);
        Form1->edSi->setText(QStringLiteral("0.5"));
        QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Form1->edSi, &sortie);
        const double metresParPixel = 0.5 / (v.regle2.x() - v.regle1.x());

        // The Origin on the disc of frame 1, then the disc pointed on every frame.
        Form1->rbChxOrig->setChecked(true);
        clic(vu.toPoint());
        Form1->popUpMnuModeAcquerirClick();
        pointerImages(nbImages);
        QCOMPARE(imageCourante, nbImages - 1);

        double pire = 0;
        for (int r = 1; r <= nbImages; ++r) {
            const QPointF d = v.centres[r - 1] - v.centres[0];
            const double x = nombre(Form1->StringGrid1->Cells(1, r)) / metresParPixel;
            const double y = nombre(Form1->StringGrid1->Cells(2, r)) / metresParPixel;
            pire = std::max({pire, std::fabs(x - d.x()), std::fabs(y + d.y())});
        }
        // The two clicks behind a value are each within half a shown pixel.
        QVERIFY2(pire < 0.2 + 1.1 / f, qPrintable(QStringLiteral("worst %1 px").arg(pire)));
    }

    // The 100 % item on a clip shown at 50 % with pointings, some in a hidden pair: the
    // question; No keeps everything; Yes restores the natural size and resets the calibration.
    void retourA100()
    {
        ouvrir(QStringLiteral("raw"));
        appliquer(50);
        // Point 2 pointed once, then hidden by a smaller point count.
        Form1->udPointsPlan->cliquer(true);
        QCOMPARE(Form1->udPointNumero->Position(), 2);
        pointerImages(1);
        const QString pixels = Form1->StringGrid0->Cells(3, 1);
        QVERIFY(!pixels.isEmpty());
        Form1->udPointsPlan->cliquer(false);
        QVERIFY(!Form1->tableauOccupe());
        Form1->popUpMnuModeEtalonnerClick();
        Form1->rbChxOrig->setChecked(true);
        Form1->tbXnYN->click();
        QVERIFY(Form1->tbXnYN->isChecked());
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
        QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("50 "));
        QCOMPARE(Form1->StringGrid0->Cells(3, 1), pixels);
        QCOMPARE(largeurAffichee, 80);

        plateforme_.reponses = {Reponse::Oui};
        Form1->mnuIma100Click();
        QCOMPARE(pcAffichage, 100);
        QCOMPARE(facteurAffichage, 1.0L);
        QCOMPARE(Form1->PaintBox1->size(), QSize(largeurReelle, hauteurReelle));
        QCOMPARE(imageCourante, 0);
        QCOMPARE(Form1->lblNoImage2->text(), QStringLiteral("1"));
        for (int c = 1; c <= 8; ++c)
            for (int r = 1; r <= nbImages; ++r)
                QVERIFY(Form1->StringGrid0->Cells(c, r).isEmpty() &&
                        Form1->StringGrid1->Cells(c, r).isEmpty());
        QCOMPARE(QPoint(origineX, origineY), QPoint(0, hauteurReelle - 1));
        QVERIFY(Form1->tbXnYN->isChecked());
        QCOMPARE(int(sensX), -1);
        QCOMPARE(echelleH, 1.0L);
        QCOMPARE(echelleV, 1.0L);
        QCOMPARE(etalonP1, QPoint(1, 1));
        QCOMPARE(etalonP2, QPoint(2, 2));
        QCOMPARE(Form1->indicX1->x(), 4);
        QCOMPARE(Form1->indicX2->x(), 5);
        QCOMPARE(Form1->indicY1->y(), 4);
        QCOMPARE(Form1->indicY2->y(), 5);
        QVERIFY(!Form1->rbEtalonSimu->isChecked());
        // The read-outs show the Scales in force, not the old calibration.
        QCOMPARE(Form1->edSi->text(), QStringLiteral("1.41E+0"));
        QCOMPARE(Form1->edSH->text(), QStringLiteral(" 1.00E+0"));
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->lblSVert->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->lblP1X->text(), QStringLiteral("pX= -1"));
        QCOMPARE(Form1->lblP1Y->text(), QStringLiteral("pY= -%1").arg(hauteurReelle - 2));
        QVERIFY(!Form1->mnuIma100->isEnabled());
        QVERIFY(Form1->mnuImaAdapter->isEnabled());

        // Pair 2 comes back empty.
        Form1->udPointsPlan->cliquer(true);
        QVERIFY(Form1->StringGrid1->Cells(3, 2).isEmpty());
    }

    // OK with the percent unchanged applies nothing; with the fit box ticked it only brings
    // the dragged panel back. Escape after the 100 % item undoes the item.
    void okEtAnnuler()
    {
        ouvrir(QStringLiteral("raw"));
        appliquer(60);
        pointerImages(2);
        Form1->pnl1AVI->move(30, 20);
        repondre(true);
        Form1->bbtnImaClick();
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(30, 20));
        QVERIFY(!Form1->StringGrid0->Cells(1, 1).isEmpty());
        repondre(true, [] {
            tailleImaBox->chkBxAdapter->setChecked(true);
            tailleImaBox->udPc->setPosition(pcAffichage);
        });
        Form1->bbtnImaClick();
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(0, 0));
        QVERIFY(!Form1->StringGrid0->Cells(1, 1).isEmpty());
        QVERIFY(plateforme_.messages.empty());
        QCOMPARE(tailleImaBox->windowTitle(), QStringLiteral("(حجم مقطع الفيديو (حاليا   % 60  "));
        QVERIFY(tailleImaBox->CancelBtn->isDefault());

        repondre(false);
        Form1->mnuIma100Click();
        QCOMPARE(tailleImaBox->udPc->Position(), 60);
        QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("60%"));
        QCOMPARE(pcAffichage, 60);
        QCOMPARE(modaux_, 4);
    }

    // The fit item computes the percent from the clip area, at least 10, and OK applies
    // what the box shows.
    void adapter()
    {
        ouvrir(QStringLiteral("raw"));
        Form1->ScrollBox1->resize(20, 15);
        repondre(true, [] { QCOMPARE(tailleImaBox->pnlPc->text(), QStringLiteral("10%")); });
        Form1->mnuImaAdapterClick();
        QVERIFY(tailleImaBox->chkBxAdapter->isChecked());
        QCOMPARE(pcAffichage, 10);
        QCOMPARE(Form1->PaintBox1->size(), QSize(16, 12));
        QVERIFY(!Form1->mnuImaAdapter->isEnabled());
        Form1->ScrollBox1->resize(169, 300);
        repondre(true);
        Form1->mnuImaAdapterClick();
        QCOMPARE(pcAffichage, 100);
    }

    // Held on an arrow, udPc goes faster at each tick of its timer; the release slows it.
    void acceleration()
    {
        ouvrir(QStringLiteral("raw"));
        repondre(true, [] {
            TtailleImaBox *b = tailleImaBox;
            QVERIFY(b->Timer1->isActive());
            QCOMPARE(b->Timer1->interval(), 1800);
            b->chkBxAdapter->setChecked(true);
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
            QCOMPARE(b->udPc->Position(), 200);
            QCOMPARE(b->pnlPc->text(), QStringLiteral("200%"));
            emit b->udPc->MouseUp();
            QCOMPARE(b->udPc->Increment(), 1);
            b->FormHide();
            QVERIFY(!b->Timer1->isActive());
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
        QCoreApplication::processEvents();
        QScrollBar *h = Form1->ScrollBox1->horizontalScrollBar();
        QScrollBar *v = Form1->ScrollBox1->verticalScrollBar();
        QVERIFY(h->maximum() > 0);
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        appliquer(50);
        QCoreApplication::processEvents();
        QCOMPARE(h->maximum(), 0);
        QCOMPARE(v->maximum(), 0);
        appliquer(200);
        Form1->pnl1AVI->move(120, 90);
        Form1->ajusterFondScrollBox();
        QCoreApplication::processEvents();
        h->setValue(h->maximum());

        ouvrir(QStringLiteral("raw_10"));
        QCoreApplication::processEvents();
        QCOMPARE(Form1->pnl1AVI->pos(), QPoint(0, 0));
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);
        QCOMPARE(h->maximum(), 0);
        QCOMPARE(v->maximum(), 0);
        QCOMPARE(Form1->ScrollBox1Fond->size(), Form1->ScrollBox1->viewport()->size());
    }
};

QTEST_MAIN(TestTailleIma)
#include "test_tailleIma.moc"

// The settings page driven through its controls and handlers: scale modes, length boxes,
// calibration clicks, the origin mode and the axis buttons.
#include "app/Unit1.h"
#include "app/curseurs.h"
#include "calibration/transformation.h"
#include "commun/session.h"
#include "measure/Nbreels.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <cmath>

namespace
{

// "?" "?!" apart: together they would read as a trigraph.
const QString erreur = QStringLiteral("erreur ?"
                                      "?!");

bool proche(long double a, long double b, long double tolerance = 1e-12L)
{
    return std::fabs(a - b) <= tolerance;
}

bool rouge(const QLineEdit *ed)
{
    return ed->palette().color(QPalette::Base) == QColor(255, 0, 0);
}

void envoyerFocus(QLineEdit *ed, QEvent::Type type)
{
    QFocusEvent e(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(ed, &e);
}

// The user enters the box, replaces its text by typing and stays in it.
void taper(QLineEdit *ed, const QString &texte)
{
    envoyerFocus(ed, QEvent::FocusIn);
    ed->selectAll();
    if (texte.isEmpty())
        QTest::keyClick(ed, Qt::Key_Backspace);
    else
        QTest::keyClicks(ed, texte);
}

void quitter(QLineEdit *ed)
{
    envoyerFocus(ed, QEvent::FocusOut);
}

int slotPaintBox()
{
    const QCursor c = Form1->PaintBox1->cursor();
    for (int s : {121, 122, 131, 132, 141, 142, 221, 222, 231, 232, 241,
                  242, 111, 112, 113, 114, 211, 212, 213, 214, 102, 202})
        if (curseurSlot(s) == c) return s;
    return 0;
}

} // namespace

class TestEtalonnage : public QObject
{
    Q_OBJECT

    PlateformeScriptee plateforme_;

    // Both points placed through the simultaneous mode, as a user would.
    void placerPoints(QPoint p1, QPoint p2)
    {
        Form1->rbEtalonSimu->setChecked(true);
        Form1->chkBoxPt1->setChecked(true);
        Form1->clicEtalon(p1.x(), p1.y());
        Form1->chkBoxPt2->setChecked(true);
        Form1->clicEtalon(p2.x(), p2.y());
        QCOMPARE(etalonP1, p1);
        QCOMPARE(etalonP2, p2);
    }

    // Horizontal and vertical calibrations typed separately.
    void calibrerSepares(const QString &longueurH, const QString &longueurV)
    {
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, longueurH);
        quitter(Form1->edSH);
        Form1->rbEtalonVert->setChecked(true);
        taper(Form1->edSV, longueurV);
        quitter(Form1->edSV);
    }

private slots:
    void init()
    {
        debuterSession(plateforme_);
        // The pointing pointer a clip opening leaves on the image.
        Form1->curseurPaintBox(102);
    }

    void cleanup()
    {
        terminerSession();
        definirSeparateurDecimal('.');
    }

    void etatInitial()
    {
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->lblSVert->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->edSH->text(), QStringLiteral(" 1.00E+0"));
        QCOMPARE(Form1->edSV->text(), QStringLiteral(" 1.00E+0"));
        QCOMPARE(Form1->edSi->text(), QStringLiteral(" 1.41E+0"));
        QCOMPARE(Form1->lblXMetres->text(), QStringLiteral("x=  0.00E+0"));
        QCOMPARE(Form1->lblYMetres->text(), QStringLiteral("y=  0.00E+0"));
        QCOMPARE(echelleH, 1.0L);
        QCOMPARE(echelleV, 1.0L);
        QCOMPARE(xMetres(1), 1.0L);
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->edSH, Form1->edSV, Form1->edSi, Form1->chkBoxPtH1, Form1->chkBoxPt2,
                 Form1->rbEtalonHori, Form1->rbChxOrig, Form1->tBarOriAxes, Form1->tbXpYp})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(Form1->tbXpYp->isChecked());
    }

    void reinitialisationApresSaisie()
    {
        // A later reset (a new clip) runs the change handlers with typing enabled.
        placerPoints({10, 20}, {110, 20});
        taper(Form1->edSi, QStringLiteral("3"));
        QVERIFY(proche(echelleH, 0.03L));
        Form1->initEchelle();
        QCOMPARE(echelleH, 1.0L);
        QCOMPARE(echelleV, 1.0L);
        QCOMPARE(etalonP1, QPoint(1, 1));
        QCOMPARE(etalonP2, QPoint(2, 2));
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.00E+0 m / pxl"));
        QCOMPARE(Form1->edSi->text(), QStringLiteral(" 1.41E+0"));
        QCOMPARE(Form1->indicX2->x(), 5);
        QCOMPARE(Form1->indicY1->y(), 4);
    }

    void filtreDeTouches()
    {
        definirSeparateurDecimal(',');
        Form1->rbEtalonHori->setChecked(true);
        QVERIFY(Form1->edSH->isEnabled());
        taper(Form1->edSH, QStringLiteral("1.5ax e-3"));
        QTest::keyClick(Form1->edSH, Qt::Key_Return);
        QCOMPARE(Form1->edSH->text(), QStringLiteral("1,5E-3"));
        QCOMPARE(plateforme_.bips, 0);
        // Read back through the comma retry: 1.5 mm over the one pixel between the points.
        QVERIFY(proche(echelleH, 0.0015L));
        QVERIFY(!rouge(Form1->edSH));
        QTest::keyClick(Form1->edSH, Qt::Key_Backspace);
        QCOMPARE(Form1->edSH->text(), QStringLiteral("1,5E-"));
        QVERIFY(rouge(Form1->edSH));
    }

    void entreeRefusee_data()
    {
        QTest::addColumn<QString>("entree");
        QTest::newRow("zero") << "0";
        QTest::newRow("empty") << "";
        QTest::newRow("minus") << "-";
    }

    void entreeRefusee()
    {
        QFETCH(QString, entree);
        placerPoints({100, 40}, {300, 40});
        Form1->rbEtalonHori->setChecked(true);
        const QString sauve = Form1->edSH->text();
        const long double avant = echelleH;
        taper(Form1->edSH, entree);
        QVERIFY(rouge(Form1->edSH));
        QCOMPARE(Form1->lblSHori->text(), erreur);
        QCOMPARE(echelleH, avant);
        quitter(Form1->edSH);
        QCOMPARE(Form1->edSH->text(), sauve);
        QVERIFY(!rouge(Form1->edSH));
        QVERIFY(proche(echelleH, lireReel(sauve, '.').value() / 200));
        QCOMPARE(plateforme_.messages.size(), size_t(0));

        // The simultaneous box: both labels, and its own saved text.
        Form1->rbEtalonSimu->setChecked(true);
        const QString sauveSi = Form1->edSi->text();
        taper(Form1->edSi, entree);
        QCOMPARE(Form1->lblSHori->text(), erreur);
        QCOMPARE(Form1->lblSVert->text(), erreur);
        quitter(Form1->edSi);
        QCOMPARE(Form1->edSi->text(), sauveSi);
        QVERIFY(proche(echelleV, lireReel(sauveSi, '.').value() / 200));
    }

    void sauveeApresUnAutreMode()
    {
        // After the equal-scales mode moved the points, entering the horizontal mode shows
        // the length the current Scale gives; an invalid entry must come back to that, not
        // to the older text the box held before.
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, QStringLiteral("7"));
        quitter(Form1->edSH);
        placerPoints({0, 0}, {100, 0});
        const long double commune = echelleH;
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, QStringLiteral("-"));
        quitter(Form1->edSH);
        QVERIFY(proche(echelleH, commune, 1e-4L));
    }

    void longueurNegative()
    {
        placerPoints({100, 40}, {300, 40});
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, QStringLiteral("-0.5"));
        QVERIFY(proche(echelleH, -0.0025L));
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral("-2.50E-3 m / pxl"));
        quitter(Form1->edSH);
        QCOMPARE(Form1->edSH->text(), QStringLiteral(" 5.00E-1"));
        QVERIFY(proche(echelleH, 0.0025L));
    }

    void horizontal2mSur200px()
    {
        placerPoints({100, 40}, {300, 40});
        const long double vertical = echelleV;
        Form1->rbEtalonHori->setChecked(true);
        QVERIFY(Form1->indicX1->isVisibleTo(Form1->pnl1AVI));
        taper(Form1->edSH, QStringLiteral("2"));
        quitter(Form1->edSH);
        QVERIFY(proche(echelleH, 0.01L));
        QCOMPARE(echelleV, vertical);
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.00E-2 m / pxl"));
        QCOMPARE(Form1->edSH->text(), QStringLiteral(" 2.00E+0"));
        QVERIFY(echelleModifiee);

        // Same y: the vertical box waits for a click that separates them.
        Form1->rbEtalonVert->setChecked(true);
        QVERIFY(!Form1->rbEtalonHori->isChecked());
        QVERIFY(!Form1->edSV->isEnabled());
        QVERIFY(!Form1->chkBoxPtH1->isEnabled());
        QVERIFY(Form1->chkBoxPtV1->isChecked());
        Form1->clicEtalon(500, 140);
        QCOMPARE(etalonP1, QPoint(100, 140));
        QVERIFY(Form1->edSV->isEnabled());
        QVERIFY(proche(echelleH, 0.01L));
        QCOMPARE(Form1->indicY1->y(), 143);
        QVERIFY(!Form1->indicX1->isVisibleTo(Form1->pnl1AVI));
    }

    void simultane1mSur3040()
    {
        // Length first, points afterwards: each click recomputes from the length.
        Form1->rbEtalonSimu->setChecked(true);
        taper(Form1->edSi, QStringLiteral("1"));
        quitter(Form1->edSi);
        Form1->clicEtalon(0, 0);
        Form1->chkBoxPt2->setChecked(true);
        echelleModifiee = false;
        Form1->clicEtalon(30, 40);
        QVERIFY(proche(echelleH, 0.02L));
        QVERIFY(proche(echelleV, 0.02L));
        QCOMPARE(Form1->lblSVert->text(), QStringLiteral(" 2.00E-2 m / pxl"));
        QCOMPARE(Form1->edSi->text(), QStringLiteral(" 1.00E+0"));
        QVERIFY(!echelleModifiee); // clicks do not count as a new typed Scale
        QCOMPARE(Form1->lblP2X->text(), QStringLiteral("pX= 30"));
        QCOMPARE(Form1->indicX2->x(), 33);
        QCOMPARE(Form1->indicY2->y(), 43);
    }

    void simultaneApresSepares()
    {
        placerPoints({0, 0}, {300, 400});
        calibrerSepares(QStringLiteral("3"), QStringLiteral("8"));
        QVERIFY(proche(echelleH, 0.01L));
        QVERIFY(proche(echelleV, 0.02L));
        Form1->rbEtalonSimu->setChecked(true);
        QCOMPARE(Form1->edSi->text(), QStringLiteral(" 8.54E+0"));
        QVERIFY(proche(echelleH, 0.0171L, 1e-4L));
        QCOMPARE(echelleH, echelleV);
        QCOMPARE(Form1->lblSHori->text(), QStringLiteral(" 1.71E-2 m / pxl"));
        QCOMPARE(Form1->lblSVert->text(), QStringLiteral(" 1.71E-2 m / pxl"));
    }

    void pointsConfondus()
    {
        placerPoints({100, 40}, {300, 80});
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, QStringLiteral("2"));
        quitter(Form1->edSH);
        Form1->clicEtalon(300, 10); // point 1 onto point 2's column
        QCOMPARE(plateforme_.messages.size(), size_t(1));
        QCOMPARE(plateforme_.messages[0].type, TypeMessage::Erreur);
        QCOMPARE(plateforme_.messages[0].boutons, Boutons::Ok);
        QCOMPARE(plateforme_.messages[0].texte,
                 QStringLiteral("Les points 1 et 2 ont même abscisse !\r\rLa sensibilité "
                                "horizontale précédente\rva être rétablie..."));
        QCOMPARE(etalonP1, QPoint(100, 40));
        QVERIFY(proche(echelleH, 0.01L));
        QCOMPARE(Form1->lblP1X->text(), QStringLiteral("pX= 100"));

        Form1->rbEtalonVert->setChecked(true);
        Form1->chkBoxPtV2->setChecked(true);
        Form1->clicEtalon(0, 40);
        QCOMPARE(plateforme_.messages.back().texte,
                 QStringLiteral("Les points 1 et 2 ont même ordonnée !\r\rLa sensibilité "
                                "verticale précédente\rva être rétablie..."));
        QCOMPARE(etalonP2, QPoint(300, 80));

        Form1->rbEtalonSimu->setChecked(true);
        const long double commune = echelleH;
        QVERIFY(commune > 0);
        Form1->clicEtalon(300, 80);
        QCOMPARE(plateforme_.messages.back().texte,
                 QStringLiteral("Les points 1 et 2 sont identiques !\r\rLes sensibilités "
                                "précédentes\rvont être rétablies..."));
        QCOMPARE(etalonP1, QPoint(100, 40));
        // Recomputed from the rounded length in the box: the same Scale to its digits.
        QVERIFY(std::fabs(echelleH / commune - 1) < 0.01L);
        QCOMPARE(plateforme_.messages.size(), size_t(3));
    }

    void clicAvecLongueurIllisible()
    {
        placerPoints({100, 40}, {300, 40});
        Form1->rbEtalonHori->setChecked(true);
        taper(Form1->edSH, QStringLiteral("2"));
        Form1->chkBoxPtH2->setChecked(true);
        taper(Form1->edSH, QStringLiteral("-"));
        Form1->clicEtalon(400, 0);
        // The point, its label and tick follow; the Scale stays; the conversion error shows.
        QCOMPARE(etalonP2.x(), 400);
        QCOMPARE(Form1->lblP2X->text(), QStringLiteral("pX= 400"));
        QCOMPARE(Form1->indicX2->x(), 403);
        QVERIFY(proche(echelleH, 0.01L));
        QCOMPARE(plateforme_.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(plateforme_.messages.back().texte.contains(QStringLiteral("'-'")));
        // A readable but refused "0" gives 0 until the box is left.
        taper(Form1->edSH, QStringLiteral("0"));
        Form1->clicEtalon(500, 0);
        QCOMPARE(echelleH, 0.0L);
        quitter(Form1->edSH);
        QVERIFY(echelleH > 0);
    }

    void casesDePoints()
    {
        Form1->rbEtalonHori->setChecked(true);
        QVERIFY(Form1->chkBoxPtH1->isChecked());
        QVERIFY(!Form1->chkBoxPtH2->isChecked());
        QCOMPARE(slotPaintBox(), 121);
        QTest::mouseClick(Form1->chkBoxPtH2, Qt::LeftButton);
        QVERIFY(!Form1->chkBoxPtH1->isChecked());
        QCOMPARE(slotPaintBox(), 122);
        QTest::mouseClick(Form1->chkBoxPtH2, Qt::LeftButton); // unchecking hands over
        QVERIFY(Form1->chkBoxPtH1->isChecked());
        QCOMPARE(slotPaintBox(), 121);

        Form1->curseurPaintBox(202); // white pointers
        Form1->rbEtalonSimu->setChecked(true);
        QCOMPARE(slotPaintBox(), 241);
        Form1->chkBoxPt1->setChecked(false);
        QCOMPARE(slotPaintBox(), 242);
    }

    void orientations()
    {
        couleurCurseur = 1;
        Form1->rbChxOrig->setChecked(true);
        QVERIFY(Form1->tBarOriAxes->isEnabled());
        QVERIFY(Form1->tbXnYN->isEnabled());
        QCOMPARE(slotPaintBox(), 111);
        QCOMPARE(plateforme_.bips, 0);

        struct Cas {
            QToolButton *bouton;
            int sx, sy, slot, bips;
        };
        const Cas cas[] = {{Form1->tbXpYn, 1, -1, 113, 1},
                           {Form1->tbXnYN, -1, -1, 114, 1},
                           {Form1->tbXnYp, -1, 1, 112, 1},
                           {Form1->tbXpYp, 1, 1, 111, 1}};
        for (const Cas &c : cas) {
            QTest::mouseClick(c.bouton, Qt::LeftButton);
            QCOMPARE(int(sensX), c.sx);
            QCOMPARE(int(sensY), c.sy);
            QCOMPARE(slotPaintBox(), c.slot);
            QCOMPARE(plateforme_.bips, c.bips);
            QVERIFY(c.bouton->isChecked());
        }

        // Entering the origin mode with x right and y down beeps too; white pointer.
        QTest::mouseClick(Form1->tbXpYn, Qt::LeftButton);
        Form1->rbEtalonHori->setChecked(true);
        QVERIFY(!Form1->tBarOriAxes->isEnabled());
        QVERIFY(!Form1->tbXpYn->isEnabled());
        couleurCurseur = 2;
        Form1->rbChxOrig->setChecked(true);
        QCOMPARE(plateforme_.bips, 3);
        QCOMPARE(slotPaintBox(), 213);
        QCOMPARE(int(sensY), -1); // leaving the mode kept the orientation
    }

    void etiquettesSuiventLOrigine()
    {
        placerPoints({100, 40}, {300, 80});
        Form1->rbChxOrig->setChecked(true);
        Form1->clicOrigine(100, 40);
        QCOMPARE(origineX, 100);
        QCOMPARE(origineY, 40);
        QCOMPARE(Form1->lblP1X->text(), QStringLiteral("pX= 0"));
        QCOMPARE(Form1->lblP1Y->text(), QStringLiteral("pY= 0"));
        QCOMPARE(Form1->lblP2X->text(), QStringLiteral("pX= 200"));
        QCOMPARE(Form1->lblP2Y->text(), QStringLiteral("pY= -40"));
        QTest::mouseClick(Form1->tbXnYN, Qt::LeftButton);
        QCOMPARE(Form1->lblP2X->text(), QStringLiteral("pX= -200"));
        QCOMPARE(Form1->lblP2Y->text(), QStringLiteral("pY= 40"));
    }

    void chiffresSansRecalcul()
    {
        // A change of the coordinate digits outside the equal-scales mode rewrites edSi
        // only: the separate calibrations stay.
        placerPoints({0, 0}, {300, 400});
        calibrerSepares(QStringLiteral("3"), QStringLiteral("8"));
        Form1->popUpMnuModeAcquerirClick();
        const QString avant = Form1->edSi->text();
        chiffresXY = 5;
        Form1->reecrireEdSi();
        QCOMPARE(Form1->edSi->text().size(), avant.size() + 2);
        QVERIFY(proche(lireReel(Form1->edSi->text(), '.').value(), lireReel(avant, '.').value()));
        QVERIFY(proche(echelleH, 0.01L));
        QVERIFY(proche(echelleV, 0.02L));

        // Not a number: reported, the text stays.
        Form1->edSi->setText(QStringLiteral("x"));
        plateforme_.messages.clear();
        Form1->reecrireEdSi();
        QCOMPARE(Form1->edSi->text(), QStringLiteral("x"));
        QCOMPARE(plateforme_.nombreMessages(TypeMessage::Erreur), 1);
    }

    void pageDesMesuresDecoche()
    {
        Form1->rbEtalonSimu->setChecked(true);
        QVERIFY(!Form1->rbChxOrig->isChecked());
        Form1->rbChxOrig->setChecked(true);
        QVERIFY(!Form1->rbEtalonSimu->isChecked());
        Form1->popUpMnuModeAcquerirClick();
        for (QRadioButton *rb :
             {Form1->rbEtalonHori, Form1->rbEtalonVert, Form1->rbEtalonSimu, Form1->rbChxOrig})
            QVERIFY2(!rb->isChecked(), qPrintable(rb->objectName()));
        QVERIFY(!Form1->tBarOriAxes->isEnabled());
        QVERIFY(!Form1->edSi->isEnabled());
        // The same mode can be chosen again afterwards.
        Form1->rbChxOrig->setChecked(true);
        QVERIFY(Form1->tBarOriAxes->isEnabled());
    }
};

QTEST_MAIN(TestEtalonnage)
#include "tst_etalonnage.moc"

// The Measurement table in the main window: clearing, time origin, point count, decimals,
// appearance commands. Runs on a 10-frame test clip (25 frames/s).
#include "app/Unit1.h"
#include "app/curseurs.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/Unit3.h"
#include "measure/aspectPts.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

QString question(const QString &premiere, int blancs)
{
    return premiere + QChar(13) + QString(blancs, QLatin1Char(' ')) + QChar(13) + QChar(13) +
           QStringLiteral("هل أنت متأكد من هذا الطلب ؟   ");
}

QStringList contenu(TStringGrid *g, int colonnes, int lignes)
{
    QStringList l;
    for (int r = 0; r < lignes; ++r)
        for (int c = 0; c < colonnes; ++c)
            l << g->Cells(c, r);
    return l;
}

} // namespace

class TestTableau : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;

    void ouvrir()
    {
        plateformeTest.fichiersOuverts.push_back({clip("raw_10.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
    }

    // Two points per frame, point p at pixel (10p + r, 5p + r) on every frame r.
    void remplirDeuxPoints()
    {
        Form1->udPointsPlan->cliquer(true);
        QCOMPARE(Form1->StringGrid0->ColCount(), 5);
        for (int r = 1; r <= 10; ++r)
            for (int p = 1; p <= 2; ++p) {
                Form1->StringGrid0->setCells(2 * p - 1, r, QString::number(10 * p + r));
                Form1->StringGrid0->setCells(2 * p, r, QString::number(5 * p + r));
            }
        Form1->ActualGrid();
    }

    void reponseAuxQuestions(Reponse r)
    {
        plateformeTest.reponses = {r};
        plateformeTest.messages.clear();
    }

private slots:
    void init()
    {
        debuterSession(plateformeTest);
        ouvrir();
    }
    void cleanup() { terminerSession(); }

    void avantToutClip()
    {
        detruireFenetres();
        creerFenetres();
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->StringGrid1, Form1->udFmt_t, Form1->udFmt_xy, Form1->udt0, Form1->lblt0,
                 Form1->Button0, Form1->Button1, Form1->Button2, Form1->udPointsPlan,
                 Form1->udPointNumero, Form1->chkBoxPtDed, Form1->chkBoxAxDed, Form1->chkBoxAutoH,
                 Form1->chkBoxAutoV, Form1->bbtnCouleurPoint, Form1->bbtnCouleurAxes})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(!Form1->tableauOccupe());
        // Moves and releases on the image do nothing without a clip.
        emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, 1, 1);
        emit Form1->PaintBox1->MouseMove({}, 1, 1);
        QCOMPARE(Form1->StringGrid0->Cells(1, 1), QString());
        QCOMPARE(Form1->lblXPixels->text(), QStringLiteral("pX= 0"));
    }

    void miseEnPlace()
    {
        TStringGrid *g0 = Form1->StringGrid0, *g1 = Form1->StringGrid1;
        QCOMPARE(contenu(g0, 3, 3), (QStringList{"t", "x", "y", "0", "", "", "1", "", ""}));
        QCOMPARE(contenu(g1, 3, 2), (QStringList{"t(s)", "x(m)", "y(m)", "0.000", "", ""}));
        QCOMPARE(g1->Cells(0, 10), QStringLiteral("0.360"));
        QCOMPARE(g1->ColWidths(1), g1->TextWidth(QStringLiteral(" 0.000E+0")));
        QCOMPARE(g1->ColWidths(0), g1->TextWidth(QStringLiteral("0.4000")));
        QCOMPARE(contenu(Form1->StringGrid2, 2, 3),
                 (QStringList{"16777215", "16777215", "1", "1", "1", "0"}));
        QCOMPARE(Form1->udt0->Max(), 10);
        QVERIFY(!Form1->chkBoxAutoH->isEnabled());
        QVERIFY(!Form1->udPointNumero->isEnabled());
        QVERIFY(Form1->CurExec->isEnabled() && Form1->bbtnImprimer->isEnabled());
        QVERIFY(!Form1->tableauOccupe());
    }

    void effacement_data()
    {
        QTest::addColumn<int>("bouton");
        QTest::addColumn<bool>("oui");
        for (int b = 0; b < 3; ++b) {
            QTest::addRow("Button%d oui", b) << b << true;
            QTest::addRow("Button%d non", b) << b << false;
        }
    }
    void effacement()
    {
        QFETCH(int, bouton);
        QFETCH(bool, oui);
        remplirDeuxPoints();
        // Current cell: y of point 2 on row 9.
        Form1->StringGrid1->setRow(9);
        Form1->StringGrid1->setCol(4);
        QCOMPARE(imageCourante, 8);
        QCOMPARE(Form1->StringGrid0->Col(), 4);
        const QStringList avant0 = contenu(Form1->StringGrid0, 5, 11);
        const QStringList avant1 = contenu(Form1->StringGrid1, 5, 11);

        reponseAuxQuestions(oui ? Reponse::Oui : Reponse::Non);
        QToolButton *b[] = {Form1->Button0, Form1->Button1, Form1->Button2};
        b[bouton]->click();

        const QString textes[] = {question(QStringLiteral("أنت تطلب مسح عمود من الجدول   "), 15),
                                  question(QStringLiteral("أنت تطلب مسح سطر من الجدول    "), 13),
                                  question(QStringLiteral("أنت تطلب مسح كامل الجدول      "), 12)};
        QCOMPARE(plateformeTest.messages.size(), std::size_t(1));
        QCOMPARE(plateformeTest.messages[0].type, TypeMessage::Confirmation);
        QCOMPARE(plateformeTest.messages[0].boutons, Boutons::OuiNon);
        QCOMPARE(plateformeTest.messages[0].texte, textes[bouton]);
        if (!oui) {
            QCOMPARE(contenu(Form1->StringGrid0, 5, 11), avant0);
            QCOMPARE(contenu(Form1->StringGrid1, 5, 11), avant1);
            QCOMPARE(Form1->StringGrid1->Col(), 4);
            QCOMPARE(Form1->StringGrid1->Row(), 9);
            return;
        }
        auto efface = [bouton](int c, int r) {
            if (c == 0 || r == 0) return false;
            return bouton == 2 || (bouton == 0 && c >= 3) || (bouton == 1 && r == 9);
        };
        for (int r = 0; r <= 10; ++r)
            for (int c = 0; c <= 4; ++c) {
                const int i = r * 5 + c;
                QCOMPARE(Form1->StringGrid0->Cells(c, r), efface(c, r) ? QString() : avant0[i]);
                QCOMPARE(Form1->StringGrid1->Cells(c, r), efface(c, r) ? QString() : avant1[i]);
            }
        const int col[] = {3, 1, 1}, row[] = {1, 9, 1}, image[] = {0, 8, 0}, point[] = {2, 1, 1};
        for (TStringGrid *g : {Form1->StringGrid0, Form1->StringGrid1}) {
            QCOMPARE(g->Col(), col[bouton]);
            QCOMPARE(g->Row(), row[bouton]);
        }
        QCOMPARE(imageCourante, image[bouton]);
        QCOMPARE(Form1->udPointNumero->Position(), point[bouton]);
        QVERIFY(!effacerSansDemande);
    }

    void echapEffaceLaLigne()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        reponseAuxQuestions(Reponse::Non);
        QTest::keyClick(Form1, Qt::Key_Escape);
        QCOMPARE(plateformeTest.messages.size(), std::size_t(1));
        QCOMPARE(plateformeTest.messages[0].texte,
                 question(QStringLiteral("أنت تطلب مسح سطر من الجدول    "), 13));
        // Not from the other pages.
        Form1->popUpMnuModeEtalonnerClick();
        QTest::keyClick(Form1, Qt::Key_Escape);
        QCOMPARE(plateformeTest.messages.size(), std::size_t(1));
    }

    void origineDesTemps()
    {
        remplirDeuxPoints();
        const QStringList xy = contenu(Form1->StringGrid1, 5, 11);
        Form1->udt0MouseDown();
        QVERIFY(Form1->Timer2->isActive());
        // The held arrow repeats its press; the half-second count goes on.
        QTest::qWait(150);
        Form1->udt0MouseDown();
        QVERIFY(Form1->Timer2->remainingTime() <= 400);
        Form1->Timer2Timer();
        Form1->Timer2Timer();
        QCOMPARE(Form1->udt0->Increment(), 4);
        Form1->udt0->setIncrement(1);
        Form1->udt0->cliquer(true);
        Form1->udt0->cliquer(true);
        QCOMPARE(Form1->lblt0->text(), QStringLiteral("3"));
        // Nothing moves while the arrow is held.
        QCOMPARE(Form1->StringGrid1->Cells(0, 1), QStringLiteral("0.000"));
        Form1->Timer2Timer();
        Form1->udt0MouseUp();
        QVERIFY(!Form1->Timer2->isActive());
        QCOMPARE(Form1->udt0->Increment(), 1);

        const QString g0[] = {"", "", "0", "1", "2"};
        const QString g1[] = {"", "", "0.000", "0.040", "0.080"};
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(Form1->StringGrid0->Cells(0, r), g0[r - 1]);
            QCOMPARE(Form1->StringGrid1->Cells(0, r), g1[r - 1]);
        }
        QCOMPARE(Form1->StringGrid1->Cells(0, 10), QStringLiteral("0.280"));
        for (int r = 1; r <= 10; ++r)
            for (int c = 1; c <= 4; ++c)
                QCOMPARE(Form1->StringGrid1->Cells(c, r), xy[r * 5 + c]);
        // A recomputation keeps the rows before the origin without a time.
        Form1->ActualGrid();
        QCOMPARE(Form1->StringGrid1->Cells(0, 2), QString());
        QCOMPARE(Form1->StringGrid1->Cells(0, 4), QStringLiteral("0.040"));

        // The time cells before the origin are painted grey, the others pale yellow.
        Form1->StringGrid1->resize(400, 300);
        const QImage image = Form1->StringGrid1->viewport()->grab().toImage();
        auto fond = [&](int r) {
            const QRect rect = Form1->StringGrid1->CellRect(0, r);
            return QColor(image.pixel(rect.left() + 1, rect.top() + 1));
        };
        QCOMPARE(fond(1), QColor(192, 192, 192));
        QCOMPARE(fond(2), QColor(192, 192, 192));
        QCOMPARE(fond(3), QColor(255, 255, 225));

        // The marker of the frame counter.
        Form1->bbtnFin->click();
        QCOMPARE(Form1->lblNoImage5->text(), QString());
        Form1->StringGrid1->setRow(3);
        QCOMPARE(Form1->lblNoImage5->text(), QStringLiteral("   ( t= 0 )"));
    }

    void origineDesTempsSuitLesFleches()
    {
        // The arrows and keys used as a user does: after each release the time column starts
        // on the frame the label shows.
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        TUpDown *ud = Form1->udt0;
        auto verifier = [&](int T) {
            QCOMPARE(ud->Position(), T);
            QCOMPARE(Form1->lblt0->text(), QString::number(T));
            QCOMPARE(Form1->StringGrid1->Cells(0, T), QStringLiteral("0.000"));
            QCOMPARE(Form1->StringGrid1->Cells(0, T - 1),
                     T > 1 ? QString() : QStringLiteral("t(s)"));
        };
        struct Pas {
            bool haut, clavier;
            int attendu;
        };
        for (const Pas &pas : {Pas{true, false, 2}, Pas{true, false, 3}, Pas{false, false, 2},
                               Pas{true, true, 3}, Pas{false, true, 2}, Pas{false, false, 1}}) {
            if (pas.clavier) {
                ud->setFocus();
                QTest::keyClick(ud, pas.haut ? Qt::Key_Up : Qt::Key_Down);
            } else {
                QTest::mouseClick(pas.haut ? ud->flecheHaut() : ud->flecheBas(), Qt::LeftButton);
            }
            verifier(pas.attendu);
        }
        // Held down, the arrow steps while it is held and not once more when released.
        QTest::mousePress(ud->flecheHaut(), Qt::LeftButton);
        QTest::qWait(650);
        const int tenu = ud->Position();
        QVERIFY(tenu > 2);
        QTest::mouseRelease(ud->flecheHaut(), Qt::LeftButton);
        verifier(tenu);
        QVERIFY(!Form1->Timer2->isActive());
    }

    void tabulation()
    {
        // Tab goes through every control of the window and of the measuring page, each
        // up-down being one stop.
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        Form1->bbtnOpenAvi->setFocus();
        QSet<QWidget *> atteints;
        for (int i = 0; i < 200 && QApplication::focusWidget(); ++i) {
            atteints.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->bbtnOpenAvi, Form1->bbtnCible, Form1->udTaillePoints, Form1->BitBtn1,
                 Form1->bbtnQuitter, Form1->bbtnPlay, Form1->bbtnSui, Form1->udFmt_t,
                 Form1->udFmt_xy, Form1->StringGrid1, Form1->udt0, Form1->Button0, Form1->Button2,
                 Form1->udPointsPlan, Form1->chkBoxPtDed, Form1->bbtnCouleurPoint,
                 Form1->chkBoxAxDed, Form1->bbtnCouleurAxes, Form1->chkBoxAutoV})
            QVERIFY2(atteints.contains(w), qPrintable(w->objectName()));
        for (QWidget *w : atteints)
            QVERIFY2(!w->parentWidget() || !qobject_cast<TUpDown *>(w->parentWidget()),
                     "an arrow of an up-down");
    }

    void nombreDePointsGardeLesColonnes()
    {
        remplirDeuxPoints();
        QCOMPARE(Form1->StringGrid1->Col(), 3);
        QCOMPARE(Form1->lblPointNumero->text(), QStringLiteral("2"));
        QVERIFY(Form1->chkBoxAutoH->isEnabled());
        QCOMPARE(Form1->StringGrid1->Cells(3, 0), QStringLiteral("x2(m)"));
        QCOMPARE(Form1->StringGrid0->Cells(4, 0), QStringLiteral("y2"));
        const QString x2 = Form1->StringGrid1->Cells(3, 4);
        QVERIFY(!x2.isEmpty());

        // Only point 2 pointed: the table is busy with two points, empty with one.
        Form1->StringGrid1->setCol(1);
        plateformeTest.reponses = {Reponse::Oui};
        Form1->Button0Click();
        QVERIFY(Form1->tableauOccupe());

        Form1->udPointsPlan->cliquer(false);
        QCOMPARE(Form1->StringGrid0->ColCount(), 3);
        QCOMPARE(Form1->StringGrid1->ColCount(), 3);
        QCOMPARE(Form1->StringGrid2->ColCount(), 2);
        QCOMPARE(Form1->StringGrid1->Cells(1, 0), QStringLiteral("x(m)"));
        QVERIFY(!Form1->chkBoxAutoH->isEnabled());
        QVERIFY(!Form1->tableauOccupe());
        QCOMPARE(Form1->StringGrid1->Cells(3, 4), x2);

        Form1->udPointsPlan->cliquer(true);
        QCOMPARE(Form1->StringGrid1->Cells(3, 4), x2);
        QCOMPARE(Form1->StringGrid1->Cells(3, 0), QStringLiteral("x2(m)"));
        QVERIFY(Form1->tableauOccupe());
    }

    void nouveauPointEnBlanc()
    {
        Form1->udPointsPlan->cliquer(true);
        QCOMPARE(Form1->StringGrid2->Cells(2, 0), QStringLiteral("16777215"));
        QCOMPARE(Form1->StringGrid2->Cells(2, 1), QStringLiteral("1"));
        QCOMPARE(Form1->StringGrid2->Cells(2, 2), QStringLiteral("0"));
        QCOMPARE(Form1->udPointNumero->Position(), 2);
        QVERIFY(Form1->udPointNumero->isEnabled());
        QCOMPARE(Form1->lblPointNumero->palette().color(QPalette::WindowText), QColor(Qt::white));
    }

    void configurationRapide()
    {
        Form1->mnuFondSombreItems[2]->trigger();
        QCOMPARE(contenu(Form1->StringGrid2, 4, 1),
                 (QStringList{"16777215", "65535", "16776960", "65280"}));
        QCOMPARE(Form1->StringGrid1->ColCount(), 7);
        QCOMPARE(Form1->udPointsPlan->Position(), 3);
        QCOMPARE(Form1->udPointNumero->Position(), 3);
        QCOMPARE(Form1->udPointNumero->Max(), 3);
        QCOMPARE(Form1->StringGrid1->Col(), 5);
        QCOMPARE(Form1->lblPointNumero->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        Form1->mnuFondclairItems[0]->trigger();
        QCOMPARE(Form1->StringGrid2->Cells(1, 0), QStringLiteral("255"));
        QCOMPARE(Form1->StringGrid1->ColCount(), 3);
        QVERIFY(!Form1->udPointNumero->isEnabled());
    }

    void decimales()
    {
        // 10 pixels right of the Origin, 0.01 m per pixel.
        echelleH = 0.01L;
        Form1->StringGrid0->setCells(1, 2, QString::number(origineX + 10));
        Form1->StringGrid0->setCells(2, 2, QString::number(origineY));
        Form1->ActualGrid();
        QCOMPARE(Form1->StringGrid1->Cells(1, 2), QStringLiteral(" 1.00E-1"));
        QCOMPARE(Form1->StringGrid1->Cells(2, 2), QStringLiteral(" 0.00E+0"));

        Form1->udFmt_xy->cliquer(false);
        Form1->udFmt_xy->cliquer(false);
        QCOMPARE(chiffresXY, 1);
        QCOMPARE(Form1->StringGrid1->Cells(1, 2), QStringLiteral(" 1E-1"));
        QCOMPARE(Form1->StringGrid1->ColWidths(2), Form1->StringGrid1->TextWidth(" 0.0E+0"));
        for (int i = 0; i < 4; ++i)
            Form1->udFmt_xy->cliquer(true);
        QCOMPARE(chiffresXY, 5);
        QCOMPARE(Form1->StringGrid1->Cells(1, 2), QStringLiteral(" 1.0000E-1"));
        QCOMPARE(Form1->StringGrid1->ColWidths(1), Form1->StringGrid1->TextWidth(" 0.00000E+0"));

        for (int i = 0; i < 3; ++i)
            Form1->udFmt_t->cliquer(false);
        QCOMPARE(formatTemps, QStringLiteral("0"));
        QCOMPARE(Form1->StringGrid1->Cells(0, 2), QStringLiteral("0"));
        QCOMPARE(Form1->StringGrid1->ColWidths(0), Form1->StringGrid1->TextWidth("00"));
        for (int i = 0; i < 6; ++i)
            Form1->udFmt_t->cliquer(true);
        QCOMPARE(Form1->StringGrid1->Cells(0, 2), QStringLiteral("0.040000"));
        QCOMPARE(Form1->StringGrid1->ColWidths(0), Form1->StringGrid1->TextWidth("0.3600000"));
    }

    void aspectDesAxesEtDesPoints()
    {
        // Axes: accepted colour stored as a plain RGB value; cancelled keeps it.
        plateformeTest.couleurs = {QColor(0, 0, 255), std::nullopt};
        Form1->bbtnCouleurAxes->click();
        QCOMPARE(Form1->StringGrid2->Cells(0, 0), QStringLiteral("16711680"));
        Form1->bbtnCouleurAxes->click();
        QCOMPARE(Form1->StringGrid2->Cells(0, 0), QStringLiteral("16711680"));

        // Per-point dialog: a colour chosen, then a second choice cancelled, drops both.
        TaspectPointBox *d = aspectPointBox;
        plateformeTest.couleurs = {QColor(255, 0, 0), std::nullopt, QColor(0, 128, 0)};
        plateformeTest.surModal = [d](QDialog *) {
            d->SpeedButton1->click();
            d->SpeedButton1->click();
            d->ptForme->setItemIndex(2);
            d->OKBtn->click();
            return int(QDialog::Accepted);
        };
        Form1->bbtnCouleurPoint->click();
        QCOMPARE(Form1->StringGrid2->Cells(1, 0), QStringLiteral("16777215"));
        QCOMPARE(Form1->StringGrid2->Cells(1, 2), QStringLiteral("2"));
        plateformeTest.surModal = [d](QDialog *) {
            d->SpeedButton1->click();
            d->OKBtn->click();
            return int(QDialog::Accepted);
        };
        Form1->bbtnCouleurPoint->click();
        QCOMPARE(Form1->StringGrid2->Cells(1, 0), QStringLiteral("32768"));
        QCOMPARE(Form1->lblPointNumero->palette().color(QPalette::WindowText), QColor(0, 128, 0));
        // Cancel changes nothing.
        plateformeTest.couleurs = {QColor(1, 2, 3)};
        plateformeTest.surModal = [d](QDialog *) {
            d->SpeedButton1->click();
            d->ptForme->setItemIndex(0);
            d->CancelBtn->click();
            return int(QDialog::Rejected);
        };
        Form1->bbtnCouleurPoint->click();
        QCOMPARE(Form1->StringGrid2->Cells(1, 0), QStringLiteral("32768"));
        QCOMPARE(Form1->StringGrid2->Cells(1, 2), QStringLiteral("2"));
    }

    void pointeur()
    {
        auto cle = [](int slot) { return curseurSlot(slot).pixmap().cacheKey(); };
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(102));
        // A shape chosen then cancelled applies only at the next pointer command.
        TdlgPointeur *d = dlgPointeur;
        plateformeTest.surModal = [d](QDialog *) {
            d->rgPtForme->setItemIndex(2);
            d->CancelBtn->click();
            return int(QDialog::Rejected);
        };
        Form1->bbtnCible->click();
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(102));
        Form1->mnuCouleurBlanc->trigger();
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(203));
        QCOMPARE(couleurCurseur, 2);
        QCOMPARE(formeCurseur, 3);
        QVERIFY(Form1->mnuCroix->isChecked());

        // While calibrating, the colour changes and the shape in use stays.
        Form1->popUpMnuModeEtalonnerClick();
        Form1->curseurPaintBox(121);
        Form1->mnuCouleurNoir->trigger();
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(121));
        Form1->mnuCouleurBlanc->trigger();
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(221));
        Form1->popUpMnuModeAcquerirClick();
        QCOMPARE(Form1->PaintBox1->cursor().pixmap().cacheKey(), cle(203));
    }

    void tailleDesPoints()
    {
        Form1->mnuTaille5->trigger();
        QCOMPARE(taillePoints, 4);
        QCOMPARE(Form1->udTaillePoints->Position(), 4);
        QCOMPARE(Form1->lblTaillePoints->text(), QStringLiteral("5"));
        Form1->udTaillePoints->cliquer(false);
        QCOMPARE(taillePoints, 3);
        QVERIFY(Form1->mnuTaile4->isChecked());
        QCOMPARE(Form1->lblTaillePoints->text(), QStringLiteral("4"));
    }
};

QTEST_MAIN(TestTableau)
#include "tst_tableau.moc"

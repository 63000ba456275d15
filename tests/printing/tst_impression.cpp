// The print dialog on a 160 x 120 test clip at 2 mm per pixel (a 0.32 x 0.24 m scene), with
// a PDF printer on a 20.3 x 28.7 cm page without margins; and one page printed to PDF and
// measured after rasterizing.
#include "app/Unit1.h"
#include "app/etat.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "printing/Imprimer.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

bool rouge(const QLineEdit *ed)
{
    return ed->palette().color(QPalette::Base) == QColor(255, 0, 0) &&
           ed->palette().color(QPalette::Text) == QColor(255, 255, 255);
}

bool vert(const QLineEdit *ed)
{
    return ed->palette().color(QPalette::Base) == QColor(0, 255, 0) &&
           ed->palette().color(QPalette::Text) == QColor(0, 0, 0);
}

} // namespace

class TestImpression : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QTemporaryDir dossier;
    TdlgImprimer *d = nullptr;

    // Shows the dialog through the print command and runs f while it is "open".
    void montrer(std::function<void()> f = {})
    {
        plateformeTest.surModal = [f](QDialog *) {
            if (f) f();
            return int(QDialog::Rejected);
        };
        Form1->bbtnImprimerClick();
    }

private slots:
    void init()
    {
        debuterSession(plateformeTest);
        plateformeTest.fichiersOuverts.push_back({clip("raw_10.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        echelleH = echelleV = 0.002L;
        QVERIFY(echelleModifiee);
        d = dlgImprimer;
        QPrinter *p = d->imprimante();
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(dossier.filePath(QStringLiteral("page.pdf")));
        p->setPageSize(QPageSize(QSizeF(203, 287), QPageSize::Millimeter));
        p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    void cleanup() { terminerSession(); }

    void dialogue()
    {
        // Starting choices: black and white, grey grid, points from t = 0 (offered later).
        QCOMPARE(d->rbCouleur->ItemIndex(), 2);
        QVERIFY(d->chkImpGrille->isChecked() && d->rbGrilleGris->isChecked());
        QVERIFY(d->rbImpPoints1->isChecked() && !d->rbImpPoints1->isEnabled());

        // The proposal for a scene of 0.32 x 0.24 m on 20.3 x 28.7 cm is 0.1 m per cm.
        montrer([this] {
            QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-1"));
            QVERIFY(vert(d->edEch) && d->OKBtn->isEnabled());
            QCOMPARE(d->TrackBar1->value(), 100);
            QCOMPARE(d->lblImageXm->text(), QStringLiteral(" 3.20E-1"));
            QCOMPARE(d->lblImageYm->text(), QStringLiteral(" 2.40E-1"));
            QCOMPARE(d->lblImageimprimeeX->text(), QStringLiteral(" 3.20E+0"));
            QCOMPARE(d->lblImageImprimeeY->text(), QStringLiteral(" 2.40E+0"));
            QCOMPARE(d->lblFormatFeuille->text(), QStringLiteral("20.3x28.7cm"));
            QCOMPARE(d->shpFeuille->size(), QSize(64, 90));
            QCOMPARE(d->shpDessin->size(), QSize(10, 8));
            QCOMPARE(d->shpDessin->Brush(), QColor(255, 255, 0));
            QCOMPARE(d->shpDessin->Mode(), TFormeApercu::ModeStylo::normal);
        });
        QVERIFY(!echelleModifiee);

        // A Scale of zero proposes nothing and keeps the flag for a later showing.
        d->edEch->setText(QStringLiteral("1"));
        echelleH = echelleV = 0;
        echelleModifiee = true;
        montrer([this] { QCOMPARE(d->edEch->text(), QStringLiteral("1")); });
        QVERIFY(echelleModifiee);
    }

    void saisie_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("valide");
        QTest::addColumn<int>("piste");
        QTest::addColumn<QSize>("dessin");
        QTest::addColumn<bool>("tropGrand");
        // 5E-2 first: the drawing is 6.4 x 4.8 cm, the bar at 130.
        const QSize base(20, 15);
        QTest::newRow("empty changes nothing") << "" << true << 130 << base << false;
        QTest::newRow("zero") << "0" << false << 130 << base << false;
        QTest::newRow("negative") << "-1" << false << 130 << base << false;
        QTest::newRow("unreadable") << "1E" << false << 130 << base << false;
        QTest::newRow("ten times") << "5" << true << 0 << QSize(0, 0) << false;
        QTest::newRow("comma") << "1,5" << true << 0 << QSize(1, 1) << false;
        // 320 x 240 cm: ten pixels wider than the page, in proportion.
        QTest::newRow("tenth, too big") << "1E-3" << true << 200 << QSize(74, 56) << true;
    }
    void saisie()
    {
        QFETCH(QString, texte);
        QFETCH(bool, valide);
        QFETCH(int, piste);
        QFETCH(QSize, dessin);
        QFETCH(bool, tropGrand);
        montrer([&] {
            d->edEchEnter();
            d->edEch->setText(QStringLiteral("5E-2"));
            d->edEch->setText(texte);
            QCOMPARE(d->edEch->text(), texte);
            QCOMPARE(d->OKBtn->isEnabled(), valide);
            QVERIFY(texte.isEmpty() || (valide ? vert(d->edEch) : rouge(d->edEch)));
            QCOMPARE(d->TrackBar1->value(), piste);
            if (tropGrand) // 74 x 55.5: either rounding of the half
                QVERIFY(d->shpDessin->width() == 74 && std::abs(d->shpDessin->height() - 55.5) < 1);
            else
                QCOMPARE(d->shpDessin->size(), dessin);
            QCOMPARE(d->shpDessin->Mode() == TFormeApercu::ModeStylo::inverseEt, tropGrand);
            if (tropGrand) {
                QCOMPARE(d->shpDessin->Brush(), QColor(0, 255, 255));
                QCOMPARE(d->shpDessin->Pen(), QColor(255, 0, 0));
            }
        });
    }

    void touches()
    {
        montrer();
        const QList<std::tuple<QChar, QString, QString>> cas{{QLatin1Char('.'), "1e-2", "1E-2"},
                                                             {QLatin1Char('.'), "2,5", "2.5"},
                                                             {QLatin1Char(','), "2.5", "2,5"},
                                                             {QLatin1Char('.'), "a1 b+", "1+"}};
        for (const auto &[separateur, frappe, texte] : cas) {
            definirSeparateurDecimal(separateur);
            d->edEch->clear();
            QTest::keyClicks(d->edEch, frappe);
            QCOMPARE(d->edEch->text(), texte);
        }
        definirSeparateurDecimal(QLatin1Char('.'));
        // Enter is swallowed: it neither prints nor closes.
        QSignalSpy fini(d, &QDialog::finished);
        QTest::keyClick(d->edEch, Qt::Key_Return);
        QCOMPARE(fini.count(), 0);
    }

    void piste()
    {
        montrer([this] {
            const QList<std::pair<int, QString>> cas{
                {0, " 1.00E+0"}, {200, " 1.00E-2"}, {130, " 5.01E-2"}, {100, " 1.00E-1"}};
            for (const auto &[position, texte] : cas) {
                d->TrackBar1->setValue(position);
                QCOMPARE(d->edEch->text(), texte);
                QCOMPARE(d->TrackBar1->value(), position);
            }
            QCOMPARE(d->lblImageimprimeeX->text(), QStringLiteral(" 3.20E+0"));
            // While the box has the focus, the bar does not write into it.
            d->edEchEnter();
            d->TrackBar1->setValue(60);
            QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-1"));
            d->edEchExit();
        });
    }

    void fermeture()
    {
        // Cancel undoes the bar's move; so does Escape.
        montrer([this] {
            d->TrackBar1->setValue(0);
            d->CancelBtn->click();
        });
        QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-1"));
        montrer([this] {
            d->TrackBar1->setValue(0);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-1"));
        QCOMPARE(d->TrackBar1->value(), 100);
        // "Later" keeps the new scale for the next showing, and Cancel then goes back to it.
        montrer([this] {
            d->TrackBar1->setValue(200);
            d->Button2->click();
        });
        montrer([this] {
            QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-2"));
            QCOMPARE(d->lblImageimprimeeX->text(), QStringLiteral(" 3.20E+1"));
            d->TrackBar1->setValue(100);
            d->CancelBtn->click();
        });
        QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-2"));
        // An invalid or empty box is not kept by "later" (nor by any other way out).
        for (const char *texte : {"0", ""}) {
            montrer([&] {
                d->edEch->setText(QString::fromLatin1(texte));
                d->Button2->click();
            });
            QCOMPARE(d->edEch->text(), QStringLiteral(" 1.00E-2"));
            QVERIFY(vert(d->edEch) && d->OKBtn->isEnabled());
        }
    }

    void options()
    {
        // Four frames of point 1, the time origin on row 3.
        for (int r = 1; r <= 4; ++r) {
            Form1->StringGrid0->setCells(1, r, QString::number(10 * r));
            Form1->StringGrid0->setCells(2, r, QString::number(5 * r));
        }
        // The last frame tracked: its marker keeps the decimals.
        Form1->StringGrid0->setCells(1, 4, QStringLiteral("40.25"));
        Form1->StringGrid0->setCells(2, 4, QStringLiteral("20.5"));
        Form1->udt0->setPosition(3);
        Form1->udt0MouseUp();
        montrer([this] {
            QVERIFY(d->rbImpPoints0->isEnabled() && d->rbImpPoints1->isEnabled());
            PageImprimee p = d->pageCourante(0.1L);
            QCOMPARE(int(p.marques.size()), 2);
            QCOMPARE(p.marques[0].X, 30.0);
            QCOMPARE(p.marques[1].X, 40.25);
            QCOMPARE(p.marques[1].Y, 20.5);
            QVERIFY(p.axes && p.grille && !p.grilleCouleurAxes);
            QCOMPARE(p.mode, ModeCouleur::noir);
            d->rbImpPoints0->click();
            d->chkImpGrille->click();
            QVERIFY(!d->rbGrilleColor->isEnabled() && !d->rbGrilleGris->isEnabled());
            d->chkImpGrille->click();
            d->rbGrilleColor->click();
            QVERIFY(!d->rbGrilleGris->isChecked());
            d->rbCouleur->setItemIndex(1);
            Form1->StringGrid2->setCells(0, 1, QStringLiteral("0"));
            p = d->pageCourante(0.1L);
            QCOMPARE(int(p.marques.size()), 4);
            QVERIFY(!p.axes && p.grille && p.grilleCouleurAxes);
            QCOMPARE(p.mode, ModeCouleur::gris);
            Form1->StringGrid2->setCells(1, 1, QStringLiteral("0"));
            QVERIFY(d->pageCourante(0.1L).marques.empty());
        });
    }

    void imprimante()
    {
        // A refused set-up changes nothing; an accepted one reads the printer again.
        QPrinter *p = d->imprimante();
        montrer([&] {
            p->setPageOrientation(QPageLayout::Landscape);
            plateformeTest.reponseImprimante = false;
            d->Button1->click();
            QCOMPARE(d->shpFeuille->size(), QSize(64, 90));
            plateformeTest.reponseImprimante = true;
            d->Button1->click();
            QCOMPARE(d->shpFeuille->size(), QSize(90, 64));
            QCOMPARE(d->lblFormatFeuille->text(), QStringLiteral("28.7x20.3cm"));
        });
        // A print job that cannot start says so, and the dialog stays.
        p->setOutputFileName(dossier.filePath(QStringLiteral("absent/page.pdf")));
        QSignalSpy fini(d, &QDialog::finished);
        montrer([this] { d->OKBtn->click(); });
        QCOMPARE(fini.count(), 0);
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(plateformeTest.messages.back().texte.contains(QStringLiteral("absent/page.pdf")));
        // With no file chosen yet (no printer on the computer), the PDF's name is asked for;
        // cancelling that leaves the dialog open without a word.
        p->setOutputFileName(QString());
        montrer([this] { d->OKBtn->click(); });
        QCOMPARE(fini.count(), 0);
        const QString fichier = dossier.filePath(QStringLiteral("choisi.pdf"));
        plateformeTest.fichiersEnregistres = {fichier};
        montrer([this] { d->OKBtn->click(); });
        QCOMPARE(fini.count(), 1);
        QVERIFY(QFile::exists(fichier));
        QCOMPARE(plateformeTest.messages.size(), size_t(1));
    }

    // One page to PDF at 3 cm to the printed centimetre, rasterized at 600 dots per inch:
    // the grid's squares measure 1 cm, and two red markers lie as far apart as their distance
    // in metres divided by the scale.
    void pdf()
    {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty()) QSKIP("pdftoppm (poppler-utils) is not installed: PDF not checked");
        Form1->StringGrid0->setCells(1, 1, QStringLiteral("20"));
        Form1->StringGrid0->setCells(2, 1, QStringLiteral("100"));
        Form1->StringGrid0->setCells(1, 2, QStringLiteral("140"));
        Form1->StringGrid0->setCells(2, 2, QStringLiteral("30"));
        Form1->StringGrid2->setCells(0, 0, QString::number(0xFF0000)); // axes blue
        Form1->StringGrid2->setCells(1, 0, QStringLiteral("255"));     // point 1 red
        origineX = 80;
        origineY = 50;
        QSignalSpy fini(d, &QDialog::finished);
        montrer([this] {
            d->rbCouleur->setItemIndex(0);
            d->edEch->setText(QStringLiteral("3E-2"));
            d->OKBtn->click();
        });
        QCOMPARE(fini.count(), 1);
        QVERIFY(plateformeTest.messages.empty());
        const QString pdf = d->imprimante()->outputFileName();
        QVERIFY(QFile::exists(pdf));
        const QString sortie = dossier.filePath(QStringLiteral("page"));
        QCOMPARE(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("600"),
                                              QStringLiteral("-singlefile"), pdf, sortie}),
                 0);
        const QImage image =
            QImage(sortie + QStringLiteral(".ppm")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!image.isNull());
        const double cm = 600 / 2.54;
        // The page is 20.3 cm wide; 160 x 120 pixels at 2 mm make 10.67 x 8 cm.
        // (The PDF writes its page size in whole points.)
        QVERIFY2(std::abs(image.width() - 20.3 * cm) < 6,
                 qPrintable(QString::number(image.width())));
        const int droite = qRound(10.6 * cm), bas = qRound(7.9 * cm);

        // Inked pixels of the grid and axes (grey and blue: red equal to green) per column and
        // per row of the drawing; the centres of the red markers either side of 5 cm.
        std::vector<double> colonnes(droite), lignes(bas);
        QPointF rouges[2];
        double poids[2] = {0, 0};
        for (int y = 0; y < bas; ++y)
            for (int x = 0; x < droite; ++x) {
                const QRgb c = image.pixel(x, y);
                if (std::abs(qRed(c) - qGreen(c)) < 12 && qRed(c) < 245) {
                    ++colonnes[x];
                    ++lignes[y];
                }
                const double w = qRed(c) - (qGreen(c) + qBlue(c)) / 2.0; // edges included
                if (w > 20) {
                    rouges[x > 5 * cm] += w * QPointF(x, y);
                    poids[x > 5 * cm] += w;
                }
            }
        // A line is inked over at least a quarter of the drawing (the grid is dotted, a dot
        // on, two off; arrow heads and the crossing lines are short); its centre is that of
        // its run of columns (rows).
        auto centres = [](const std::vector<double> &encre, double longueur) {
            QList<double> c;
            for (size_t i = 0; i < encre.size(); ++i) {
                double s = 0, si = 0;
                for (; i < encre.size() && encre[i] >= longueur / 4; ++i) {
                    s += encre[i];
                    si += encre[i] * double(i);
                }
                if (s > 0) c << si / s;
            }
            return c;
        };
        // The Origin (80, 50) is 5.33 cm from the left and right edges, 3.33 cm from the
        // top and 4.67 cm from the bottom.
        const QList<double> xs = centres(colonnes, bas), ys = centres(lignes, droite);
        QCOMPARE(xs.size(), 11);
        QCOMPARE(ys.size(), 8);
        for (const QList<double> &l : {xs, ys})
            for (int i = 1; i < l.size(); ++i)
                QVERIFY2(std::fabs((l[i] - l[i - 1]) / cm - 1) < 0.005,
                         qPrintable(QString::number(l[i] - l[i - 1])));
        QVERIFY(std::fabs(xs[5] - 80 * 0.002 / 0.03 * cm) < 1);

        QVERIFY(poids[0] > 0 && poids[1] > 0);
        const QPointF ab = rouges[1] / poids[1] - rouges[0] / poids[0];
        const double distance = std::hypot(ab.x(), ab.y());
        const double attendue = std::hypot(120, 70) * 0.002 / 0.03 * cm;
        QVERIFY2(std::fabs(distance / attendue - 1) < 0.005, qPrintable(QString::number(distance)));
    }
};

QTEST_MAIN(TestImpression)
#include "tst_impression.moc"

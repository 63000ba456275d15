// The graph window on a free fall made by mkclip: it follows each pointing, its points are
// the table's values, the parabola gives g, a click on a point shows its frame, the graph
// and the table are saved, and bad input gives a note instead of a fit.
#include "analyse/graphes.h"
#include "app/Unit1.h"
#include "calibration/transformation.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/pixels.h"
#include "measure/grilles.h"
#include "measure/sessionMesure.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QToolButton>
#include <QValueAxis>
#include <QCheckBox>
#include <QClipboard>
#include <QDockWidget>
#include <QProcess>
#include <QSpinBox>
#include <QDoubleSpinBox>
#include <QStandardPaths>
#include <QtTest>
#include <numeric>
#include <cmath>

namespace
{

// The clip: --a 1000 px/s^2 downward, --vx 30 px/s; we say a pixel is 9.81 mm, so that
// the fall is at g = 9.81 m/s^2 and the drift at 0.2943 m/s.
constexpr long double kEchelle = 0.00981L;
constexpr double g = 9.81;
constexpr double vx = 30 * 0.00981;

QString clip()
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/chute.avi");
}

// The centre of the red disc on the frame shown, to the nearest pixel.
QPoint disque(const QImage &image)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 160 && c.green() < 100 && c.blue() < 100) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    if (n == 0) return {-1, -1};
    return {int(std::lround(sx / n)), int(std::lround(sy / n))};
}

} // namespace

class TestGraphes : public QObject
{
    Q_OBJECT

    PlateformeScriptee plateforme_;
    TGrapheBox *graphe_ = nullptr;

    void ouvrir()
    {
        plateforme_.fichiersOuverts.push_back({clip()});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        echelleH = echelleV = kEchelle;
        QVERIFY(Form1->bbtnGraphes->isEnabled());
        QTest::mouseClick(Form1->bbtnGraphes, Qt::LeftButton);
        graphe_ = Form1->GrapheBox;
        QVERIFY(graphe_ && graphe_->isVisible());
    }

    // Points the disc on the frames listed (0-based), in order.
    void pointer(const std::vector<int> &images)
    {
        for (int f : images) {
            Form1->affichImage(Form1->MediaPlayer1, f);
            Form1->selectionnerLigneCourante();
            const QPoint p = disque(Form1->MediaPlayer1->image());
            QVERIFY(p.x() >= 0);
            QTest::mouseClick(Form1->PaintBox1, Qt::LeftButton, Qt::NoModifier, p);
        }
    }

    void choisir(int graphe, int modele)
    {
        graphe_->cbGraphe->setCurrentIndex(graphe);
        graphe_->cbModele->setCurrentIndex(modele);
    }

    // The points shown are the values the table shows: computed from the same pixels, and
    // within the rounding of the cell's last digit.
    void comparerAuTableau(int colonne)
    {
        const QList<QPointF> pts = graphe_->seriePoints->points();
        QCOMPARE(std::size_t(pts.size()), graphe_->lignesPoints().size());
        for (qsizetype i = 0; i < pts.size(); ++i) {
            const int r = graphe_->lignesPoints()[std::size_t(i)];
            QCOMPARE(pts[i].y(), metres(colonne, r));
            QCOMPARE(formateReel(formatTemps, pts[i].x()), Form1->StringGrid1->Cells(0, r));
            QVERIFY(commeLaCellule(pts[i].y(), Form1->StringGrid1->Cells(colonne, r)));
        }
    }

    // The value of a cell of the table, from its pixel, as the table computes it.
    static double metres(int colonne, int r)
    {
        const double pixel = valeurPixel(Form1->StringGrid0->Cells(colonne, r));
        return double(colonne % 2 ? xMetres(pixel) : yMetres(pixel));
    }

    // v written with the cell's digits is the cell, but for a last digit rounded the other
    // way from exactly half-way.
    static bool commeLaCellule(double v, const QString &cellule)
    {
        const double lu = double(reelDeTexte(cellule));
        const double unite =
            std::pow(10.0, std::floor(std::log10(std::fabs(lu))) - (chiffresXY - 1));
        return std::fabs(v - lu) <= 0.5 * unite * (1 + 1e-9);
    }

private slots:
    void init() { debuterSession(plateforme_); }
    void cleanup() { terminerSession(); }

    void chuteLibre()
    {
        ouvrir();
        choisir(TGrapheBox::grY, 2);
        std::vector<int> images;
        for (int f = 0; f < nbImages; ++f)
            images.push_back(f);
        // The graph follows each pointing at once.
        pointer({0, 1, 2});
        QCOMPARE(graphe_->seriePoints->count(), 3);
        QVERIFY(!graphe_->ajustement().valide());
        QVERIFY(graphe_->lblNote->isVisible());
        pointer(std::vector<int>(images.begin() + 3, images.end()));
        QCOMPARE(graphe_->seriePoints->count(), nbImages);
        QVERIFY(graphe_->lblNote->isHidden());

        // y(t): a parabola of curvature -g/2.
        const Ajustement &a = graphe_->ajustement();
        QVERIFY(a.valide());
        qInfo("g = %.4f ± %.4f m/s², R² = %.6f", -2 * a.coefficients[0], 2 * a.incertitudes[0],
              a.r2);
        QVERIFY2(std::fabs(-2 * a.coefficients[0] / g - 1) < 0.005,
                 qPrintable(QString::number(-2 * a.coefficients[0])));
        QVERIFY(a.incertitudes[0] > 0 && a.r2 > 0.9999);
        QVERIFY(graphe_->serieModele->count() > 2);
        QVERIFY(graphe_->lblModele->text().contains(QStringLiteral("R² = ")));
        QVERIFY(graphe_->lblModele->text().contains(QStringLiteral("m/s²")));
        comparerAuTableau(2);

        // x(t) is a line at the drift speed; vy(t) a line of slope -g; vx(t) constant.
        choisir(TGrapheBox::grX, 1);
        comparerAuTableau(1);
        QVERIFY(std::fabs(graphe_->ajustement().coefficients[0] / vx - 1) < 0.01);
        choisir(TGrapheBox::grVy, 1);
        QCOMPARE(graphe_->seriePoints->count(), nbImages - 2);
        QVERIFY2(std::fabs(-graphe_->ajustement().coefficients[0] / g - 1) < 0.01,
                 qPrintable(QString::number(graphe_->ajustement().coefficients[0])));
        choisir(TGrapheBox::grV, 0);
        QVERIFY(graphe_->serieModele->count() == 0 && graphe_->lblModele->text().isEmpty());

        // A click on a point of the trajectory shows its frame and selects its row.
        choisir(TGrapheBox::grTrajectoire, 0);
        QApplication::processEvents();
        const QPointF cible = graphe_->seriePoints->at(7);
        const QPoint ecran =
            graphe_->ChartView1->mapFromScene(graphe_->Chart1->mapToPosition(cible));
        QTest::mouseClick(graphe_->ChartView1->viewport(), Qt::LeftButton, Qt::NoModifier, ecran);
        QCOMPARE(Form1->StringGrid1->Row(), 8);
        QCOMPARE(imageCourante, 7);

        // The table with its computed columns, read back.
        QTemporaryDir dossier;
        const QString csv = dossier.filePath(QStringLiteral("chute.csv"));
        plateforme_.fichiersEnregistres.push_back(csv);
        QTest::mouseClick(graphe_->btnExporterCSV, Qt::LeftButton);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lignes = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lignes.size(), nbImages + 1);
        QCOMPARE(lignes[0], QStringLiteral("image,t(s),x(m),y(m),vx(m/s),vy(m/s),v(m/s)"));
        for (int r = 1; r <= nbImages; ++r) {
            const QStringList champs = lignes[r].split(',');
            QCOMPARE(champs.size(), 7);
            QCOMPARE(champs[0].toInt(), r);
            for (int c : {1, 2}) {
                QVERIFY(std::fabs(champs[c + 1].toDouble() - metres(c, r)) <= 1e-11);
                QVERIFY(commeLaCellule(champs[c + 1].toDouble(), Form1->StringGrid1->Cells(c, r)));
            }
            QCOMPARE(champs[5].isEmpty(), r == 1 || r == nbImages);
        }
        QVERIFY(dossier.isValid() && QDir(dossier.path()).entryList(QDir::Files).size() == 1);

        // The graph as PNG and as SVG.
        const QString png = dossier.filePath(QStringLiteral("y.png"));
        const QString svg = dossier.filePath(QStringLiteral("y.svg"));
        plateforme_.fichiersEnregistres.push_back(png);
        plateforme_.fichiersEnregistres.push_back(svg);
        QTest::mouseClick(graphe_->btnEnregistrerGraphe, Qt::LeftButton);
        QTest::mouseClick(graphe_->btnEnregistrerGraphe, Qt::LeftButton);
        QVERIFY(!QImage(png).isNull());
        QFile s(svg);
        QVERIFY(s.open(QIODevice::ReadOnly) && s.readAll().contains("<svg"));
        QVERIFY(plateforme_.messages.empty());

        // An unwritable place: an error message, nothing left behind.
        plateforme_.fichiersEnregistres.push_back(dossier.filePath(QStringLiteral("non/x.csv")));
        QTest::mouseClick(graphe_->btnExporterCSV, Qt::LeftButton);
        QCOMPARE(plateforme_.nombreMessages(TypeMessage::Erreur), 1);
    }

    // The graph saved: a typed extension says the type, else the filter chosen does and adds
    // it. Both forms carry the gap note and the fit's equation with ± and R²; the SVG has the
    // size the graph has on screen.
    void grapheEnregistre()
    {
        ouvrir();
        choisir(TGrapheBox::grVy, 1);
        pointer({0, 1, 2, 3, 5, 6, 7, 8}); // frame 4 missing: a gap
        QVERIFY(graphe_->lblNote->isVisible() && !graphe_->lblModele->text().isEmpty());
        QApplication::processEvents();
        QTemporaryDir dossier;
        const struct {
            const char *tape;
            int filtre;
            const char *ecrit;
        } cas[] = {
            {"a", 0, "a.png"}, {"b", 1, "b.svg"}, {"c.png", 1, "c.png"}, {"d.SVG", 0, "d.SVG"}};
        for (const auto &c : cas) {
            plateforme_.fichiersEnregistres.push_back(
                dossier.filePath(QString::fromLatin1(c.tape)));
            plateforme_.filtresChoisis.push_back(c.filtre);
            QTest::mouseClick(graphe_->btnEnregistrerGraphe, Qt::LeftButton);
            QFile f(dossier.filePath(QString::fromLatin1(c.ecrit)));
            QVERIFY2(f.open(QIODevice::ReadOnly), c.ecrit);
            const QByteArray octets = f.readAll();
            if (QByteArray(c.ecrit).toLower().endsWith(".png")) {
                QVERIFY(octets.startsWith("\x89PNG"));
                // The equation's band under the chart.
                QVERIFY(QImage::fromData(octets).height() > graphe_->ChartView1->height());
                continue;
            }
            const QString svg = QString::fromUtf8(octets);
            QVERIFY2(svg.contains(QStringLiteral("<svg")), c.ecrit);
            for (const QString &ligne : graphe_->lblModele->text().split('\n'))
                QVERIFY2(svg.contains(ligne.toHtmlEscaped()), qPrintable(ligne));
            QVERIFY(svg.contains(QStringLiteral("#a00000"))); // the note, drawn in outlines
            const double mm = svg.section(QStringLiteral("width=\""), 1)
                                  .section(QStringLiteral("mm"), 0, 0)
                                  .toDouble();
            QVERIFY2(std::fabs(mm - graphe_->ChartView1->width() * 25.4 / graphe_->logicalDpiX()) <
                         0.5,
                     qPrintable(QString::number(mm)));
        }
        QCOMPARE(QDir(dossier.path()).entryList(QDir::Files).size(), 4);
        QVERIFY(plateforme_.messages.empty());
    }

    // The table's own changes reach the graph: clearing a row, moving the time origin.
    void suitLeTableau()
    {
        ouvrir();
        choisir(TGrapheBox::grX, 0);
        pointer({0, 1, 2, 3, 4, 5});
        QCOMPARE(graphe_->seriePoints->count(), 6);
        Form1->StringGrid1->setRow(3);
        plateforme_.reponses.push_back(Reponse::Oui);
        Form1->Button1Click();
        QCOMPARE(graphe_->seriePoints->count(), 5);
        QCOMPARE(graphe_->lignesPoints(), (std::vector<int>{1, 2, 4, 5, 6}));

        Form1->udt0->setPosition(2);
        Form1->udt0MouseUp();
        QCOMPARE(graphe_->seriePoints->count(), 4); // row 1 has no time any more
        QCOMPARE(graphe_->seriePoints->at(0).x(), 0.0);
        comparerAuTableau(1);

        // Undo and redo rewrite the table too: the graph follows them.
        SessionMesure *session = Form1->sessionMesure;
        for (int i = 0; i < 20 && (i == 0 || session->mnuAnnuler->isEnabled()); ++i)
            session->annuler();
        QCOMPARE(graphe_->seriePoints->count(), 0);
        for (int i = 0; i < 20 && session->mnuRetablir->isEnabled(); ++i)
            session->retablir();
        QCOMPARE(graphe_->seriePoints->count(), 4);
        comparerAuTableau(1);

        // The cursor follows the frame shown: a vertical line at its time, its point ringed;
        // on the trajectory the point alone; before the time origin, no line.
        for (auto [graphe, image, ligne, point] : {std::tuple{TGrapheBox::grX, 4, true, true},
                                                   {TGrapheBox::grX, 2, true, false},
                                                   {TGrapheBox::grTrajectoire, 5, false, true},
                                                   {TGrapheBox::grX, 0, false, false}}) {
            choisir(graphe, 0);
            Form1->affichImage(Form1->MediaPlayer1, image);
            QCOMPARE(graphe_->serieCurseur->count(), ligne ? 2 : 0);
            if (ligne)
                QCOMPARE(graphe_->serieCurseur->at(0).x(), double(ecartTemps(image, 1)));
            QCOMPARE(graphe_->seriePointCourant->count(), point ? 1 : 0);
            if (point) {
                const auto i = std::find(graphe_->lignesPoints().begin(),
                                         graphe_->lignesPoints().end(), image + 1);
                QCOMPARE(graphe_->seriePointCourant->at(0),
                         graphe_->seriePoints->at(int(i - graphe_->lignesPoints().begin())));
            }
        }
    }

    // A long tracked table: at most 1,000 points drawn, each still the table's own, the
    // last one included; the fit uses them all.
    void longTableau()
    {
        ouvrir();
        constexpr int N = 3000;
        nbImages = N;
        tailleGrille(Form1->StringGrid0, 3, N + 1);
        for (int r = 1; r <= N; ++r) {
            Form1->StringGrid0->setCells(0, r, QString::number(r - 1));
            Form1->StringGrid0->setCells(1, r, QString::number(r % 100));
            Form1->StringGrid0->setCells(2, r, QString::number(400 - r / 10));
        }
        choisir(TGrapheBox::grY, 1);
        emit Form1->tableauModifie(0, 0);
        const QList<QPointF> pts = graphe_->seriePoints->points();
        QCOMPARE(pts.size(), 751); // one in four, and the last
        QCOMPARE(graphe_->lignesPoints().back(), N);
        for (qsizetype i = 0; i < pts.size(); i += 97)
            QCOMPARE(pts[i].y(), metres(2, graphe_->lignesPoints()[std::size_t(i)]));
        QCOMPARE(graphe_->ajustement().points, N);
    }

    // A damped oscillation filmed (made by ffmpeg): the panel docked beside the picture, four
    // graphs, the damped sine fitted on x(t) gives τ; its parameters reach the clipboard, the
    // CSV export and the session, and come back with it.
    void oscillationAmortie()
    {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty()) QSKIP("ffmpeg absent");
        QTemporaryDir dossier;
        const QString avi = dossier.filePath(QStringLiteral("ressort.avi"));
        // x = 160 + 100 e^(-t/3) sin(2π t / 1.6 + 0.3) px, 25 frames/s, 8 s.
        const QString disque = QStringLiteral(
            "if(lt(hypot(X-(160+100*exp(-T/3)*sin(2*PI*T/1.6+0.3)),Y-120),7),%1,255)");
        QProcess p;
        p.start(ffmpeg, {"-v", "error", "-f", "lavfi", "-i", "color=white:s=320x240:r=25:d=8",
                         "-vf",
                         "format=rgb24,geq=r='255':g='" + disque.arg(0) + "':b='" + disque.arg(0) +
                             "'",
                         "-c:v", "rawvideo", "-pix_fmt", "bgr24", avi});
        QVERIFY(p.waitForFinished(120000) && p.exitCode() == 0);
        Form1->resize(1280, 800);
        Form1->show();
        plateforme_.fichiersOuverts.push_back({avi});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        echelleH = echelleV = 0.001L;
        std::vector<int> images(static_cast<std::size_t>(nbImages));
        std::iota(images.begin(), images.end(), 0);
        pointer(images);
        Form1->mnuGraphes->trigger();
        graphe_ = Form1->GrapheBox;
        QVERIFY(graphe_->isVisible() && !Form1->dockGraphes->isFloating());
        graphe_->sbNombre->setValue(4);
        graphe_->edMasse->setValue(0.2);
        choisir(TGrapheBox::grX, 1 + int(TypeAjustement::SinusAmorti));
        const ResultatAjustement &r = graphe_->vues[0]->resultat();
        QVERIFY2(r.converge, qPrintable(r.erreur));
        const auto parametre = [&r](const QString &nom) {
            for (const ParametreAjuste &q : r.parametres)
                if (q.nom == nom) return q.valeur;
            return double(NAN);
        };
        qInfo("tau = %.4f s, omega = %.5f rad/s", parametre(QStringLiteral("τ")),
              parametre(QStringLiteral("ω")));
        QVERIFY(std::fabs(parametre(QStringLiteral("τ")) / 3 - 1) < 0.02);
        QVERIFY(std::fabs(parametre(QStringLiteral("ω")) / (2 * M_PI / 1.6) - 1) < 0.001);
        QVERIFY(graphe_->lblModele->text().contains(QStringLiteral("τ = ")));
        for (VueGraphe *v : graphe_->vues)
            QVERIFY(v->isVisible() && v->seriePoints->count() > 0);

        // The frame shown is on every graph against t; dragging the cursor shows another.
        Form1->affichImage(Form1->MediaPlayer1, 40);
        if (!qEnvironmentVariableIsEmpty("KINEMAR_CAPTURES")) {
            QTest::qWait(300); // laid out as on screen
            Form1->grab().save(qEnvironmentVariable("KINEMAR_CAPTURES") +
                               QStringLiteral("/graphes_dock.png"));
        }
        QApplication::processEvents();
        QCOMPARE(graphe_->serieCurseur->at(0).x(), 1.6);
        QChartView *vue = graphe_->ChartView1;
        const auto ecran = [&](double t) {
            return vue->mapFromScene(graphe_->Chart1->mapToPosition(QPointF(t, 0)));
        };
        QTest::mousePress(vue->viewport(), Qt::LeftButton, Qt::NoModifier, ecran(1.6));
        QTest::mouseMove(vue->viewport(), ecran(3.0));
        QTest::mouseRelease(vue->viewport(), Qt::LeftButton, Qt::NoModifier, ecran(3.0));
        QCOMPARE(imageCourante, 75);

        // A drag elsewhere fits the rows under it only.
        QTest::mousePress(vue->viewport(), Qt::LeftButton, Qt::NoModifier, ecran(4.0));
        QTest::mouseMove(vue->viewport(), ecran(5.0));
        QTest::mouseMove(vue->viewport(), ecran(6.0));
        QTest::mouseRelease(vue->viewport(), Qt::LeftButton, Qt::NoModifier, ecran(6.0));
        const int premiere = graphe_->vues[0]->premiereLigne();
        QVERIFY(std::abs(premiere - 101) <= 1 && std::abs(graphe_->vues[0]->derniereLigne() - 151) <= 1);
        QCOMPARE(r.points, graphe_->vues[0]->derniereLigne() - premiere + 1);
        graphe_->vues[0]->btnToutesLignes->click();
        QCOMPARE(r.points, nbImages);

        // Clipboard and CSV: the equation, a line per parameter, R².
        graphe_->btnCopierParametres->click();
        const QString presse = QGuiApplication::clipboard()->text();
        QVERIFY2(presse.contains(QStringLiteral("τ\t")) && presse.contains(QStringLiteral("R²")),
                 qPrintable(presse));
        const QString csv = dossier.filePath(QStringLiteral("ressort.csv"));
        plateforme_.fichiersEnregistres.push_back(csv);
        graphe_->btnExporterCSV->click();
        if (!qEnvironmentVariableIsEmpty("KINEMAR_CAPTURES"))
            QFile::copy(csv, qEnvironmentVariable("KINEMAR_CAPTURES") + QStringLiteral("/ressort.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> blocs = f.readAll().split('\n');
        const auto blanche = std::find(blocs.begin(), blocs.end(), QByteArray());
        QCOMPARE(int(blanche - blocs.begin()), nbImages + 1);
        QVERIFY(blanche[1].startsWith("x = "));
        QVERIFY(blanche[3].startsWith("A,"));

        // The session keeps the graphs and the fit; opened again, they are back.
        const QString session = dossier.filePath(QStringLiteral("ressort.kinemar"));
        plateforme_.fichiersEnregistres.push_back(session);
        QVERIFY(Form1->sessionMesure->enregistrerSous());
        QFile fs(session);
        QVERIFY(fs.open(QIODevice::ReadOnly) && fs.readAll().contains("\"τ\""));
        graphe_->sbNombre->setValue(1);
        choisir(TGrapheBox::grY, 0);
        QVERIFY(Form1->ouvrirSession(session));
        QCOMPARE(graphe_->sbNombre->value(), 4);
        QCOMPARE(graphe_->cbModele->currentIndex(), 1 + int(TypeAjustement::SinusAmorti));
        QVERIFY(graphe_->vues[0]->resultat().converge);

        // Smoothing: the smoothed quantity says so on its axis, the raw values stay under it.
        graphe_->chkLissage->setChecked(true);
        const VueGraphe *acceleration = graphe_->vues[2];
        QVERIFY(acceleration->seriePointsBruts->count() > 0);
        QVERIFY(acceleration->axeY->titleText().contains(QStringLiteral("منعّمة")));
        QVERIFY(!acceleration->axeX->titleText().contains(QStringLiteral("منعّمة")));

        // The protractor's angles: a graph against time of every one recorded, and a last
        // column of the CSV.
        Form1->document->changerAngle(5, 12.3);
        Form1->document->changerAngle(7, 14.5);
        emit Form1->tableauModifie(0, 0);
        VueGraphe *angle = graphe_->vues[1];
        angle->cbGraphe->setCurrentIndex(angle->cbGraphe->count() - 1);
        QCOMPARE(angle->seriePoints->points(),
                 (QList<QPointF>{{0.2, 12.3}, {0.28, 14.5}}));
        plateforme_.fichiersEnregistres.push_back(csv);
        graphe_->btnExporterCSV->click();
        QFile relu(csv);
        QVERIFY(relu.open(QIODevice::ReadOnly) &&
                relu.readLine().trimmed().endsWith(QStringLiteral("angle(°)").toUtf8()));
        Form1->hide();
    }

    // Bad input: a note on the graph, no fit, nothing else.
    void mauvaisesDonnees()
    {
        ouvrir();
        // A gap: velocities stop at its edges, and a note says so.
        pointer({0, 1, 2, 4, 5, 6});
        choisir(TGrapheBox::grVy, 0);
        QCOMPARE(graphe_->lignesPoints(), (std::vector<int>{2, 6}));
        QVERIFY(graphe_->lblNote->text().contains(QStringLiteral("فجوة")));
        // Two velocities are fewer than a line needs.
        choisir(TGrapheBox::grVy, 1);
        QVERIFY(!graphe_->ajustement().valide());
        QCOMPARE(graphe_->serieModele->count(), 0);
        QVERIFY(graphe_->lblNote->text().contains(QStringLiteral("غير كاف")));
        QVERIFY(graphe_->lblModele->text().isEmpty());

        // Every point at one time (a clip without a frame period).
        periode = 0;
        Form1->ActualGrid();
        choisir(TGrapheBox::grY, 2);
        QCOMPARE(graphe_->ajustement().echec, Ajustement::AbscisseUnique);
        QCOMPARE(graphe_->serieModele->count(), 0);
        QVERIFY(graphe_->lblNote->text().contains(QStringLiteral("نفس القيمة t")));
        choisir(TGrapheBox::grV, 2);
        QVERIFY(graphe_->lblNote->isVisible());
        QCOMPARE(graphe_->seriePoints->count(), 0);

        // A point with no pointing at all.
        plateforme_.reponses.push_back(Reponse::Oui);
        Form1->Button2Click();
        choisir(TGrapheBox::grX, 2);
        QCOMPARE(graphe_->seriePoints->count(), 0);
        QVERIFY(graphe_->lblNote->isVisible());
        QCOMPARE(plateforme_.messages.size(), std::size_t(1)); // the clearing question
    }
};

QTEST_MAIN(TestGraphes)
#include "tst_graphes.moc"

// Opening clips in the main window, the properties page and moving through frames.
#include "app/Unit1.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/mesure.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace
{
QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

// The user previews the files of the script, then types the path of another one.
struct PlateformeCheminTape : PlateformeScriptee {
    QString tape;
    QString fichierAOuvrir(const DialogueFichier &d,
                           std::function<void(const QString &)> surSelection) override
    {
        PlateformeScriptee::fichierAOuvrir(d, surSelection);
        return tape;
    }
};

const QString echecOuverture = QStringLiteral("تعذر فتح مقطع الفيديو");
} // namespace

void definirAfficheurAide(std::function<void(const QString &, int)> f);

class TestOuverture : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QTemporaryDir dossier;

    QString fichierOctets(const char *nom, const QByteArray &octets)
    {
        const QString chemin = dossier.filePath(QString::fromLatin1(nom));
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(octets);
        return chemin;
    }

    void ouvrir(const QString &fichier, const QStringList &apercus = {})
    {
        plateformeTest.fichiersOuverts.push_back(apercus + QStringList{fichier});
        Form1->bbtnOpenAviClick();
    }

    void verifierBoutons(bool lecture, bool premiere, bool derniere, bool precedente, bool suivante)
    {
        QCOMPARE(Form1->bbtnPlay->isEnabled(), lecture);
        QCOMPARE(Form1->bbtnDeb->isEnabled(), premiere);
        QCOMPARE(Form1->bbtnFin->isEnabled(), derniere);
        QCOMPARE(Form1->bbtnPre->isEnabled(), precedente);
        QCOMPARE(Form1->bbtnSui->isEnabled(), suivante);
    }

private slots:
    void init() { debuterSession(plateformeTest); }

    // A phone clip held upright, with frames 10 to 12 dropped: shown upright, timed by each
    // frame's own time, pointed in the picture as shown, rescaled for slow motion.
    void clipDeTelephone()
    {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty()) QSKIP("the ffmpeg command is not installed: no clip to make");
        const QString couche = dossier.filePath(QStringLiteral("couche.mp4"));
        const QString debout = dossier.filePath(QStringLiteral("debout.mp4"));
        QCOMPARE(QProcess::execute(ffmpeg,
                                   {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                    "testsrc=size=160x120:rate=30", "-t", "1", "-vf",
                                    "select='not(between(n\\,10\\,12))'", "-vsync", "passthrough",
                                    "-c:v", "libx264", "-pix_fmt", "yuv420p", couche}),
                 0);
        QCOMPARE(QProcess::execute(ffmpeg, {"-loglevel", "error", "-y", "-i", couche, "-c", "copy",
                                            "-metadata:s:v:0", "rotate=90", debout}),
                 0);
        ouvrir(debout, {debout});
        QVERIFY(plateformeTest.messages.empty());
        QCOMPARE(nbImages, 27);
        QCOMPARE(largeurReelle, 120);
        QCOMPARE(hauteurReelle, 160);
        QCOMPARE(Form1->lblCodec2->text(), QStringLiteral("h264"));
        QVERIFY(Form1->lblFrequence->text().contains(QStringLiteral("متغيرة")));
        // Row 11 shows the 11th picture stored, filmed 13 frames after the first.
        QCOMPARE(Form1->StringGrid1->Cells(0, 11), QStringLiteral("0.433"));
        // x = 100 lies only in the upright picture; y counts up from its bottom row.
        emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, 100, 150);
        QCOMPARE(Form1->StringGrid0->Cells(1, 1), QStringLiteral("100"));
        QCOMPARE(Form1->StringGrid0->Cells(2, 1), QStringLiteral("150"));
        QCOMPARE(Form1->StringGrid1->Cells(2, 1), QStringLiteral(" 9.00E+0"));
        // Filmed at 240 fps: every time shrinks by the ratio of the two rates.
        auto *cadence = Form1->findChild<QLineEdit *>(QStringLiteral("edCadenceTournage"));
        QVERIFY(cadence);
        cadence->setText(QStringLiteral("240"));
        emit cadence->editingFinished();
        QCOMPARE(Form1->StringGrid1->Cells(0, 11),
                 formateReel(formatTemps, 13.0L / 30 / (periode * 240)));
        QCOMPARE(Form1->lireReglages().cadenceTournage, 240.0);
        cadence->setText(QString());
        emit cadence->editingFinished();
        QCOMPARE(Form1->StringGrid1->Cells(0, 11), QStringLiteral("0.433"));
    }
    void cleanup() { terminerSession(); }

    void premiereOuverture()
    {
        ouvrir(clip("raw_10.avi"));
        QVERIFY(plateformeTest.messages.empty());
        QVERIFY(Form1->clipOuvert());
        QCOMPARE(nbImages, 10);
        QCOMPARE(double(periode), 0.04);
        QCOMPARE(frequence, 25);
        QCOMPARE(imageCourante, 0);
        QCOMPARE(Form1->lblNoImage2->text(), QStringLiteral("1"));
        QCOMPARE(Form1->lblNoImage4->text(), QStringLiteral("10"));
        verifierBoutons(true, false, true, false, true);
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsMesures);
        QVERIFY(Form1->popUpMnuModeAcquerir->isChecked());
        QCOMPARE(Form1->lblNomAvi->text(), clip("raw_10.avi"));

        // Laid out at natural size, the pointing area exactly over the picture.
        const QSize naturelle = Form1->MediaPlayer1->image().size();
        QCOMPARE(largeurReelle, naturelle.width());
        QCOMPARE(hauteurReelle, naturelle.height());
        QCOMPARE(largeurAffichee, largeurReelle);
        QCOMPARE(Form1->PaintBox1->geometry(), QRect(4, 4, largeurReelle, hauteurReelle));
        QCOMPARE(Form1->pnl1AVI->size(), QSize(largeurReelle + 8, hauteurReelle + 8));
        QCOMPARE(Form1->MediaPlayer1->DisplayRect(), QRect(4, 4, largeurReelle, hauteurReelle));
        QCOMPARE(origineX, 0);
        QCOMPARE(origineY, hauteurReelle - 1);
        QCOMPARE(pcAffichage, 100);
        QVERIFY(echelleModifiee);

        // The times of the table.
        QCOMPARE(Form1->StringGrid1->RowCount(), 11);
        QCOMPARE(Form1->StringGrid1->Cells(0, 1), QStringLiteral("0.000"));
        QCOMPARE(Form1->StringGrid1->Cells(0, 2), QStringLiteral("0.040"));
        QCOMPARE(Form1->StringGrid1->Cells(0, 10), QStringLiteral("0.360"));

        // What needs a clip is now enabled.
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->bbtnIma, Form1->bbtnCible, Form1->Panel7, Form1->bbtnEnregistrerMesures,
                 Form1->bbtnCopierMesuresPP, Form1->bbtnCopierGraphiquePP})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        for (QMenu *m : {Form1->mnuClip, Form1->mnuPointages, Form1->mnuEnregistrerMesures})
            QVERIFY2(m->menuAction()->isEnabled(), qPrintable(m->objectName()));
        for (QAction *a : {Form1->popUpMnuModeAcquerir, Form1->popUpMnuModeEtalonner,
                           Form1->popUpMnuModeProClip, Form1->popUpMnuPointeur})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!Form1->mnuIma100->isEnabled());
        for (QWidget *w : std::initializer_list<QWidget *>{Form1->indicX1, Form1->indicY1,
                                                           Form1->indicX2, Form1->indicY2})
            QVERIFY(!w->isHidden());

        // The properties page shows the opened clip once re-filled.
        Form1->RAZProClip();
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       10"));
        QCOMPARE(Form1->lblDurTot->text(), QStringLiteral("مدة الفيديو(ثا):0.400ثا"));
        QCOMPARE(Form1->lblFrequence->text(), QStringLiteral("التواتر :   25  صورة / ثا"));
        QCOMPARE(Form1->lblPeriode->text(), QStringLiteral("مدة صورة (م ثا):40   "));
        QCOMPARE(Form1->lblAdapt->text(), QStringLiteral("التكييف % :  100 "));
        QCOMPARE(Form1->lblCodec3->text(), QStringLiteral("Non compressé"));

        // The FourCC as the file writes it; only its look-up ignores the case.
        ouvrir(clip("divx.avi"));
        Form1->RAZProClip();
        QCOMPARE(Form1->lblCodec2->text(), QStringLiteral("DIVX"));
        QCOMPARE(Form1->lblCodec3->text(), QStringLiteral("DivX Codec"));
    }

    void navigation()
    {
        ouvrir(clip("raw_10.avi"));
        for (int i = 0; i < 3; ++i)
            Form1->bbtnSui->click();
        QCOMPARE(imageCourante, 3);
        QCOMPARE(Form1->MediaPlayer1->Position(), 3);
        QCOMPARE(Form1->lblNoImage2->text(), QStringLiteral("4"));
        verifierBoutons(true, true, true, true, true);
        QCOMPARE(Form1->StringGrid1->Row(), 4);
        QCOMPARE(Form1->StringGrid0->Row(), 4);

        // Last from frame 3: one move to the end.
        Form1->bbtnFin->click();
        QCOMPARE(imageCourante, 9);
        QCOMPARE(Form1->MediaPlayer1->Position(), 9);
        verifierBoutons(false, true, false, true, false);
        QCOMPARE(Form1->StringGrid1->Row(), 10);

        Form1->bbtnPre->click();
        QCOMPARE(imageCourante, 8);
        Form1->bbtnDeb->click();
        QCOMPARE(imageCourante, 0);
        QCOMPARE(Form1->MediaPlayer1->Position(), 0);
        verifierBoutons(true, false, true, false, true);

        // Moves past the ends do nothing even when asked for directly.
        Form1->bbtnPlayClick(Form1->bbtnPre);
        QCOMPARE(imageCourante, 0);

        // The time-origin marker stands on frame 1 only.
        QCOMPARE(Form1->lblNoImage5->text(), QStringLiteral("   ( t= 0 )"));
        Form1->bbtnSui->click();
        QCOMPARE(Form1->lblNoImage5->text(), QString());
    }

    void lectureJusquALaFin()
    {
        ouvrir(clip("raw_10.avi"));
        Form1->bbtnSui->click();
        QSignalSpy fin(Form1->MediaPlayer1, &TMediaPlayer::OnNotify);
        Form1->bbtnPlay->click();
        QCOMPARE(Form1->MediaPlayer1->Mode(), TMediaPlayer::ModeLecteur::Lecture);
        QVERIFY(fin.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(fin.count(), 1);
        QCOMPARE(Form1->MediaPlayer1->Position(), 9);
        QCOMPARE(imageCourante, 9);
        QCOMPARE(Form1->StringGrid1->Row(), 10);
        QCOMPARE(Form1->StringGrid0->Row(), 10);
        // Stepping goes on from there.
        Form1->bbtnPre->click();
        QCOMPARE(Form1->MediaPlayer1->Position(), 8);
    }

    void secondClipSurDesMesures()
    {
        ouvrir(clip("raw_10.avi"));
        Form1->StringGrid0->setCells(1, 1, QStringLiteral("12"));
        Form1->StringGrid0->setCells(2, 1, QStringLiteral("34"));
        Form1->StringGrid1->setCells(1, 1, QStringLiteral(" 1.20E+1"));
        Form1->StringGrid1->setCells(2, 1, QStringLiteral(" 3.40E+1"));
        ouvrir(clip("mjpeg.avi"));
        QVERIFY(plateformeTest.messages.empty()); // no question before discarding
        QCOMPARE(Form1->StringGrid0->Cells(1, 1), QString());
        QCOMPARE(Form1->StringGrid1->Cells(2, 1), QString());
        QCOMPARE(nbImages, 30);
        QCOMPARE(imageCourante, 0);
        QCOMPARE(Form1->lblNoImage4->text(), QStringLiteral("30"));
    }

    void annulerRestaureLesProprietes()
    {
        ouvrir(clip("raw_10.avi"));
        Form1->RAZProClip();
        const QString codec = Form1->lblCodec3->text();
        // Previews of other files, then cancel.
        plateformeTest.fichiersOuverts.push_back({clip("mjpeg.avi"), QString()});
        Form1->bbtnOpenAviClick();
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsProClip);
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       10"));
        QCOMPARE(Form1->lblCodec3->text(), codec);
        QCOMPARE(Form1->lblAdapt->text(), QStringLiteral("التكييف % :  100 "));
        QCOMPARE(Form1->lblNomAvi->text(), clip("raw_10.avi"));
        QCOMPARE(nbImages, 10);
    }

    void annulerSansClip()
    {
        plateformeTest.fichiersOuverts.push_back({QString()});
        Form1->bbtnOpenAviClick();
        QVERIFY(!Form1->clipOuvert());
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsProClip);
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       0"));
        QCOMPARE(Form1->lblCodec2->text(), QStringLiteral("?"));
    }

    void apercus()
    {
        // A clip: its header values.
        Form1->OpenDialog1SelectionChange(clip("mjpeg.avi"));
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       30"));
        QCOMPARE(Form1->lblDurTot->text(), QStringLiteral("مدة الفيديو(ثا):1.200  "));
        QCOMPARE(Form1->lblCodec3->text(), QStringLiteral("inconnu"));
        // 100 bytes: the end-of-file error, the labels keep their texts.
        Form1->OpenDialog1SelectionChange(fichierOctets("court.avi", QByteArray(100, 'x')));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QCOMPARE(plateformeTest.messages.back().texte,
                 QStringLiteral("Lecture au-delà de la fin de fichier"));
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       30"));
        // A longer file that is no AVI: invalid numbers, the empty texts.
        Form1->OpenDialog1SelectionChange(fichierOctets("texte.avi", QByteArray(400, '\0')));
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       0"));
        // A read-only clip previews too.
        const QString lectureSeule = dossier.filePath(QStringLiteral("ro.avi"));
        QFile::copy(clip("raw_10.avi"), lectureSeule);
        QFile::setPermissions(lectureSeule, QFileDevice::ReadOwner);
        Form1->OpenDialog1SelectionChange(lectureSeule);
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       10"));
        // A missing file shows the properties of the open clip (none here).
        Form1->OpenDialog1SelectionChange(dossier.filePath(QStringLiteral("absent.avi")));
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       0"));
    }

    void mauvaisFichiersGardentLeClip_data()
    {
        QTest::addColumn<QByteArray>("octets");
        QByteArray aleatoire(20000, '\0');
        quint32 x = 12345;
        for (char &c : aleatoire) {
            x = x * 1103515245u + 12345u;
            c = char(x >> 24);
        }
        QFile vrai(clip("divx.avi"));
        vrai.open(QIODevice::ReadOnly);
        const QByteArray debut = vrai.read(2048);
        QTest::newRow("aléatoire") << aleatoire;
        QTest::newRow("tronqué") << debut;
        QTest::newRow("texte") << QByteArray("ceci n'est pas une vidéo\n").repeated(40);
        QTest::newRow("vide") << QByteArray();
    }

    void mauvaisFichiersGardentLeClip()
    {
        QFETCH(QByteArray, octets);
        ouvrir(clip("raw_10.avi"));
        Form1->bbtnSui->click();
        Form1->bbtnSui->click();
        Form1->StringGrid0->setCells(1, 3, QStringLiteral("7"));
        const QImage avant = Form1->MediaPlayer1->image();

        QElapsedTimer chrono;
        chrono.start();
        ouvrir(fichierOctets("mauvais.avi", octets));
        QVERIFY(chrono.elapsed() < 10000);
        // The preview may already have reported a file too short for a header.
        QVERIFY(plateformeTest.nombreMessages(TypeMessage::Erreur) >= 1);
        QVERIFY(plateformeTest.messages.back().texte.startsWith(echecOuverture + QChar(13)));

        // The open clip, its frame and its table are as they were.
        QVERIFY(Form1->clipOuvert());
        QCOMPARE(Form1->lblNomAvi->text(), clip("raw_10.avi"));
        QCOMPARE(imageCourante, 2);
        QCOMPARE(Form1->MediaPlayer1->Position(), 2);
        QCOMPARE(Form1->MediaPlayer1->image(), avant);
        QCOMPARE(Form1->StringGrid0->Cells(1, 3), QStringLiteral("7"));
        QCOMPARE(nbImages, 10);
        Form1->bbtnSui->click();
        QCOMPARE(imageCourante, 3);
    }

    void cheminTapeSansApercu()
    {
        // The page describes the clip opened, not the one previewed before the path was typed.
        PlateformeCheminTape saisie;
        saisie.fichiersOuverts.push_back({clip("divx_gop250_b.avi")});
        saisie.tape = clip("raw_10.avi");
        installerPlateforme(&saisie);
        Form1->bbtnOpenAviClick();
        installerPlateforme(&plateformeTest);
        QCOMPARE(nbImages, 10);
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       10"));
        QCOMPARE(Form1->lblDimL->text(), QStringLiteral("العرض :   160 بكسل  "));
        QCOMPARE(Form1->lblCodec3->text(), QStringLiteral("Non compressé"));
        // The analysis-program button keeps its picture once its command is enabled.
        QVERIFY(Form1->bbtnCurExec->isEnabled());
        QVERIFY(!Form1->bbtnCurExec->icon().isNull());
        QCOMPARE(Form1->bbtnCurExec->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }

    void aideDuDialogueDOuverture()
    {
        // The open dialog of the real platform has a Help button that opens the help on
        // opening a clip.
        installerPlateforme(nullptr);
        std::vector<std::pair<QString, int>> aides;
        definirAfficheurAide([&](const QString &f, int c) { aides.emplace_back(f, c); });
        bool bouton = false;
        QTimer::singleShot(0, [&] {
            auto *dialogue = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialogue) return;
            if (auto *boite = dialogue->findChild<QDialogButtonBox *>())
                if (QPushButton *aide = boite->button(QDialogButtonBox::Help)) {
                    bouton = aide->text() == QStringLiteral("مساعدة");
                    aide->click();
                }
            dialogue->reject();
        });
        Form1->bbtnOpenAviClick();
        definirAfficheurAide({});
        installerPlateforme(&plateformeTest);
        QVERIFY(bouton);
        QCOMPARE(aides.size(), size_t(1));
        QCOMPARE(aides[0].first, repDepart + QStringLiteral("/kineMar2.hlp"));
        QCOMPARE(aides[0].second, 210);
    }

    void annulerUneOuvertureLente()
    {
        // A clip without an index is read packet by packet and reports its progress; the user
        // cancels: the open clip, its frame and its table stay, and nothing is reported.
        ouvrir(clip("raw_10.avi"));
        Form1->bbtnSui->click();
        Form1->StringGrid0->setCells(1, 2, QStringLiteral("7"));
        plateformeTest.annulerAuRapport = 1;
        ouvrir(clip("divx_sans_index.avi"));
        QVERIFY(plateformeTest.rapports >= 1);
        QVERIFY(plateformeTest.messages.empty());
        QVERIFY(Form1->clipOuvert());
        QCOMPARE(Form1->lblNomAvi->text(), clip("raw_10.avi"));
        QCOMPARE(imageCourante, 1);
        QCOMPARE(nbImages, 10);
        QCOMPARE(Form1->StringGrid0->Cells(1, 2), QStringLiteral("7"));
        QCOMPARE(Form1->lblNbImages->text(), QStringLiteral("عدد الصور :       10"));
        // Not cancelled, the same clip opens.
        plateformeTest.annulerAuRapport = -1;
        ouvrir(clip("divx_sans_index.avi"));
        QCOMPARE(nbImages, 60);
        QCOMPARE(Form1->lblNomAvi->text(), clip("divx_sans_index.avi"));
    }

    void clipCoupeSurLaPage()
    {
        // The properties page tells how many frames of a cut clip could not be read.
        QFile entier(clip("divx_gop250_b.avi"));
        QVERIFY(entier.open(QIODevice::ReadOnly));
        ouvrir(fichierOctets("coupe.avi", entier.read(entier.size() / 2)));
        QVERIFY(Form1->clipOuvert());
        const int perdues = Form1->MediaPlayer1->imagesIlisibles();
        QVERIFY(perdues > 0);
        QVERIFY(!Form1->lblIlisibles->isHidden());
        QVERIFY(Form1->lblIlisibles->text().endsWith(QString::number(perdues)));
        ouvrir(clip("raw_10.avi"));
        QVERIFY(Form1->lblIlisibles->isHidden());
    }

    void fichierAbsentSansClip()
    {
        const QString absent = dossier.filePath(QStringLiteral("absent.avi"));
        ouvrir(absent);
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        // The program's words, the file, the reason in Arabic, the system's words as a detail.
        QCOMPARE(plateformeTest.messages[0].texte,
                 echecOuverture + QChar(13) + absent + QChar(13) +
                     QStringLiteral("الملف غير موجود") + QChar(13) +
                     QStringLiteral("التفاصيل : No such file or directory"));
        // A damaged MP4: no English reason before the detail line.
        QByteArray abime("\0\0\0\x14"
                         "ftypmp42\0\0\0\0mp42",
                         20);
        abime += QByteArray("\0\0\x10\0moov").repeated(300);
        ouvrir(fichierOctets("abime.mp4", abime));
        const QStringList lignes = plateformeTest.messages.back().texte.split(QChar(13));
        QCOMPARE(lignes.size(), 4);
        QCOMPARE(lignes[2], QStringLiteral("الملف تالف أو ليس مقطع فيديو تعرفه المكتبة"));
        QVERIFY(lignes[3].startsWith(QStringLiteral("التفاصيل : ")));
        QVERIFY(!Form1->clipOuvert());
        QVERIFY(!Form1->bbtnPlay->isEnabled());
        Form1->bbtnPlayClick(Form1->bbtnSui); // nothing to move, nothing breaks
        QCOMPARE(imageCourante, -1);
    }

    void redessinDiffere()
    {
        ouvrir(clip("raw_10.avi"));
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        aRedessiner = true;
        Form1->Timer1Timer();
        QVERIFY(!aRedessiner);
        QCOMPARE(imageCourante, 0);
        // Drawing on the overlay does not ask for another redraw.
        Form1->PaintBox1->rafraichir();
        QCoreApplication::processEvents();
        QVERIFY(!aRedessiner);
    }
};

int main(int argc, char **argv)
{
    ApplicationKinemar app(argc, argv);
    TestOuverture t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_ouverture.moc"

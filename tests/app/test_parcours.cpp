// A whole measurement as a teacher makes it, across the commands built apart: display size,
// pointing, scale, Origin, time origin, undo and redo, a session saved and opened again,
// the exports, graphs, printing, help. With KINEMAR_CAPTURES set to a folder, each window
// met on the way is saved there as a picture to look at.
#include "analyse/graphes.h"
#include "app/Unit1.h"
#include "app/controles.h"
#include "app/dialogue.h"
#include "app/etat.h"
#include "app/tailleIma.h"
#include "clip/TMediaPlayer.h"
#include "commun/session.h"
#include "measure/TStringGrid.h"
#include "measure/sessionMesure.h"
#include "printing/Imprimer.h"

#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QDir>
#include <QGuiApplication>
#include <QClipboard>
#include <QStandardPaths>
#include <QProcess>
#include <QToolButton>

namespace
{

void capturer(QWidget *w, const QString &nom)
{
    const QString dossier = qEnvironmentVariable("KINEMAR_CAPTURES");
    if (dossier.isEmpty()) return;
    QTest::qWait(200); // laid out as on screen
    w->grab().save(dossier + QLatin1Char('/') + nom + QStringLiteral(".png"));
}

QStringList tableau()
{
    QStringList l;
    for (TStringGrid *g : {Form1->StringGrid1, Form1->StringGrid0})
        for (int r = 0; r < g->RowCount(); ++r)
            for (int c = 0; c < g->ColCount(); ++c)
                l << g->Cells(c, r);
    return l;
}

// Every caption, box and check of the settings page, by name.
QStringList reglages()
{
    QStringList l;
    for (QWidget *w : Form1->tsEtalon->findChildren<QWidget *>()) {
        QString etat;
        if (auto *e = qobject_cast<QLabel *>(w))
            etat = e->text();
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            etat = e->text();
        else if (auto *e = qobject_cast<QAbstractButton *>(w))
            etat = QString::number(e->isChecked());
        else
            continue;
        l << w->objectName() + QLatin1Char('=') + etat + QLatin1Char('/') +
                 QString::number(w->isEnabled());
    }
    return l;
}

void pointer(int x, int y)
{
    emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, x, y);
}

void taper(QLineEdit *ed, const QString &texte)
{
    QFocusEvent entree(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(ed, &entree);
    ed->selectAll();
    QTest::keyClicks(ed, texte);
    QFocusEvent sortie(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(ed, &sortie);
}

} // namespace

class TestParcours : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QTemporaryDir dossier;
    // What each dialog does when shown; by default it is captured and closed with Escape.
    std::map<QString, std::function<void(QDialog *)>> reponses;

    // Opens a clip of the test set in the window shown, which has the keyboard.
    void ouvrirMontre(const char *clip)
    {
        plateformeTest.fichiersOuverts.push_back(
            {QStringLiteral(KINEMAR_CLIPS_DIR "/") + QLatin1String(clip)});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
    }

    // The common scale typed as a teacher does: its box, Enter, back to the table with the
    // focus still in the box.
    static void taperEchelleCommune(const QString &longueur)
    {
        Form1->PageControl1->setCurrentWidget(Form1->tsEtalon);
        Form1->rbEtalonSimu->click();
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        Form1->edSi->setFocus();
        QTRY_VERIFY(Form1->edSi->hasFocus());
        Form1->edSi->selectAll();
        QTest::keyClicks(Form1->edSi, longueur);
        QTest::keyClick(Form1->edSi, Qt::Key_Return);
        Form1->PageControl1->setCurrentWidget(Form1->tsMesures);
    }

private slots:
    void init()
    {
        debuterSession(plateformeTest);
        plateformeTest.surModal = [this](QDialog *d) {
            d->show();
            capturer(d, QStringLiteral("parcours_") + d->objectName());
            const auto r = reponses.find(d->objectName());
            if (r != reponses.end())
                r->second(d);
            else
                QTest::keyClick(d, Qt::Key_Escape);
            const int resultat = d->result();
            d->hide();
            return resultat;
        };
    }
    void cleanup() { terminerSession(); }

    void mesureEntiere()
    {
        // A phone clip, H.264 in MP4, picked in the open dialog as Ctrl+O shows it.
        QString clip = dossier.filePath(QStringLiteral("telephone.mp4"));
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty() ||
            QProcess::execute(ffmpeg, {"-loglevel", "error", "-f", "lavfi", "-i",
                                       "testsrc=size=160x120:rate=25", "-t", "1.2", "-c:v",
                                       "libx264", "-pix_fmt", "yuv420p", clip}) != 0)
            clip = QStringLiteral(KINEMAR_CLIPS_DIR "/divx.avi"); // no ffmpeg command here
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        plateformeTest.fichiersOuverts.push_back({clip});
        QTest::keyClick(Form1, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(Form1->clipOuvert());
        const DialogueFichier &ouverture = plateformeTest.dialoguesFichiers.back();
        const QString filtre =
            ouverture.filtre.split(QStringLiteral(";;")).value(ouverture.filtreInitial);
        const QString motifs = filtre.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
        QVERIFY2(QDir::match(motifs.split(QLatin1Char(' ')), QFileInfo(clip).fileName()),
                 qPrintable(filtre));

        // Through the clip from the keyboard, back to its first frame.
        Form1->ScrollBox1->setFocus();
        for (auto [touche, image] : {std::pair{Qt::Key_PageDown, 1},
                                     {Qt::Key_PageDown, 2},
                                     {Qt::Key_End, Form1->MediaPlayer1->Length() - 1},
                                     {Qt::Key_PageUp, Form1->MediaPlayer1->Length() - 2},
                                     {Qt::Key_Home, 0}}) {
            QTest::keyClick(QApplication::focusWidget(), touche);
            QCOMPARE(imageCourante, image);
        }
        // The tracking button keeps its short caption once its action has changed.
        QCOMPARE(Form1->bbtnSuiviAuto->text(), QStringLiteral("تتبع تلقائي"));

        reponses[QStringLiteral("tailleImaBox")] = [](QDialog *) {
            tailleImaBox->udPc->setPosition(50);
            tailleImaBox->OKBtn->click();
        };
        Form1->bbtnImaClick();
        QCOMPARE(pcAffichage, 50);

        // Two points on five frames, a time origin, a scale and an Origin.
        Form1->udPointsPlan->cliquer(true);
        for (int f = 0; f < 5; ++f)
            for (int p = 1; p <= 2; ++p)
                pointer(20 * p + 3 * f, 60 - 7 * f - p);
        Form1->udt0->setPosition(1);
        Form1->udt0Click();
        Form1->udt0MouseUp();
        Form1->activerPage(Form1->tsEtalon);
        Form1->PageControl1Change();
        Form1->rbEtalonSimu->setChecked(true);
        taper(Form1->edSi, QStringLiteral("0.5"));
        Form1->rbChxOrig->setChecked(true);
        pointer(10, 70);
        capturer(Form1, QStringLiteral("reglages"));
        Form1->activerPage(Form1->tsMesures);
        Form1->PageControl1Change();
        capturer(Form1, QStringLiteral("mesures"));

        // The scale changed as a teacher does it: the table shows every row anew.
        const QStringList avantEchelle = tableau();
        taperEchelleCommune(QStringLiteral("2"));
        const QStringList mesure = tableau();
        QVERIFY(mesure != avantEchelle);
        QVERIFY(Form1->StringGrid1->updatesEnabled());

        // Everything undone, then redone.
        SessionMesure *session = Form1->sessionMesure;
        for (int i = 0; i < 50 && (i == 0 || session->mnuAnnuler->isEnabled()); ++i)
            session->annuler();
        QVERIFY(!session->mnuAnnuler->isEnabled());
        for (int i = 0; i < 50 && session->mnuRetablir->isEnabled(); ++i)
            session->retablir();
        QCOMPARE(tableau(), mesure);

        // Graphs open while the session is saved and opened again.
        QTest::mouseClick(Form1->bbtnGraphes, Qt::LeftButton);
        QVERIFY(Form1->GrapheBox && Form1->GrapheBox->isVisible());
        const int points = int(Form1->GrapheBox->seriePoints->count());
        QVERIFY(points > 0);
        capturer(Form1->GrapheBox, QStringLiteral("graphes"));
        const QString fichier = dossier.filePath(QStringLiteral("essai.kinemar"));
        plateformeTest.fichiersEnregistres.push_back(fichier);
        QVERIFY(session->enregistrerSous());
        plateformeTest.reponses.push_back(Reponse::Oui);
        QVERIFY(Form1->ouvrirSession(fichier));
        QCOMPARE(pcAffichage, 50);
        QCOMPARE(tableau(), mesure);
        QCOMPARE(int(Form1->GrapheBox->seriePoints->count()), points);

        // The exports from the session opened again.
        const QString cw3 = dossier.filePath(QStringLiteral("essai.cw3"));
        const QString txt = dossier.filePath(QStringLiteral("essai.txt"));
        plateformeTest.fichiersEnregistres.push_back(cw3);
        Form1->SaveCW3Execute();
        reponses[QStringLiteral("FormatTxtBox")] = [](QDialog *d) {
            static_cast<TDialogueKinemar *>(d)->OKBtn->click();
        };
        plateformeTest.fichiersEnregistres.push_back(txt);
        Form1->SaveTXTExecute();
        for (const QString &f : {cw3, txt})
            QVERIFY2(QFileInfo(f).size() > 0, qPrintable(f));

        // Printed to a PDF file.
        const QString pdf = dossier.filePath(QStringLiteral("page.pdf"));
        dlgImprimer->imprimante()->setOutputFormat(QPrinter::PdfFormat);
        dlgImprimer->imprimante()->setOutputFileName(pdf);
        reponses[QStringLiteral("dlgImprimer")] = [](QDialog *) { dlgImprimer->OKBtn->click(); };
        Form1->bbtnImprimerClick();
        QVERIFY(QFileInfo(pdf).size() > 0);
        // A PDF reader shows its title and maker.
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (!pdfinfo.isEmpty()) {
            QProcess info;
            info.start(pdfinfo, {pdf});
            QVERIFY(info.waitForFinished());
            const QString texte = QString::fromUtf8(info.readAllStandardOutput());
            QVERIFY2(texte.contains(QRegularExpression(QStringLiteral("Title: +Kinemar - ") +
                                                       QFileInfo(clip).fileName())) &&
                         texte.contains(QRegularExpression(QStringLiteral("Creator: +Kinemar\n"))),
                     qPrintable(texte));
        }
        if (qEnvironmentVariableIsSet("KINEMAR_CAPTURES"))
            QFile::copy(pdf,
                        qEnvironmentVariable("KINEMAR_CAPTURES") + QStringLiteral("/page.pdf"));

        // The menus, with the commands each part added.
        for (QAction *a : Form1->menuBar()->actions()) {
            if (!a->menu()) continue;
            a->menu()->popup(Form1->mapToGlobal(QPoint(300, 30)));
            capturer(a->menu(), QStringLiteral("menu_") + a->menu()->objectName());
            a->menu()->close();
        }

        // Help and the about box.
        QTest::keyClick(Form1->StringGrid1, Qt::Key_F1);
        QCOMPARE(plateformeTest.aides.back().second, 230);
        Form1->propos1Click();
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 0);
    }

    // A length typed on the settings page, the focus still in its box when the user goes
    // back to the table: the page switch holds repaints while the box is left, and the
    // table recomputed then must still paint afterwards, with the new values.
    void tableauApresChangementDePage()
    {
        ouvrirMontre("divx.avi");
        for (int f = 0; f < 4; ++f)
            pointer(30 + 5 * f, 40 + 3 * f);
        const QStringList avant = tableau();
        taperEchelleCommune(QStringLiteral("2"));
        for (TStringGrid *g : {Form1->StringGrid0, Form1->StringGrid1})
            QVERIFY2(g->updatesEnabled() && g->viewport()->updatesEnabled(),
                     qPrintable(g->objectName()));
        const QStringList apres = tableau();
        QVERIFY(apres != avant);
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 2; ++c)
                QVERIFY(!Form1->StringGrid1->Cells(c, r).isEmpty());
    }

    // Stepping from the keyboard: Page Down/Up, Home/End, and the arrows the way the frame
    // buttons run on screen; auto-repeated presses step too; a text box keeps its keys.
    void pasAuClavier()
    {
        ouvrirMontre("raw_10.avi");
        Form1->ScrollBox1->setFocus();
        QTRY_VERIFY(Form1->ScrollBox1->hasFocus());
        const int dernier = Form1->MediaPlayer1->Length() - 1;
        const bool gaucheSuivante =
            Form1->bbtnSui->mapToGlobal(QPoint()).x() < Form1->bbtnPre->mapToGlobal(QPoint()).x();
        const Qt::Key suivante = gaucheSuivante ? Qt::Key_Left : Qt::Key_Right;
        const Qt::Key precedente = gaucheSuivante ? Qt::Key_Right : Qt::Key_Left;
        const struct {
            Qt::Key touche;
            int repetitions;
            int attendue;
        } pas[] = {{Qt::Key_PageDown, 1, 1},
                   {Qt::Key_PageDown, 3, 4},
                   {Qt::Key_PageUp, 2, 2},
                   {suivante, 2, 4},
                   {precedente, 1, 3},
                   {Qt::Key_End, 1, dernier},
                   {Qt::Key_PageDown, 2, dernier},
                   {Qt::Key_Home, 1, 0},
                   {Qt::Key_PageUp, 1, 0}};
        for (const auto &p : pas) {
            for (int i = 0; i < p.repetitions; ++i) {
                QKeyEvent appui(QEvent::KeyPress, p.touche, Qt::NoModifier, QString(), i > 0);
                QCoreApplication::sendEvent(QApplication::focusWidget(), &appui);
            }
            QCOMPARE(imageCourante, p.attendue);
        }
        QVERIFY(Form1->mnuImageSuivante->text().endsWith(QStringLiteral("\tPgDown")));
        QVERIFY(Form1->mnuImageSuivante->isEnabled() && !Form1->mnuImagePremiere->isEnabled());
        Form1->mnuImageSuivante->trigger();
        QCOMPARE(imageCourante, 1);

        Form1->PageControl1->setCurrentWidget(Form1->tsEtalon);
        Form1->rbEtalonSimu->click();
        Form1->edSi->setFocus();
        QTRY_VERIFY(Form1->edSi->hasFocus());
        for (Qt::Key t : {Qt::Key_PageDown, Qt::Key_End, suivante})
            QTest::keyClick(Form1->edSi, t);
        QCOMPARE(imageCourante, 1);
    }

    // The settings page after opening a clip of another size, or a session, reads as in a
    // program that opened that clip or session first.
    void reglagesApresOuverture()
    {
        auto ouvrir = [this](const char *clip) {
            plateformeTest.fichiersOuverts.push_back(
                {QStringLiteral(KINEMAR_CLIPS_DIR "/") + QLatin1String(clip)});
            plateformeTest.reponses.push_back(Reponse::Oui);
            Form1->bbtnOpenAviClick();
            QVERIFY(Form1->clipOuvert());
        };
        auto etalonner = [](int x, int y) {
            Form1->PageControl1->setCurrentWidget(Form1->tsEtalon);
            Form1->rbEtalonSimu->click();
            pointer(x, y);
            pointer(x + 40, y + 30);
            taper(Form1->edSi, QStringLiteral("0.25"));
            Form1->rbChxOrig->click();
            pointer(x + 5, y + 7);
        };
        Form1->show();
        ouvrir("chute.avi");
        const QStringList frais = reglages();
        ouvrir("divx.avi");
        etalonner(20, 30);
        ouvrir("chute.avi");
        QCOMPARE(reglages(), frais);

        etalonner(50, 200);
        const QString fichier = dossier.filePath(QStringLiteral("reglages.kinemar"));
        plateformeTest.fichiersEnregistres.push_back(fichier);
        QVERIFY(Form1->sessionMesure->enregistrerSous());
        ouvrir("divx.avi");
        etalonner(10, 10);
        plateformeTest.reponses.push_back(Reponse::Oui);
        QVERIFY(Form1->ouvrirSession(fichier));
        const QStringList apresAutre = reglages();
        cleanup(); // the same session opened by a program just started
        init();
        Form1->show();
        QVERIFY(Form1->ouvrirSession(fichier));
        QCOMPARE(apresAutre, reglages());
    }

    // Small things a class sees: the decimals up-downs show their number, the current point's
    // number can be read in the default white, Escape closes the graph window.
    void lisibilite()
    {
        plateformeTest.fichiersOuverts.push_back({QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi")});
        Form1->bbtnOpenAviClick();
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        for (TUpDown *ud : {Form1->udFmt_t, Form1->udFmt_xy}) {
            auto *nombre = Form1->pnlDecimales->findChild<QLabel *>(
                ud == Form1->udFmt_t ? QStringLiteral("lblDecimalesT")
                                     : QStringLiteral("lblDecimalesXY"));
            QVERIFY(nombre && nombre->isVisible());
            ud->cliquer(false);
            QCOMPARE(nombre->text(), QString::number(ud->Position()));
            QVERIFY(nombre->width() >= nombre->fontMetrics().horizontalAdvance(nombre->text()));
        }
        const QPalette p = Form1->lblPointNumero->palette();
        QVERIFY(std::abs(p.color(QPalette::WindowText).lightnessF() -
                         p.color(QPalette::Window).lightnessF()) > 0.4);
        QVERIFY(!Form1->lblPointNumero->text().isEmpty());

        // The graph panel from the keyboard: Ctrl+G docks it beside the picture with the focus
        // in it, Escape there closes it and leaves the main window's Escape alone.
        Form1->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), Form1);
        QTest::keyClick(Form1, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(Form1->GrapheBox->isVisible() && !Form1->dockGraphes->isFloating());
        QTRY_VERIFY(Form1->GrapheBox->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!Form1->GrapheBox->isVisible());
    }

    // White, the default colour of markers and axes, shows on any picture: a dark outline
    // around each line on screen; black on the clipboard picture's white ground.
    void marquesVisibles()
    {
        plateformeTest.fichiersOuverts.push_back({QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi")});
        Form1->bbtnOpenAviClick();
        pointer(40, 50);
        Form1->redessinerImageCourante();
        const QImage ecran = Form1->PaintBox1->Canvas();
        QCOMPARE(ecran.pixelColor(40, 50), QColor(Qt::white)); // the cross's centre
        QCOMPARE(ecran.pixelColor(39, 49), QColor(Qt::black)); // its outline, between the arms

        reponses[QStringLiteral("SauveGraphicPPBox")] = [](QDialog *d) {
            static_cast<TDialogueKinemar *>(d)->OKBtn->click();
        };
        Form1->mnuGraphiquePPClick();
        const QImage copie = QGuiApplication::clipboard()->image();
        QCOMPARE(copie.pixelColor(40, 50), QColor(Qt::black));
        QCOMPARE(copie.pixelColor(39, 49), QColor(Qt::white)); // the ground, no outline
    }

    // The clip gone from the disk since it was opened: tracking says so in Arabic.
    void suiviSansLeClip()
    {
        const QString avi = dossier.filePath(QStringLiteral("parti.avi"));
        QVERIFY(QFile::copy(QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi"), avi));
        plateformeTest.fichiersOuverts.push_back({avi});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        QVERIFY(QFile::remove(avi));
        Form1->suivreDepuis(QRect(10, 10, 20, 20));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(plateformeTest.messages.back().texte.startsWith(
            QStringLiteral("تعذر فتح مقطع الفيديو") + QChar(13) + avi));
    }

    // Escape in each of the program's dialogs runs its Cancel once, and closes it.
    void echapDansChaqueDialogue()
    {
        plateformeTest.fichiersOuverts.push_back({QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        // Tracking waits for its box: Escape stays the dialogs' own.
        Form1->SuiviAuto->trigger();
        QVERIFY(Form1->SuiviAuto->isChecked());
        const QList<TDialogueKinemar *> dialogues = Form1->findChildren<TDialogueKinemar *>();
        QVERIFY(dialogues.size() >= 8);
        for (TDialogueKinemar *d : dialogues) {
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            capturer(d, d->objectName());
            std::unique_ptr<QSignalSpy> annuler;
            if (d->CancelBtn)
                annuler = std::make_unique<QSignalSpy>(d->CancelBtn, &QPushButton::clicked);
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY2(!d->isVisible(), qPrintable(d->objectName()));
            if (annuler) QVERIFY2(annuler->count() == 1, qPrintable(d->objectName()));
        }
        QVERIFY(Form1->SuiviAuto->isChecked());
    }
};

QTEST_MAIN(TestParcours)
#include "test_parcours.moc"

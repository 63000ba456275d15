// Keeping the work in the main window: session files saved and opened again on test clips,
// the clip found, moved or changed, and undo/redo across every kind of change.
#include "app/Unit1.h"
#include "app/tailleIma.h"
#include "commun/session.h"
#include "measure/TStringGrid.h"
#include "measure/fichierMesure.h"
#include "measure/mesure.h"
#include "measure/sessionMesure.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

// What the exports read: every cell of the table and of the pixel grid.
QStringList grilles()
{
    QStringList l;
    for (TStringGrid *g : {Form1->StringGrid1, Form1->StringGrid0})
        for (int r = 0; r < g->RowCount(); ++r)
            for (int c = 0; c < g->ColCount(); ++c)
                l << g->Cells(c, r);
    return l;
}

void pointer(int x, int y)
{
    emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, x, y);
}

// Positions as tracking writes them, with decimals, on frames 8 to 10 of point 1.
void suivre()
{
    const char *textes[][2] = {{"33.25", "41.5"}, {"35.07", "40"}, {"36.9", "38.75"}};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 2; ++k)
            Form1->StringGrid0->setCells(1 + k, 8 + i, QString::fromLatin1(textes[i][k]));
    Form1->ActualGrid();
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

void pageMesures()
{
    Form1->activerPage(Form1->tsMesures);
    Form1->PageControl1Change();
}

SessionMesure *session()
{
    return Form1->sessionMesure;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QTemporaryDir dossier;

    void ouvrir(const QString &f)
    {
        plateformeTest.fichiersOuverts.push_back({f});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
    }

    // n points on each of the first frames, a time origin, a calibration, a moved Origin
    // and flipped axes: everything a session keeps.
    void mesurer(int n)
    {
        for (int i = 1; i < n; ++i)
            Form1->udPointsPlan->cliquer(true);
        for (int f = 0; f < 5; ++f)
            for (int p = 1; p <= n; ++p)
                pointer(10 * p + 3 * f, 50 - 7 * f - p);
        Form1->udt0->setPosition(2);
        Form1->udt0Click();
        Form1->udt0MouseUp();
        Form1->rbEtalonSimu->setChecked(true);
        taper(Form1->edSi, QStringLiteral("0.5"));
        Form1->rbChxOrig->setChecked(true);
        pointer(20, 45);
        Form1->tbXnYN->click();
        pageMesures();
    }

private slots:
    void init()
    {
        debuterSession(plateformeTest);
        QVERIFY(dossier.isValid());
    }
    void cleanup() { terminerSession(); }

    void allerRetour_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("pourcent");
        QTest::addColumn<QString>("cadence"); // capture rate box, empty as recorded
        QTest::newRow("1 point") << 1 << 100 << QString();
        QTest::newRow("4 points a 50 %, ralenti") << 4 << 50 << QStringLiteral("120");
    }

    void allerRetour()
    {
        QFETCH(int, points);
        QFETCH(int, pourcent);
        QFETCH(QString, cadence);
        // The clip beside the session: named relatively, found again after the folder moved.
        const QString avi = dossier.filePath(QStringLiteral("divx.avi"));
        QVERIFY(QFile::copy(clip("divx.avi"), avi) || QFile::exists(avi));
        ouvrir(avi);
        if (pourcent != 100) {
            tailleImaBox->udPc->setPosition(pourcent);
            tailleImaBox->MaJ();
            pcAffichage = pourcent;
        }
        auto *boite = Form1->findChild<QLineEdit *>(QStringLiteral("edCadenceTournage"));
        boite->setText(cadence);
        emit boite->editingFinished();
        mesurer(points);
        suivre();
        // A pair hidden by a smaller point count comes back too.
        Form1->udPointsPlan->cliquer(false);
        const QStringList avant = grilles();
        const Mesure mesure = Form1->lireMesure();
        QCOMPARE(mesure.nbPointages(), 5 * points + 3);

        const QString fichier = dossier.filePath(QStringLiteral("seance.kinemar"));
        plateformeTest.fichiersEnregistres.push_back(fichier);
        QVERIFY(session()->enregistrer());
        QVERIFY(plateformeTest.messages.empty());

        // Something else in the window, then the session again.
        ouvrir(clip("raw_10.avi"));
        QVERIFY(Form1->ouvrirSession(fichier));
        QVERIFY(plateformeTest.messages.empty());
        QCOMPARE(grilles(), avant);
        QVERIFY(Form1->lireMesure() == mesure);
        QCOMPARE(Form1->udPointsPlan->Position(), std::max(1, points - 1));
        QCOMPARE(pcAffichage, pourcent);
        QCOMPARE(boite->text(), cadence);
        QCOMPARE(cadenceTournage, cadence.toDouble());
        // Ctrl+S now writes the same file without asking.
        QVERIFY(session()->enregistrer());
        QVERIFY(plateformeTest.fichiersEnregistres.empty());
    }

    void clipIntrouvableDeplaceOuChange()
    {
        const QString avi = dossier.filePath(QStringLiteral("raw_10.avi"));
        QFile::remove(avi);
        QVERIFY(QFile::copy(clip("raw_10.avi"), avi));
        ouvrir(avi);
        pointer(5, 6);
        const QString fichier = dossier.filePath(QStringLiteral("s.kinemar"));
        plateformeTest.fichiersEnregistres.push_back(fichier);
        QVERIFY(session()->enregistrerSous());
        ouvrir(clip("divx.avi"));
        pointer(7, 8);
        const Mesure travail = Form1->lireMesure();
        const QStringList travailGrilles = grilles();

        // Missing and not found in the file dialog: an error, and the work stays.
        const QString ailleurs = dossier.filePath(QStringLiteral("ailleurs.avi"));
        QVERIFY(QFile::rename(avi, ailleurs));
        QVERIFY(!Form1->ouvrirSession(fichier));
        // The dialog offers the clip's own type first, then every clip.
        QVERIFY(plateformeTest.dialoguesFichiers.back().filtre.startsWith(
            QStringLiteral("fichiers AVI (*.avi);;كل مقاطع الفيديو (")));
        QCOMPARE(plateformeTest.dialoguesFichiers.back().filtreInitial, 0);
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(plateformeTest.messages.back().texte.contains(QStringLiteral("لم يُعثر")));
        QVERIFY(Form1->lireMesure() == travail);
        QCOMPARE(grilles(), travailGrilles);

        // Changed since: named in a warning; No keeps the work.
        QFile f(ailleurs);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(f.size() / 2); // a pixel: the clip still opens
        const char octet = f.peek(1).at(0);
        f.write(QByteArray(1, char(octet ^ 1)));
        f.close();
        plateformeTest.messages.clear();
        plateformeTest.fichiersOuverts.push_back({ailleurs});
        plateformeTest.reponses = {Reponse::Non};
        QVERIFY(!Form1->ouvrirSession(fichier));
        QCOMPARE(plateformeTest.messages.size(), std::size_t(1));
        QCOMPARE(plateformeTest.messages[0].type, TypeMessage::Avertissement);
        QVERIFY(plateformeTest.messages[0].texte.contains(QStringLiteral("ailleurs.avi")));
        QVERIFY(Form1->lireMesure() == travail);

        // Yes: the moved clip opens with the session's table.
        plateformeTest.fichiersOuverts.push_back({ailleurs});
        plateformeTest.reponses = {Reponse::Oui};
        QVERIFY(Form1->ouvrirSession(fichier));
        QCOMPARE(Form1->StringGrid0->Cells(1, 1), QStringLiteral("5"));

        // A file that is no session: an error and nothing changed (the kinds of bad file
        // are gone through without windows).
        const Mesure ouverte = Form1->lireMesure();
        const QString faux = dossier.filePath(QStringLiteral("faux.kinemar"));
        QFile g(faux);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write("{\"format\": 1, \"clip\": ");
        g.close();
        plateformeTest.messages.clear();
        QVERIFY(!Form1->ouvrirSession(faux));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(Form1->lireMesure() == ouverte);
    }

    // Every kind of change is one step; undoing all of them walks back through every state
    // and redoing walks forward again, grids included.
    void annulerRetablir()
    {
        ouvrir(clip("raw_10.avi"));
        auto etape = [] { session()->enregistrerEtape(); };
        etape(); // the history starts with the clip
        std::vector<Mesure> etats{Form1->lireMesure()};
        std::vector<QStringList> tables{grilles()};
        auto garder = [&] {
            etape();
            etats.push_back(Form1->lireMesure());
            tables.push_back(grilles());
        };
        Form1->udPointsPlan->cliquer(true); // point count
        garder();
        for (int i = 0; i < 6; ++i) { // pointings
            pointer(10 + i, 20 + i);
            garder();
        }
        suivre(); // a tracked run: undo gives its decimals back as they were written
        garder();
        Form1->StringGrid1->setCol(3); // clear a column pair, then a row
        Form1->Button0Click();
        garder();
        Form1->StringGrid1->setRow(2);
        Form1->StringGrid1->setCol(1);
        Form1->Button1Click();
        garder();
        Form1->udt0->setPosition(3); // time origin
        Form1->udt0Click();
        Form1->udt0MouseUp();
        garder();
        Form1->udFmt_t->setPosition(1); // decimals
        Form1->udFmt_tClick();
        garder();
        Form1->rbEtalonHori->setChecked(true); // calibration
        taper(Form1->edSH, QStringLiteral("2"));
        garder();
        Form1->rbChxOrig->setChecked(true); // Origin, then axes
        pointer(40, 50);
        garder();
        Form1->tbXpYn->click();
        garder();
        Form1->rbEtalonSimu->setChecked(true); // two common scales: undo keeps the mode
        taper(Form1->edSi, QStringLiteral("3"));
        garder();
        QTest::qWait(2100); // a calibration a moment later is a step of its own
        taper(Form1->edSi, QStringLiteral("4"));
        garder();
        plateformeTest.reponses = {Reponse::Oui}; // a display size clears the pointings
        tailleImaBox->udPc->setPosition(50);
        tailleImaBox->OKBtnClick();
        garder();
        QVERIFY(!Form1->tableauOccupe());
        pointer(35, 36);
        garder();
        pageMesures();
        Form1->Button2Click(); // the whole table
        garder();
        QCOMPARE(Form1->sessionMesure->pile()->count(), int(etats.size()) - 1);
        QVERIFY(!Form1->tableauOccupe());

        for (int i = int(etats.size()) - 2; i >= 0; --i) {
            session()->mnuAnnuler->trigger();
            QVERIFY2(Form1->lireMesure() == etats[i], qPrintable(QString::number(i)));
            QCOMPARE(grilles(), tables[i]);
        }
        QVERIFY(!session()->mnuAnnuler->isEnabled());
        for (std::size_t i = 1; i < etats.size(); ++i) {
            session()->mnuRetablir->trigger();
            QVERIFY(Form1->lireMesure() == etats[i]);
            QCOMPARE(grilles(), tables[i]);
        }
        // Undoing "clear the table" brings every point back; the shortcuts are the usual ones.
        session()->annuler();
        QVERIFY(Form1->tableauOccupe());
        QCOMPARE(session()->mnuAnnuler->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(session()->mnuRetablir->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                      QKeySequence(Qt::CTRL | Qt::Key_Y)}));

        // Without the test's help: the step is recorded once the event is over.
        const int avant = session()->pile()->index();
        pointer(30, 30);
        QTRY_COMPARE(session()->pile()->index(), avant + 1);
        // A new clip starts a new history; opening it asked nothing new.
        plateformeTest.messages.clear();
        ouvrir(clip("divx.avi"));
        QTRY_COMPARE(session()->pile()->count(), 0);
        QVERIFY(plateformeTest.messages.empty());
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"

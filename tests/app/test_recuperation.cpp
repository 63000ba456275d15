// Recovery after a crash: a child process (this program started again) measures and is
// killed; the next start offers the work from the File menu and gets the same table. A
// clean exit leaves nothing to recover.
#include "app/Unit1.h"
#include "app/recuperation.h"
#include "commun/limiteTaille.h"
#include "commun/session.h"
#include "measure/TStringGrid.h"
#include "measure/fichierMesure.h"
#include "measure/sessionMesure.h"

#include <QDir>
#include <QStatusBar>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>

namespace
{

const QString kClip = QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi");
const QPoint kPoints[] = {{11, 12}, {21, 22}, {31, 32}};

// The child: opens the clip, points three frames, waits until recovery has them on disk,
// says so, then either waits to be killed or quits as a user would.
int enfant(bool quitter)
{
    PlateformeScriptee plateformeTest;
    debuterSession(plateformeTest);
    if (!Form1->ouvrirClip(kClip)) return 3;
    QElapsedTimer t;
    t.start();
    const QString fichier = Form1->sessionMesure->recuperation()->fichier();
    // The first pointing is written as a whole copy, the next two go to its journal.
    for (int n : {1, 3}) {
        for (int i = n == 1 ? 0 : 1; i < n; ++i)
            emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, kPoints[i].x(), kPoints[i].y());
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            const LectureSession l = Recuperation::lire(fichier);
            if (l.mesure && l.mesure->nbPointages() == n) break;
            if (t.elapsed() > 20000) return 4;
        }
    }
    if (lireFichierSession(fichier).mesure->nbPointages() != 1) return 5;
    std::puts("pret");
    std::fflush(stdout);
    if (quitter) QTimer::singleShot(0, Form1, [] { QCoreApplication::quit(); });
    const int r = QCoreApplication::exec();
    terminerSession();
    return r;
}

QByteArray lireFichier(const QString &nom)
{
    QFile f(nom);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList fichiersEtat(const QString &dossier)
{
    return QDir(dossier + QStringLiteral("/kinemar")).entryList(QDir::Files);
}

} // namespace

class TestRecuperation : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;
    QTemporaryDir etat;

    void lancerEnfant(const char *mode, bool tuer)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), etat.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
        QVERIFY(p.waitForStarted());
        QElapsedTimer t;
        t.start();
        QByteArray sortie;
        while (!sortie.contains("pret")) {
            QVERIFY2(p.state() == QProcess::Running || p.bytesAvailable() > 0,
                     p.readAllStandardError().constData());
            QVERIFY(t.elapsed() < 60000);
            p.waitForReadyRead(200);
            sortie += p.readAllStandardOutput();
        }
        if (tuer) p.kill();
        QVERIFY(p.waitForFinished(30000));
        if (!tuer) QCOMPARE(p.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(etat.isValid());
        qputenv("XDG_STATE_HOME", etat.path().toLocal8Bit());
    }

    void sortiePropreRienARecuperer()
    {
        lancerEnfant("--enfant-propre", false);
        QCOMPARE(fichiersEtat(etat.path()), QStringList());
        debuterSession(plateformeTest);
        QVERIFY(!Form1->sessionMesure->mnuRecuperer->isEnabled());
        terminerSession();
    }

    void tueEnPleineMesure()
    {
        lancerEnfant("--enfant", true);
        QCOMPARE(fichiersEtat(etat.path()).size(), 3); // the copy, its journal, a stale lock

        debuterSession(plateformeTest);
        SessionMesure *s = Form1->sessionMesure;
        QVERIFY(s->mnuRecuperer->isEnabled());
        s->mnuRecuperer->trigger();
        QVERIFY(plateformeTest.messages.empty());
        QVERIFY(Form1->clipOuvert());
        for (int f = 0; f < 3; ++f) {
            QCOMPARE(Form1->StringGrid0->Cells(1, f + 1), QString::number(kPoints[f].x()));
            QCOMPARE(Form1->StringGrid0->Cells(2, f + 1), QString::number(kPoints[f].y()));
            QVERIFY(!Form1->StringGrid1->Cells(1, f + 1).isEmpty());
        }
        QVERIFY(!s->mnuRecuperer->isEnabled());
        // Not a saved session: Ctrl+S asks for a name.
        QVERIFY(s->fichierSession().isEmpty());
        s->recuperation()->attendre();
        terminerSession();
        QCOMPARE(fichiersEtat(etat.path()), QStringList());
    }

    // The copy cannot be written (here a file-size limit below it): the status bar says the
    // work is not protected, the last good copy stays; once writes succeed again, it says so.
    void journalImpossible()
    {
        debuterSession(plateformeTest);
        QVERIFY(Form1->ouvrirClip(kClip));
        Recuperation *r = Form1->sessionMesure->recuperation();
        auto pointer = [r](QPoint p) {
            emit Form1->PaintBox1->MouseUp(Qt::LeftButton, {}, p.x(), p.y());
            QTest::qWait(400); // the change is recorded on the session's next look
            r->attendre();
            QCoreApplication::processEvents();
        };
        pointer(kPoints[0]);
        const QByteArray bonne = lireFichier(r->fichier());
        const QString journal = Recuperation::journalDe(r->fichier());
        QVERIFY(!bonne.isEmpty());

        {
            LimiteTaille limite(4); // below one journal line
            QVERIFY(limite.active());
            pointer(kPoints[1]);
        }
        QTRY_VERIFY(Form1->StatusBar1->currentMessage().startsWith(
            QStringLiteral("تعذر حفظ نسخة الاسترجاع : العمل الجاري غير محمي")));
        QCOMPARE(lireFichier(r->fichier()), bonne);
        QCOMPARE(lireFichier(journal), QByteArray()); // no half line left

        pointer(kPoints[2]);
        QTRY_COMPARE(Form1->StatusBar1->currentMessage(),
                     QStringLiteral("تم حفظ نسخة الاسترجاع : العمل الجاري محمي من جديد"));
        QCOMPARE(lireFichierSession(r->fichier()).mesure->nbPointages(), 3);
        terminerSession();
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 &&
        (!std::strcmp(argv[1], "--enfant") || !std::strcmp(argv[1], "--enfant-propre"))) {
        QApplication app(argc, argv);
        return enfant(!std::strcmp(argv[1], "--enfant-propre"));
    }
    QApplication app(argc, argv);
    TestRecuperation t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_recuperation.moc"

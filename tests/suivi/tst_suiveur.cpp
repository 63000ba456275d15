// The tracker on clips of a known path (tools/mkclip), its refusals and stops, the pixel store
// texts, and kmtrack's output and exit status.
#include "clip/TMediaPlayer.h"
#include "measure/pixels.h"
#include "suivi/suiveur.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <map>

namespace
{

const QString kDossier = QStringLiteral(KINEMAR_CLIPS_DIR);

QString clip(const char *nom)
{
    return kDossier + QLatin1Char('/') + QLatin1String(nom) + QStringLiteral(".avi");
}

std::map<int, QPointF> chemin(const char *nom)
{
    std::map<int, QPointF> vrai;
    QFile f(kDossier + QLatin1Char('/') + QLatin1String(nom) + QStringLiteral(".csv"));
    if (!f.open(QIODevice::ReadOnly)) return vrai;
    while (!f.atEnd()) {
        const QList<QByteArray> champs = f.readLine().trimmed().split(',');
        bool ok = false;
        const int i = champs.value(0).toInt(&ok);
        if (ok && champs.size() == 3) vrai[i] = QPointF(champs[1].toDouble(), champs[2].toDouble());
    }
    return vrai;
}

struct Course {
    BilanSuivi bilan;
    std::vector<PointSuivi> points;
};

Course suivre(const char *nom, int debut, QRect boite, int nombre = -1, int annulerA = -1)
{
    TMediaPlayer lecteur;
    lecteur.setFileName(clip(nom));
    lecteur.Open();
    Course c;
    c.bilan = suivreClip(lecteur, debut, boite, nombre, ReglagesSuivi(), [&](const PointSuivi &p) {
        c.points.push_back(p);
        return p.image != annulerA;
    });
    return c;
}

QRect boiteAutour(QPointF centre, int cote)
{
    return QRect(int(std::lround(centre.x())) - cote / 2, int(std::lround(centre.y())) - cote / 2,
                 cote, cote);
}

} // namespace

class TestSuiveur : public QObject
{
    Q_OBJECT
private slots:
    // The disc over a textured background, with noise and motion blur, to the picture's edge.
    void precision()
    {
        const auto vrai = chemin("suivi_texture");
        QCOMPARE(int(vrai.size()), 40);
        const Course c = suivre("suivi_texture", 0, boiteAutour(vrai.at(0), 29));
        QCOMPARE(c.bilan.fin, FinSuivi::Sorti);
        QCOMPARE(c.bilan.image, 39);
        QCOMPARE(int(c.points.size()), 39);
        double carres = 0;
        for (const PointSuivi &p : c.points) {
            const QPointF e = p.centre - vrai.at(p.image);
            carres += QPointF::dotProduct(e, e);
        }
        const double rms = std::sqrt(carres / double(c.points.size()));
        QVERIFY2(rms <= 0.3, qPrintable(QString::number(rms)));
    }

    // Every codec's clip of the same path, from a frame in the middle, a box off-centre.
    void codecs_data()
    {
        QTest::addColumn<QString>("nom");
        for (const char *n : {"raw", "mjpeg", "divx", "xvid", "mp42", "div3", "cvid", "msvc"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void codecs()
    {
        QFETCH(QString, nom);
        const QByteArray n = nom.toLatin1();
        const auto vrai = chemin(n.constData());
        const Course c = suivre(n.constData(), 5, boiteAutour(vrai.at(5), 21).translated(2, -1));
        QCOMPARE(c.bilan.trouves, int(c.points.size()));
        QVERIFY(c.points.size() >= 20);
        for (const PointSuivi &p : c.points) {
            const QPointF e = p.centre - vrai.at(p.image);
            QVERIFY2(
                std::hypot(e.x(), e.y()) < 0.5,
                qPrintable(
                    QStringLiteral("frame %1 off by %2, %3").arg(p.image).arg(e.x()).arg(e.y())));
        }
    }

    void refus_data()
    {
        QTest::addColumn<QRect>("boite");
        QTest::addColumn<int>("refus");
        QTest::newRow("off the picture") << QRect(-50, -50, 20, 20) << int(RefusDepart::HorsImage);
        QTest::newRow("beyond the right") << QRect(170, 10, 20, 20) << int(RefusDepart::HorsImage);
        QTest::newRow("1 pixel") << QRect(30, 60, 1, 1) << int(RefusDepart::TropPetite);
        QTest::newRow("a line") << QRect(20, 60, 40, 2) << int(RefusDepart::TropPetite);
        QTest::newRow("cut to 3 by the edge")
            << QRect(157, 10, 20, 20) << int(RefusDepart::TropPetite);
        QTest::newRow("one even shade") << QRect(100, 8, 12, 12) << int(RefusDepart::SansDetail);
    }
    void refus()
    {
        QFETCH(QRect, boite);
        QFETCH(int, refus);
        // The ruler-less plain clip: white all around the disc.
        const Course c = suivre("raw_10", 0, boite);
        QCOMPARE(c.bilan.fin, FinSuivi::Refus);
        QCOMPARE(int(c.bilan.refus), refus);
        QVERIFY(c.points.empty());
    }

    // Stops: a blank frame, the end of the clip before the count, a cancel; frames found stay.
    void arrets()
    {
        const auto vrai = chemin("suivi_vide");
        Course c = suivre("suivi_vide", 2, boiteAutour(vrai.at(2), 21));
        QCOMPARE(c.bilan.fin, FinSuivi::Perdu);
        QCOMPARE(c.bilan.image, 8);
        QCOMPARE(c.bilan.score, 0.0); // nothing to match on a blank picture
        QCOMPARE(int(c.points.size()), 6);
        QCOMPARE(c.points.front().image, 2);
        QCOMPARE(c.points.front().score, 1.0);
        QCOMPARE(c.points.back().image, 7);

        const auto vraiLong = chemin("divx_sans_index");
        c = suivre("divx_sans_index", 50, boiteAutour(vraiLong.at(50), 21), 20);
        QCOMPARE(c.bilan.fin, FinSuivi::FinClip);
        QCOMPARE(int(c.points.size()), 10);
        QCOMPARE(c.points.back().image, 59);
        c = suivre("divx_sans_index", 50, boiteAutour(vraiLong.at(50), 21), 5);
        QCOMPARE(c.bilan.fin, FinSuivi::Complet);
        QCOMPARE(int(c.points.size()), 6);
        c = suivre("divx_sans_index", 10, boiteAutour(vraiLong.at(10), 21), -1, 13);
        QCOMPARE(c.bilan.fin, FinSuivi::Annule);
        QCOMPARE(int(c.points.size()), 4);
    }

    void pixels_data()
    {
        QTest::addColumn<double>("valeur");
        QTest::addColumn<QString>("texte");
        QTest::newRow("whole") << 123.0 << QStringLiteral("123");
        QTest::newRow("almost whole") << 122.999 << QStringLiteral("123");
        QTest::newRow("tenths") << 12.5 << QStringLiteral("12.5");
        QTest::newRow("hundredths") << 12.345678 << QStringLiteral("12.35");
        QTest::newRow("negative") << -0.25 << QStringLiteral("-0.25");
        QTest::newRow("minus zero") << -0.001 << QStringLiteral("0");
        QTest::newRow("beyond 64 bits") << 1e20 << QStringLiteral("100000000000000000000");
        QTest::newRow("beyond 64 bits, negative")
            << -1e20 << QStringLiteral("-100000000000000000000");
    }
    void pixels()
    {
        QFETCH(double, valeur);
        QFETCH(QString, texte);
        QCOMPARE(textePixel(valeur), texte);
        QCOMPARE(valeurPixel(texte), texte.toDouble());
        QCOMPARE(valeurPixel(QString()), 0.0);
        QCOMPARE(valeurPixel(QStringLiteral("12,5")), 0.0);
    }

    void kmtrack_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("lignes");
        QTest::addColumn<QString>("message");
        const QString vide = clip("suivi_vide");
        QTest::newRow("to the end")
            << QStringList{clip("raw_10"), "--frame", "0", "--box", "10,20,21,21"} << 0 << 10
            << QString();
        QTest::newRow("count") << QStringList{clip("raw_10"), "--frame", "2", "--box",
                                              "15,16,21,21",  "--count", "3"}
                               << 0 << 4 << QString();
        QTest::newRow("lost") << QStringList{vide, "--frame", "0", "--box", "20,50,21,21"} << 1 << 8
                              << QStringLiteral("lost at frame 8");
        QTest::newRow("clip ends")
            << QStringList{clip("raw_10"), "--frame", "8", "--box", "45,10,21,21", "--count", "5"}
            << 1 << 2 << QStringLiteral("ends at frame 9");
        QTest::newRow("1-pixel box") << QStringList{vide, "--frame", "0", "--box", "30,60,1,1"} << 1
                                     << 0 << QStringLiteral("too small");
        QTest::newRow("box off") << QStringList{vide, "--frame", "0", "--box", "500,500,20,20"} << 1
                                 << 0 << QStringLiteral("outside");
        QTest::newRow("no such frame") << QStringList{vide, "--frame", "20", "--box", "20,50,21,21"}
                                       << 1 << 0 << QStringLiteral("no frame 20");
        QTest::newRow("no file") << QStringList{"/nonexistent.avi", "--frame", "0", "--box",
                                                "1,1,9,9"}
                                 << 1 << 0 << QString();
        QTest::newRow("bad box") << QStringList{vide, "--frame", "0", "--box", "1,2,3"} << 2 << 0
                                 << QStringLiteral("usage");
        QTest::newRow("huge box") << QStringList{vide, "--frame", "0", "--box",
                                                 "2147483000,0,2000,9"}
                                  << 2 << 0 << QStringLiteral("usage");
        QTest::newRow("zero width") << QStringList{vide, "--frame", "0", "--box", "1,2,0,5"} << 2
                                    << 0 << QStringLiteral("usage");
    }
    void kmtrack()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(int, lignes);
        QFETCH(QString, message);
        QProcess p;
        p.start(QStringLiteral(KMTRACK), arguments);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), code);
        const QList<QByteArray> sortie = p.readAllStandardOutput().split('\n');
        int n = 0;
        for (const QByteArray &l : sortie) {
            if (l.isEmpty()) continue;
            const QList<QByteArray> champs = l.split(' ');
            QCOMPARE(champs.size(), 4);
            bool ok[4];
            champs[0].toInt(&ok[0]);
            for (int i = 1; i < 4; ++i)
                champs[i].toDouble(&ok[i]);
            QVERIFY(ok[0] && ok[1] && ok[2] && ok[3]);
            ++n;
        }
        QCOMPARE(n, lignes);
        const QString erreurs = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(erreurs.contains(message), qPrintable(erreurs));
        if (code != 0) QVERIFY(!erreurs.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSuiveur)
#include "tst_suiveur.moc"

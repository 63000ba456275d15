// Clips from phones and cameras, made with the ffmpeg command at test time: the player must
// count the frames FFmpeg's own decode gives, show each one exactly (upright when the clip
// says it is turned) and time each by its own timestamp.
#include "clip/TMediaPlayer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace
{

QByteArray executer(const QString &programme, const QStringList &arguments)
{
    QProcess p;
    p.start(programme, arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

// Mean absolute difference of two RGB888 pictures of one size.
double ecart(const QImage &a, const uchar *b)
{
    double somme = 0;
    const int ligne = a.width() * 3;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y);
        for (int i = 0; i < ligne; ++i)
            somme += std::abs(int(p[i]) - int(b[y * ligne + i]));
    }
    return somme / (double(ligne) * a.height());
}

} // namespace

class TestClipsModernes : public QObject
{
    Q_OBJECT

    QString ffmpeg, ffprobe;
    QTemporaryDir dossier;

private slots:
    void initTestCase()
    {
        ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
        if (ffmpeg.isEmpty() || ffprobe.isEmpty())
            QSKIP("the ffmpeg command is not installed: no clips to make");
        QVERIFY(dossier.isValid());
    }

    void clips_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("images");
        QTest::addColumn<bool>("portrait");
        // Cut from a larger pattern at a place that moves every frame: no two frames alike.
        const QString source = QStringLiteral("-f lavfi -i testsrc=size=320x240:rate=%1,"
                                              "crop=160:120:mod(n*3\\,160):mod(n*2\\,120) -t %2 ");
        const QString h264 = QStringLiteral("-c:v libx264 -bf 3 -g 12 -pix_fmt yuv420p ");
        QTest::newRow("MP4 H.264 B") << "b.mp4" << source.arg(30).arg(2) + h264 << 60 << false;
        QTest::newRow("MOV") << "c.mov" << source.arg(25).arg(2) + h264 << 50 << false;
        QTest::newRow("MP4 fragmenté")
            << "m.mp4" << source.arg(30).arg(2) + h264 + "-movflags +frag_keyframe+empty_moov "
            << 60 << false;
        // H.264 with B-frames in AVI: display order from the slices' picture order counts.
        QTest::newRow("AVI H.264 B") << "l.avi" << source.arg(25).arg(2) + h264 << 50 << false;
        QTest::newRow("MKV 29.97")
            << "d.mkv" << source.arg("30000/1001").arg(2) + h264 << 60 << false;
        QTest::newRow("WebM VP9") << "e.webm"
                                  << source.arg(30).arg(1) +
                                         "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 "
                                  << 30 << false;
        QTest::newRow("VFR trous")
            << "f.mp4"
            << source.arg(30).arg(2) +
                   "-vf select='not(between(n\\,10\\,12))' -vsync passthrough " + h264
            << 57 << false;
        QTest::newRow("VFR gigue")
            << "g.mp4"
            << source.arg(30).arg(2) +
                   "-vf setpts=(N/30+0.004*mod(N\\,2))/TB -vsync passthrough "
                   "-video_track_timescale 90000 " +
                   h264
            << 60 << false;
        // Most phones store no B-frames: the sample table alone then gives every frame.
        const QString sansB = QStringLiteral("-c:v libx264 -bf 0 -g 12 -pix_fmt yuv420p ");
        QTest::newRow("MP4 sans B") << "j.mp4" << source.arg(30).arg(2) + sansB << 60 << false;
        QTest::newRow("MOV gigue sans B")
            << "k.mov"
            << source.arg(30).arg(2) +
                   "-vf setpts=(N/30+0.004*mod(N\\,2))/TB -vsync passthrough "
                   "-video_track_timescale 90000 " +
                   sansB
            << 60 << false;
        QTest::newRow("240 i/s") << "h.mp4" << source.arg(240).arg(1) + h264 << 240 << false;
        QTest::newRow("portrait") << "i.mp4" << source.arg(30).arg(1) + h264 << 30 << true;
    }

    void clips()
    {
        QFETCH(QString, nom);
        QFETCH(QString, arguments);
        QFETCH(int, images);
        QFETCH(bool, portrait);
        QString chemin = dossier.filePath(nom);
        QStringList args = {QStringLiteral("-loglevel"), QStringLiteral("error"),
                            QStringLiteral("-y")};
        args += arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        args << (portrait ? chemin + QStringLiteral(".droit.mp4") : chemin);
        QVERIFY(!executer(ffmpeg, args).isNull() || QFile::exists(args.last()));
        if (portrait) // a phone held upright: the picture is stored turned, with its rotation
            QVERIFY(QFile::exists(args.last()) &&
                    QProcess::execute(ffmpeg, {"-loglevel", "error", "-y", "-i", args.last(), "-c",
                                               "copy", "-metadata:s:v:0", "rotate=90", chemin}) ==
                        0);

        // FFmpeg's own decode, every stored picture once, turned upright.
        TMediaPlayer lecteur;
        lecteur.setFileName(chemin);
        lecteur.Open();
        const QSize taille = lecteur.tailleNaturelle();
        QCOMPARE(taille, portrait ? QSize(120, 160) : QSize(160, 120));
        const QByteArray brut =
            executer(ffmpeg, {"-loglevel", "error", "-i", chemin, "-vsync", "passthrough", "-f",
                              "rawvideo", "-pix_fmt", "rgb24", "-"});
        const int octets = taille.width() * taille.height() * 3;
        QCOMPARE(brut.size() % octets, 0);
        QCOMPARE(brut.size() / octets, images);
        QCOMPARE(lecteur.Length(), images);

        // Every frame's time from frame 0, as FFmpeg reads it. AVI stores no presentation
        // times (FFmpeg's guesses go wrong at the end): one period a frame.
        const bool avi = nom.endsWith(QStringLiteral(".avi"));
        const QList<QByteArray> lignes =
            executer(ffprobe, {"-v", "error", "-select_streams", "v", "-show_entries",
                               "frame=best_effort_timestamp_time", "-of", "csv=p=0", chemin})
                .split('\n');
        std::vector<double> temps;
        // (The first frame of some files carries side data: a trailing comma, a blank line.)
        for (const QByteArray &l : lignes)
            if (!l.trimmed().isEmpty()) temps.push_back(l.split(',').first().trimmed().toDouble());
        QCOMPARE(int(temps.size()), images);
        for (int f = 0; f < images; ++f)
            if (avi) temps[size_t(f)] = f * lecteur.tempsImage(1);
        for (int f = 0; f < images; ++f)
            QVERIFY2(std::abs(lecteur.tempsImage(f) - (temps[size_t(f)] - temps[0])) < 1e-4,
                     qPrintable(QStringLiteral("frame %1: %2 s, FFmpeg %3 s")
                                    .arg(f)
                                    .arg(lecteur.tempsImage(f))
                                    .arg(temps[size_t(f)] - temps[0])));

        // Sampled frames, reached forward, back and by jumps: each nearest its own picture.
        for (int f : {0, 1, 2, images / 2, images - 1, 9, 13, images / 3, 1}) {
            lecteur.deplacerVers(f);
            QCOMPARE(lecteur.Position(), f);
            const QImage img = lecteur.image().convertToFormat(QImage::Format_RGB888);
            QCOMPARE(img.size(), taille);
            const auto *octetsImage = reinterpret_cast<const uchar *>(brut.constData());
            const double propre = ecart(img, octetsImage + size_t(f) * octets);
            QVERIFY2(propre < 4, qPrintable(QStringLiteral("frame %1: %2").arg(f).arg(propre)));
            for (int voisin : {f - 1, f + 1})
                if (voisin >= 0 && voisin < images)
                    QVERIFY(ecart(img, octetsImage + size_t(voisin) * octets) > propre);
        }

        // A frame's time in milliseconds leads back to the frame, at every rate.
        for (int f = 0; f < images; f += std::max(1, images / 40)) {
            lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
            lecteur.setPosition(f);
            lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Millisecondes);
            lecteur.setPosition(lecteur.Position());
            lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
            QCOMPARE(lecteur.Position(), f);
        }
    }
};

QTEST_GUILESS_MAIN(TestClipsModernes)
#include "test_clipsModernes.moc"

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

    // An H.264 clip whose packet 61 (in decoding order) is half overwritten, as a bad sector
    // leaves it: FFmpeg's own decode shows half pictures from there to the next key frame.
    // The player shows, on every frame and however it is reached, a whole picture: the
    // frame's own or, past the damage, the last good one before it.
    void clipEndommage()
    {
        const QString intact = dossier.filePath(QStringLiteral("intact.mp4"));
        const QString abime = dossier.filePath(QStringLiteral("abime.mp4"));
        executer(ffmpeg, {"-loglevel",
                          "error",
                          "-y",
                          "-f",
                          "lavfi",
                          "-i",
                          "testsrc=size=320x240:rate=30,crop=160:120:mod(n*3\\,160):"
                          "mod(n*2\\,120)",
                          "-frames:v",
                          "150",
                          "-c:v",
                          "libx264",
                          "-bf",
                          "3",
                          "-g",
                          "30",
                          "-sc_threshold",
                          "0",
                          "-pix_fmt",
                          "yuv420p",
                          intact});
        QVERIFY(QFile::exists(intact));
        const QList<QByteArray> paquets =
            executer(ffprobe, {"-v", "error", "-select_streams", "v", "-show_entries",
                               "packet=pos,size,flags", "-of", "csv=p=0", intact})
                .split('\n');
        QVERIFY(paquets.size() > 100);
        const QList<QByteArray> p61 = paquets[61].split(',');
        const qint64 position = p61.value(1).toLongLong(), taille = p61.value(0).toLongLong();
        QVERIFY(position > 0 && taille > 64);
        QFile f(intact);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray octets = f.readAll();
        for (qint64 i = position + taille / 2; i < position + taille; ++i)
            octets[i] = char((i * 37) & 0xff);
        QFile g(abime);
        QVERIFY(g.open(QIODevice::WriteOnly) && g.write(octets) == octets.size());
        g.close();

        auto decoder = [&](const QString &chemin) {
            return executer(ffmpeg, {"-loglevel", "quiet", "-i", chemin, "-vsync", "passthrough",
                                     "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        };
        const QByteArray bon = decoder(intact), mauvais = decoder(abime);
        const int n = 160 * 120 * 3;
        QCOMPARE(bon.size(), 150 * n);
        const auto *bons = reinterpret_cast<const uchar *>(bon.constData());
        const auto *mauvaises = reinterpret_cast<const uchar *>(mauvais.constData());
        // Frames FFmpeg's own decode shows damaged, in display order.
        int premiere = -1, derniere = -1;
        for (int i = 0; i < 150 && (i + 1) * n <= mauvais.size(); ++i) {
            QImage im(mauvaises + size_t(i) * n, 160, 120, 160 * 3, QImage::Format_RGB888);
            if (ecart(im, bons + size_t(i) * n) > 4) {
                if (premiere < 0) premiere = i;
                derniere = i;
            }
        }
        QVERIFY2(premiere > 30 && derniere < 120,
                 qPrintable(QStringLiteral("%1 to %2").arg(premiere).arg(derniere)));

        // The frame whose picture the player shows at f, -1 for a picture that is no frame.
        auto montree = [&](TMediaPlayer &lecteur, int f) {
            const QImage im = lecteur.image().convertToFormat(QImage::Format_RGB888);
            for (int k = f; k >= 0 && k >= f - 40; --k)
                if (ecart(im, bons + size_t(k) * n) < 4) return k;
            return -1;
        };
        // Key frames every 30: from the first one past the damage, every frame is its own.
        const int reprise = (derniere / 30 + 1) * 30;
        auto verifier = [&](TMediaPlayer &lecteur, int f) {
            const int k = montree(lecteur, f);
            const bool juste = f < premiere || f >= reprise ? k == f : k >= 0 && k < premiere;
            return juste ? QString() : QStringLiteral("frame %1 shows %2").arg(f).arg(k);
        };
        TMediaPlayer pasAPas;
        pasAPas.setFileName(abime);
        pasAPas.Open();
        QCOMPARE(pasAPas.Length(), 150);
        QStringList fautes;
        for (int f = 0; f < 150; ++f) {
            pasAPas.deplacerVers(f);
            fautes << verifier(pasAPas, f);
        }
        for (int f = 149; f >= 0; f -= 7) {
            pasAPas.deplacerVers(f);
            fautes << verifier(pasAPas, f);
        }
        // Reached by a jump from the start.
        for (int f : {derniere, premiere, 149, premiere + 1, (premiere + derniere) / 2}) {
            TMediaPlayer saut;
            saut.setFileName(abime);
            saut.Open();
            saut.deplacerVers(f);
            fautes << verifier(saut, f);
        }
        fautes.removeAll(QString());
        QVERIFY2(fautes.isEmpty(), qPrintable(fautes.join(QStringLiteral("; "))));
    }
};

QTEST_GUILESS_MAIN(TestClipsModernes)
#include "test_clipsModernes.moc"

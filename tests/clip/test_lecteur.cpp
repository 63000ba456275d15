// The media player on the clips made by mkclip: after any sequence of moves the picture shown
// must be exactly the frame at Position(), which is checked by finding the disc in image()
// and comparing it with the true centre written beside each clip. Also: inputs that are not
// clips, a damaged frame, dropped frames, playing and its notice.
#include "measure/erreurs.h"
#include "clip/TMediaPlayer.h"
#include "clip/indexClip.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

extern "C" {
#include <libavformat/avformat.h>
}

#include <cmath>
#include <vector>

namespace
{

QString clip(const QString &nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + nom;
}

// True centres of the disc, one per frame, from the CSV written beside the clip.
std::vector<QPointF> centres(const QString &avi)
{
    QFile f(QString(avi).replace(QStringLiteral(".avi"), QStringLiteral(".csv")));
    std::vector<QPointF> v;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return v;
    while (!f.atEnd()) {
        const QByteArray ligne = f.readLine().trimmed();
        if (ligne.isEmpty() || ligne.startsWith('#') || ligne.startsWith("frame")) continue;
        const QList<QByteArray> c = ligne.split(',');
        if (c.size() == 3) v.emplace_back(c[1].toDouble(), c[2].toDouble());
    }
    return v;
}

// Centroid of the pixels close to the disc colour (red on white by default).
QPointF centroide(const QImage &image)
{
    double sx = 0, sy = 0;
    int n = 0;
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        const QRgb *ligne = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = ligne[x];
            if (qRed(p) > 150 && qGreen(p) < 110 && qBlue(p) < 110) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    return n ? QPointF(sx / n, sy / n) : QPointF(qQNaN(), qQNaN());
}

// Empty text when the picture shown is frame f; otherwise what is wrong.
QString ecart(TMediaPlayer &lecteur, const std::vector<QPointF> &attendu, int f)
{
    if (lecteur.Position() != f)
        return QStringLiteral("position %1 instead of %2").arg(lecteur.Position()).arg(f);
    const QPointF c = centroide(lecteur.image());
    const QPointF a = attendu[size_t(f)];
    const double d = std::hypot(c.x() - a.x(), c.y() - a.y());
    if (!(d <= 1.0))
        return QStringLiteral("frame %1: disc at (%2, %3), expected (%4, %5)")
            .arg(f)
            .arg(c.x())
            .arg(c.y())
            .arg(a.x())
            .arg(a.y());
    return QString();
}

#define VERIFIER(lecteur, attendu, f)                                                              \
    do {                                                                                           \
        const QString e = ecart(lecteur, attendu, f);                                              \
        QVERIFY2(e.isEmpty(), qPrintable(e));                                                      \
    } while (false)

} // namespace

class TestLecteur : public QObject
{
    Q_OBJECT
private slots:
    void exactitude_data();
    void exactitude();
    void cacheMinuscule();
    void lecture();
    void arretPendantLecture();
    void formatsEtRectangle();
    void imagesSautees();
    void imagesSauteesEtImagesB();
    void clipLong_data();
    void clipLong();
    void lectureLente_data();
    void lectureLente();
    void imageEndommagee();
    void clipCoupe();
    void tempsQuiSaute();
    void mauvaisesEntrees_data();
    void mauvaisesEntrees();
    void entreesPiegees_data();
    void entreesPiegees();
};

void TestLecteur::exactitude_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<bool>("sansIndex");
    QTest::addColumn<bool>("sansParseur");
    for (const char *nom :
         {"raw.avi", "mjpeg.avi", "divx.avi", "xvid.avi", "mp42.avi", "div3.avi", "cvid.avi",
          "msvc.avi", "divx_gop250_b.avi", "divx_sans_index.avi", "cvid_sans_index.avi"})
        QTest::newRow(nom) << QString::fromLatin1(nom) << false << false;
    // B-frames read packet by packet; and, as for a codec FFmpeg has no parser for, their
    // order learned by decoding each group once.
    const QString b = QStringLiteral("divx_gop250_b.avi");
    QTest::newRow("B, no index") << b << true << false;
    QTest::newRow("B, no parser") << b << false << true;
    QTest::newRow("B, neither") << b << true << true;
}

void TestLecteur::exactitude()
{
    QFETCH(QString, nom);
    QFETCH(bool, sansIndex);
    QFETCH(bool, sansParseur);
    const auto attendu = centres(clip(nom));
    QVERIFY(!attendu.empty());
    QTemporaryDir dir;
    QString chemin = clip(nom);
    if (sansIndex) { // the index renamed into a chunk readers skip
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray octets = f.readAll();
        const qsizetype i = octets.lastIndexOf("idx1");
        QVERIFY(i > 0);
        octets.replace(i, 4, "JUNK");
        chemin = dir.filePath(nom);
        QFile copie(chemin);
        QVERIFY(copie.open(QIODevice::WriteOnly) && copie.write(octets) == octets.size());
    }
    SourceClip::sansParseur = sansParseur;
    struct Remettre {
        ~Remettre() { SourceClip::sansParseur = false; }
    } remettre;
    TMediaPlayer lecteur;
    lecteur.setFileName(chemin);
    lecteur.Open();
    const int L = lecteur.Length();
    QCOMPARE(L, int(attendu.size()));
    VERIFIER(lecteur, attendu, 0);

    for (int f = 1; f < L; ++f) {
        lecteur.deplacerVers(f);
        VERIFIER(lecteur, attendu, f);
    }
    for (int f = L - 2; f >= 0; --f) {
        lecteur.deplacerVers(f);
        VERIFIER(lecteur, attendu, f);
    }
    // First and last, then random jumps, each one a single Step or Back from where it stands.
    lecteur.deplacerVers(L - 1);
    VERIFIER(lecteur, attendu, L - 1);
    lecteur.deplacerVers(0);
    VERIFIER(lecteur, attendu, 0);
    QRandomGenerator alea(12345);
    for (int i = 0; i < 60; ++i) {
        const int a = alea.bounded(L);
        lecteur.deplacerVers(a);
        VERIFIER(lecteur, attendu, a);
    }
    // A fresh player jumping straight into the last group, then stepping back across its key
    // (the B-frames shown just before a key frame need the group before it).
    TMediaPlayer second;
    second.setFileName(chemin);
    second.Open();
    for (int f = L - 1; f >= std::max(0, L - 60); --f) {
        second.deplacerVers(f);
        VERIFIER(second, attendu, f);
    }
    for (int f : {L / 2, L / 2 - 1, 1, L - 2}) {
        second.deplacerVers(f);
        VERIFIER(second, attendu, f);
    }
    // Moves beyond the ends stop on the first and last frames.
    second.setFrames(L + 10);
    second.Step();
    VERIFIER(second, attendu, L - 1);
    second.Back();
    VERIFIER(second, attendu, 0);
}

void TestLecteur::cacheMinuscule()
{
    // A cache far smaller than a group: stepping back must still be exact.
    const QString nom = clip(QStringLiteral("divx_gop250_b.avi"));
    const auto attendu = centres(nom);
    TMediaPlayer lecteur;
    lecteur.setCacheMio(1);
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    lecteur.deplacerVers(L - 1);
    for (int f = L - 1; f >= 200; --f) {
        lecteur.deplacerVers(f);
        VERIFIER(lecteur, attendu, f);
    }
}

void TestLecteur::lecture()
{
    const QString nom = clip(QStringLiteral("divx.avi"));
    const auto attendu = centres(nom);
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    QSignalSpy avis(&lecteur, &TMediaPlayer::OnNotify);
    lecteur.deplacerVers(L - 6);
    QVERIFY(avis.isEmpty()); // moves raise no notice

    lecteur.setFrames(1);
    lecteur.setNotify(true);
    lecteur.Play();
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::Lecture);
    QVERIFY(lecteur.Position() < L); // Play returns at once
    QVERIFY(avis.wait(5000));
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::Arrete);
    QCOMPARE(lecteur.Position(), L); // played to the end
    QCOMPARE(centroide(lecteur.image()), centroide([&] {
                 TMediaPlayer autre;
                 autre.setFileName(nom);
                 autre.Open();
                 autre.deplacerVers(L - 1);
                 return autre.image();
             }()));
    QTest::qWait(100);
    QCOMPARE(avis.size(), 1);

    // What the notice handler does: back on the last frame.
    lecteur.setPosition(L - 1);
    VERIFIER(lecteur, attendu, L - 1);
    lecteur.deplacerVers(3);
    VERIFIER(lecteur, attendu, 3);
}

void TestLecteur::arretPendantLecture()
{
    const QString nom = clip(QStringLiteral("divx_gop250_b.avi"));
    const auto attendu = centres(nom);
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    QSignalSpy avis(&lecteur, &TMediaPlayer::OnNotify);
    lecteur.setNotify(true);
    lecteur.Play();
    QTest::qWait(300);
    lecteur.Stop();
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::Arrete);
    QVERIFY(avis.isEmpty()); // queued: not delivered inside Stop
    QVERIFY(avis.wait(1000));
    const int p = lecteur.Position();
    QVERIFY(p > 0 && p < lecteur.Length());
    VERIFIER(lecteur, attendu, p);
    QTest::qWait(100);
    QCOMPARE(avis.size(), 1);

    // A move while playing interrupts it and moves from where playing had got to.
    lecteur.Play();
    QTest::qWait(200);
    const int q = lecteur.Position();
    lecteur.setFrames(0);
    lecteur.Step();
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::Arrete);
    VERIFIER(lecteur, attendu, q);
    QVERIFY(avis.wait(1000));
    QCOMPARE(avis.size(), 2);
    // Without Notify there is no notice.
    lecteur.setNotify(false);
    lecteur.Play();
    QTest::qWait(100);
    lecteur.Stop();
    QTest::qWait(100);
    QCOMPARE(avis.size(), 2);
}

void TestLecteur::formatsEtRectangle()
{
    TMediaPlayer lecteur;
    QVERIFY(!lecteur.estOuvert());
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::NonOuvert);
    QCOMPARE(lecteur.Length(), 0);
    QVERIFY(lecteur.image().isNull());
    lecteur.Step(); // nothing to do, nothing breaks
    lecteur.Play();
    QCOMPARE(lecteur.Mode(), TMediaPlayer::ModeLecteur::NonOuvert);

    lecteur.setFileName(clip(QStringLiteral("divx.avi"))); // 30 frames at 25 per second
    lecteur.Open();
    QVERIFY(lecteur.estOuvert());
    QCOMPARE(lecteur.DisplayRect(), QRect(0, 0, 160, 120));
    QCOMPARE(lecteur.image().size(), QSize(160, 120));
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Millisecondes);
    QCOMPARE(lecteur.Length(), 1200);
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
    QCOMPARE(lecteur.Length(), 30);

    QSignalSpy change(&lecteur, &TMediaPlayer::imageChangee);
    lecteur.setDisplayRect(QRect(4, 4, 80, 60));
    QCOMPARE(lecteur.DisplayRect(), QRect(4, 4, 80, 60));
    QCOMPARE(change.size(), 1);
    QCOMPARE(lecteur.image().size(), QSize(160, 120)); // still the natural size
    lecteur.setFrames(1);
    lecteur.Step();
    QCOMPARE(change.size(), 2);

    lecteur.Close();
    QVERIFY(!lecteur.estOuvert());
    QCOMPARE(lecteur.Length(), 0);
    lecteur.Open(); // the same file again
    QCOMPARE(lecteur.Position(), 0);
    QCOMPARE(lecteur.DisplayRect(), QRect(0, 0, 160, 120));
}

namespace
{
// Copies a clip's packets into a new AVI, leaving out some frames while keeping the frame
// numbers of the others: the muxer writes the gaps as empty (dropped) chunks. With a stretch
// of k, frame n becomes frame k n at k times the rate, with k - 1 dropped frames after it.
// With a format other than AVI, frames from 20 on are put `saut` frames later. The source's
// frames are written `fois` times over, one copy after the other.
bool copierSansImages(const QString &source, const QString &dest, const std::vector<int> &sautees,
                      int etirement = 1, const char *format = "avi", int64_t saut = 0, int fois = 1)
{
    AVFormatContext *in = nullptr;
    if (avformat_open_input(&in, source.toUtf8().constData(), nullptr, nullptr) < 0) return false;
    AVFormatContext *out = nullptr;
    bool ok = avformat_find_stream_info(in, nullptr) >= 0 &&
              avformat_alloc_output_context2(&out, nullptr, format, dest.toUtf8().constData()) >= 0;
    AVStream *st = ok ? avformat_new_stream(out, nullptr) : nullptr;
    ok = st && avcodec_parameters_copy(st->codecpar, in->streams[0]->codecpar) >= 0;
    if (ok) {
        st->time_base = in->streams[0]->time_base;
        st->time_base.den *= etirement;
        ok = avio_open(&out->pb, dest.toUtf8().constData(), AVIO_FLAG_WRITE) >= 0 &&
             avformat_write_header(out, nullptr) >= 0;
    }
    AVPacket *p = av_packet_alloc();
    int64_t copie = 0, longueur = 0;
    while (ok) {
        if (av_read_frame(in, p) < 0) {
            if (++copie == fois || av_seek_frame(in, 0, 0, AVSEEK_FLAG_BACKWARD) < 0) break;
            continue;
        }
        const bool sauter = std::find(sautees.begin(), sautees.end(), int(p->dts)) != sautees.end();
        if (copie == 0) longueur = std::max(longueur, p->dts + 1);
        if (p->stream_index == 0 && !sauter) {
            p->stream_index = 0;
            p->dts = (p->dts + copie * longueur) * etirement;
            if (p->dts >= 20) p->dts += saut;
            p->pts = p->dts; // AVI keeps decoding order only
            p->duration = 1;
            AVRational base = in->streams[0]->time_base;
            base.den *= etirement;
            av_packet_rescale_ts(p, base, st->time_base);
            ok = av_interleaved_write_frame(out, p) >= 0;
        }
        av_packet_unref(p);
    }
    av_packet_free(&p);
    if (ok) ok = av_write_trailer(out) >= 0;
    if (out) {
        avio_closep(&out->pb);
        avformat_free_context(out);
    }
    avformat_close_input(&in);
    return ok;
}
} // namespace

void TestLecteur::imagesSautees()
{
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("sautees.avi"));
    const std::vector<int> sautees{5, 6, 7, 20};
    QVERIFY(copierSansImages(clip(QStringLiteral("mjpeg.avi")), nom, sautees));
    const auto attendu = centres(clip(QStringLiteral("mjpeg.avi")));
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    QCOMPARE(lecteur.Length(), int(attendu.size()));
    // A dropped frame shows the picture before it.
    auto montre = [&](int f) {
        int g = f;
        while (std::find(sautees.begin(), sautees.end(), g) != sautees.end())
            --g;
        return g;
    };
    for (int f : {0, 4, 5, 7, 8, 3, 21, 20, 19, 6, 29, 5}) {
        lecteur.deplacerVers(f);
        QCOMPARE(lecteur.Position(), f);
        const QPointF c = centroide(lecteur.image());
        const QPointF a = attendu[size_t(montre(f))];
        QVERIFY2(std::hypot(c.x() - a.x(), c.y() - a.y()) <= 1.0, qPrintable(QString::number(f)));
    }
}

void TestLecteur::imagesSauteesEtImagesB()
{
    // Dropped frames between B-frame pictures: each picture keeps its time, the frame after
    // it repeats it.
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("etire.avi"));
    QVERIFY(copierSansImages(clip(QStringLiteral("divx_gop250_b.avi")), nom, {}, 2));
    const auto attendu = centres(clip(QStringLiteral("divx_gop250_b.avi")));
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    QVERIFY2(L >= 2 * int(attendu.size()) - 1, qPrintable(QString::number(L)));
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Millisecondes);
    QCOMPARE(lecteur.Length(), L * 20); // 50 frames per second
    lecteur.setTimeFormat(TMediaPlayer::FormatTemps::Images);
    for (int f : {L - 1, 0, 1, 2, 301, 498, 499, 500, 501, 497, 496, 17, 16}) {
        lecteur.deplacerVers(f);
        const QPointF c = centroide(lecteur.image());
        const QPointF a = attendu[size_t(f / 2)];
        QVERIFY2(std::hypot(c.x() - a.x(), c.y() - a.y()) <= 1.0, qPrintable(QString::number(f)));
    }
}

void TestLecteur::clipLong_data()
{
    QTest::addColumn<int>("etirement");
    QTest::newRow("every slot") << 1;
    QTest::newRow("a dropped frame after each") << 2;
}

void TestLecteur::clipLong()
{
    // The index is read a block of chunks at a time, as frames are asked for: 30 copies of
    // the B-frame clip make several blocks, and a fresh player jumps across them.
    QFETCH(int, etirement);
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("long.avi"));
    const QString source = clip(QStringLiteral("divx_gop250_b.avi"));
    QVERIFY(copierSansImages(source, nom, {}, etirement, "avi", 0, 30));
    const auto attendu = centres(source);
    const int n = int(attendu.size());
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    QVERIFY2(L >= 30 * n * etirement - 1, qPrintable(QString::number(L)));
    std::vector<int> images{L - 1, 4095, 4096, 4097, 4094, 8192, 8191, 0, 1, 2 * n + 1, 2 * n};
    QRandomGenerator alea(7);
    for (int i = 0; i < 40; ++i)
        images.push_back(alea.bounded(L));
    for (const int f : images) {
        lecteur.deplacerVers(f);
        QCOMPARE(lecteur.Position(), f);
        const QPointF c = centroide(lecteur.image());
        const QPointF a = attendu[size_t((f / etirement) % n)];
        QVERIFY2(std::hypot(c.x() - a.x(), c.y() - a.y()) <= 1.0, qPrintable(QString::number(f)));
    }
}

void TestLecteur::lectureLente_data()
{
    QTest::addColumn<int>("pause");
    QTest::addColumn<bool>("ouvert");
    // Reading goes on between pauses shorter than the deadline, for longer than it in all.
    QTest::newRow("slow disk") << 60 << true;
    QTest::newRow("stalled") << 400 << false;
}

void TestLecteur::lectureLente()
{
    // A clip without an index is read packet by packet: the deadline counts from the last
    // time reading went forward, not from the start.
    QFETCH(int, pause);
    QFETCH(bool, ouvert);
    TMediaPlayer lecteur;
    lecteur.setDelaiOuverture(std::chrono::milliseconds(200));
    int rapports = 0;
    lecteur.setProgression([&](double) {
        if (rapports++ == 1 || ouvert) QThread::msleep(pause);
        return true;
    });
    lecteur.setFileName(clip(QStringLiteral("divx_400_sans_index.avi")));
    QString erreur;
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &e) {
        erreur = e.texte();
    }
    QCOMPARE(lecteur.estOuvert(), ouvert);
    QVERIFY(rapports >= (ouvert ? 5 : 2));
    if (ouvert)
        QCOMPARE(lecteur.Length(), 400);
    else
        QVERIFY2(erreur.contains(QStringLiteral("lecture trop longue")), qPrintable(erreur));
}

void TestLecteur::imageEndommagee()
{
    // mkclip garbles frame 10 of this clip.
    const QString nom = clip(QStringLiteral("mjpeg_endommage.avi"));
    const auto attendu = centres(nom);
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    for (int f = 1; f < L; ++f) {
        lecteur.deplacerVers(f);
        QCOMPARE(lecteur.Position(), f);
        QVERIFY(!lecteur.image().isNull());
        if (f != 10) VERIFIER(lecteur, attendu, f);
    }
    for (int f : {10, 9, 10, 11, 10, 0}) {
        lecteur.deplacerVers(f);
        QCOMPARE(lecteur.Position(), f);
        if (f != 10) VERIFIER(lecteur, attendu, f);
    }
    // Reached by a jump, the frame that does not decode shows the one before it.
    for (int depuis : {0, 25}) {
        TMediaPlayer autre;
        autre.setFileName(nom);
        autre.Open();
        autre.deplacerVers(depuis);
        autre.deplacerVers(10);
        QCOMPARE(autre.Position(), 10);
        const QPointF c = centroide(autre.image());
        QVERIFY(std::hypot(c.x() - attendu[9].x(), c.y() - attendu[9].y()) <= 1.0 ||
                std::hypot(c.x() - attendu[10].x(), c.y() - attendu[10].y()) <= 1.0);
    }
}

void TestLecteur::clipCoupe()
{
    // A clip cut at 60 %, as a copy stopped half-way leaves it: no index, a last packet cut
    // short. Frames before the cut are exact; from the cut on they show the last picture read
    // and the player says how many they are.
    const QString source = clip(QStringLiteral("divx_gop250_b.avi"));
    const auto attendu = centres(source);
    QFile f(source);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("coupe.avi"));
    QFile coupe(nom);
    QVERIFY(coupe.open(QIODevice::WriteOnly));
    coupe.write(f.read(f.size() * 6 / 10));
    coupe.close();

    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    const int L = lecteur.Length();
    QCOMPARE(L, int(attendu.size())); // the header's count
    const int perdues = lecteur.imagesIlisibles();
    QVERIFY2(perdues > L / 4 && perdues < L / 2, qPrintable(QString::number(perdues)));
    const int derniere = L - perdues - 1;
    for (int a : {0, 17, derniere - 1, derniere, 3}) {
        lecteur.deplacerVers(a);
        VERIFIER(lecteur, attendu, a);
    }
    lecteur.deplacerVers(derniere);
    const QImage bonne = lecteur.image();
    for (int a : {derniere + 1, L - 1, derniere + 30, L - 2}) {
        lecteur.deplacerVers(a);
        QCOMPARE(lecteur.Position(), a);
        QCOMPARE(lecteur.image(), bonne);
    }
}

void TestLecteur::tempsQuiSaute()
{
    // Times that jump three million frames between two packets (in a container that keeps
    // times, not frame slots): the packets that are there make the clip, not the gap.
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("saut.mkv"));
    QVERIFY(copierSansImages(clip(QStringLiteral("mjpeg.avi")), nom, {}, 1, "matroska", 3'000'000));
    const auto attendu = centres(clip(QStringLiteral("mjpeg.avi")));
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    lecteur.Open();
    QCOMPARE(lecteur.Length(), int(attendu.size()));
    for (int a : {0, 19, 20, 29, 21, 5}) {
        lecteur.deplacerVers(a);
        VERIFIER(lecteur, attendu, a);
    }
}

void TestLecteur::mauvaisesEntrees_data()
{
    QTest::addColumn<QByteArray>("contenu"); // empty name = no file at all
    QTest::addColumn<bool>("creer");

    QByteArray alea(64 * 1024, '\0');
    QRandomGenerator g(7);
    for (char &c : alea)
        c = char(g.bounded(256));
    QFile mjpeg(clip(QStringLiteral("mjpeg.avi")));
    QVERIFY(mjpeg.open(QIODevice::ReadOnly));
    const QByteArray debut = mjpeg.read(2048);
    QFile brut(clip(QStringLiteral("raw_10.avi")));
    QVERIFY(brut.open(QIODevice::ReadOnly));
    const QByteArray raw = brut.readAll();

    // Picture size patched in both the main header and the stream format.
    auto dimensions = [&](quint32 l, quint32 h) {
        QByteArray d = raw;
        auto ecrire = [&](int o, quint32 v) {
            for (int i = 0; i < 4; ++i)
                d[o + i] = char(v >> (8 * i));
        };
        ecrire(64, l);
        ecrire(68, h);
        const int strf = d.indexOf("strf");
        ecrire(strf + 12, l);
        ecrire(strf + 16, h);
        return d;
    };

    QTest::newRow("octets au hasard") << alea << true;
    QTest::newRow("tronqué à 2 Ko") << debut << true;
    QTest::newRow("texte") << QByteArray("Ceci n'est pas une vidéo.\nLigne 2\n").repeated(50)
                           << true;
    QTest::newRow("vide") << QByteArray() << true;
    QTest::newRow("absent") << QByteArray() << false;
    QTest::newRow("dimensions absurdes") << dimensions(100000, 100000) << true;
    QTest::newRow("dimensions nulles") << dimensions(0, 0) << true;
    QTest::newRow("dimensions négatives") << dimensions(quint32(-160), 120) << true;
    // A frame of 2,147,483,647 seconds: no duration in milliseconds can hold the clip.
    QByteArray echelle = raw;
    const int strh = echelle.indexOf("strh");
    for (int i = 0; i < 4; ++i) {
        echelle[strh + 28 + i] = char(quint32(2147483647) >> (8 * i));
        echelle[strh + 32 + i] = char(i == 0 ? 1 : 0);
    }
    QTest::newRow("échelle immense") << echelle << true;
}

void TestLecteur::mauvaisesEntrees()
{
    QFETCH(QByteArray, contenu);
    QFETCH(bool, creer);
    QTemporaryDir dir;
    const QString nom = dir.filePath(QStringLiteral("clip.avi"));
    if (creer) {
        QFile f(nom);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenu);
    }
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    QElapsedTimer chrono;
    chrono.start();
    bool leve = false;
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &e) {
        leve = true;
        QVERIFY(e.texte().startsWith(QStringLiteral("Impossible d'ouvrir le fichier vidéo : ")));
        QVERIFY(e.texte().size() > 40);
    }
    QVERIFY(leve);
    QVERIFY(chrono.elapsed() < 5000);
    QVERIFY(!lecteur.estOuvert());
    QCOMPARE(lecteur.Length(), 0);
    QVERIFY(lecteur.image().isNull());
    lecteur.Step();
    QCOMPARE(lecteur.Position(), 0);
}

void TestLecteur::entreesPiegees_data()
{
    // Files that once made the player misbehave (kept under tests/clip/entrees), and the
    // frames each must give: -1 when it must be refused.
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("images");
    const QMap<QString, int> attendues = {
        // A valid clip followed by a box whose 64-bit size is the largest there is.
        {QStringLiteral("mp4-box-size-overflow.mp4"), 5},
        // Mutated WebM: refused or opened, never a fault in memory.
        {QStringLiteral("webm-heap-check-in-libavcodec-not-reproduced.webm"), -2},
    };
    const QDir dossier(QStringLiteral(KINEMAR_ENTREES_DIR));
    const QStringList fichiers = dossier.entryList(QDir::Files);
    QVERIFY(!fichiers.isEmpty());
    for (const QString &f : fichiers) {
        QVERIFY2(attendues.contains(f), qPrintable(f + QStringLiteral(": what must it give?")));
        QTest::newRow(qPrintable(f)) << dossier.filePath(f) << attendues.value(f);
    }
}

void TestLecteur::entreesPiegees()
{
    QFETCH(QString, nom);
    QFETCH(int, images); // -2: either way
    TMediaPlayer lecteur;
    lecteur.setFileName(nom);
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &e) {
        QVERIFY2(images < 0, qPrintable(e.texte()));
        QVERIFY(!lecteur.estOuvert());
        return;
    }
    QVERIFY(images != -1);
    if (images >= 0) QCOMPARE(lecteur.Length(), images);
    for (int f : {lecteur.Length() - 1, 0, lecteur.Length() / 2, 1}) {
        lecteur.deplacerVers(f);
        QVERIFY(!lecteur.image().isNull());
    }
}

QTEST_GUILESS_MAIN(TestLecteur)
#include "test_lecteur.moc"

// AVI header reader: synthetic headers for the field and validity rules, and the clips made
// by mkclip compared with what libavformat reports for the same files.
#include "measure/erreurs.h"
#include "clip/echecOuverture.h"
#include "clip/infosClip.h"
#include "clip/video.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>

namespace
{

void ecrire32(QByteArray &d, int offset, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        d[offset + i] = char(v >> (8 * i));
}

// A header laid out as a real AVI file's, with the six fields at their offsets.
QByteArray enteteSynthetique(qint32 nbImages, qint32 largeur, qint32 hauteur,
                             const QByteArray &fourcc, qint32 echelle, qint32 taux)
{
    QByteArray d(200, '\0');
    d.replace(0, 4, "RIFF");
    d.replace(8, 12, "AVI LIST\0\0\0\0");
    d.replace(16, 12, QByteArray("hdrlavih", 8) + QByteArray("\x38\0\0\0", 4));
    d.replace(88, 4, "LIST");
    d.replace(96, 12, QByteArray("strlstrh\x38\0\0\0", 12));
    d.replace(108, 4, "vids");
    ecrire32(d, 48, quint32(nbImages));
    ecrire32(d, 64, quint32(largeur));
    ecrire32(d, 68, quint32(hauteur));
    d.replace(112, 4, fourcc.leftJustified(4, '\0', true));
    ecrire32(d, 128, quint32(echelle));
    ecrire32(d, 132, quint32(taux));
    return d;
}

QString texteFinDeFichier()
{
    return QString::fromUtf8("Lecture au-delà de la fin de fichier");
}

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + nom;
}

struct FermeFormat {
    void operator()(AVFormatContext *fc) const { avformat_close_input(&fc); }
};
using Format = std::unique_ptr<AVFormatContext, FermeFormat>;

Format ouvrirAv(const QString &chemin)
{
    AVFormatContext *fc = nullptr;
    if (avformat_open_input(&fc, chemin.toUtf8().constData(), nullptr, nullptr) < 0) return nullptr;
    Format f(fc);
    if (avformat_find_stream_info(fc, nullptr) < 0) return nullptr;
    return f;
}

struct Csv {
    int x1 = -1, y = -1, x2 = -1; // ruler end pixels
    QList<QPointF> centres;
};

Csv lireCsv(const QString &chemin)
{
    Csv c;
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return c;
    QTextStream in(&f);
    const QStringList regle = in.readLine().split(' ');
    if (regle.size() == 6 && regle[0] == "#" && regle[1] == "ruler" && regle[3] == regle[5]) {
        c.x1 = regle[2].toInt();
        c.y = regle[3].toInt();
        c.x2 = regle[4].toInt();
    }
    if (in.readLine() != "frame,x,y") return c;
    while (!in.atEnd()) {
        const QStringList l = in.readLine().split(',');
        if (l.size() == 3 && l[0].toInt() == c.centres.size())
            c.centres.append({l[1].toDouble(), l[2].toDouble()});
    }
    return c;
}

// Decodes every picture of a clip as RGB24 and hands it to f; returns the number of decoding
// errors.
template <typename F> int decoderTout(const QString &chemin, F f)
{
    Format fc = ouvrirAv(chemin);
    if (!fc) return -1;
    const AVCodecParameters *par = fc->streams[0]->codecpar;
    const AVCodec *dec = avcodec_find_decoder(par->codec_id);
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext *)> cc(
        avcodec_alloc_context3(dec), [](AVCodecContext *c) { avcodec_free_context(&c); });
    std::unique_ptr<AVPacket, void (*)(AVPacket *)> pkt(av_packet_alloc(),
                                                        [](AVPacket *p) { av_packet_free(&p); });
    std::unique_ptr<AVFrame, void (*)(AVFrame *)> img(av_frame_alloc(),
                                                      [](AVFrame *p) { av_frame_free(&p); });
    avcodec_parameters_to_context(cc.get(), par);
    cc->thread_count = 1;
    if (avcodec_open2(cc.get(), dec, nullptr) < 0) return -1;
    SwsContext *sws = nullptr;
    QImage rgb;
    int refus = 0;
    auto recevoir = [&] {
        for (int essais = 0; essais < 1000; ++essais) {
            const int r = avcodec_receive_frame(cc.get(), img.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
            if (r < 0) {
                ++refus;
                continue;
            }
            rgb = QImage(img->width, img->height, QImage::Format_RGB888);
            sws = sws_getCachedContext(sws, img->width, img->height, AVPixelFormat(img->format),
                                       img->width, img->height, AV_PIX_FMT_RGB24, SWS_POINT,
                                       nullptr, nullptr, nullptr);
            uint8_t *dst[1] = {rgb.bits()};
            int pas[1] = {int(rgb.bytesPerLine())};
            sws_scale(sws, img->data, img->linesize, 0, img->height, dst, pas);
            f(rgb);
        }
    };
    while (av_read_frame(fc.get(), pkt.get()) >= 0) {
        if (avcodec_send_packet(cc.get(), pkt.get()) < 0) ++refus;
        av_packet_unref(pkt.get());
        recevoir();
    }
    avcodec_send_packet(cc.get(), nullptr);
    recevoir();
    sws_freeContext(sws);
    return refus;
}

// Centroid of the red pixels (the disc on a white or grey background).
QPointF centroideRouge(const QImage &im)
{
    double sx = 0, sy = 0, n = 0;
    for (int j = 0; j < im.height(); ++j) {
        const uchar *l = im.constScanLine(j);
        for (int i = 0; i < im.width(); ++i)
            if (l[3 * i] - (l[3 * i + 1] + l[3 * i + 2]) / 2 > 100) {
                sx += i;
                sy += j;
                ++n;
            }
    }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}

} // namespace

class TestVideo : public QObject
{
    Q_OBJECT

    QTemporaryDir dossier;
    QString fichier(const QByteArray &contenu)
    {
        static int n = 0;
        QString chemin = dossier.filePath(QString("f%1.avi").arg(++n));
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size())
            qFatal("cannot write a test file");
        return chemin;
    }

private slots:
    void initTestCase() { av_log_set_level(AV_LOG_ERROR); }

    void entete_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<bool>("valide");
        QTest::addColumn<double>("periode"); // -1: invalid
        QTest::addColumn<int>("frequence");
        QTest::addColumn<int>("echelleLue");
        QTest::addColumn<QString>("fourcc");
        QTest::addColumn<QString>("nom"); // "?" when the table has no name

        const QByteArray divx("divx");
        QTest::newRow("25 i/s, 1/25")
            << enteteSynthetique(50, 320, 240, divx, 1, 25) << true << 0.04 << 25 << 1 << "divx"
            << "DivX Codec";
        QTest::newRow("25 i/s, 40000/1000000")
            << enteteSynthetique(50, 320, 240, divx, 40000, 1000000) << true << 0.04 << 25 << 40000
            << "divx"
            << "DivX Codec";
        QTest::newRow("taux 0: echelle non lue")
            << enteteSynthetique(50, 320, 240, divx, 7, 0) << false << -1.0 << 0 << 0 << "divx"
            << "DivX Codec";
        QTest::newRow("taux negatif")
            << enteteSynthetique(50, 320, 240, divx, 1, -25) << false << -1.0 << 0 << 0 << "divx"
            << "DivX Codec";
        QTest::newRow("echelle 0")
            << enteteSynthetique(50, 320, 240, divx, 0, 25) << false << 0.0 << 0 << 0 << "divx"
            << "DivX Codec";
        QTest::newRow("echelle negative")
            << enteteSynthetique(50, 320, 240, divx, -1, 25) << false << -0.04 << 0 << -1 << "divx"
            << "DivX Codec";
        QTest::newRow("0 image") << enteteSynthetique(0, 320, 240, divx, 1, 25) << false << 0.04
                                 << 25 << 1 << "divx"
                                 << "DivX Codec";
        QTest::newRow("largeur negative")
            << enteteSynthetique(5, -320, 240, divx, 1, 25) << false << 0.04 << 25 << 1 << "divx"
            << "DivX Codec";
        QTest::newRow("hauteur 0")
            << enteteSynthetique(5, 320, 0, divx, 1, 25) << false << 0.04 << 25 << 1 << "divx"
            << "DivX Codec";
        QTest::newRow("DIVX majuscules")
            << enteteSynthetique(5, 320, 240, "DIVX", 1, 25) << true << 0.04 << 25 << 1 << "DIVX"
            << "DivX Codec";
        QTest::newRow("MsVc casse mixte")
            << enteteSynthetique(5, 8, 8, "MsVc", 1, 15) << true << 1 / 15.0 << 15 << 1 << "MsVc"
            << "Microsoft Video 1";
        QTest::newRow("cvid") << enteteSynthetique(5, 8, 8, "cvid", 1, 30) << true << 1 / 30.0 << 30
                              << 1 << "cvid"
                              << "Cinepak Codec by Radius";
        QTest::newRow("FourCC inconnu")
            << enteteSynthetique(5, 8, 8, "H264", 1, 25) << true << 0.04 << 25 << 1 << "H264"
            << "?";
        QTest::newRow("FourCC nul")
            << enteteSynthetique(5, 8, 8, QByteArray(4, '\0'), 1, 25) << true << 0.04 << 25 << 1
            << "" << QString::fromUtf8("Non compressé");
        QTest::newRow("FourCC coupe au zero")
            << enteteSynthetique(5, 8, 8, QByteArray("iv\0x", 4), 1, 25) << true << 0.04 << 25 << 1
            << "iv"
            << "?";
        QTest::newRow("FourCC octets hauts")
            << enteteSynthetique(5, 8, 8, "\xe9t\xe9!", 1, 25) << true << 0.04 << 25 << 1
            << QString::fromLatin1("\xe9t\xe9!") << "?";
        // 1 / 2 s = 0.5 frame/s: halves go to the even neighbour, here 0.
        QTest::newRow("demi arrondi au pair")
            << enteteSynthetique(5, 8, 8, divx, 2, 1) << true << 2.0 << 0 << 2 << "divx"
            << "DivX Codec";
        QTest::newRow("periode minuscule") << enteteSynthetique(5, 8, 8, divx, 1, 2147483647)
                                           << true << 1 / 2147483647.0 << 2147483647 << 1 << "divx"
                                           << "DivX Codec";
        QTest::newRow("periode immense") << enteteSynthetique(5, 8, 8, divx, 2147483647, 1) << true
                                         << 2147483647.0 << 0 << 2147483647 << "divx"
                                         << "DivX Codec";
    }

    void entete()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(bool, valide);
        QFETCH(double, periode);
        QFETCH(int, frequence);
        QFETCH(int, echelleLue);
        QFETCH(QString, fourcc);
        QFETCH(QString, nom);

        QFile f(fichier(contenu));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const EnteteAvi e = lireEnteteAvi(f);
        QCOMPARE(e.valide, valide);
        QCOMPARE(e.echelle, echelleLue);
        QCOMPARE(e.fourCC, fourcc);
        QCOMPARE(e.frequence, frequence);
        if (periode == -1.0)
            QCOMPARE(e.periode, -1.0L);
        else
            QVERIFY2(std::fabs(double(e.periode) - periode) <= 1e-12 * std::fabs(periode),
                     qPrintable(QString::number(double(e.periode))));
        if (e.periode > 0)
            QVERIFY(std::fabs(double(e.duree - e.nbImages * e.periode)) < 1e-9);
        else
            QCOMPARE(e.duree, 0.0L);
        const auto n = nomCodec(e.fourCC);
        QCOMPARE(n.value_or("?"), nom);

        // The single-field readers give the same values.
        QCOMPARE(nbImagesAvi(f), e.nbImages);
        QCOMPARE(dimensionsAvi(f), std::make_pair(e.largeur, e.hauteur));
        QCOMPARE(codecAvi(f), e.fourCC);
        QCOMPARE(tauxAvi(f), e.taux);
    }

    void vingtCinqImagesParSeconde()
    {
        // Both spellings of 25 frame/s give the same period to the last bit.
        QFile a(fichier(enteteSynthetique(50, 320, 240, "divx", 1, 25)));
        QFile b(fichier(enteteSynthetique(50, 320, 240, "divx", 40000, 1000000)));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const EnteteAvi ea = lireEnteteAvi(a), eb = lireEnteteAvi(b);
        QCOMPARE(ea.periode, 1.0L / 25);
        QCOMPARE(eb.periode, ea.periode);
        QVERIFY(std::fabs(double(ea.duree) - 2.0) < 1e-15);
    }

    void tableDesCodecs()
    {
        QCOMPARE(nbCodecs, 13);
        for (int i = 0; i < nbCodecs; ++i) {
            const QString fourcc = QString::fromLatin1(codecsFourCC[i]);
            QCOMPARE(fourcc, fourcc.toLower());
            QCOMPARE(nomCodec(fourcc.toUpper()), QString::fromUtf8(codecsNoms[i]));
        }
        QCOMPARE(nomCodec("mp42"), QString("MS MPEG-4 Video Codec V2"));
        QCOMPARE(nomCodec(""), QString::fromUtf8("Non compressé"));
        QVERIFY(!nomCodec("divx "));
        QVERIFY(!nomCodec("xvid"));
    }

    void fichierTropCourt_data()
    {
        QTest::addColumn<int>("taille");
        QTest::newRow("vide") << 0;
        QTest::newRow("100 octets") << 100;
        QTest::newRow("coupe dans le taux") << 134;
    }

    void fichierTropCourt()
    {
        QFETCH(int, taille);
        QFile f(fichier(enteteSynthetique(50, 320, 240, "divx", 1, 25).left(taille)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        try {
            lireEnteteAvi(f);
            QFAIL("no error on a short file");
        } catch (const ErreurES &e) {
            QCOMPARE(e.texte(), texteFinDeFichier());
        }
    }

    void lecturesIsolees()
    {
        // 100 bytes: the frame count at 48 reads, the FourCC at 112 does not.
        QFile f(fichier(enteteSynthetique(50, 320, 240, "divx", 1, 25).left(100)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(nbImagesAvi(f), 50);
        QCOMPARE(dimensionsAvi(f), std::make_pair(320, 240));
        QVERIFY_THROWS_EXCEPTION(ErreurES, codecAvi(f));
        QVERIFY_THROWS_EXCEPTION(ErreurES, lireEntierAvi(f, 97)); // 3 bytes left
        QVERIFY_THROWS_EXCEPTION(ErreurES, lireEntierAvi(f, -4)); // no negative offset
        QCOMPARE(lireEntierAvi(f, 96), qint32(0x6c727473));       // "strl", little-endian
        QCOMPARE(lireFourCCAvi(f, 8), QString("AVI "));
        f.close();
        QVERIFY_THROWS_EXCEPTION(ErreurES, nbImagesAvi(f));
    }

    void entierSigne()
    {
        QFile f(fichier(enteteSynthetique(-1, qint32(0x80000000u), 0x7fffffff, "divx", 1, 25)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(nbImagesAvi(f), -1);
        QCOMPARE(dimensionsAvi(f), std::make_pair(qint32(-2147483647 - 1), 2147483647));
        QVERIFY(!lireEnteteAvi(f).valide);
    }

    void fichierEnLectureSeule()
    {
        const QString chemin = fichier(enteteSynthetique(50, 320, 240, "cvid", 1, 25));
        QVERIFY(QFile::setPermissions(chemin, QFile::ReadOwner | QFile::ReadGroup));
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const EnteteAvi e = lireEnteteAvi(f);
        QVERIFY(e.valide);
        QCOMPARE(e.nbImages, 50);
        QCOMPARE(e.fourCC, QString("cvid"));
    }

    void clipsCommeLibavformat_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("fourcc");
        QTest::addColumn<QString>("nomCodec");
        QTest::newRow("raw") << "raw.avi"
                             << "" << QString::fromUtf8("Non compressé");
        QTest::newRow("raw_10") << "raw_10.avi"
                                << "" << QString::fromUtf8("Non compressé");
        QTest::newRow("mjpeg") << "mjpeg.avi"
                               << "MJPG"
                               << "?";
        QTest::newRow("mjpeg_endommage") << "mjpeg_endommage.avi"
                                         << "MJPG"
                                         << "?";
        QTest::newRow("divx") << "divx.avi"
                              << "DIVX"
                              << "DivX Codec";
        QTest::newRow("divx_gop250_b") << "divx_gop250_b.avi"
                                       << "DIVX"
                                       << "DivX Codec";
        QTest::newRow("divx_sans_index") << "divx_sans_index.avi"
                                         << "DIVX"
                                         << "DivX Codec";
        QTest::newRow("xvid") << "xvid.avi"
                              << "XVID"
                              << "?";
        QTest::newRow("mp42") << "mp42.avi"
                              << "MP42"
                              << "MS MPEG-4 Video Codec V2";
        QTest::newRow("div3") << "div3.avi"
                              << "DIV3"
                              << "?";
        QTest::newRow("cvid") << "cvid.avi"
                              << "cvid"
                              << "Cinepak Codec by Radius";
        QTest::newRow("cvid_sans_index") << "cvid_sans_index.avi"
                                         << "cvid"
                                         << "Cinepak Codec by Radius";
        QTest::newRow("msvc") << "msvc.avi"
                              << "CRAM"
                              << "?";
    }

    void clipsCommeLibavformat()
    {
        QFETCH(QString, nom);
        QFETCH(QString, fourcc);
        QFETCH(QString, nomCodec);

        QFile f(clip(nom.toUtf8().constData()));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const EnteteAvi e = lireEnteteAvi(f);
        QVERIFY(e.valide);
        QCOMPARE(e.fourCC, fourcc);
        QCOMPARE(::nomCodec(e.fourCC).value_or("?"), nomCodec);

        Format fc = ouvrirAv(f.fileName());
        QVERIFY(fc);
        QCOMPARE(fc->nb_streams, 1u);
        const AVStream *st = fc->streams[0];
        QCOMPARE(qint64(e.nbImages), qint64(st->nb_frames));
        QCOMPARE(e.largeur, st->codecpar->width);
        QCOMPARE(e.hauteur, st->codecpar->height);
        QString tag;
        for (int i = 0; i < 4 && (st->codecpar->codec_tag >> (8 * i)) & 0xff; ++i)
            tag += QChar(char16_t((st->codecpar->codec_tag >> (8 * i)) & 0xff));
        QCOMPARE(e.fourCC, tag);
        QCOMPARE(av_cmp_q(st->time_base, AVRational{e.echelle, e.taux}), 0);
        QCOMPARE(e.frequence, int(std::lround(av_q2d(st->avg_frame_rate))));

        const Csv csv = lireCsv(clip(nom.replace(".avi", ".csv").toUtf8().constData()));
        QCOMPARE(csv.centres.size(), e.nbImages);
    }

    void clipSansIndex()
    {
        // The index chunk and the main header's "has index" flag go together.
        const auto aIndex = [](const char *nom) {
            QFile f(clip(nom));
            if (!f.open(QIODevice::ReadOnly)) qFatal("missing clip");
            const bool drapeau = lireEntierAvi(f, 44) & 0x10;
            const bool idx1 = f.readAll().contains("idx1");
            if (drapeau != idx1) qFatal("index flag and idx1 chunk disagree");
            return idx1;
        };
        QVERIFY(aIndex("divx.avi"));
        QVERIFY(aIndex("cvid.avi"));
        QVERIFY(!aIndex("divx_sans_index.avi"));
        QVERIFY(!aIndex("cvid_sans_index.avi"));
    }

    void clipBruteSuitLeCsv()
    {
        // The disc recovered from the lossless clip lies where the CSV says, and the ruler's
        // end pixels are exact: other tests measure against both.
        const Csv csv = lireCsv(clip("raw.csv"));
        QCOMPARE(csv.centres.size(), 30);
        QCOMPARE(csv.x2 - csv.x1, 100);
        int n = 0;
        const int refus = decoderTout(clip("raw.avi"), [&](const QImage &im) {
            const QPointF c = centroideRouge(im);
            const QPointF vrai = csv.centres.value(n++);
            QVERIFY2(std::hypot(c.x() - vrai.x(), c.y() - vrai.y()) < 0.15,
                     qPrintable(QString("frame %1").arg(n - 1)));
            const auto sombre = [&](int x, int y) { return qGray(im.pixel(x, y)) < 64; };
            QVERIFY(sombre(csv.x1, csv.y) && sombre(csv.x2, csv.y));
            QVERIFY(!sombre(csv.x1 - 1, csv.y) && !sombre(csv.x2 + 1, csv.y));
            QVERIFY(sombre(csv.x1, csv.y - 3) && sombre(csv.x2, csv.y + 3));
        });
        QCOMPARE(refus, 0);
        QCOMPARE(n, 30);
    }

    void clipsAvecPerte_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("images");
        for (const char *nom : {"mjpeg", "divx", "mp42", "div3", "cvid", "msvc"})
            QTest::newRow(nom) << nom << 30;
        QTest::newRow("divx_gop250_b") << "divx_gop250_b" << 300;
    }

    void clipsAvecPerte()
    {
        QFETCH(QString, nom);
        QFETCH(int, images);
        const Csv csv = lireCsv(clip(qPrintable(nom + ".csv")));
        int n = 0;
        double pire = 0;
        decoderTout(clip(qPrintable(nom + ".avi")), [&](const QImage &im) {
            const QPointF c = centroideRouge(im), vrai = csv.centres.value(n++);
            pire = std::max(pire, std::hypot(c.x() - vrai.x(), c.y() - vrai.y()));
        });
        QCOMPARE(n, images);
        QVERIFY2(pire < 0.6, qPrintable(QString::number(pire)));
    }

    void messageEchecOuverture_data()
    {
        QTest::addColumn<QString>("raison");
        QTest::addColumn<QString>("detail");
        const QString lecteur = QStringLiteral("Impossible d'ouvrir le fichier vidéo : ");
        QTest::newRow("sans vidéo")
            << lecteur + QStringLiteral("le fichier ne contient pas de vidéo")
            << QStringLiteral("الملف لا يحتوي على فيديو");
        QTest::newRow("codec") << lecteur + QStringLiteral("aucun décodeur pour le codec « h264 »")
                               << QStringLiteral("لا يتوفر فك الترميز لـ « h264 »");
        QTest::newRow("dimensions")
            << lecteur + QStringLiteral("dimensions d'image invalides (0 × 0)")
            << QStringLiteral("أبعاد الصورة غير صالحة (0 × 0)");
        QTest::newRow("trop d'images")
            << lecteur + QStringLiteral("le clip compte 70000 images, plus que les 65535 que le "
                                        "tableau des mesures peut recevoir")
            << QStringLiteral("يحتوي المقطع على 70000 صورة، أكثر من 65535 صورة يتسع لها جدول "
                              "القياسات");
        QTest::newRow("durée") << lecteur +
                                      QStringLiteral("la durée du clip (5 images de 1e+300 s) "
                                                     "ne peut être comptée")
                               << QStringLiteral(
                                      "تعذر حساب مدة المقطع (5 صورة، 1e+300 ثا لكل صورة)");
        // The decoding library's reasons users meet: Arabic, its words kept as a detail.
        const QString cr(QChar(13));
        const std::pair<int, const char *> bibliotheque[] = {
            {AVERROR_INVALIDDATA, "الملف تالف أو ليس مقطع فيديو تعرفه المكتبة"},
            {AVERROR(ENOENT), "الملف غير موجود"},
            {AVERROR(EACCES), "لا يسمح بقراءة الملف (صلاحيات غير كافية)"},
            {AVERROR_EOF, "ينتهي الملف قبل نهاية الفيديو (ملف مبتور)"},
            {AVERROR_DECODER_NOT_FOUND, "ترميز الفيديو غير مدعوم"},
            {AVERROR_PATCHWELCOME, "ترميز الفيديو غير مدعوم"},
            {AVERROR_STREAM_NOT_FOUND, "الملف لا يحتوي على فيديو"},
            {AVERROR(ERANGE), "تعذرت قراءة الملف"}, // any other: a general reason
        };
        for (const auto &[code, arabe] : bibliotheque) {
            char mots[AV_ERROR_MAX_STRING_SIZE] = {};
            av_strerror(code, mots, sizeof mots);
            QTest::newRow(mots) << lecteur + QString::fromUtf8(mots)
                                << QString::fromUtf8(arabe) + cr + QStringLiteral("التفاصيل : ") +
                                       QString::fromUtf8(mots);
        }
        QTest::newRow("autre") << QStringLiteral("Trop d'images")
                               << QStringLiteral("Trop d'images");
    }

    void messageEchecOuverture()
    {
        QFETCH(QString, raison);
        QFETCH(QString, detail);
        const QString cr(QChar(13));
        QCOMPARE(::messageEchecOuverture(QStringLiteral("/d/a.avi"), raison),
                 QStringLiteral("تعذر فتح مقطع الفيديو") + cr + QStringLiteral("/d/a.avi") + cr +
                     detail);
    }

    void filtresPourClip_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("premier"); // the label before its patterns
        QTest::newRow("MP4") << "/d/essai.mp4" << QStringLiteral("ملفات MP4");
        QTest::newRow("MOV en majuscules") << "/d/IMG_0001.MOV" << QStringLiteral("ملفات MOV");
        QTest::newRow("casse mêlée") << "/d/a.Mkv" << QStringLiteral("ملفات MKV");
        QTest::newRow("AVI") << "/d/chute.avi" << QStringLiteral("fichiers AVI");
        QTest::newRow("AVI en majuscules") << "/d/CHUTE.AVI" << QStringLiteral("fichiers AVI");
        QTest::newRow("sans extension") << "/d/chute" << QStringLiteral("كل مقاطع الفيديو");
    }

    // The dialog that looks for a moved clip lists it with its first filter, selected at
    // opening; every clip type and the AVI filter follow.
    void filtresPourClip()
    {
        QFETCH(QString, clip);
        QFETCH(QString, premier);
        const QStringList filtres = ::filtresPourClip(clip).split(QStringLiteral(";;"));
        QVERIFY(filtres.contains(QStringLiteral("fichiers AVI (*.avi)")));
        QVERIFY(filtres.first().startsWith(premier + QStringLiteral(" (")));
        const QRegularExpression motifs(QStringLiteral("\\(([^()]*)\\)$"));
        bool toutes = false;
        for (const QString &f : filtres) {
            const QRegularExpressionMatch m = motifs.match(f);
            QVERIFY2(m.hasMatch(), qPrintable(f));
            toutes = toutes || f.startsWith(QStringLiteral("كل مقاطع الفيديو ("));
            if (&f != &filtres.first() || !premier.startsWith(QStringLiteral("ملفات "))) continue;
            bool trouve = false;
            for (const QString &motif : m.captured(1).split(QLatin1Char(' ')))
                trouve = trouve || QRegularExpression::fromWildcard(motif, Qt::CaseSensitive)
                                       .match(clip.section(QLatin1Char('/'), -1))
                                       .hasMatch();
            QVERIFY2(trouve, qPrintable(f));
        }
        QVERIFY(toutes);
        // The open command's own list: the AVI filter unchanged, every clip selected.
        const QStringList ouvrir = filtresClips().split(QStringLiteral(";;"));
        QCOMPARE(ouvrir.first(), QStringLiteral("fichiers AVI (*.avi)"));
        for (const char *e : {"*.mp4", "*.MOV", "*.mkv", "*.webm", "*.3gp", "*.avi"})
            QVERIFY(ouvrir.value(indiceFiltreTousClips)
                        .startsWith(QStringLiteral("كل مقاطع الفيديو (")) &&
                    ouvrir.value(indiceFiltreTousClips).contains(QLatin1String(e)));
    }

    void clipEndommage()
    {
        // Frame 10 of the damaged clip no longer decodes; the other 29 do.
        int n = 0;
        av_log_set_level(AV_LOG_QUIET);
        const int refus = decoderTout(clip("mjpeg_endommage.avi"), [&](const QImage &) { ++n; });
        QCOMPARE(refus + n, 30);
        QVERIFY(refus >= 1);
    }
};

QTEST_GUILESS_MAIN(TestVideo)
#include "test_video.moc"

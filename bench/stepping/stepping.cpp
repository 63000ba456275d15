// Stepping benchmark of the media player on 640x480, 500-frame clips made with mkclip:
// MPEG-4 with a 250-frame group and B-frames, MJPEG, Cinepak. For each clip it measures the
// floor (a plain libavcodec loop decoding every frame once) and the median time per Step
// forward through the clip, per Back from the last frame to the first and per random jump.
// The last line gives the worst ratio over the three clips:
//   ratios step/decode=A back/step=B jump/gop=C
// (gop = time to decode one whole group at the floor rate).
// The line before it measures opening, on a one-hour and a one-minute MPEG-4 clip with
// B-frames, and the cost of the frame cache on jumps:
//   open long/short=A open/floor=B jump cached/uncached=C
// (open = Open() up to frame 1 shown; floor = libav's own open and first frame of the same
// file; C is the worst over the three clips above of the median random jump with the cache
// on against the same jumps with it off).
#include "bench/commun.h"
#include "clip/TMediaPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{

// libav alone, as a plain program uses it: the clip open and its video decoder ready, on one
// thread, with a packet and a frame.
struct Libav {
    AVFormatContext *fc = nullptr;
    AVCodecContext *cc = nullptr;
    AVPacket *p = av_packet_alloc();
    AVFrame *f = av_frame_alloc();
    int flux = -1;

    explicit Libav(const std::string &chemin)
    {
        if (avformat_open_input(&fc, chemin.c_str(), nullptr, nullptr) < 0) return;
        avformat_find_stream_info(fc, nullptr);
        const AVCodec *dec = nullptr;
        flux = av_find_best_stream(fc, AVMEDIA_TYPE_VIDEO, -1, -1, &dec, 0);
        cc = avcodec_alloc_context3(dec);
        avcodec_parameters_to_context(cc, fc->streams[flux]->codecpar);
        cc->thread_count = 1;
        avcodec_open2(cc, dec, nullptr);
    }
    ~Libav()
    {
        av_frame_free(&f);
        av_packet_free(&p);
        avcodec_free_context(&cc);
        avformat_close_input(&fc);
    }
};

// Seconds to decode every frame of the clip once, single-threaded; frames in *n.
double decoderTout(const std::string &chemin, int *n)
{
    Libav l(chemin);
    if (!l.fc) return -1;
    *n = 0;
    QElapsedTimer t;
    t.start();
    auto recevoir = [&] {
        while (avcodec_receive_frame(l.cc, l.f) == 0) {
            ++*n;
            av_frame_unref(l.f);
        }
    };
    while (av_read_frame(l.fc, l.p) >= 0) {
        if (l.p->stream_index == l.flux) {
            avcodec_send_packet(l.cc, l.p);
            recevoir();
        }
        av_packet_unref(l.p);
    }
    avcodec_send_packet(l.cc, nullptr);
    recevoir();
    return t.nsecsElapsed() / 1e9;
}

// The one-hour clip is the one-minute clip sixty times over, packet for packet (each minute
// starts on a key frame): made in seconds, where encoding an hour takes most of one.
bool repeter(const std::string &source, const std::string &dest, int fois)
{
    const std::string temp = dest + ".tmp";
    AVFormatContext *in = nullptr;
    if (avformat_open_input(&in, source.c_str(), nullptr, nullptr) < 0) return false;
    AVFormatContext *out = nullptr;
    bool ok = avformat_find_stream_info(in, nullptr) >= 0 &&
              avformat_alloc_output_context2(&out, nullptr, "avi", temp.c_str()) >= 0;
    AVStream *st = ok ? avformat_new_stream(out, nullptr) : nullptr;
    ok = st && avcodec_parameters_copy(st->codecpar, in->streams[0]->codecpar) >= 0;
    if (ok) {
        st->time_base = in->streams[0]->time_base;
        ok = avio_open(&out->pb, temp.c_str(), AVIO_FLAG_WRITE) >= 0 &&
             avformat_write_header(out, nullptr) >= 0;
    }
    AVPacket *p = av_packet_alloc();
    int64_t decalage = 0, fin = 0;
    for (int i = 0; ok && i < fois; ++i) {
        ok = av_seek_frame(in, 0, 0, AVSEEK_FLAG_BACKWARD) >= 0;
        while (ok && av_read_frame(in, p) >= 0) {
            if (p->stream_index == 0) {
                p->dts += decalage;
                p->pts = p->dts; // AVI keeps decoding order only
                fin = std::max(fin, p->dts + 1);
                ok = av_write_frame(out, p) >= 0;
            }
            av_packet_unref(p);
        }
        decalage = fin;
    }
    av_packet_free(&p);
    if (ok) ok = av_write_trailer(out) >= 0;
    if (out) {
        avio_closep(&out->pb);
        avformat_free_context(out);
    }
    avformat_close_input(&in);
    return ok && std::rename(temp.c_str(), dest.c_str()) == 0;
}

// Seconds for libav alone to open the clip and decode its first picture.
double plancherOuverture(const std::string &chemin)
{
    QElapsedTimer t;
    t.start();
    Libav l(chemin);
    if (!l.fc) return -1;
    bool image = false;
    while (!image && av_read_frame(l.fc, l.p) >= 0) {
        if (l.p->stream_index == l.flux) {
            avcodec_send_packet(l.cc, l.p);
            image = avcodec_receive_frame(l.cc, l.f) == 0;
        }
        av_packet_unref(l.p);
    }
    if (!image) {
        avcodec_send_packet(l.cc, nullptr);
        avcodec_receive_frame(l.cc, l.f);
    }
    return t.nsecsElapsed() / 1e9; // before the teardown
}

template <typename F> double chrono(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}

struct Resultat {
    double decode, step, back, jump, jumpMax, gop, image, jumpCache;
};

Resultat mesurer(const std::string &chemin, int gop)
{
    Resultat r{};
    int n = 0;
    std::vector<double> tours;
    for (int i = 0; i < 3; ++i)
        tours.push_back(decoderTout(chemin, &n));
    r.decode = mediane(tours) / std::max(n, 1);
    r.gop = r.decode * gop;

    const QString nom = QString::fromStdString(chemin);
    std::vector<double> t;
    {
        TMediaPlayer lecteur;
        lecteur.setFileName(nom);
        lecteur.Open();
        const int L = lecteur.Length();
        lecteur.setFrames(1);
        std::vector<double> images;
        for (int f = 1; f < L; ++f) {
            t.push_back(chrono([&] { lecteur.Step(); }));
            images.push_back(chrono([&] { lecteur.image(); }));
        }
        r.step = mediane(t);
        r.image = mediane(images);
    }
    {
        TMediaPlayer lecteur;
        lecteur.setFileName(nom);
        lecteur.Open();
        const int L = lecteur.Length();
        lecteur.setFrames(L - 1);
        lecteur.Step();
        lecteur.setFrames(1);
        t.clear();
        for (int f = L - 2; f >= 0; --f)
            t.push_back(chrono([&] { lecteur.Back(); }));
        r.back = mediane(t);
    }
    // 100 random jumps, each as the program makes it: one Step or Back by the distance.
    auto sauts = [&](int cacheMio) {
        TMediaPlayer lecteur;
        if (cacheMio >= 0) lecteur.setCacheMio(cacheMio);
        lecteur.setFileName(nom);
        lecteur.Open();
        const int L = lecteur.Length();
        QRandomGenerator alea(2024);
        std::vector<double> d;
        for (int i = 0; i < 100; ++i) {
            const int a = alea.bounded(L);
            d.push_back(chrono([&] { lecteur.deplacerVers(a); }));
        }
        return d;
    };
    // With no cache at all every jump decodes from its key frame; with the cache on, as in
    // the program, jumps also fill it. Three turns each, taking turns, so that a change in
    // the machine's load weighs on both.
    std::vector<double> sansCache, avecCache;
    for (int tour = 0; tour < 3; ++tour) {
        t = sauts(0);
        sansCache.push_back(mediane(t));
        r.jumpMax = std::max(r.jumpMax, *std::max_element(t.begin(), t.end()));
        avecCache.push_back(mediane(sauts(-1)));
    }
    r.jump = mediane(sansCache);
    r.jumpCache = mediane(avecCache);
    return r;
}

struct Ouvertures {
    double ouvert[2], plancher[2];
};

// Median seconds of Open() up to frame 1 converted for showing, and of the floor, for two
// clips. The two clips take turns, so that a change in the machine's load weighs on both;
// the floors are measured in a loop of their own, since libav's open of a long clip reads its
// whole index and leaves the processor's caches cold for whatever follows.
Ouvertures ouvertures(const std::string (&chemins)[2])
{
    Ouvertures r{};
    for (const bool plancher : {true, false}) {
        std::vector<double> temps[2];
        for (int tour = 0; tour < 12; ++tour)
            for (int i = 0; i < 2; ++i) {
                const QString nom = QString::fromStdString(chemins[i]);
                const double t = plancher ? plancherOuverture(chemins[i]) : chrono([&] {
                    TMediaPlayer lecteur;
                    lecteur.setFileName(nom);
                    lecteur.Open();
                    lecteur.image();
                });
                // The first turn brings the file into the page cache and is not counted.
                if (tour > 0) temps[i].push_back(t);
            }
        for (int i = 0; i < 2; ++i)
            (plancher ? r.plancher : r.ouvert)[i] = mediane(temps[i]);
    }
    return r;
}

long picMemoireKo()
{
    std::ifstream f("/proc/self/status");
    std::string ligne;
    while (std::getline(f, ligne))
        if (ligne.rfind("VmHWM:", 0) == 0) return std::stol(ligne.substr(6));
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // stepping [DIR]: clips already made in DIR (divx.avi, mjpeg.avi, cvid.avi, heure.avi,
    // minute.avi) are reused, since the Cinepak encoder and the hour-long clip take minutes.
    QTemporaryDir temp;
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path());
    if (argc <= 1 && !temp.isValid()) return 1;
    struct Clip {
        const char *nom;
        std::vector<std::string> options;
        int gop;
    };
    const std::vector<Clip> clips{
        {"divx", {"--codec", "divx", "--gop", "250", "--bframes", "1"}, 250},
        {"mjpeg", {"--codec", "mjpeg"}, 1},
        {"cvid", {"--codec", "cvid", "--gop", "12"}, 12},
    };
    double a = 0, b = 0, c = 0, cache = 0;
    for (const Clip &clip : clips) {
        const std::string chemin =
            dir.filePath(QString::fromLatin1(clip.nom)).toStdString() + ".avi";
        std::vector<std::string> args{MKCLIP, "--out",    chemin, "--size", "640x480", "--rate",
                                      "1/25", "--frames", "500",  "--x0",   "40",      "--y0",
                                      "200",  "--vx",     "20",   "--vy",   "5",       "--a",
                                      "0",    "--radius", "12"};
        args.insert(args.end(), clip.options.begin(), clip.options.end());
        if (!QFileInfo::exists(QString::fromStdString(chemin)) && !lancer(args)) {
            std::fprintf(stderr, "mkclip failed for %s\n", clip.nom);
            return 1;
        }
        const Resultat r = mesurer(chemin, clip.gop);
        std::printf("%-6s decode %.3f ms/frame  step %.3f ms  back %.3f ms  jump %.3f ms (max %.3f)"
                    "  gop %.3f ms  image() %.3f ms  jump with cache %.3f ms\n",
                    clip.nom, r.decode * 1e3, r.step * 1e3, r.back * 1e3, r.jump * 1e3,
                    r.jumpMax * 1e3, r.gop * 1e3, r.image * 1e3, r.jumpCache * 1e3);
        std::fflush(stdout);
        cache = std::max(cache, r.jumpCache / r.jump);
        a = std::max(a, r.step / r.decode);
        b = std::max(b, r.back / r.step);
        c = std::max(c, r.jump / r.gop);
    }
    // Opening: a one-hour clip against its one-minute cut (640x480 MPEG-4 with B-frames).
    const std::string minute = dir.filePath(QStringLiteral("minute.avi")).toStdString();
    const std::string heure = dir.filePath(QStringLiteral("heure.avi")).toStdString();
    const std::vector<std::string> args{
        MKCLIP,    "--out", minute,  "--size", "640x480",   "--rate", "1/25", "--frames", "1500",
        "--codec", "divx",  "--gop", "250",    "--bframes", "1",      "--x0", "40",       "--y0",
        "200",     "--vx",  "5",     "--vy",   "0",         "--a",    "0",    "--radius", "12"};
    if ((!QFileInfo::exists(QString::fromStdString(minute)) && !lancer(args)) ||
        (!QFileInfo::exists(QString::fromStdString(heure)) && !repeter(minute, heure, 60))) {
        std::fprintf(stderr, "could not make the one-minute and one-hour clips\n");
        return 1;
    }
    const Ouvertures o = ouvertures({heure, minute});
    double surPlancher = 0;
    for (int i = 0; i < 2; ++i) {
        std::printf("%-6s open %.1f ms  floor %.1f ms\n", i == 0 ? "hour" : "minute",
                    o.ouvert[i] * 1e3, o.plancher[i] * 1e3);
        surPlancher = std::max(surPlancher, o.ouvert[i] / o.plancher[i]);
    }
    std::printf("peak memory %ld kB\n", picMemoireKo());
    std::printf("open long/short=%.2f open/floor=%.2f jump cached/uncached=%.2f\n",
                o.ouvert[0] / o.ouvert[1], surPlancher, cache);
    std::printf("ratios step/decode=%.2f back/step=%.2f jump/gop=%.2f\n", a, b, c);
    return 0;
}

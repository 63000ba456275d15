// mkclip: writes an AVI clip of a disc moving on a known path, and next to it a CSV file
// with the true centre of the disc on every frame. The tests and the demonstration clip are
// made with it, so that no video file has to be kept in the repository.
//
// Path of the centre, t = frame index x scale / rate seconds, y downward:
//   x(t) = x0 + vx t + ax t^2 / 2        y(t) = y0 + vy t + a t^2 / 2
// Pixel (i, j) has its centre at (i, j): the disc fills every pixel whose centre lies within
// the radius, with a hard edge, so the centroid of the filled pixels is the true centre to a
// small fraction of a pixel.
//
// For tracking tests, --texture A lays a fixed random texture of about +/-A grey levels over
// the background, --noise S adds new Gaussian noise of deviation S to every frame, --blur K
// exposes each frame over K instants spread across one frame period centred on its time
// (motion blur; the CSV then gives the mean centre over those instants), and --blank K makes
// frame K and every later one a picture of the background colour alone.
//
// The CSV starts with one comment line "# ruler x1 y x2 y" giving the two end pixels of the
// ruler ("# ruler none" without a ruler), then "frame,x,y" and one row per frame (frame from 0).

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

// Bad command line: exit 2. Anything that fails while writing: exit 1.
struct ErreurOption : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct ErreurEcriture : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char *const usage =
    "usage: mkclip --out FILE.avi [--codec raw|mjpeg|divx|xvid|mp42|div3|cvid|msvc]\n"
    "              [--size 320x240] [--rate 1/25] [--frames 50] [--gop 12] [--bframes 0|1]\n"
    "              [--x0 20] [--y0 40] [--vx 100] [--vy -120] [--a 400] [--ax 0] [--radius 8]\n"
    "              [--color ff0000] [--background ffffff] [--ruler 200]\n"
    "              [--sans-index] [--endommager K]\n"
    "              [--texture A] [--noise S] [--blur K] [--blank K]\n";

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

struct Options {
    std::string sortie;
    std::string codec = "raw";
    int largeur = 320, hauteur = 240;
    int echelle = 1, taux = 25;
    int nbImages = 50;
    int gop = 12;
    int bImages = 0;
    double x0 = 20, y0 = 40, vx = 100, vy = -120, a = 400, ax = 0, rayon = 8;
    Rgb couleur{0xff, 0, 0};
    Rgb fond{0xff, 0xff, 0xff};
    int regle = 200;
    bool sansIndex = false;
    int endommager = -1;
    double texture = 0, bruit = 0;
    int flou = 1;
    int vide = -1;
};

struct Codec {
    const char *encodeur;
    AVPixelFormat format;
    uint32_t fourcc; // 0: uncompressed, empty handler
};

constexpr uint32_t tag(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

const std::map<std::string, Codec> codecs = {
    {"raw", {"rawvideo", AV_PIX_FMT_BGR24, 0}},
    {"mjpeg", {"mjpeg", AV_PIX_FMT_YUV420P, tag('M', 'J', 'P', 'G')}},
    {"divx", {"mpeg4", AV_PIX_FMT_YUV420P, tag('D', 'I', 'V', 'X')}},
    {"xvid", {"mpeg4", AV_PIX_FMT_YUV420P, tag('X', 'V', 'I', 'D')}},
    {"mp42", {"msmpeg4v2", AV_PIX_FMT_YUV420P, tag('M', 'P', '4', '2')}},
    {"div3", {"msmpeg4", AV_PIX_FMT_YUV420P, tag('D', 'I', 'V', '3')}},
    {"cvid", {"cinepak", AV_PIX_FMT_RGB24, tag('c', 'v', 'i', 'd')}},
    {"msvc", {"msvideo1", AV_PIX_FMT_RGB555LE, tag('C', 'R', 'A', 'M')}},
};

std::string texteErreurAv(int code)
{
    char tampon[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, tampon, sizeof tampon);
    return tampon;
}

void verifierAv(int code, const std::string &quoi)
{
    if (code < 0) throw ErreurEcriture(quoi + ": " + texteErreurAv(code));
}

// ---- command line ----

long entier(const std::string &option, const std::string &texte, long min, long max)
{
    errno = 0;
    char *fin = nullptr;
    long v = std::strtol(texte.c_str(), &fin, 10);
    if (texte.empty() || *fin != '\0' || errno == ERANGE || v < min || v > max)
        throw ErreurOption(option + ": integer between " + std::to_string(min) + " and " +
                           std::to_string(max) + " expected, got \"" + texte + "\"");
    return v;
}

double reel(const std::string &option, const std::string &texte)
{
    errno = 0;
    char *fin = nullptr;
    double v = std::strtod(texte.c_str(), &fin);
    if (texte.empty() || *fin != '\0' || errno == ERANGE || !std::isfinite(v) || std::fabs(v) > 1e7)
        throw ErreurOption(option + ": number expected, got \"" + texte + "\"");
    return v;
}

std::pair<long, long> paire(const std::string &option, const std::string &texte, char sep, long max)
{
    auto p = texte.find(sep);
    if (p == std::string::npos)
        throw ErreurOption(option + ": expected A" + sep + "B, got \"" + texte + "\"");
    return {entier(option, texte.substr(0, p), 1, max),
            entier(option, texte.substr(p + 1), 1, max)};
}

Rgb couleur(const std::string &option, const std::string &texte)
{
    if (texte.size() != 6 || texte.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw ErreurOption(option + ": colour RRGGBB in hexadecimal expected, got \"" + texte +
                           "\"");
    unsigned long v = std::strtoul(texte.c_str(), nullptr, 16);
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Options lireOptions(int argc, char **argv)
{
    Options o;
    bool avecSortie = false;
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--sans-index") {
            o.sansIndex = true;
            continue;
        }
        if (opt == "--help" || opt == "-h") throw ErreurOption("");
        if (i + 1 >= argc)
            throw ErreurOption(opt.rfind("--", 0) == 0 ? opt + ": value missing"
                                                       : "unknown argument \"" + opt + "\"");
        std::string val = argv[++i];
        if (opt == "--out") {
            o.sortie = val;
            avecSortie = !val.empty();
        } else if (opt == "--codec") {
            if (!codecs.count(val)) throw ErreurOption("--codec: unknown codec \"" + val + "\"");
            o.codec = val;
        } else if (opt == "--size") {
            auto [l, h] = paire(opt, val, 'x', 4096);
            o.largeur = int(l);
            o.hauteur = int(h);
        } else if (opt == "--rate") {
            auto [e, t] = paire(opt, val, '/', std::numeric_limits<int32_t>::max());
            o.echelle = int(e);
            o.taux = int(t);
        } else if (opt == "--frames") {
            o.nbImages = int(entier(opt, val, 1, 100000));
        } else if (opt == "--gop") {
            o.gop = int(entier(opt, val, 1, 10000));
        } else if (opt == "--bframes") {
            o.bImages = int(entier(opt, val, 0, 1));
        } else if (opt == "--x0") {
            o.x0 = reel(opt, val);
        } else if (opt == "--y0") {
            o.y0 = reel(opt, val);
        } else if (opt == "--vx") {
            o.vx = reel(opt, val);
        } else if (opt == "--vy") {
            o.vy = reel(opt, val);
        } else if (opt == "--a") {
            o.a = reel(opt, val);
        } else if (opt == "--ax") {
            o.ax = reel(opt, val);
        } else if (opt == "--radius") {
            o.rayon = reel(opt, val);
            if (!(o.rayon > 0) || o.rayon > 4096)
                throw ErreurOption("--radius: positive number expected");
        } else if (opt == "--color") {
            o.couleur = couleur(opt, val);
        } else if (opt == "--background") {
            o.fond = couleur(opt, val);
        } else if (opt == "--ruler") {
            o.regle = int(entier(opt, val, 0, 4096));
        } else if (opt == "--texture") {
            o.texture = reel(opt, val);
            if (o.texture < 0 || o.texture > 255) throw ErreurOption("--texture: 0 to 255");
        } else if (opt == "--noise") {
            o.bruit = reel(opt, val);
            if (o.bruit < 0 || o.bruit > 255) throw ErreurOption("--noise: 0 to 255");
        } else if (opt == "--blur") {
            o.flou = int(entier(opt, val, 1, 64));
        } else if (opt == "--blank") {
            o.vide = int(entier(opt, val, 0, 100000));
        } else if (opt == "--endommager") {
            o.endommager = int(entier(opt, val, 0, 100000));
        } else {
            throw ErreurOption("unknown option \"" + opt + "\"");
        }
    }
    if (!avecSortie) throw ErreurOption("--out is required");
    if (o.regle > 0 && o.regle > o.largeur - 3)
        throw ErreurOption("--ruler: longer than the picture is wide");
    if (o.regle > 0 && o.hauteur < 16)
        throw ErreurOption("--ruler: the picture is too low for a ruler");
    if (o.endommager >= o.nbImages)
        throw ErreurOption("--endommager: frame number beyond the last frame");
    return o;
}

// ---- picture ----

struct Regle {
    int x1, x2, y;
};

Regle regleDe(const Options &o)
{
    int x1 = (o.largeur - o.regle) / 2;
    return {x1, x1 + o.regle, o.hauteur - 8};
}

struct Centre {
    double x, y;
};

Centre centreA(const Options &o, double t)
{
    return {o.x0 + o.vx * t + 0.5 * o.ax * t * t, o.y0 + o.vy * t + 0.5 * o.a * t * t};
}

// The instants a frame is exposed at: one, or K spread over a frame period around its time.
std::vector<double> instants(const Options &o, int image)
{
    if (o.flou == 1) return {double(image) * o.echelle / o.taux};
    const double periode = double(o.echelle) / o.taux;
    std::vector<double> t;
    for (int k = 0; k < o.flou; ++k)
        t.push_back(periode * (image + (k - (o.flou - 1) / 2.0) / o.flou));
    return t;
}

Centre centreDe(const Options &o, int image)
{
    Centre m{0, 0};
    const std::vector<double> t = instants(o, image);
    for (double ti : t) {
        const Centre c = centreA(o, ti);
        m.x += c.x / double(t.size());
        m.y += c.y / double(t.size());
    }
    return m;
}

// A fixed texture: white noise smoothed over a few pixels, scaled to about +/-amplitude.
std::vector<float> texture(const Options &o)
{
    const int l = o.largeur, h = o.hauteur;
    std::vector<float> brut(size_t(l) * h), lisse(size_t(l) * h);
    uint32_t alea = 0x9E3779B9u;
    for (float &v : brut) {
        alea ^= alea << 13;
        alea ^= alea >> 17;
        alea ^= alea << 5;
        v = float(alea & 0xffff) / 65535.0f - 0.5f;
    }
    const int r = 1;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < l; ++i) {
            float somme = 0;
            int n = 0;
            for (int dj = -r; dj <= r; ++dj)
                for (int di = -r; di <= r; ++di) {
                    const int x = i + di, y = j + dj;
                    if (x < 0 || y < 0 || x >= l || y >= h) continue;
                    somme += brut[size_t(y) * l + x];
                    ++n;
                }
            // Averaging 9 uniform values of spread 1 leaves a deviation of about 0.096.
            lisse[size_t(j) * l + i] = float(o.texture) * somme / float(n) / 0.2f;
        }
    return lisse;
}

void dessiner(std::vector<uint8_t> &rgb, const Options &o, Centre c)
{
    const int l = o.largeur, h = o.hauteur;
    auto point = [&](int i, int j, Rgb k) {
        if (i < 0 || j < 0 || i >= l || j >= h) return;
        uint8_t *p = &rgb[(size_t(j) * l + i) * 3];
        p[0] = k.r;
        p[1] = k.g;
        p[2] = k.b;
    };
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < l; ++i)
            point(i, j, o.fond);
    if (o.regle > 0) {
        const Rgb sombre{0x10, 0x10, 0x10};
        Regle r = regleDe(o);
        for (int i = r.x1; i <= r.x2; ++i)
            point(i, r.y, sombre);
        for (int d = -3; d <= 3; ++d) {
            point(r.x1, r.y + d, sombre);
            point(r.x2, r.y + d, sombre);
        }
    }
    const double r2 = o.rayon * o.rayon;
    const int jMin = int(std::floor(c.y - o.rayon)), jMax = int(std::ceil(c.y + o.rayon));
    const int iMin = int(std::floor(c.x - o.rayon)), iMax = int(std::ceil(c.x + o.rayon));
    for (int j = std::max(jMin, 0); j <= std::min(jMax, h - 1); ++j)
        for (int i = std::max(iMin, 0); i <= std::min(iMax, l - 1); ++i) {
            double dx = i - c.x, dy = j - c.y;
            if (dx * dx + dy * dy <= r2) point(i, j, o.couleur);
        }
}

// The frame as exposed: the drawings at its instants averaged, with texture and noise.
void composer(std::vector<uint8_t> &rgb, const Options &o, int image,
              const std::vector<float> &motif, uint32_t &alea)
{
    const size_t n = size_t(o.largeur) * o.hauteur * 3;
    if (o.vide >= 0 && image >= o.vide) {
        for (size_t p = 0; p < n; p += 3) {
            rgb[p] = o.fond.r;
            rgb[p + 1] = o.fond.g;
            rgb[p + 2] = o.fond.b;
        }
        return;
    }
    const bool simple = o.flou == 1 && o.texture == 0 && o.bruit == 0;
    if (simple) {
        dessiner(rgb, o, centreDe(o, image));
        return;
    }
    std::vector<float> somme(n, 0.0f);
    std::vector<uint8_t> une(n);
    const std::vector<double> t = instants(o, image);
    Options sansDisque = o;
    sansDisque.rayon = 0;
    // Where the disc is not, the background shows: the texture goes on the background only.
    std::vector<uint8_t> fond(n);
    dessiner(fond, sansDisque, {-1e9, -1e9});
    for (double ti : t) {
        dessiner(une, o, centreA(o, ti));
        for (size_t p = 0; p < n; ++p) {
            float v = une[p];
            if (une[p] == fond[p] && !motif.empty()) v += motif[p / 3];
            somme[p] += v;
        }
    }
    auto gauss = [&alea] {
        // Box-Muller on the xorshift generator.
        auto u = [&alea] {
            alea ^= alea << 13;
            alea ^= alea >> 17;
            alea ^= alea << 5;
            return (double(alea) + 1.0) / 4294967297.0;
        };
        return std::sqrt(-2.0 * std::log(u())) * std::cos(6.283185307179586 * u());
    };
    for (size_t p = 0; p < n; p += 3) {
        const float b = o.bruit > 0 ? float(o.bruit * gauss()) : 0.0f;
        for (size_t c = 0; c < 3; ++c) {
            const float v = somme[p + c] / float(t.size()) + b;
            rgb[p + c] = uint8_t(std::clamp(std::lround(v), 0L, 255L));
        }
    }
}

// ---- encoding ----

template <typename T, void (*F)(T **)> struct Libere {
    void operator()(T *p) const { F(&p); }
};
using ContexteCodec = std::unique_ptr<AVCodecContext, Libere<AVCodecContext, avcodec_free_context>>;
using Image = std::unique_ptr<AVFrame, Libere<AVFrame, av_frame_free>>;
using Paquet = std::unique_ptr<AVPacket, Libere<AVPacket, av_packet_free>>;

struct Sortie {
    AVFormatContext *fc = nullptr;
    ~Sortie()
    {
        if (fc) {
            if (fc->pb) avio_closep(&fc->pb);
            avformat_free_context(fc);
        }
    }
};

struct Echelle {
    SwsContext *sws = nullptr;
    ~Echelle() { sws_freeContext(sws); }
};

void ecrirePaquets(AVCodecContext *cc, AVFormatContext *fc, AVStream *st, AVPacket *pkt)
{
    for (;;) {
        int r = avcodec_receive_packet(cc, pkt);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
        verifierAv(r, "encoder");
        av_packet_rescale_ts(pkt, cc->time_base, st->time_base);
        pkt->stream_index = st->index;
        verifierAv(av_interleaved_write_frame(fc, pkt), "writing a frame");
    }
}

void encoder(const Options &o, const std::string &chemin)
{
    const Codec &k = codecs.at(o.codec);
    const AVCodec *enc = avcodec_find_encoder_by_name(k.encodeur);
    if (!enc)
        throw ErreurEcriture(std::string("no encoder \"") + k.encodeur + "\" in this libavcodec");

    Sortie sortie;
    verifierAv(avformat_alloc_output_context2(&sortie.fc, nullptr, "avi", chemin.c_str()),
               "AVI muxer");
    AVFormatContext *fc = sortie.fc;
    AVStream *st = avformat_new_stream(fc, nullptr);
    if (!st) throw ErreurEcriture("cannot add a stream");

    ContexteCodec cc(avcodec_alloc_context3(enc));
    if (!cc) throw ErreurEcriture("cannot allocate the encoder");
    AVRational base{o.echelle, o.taux};
    av_reduce(&base.num, &base.den, base.num, base.den, std::numeric_limits<int32_t>::max());
    cc->width = o.largeur;
    cc->height = o.hauteur;
    cc->pix_fmt = k.format;
    cc->time_base = base;
    cc->framerate = av_inv_q(base);
    cc->gop_size = o.gop;
    // Cinepak and Video 1 place their key frames by keyint_min, not by gop_size.
    if (o.codec == "cvid" || o.codec == "msvc") cc->keyint_min = o.gop;
    cc->max_b_frames = o.bImages;
    cc->thread_count = 1;
    cc->codec_tag = k.fourcc;
    cc->sample_aspect_ratio = {1, 1};
    if (o.codec == "mjpeg") cc->color_range = AVCOL_RANGE_JPEG;
    if (o.codec != "raw" && o.codec != "cvid" && o.codec != "msvc") {
        // Constant fine quantiser: the disc must stay sharp enough for a centroid.
        cc->flags |= AV_CODEC_FLAG_QSCALE;
        cc->global_quality = FF_QP2LAMBDA * 2;
    }
    if (fc->oformat->flags & AVFMT_GLOBALHEADER) cc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    verifierAv(avcodec_open2(cc.get(), enc, nullptr), std::string("opening encoder ") + k.encodeur);
    verifierAv(avcodec_parameters_from_context(st->codecpar, cc.get()), "stream parameters");
    st->codecpar->codec_tag = k.fourcc;
    st->time_base = base;
    st->avg_frame_rate = av_inv_q(base);

    verifierAv(avio_open(&fc->pb, chemin.c_str(), AVIO_FLAG_WRITE), "opening " + chemin);
    verifierAv(avformat_write_header(fc, nullptr), "AVI header");

    Echelle conv;
    conv.sws = sws_getContext(o.largeur, o.hauteur, AV_PIX_FMT_RGB24, o.largeur, o.hauteur,
                              k.format, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP,
                              nullptr, nullptr, nullptr);
    if (!conv.sws) throw ErreurEcriture("no conversion from RGB to the encoder's pixel format");
    if (o.codec == "mjpeg") {
        // Full-range YUV, as JPEG expects.
        const int *coefs = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(conv.sws, coefs, 1, coefs, 1, 0, 1 << 16, 1 << 16);
    }

    Image img(av_frame_alloc());
    Paquet pkt(av_packet_alloc());
    if (!img || !pkt) throw ErreurEcriture("out of memory");
    img->format = k.format;
    img->width = o.largeur;
    img->height = o.hauteur;
    img->color_range = cc->color_range;
    verifierAv(av_frame_get_buffer(img.get(), 0), "frame buffer");

    std::vector<uint8_t> rgb(size_t(o.largeur) * o.hauteur * 3);
    const std::vector<float> motif = o.texture > 0 ? texture(o) : std::vector<float>();
    uint32_t alea = 0x2545F491u;
    for (int n = 0; n < o.nbImages; ++n) {
        composer(rgb, o, n, motif, alea);
        verifierAv(av_frame_make_writable(img.get()), "frame buffer");
        const uint8_t *src[1] = {rgb.data()};
        const int pas[1] = {o.largeur * 3};
        sws_scale(conv.sws, src, pas, 0, o.hauteur, img->data, img->linesize);
        img->pts = n;
        verifierAv(avcodec_send_frame(cc.get(), img.get()), "encoder");
        ecrirePaquets(cc.get(), fc, st, pkt.get());
    }
    verifierAv(avcodec_send_frame(cc.get(), nullptr), "encoder");
    ecrirePaquets(cc.get(), fc, st, pkt.get());
    verifierAv(av_write_trailer(fc), "AVI trailer");
    verifierAv(avio_closep(&fc->pb), "closing " + chemin);
}

// ---- changes made on the written file ----

uint32_t lu32(const std::vector<uint8_t> &d, size_t p)
{
    return uint32_t(d[p]) | uint32_t(d[p + 1]) << 8 | uint32_t(d[p + 2]) << 16 |
           uint32_t(d[p + 3]) << 24;
}

void ecu32(std::vector<uint8_t> &d, size_t p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d[p + i] = uint8_t(v >> (8 * i));
}

bool idEgal(const std::vector<uint8_t> &d, size_t p, const char *id)
{
    return p + 4 <= d.size() && std::memcmp(&d[p], id, 4) == 0;
}

struct Morceau {
    size_t debut; // of the chunk header
    uint32_t taille;
};

// The chunks directly inside the list whose data runs from debut to fin.
std::vector<Morceau> morceaux(const std::vector<uint8_t> &d, size_t debut, size_t fin)
{
    std::vector<Morceau> liste;
    size_t p = debut;
    while (p + 8 <= fin) {
        uint32_t t = lu32(d, p + 4);
        if (t > fin - p - 8)
            throw ErreurEcriture("malformed AVI written: chunk runs past its list");
        liste.push_back({p, t});
        p += 8 + size_t(t) + (t & 1);
    }
    return liste;
}

constexpr uint32_t avifHasIndex = 0x10;

void modifierFichier(const Options &o, const std::string &chemin)
{
    std::vector<uint8_t> d;
    {
        std::ifstream f(chemin, std::ios::binary);
        d.assign(std::istreambuf_iterator<char>(f), {});
    }
    if (d.size() < 12 || !idEgal(d, 0, "RIFF") || !idEgal(d, 8, "AVI "))
        throw ErreurEcriture("the written file is not a RIFF AVI file");
    size_t finRiff = std::min(d.size(), size_t(8) + lu32(d, 4));
    auto haut = morceaux(d, 12, finRiff);

    if (o.endommager >= 0) {
        const Morceau *movi = nullptr;
        for (auto &m : haut)
            if (idEgal(d, m.debut, "LIST") && idEgal(d, m.debut + 8, "movi")) movi = &m;
        if (!movi) throw ErreurEcriture("no movi list in the written file");
        int n = -1;
        for (auto &m : morceaux(d, movi->debut + 12, movi->debut + 8 + movi->taille)) {
            if (!(idEgal(d, m.debut, "00dc") || idEgal(d, m.debut, "00db"))) continue;
            if (++n != o.endommager) continue;
            if (m.taille < 8)
                throw ErreurEcriture("frame " + std::to_string(n) + " has no payload to damage");
            // Keep the first few bytes so the codec still recognises the frame, then garbage.
            size_t debut = m.debut + 8 + std::min<size_t>(16, m.taille / 8);
            uint32_t alea = 0x2545F491u;
            for (size_t p = debut; p < m.debut + 8 + m.taille; ++p) {
                alea ^= alea << 13;
                alea ^= alea >> 17;
                alea ^= alea << 5;
                d[p] = uint8_t(alea);
            }
            break;
        }
        if (n != o.endommager)
            throw ErreurEcriture("frame " + std::to_string(o.endommager) + " not found");
    }

    if (o.sansIndex) {
        for (auto it = haut.rbegin(); it != haut.rend(); ++it)
            if (idEgal(d, it->debut, "idx1")) {
                size_t longueur = 8 + size_t(it->taille) + (it->taille & 1);
                d.erase(d.begin() + long(it->debut), d.begin() + long(it->debut + longueur));
                ecu32(d, 4, lu32(d, 4) - uint32_t(longueur));
            }
        // Main header flags: hdrl list at 12, avih at 24, flags at 44.
        if (!idEgal(d, 24, "avih")) throw ErreurEcriture("no main AVI header at its usual place");
        ecu32(d, 44, lu32(d, 44) & ~avifHasIndex);
    }

    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char *>(d.data()), std::streamsize(d.size()));
    if (!f.flush()) throw ErreurEcriture("cannot rewrite " + chemin);
}

void ecrireCsv(const Options &o, const std::string &chemin)
{
    std::FILE *f = std::fopen(chemin.c_str(), "w");
    if (!f) throw ErreurEcriture("cannot write " + chemin + ": " + std::strerror(errno));
    if (o.regle > 0) {
        Regle r = regleDe(o);
        std::fprintf(f, "# ruler %d %d %d %d\n", r.x1, r.y, r.x2, r.y);
    } else {
        std::fprintf(f, "# ruler none\n");
    }
    std::fprintf(f, "frame,x,y\n");
    for (int n = 0; n < o.nbImages; ++n) {
        Centre c = centreDe(o, n);
        std::fprintf(f, "%d,%.6f,%.6f\n", n, c.x, c.y);
    }
    if (std::fclose(f) != 0) throw ErreurEcriture("cannot write " + chemin);
}

std::string csvDe(const std::string &avi)
{
    auto p = avi.rfind('.');
    auto s = avi.rfind('/');
    if (p == std::string::npos || (s != std::string::npos && p < s)) return avi + ".csv";
    return avi.substr(0, p) + ".csv";
}

// Several builds may make the same file at once: write aside, then rename into place.
void remplacer(const std::string &temp, const std::string &final)
{
    if (std::rename(temp.c_str(), final.c_str()) != 0)
        throw ErreurEcriture("cannot rename " + temp + " to " + final + ": " +
                             std::strerror(errno));
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    try {
        o = lireOptions(argc, argv);
    } catch (const ErreurOption &e) {
        if (*e.what()) std::fprintf(stderr, "mkclip: %s\n", e.what());
        std::fputs(usage, stderr);
        return 2;
    }
    av_log_set_level(AV_LOG_ERROR);
    const std::string suffixe = ".tmp" + std::to_string(getpid());
    const std::string avi = o.sortie, csv = csvDe(o.sortie);
    try {
        encoder(o, avi + suffixe);
        if (o.sansIndex || o.endommager >= 0) modifierFichier(o, avi + suffixe);
        ecrireCsv(o, csv + suffixe);
        remplacer(avi + suffixe, avi);
        remplacer(csv + suffixe, csv);
    } catch (const std::exception &e) {
        std::remove((avi + suffixe).c_str());
        std::remove((csv + suffixe).c_str());
        std::fprintf(stderr, "mkclip: %s\n", e.what());
        return 1;
    }
    return 0;
}

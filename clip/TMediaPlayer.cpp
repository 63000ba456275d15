#include "clip/TMediaPlayer.h"

#include "app/erreurs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <list>
#include <mutex>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace
{

// Limits against broken or hostile files: nothing is allocated or decoded on the word of a
// header value alone.
constexpr int coteMax = 16384;
constexpr int64_t pixelsMax = 40'000'000;
constexpr int imagesMax = 10'000'000;
// Packets a positioning may send beyond the distance from its key frame.
constexpr int margeDecodage = 64;
// Frames looked at before a frame that does not decode, for a picture to show instead.
constexpr int essaisImagePrecedente = 16;
constexpr auto delaiOuverture = std::chrono::seconds(60);
constexpr auto delaiRequete = std::chrono::seconds(20);

QString texteErreur(int code)
{
    char tampon[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, tampon, sizeof tampon);
    return QString::fromUtf8(tampon);
}

[[noreturn]] void echecOuverture(const QString &raison)
{
    throw ErreurKinemar(QStringLiteral("Impossible d'ouvrir le fichier vidéo : ") + raison);
}

struct LibererFormat {
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct LibererCodec {
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct LibererTrame {
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct LibererPaquet {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct LibererSws {
    void operator()(SwsContext *s) const { sws_freeContext(s); }
};
using Format = std::unique_ptr<AVFormatContext, LibererFormat>;
using Codec = std::unique_ptr<AVCodecContext, LibererCodec>;
using Trame = std::unique_ptr<AVFrame, LibererTrame>;
using Paquet = std::unique_ptr<AVPacket, LibererPaquet>;
using Sws = std::unique_ptr<SwsContext, LibererSws>;

// One unreferenced packet per loop turn, whatever path leaves the turn.
struct PaquetLu {
    AVPacket *p;
    ~PaquetLu() { av_packet_unref(p); }
};

using Horloge = std::chrono::steady_clock;

// I/O deadline: FFmpeg polls it while reading.
struct Echeance {
    Horloge::time_point limite = Horloge::time_point::max();
    void dans(Horloge::duration d) { limite = Horloge::now() + d; }
    void lever() { limite = Horloge::time_point::max(); }
    bool depassee() const { return Horloge::now() > limite; }
};

int interrompre(void *opaque)
{
    return static_cast<const Echeance *>(opaque)->depassee() ? 1 : 0;
}

size_t octetsTrame(const AVFrame *f)
{
    size_t n = sizeof(AVFrame);
    for (const AVBufferRef *b : f->buf)
        if (b) n += b->size;
    for (int i = 0; i < f->nb_extended_buf; ++i)
        n += f->extended_buf[i]->size;
    return n;
}

// Decoded pictures by chunk number, least recently used dropped first, bounded in bytes.
class CacheTrames
{
public:
    explicit CacheTrames(size_t maxEntrees = SIZE_MAX) : maxEntrees_(maxEntrees) {}
    void setBudget(size_t octets)
    {
        budget_ = octets;
        elaguer();
    }
    const AVFrame *trouver(int chunk)
    {
        auto it = index_.find(chunk);
        if (it == index_.end()) return nullptr;
        lru_.splice(lru_.begin(), lru_, it->second);
        return it->second->trame.get();
    }
    bool contient(int chunk) const { return index_.count(chunk) != 0; }
    void ajouter(int chunk, const AVFrame *source)
    {
        if (contient(chunk)) return;
        Trame copie(av_frame_alloc());
        if (!copie || av_frame_ref(copie.get(), source) < 0) return;
        const size_t octets = octetsTrame(copie.get());
        lru_.push_front(Entree{chunk, std::move(copie), octets});
        index_[chunk] = lru_.begin();
        total_ += octets;
        elaguer();
    }
    void vider()
    {
        lru_.clear();
        index_.clear();
        total_ = 0;
    }

private:
    struct Entree {
        int chunk;
        Trame trame;
        size_t octets;
    };
    void elaguer()
    {
        while ((total_ > budget_ || lru_.size() > maxEntrees_) && !lru_.empty()) {
            total_ -= lru_.back().octets;
            index_.erase(lru_.back().chunk);
            lru_.pop_back();
        }
    }
    std::list<Entree> lru_;
    std::unordered_map<int, std::list<Entree>::iterator> index_;
    size_t total_ = 0;
    size_t budget_ = 256u << 20;
    size_t maxEntrees_;
};

// Without an index the AVI demuxer calls every packet a key frame. For the two codecs whose
// delta frames would then be taken for starting points, the frame itself tells.

// Cinepak: a frame stands alone when every strip has intra vectors and both codebooks given
// in full in this frame (or handed down from the strip above), and the strips cover the
// picture's height.
bool cinepakAutonome(const uint8_t *p, int n, int hauteur)
{
    if (n < 10) return false;
    const int drapeaux = p[0];
    const int nbBandes = (p[8] << 8) | p[9];
    if (nbBandes <= 0) return false;
    const uint8_t *q = p + 10;
    const uint8_t *const fin = p + n;
    bool v1Precedent = false, v4Precedent = false;
    int y0 = 0;
    for (int i = 0; i < nbBandes; ++i) {
        if (fin - q < 12) return false;
        const int tailleBande = ((q[1] << 16) | (q[2] << 8) | q[3]) - 12;
        int y1 = (q[4] << 8) | q[5];
        int y2 = (q[8] << 8) | q[9];
        if (y1 == 0) {
            y1 = y0;
            y2 += y0;
        }
        if (tailleBande < 0 || y1 > y0 || y2 <= y1) return false;
        q += 12;
        const uint8_t *finBande = q + std::min<ptrdiff_t>(tailleBande, fin - q);
        bool v1 = false, v4 = false;
        if (i > 0 && !(drapeaux & 0x01)) {
            v1 = v1Precedent;
            v4 = v4Precedent;
        }
        bool intra = false;
        while (finBande - q >= 4) {
            const int id = q[0];
            const int tailleMorceau = ((q[1] << 16) | (q[2] << 8) | q[3]) - 4;
            if (tailleMorceau < 0) return false;
            q += 4;
            if (id == 0x20 || id == 0x24)
                v4 = true;
            else if (id == 0x22 || id == 0x26)
                v1 = true;
            else if (id == 0x30) {
                intra = v1 && v4;
                break;
            } else if (id == 0x32) {
                intra = v1;
                break;
            } else if (id == 0x31)
                return false;
            q += std::min<ptrdiff_t>(tailleMorceau, finBande - q);
        }
        if (!intra) return false;
        q = finBande;
        v1Precedent = v1;
        v4Precedent = v4;
        y0 = y2;
    }
    return y0 >= hauteur;
}

// Microsoft Video 1: a frame stands alone when it codes every 4x4 block, skipping none.
bool msvideo1Autonome(const uint8_t *p, int n, int largeur, int hauteur, bool huitBits)
{
    int blocs = (largeur / 4) * (hauteur / 4);
    int pos = 0;
    while (blocs > 0) {
        if (pos + 2 > n) return false;
        const int b = p[pos + 1];
        pos += 2;
        if ((b & 0xFC) == 0x84) return false;
        if (huitBits) {
            if (b < 0x80)
                pos += 2;
            else if (b >= 0x90)
                pos += 8;
        } else if (b < 0x80) {
            if (pos + 4 > n) return false;
            const int couleur0 = p[pos] | (p[pos + 1] << 8);
            pos += (couleur0 & 0x8000) ? 16 : 4;
        }
        --blocs;
    }
    return pos <= n;
}

std::once_flag journalReduit;

} // namespace

// Everything that exists while a file is open.
struct Clip {
    Echeance echeance;
    QByteArray url;
    Format fc;
    Codec cc;
    Paquet paquet{av_packet_alloc()};
    Trame trame{av_frame_alloc()};
    int flux = -1;
    AVRational baseTemps{1, 25};
    double periode = 0.04;
    bool avi = true;
    int64_t debut = 0;
    int largeur = 0, hauteur = 0;
    bool intra = false;
    bool reordonne = false;
    // The decoder draws each picture over the one before, in the same buffer: any reference
    // kept to the previous picture makes it copy the whole picture first.
    bool enPlace = false;
    int nbImages = 0;

    // Chunk = the container's frame slot (the AVI frame number). Pictures are stored and
    // looked up by the chunk they were coded in.
    std::vector<int64_t> dtsDe; // chunk -> its packet's dts, AV_NOPTS_VALUE for an empty slot
    std::vector<int> cles;      // chunks a decode can start from, ascending
    std::vector<int> affDe;     // with reordering: chunk -> display index, -1 if none
    std::vector<int> imageDe;   // frame -> chunk whose picture is shown there

    // The decode now under way: started at key chunk `cle`, last packet sent `envoye`,
    // last display index that came out `sorti` (reordering only).
    struct Course {
        bool active = false;
        bool fin = false;
        int cle = -1;
        int envoye = -1;
        int sorti = -1;
        bool enAvant = false; // the request went on from the decoder's position
        bool trouve = false;  // the target came out, in `resultat`
    } course;
    CacheTrames cache;
    CacheTrames recents{4};
    Trame resultat{av_frame_alloc()};

    void setBudget(size_t octets)
    {
        cache.setBudget(octets);
        recents.setBudget(octets / 8);
    }

    void ouvrir(const QString &nom);
    void ouvrirFormat();
    bool rouvrir();
    void construireTable();
    bool depuisIndex();
    void parcourir();
    void finaliser();

    int chunkDe(int64_t dts) const
    {
        if (dts == AV_NOPTS_VALUE || (!avi && debut == AV_NOPTS_VALUE)) return -1;
        if (avi) return dts < 0 || dts >= imagesMax ? -1 : int(dts);
        const double t = double(dts - debut) * av_q2d(baseTemps) / periode;
        return t < -0.5 || t >= imagesMax ? -1 : int(std::llround(t));
    }
    int nbChunks() const { return int(dtsDe.size()); }
    bool aDonnees(int c) const
    {
        return c >= 0 && c < nbChunks() && dtsDe[size_t(c)] != AV_NOPTS_VALUE;
    }
    int aff(int c) const { return reordonne ? affDe[size_t(c)] : c; }
    bool valideDepuis(int cle, int s) const { return cle <= s && aff(cle) <= aff(s); }
    int clePour(int s) const;
    bool peutContinuer(int s) const;
    bool enCache(int s) const;

    const AVFrame *obtenir(int s);
    void demarrer(int cle);
    void recevoir(int s);
    void enregistrer(int c, int s);
};

void Clip::ouvrirFormat()
{
    AVFormatContext *brut = avformat_alloc_context();
    if (!brut) echecOuverture(texteErreur(AVERROR(ENOMEM)));
    brut->interrupt_callback.callback = &interrompre;
    brut->interrupt_callback.opaque = &echeance;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "probesize", "5000000", 0);
    av_dict_set(&options, "analyzeduration", "5000000", 0);
    av_dict_set(&options, "max_streams", "32", 0);
    const int r = avformat_open_input(&brut, url.constData(), nullptr, &options);
    av_dict_free(&options);
    if (r < 0) // brut has been freed
        echecOuverture(texteErreur(r));
    fc.reset(brut);
}

void Clip::ouvrir(const QString &nom)
{
    if (nom.isEmpty()) echecOuverture(QStringLiteral("aucun fichier indiqué"));
    const QFileInfo info(nom);
    if (!info.exists()) echecOuverture(texteErreur(AVERROR(ENOENT)));
    if (!info.isFile()) echecOuverture(QStringLiteral("ce n'est pas un fichier"));
    // The "file:" prefix keeps a name with a colon from being read as another protocol.
    url = "file:" + QFile::encodeName(info.absoluteFilePath());
    echeance.dans(delaiOuverture);
    ouvrirFormat();

    int r = avformat_find_stream_info(fc.get(), nullptr);
    if (r < 0) echecOuverture(texteErreur(r));
    const AVCodec *decodeur = nullptr;
    flux = av_find_best_stream(fc.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decodeur, 0);
    if (flux == AVERROR_STREAM_NOT_FOUND)
        echecOuverture(QStringLiteral("le fichier ne contient pas de vidéo"));
    if (flux < 0 || !decodeur) {
        const AVStream *st = flux >= 0 ? fc->streams[flux] : nullptr;
        echecOuverture(QStringLiteral("aucun décodeur pour le codec « %1 »")
                           .arg(QString::fromUtf8(
                               avcodec_get_name(st ? st->codecpar->codec_id : AV_CODEC_ID_NONE))));
    }
    const AVStream *st = fc->streams[flux];
    const AVCodecParameters *par = st->codecpar;
    largeur = par->width;
    hauteur = par->height;
    if (largeur <= 0 || hauteur <= 0 || largeur > coteMax || hauteur > coteMax ||
        av_image_check_size2(unsigned(largeur), unsigned(hauteur), pixelsMax, AV_PIX_FMT_NONE, 0,
                             nullptr) < 0)
        echecOuverture(
            QStringLiteral("dimensions d'image invalides (%1 × %2)").arg(largeur).arg(hauteur));
    baseTemps = st->time_base;
    if (baseTemps.num <= 0 || baseTemps.den <= 0)
        echecOuverture(QStringLiteral("cadence d'images invalide"));
    avi = std::strcmp(fc->iformat->name, "avi") == 0;
    periode = av_q2d(baseTemps);
    if (!avi) {
        if (st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0)
            periode = av_q2d(av_inv_q(st->r_frame_rate));
        debut = AV_NOPTS_VALUE; // the first packet's dts, once read
    }
    if (!(periode > 0) || !std::isfinite(periode))
        echecOuverture(QStringLiteral("cadence d'images invalide"));

    cc.reset(avcodec_alloc_context3(decodeur));
    if (!cc || !paquet || !trame || !resultat) echecOuverture(texteErreur(AVERROR(ENOMEM)));
    r = avcodec_parameters_to_context(cc.get(), par);
    if (r < 0) echecOuverture(texteErreur(r));
    // Frame threads would delay output by a frame each; stepping wants it at once.
    cc->thread_count = 1;
    cc->max_pixels = pixelsMax;
    r = avcodec_open2(cc.get(), decodeur, nullptr);
    if (r < 0) echecOuverture(texteErreur(r));

    const AVCodecDescriptor *desc = avcodec_descriptor_get(par->codec_id);
    intra = desc && (desc->props & AV_CODEC_PROP_INTRA_ONLY);
    switch (par->codec_id) {
    case AV_CODEC_ID_CINEPAK:
    case AV_CODEC_ID_MSVIDEO1:
    case AV_CODEC_ID_MSRLE:
    case AV_CODEC_ID_AASC:
    case AV_CODEC_ID_TSCC:
    case AV_CODEC_ID_ZMBV:
    case AV_CODEC_ID_CSCD:
    case AV_CODEC_ID_8BPS:
    case AV_CODEC_ID_QPEG:
    case AV_CODEC_ID_SMC:
    case AV_CODEC_ID_RPZA:
    case AV_CODEC_ID_QTRLE:
        enPlace = true;
        break;
    default:
        break;
    }
    reordonne = desc && (desc->props & AV_CODEC_PROP_REORDER) &&
                (par->video_delay > 0 || cc->has_b_frames > 0);

    construireTable();
    if (nbImages <= 0 || cles.empty())
        echecOuverture(QStringLiteral("le fichier ne contient aucune image"));
    echeance.lever();
}

void Clip::construireTable()
{
    // With B-frames the display order comes from decoding once, so the file is read anyway.
    if (reordonne || !depuisIndex()) parcourir();
    finaliser();
}

bool Clip::depuisIndex()
{
    AVStream *st = fc->streams[flux];
    const int n = avformat_index_get_entries_count(st);
    if (n < 2) return false;
    std::vector<int64_t> dts;
    std::vector<int> cl;
    int precedent = -1;
    if (!avi) debut = avformat_index_get_entry(st, 0)->timestamp;
    for (int i = 0; i < n; ++i) {
        const AVIndexEntry *e = avformat_index_get_entry(st, i);
        const int c = e ? chunkDe(e->timestamp) : -1;
        if (c <= precedent) return false; // not a plain frame index: read the file instead
        precedent = c;
        if (e->size <= 0) continue;
        dts.resize(size_t(c) + 1, AV_NOPTS_VALUE);
        dts[size_t(c)] = e->timestamp;
        if (intra || (e->flags & AVINDEX_KEYFRAME)) cl.push_back(c);
    }
    if (cl.empty()) return false;
    dtsDe = std::move(dts);
    cles = std::move(cl);
    return true;
}

void Clip::parcourir()
{
    const AVCodecParameters *par = fc->streams[flux]->codecpar;
    const bool huitBits = par->bits_per_coded_sample == 8;
    std::vector<int> ordre; // with reordering: chunk of each picture, in display order
    auto vider = [&] {
        while (avcodec_receive_frame(cc.get(), trame.get()) == 0) {
            ordre.push_back(int(trame->reordered_opaque));
            av_frame_unref(trame.get());
        }
    };
    dtsDe.clear();
    cles.clear();
    int dernier = -1;
    for (;;) {
        const int r = av_read_frame(fc.get(), paquet.get());
        if (r < 0) {
            if (r == AVERROR_EXIT) echecOuverture(QStringLiteral("lecture trop longue"));
            break; // end of file, or the first unreadable byte ends the clip
        }
        PaquetLu lu{paquet.get()};
        if (paquet->stream_index != flux) continue;
        if (!avi && debut == AV_NOPTS_VALUE && paquet->dts != AV_NOPTS_VALUE) debut = paquet->dts;
        int c = chunkDe(paquet->dts);
        if (c < 0 && paquet->dts != AV_NOPTS_VALUE) continue;
        if (c <= dernier) c = dernier + 1;
        if (c >= imagesMax) break;
        dernier = c;
        if (paquet->size <= 0) continue;
        dtsDe.resize(size_t(c) + 1, AV_NOPTS_VALUE);
        dtsDe[size_t(c)] = paquet->dts != AV_NOPTS_VALUE ? paquet->dts : c;
        bool cle = intra;
        if (!cle) {
            if (par->codec_id == AV_CODEC_ID_CINEPAK)
                cle = cinepakAutonome(paquet->data, paquet->size, hauteur);
            else if (par->codec_id == AV_CODEC_ID_MSVIDEO1)
                cle = msvideo1Autonome(paquet->data, paquet->size, largeur, hauteur, huitBits);
            else
                cle = paquet->flags & AV_PKT_FLAG_KEY;
        }
        if (cle) cles.push_back(c);
        if (reordonne) {
            cc->reordered_opaque = c;
            if (avcodec_send_packet(cc.get(), paquet.get()) == AVERROR(EAGAIN)) {
                vider();
                avcodec_send_packet(cc.get(), paquet.get());
            }
            vider();
        }
    }
    if (reordonne) {
        avcodec_send_packet(cc.get(), nullptr);
        vider();
        avcodec_flush_buffers(cc.get());
        // The pictures, in display order, fill the frame slots that hold data, in order: with
        // dropped slots among them, each picture keeps its time.
        std::vector<int> places;
        for (int c = 0; c < nbChunks(); ++c)
            if (aDonnees(c)) places.push_back(c);
        affDe.assign(dtsDe.size(), -1);
        size_t n = 0;
        for (const int c : ordre) {
            if (n >= places.size()) break;
            if (aDonnees(c) && affDe[size_t(c)] < 0) affDe[size_t(c)] = places[n++];
        }
    }
}

void Clip::finaliser()
{
    while (!dtsDe.empty() && dtsDe.back() == AV_NOPTS_VALUE)
        dtsDe.pop_back();
    int premier = 0;
    while (premier < nbChunks() && !aDonnees(premier))
        ++premier;
    if (premier >= nbChunks()) {
        nbImages = 0;
        return;
    }
    // Decoding has to start somewhere: the first picture is a starting point even when the
    // file does not say so.
    if (cles.empty() || cles.front() != premier) cles.insert(cles.begin(), premier);
    cles.erase(std::unique(cles.begin(), cles.end()), cles.end());

    int n = nbChunks();
    std::vector<int> chunkAffiche; // reordering: display index -> chunk
    if (reordonne) {
        for (int c = 0; c < nbChunks(); ++c) {
            const int a = affDe[size_t(c)];
            if (a >= 0) {
                if (size_t(a) >= chunkAffiche.size()) chunkAffiche.resize(size_t(a) + 1, -1);
                chunkAffiche[size_t(a)] = c;
            }
        }
        n = std::max(n, int(chunkAffiche.size()));
    }
    // The header's count takes in trailing dropped frames; a count far beyond the data is a
    // truncated or forged header and is not believed.
    const int64_t entete = fc->streams[flux]->nb_frames;
    if (entete > n && entete <= 2 * int64_t(n) + 16) n = int(entete);
    nbImages = std::min(n, imagesMax);

    imageDe.assign(size_t(nbImages), -1);
    int dernier = -1;
    if (reordonne) {
        int premierAffiche = -1;
        for (int c : chunkAffiche)
            if (c >= 0) {
                premierAffiche = c;
                break;
            }
        if (premierAffiche < 0) {
            nbImages = 0;
            return;
        }
        for (int f = 0; f < nbImages; ++f) {
            if (size_t(f) < chunkAffiche.size() && chunkAffiche[size_t(f)] >= 0)
                dernier = chunkAffiche[size_t(f)];
            imageDe[size_t(f)] = dernier >= 0 ? dernier : premierAffiche;
        }
    } else {
        for (int f = 0; f < nbImages; ++f) {
            if (aDonnees(f)) dernier = f;
            imageDe[size_t(f)] = dernier >= 0 ? dernier : premier;
        }
    }
}

int Clip::clePour(int s) const
{
    auto it = std::upper_bound(cles.begin(), cles.end(), s);
    while (it != cles.begin()) {
        --it;
        if (valideDepuis(*it, s)) return *it;
    }
    return cles.front();
}

void Clip::demarrer(int cle)
{
    avcodec_flush_buffers(cc.get());
    course = Course{};
    course.active = true;
    course.cle = cle;
    const int64_t cible = dtsDe[size_t(cle)];
    int r = av_seek_frame(fc.get(), flux, cible, AVSEEK_FLAG_BACKWARD);
    if (r < 0) r = avformat_seek_file(fc.get(), flux, INT64_MIN, cible, cible, 0);
    if (r < 0 && !rouvrir()) // last resort: read again from the start of the file
        course.fin = true;
}

bool Clip::rouvrir()
{
    fc.reset();
    try {
        ouvrirFormat();
    } catch (const ErreurKinemar &) {
        return false; // the file went away: positioning shows the last good picture
    }
    return true;
}

void Clip::enregistrer(int c, int s)
{
    if (!aDonnees(c)) return;
    if (reordonne) {
        const int a = affDe[size_t(c)];
        // Pictures shown before the key frame of the decode miss a reference: not kept.
        if (a < 0 || a < affDe[size_t(course.cle)]) return;
        course.sorti = std::max(course.sorti, a);
    } else if (c < course.cle) {
        return;
    }
    if (c == s) {
        av_frame_unref(resultat.get());
        if (av_frame_ref(resultat.get(), trame.get()) >= 0) course.trouve = true;
    }
    if (!course.enAvant)
        cache.ajouter(c, trame.get());
    else if (!enPlace && !intra) // a frame that stands alone is as quick to decode again
        recents.ajouter(c, trame.get());
}

void Clip::recevoir(int s)
{
    while (avcodec_receive_frame(cc.get(), trame.get()) == 0) {
        const int c = reordonne ? int(trame->reordered_opaque) : course.envoye;
        enregistrer(c, s);
        av_frame_unref(trame.get());
    }
}

bool Clip::peutContinuer(int s) const
{
    const int point = std::max(course.envoye, course.cle - 1);
    const bool pasDepasse = reordonne ? course.sorti < aff(s) : course.envoye < s;
    return course.active && !course.fin && valideDepuis(course.cle, s) && pasDepasse &&
           clePour(s) <= point + 1;
}

bool Clip::enCache(int s) const
{
    return recents.contient(s) || cache.contient(s);
}

const AVFrame *Clip::obtenir(int s)
{
    if (const AVFrame *f = recents.trouver(s)) return f;
    if (const AVFrame *f = cache.trouver(s)) return f;
    if (!fc && !rouvrir()) return nullptr;
    // Going on from where the decoder stands is stepping forward: its pictures only go to the
    // short list of recent ones, which recycles its buffers. Pictures decoded from a key frame
    // up to the target are kept for stepping back through them.
    course.enAvant = peutContinuer(s);
    if (!course.enAvant) demarrer(clePour(s));
    course.trouve = false;
    av_frame_unref(resultat.get());
    echeance.dans(delaiRequete);

    const int distance = s - std::max(course.envoye, course.cle - 1);
    int paquetsRestants = distance + margeDecodage + (reordonne ? 16 : 0);
    int lecturesRestantes = 8 * paquetsRestants + 1024;
    bool rouvert = false;
    while (!course.trouve) {
        if (reordonne ? course.sorti >= aff(s) : course.envoye >= s)
            break; // its packet went by without a picture
        if (!fc || course.fin || paquetsRestants <= 0 || --lecturesRestantes <= 0 ||
            echeance.depassee())
            break;
        const int r = av_read_frame(fc.get(), paquet.get());
        if (r < 0) {
            // End of the file (or of what can be read): drain the decoder's last pictures.
            avcodec_send_packet(cc.get(), nullptr);
            recevoir(s);
            course.fin = true;
            break;
        }
        PaquetLu lu{paquet.get()};
        if (paquet->stream_index != flux) continue;
        int c = chunkDe(paquet->dts);
        if (c < 0) c = course.envoye + 1;
        if (c < course.cle || c <= course.envoye)
            continue; // before the starting point: the seek landed earlier
        if (course.envoye < 0 && c > course.cle) {
            // The seek went past the key frame (no usable index): start over from the top.
            if (rouvert || !rouvrir()) break;
            rouvert = true;
            continue;
        }
        course.envoye = c;
        --paquetsRestants;
        if (paquet->size <= 0) continue;
        cc->reordered_opaque = c;
        int e = avcodec_send_packet(cc.get(), paquet.get());
        if (e == AVERROR(EAGAIN)) {
            recevoir(s);
            e = avcodec_send_packet(cc.get(), paquet.get());
        }
        // A damaged packet gives no picture; the frames that show it keep the last good one.
        recevoir(s);
    }
    echeance.lever();
    return course.trouve ? resultat.get() : nullptr;
}

struct TMediaPlayer::Prive {
    QString nom;
    std::unique_ptr<Clip> clip;
    FormatTemps format = FormatTemps::Images;
    ModeLecteur mode = ModeLecteur::NonOuvert;
    int position = 0;
    int pas = 1;
    bool notifier = false;
    QRect rect;
    int cacheMio = 256;
    QTimer *minuterie = nullptr;

    Trame affichee;         // the picture now shown
    int chunkAffiche = -1;  // and the chunk it was coded in
    mutable QImage imageQt; // its conversion, made on demand
    mutable bool imageAJour = false;
    mutable Sws sws;
    // What the converter's colour range was last set for (setting it is costly).
    mutable std::tuple<const SwsContext *, int, int, int, bool> swsPrepare{};

    int versImages(int t) const
    {
        if (format == FormatTemps::Images || !clip) return t;
        return int(std::floor(double(t) / (clip->periode * 1000.0) + 1e-6));
    }
    int depuisImages(int f) const
    {
        if (format == FormatTemps::Images || !clip) return f;
        return int(std::llround(double(f) * clip->periode * 1000.0));
    }
};

TMediaPlayer::TMediaPlayer(QObject *parent) : QObject(parent), d(std::make_unique<Prive>())
{
    // Damaged frames are expected and handled; FFmpeg's own messages would only be noise.
    std::call_once(journalReduit, [] { av_log_set_level(AV_LOG_QUIET); });
    d->minuterie = new QTimer(this);
    d->minuterie->setTimerType(Qt::PreciseTimer);
    connect(d->minuterie, &QTimer::timeout, this, &TMediaPlayer::tic);
}

TMediaPlayer::~TMediaPlayer() = default;

void TMediaPlayer::setFileName(const QString &nom)
{
    d->nom = nom;
}
QString TMediaPlayer::FileName() const
{
    return d->nom;
}

void TMediaPlayer::Open()
{
    Close();
    auto clip = std::make_unique<Clip>();
    clip->setBudget(size_t(d->cacheMio) << 20);
    clip->ouvrir(d->nom);
    d->clip = std::move(clip);
    d->mode = ModeLecteur::Arrete;
    d->rect = QRect(0, 0, d->clip->largeur, d->clip->hauteur);
    allerA(0);
}

void TMediaPlayer::Close()
{
    d->minuterie->stop();
    const bool etaitOuvert = d->clip != nullptr;
    d->clip.reset();
    d->affichee.reset();
    d->chunkAffiche = -1;
    d->imageQt = QImage();
    d->imageAJour = false;
    d->sws.reset();
    d->swsPrepare = {};
    d->mode = ModeLecteur::NonOuvert;
    d->position = 0;
    d->rect = QRect();
    if (etaitOuvert) emit imageChangee();
}

bool TMediaPlayer::estOuvert() const
{
    return d->clip != nullptr;
}

void TMediaPlayer::setTimeFormat(FormatTemps format)
{
    d->format = format;
}
TMediaPlayer::FormatTemps TMediaPlayer::TimeFormat() const
{
    return d->format;
}

int TMediaPlayer::Length() const
{
    return d->clip ? d->depuisImages(d->clip->nbImages) : 0;
}

int TMediaPlayer::Position() const
{
    return d->clip ? d->depuisImages(d->position) : 0;
}

void TMediaPlayer::setPosition(int position)
{
    if (!d->clip) return;
    if (d->mode == ModeLecteur::Lecture) Stop();
    allerA(d->versImages(position));
}

int TMediaPlayer::Frames() const
{
    return d->pas;
}
void TMediaPlayer::setFrames(int n)
{
    d->pas = std::max(0, n);
}

void TMediaPlayer::Step()
{
    if (!d->clip) return;
    if (d->mode == ModeLecteur::Lecture) Stop();
    allerA(int(std::min<int64_t>(int64_t(d->position) + d->pas, INT_MAX)));
}

void TMediaPlayer::Back()
{
    if (!d->clip) return;
    if (d->mode == ModeLecteur::Lecture) Stop();
    allerA(int(std::max<int64_t>(int64_t(d->position) - d->pas, 0)));
}

void TMediaPlayer::deplacerVers(int a)
{
    const int p = Position();
    setFrames(std::abs(a - p));
    if (a < p)
        Back();
    else
        Step();
}

QRect TMediaPlayer::DisplayRect() const
{
    return d->rect;
}

void TMediaPlayer::setDisplayRect(const QRect &r)
{
    if (r == d->rect) return;
    d->rect = r;
    emit imageChangee();
}

QSize TMediaPlayer::tailleNaturelle() const
{
    return d->clip ? QSize(d->clip->largeur, d->clip->hauteur) : QSize();
}

TMediaPlayer::ModeLecteur TMediaPlayer::Mode() const
{
    return d->mode;
}
bool TMediaPlayer::Notify() const
{
    return d->notifier;
}
void TMediaPlayer::setNotify(bool n)
{
    d->notifier = n;
}

void TMediaPlayer::Play()
{
    if (!d->clip || d->mode == ModeLecteur::Lecture) return;
    d->mode = ModeLecteur::Lecture;
    d->minuterie->start(std::max(1, int(std::lround(d->clip->periode * 1000.0))));
}

void TMediaPlayer::Stop()
{
    if (d->mode != ModeLecteur::Lecture) return;
    finLecture();
}

void TMediaPlayer::finLecture()
{
    d->minuterie->stop();
    d->mode = ModeLecteur::Arrete;
    // The notice is an event of its own, as a window message would be.
    if (d->notifier)
        QMetaObject::invokeMethod(
            this, [this] { emit OnNotify(); }, Qt::QueuedConnection);
}

void TMediaPlayer::tic()
{
    if (!d->clip || d->mode != ModeLecteur::Lecture) return;
    if (d->position + 1 < d->clip->nbImages) {
        allerA(d->position + 1);
    } else {
        d->position = d->clip->nbImages; // played to the end
        finLecture();
    }
}

void TMediaPlayer::allerA(int image)
{
    Clip &c = *d->clip;
    const int f = std::clamp(image, 0, c.nbImages - 1);
    const bool memeImage = f == d->position && d->affichee;
    d->position = f;
    if (memeImage) return;
    int s = c.imageDe[size_t(f)];
    if (c.enPlace && d->imageAJour && s >= 0 && !c.enCache(s)) {
        // Let the decoder draw over the picture shown rather than copy it first; its
        // conversion stays on view should the next one not decode.
        d->affichee.reset();
    }
    const AVFrame *t = s >= 0 ? c.obtenir(s) : nullptr;
    // A frame that does not decode shows the nearest decodable one before it.
    for (int essai = 0; !t && s >= 0 && essai < essaisImagePrecedente; ++essai) {
        const int precedente = c.aff(s) - 1;
        if (precedente < 0) break;
        s = c.imageDe[size_t(precedente)];
        t = c.obtenir(s);
    }
    if (!t) return; // nothing decodable nearby: the picture shown stays
    if (!d->affichee) d->affichee.reset(av_frame_alloc());
    if (!d->affichee) return;
    av_frame_unref(d->affichee.get());
    if (av_frame_ref(d->affichee.get(), t) < 0) return;
    d->chunkAffiche = s;
    d->imageAJour = false;
    emit imageChangee();
}

QImage TMediaPlayer::image() const
{
    if (!d->clip) return QImage();
    if (d->imageAJour) return d->imageQt;
    const int w = d->clip->largeur, h = d->clip->hauteur;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    const AVFrame *f = d->affichee.get();
    if (f && f->width > 0 && f->height > 0) {
        AVPixelFormat source = AVPixelFormat(f->format);
        bool pleineEchelle = f->color_range == AVCOL_RANGE_JPEG;
        // The deprecated full-range YUV formats are their plain twins with a full range.
        switch (source) {
        case AV_PIX_FMT_YUVJ420P:
            source = AV_PIX_FMT_YUV420P;
            pleineEchelle = true;
            break;
        case AV_PIX_FMT_YUVJ422P:
            source = AV_PIX_FMT_YUV422P;
            pleineEchelle = true;
            break;
        case AV_PIX_FMT_YUVJ444P:
            source = AV_PIX_FMT_YUV444P;
            pleineEchelle = true;
            break;
        case AV_PIX_FMT_YUVJ440P:
            source = AV_PIX_FMT_YUV440P;
            pleineEchelle = true;
            break;
        case AV_PIX_FMT_YUVJ411P:
            source = AV_PIX_FMT_YUV411P;
            pleineEchelle = true;
            break;
        default:
            break;
        }
        SwsContext *sws =
            sws_getCachedContext(d->sws.release(), f->width, f->height, source, w, h,
                                 AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        d->sws.reset(sws);
        const auto prepare = std::make_tuple(static_cast<const SwsContext *>(sws), f->width,
                                             f->height, int(source), pleineEchelle);
        if (sws && prepare != d->swsPrepare) {
            const int *coefs = sws_getCoefficients(SWS_CS_DEFAULT);
            sws_setColorspaceDetails(sws, coefs, pleineEchelle ? 1 : 0, coefs, 1, 0, 1 << 16,
                                     1 << 16);
            d->swsPrepare = prepare;
        }
        if (sws) {
            uint8_t *dest[4] = {img.bits(), nullptr, nullptr, nullptr};
            int pas[4] = {int(img.bytesPerLine()), 0, 0, 0};
            sws_scale(sws, f->data, f->linesize, 0, f->height, dest, pas);
        }
    }
    d->imageQt = img;
    d->imageAJour = true;
    return img;
}

QImage TMediaPlayer::gris(const QRect &zone) const
{
    if (!d->clip || zone.isEmpty()) return QImage();
    QImage sortie(zone.size(), QImage::Format_Grayscale8);
    sortie.fill(0);
    const QRect dedans = zone & QRect(0, 0, d->clip->largeur, d->clip->hauteur);
    if (dedans.isEmpty()) return sortie;
    const AVFrame *f = d->affichee.get();
    const AVPixFmtDescriptor *desc = f ? av_pix_fmt_desc_get(AVPixelFormat(f->format)) : nullptr;
    // An 8-bit luma plane first, at the picture's own size: its rows are the grey levels.
    const bool luma =
        desc && f->width == d->clip->largeur && f->height == d->clip->hauteur &&
        !(desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL)) &&
        desc->nb_components >= 1 && desc->comp[0].plane == 0 && desc->comp[0].depth == 8 &&
        desc->comp[0].step == 1 && desc->comp[0].offset == 0 && desc->comp[0].shift == 0 &&
        f->data[0];
    const int dx = dedans.x() - zone.x(), dy = dedans.y() - zone.y();
    if (luma) {
        for (int j = 0; j < dedans.height(); ++j)
            std::memcpy(sortie.scanLine(dy + j) + dx,
                        f->data[0] + ptrdiff_t(dedans.y() + j) * f->linesize[0] + dedans.x(),
                        size_t(dedans.width()));
        return sortie;
    }
    const QImage partie = image().copy(dedans).convertToFormat(QImage::Format_Grayscale8);
    for (int j = 0; j < dedans.height(); ++j)
        std::memcpy(sortie.scanLine(dy + j) + dx, partie.constScanLine(j), size_t(dedans.width()));
    return sortie;
}

void TMediaPlayer::setCacheMio(int mio)
{
    d->cacheMio = std::max(0, mio);
    if (d->clip) d->clip->setBudget(size_t(d->cacheMio) << 20);
}

int TMediaPlayer::CacheMio() const
{
    return d->cacheMio;
}

double TMediaPlayer::periodeSecondes() const
{
    return d->clip ? d->clip->periode : 0.0;
}

QString TMediaPlayer::nomDecodeur() const
{
    return d->clip ? QString::fromUtf8(d->clip->cc->codec->name) : QString();
}

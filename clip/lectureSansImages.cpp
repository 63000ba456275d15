// SourceClip, continued: the reading pass of an MP4 or QuickTime file without its pictures.
// The demuxer takes every packet's times, place, size and key flag from the file's sample
// table and never looks into the pictures: it is handed zeros for the media data, so a long
// clip is walked through at the speed of memory instead of being read from the disk.
#include "clip/indexClip.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace
{

struct LectureSansImages {
    QFile fichier;
    int64_t taille = 0, position = 0;
    // The media data boxes' contents, [start, end), ascending: read as zeros.
    std::vector<std::pair<int64_t, int64_t>> zeros;
};

int lire(void *opaque, uint8_t *tampon, int demande)
{
    auto *l = static_cast<LectureSansImages *>(opaque);
    if (demande <= 0) return 0;
    if (l->position >= l->taille) return AVERROR_EOF;
    const int n = int(std::min<int64_t>(demande, l->taille - l->position));
    int fait = 0;
    while (fait < n) {
        const int64_t p = l->position;
        // The first range that ends after p: p is in it, or before it.
        const auto it = std::upper_bound(
            l->zeros.begin(), l->zeros.end(), p,
            [](int64_t v, const std::pair<int64_t, int64_t> &r) { return v < r.second; });
        int64_t morceau = n - fait;
        if (it != l->zeros.end() && it->first <= p) {
            morceau = std::min(morceau, it->second - p);
            std::memset(tampon + fait, 0, size_t(morceau));
        } else {
            if (it != l->zeros.end()) morceau = std::min(morceau, it->first - p);
            if (!l->fichier.seek(p)) return fait ? fait : AVERROR(EIO);
            morceau = l->fichier.read(reinterpret_cast<char *>(tampon) + fait, morceau);
            if (morceau <= 0) return fait ? fait : AVERROR(EIO);
        }
        fait += int(morceau);
        l->position += morceau;
    }
    return fait;
}

int64_t deplacer(void *opaque, int64_t decalage, int depuis)
{
    auto *l = static_cast<LectureSansImages *>(opaque);
    if (depuis & AVSEEK_SIZE) return l->taille;
    int64_t p = 0;
    switch (depuis & ~AVSEEK_FORCE) {
    case SEEK_SET:
        p = decalage;
        break;
    case SEEK_CUR:
        p = l->position + decalage;
        break;
    case SEEK_END:
        p = l->taille + decalage;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (p < 0) return AVERROR(EINVAL);
    l->position = p;
    return p;
}

// The contents of the top-level "mdat" boxes; false when the boxes do not follow each
// other to the end of the file as they should.
bool boitesDeDonnees(LectureSansImages &l)
{
    for (int64_t p = 0; p + 8 <= l.taille;) {
        char entete[16];
        if (!l.fichier.seek(p) || l.fichier.read(entete, 8) != 8) return false;
        int64_t taille = qFromBigEndian<quint32>(entete);
        int64_t longueurEntete = 8;
        if (taille == 1) {
            if (l.fichier.read(entete + 8, 8) != 8) return false;
            taille = qFromBigEndian<qint64>(entete + 8);
            longueurEntete = 16;
        } else if (taille == 0) {
            taille = l.taille - p; // to the end of the file
        }
        if (taille < longueurEntete) return false;
        // A box that claims more than the file holds (a cut file, or a size no file can
        // have) is the last one: the walk ends with the file, never past it.
        const int64_t fin = taille < l.taille - p ? p + taille : l.taille;
        if (std::memcmp(entete + 4, "mdat", 4) == 0 && fin > p + longueurEntete)
            l.zeros.emplace_back(p + longueurEntete, fin);
        p = fin;
    }
    return !l.zeros.empty();
}

// A format context reading through our I/O context, which it does not free.
struct ContexteSansImages {
    AVFormatContext *fc = nullptr;
    AVIOContext *pb = nullptr;
    ~ContexteSansImages()
    {
        avformat_close_input(&fc);
        if (pb) av_freep(&pb->buffer);
        avio_context_free(&pb);
    }
};

struct Releve {
    int64_t pts, dts, pos;
    bool cle;
};

} // namespace

bool SourceClip::parcourirSansImages(const Progression &progression)
{
    LectureSansImages l;
    l.fichier.setFileName(chemin);
    if (!l.fichier.open(QIODevice::ReadOnly)) return false;
    l.taille = l.fichier.size();
    if (!boitesDeDonnees(l)) return false;

    constexpr int tailleTampon = 1 << 16;
    ContexteSansImages c;
    auto *tampon = static_cast<unsigned char *>(av_malloc(tailleTampon));
    if (!tampon) return false;
    c.pb = avio_alloc_context(tampon, tailleTampon, 0, &l, &lire, nullptr, &deplacer);
    if (!c.pb) {
        av_free(tampon);
        return false;
    }
    c.fc = avformat_alloc_context();
    if (!c.fc) return false;
    c.fc->pb = c.pb;
    // Packets as the file's table gives them: no parser looks into the zeros.
    c.fc->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_NOPARSE | AVFMT_FLAG_NOFILLIN;
    c.fc->interrupt_callback = {&interrompre, &echeance};
    if (avformat_open_input(&c.fc, url.constData(), fc->iformat, nullptr) < 0)
        return false; // c.fc has been freed, not c.pb
    if (c.fc->nb_streams != fc->nb_streams ||
        c.fc->streams[indiceFlux]->codecpar->codec_id != flux()->codecpar->codec_id)
        return false;

    // The first packets, read for real, must come out the same from it; otherwise the file is
    // read for real.
    std::vector<Releve> reels;
    if (luEnAvance) rembobiner();
    luEnAvance = true;
    {
        Paquet paquet(av_packet_alloc());
        if (!paquet) return false;
        while (reels.size() < 32 && av_read_frame(fc.get(), paquet.get()) >= 0) {
            PaquetLu lu{paquet.get()};
            if (paquet->stream_index != indiceFlux || paquet->size <= 0) continue;
            const auto [pts, dts] = tempsHorsAvi(paquet.get());
            reels.push_back({pts, dts, paquet->pos, intra || (paquet->flags & AV_PKT_FLAG_KEY)});
        }
    }
    parcourir(progression, c.fc);
    for (size_t i = 0; i < reels.size(); ++i) {
        const Releve &r = reels[i];
        const auto place = chunkDePos.find(r.pos);
        if (i >= ptsDe.size() || ptsDe[i] != r.pts || dtsDe[i] != r.dts ||
            place == chunkDePos.end() || place->second != int(i) ||
            r.cle != std::binary_search(cles.begin(), cles.end(), int(i)))
            return false;
    }
    return true;
}

#include "clip/indexClip.h"

#include "clip/TMediaPlayer.h"
#include "clip/clesSansIndex.h"
#include "clip/infosClip.h"
#include "clip/limites.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace
{

// Limits against broken or hostile files: nothing is allocated or decoded on the word of a
// header value alone.
constexpr int coteMax = 16384;
constexpr int64_t pixelsMax = 40'000'000;

// Empty slots believed for so many slots with data: dropped frames are a share of a clip,
// a jump of millions of frames between two packets is a broken time.
int64_t videsPermis(int64_t paquets)
{
    return 16 * paquets + 1024;
}

quint32 lu32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

// An idx1 entry of the video stream: "NNdc" or "NNdb", NN its number among the streams.
bool duFlux(const char *e, const char chiffres[2])
{
    return e[0] == chiffres[0] && e[1] == chiffres[1] && !(e[2] == 'i' && e[3] == 'x') &&
           !(e[2] == 'p' && e[3] == 'c');
}

// Size of a chunk by its entry; 0 for an empty slot or a size no packet can have.
quint32 tailleEntree(const char *e)
{
    const quint32 t = lu32(e + 12);
    return t <= quint32(INT_MAX) ? t : 0;
}

} // namespace

// ---- opening --------------------------------------------------------------------------

void SourceClip::ouvrirFormat()
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

// The demuxer reads an AVI index while it opens the file if it can seek in it: it is given
// a file it cannot seek in for the time of the opening.
void SourceClip::ouvrirFormatSansIndex()
{
    AVIOContext *pb = nullptr;
    AVIOInterruptCB interruption{&interrompre, &echeance};
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int r = avio_open2(&pb, url.constData(), AVIO_FLAG_READ, &interruption, &options);
    av_dict_free(&options);
    if (r < 0) echecOuverture(texteErreur(r));
    AVFormatContext *brut = avformat_alloc_context();
    if (!brut) {
        avio_closep(&pb);
        echecOuverture(texteErreur(AVERROR(ENOMEM)));
    }
    brut->interrupt_callback = interruption;
    brut->pb = pb; // marks the context as reading through our own I/O context
    pb->seekable = 0;
    options = nullptr;
    av_dict_set(&options, "probesize", "5000000", 0);
    av_dict_set(&options, "analyzeduration", "5000000", 0);
    av_dict_set(&options, "max_streams", "32", 0);
    r = avformat_open_input(&brut, url.constData(), nullptr, &options);
    av_dict_free(&options);
    if (r < 0) { // brut has been freed, not pb
        avio_closep(&pb);
        echecOuverture(texteErreur(r));
    }
    pb->seekable = AVIO_SEEKABLE_NORMAL;
    fc.reset(brut);
}

void SourceClip::ouvrir(const QString &nom)
{
    if (nom.isEmpty()) echecOuverture(QStringLiteral("aucun fichier indiqué"));
    const QFileInfo info(nom);
    if (!info.exists()) echecOuverture(texteErreur(AVERROR(ENOENT)));
    if (!info.isFile()) echecOuverture(QStringLiteral("ce n'est pas un fichier"));
    chemin = info.absoluteFilePath();
    // The "file:" prefix keeps a name with a colon from being read as another protocol.
    url = "file:" + QFile::encodeName(chemin);
    echeance.dans(delaiOuverture);
    {
        QFile f(chemin);
        const QByteArray debutFichier = f.open(QIODevice::ReadOnly) ? f.read(12) : QByteArray();
        indexPropre = debutFichier.size() == 12 && debutFichier.startsWith("RIFF") &&
                      debutFichier.mid(8, 4) == "AVI ";
    }
    if (indexPropre)
        ouvrirFormatSansIndex();
    else
        ouvrirFormat();

    const int r = avformat_find_stream_info(fc.get(), nullptr);
    if (r < 0) echecOuverture(texteErreur(r));
    indiceFlux = av_find_best_stream(fc.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decodeur, 0);
    if (indiceFlux == AVERROR_STREAM_NOT_FOUND)
        echecOuverture(QStringLiteral("le fichier ne contient pas de vidéo"));
    if (indiceFlux < 0 || !decodeur) {
        const AVStream *st = indiceFlux >= 0 ? fc->streams[indiceFlux] : nullptr;
        echecOuverture(QStringLiteral("aucun décodeur pour le codec « %1 »")
                           .arg(QString::fromUtf8(
                               avcodec_get_name(st ? st->codecpar->codec_id : AV_CODEC_ID_NONE))));
    }
    const AVStream *st = fc->streams[indiceFlux];
    const AVCodecParameters *par = st->codecpar;
    largeur = par->width;
    hauteur = par->height;
    if (largeur <= 0 || hauteur <= 0 || largeur > coteMax || hauteur > coteMax ||
        av_image_check_size2(unsigned(largeur), unsigned(hauteur), pixelsMax, AV_PIX_FMT_NONE, 0,
                             nullptr) < 0)
        echecOuverture(
            QStringLiteral("dimensions d'image invalides (%1 × %2)").arg(largeur).arg(hauteur));
    baseTemps = st->time_base;
    rotation = quartsDeTour(st);
    if (baseTemps.num <= 0 || baseTemps.den <= 0)
        echecOuverture(QStringLiteral("cadence d'images invalide"));
    avi = std::strcmp(fc->iformat->name, "avi") == 0;
    periode = av_q2d(baseTemps);
    if (!avi) {
        if (st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0)
            periode = av_q2d(av_inv_q(st->r_frame_rate));
        debut = AV_NOPTS_VALUE; // the first packet's dts, once read
    }
    // A frame rate whose frequency in whole frames per second does not fit, or a frame
    // longer than the longest clip, is no time the program can count with.
    if (!(periode > 0) || !std::isfinite(periode) || 1.0 / periode > double(INT_MAX) ||
        periode * 1000.0 > double(INT_MAX))
        echecOuverture(QStringLiteral("cadence d'images invalide"));

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
}

void SourceClip::construireTable(bool reordonner, const Progression &progression)
{
    reordonne = reordonner;
    if (reordonne) preparerParseur();
    // Outside AVI the presentation times give the display order.
    if (reordonne && !avi) parPoc = true;
    if (indexPropre && !lireIdx1()) {
        // No index of ours (none at all, or an OpenDML one): the demuxer reads the file its
        // own way.
        indexPropre = false;
        rembobiner();
    }
    // Display order from packet headers read at their place needs the index's positions.
    // Outside AVI every packet is read once: one frame is one picture stored in the file,
    // known by its place, whatever its times say (some have none, some leave gaps).
    const bool parIndex =
        avi ? (indexPropre || depuisIndex()) && (!reordonne || parseur || typesParDecodage)
            : !reordonne && depuisEchantillons();
    // An MP4 file whose sample table cannot stand alone is still read without its pictures.
    if (!parIndex && !(mp4() && parcourirSansImages(progression))) parcourir(progression);
    finaliser();
    echeance.lever();
}

bool SourceClip::sansParseur = false;

void SourceClip::preparerParseur()
{
    const AVCodecParameters *par = flux()->codecpar;
    parPoc = par->codec_id == AV_CODEC_ID_H264 || par->codec_id == AV_CODEC_ID_HEVC;
    if (sansParseur) return;
    parseur.reset(av_parser_init(par->codec_id));
    ccParseur.reset(avcodec_alloc_context3(nullptr));
    if (!parseur || !ccParseur || avcodec_parameters_to_context(ccParseur.get(), par) < 0) {
        parseur.reset();
        return;
    }
    parseur->flags |= PARSER_FLAG_COMPLETE_FRAMES;
}

int SourceClip::chunkDe(int64_t dts) const
{
    constexpr int64_t horsLimite = int64_t(INT_MAX) / 2;
    if (dts == AV_NOPTS_VALUE || (!avi && debut == AV_NOPTS_VALUE)) return -1;
    if (avi) return dts < 0 || dts >= horsLimite ? -1 : int(dts);
    const double t = double(dts - debut) * av_q2d(baseTemps) / periode;
    return t < -0.5 || t >= double(horsLimite) ? -1 : int(std::llround(t));
}

// The AVI file's idx1 index: the video stream's chunks, which of them are empty and which
// are keys, and where each block of them is listed (their places and sizes are read from
// there when needed, in entreeIndex).
bool SourceClip::lireIdx1()
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const int64_t tailleFichier = f.size();
    char entete[12];
    if (f.read(entete, 12) != 12) return false;
    const int64_t finRiff = 8 + int64_t(lu32(entete + 4));
    // A second RIFF (AVIX) means an OpenDML file, whose idx1 covers only the first part.
    if (finRiff + 8 < tailleFichier) return false;
    int64_t movi = -1, idx1 = -1;
    quint32 tailleIdx1 = 0;
    for (int64_t p = 12; p + 8 <= std::min(finRiff, tailleFichier);) {
        char morceau[12];
        if (!f.seek(p) || f.read(morceau, 12) < 8) return false;
        const quint32 taille = lu32(morceau + 4);
        if (std::memcmp(morceau, "LIST", 4) == 0 && std::memcmp(morceau + 8, "movi", 4) == 0)
            movi = p + 8;
        else if (std::memcmp(morceau, "idx1", 4) == 0) {
            idx1 = p + 8;
            tailleIdx1 = taille;
        }
        p += 8 + int64_t(taille) + (taille & 1);
    }
    if (movi < 0 || idx1 < 0 || tailleIdx1 < 32 || idx1 + tailleIdx1 > tailleFichier) return false;
    const int nbEntrees = int(tailleIdx1 / 16);
    const int numero = flux()->id;
    if (numero < 0 || numero > 99) return false;
    chiffresFlux[0] = char('0' + numero / 10);
    chiffresFlux[1] = char('0' + numero % 10);

    // Offsets count from the movi list or from the start of the file, as the first chunk's
    // header says.
    auto decalageDe = [&](const char *e) -> int64_t {
        char id[8];
        for (const int64_t essai : {movi, int64_t(0)})
            if (f.seek(essai + lu32(e + 8)) && f.read(id, 8) == 8 && std::memcmp(id, e, 4) == 0 &&
                lu32(id + 4) == lu32(e + 12))
                return essai;
        return -1;
    };
    // One pass that only reads, but for the keys, the empty slots and where each block of
    // chunks starts: what every frame needs. Places and sizes are read again as needed.
    // Read in pieces that stay in the processor's cache; not mapped, so that a file that
    // goes away meanwhile is a read error and not a crash.
    constexpr int entreesParMorceau = 4096;
    QByteArray morceau(16 * entreesParMorceau, Qt::Uninitialized);
    std::vector<int> cl, vi, debuts;
    int premierCoupe = -1, avecDonnees = 0, c = 0;
    int64_t decalage = -1, finLisible = 0;
    for (int i0 = 0; i0 < nbEntrees && c <= imagesMax; i0 += entreesParMorceau) {
        const int n = std::min(entreesParMorceau, nbEntrees - i0);
        if (!f.seek(idx1 + 16 * int64_t(i0)) || f.read(morceau.data(), 16 * n) != 16 * n)
            return false;
        const char *const entrees = morceau.constData();
        for (int i = 0; i < n && c <= imagesMax; ++i) {
            const char *e = entrees + 16 * i;
            if (!duFlux(e, chiffresFlux)) continue;
            if (c % chunksParBloc == 0) debuts.push_back(i0 + i);
            const quint32 taille = tailleEntree(e);
            if (taille == 0) {
                vi.push_back(c++);
                if (int64_t(vi.size()) > videsPermis(avecDonnees)) return false;
                continue;
            }
            if (decalage < 0) {
                decalage = decalageDe(e);
                if (decalage < 0) return false;
                finLisible = tailleFichier - decalage - 8; // a chunk ending past it is cut
            }
            ++avecDonnees;
            if (int64_t(lu32(e + 8)) + taille > finLisible && premierCoupe < 0) premierCoupe = c;
            if (intra || (lu32(e + 4) & 0x10)) cl.push_back(c);
            ++c;
        }
    }
    if (cl.empty()) return false;
    chunksIndex = c;
    decalageIndex = decalage;
    debutIdx1 = idx1;
    entreesIdx1 = nbEntrees;
    debutsBlocs = std::move(debuts);
    blocs.assign(debutsBlocs.size(), {});
    vides = std::move(vi);
    cles = std::move(cl);
    paquets = avecDonnees;
    premierIlisible = premierCoupe;
    cleConnue.assign(size_t(c), false);
    return true;
}

// The entry of chunk c, its block read from the file the first time; null when the file
// can no longer be read.
const SourceClip::EntreeIndex *SourceClip::entreeIndex(int c)
{
    const size_t b = size_t(c / chunksParBloc);
    if (c < 0 || b >= blocs.size()) return nullptr;
    std::vector<EntreeIndex> &bloc = blocs[b];
    if (bloc.empty()) {
        const int de = debutsBlocs[b];
        const int a = b + 1 < debutsBlocs.size() ? debutsBlocs[b + 1] : entreesIdx1;
        if (!fichier.isOpen()) {
            fichier.setFileName(chemin);
            if (!fichier.open(QIODevice::ReadOnly)) return nullptr;
        }
        const qint64 octets = 16 * qint64(a - de);
        if (!fichier.seek(debutIdx1 + 16 * qint64(de))) return nullptr;
        const QByteArray brut = fichier.read(octets);
        if (brut.size() != octets) return nullptr;
        bloc.reserve(chunksParBloc);
        for (int i = 0; i < a - de && int(bloc.size()) < chunksParBloc; ++i) {
            const char *e = brut.constData() + 16 * i;
            if (duFlux(e, chiffresFlux)) bloc.push_back({lu32(e + 8), tailleEntree(e)});
        }
    }
    const size_t k = size_t(c % chunksParBloc);
    return k < bloc.size() ? &bloc[k] : nullptr;
}

int64_t SourceClip::positionChunk(int c)
{
    if (!indexPropre) return size_t(c) < posDe.size() ? posDe[size_t(c)] : -1;
    const EntreeIndex *e = entreeIndex(c);
    return e && e->taille ? decalageIndex + e->position : -1;
}

int SourceClip::tailleChunk(int c)
{
    if (!indexPropre) return size_t(c) < tailleDe.size() ? tailleDe[size_t(c)] : 0;
    const EntreeIndex *e = entreeIndex(c);
    return e ? int(e->taille) : 0;
}

// An MP4 or QuickTime file's sample table, which the demuxer reads while it opens the file:
// one entry per stored picture, the very packets the reading pass would find, so nothing of
// the pictures is read. Only for pictures decoded in their stored order, whose presentation
// time is their decoding time give or take a constant (checked on the first packets), and
// only when every entry is a plain one: otherwise the reading pass.
// The demuxer opened again, its own way: the next packet read is the first.
void SourceClip::rembobiner()
{
    fc.reset();
    ouvrirFormat();
    const int r = avformat_find_stream_info(fc.get(), nullptr);
    if (r < 0) echecOuverture(texteErreur(r));
    luEnAvance = false;
}

SourceClip::Temps SourceClip::tempsHorsAvi(const AVPacket *p)
{
    const int64_t pts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
    return {pts, p->dts != AV_NOPTS_VALUE ? p->dts : pts != AV_NOPTS_VALUE ? pts : 0};
}

bool SourceClip::mp4() const
{
    return std::strstr(fc->iformat->name, "mp4") != nullptr; // "mov,mp4,m4a,3gp,3g2,mj2"
}

bool SourceClip::depuisEchantillons()
{
    if (!mp4()) return false;
    AVStream *st = fc->streams[indiceFlux];
    const int n = avformat_index_get_entries_count(st);
    if (n < 2 || n > imagesMax) return false;
    {
        Paquet paquet(av_packet_alloc());
        if (!paquet) return false;
        int64_t ecart = AV_NOPTS_VALUE;
        luEnAvance = true;
        for (int lus = 0; lus < 32 && av_read_frame(fc.get(), paquet.get()) >= 0;) {
            PaquetLu lu{paquet.get()};
            if (paquet->stream_index != indiceFlux) continue;
            ++lus;
            if (paquet->pts == AV_NOPTS_VALUE || paquet->dts == AV_NOPTS_VALUE) return false;
            if (ecart == AV_NOPTS_VALUE) ecart = paquet->pts - paquet->dts;
            if (paquet->pts - paquet->dts != ecart) return false;
        }
    }
    const int64_t tailleFichier = avio_size(fc->pb);
    std::vector<int64_t> dts;
    std::vector<int> cl;
    std::unordered_map<int64_t, int> parPosition;
    dts.reserve(size_t(n));
    parPosition.reserve(size_t(n));
    for (int c = 0; c < n; ++c) {
        const AVIndexEntry *e = avformat_index_get_entry(st, c);
        if (!e || e->size <= 0 || e->pos < 0 || (e->flags & AVINDEX_DISCARD_FRAME) ||
            e->timestamp == AV_NOPTS_VALUE || (c > 0 && e->timestamp <= dts.back()) ||
            (tailleFichier > 0 && e->pos + e->size > tailleFichier) ||
            !parPosition.emplace(e->pos, c).second)
            return false;
        dts.push_back(e->timestamp);
        if (intra || (e->flags & AVINDEX_KEYFRAME)) cl.push_back(c);
    }
    if (cl.empty()) return false;
    ptsDe = dts;
    dtsDe = std::move(dts);
    chunkDePos = std::move(parPosition);
    cles = std::move(cl);
    debut = dtsDe.front();
    paquets = n;
    premierIlisible = -1;
    return true;
}

bool SourceClip::depuisIndex()
{
    AVStream *st = fc->streams[indiceFlux];
    const int n = avformat_index_get_entries_count(st);
    if (n < 2) return false;
    const int64_t tailleFichier = fc->pb ? avio_size(fc->pb) : -1;
    std::vector<int64_t> dts, pos;
    std::vector<int> tailles, cl;
    int precedent = -1, premierCoupe = -1, avecDonnees = 0;
    int64_t sautes = 0;
    if (!avi) debut = avformat_index_get_entry(st, 0)->timestamp;
    for (int i = 0; i < n; ++i) {
        const AVIndexEntry *e = avformat_index_get_entry(st, i);
        const int c = e ? chunkDe(e->timestamp) : -1;
        if (c <= precedent) return false; // not a plain frame index: read the file instead
        sautes += c - precedent - 1;
        if (sautes > videsPermis(avecDonnees)) return false; // the reading pass mends it
        precedent = c;
        if (e->size <= 0) { // an index entry of a dropped frame
            if (++sautes > videsPermis(avecDonnees)) return false;
            continue;
        }
        ++avecDonnees;
        dts.resize(size_t(c) + 1, AV_NOPTS_VALUE);
        pos.resize(size_t(c) + 1, -1);
        tailles.resize(size_t(c) + 1, 0);
        dts[size_t(c)] = e->timestamp;
        pos[size_t(c)] = e->pos;
        tailles[size_t(c)] = e->size;
        // An AVI index points at the chunk's 8-byte header.
        const int64_t finDonnees = e->pos + e->size + (avi ? 8 : 0);
        if (premierCoupe < 0 && tailleFichier > 0 && finDonnees > tailleFichier) premierCoupe = c;
        if (intra || (e->flags & AVINDEX_KEYFRAME)) cl.push_back(c);
    }
    if (cl.empty()) return false;
    dtsDe = std::move(dts);
    posDe = std::move(pos);
    tailleDe = std::move(tailles);
    cles = std::move(cl);
    paquets = avecDonnees;
    premierIlisible = premierCoupe;
    return true;
}

void SourceClip::parcourir(const Progression &progression, AVFormatContext *lecture)
{
    if (!lecture) {
        if (luEnAvance) rembobiner();
        lecture = fc.get();
    }
    const AVCodecParameters *par = fc->streams[indiceFlux]->codecpar;
    const bool huitBits = par->bits_per_coded_sample == 8;
    const int64_t taille = avio_size(lecture->pb);
    if (!avi) debut = AV_NOPTS_VALUE; // the first packet's dts, once read
    dtsDe.clear();
    ptsDe.clear();
    chunkDePos.clear();
    posDe.clear();
    tailleDe.clear();
    cles.clear();
    ordreDe.clear();
    reparations.clear();
    paquets = 0;
    premierIlisible = -1;
    Paquet paquet(av_packet_alloc());
    if (!paquet) echecOuverture(texteErreur(AVERROR(ENOMEM)));
    int dernier = -1, corrompu = -1;
    int64_t sautes = 0, lu = -1;
    for (int tour = 0;; ++tour) {
        // FFmpeg only checks the deadline while it reads; a long file of small packets is
        // checked here too, and the user may give up. A long clip on a slow disk may take
        // longer than the deadline: it counts from the last time reading went forward.
        if (echeance.depassee()) echecOuverture(QStringLiteral("lecture trop longue"));
        if (tour % 64 == 0) {
            const int64_t position = avio_tell(lecture->pb);
            if (position > lu) {
                lu = position;
                echeance.dans(delaiOuverture);
            }
            if (progression && !progression(taille > 0 ? double(position) / double(taille) : 0.0))
                throw OuvertureAnnulee();
        }
        const int r = av_read_frame(lecture, paquet.get());
        if (r < 0) {
            if (r == AVERROR_EXIT) echecOuverture(QStringLiteral("lecture trop longue"));
            // End of the file; the first unreadable byte ends the clip as well.
            if (r != AVERROR_EOF) premierIlisible = dernier + 1;
            break;
        }
        PaquetLu lu{paquet.get()};
        if (paquet->stream_index != indiceFlux) continue;
        if (!avi) {
            if (paquet->size <= 0) continue;
            const int c = int(dtsDe.size());
            if (c > imagesMax) break; // refused in finaliser
            if (paquet->pos >= 0) chunkDePos[paquet->pos] = c;
            ++paquets;
            const auto [pts, dts] = tempsHorsAvi(paquet.get());
            dtsDe.push_back(dts);
            ptsDe.push_back(pts);
            corrompu = (paquet->flags & AV_PKT_FLAG_CORRUPT) ? c : -1;
            if (reordonne) ordreDe.push_back(pts != AV_NOPTS_VALUE ? pts : inconnu);
            if (intra || (paquet->flags & AV_PKT_FLAG_KEY)) cles.push_back(c);
            dernier = c;
            continue;
        }
        const int64_t t = paquet->dts;
        int c = chunkDe(t);
        if (c < 0 && t != AV_NOPTS_VALUE) continue;
        // A time that goes back, or jumps further than the packets read can back, is not
        // believed: the packet takes the next slot.
        if (c <= dernier || c - dernier - 1 > videsPermis(paquets) - sautes) c = dernier + 1;
        sautes += c - dernier - 1;
        if (paquet->size <= 0) { // a dropped frame's chunk, past the share believed: no slot
            if (++sautes > videsPermis(paquets)) continue;
        }
        if (c > imagesMax) break; // refused in finaliser
        if (t != AV_NOPTS_VALUE && c != chunkDe(t)) reparations[t] = c;
        dernier = c;
        if (paquet->size <= 0) continue;
        ++paquets;
        dtsDe.resize(size_t(c) + 1, AV_NOPTS_VALUE);
        dtsDe[size_t(c)] = t != AV_NOPTS_VALUE ? t : c;
        if (reordonne && !parseur && paquet->pos >= 0) { // read again to learn the order
            posDe.resize(size_t(c) + 1, -1);
            tailleDe.resize(size_t(c) + 1, 0);
            posDe[size_t(c)] = paquet->pos;
            tailleDe[size_t(c)] = paquet->size;
        }
        // A packet cut short is the end of a truncated file.
        corrompu = (paquet->flags & AV_PKT_FLAG_CORRUPT) ? c : -1;
        int64_t ordre = inconnu;
        if (reordonne) {
            ordre = ordrePaquet(paquet->data, paquet->size);
            ordreDe.resize(size_t(c) + 1, inconnu);
            ordreDe[size_t(c)] = ordre;
        }
        bool cle = intra;
        if (!cle) {
            if (par->codec_id == AV_CODEC_ID_CINEPAK)
                cle = cinepakAutonome(paquet->data, paquet->size, hauteur);
            else if (par->codec_id == AV_CODEC_ID_MSVIDEO1)
                cle = msvideo1Autonome(paquet->data, paquet->size, largeur, hauteur, huitBits);
            else
                cle = (paquet->flags & AV_PKT_FLAG_KEY) &&
                      (!reordonne || parPoc || ordre == inconnu || ordre == AV_PICTURE_TYPE_I);
        }
        if (cle) cles.push_back(c);
    }
    if (corrompu >= 0 && (premierIlisible < 0 || corrompu < premierIlisible))
        premierIlisible = corrompu;
    if (reordonne) ordreDe.resize(dtsDe.size(), inconnu);
}

void SourceClip::finaliser()
{
    if (indexPropre) {
        while (!vides.empty() && vides.back() == chunksIndex - 1) {
            vides.pop_back();
            --chunksIndex;
        }
    } else {
        while (!dtsDe.empty() && dtsDe.back() == AV_NOPTS_VALUE)
            dtsDe.pop_back();
        vides.clear();
        for (int c = 0; c < nbChunks(); ++c)
            if (!aDonnees(c)) vides.push_back(c);
    }
    paquets = nbChunks() - int(vides.size());
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

    // The header's count takes in trailing dropped frames, and the frames a cut file lost;
    // a count far beyond the data is a forged header and is not believed.
    int64_t n = nbChunks();
    const int64_t entete = fc->streams[indiceFlux]->nb_frames;
    if (avi && entete > n &&
        (entete <= 2 * n + 16 ||
         (premierIlisible >= 0 && entete - paquets <= videsPermis(paquets))))
        n = entete;
    if (n > imagesMax)
        echecOuverture(QStringLiteral("le clip compte %1 images, plus que les %2 que le tableau "
                                      "des mesures peut recevoir")
                           .arg(n)
                           .arg(imagesMax));
    const double ms = double(n) * periode * 1000.0;
    if (!(std::llround(ms) >= 1) || ms > double(INT_MAX))
        echecOuverture(QStringLiteral("la durée du clip (%1 images de %2 s) ne peut être comptée")
                           .arg(n)
                           .arg(periode));
    nbImages = int(n);
    if (premierIlisible >= nbImages) premierIlisible = -1;
    if (!avi) calculerTemps();

    if (reordonne) {
        affDe.reset(new int[size_t(nbChunks())]);
        rangAffiche.reset(new int[size_t(paquets)]);
        appris.assign(cles.size(), false);
    }
}

// Each frame's time from its presentation time, in display order; a frame without one
// (rare) is put one mean period after the frame before.
void SourceClip::calculerTemps()
{
    std::vector<int64_t> connus;
    connus.reserve(ptsDe.size());
    for (const int64_t t : ptsDe)
        if (t != AV_NOPTS_VALUE) connus.push_back(t);
    std::sort(connus.begin(), connus.end());
    temps.assign(size_t(nbImages), 0.0);
    if (connus.size() < 2) {
        for (int f = 0; f < nbImages; ++f)
            temps[size_t(f)] = f * periode;
        return;
    }
    const double base = av_q2d(baseTemps);
    const double moyenne =
        double(connus.back() - connus.front()) * base / double(connus.size() - 1);
    for (int f = 0; f < nbImages; ++f)
        temps[size_t(f)] = size_t(f) < connus.size()
                               ? double(connus[size_t(f)] - connus.front()) * base
                               : temps[size_t(f) - 1] + moyenne;
    // A mean period far from the stream's rate (variable rate) is the one played at.
    if (moyenne > 0 && std::abs(moyenne - periode) > 0.01 * periode) periode = moyenne;
    for (int f = 1; f < nbImages; ++f)
        if (std::abs(temps[size_t(f)] - temps[size_t(f) - 1] - periode) > 0.01 * periode) {
            variable = true;
            break;
        }
}

// ---- reading ----------------------------------------------------------------------------

bool SourceClip::rouvrir()
{
    fc.reset();
    try {
        if (indexPropre) {
            ouvrirFormatSansIndex();
            cleConnue.assign(cleConnue.size(), false);
        } else {
            ouvrirFormat();
        }
    } catch (const ErreurKinemar &) {
        return false; // the file went away: positioning shows the last good picture
    }
    return true;
}

bool SourceClip::chercher(int cle)
{
    if (!fc && !rouvrir()) return false;
    const int64_t cible = aDonnees(cle) ? dtsChunk(cle) : 0;
    if (indexPropre && aDonnees(cle) && !cleConnue[size_t(cle)]) {
        // The demuxer seeks by its own index: it learns the key frames it is sent to.
        const int64_t position = positionChunk(cle);
        if (position >= 0) {
            av_add_index_entry(fc->streams[indiceFlux], position, cible, tailleChunk(cle), 0,
                               AVINDEX_KEYFRAME);
            cleConnue[size_t(cle)] = true;
        }
    }
    int r = av_seek_frame(fc.get(), indiceFlux, cible, AVSEEK_FLAG_BACKWARD);
    if (r < 0) r = avformat_seek_file(fc.get(), indiceFlux, INT64_MIN, cible, cible, 0);
    // Last resort: read again from the start of the file.
    return r >= 0 || rouvrir();
}

int SourceClip::lirePaquet(AVPacket *p, int *chunk)
{
    for (;;) {
        if (!fc) return AVERROR_EOF;
        const int r = av_read_frame(fc.get(), p);
        if (r < 0) return r;
        if (p->stream_index != indiceFlux) {
            av_packet_unref(p);
            continue;
        }
        if (!avi) {
            const auto it = chunkDePos.find(p->pos);
            *chunk = it != chunkDePos.end() ? it->second : -1;
            return 0;
        }
        int c = chunkDe(p->dts);
        if (!reparations.empty()) {
            const auto it = reparations.find(p->dts);
            if (it != reparations.end()) c = it->second;
        }
        *chunk = c;
        return 0;
    }
}

void SourceClip::marquerIlisible(int c)
{
    if (c >= 0 && c < nbImages && (premierIlisible < 0 || c < premierIlisible)) premierIlisible = c;
}

// ---- frame slots and display order ------------------------------------------------------

int SourceClip::rang(int c) const
{
    if (c >= nbChunks()) return paquets;
    if (c <= 0) return 0;
    return c - int(std::lower_bound(vides.begin(), vides.end(), c) - vides.begin());
}

// The slot of rank r: r plus the empty slots before it, the first j of them such that the
// next one comes after the slot r + j.
int SourceClip::place(int r) const
{
    size_t bas = 0, haut = vides.size();
    while (bas < haut) {
        const size_t milieu = (bas + haut) / 2;
        if (vides[milieu] - int(milieu) > r)
            haut = milieu;
        else
            bas = milieu + 1;
    }
    return r + int(bas);
}

size_t SourceClip::groupeDe(int c) const
{
    return size_t(
        std::max<ptrdiff_t>(std::upper_bound(cles.begin(), cles.end(), c) - cles.begin() - 1, 0));
}

int SourceClip::rangImage(int f) const
{
    return std::max(rang(f + 1) - 1, 0);
}

int SourceClip::premierRangIlisible()
{
    int r = rang(premierIlisible);
    // With reordering a picture shown just before it may be coded after it.
    while (r > 0 && chunkDuRang(r - 1) >= premierIlisible)
        --r;
    return r;
}

int SourceClip::imagesIlisibles()
{
    if (premierIlisible < 0) return 0;
    const int r = premierRangIlisible();
    return r < paquets ? nbImages - place(r) : nbImages - nbChunks();
}

int SourceClip::chunkPour(int f)
{
    int r = rangImage(f);
    if (premierIlisible >= 0) r = std::min(r, std::max(premierRangIlisible() - 1, 0));
    return chunkDuRang(r);
}

int SourceClip::chunkDuRang(int r)
{
    if (!reordonne) return place(r);
    // The group whose key has the latest rank at or before r holds that picture.
    auto it = std::upper_bound(cles.begin(), cles.end(), r,
                               [&](int r0, int cle) { return r0 < rang(cle); });
    apprendre(size_t(std::max<ptrdiff_t>(it - cles.begin() - 1, 0)));
    return rangAffiche[size_t(r)];
}

int SourceClip::aff(int c)
{
    if (!reordonne) return c;
    if (!aDonnees(c)) return -1;
    apprendre(groupeDe(c));
    return affDe[size_t(c)];
}

int SourceClip::clePour(int s)
{
    auto it = std::upper_bound(cles.begin(), cles.end(), s);
    while (it != cles.begin()) {
        --it;
        if (valideDepuis(*it, s)) return *it;
    }
    return cles.front();
}

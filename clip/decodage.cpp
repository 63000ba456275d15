#include "clip/decodage.h"

#include <algorithm>
#include <cstdarg>
#include <mutex>

namespace
{

// The library tells that a packet did not decode whole (a part lost, concealed) only in its
// log, and flags the picture only when it comes out, after the B-frames that refer to it: the
// errors our decoder logs while it is handed a packet are counted here, per thread.
thread_local const void *decodeurEcoute = nullptr;
thread_local int erreursEcoutees = 0;
std::once_flag ecouteInstallee;

void ecouter(void *avcl, int niveau, const char *format, va_list args)
{
    if (avcl && avcl == decodeurEcoute && niveau <= AV_LOG_ERROR) ++erreursEcoutees;
    av_log_default_callback(avcl, niveau, format, args);
}

constexpr int64_t pixelsMax = 40'000'000;
// Packets a positioning may send beyond the distance from its key frame.
constexpr int margeDecodage = 64;
constexpr auto delaiRequete = std::chrono::seconds(20);

} // namespace

Decodeur::Decodeur(SourceClip &source) : src(source)
{
    cc.reset(avcodec_alloc_context3(src.decodeur));
    if (!cc || !paquet || !trame || !resultat) echecOuverture(texteErreur(AVERROR(ENOMEM)));
    int r = avcodec_parameters_to_context(cc.get(), src.flux()->codecpar);
    if (r < 0) echecOuverture(texteErreur(r));
    // Frame threads would delay output by a frame each; stepping wants it at once.
    cc->thread_count = 1;
    cc->max_pixels = pixelsMax;
    r = avcodec_open2(cc.get(), src.decodeur, nullptr);
    if (r < 0) echecOuverture(texteErreur(r));
    std::call_once(ecouteInstallee, [] { av_log_set_callback(&ecouter); });
    src.typesParDecodage = [this](const std::vector<QByteArray> &paquets) {
        return typesDe(paquets);
    };
}

Decodeur::~Decodeur()
{
    src.typesParDecodage = nullptr;
}

// Decodes the packets (each followed by FFmpeg's padding) with a codec of their own, apart
// from the decode under way, for the type of each picture.
std::vector<int64_t> Decodeur::typesDe(const std::vector<QByteArray> &paquets) const
{
    std::vector<int64_t> types(paquets.size(), AV_PICTURE_TYPE_NONE);
    Codec c(avcodec_alloc_context3(src.decodeur));
    Paquet p(av_packet_alloc());
    Trame t(av_frame_alloc());
    if (!c || !p || !t || avcodec_parameters_to_context(c.get(), src.flux()->codecpar) < 0)
        return types;
    c->thread_count = 1;
    c->max_pixels = pixelsMax;
    if (avcodec_open2(c.get(), src.decodeur, nullptr) < 0) return types;
    auto recevoir = [&] {
        while (avcodec_receive_frame(c.get(), t.get()) == 0) {
            const int64_t i = t->reordered_opaque;
            if (i >= 0 && size_t(i) < types.size()) types[size_t(i)] = t->pict_type;
            av_frame_unref(t.get());
        }
    };
    for (size_t i = 0; i < paquets.size(); ++i) {
        const int taille = paquets[i].size() - AV_INPUT_BUFFER_PADDING_SIZE;
        if (taille <= 0) continue;
        // Not counted by reference: the decoder takes a copy.
        p->data = reinterpret_cast<uint8_t *>(const_cast<char *>(paquets[i].constData()));
        p->size = taille;
        c->reordered_opaque = int64_t(i);
        if (avcodec_send_packet(c.get(), p.get()) == AVERROR(EAGAIN)) {
            recevoir();
            avcodec_send_packet(c.get(), p.get());
        }
        recevoir();
    }
    p->data = nullptr;
    p->size = 0;
    avcodec_send_packet(c.get(), nullptr);
    recevoir();
    return types;
}

bool Decodeur::reordonne() const
{
    const AVCodecDescriptor *desc = avcodec_descriptor_get(cc->codec_id);
    return desc && (desc->props & AV_CODEC_PROP_REORDER) &&
           (src.flux()->codecpar->video_delay > 0 || cc->has_b_frames > 0);
}

void Decodeur::setBudget(size_t octets)
{
    cache.setBudget(octets);
    recents.setBudget(octets / 8);
}

void Decodeur::demarrer(int cle)
{
    avcodec_flush_buffers(cc.get());
    course = Course{};
    course.active = true;
    course.cle = cle;
    if (!src.chercher(cle)) course.fin = true;
}

void Decodeur::sansImagePour(int c)
{
    if (c < 0 || c >= src.nbChunks()) return;
    if (sansImage.size() <= size_t(c)) sansImage.resize(size_t(src.nbChunks()), false);
    sansImage[size_t(c)] = true;
}

bool Decodeur::abime(int c) const
{
    return course.abimeDepuis >= 0 && c >= course.abimeDepuis && c < course.reprise;
}

// The packet of chunk c did not decode whole: no picture from it to the next key chunk is
// shown, those already kept included (with B-frames, pictures decoded after it may have
// come out before it).
void Decodeur::abimer(int c, int s)
{
    if (c < 0 || abime(c)) return;
    const int reprise = src.cleApres(c);
    if (course.abimeDepuis < 0 || reprise != course.reprise) course.abimeDepuis = c;
    course.abimeDepuis = std::min(course.abimeDepuis, c);
    course.reprise = reprise;
    for (int g : course.gardes) {
        if (!abime(g)) continue;
        cache.retirer(g);
        recents.retirer(g);
        sansImagePour(g);
        if (g == s && course.trouve) {
            course.trouve = false;
            av_frame_unref(resultat.get());
        }
    }
}

void Decodeur::enregistrer(int c, int s)
{
    if (!src.aDonnees(c)) return;
    if (src.reordonne) {
        const int a = src.aff(c);
        // Pictures shown before the key frame of the decode miss a reference: not kept.
        if (a < 0 || a < src.aff(course.cle)) return;
        course.sorti = std::max(course.sorti, a);
    } else if (c < course.cle) {
        return;
    }
    // A picture the decoder patched up (a part lost, a reference missing) is no picture of
    // the clip: the frames that show it keep the last whole one instead.
    if (trame->decode_error_flags || (trame->flags & AV_FRAME_FLAG_CORRUPT)) abimer(c, s);
    if (abime(c)) {
        sansImagePour(c);
        return;
    }
    // Damage shows late by the decoder's reordering delay at most.
    course.gardes.push_back(c);
    if (course.gardes.size() > 64) course.gardes.pop_front();
    if (c == s) {
        av_frame_unref(resultat.get());
        if (av_frame_ref(resultat.get(), trame.get()) >= 0) course.trouve = true;
    }
    // Keeping a reference makes the decoder take a fresh buffer for its next picture: only
    // what stepping back will ask for is kept, or a jump would cost more than decoding.
    // Of a jump, only the pictures just before the target are kept: each one kept takes a
    // buffer out of the decoder's rotation.
    if (course.garder)
        cache.ajouter(c, trame.get());
    else if (!src.enPlace && !src.intra && // a frame that stands alone is as quick to decode
             src.aff(c) + nbRecents > src.aff(s))
        recents.ajouter(c, trame.get());
}

void Decodeur::recevoir(int s)
{
    while (avcodec_receive_frame(cc.get(), trame.get()) == 0) {
        const int c = src.reordonne ? int(trame->reordered_opaque) : course.envoye;
        enregistrer(c, s);
        av_frame_unref(trame.get());
    }
}

bool Decodeur::peutContinuer(int s)
{
    const int point = std::max(course.envoye, course.cle - 1);
    const bool pasDepasse = src.reordonne ? course.sorti < src.aff(s) : course.envoye < s;
    return course.active && !course.fin && src.valideDepuis(course.cle, s) && pasDepasse &&
           src.clePour(s) <= point + 1;
}

const AVFrame *Decodeur::obtenir(int s, bool garder)
{
    if (const AVFrame *f = recents.trouver(s)) return f;
    if (const AVFrame *f = cache.trouver(s)) return f;
    if (size_t(s) < sansImage.size() && sansImage[size_t(s)]) return nullptr;
    if (!src.lisible() && !src.rouvrir()) return nullptr;
    // Going on from where the decoder stands is stepping forward: its pictures only go to the
    // short list of recent ones, which recycles its buffers.
    const bool enAvant = peutContinuer(s);
    if (!enAvant) demarrer(src.clePour(s));
    course.enAvant = enAvant;
    course.garder = garder && !enAvant;
    course.trouve = false;
    av_frame_unref(resultat.get());
    src.echeance.dans(delaiRequete);

    const int distance = s - std::max(course.envoye, course.cle - 1);
    int paquetsRestants = distance + margeDecodage + (src.reordonne ? 16 : 0);
    int lecturesRestantes = 8 * paquetsRestants + 1024;
    bool rouvert = false;
    while (!course.trouve) {
        if (src.reordonne ? course.sorti >= src.aff(s) : course.envoye >= s) {
            // Its packet went by without a picture: damaged.
            sansImagePour(s);
            break;
        }
        if (!src.lisible() || course.fin || paquetsRestants <= 0 || --lecturesRestantes <= 0 ||
            src.echeance.depassee())
            break;
        int c = -1;
        const int r = src.lirePaquet(paquet.get(), &c);
        if (r < 0) {
            // End of the file (or of what can be read): drain the decoder's last pictures.
            avcodec_send_packet(cc.get(), nullptr);
            recevoir(s);
            course.fin = true;
            // The file ends before a packet its table holds: remember where reading failed.
            if (r != AVERROR_EXIT && !course.trouve && course.envoye < s)
                src.marquerIlisible(std::max(course.envoye + 1, course.cle));
            break;
        }
        PaquetLu lu{paquet.get()};
        if (c < 0) c = course.envoye + 1;
        if (c < course.cle || c <= course.envoye)
            continue; // before the starting point: the seek landed earlier
        if (course.envoye < 0 && c > course.cle) {
            // The seek went past the key frame (no usable index): start over from the top.
            if (rouvert || !src.rouvrir()) break;
            rouvert = true;
            continue;
        }
        course.envoye = c;
        --paquetsRestants;
        if (paquet->size <= 0) continue;
        cc->reordered_opaque = c;
        decodeurEcoute = cc.get();
        erreursEcoutees = 0;
        int e = avcodec_send_packet(cc.get(), paquet.get());
        if (e == AVERROR(EAGAIN)) {
            recevoir(s);
            e = avcodec_send_packet(cc.get(), paquet.get());
        }
        decodeurEcoute = nullptr;
        // A damaged packet gives no whole picture, nor do the ones that refer to it; the
        // frames that show them keep the last good picture.
        if ((e < 0 && e != AVERROR(EAGAIN)) || erreursEcoutees > 0 ||
            (paquet->flags & AV_PKT_FLAG_CORRUPT))
            abimer(c, s);
        recevoir(s);
    }
    src.echeance.lever();
    return course.trouve ? resultat.get() : nullptr;
}

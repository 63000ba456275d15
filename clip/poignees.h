#pragma once
// FFmpeg handles and the few helpers every piece of the media player shares: one owner per
// handle, the I/O deadline, FFmpeg's error text. No logic of the player lives here.
#include "measure/erreurs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <QString>

#include <chrono>
#include <memory>

// A format context may read through an I/O context of ours, which it does not close.
struct LibererFormat {
    void operator()(AVFormatContext *c) const
    {
        AVIOContext *pb = (c->flags & AVFMT_FLAG_CUSTOM_IO) ? c->pb : nullptr;
        avformat_close_input(&c);
        avio_closep(&pb);
    }
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
struct LibererParseur {
    void operator()(AVCodecParserContext *p) const { av_parser_close(p); }
};
using Format = std::unique_ptr<AVFormatContext, LibererFormat>;
using Codec = std::unique_ptr<AVCodecContext, LibererCodec>;
using Trame = std::unique_ptr<AVFrame, LibererTrame>;
using Paquet = std::unique_ptr<AVPacket, LibererPaquet>;
using Sws = std::unique_ptr<SwsContext, LibererSws>;
using Parseur = std::unique_ptr<AVCodecParserContext, LibererParseur>;

// One unreferenced packet per loop turn, whatever path leaves the turn.
struct PaquetLu {
    AVPacket *p;
    ~PaquetLu() { av_packet_unref(p); }
};

using Horloge = std::chrono::steady_clock;

// Deadline of an open or a positioning: FFmpeg polls it while reading, our loops between
// packets.
struct Echeance {
    Horloge::time_point limite = Horloge::time_point::max();
    void dans(Horloge::duration d) { limite = Horloge::now() + d; }
    void lever() { limite = Horloge::time_point::max(); }
    bool depassee() const { return Horloge::now() > limite; }
};

inline int interrompre(void *opaque)
{
    return static_cast<const Echeance *>(opaque)->depassee() ? 1 : 0;
}

inline QString texteErreur(int code)
{
    char tampon[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, tampon, sizeof tampon);
    return QString::fromUtf8(tampon);
}

[[noreturn]] inline void echecOuverture(const QString &raison)
{
    throw ErreurKinemar(QStringLiteral("Impossible d'ouvrir le fichier vidéo : ") + raison);
}

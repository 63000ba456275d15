// The public face of the media player: time formats, moves, the play timer and the
// conversion of the picture shown. Reading the file is in indexClip.cpp, decoding and its
// caches in decodage.cpp; the picture is converted here, never by the decoder.
#include "clip/TMediaPlayer.h"

#include "clip/decodage.h"
#include "clip/indexClip.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <tuple>

namespace
{

// Frames looked at before a frame that does not decode, for a picture to show instead.
constexpr int essaisImagePrecedente = 16;
constexpr int passeesParEssai = 256;
// A move back by this many frames is stepping back: the pictures decoded to reach it are kept
// for the next steps back. A longer move back is a jump, and keeps only the last few.
constexpr int reculPasAPas = 1;

std::once_flag journalReduit;

} // namespace

struct TMediaPlayer::Prive {
    QString nom;
    // Declared in this order so that the decoder, which reads through the source, goes first.
    std::unique_ptr<SourceClip> clip;
    std::unique_ptr<Decodeur> decodeur;
    std::function<bool(double)> progression;
    FormatTemps format = FormatTemps::Images;
    ModeLecteur mode = ModeLecteur::NonOuvert;
    int position = 0;
    int pas = 1;
    bool notifier = false;
    QRect rect;
    int cacheMio = 256;
    std::chrono::milliseconds delaiOuverture{std::chrono::seconds(60)};
    QTimer *minuterie = nullptr;

    Trame affichee;         // the picture now shown
    int chunkAffiche = -1;  // and the chunk it was coded in
    mutable QImage imageQt; // its conversion, made on demand
    mutable bool imageAJour = false;
    mutable Sws sws;
    // What the converter's colour range was last set for (setting it is costly).
    mutable std::tuple<const SwsContext *, int, int, int, bool> swsPrepare{};

    // The frame whose first millisecond (as depuisImages gives it) is at or before t: the
    // two conversions agree at every frame, even at rates where a frame lasts a few ms.
    int versImages(int t) const
    {
        if (format == FormatTemps::Images || !clip) return t;
        int f = int(std::floor(double(t) / (clip->periode * 1000.0) + 1e-6));
        while (f > 0 && depuisImagesBrut(f) > t)
            --f;
        while (depuisImagesBrut(f + 1) <= t)
            ++f;
        return f;
    }
    int depuisImagesBrut(int f) const
    {
        return int(std::llround(double(f) * clip->periode * 1000.0));
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

void TMediaPlayer::setProgression(std::function<bool(double)> progression)
{
    d->progression = std::move(progression);
}

void TMediaPlayer::setDelaiOuverture(std::chrono::milliseconds delai)
{
    d->delaiOuverture = delai;
}

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
    auto clip = std::make_unique<SourceClip>();
    clip->delaiOuverture = d->delaiOuverture;
    clip->ouvrir(d->nom);
    auto decodeur = std::make_unique<Decodeur>(*clip);
    clip->construireTable(decodeur->reordonne(), d->progression);
    if (clip->nbImages <= 0) echecOuverture(QStringLiteral("le fichier ne contient aucune image"));
    decodeur->setBudget(size_t(d->cacheMio) << 20);
    d->clip = std::move(clip);
    d->decodeur = std::move(decodeur);
    d->mode = ModeLecteur::Arrete;
    d->rect = QRect(QPoint(0, 0), tailleNaturelle());
    allerA(0);
}

void TMediaPlayer::Close()
{
    d->minuterie->stop();
    const bool etaitOuvert = d->clip != nullptr;
    d->decodeur.reset();
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
    if (!d->clip) return QSize();
    // A clip filmed upright on a phone is stored lying on its side: shown as filmed.
    return d->clip->rotation % 2 ? QSize(d->clip->hauteur, d->clip->largeur)
                                 : QSize(d->clip->largeur, d->clip->hauteur);
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
    SourceClip &c = *d->clip;
    Decodeur &dec = *d->decodeur;
    const int f = std::clamp(image, 0, c.nbImages - 1);
    const bool memeImage = f == d->position && d->affichee;
    const bool garder = f < d->position && d->position - f <= reculPasAPas;
    d->position = f;
    if (memeImage) return;
    int g = f; // the frame whose picture is tried
    int s = c.chunkPour(g);
    if (c.enPlace && d->imageAJour && !dec.enCache(s)) {
        // Let the decoder draw over the picture shown rather than copy it first; its
        // conversion stays on view should the next one not decode.
        d->affichee.reset();
    }
    const AVFrame *t = dec.obtenir(s, garder);
    // A frame that does not decode shows the nearest decodable one before it. Frames known
    // not to decode (past damage, up to the next key frame) are passed over at no cost, so
    // only a few hundred of them count as one try.
    for (int essai = 0, passees = 0; !t && essai < essaisImagePrecedente;) {
        const int apres = c.chunkPour(g);
        if (apres != s) {
            s = apres; // reading failed on the way: the last picture read stands in
        } else {
            g = c.aff(s) - 1;
            if (g < 0) break;
            s = c.chunkPour(g);
        }
        if (!dec.connuSansImage(s) || ++passees % passeesParEssai == 0) ++essai;
        t = dec.obtenir(s, garder);
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
    if (d->clip->rotation) img = img.transformed(QTransform().rotate(90.0 * d->clip->rotation));
    d->imageQt = img;
    d->imageAJour = true;
    return img;
}

QImage TMediaPlayer::gris(const QRect &zone) const
{
    if (!d->clip || zone.isEmpty()) return QImage();
    QImage sortie(zone.size(), QImage::Format_Grayscale8);
    sortie.fill(0);
    const QRect dedans = zone & QRect(QPoint(0, 0), tailleNaturelle());
    if (dedans.isEmpty()) return sortie;
    const AVFrame *f = d->affichee.get();
    const AVPixFmtDescriptor *desc = f ? av_pix_fmt_desc_get(AVPixelFormat(f->format)) : nullptr;
    // An 8-bit luma plane first, at the picture's own size: its rows are the grey levels.
    const bool luma =
        d->clip->rotation == 0 && desc && f->width == d->clip->largeur &&
        f->height == d->clip->hauteur &&
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
    if (d->decodeur) d->decodeur->setBudget(size_t(d->cacheMio) << 20);
}

int TMediaPlayer::CacheMio() const
{
    return d->cacheMio;
}

double TMediaPlayer::tempsImage(int image) const
{
    if (!d->clip || image < 0) return 0.0;
    const auto &temps = d->clip->temps;
    if (size_t(image) < temps.size()) return temps[size_t(image)];
    return double(image) * d->clip->periode;
}

bool TMediaPlayer::cadenceVariable() const
{
    return d->clip && d->clip->variable;
}

QString TMediaPlayer::nomCodecFlux() const
{
    return d->clip ? QString::fromUtf8(avcodec_get_name(d->clip->flux()->codecpar->codec_id))
                   : QString();
}

double TMediaPlayer::periodeSecondes() const
{
    return d->clip ? d->clip->periode : 0.0;
}

QString TMediaPlayer::nomDecodeur() const
{
    return d->decodeur ? d->decodeur->nom() : QString();
}

int TMediaPlayer::imagesIlisibles() const
{
    return d->clip ? d->clip->imagesIlisibles() : 0;
}

#include "clip/infosClip.h"

#include "clip/poignees.h"
#include "clip/video.h"

extern "C" {
#include <libavutil/display.h>
}

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>

int quartsDeTour(const AVStream *flux)
{
    if (!flux) return 0;
    size_t taille = 0;
    const uint8_t *matrice = av_stream_get_side_data(flux, AV_PKT_DATA_DISPLAYMATRIX, &taille);
    if (!matrice || taille < 9 * sizeof(int32_t)) return 0;
    // FFmpeg gives the angle counter-clockwise; the picture is turned the other way.
    const double angle = av_display_rotation_get(reinterpret_cast<const int32_t *>(matrice));
    if (!std::isfinite(angle)) return 0;
    const long quarts = std::lround(-angle / 90.0);
    return int(((quarts % 4) + 4) % 4);
}

QString nomLongCodec(const QString &nomCourt)
{
    const AVCodecDescriptor *desc = avcodec_descriptor_get_by_name(nomCourt.toLatin1().constData());
    return desc && desc->long_name ? QString::fromUtf8(desc->long_name) : QString();
}

InfosClip lireInfosClip(const QString &chemin)
{
    InfosClip infos;
    AVFormatContext *brut = nullptr;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const QByteArray url = "file:" + QFile::encodeName(chemin);
    const int r = avformat_open_input(&brut, url.constData(), nullptr, &options);
    av_dict_free(&options);
    if (r < 0) return infos;
    Format fc(brut);
    if (avformat_find_stream_info(fc.get(), nullptr) < 0) return infos;
    const int i = av_find_best_stream(fc.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (i < 0) return infos;
    const AVStream *st = fc->streams[i];
    infos.rotation = quartsDeTour(st);
    infos.largeur = st->codecpar->width;
    infos.hauteur = st->codecpar->height;
    if (infos.rotation % 2) std::swap(infos.largeur, infos.hauteur);
    AVRational cadence = st->avg_frame_rate;
    if (cadence.num <= 0 || cadence.den <= 0) cadence = st->r_frame_rate;
    if (cadence.num > 0 && cadence.den > 0) infos.periode = av_q2d(av_inv_q(cadence));
    if (st->duration > 0 && st->duration != AV_NOPTS_VALUE)
        infos.duree = double(st->duration) * av_q2d(st->time_base);
    else if (fc->duration > 0)
        infos.duree = double(fc->duration) / AV_TIME_BASE;
    if (st->nb_frames > 0)
        infos.nbImages = int(std::min<int64_t>(st->nb_frames, INT32_MAX));
    else if (infos.periode > 0)
        infos.nbImages =
            int(std::min<double>(std::llround(infos.duree / infos.periode), INT32_MAX));
    if (infos.duree <= 0 && infos.periode > 0) infos.duree = infos.nbImages * infos.periode;
    infos.frequence = frequenceDePeriode(infos.periode);
    infos.codec = QString::fromUtf8(avcodec_get_name(st->codecpar->codec_id));
    infos.nomCodec = nomLongCodec(infos.codec);
    infos.valide = infos.largeur > 0 && infos.hauteur > 0 && infos.periode > 0;
    return infos;
}

namespace
{

// The containers a phone or a camera writes, beside AVI.
const char *const extensionsClips[] = {"avi", "mp4", "mov", "m4v", "mkv", "webm", "3gp"};

const QString filtreAvi = QStringLiteral("fichiers AVI (*.avi)");

QString filtreTousClips()
{
    // Both cases, as phones and cameras name their files.
    QStringList motifs;
    for (const char *e : extensionsClips)
        motifs << QStringLiteral("*.") + QLatin1String(e);
    for (const char *e : extensionsClips)
        motifs << QStringLiteral("*.") + QString::fromLatin1(e).toUpper();
    return QStringLiteral("كل مقاطع الفيديو (") + motifs.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

QString filtresClips()
{
    return filtreAvi + QStringLiteral(";;") + filtreTousClips();
}

QString filtresPourClip(const QString &fichier)
{
    const QString extension = QFileInfo(fichier).suffix();
    const QString bas = extension.toLower();
    if (bas == QLatin1String("avi")) return filtresClips();
    if (extension.isEmpty() || extension.contains(QLatin1Char(')')) ||
        extension.contains(QLatin1Char(';')) || extension.contains(QLatin1Char(' ')))
        return filtreTousClips() + QStringLiteral(";;") + filtreAvi;
    QString motifs = QStringLiteral("*.") + bas;
    if (extension.toUpper() != bas) motifs += QStringLiteral(" *.") + extension.toUpper();
    if (extension != bas && extension != extension.toUpper())
        motifs += QStringLiteral(" *.") + extension;
    return QStringLiteral("ملفات ") + extension.toUpper() + QStringLiteral(" (") + motifs +
           QStringLiteral(");;") + filtreTousClips() + QStringLiteral(";;") + filtreAvi;
}

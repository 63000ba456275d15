#include "clip/echecOuverture.h"

#include "clip/poignees.h"

#include <QRegularExpression>

namespace
{

// The player's reasons (a leading phrase, possibly followed by a value) and their Arabic.
struct Traduction {
    const char *francais;
    const char *arabe;
};

const Traduction traductions[] = {
    {"aucun fichier indiqué", "لم يحدد أي ملف"},
    {"ce n'est pas un fichier", "ليس ملفا"},
    {"le fichier ne contient pas de vidéo", "الملف لا يحتوي على فيديو"},
    {"le fichier ne contient aucune image", "الملف لا يحتوي على أية صورة"},
    {"aucun décodeur pour le codec", "لا يتوفر فك الترميز لـ"},
    {"dimensions d'image invalides", "أبعاد الصورة غير صالحة"},
    {"cadence d'images invalide", "تواتر الصور غير صالح"},
    {"lecture trop longue", "القراءة تستغرق وقتا طويلا"},
};

// Reasons that carry numbers inside the phrase: the numbers are kept, the words are Arabic.
struct TraductionChiffree {
    const char *motif;
    const char *arabe; // %1, %2: the numbers caught by the pattern
};

const TraductionChiffree traductionsChiffrees[] = {
    {"^le clip compte (\\d+) images, plus que les (\\d+) que le tableau des mesures peut "
     "recevoir$",
     "يحتوي المقطع على %1 صورة، أكثر من %2 صورة يتسع لها جدول القياسات"},
    {"^la durée du clip \\((\\d+) images de ([^ ]+) s\\) ne peut être comptée$",
     "تعذر حساب مدة المقطع (%1 صورة، %2 ثا لكل صورة)"},
};

// The reasons the decoding library gives that users meet, by its error code: its words
// (in English, or as the system's C library words them) are compared with the code's text.
struct RaisonBibliotheque {
    int code;
    const char *arabe;
};

const RaisonBibliotheque raisonsBibliotheque[] = {
    {AVERROR_INVALIDDATA, "الملف تالف أو ليس مقطع فيديو تعرفه المكتبة"},
    {AVERROR(ENOENT), "الملف غير موجود"},
    {AVERROR(EACCES), "لا يسمح بقراءة الملف (صلاحيات غير كافية)"},
    {AVERROR(EPERM), "لا يسمح بقراءة الملف (صلاحيات غير كافية)"},
    {AVERROR_EOF, "ينتهي الملف قبل نهاية الفيديو (ملف مبتور)"},
    {AVERROR(EIO), "خطأ في قراءة الملف من القرص"},
    {AVERROR_DECODER_NOT_FOUND, "ترميز الفيديو غير مدعوم"},
    {AVERROR_PATCHWELCOME, "ترميز الفيديو غير مدعوم"},
    {AVERROR(ENOSYS), "ترميز الفيديو غير مدعوم"},
    {AVERROR_DEMUXER_NOT_FOUND, "صيغة الملف غير مدعومة"},
    {AVERROR_STREAM_NOT_FOUND, "الملف لا يحتوي على فيديو"},
    {AVERROR(ENOMEM), "الذاكرة غير كافية"},
};

const QString prefixeLecteur = QStringLiteral("Impossible d'ouvrir le fichier vidéo : ");

} // namespace

QString messageEchecOuverture(const QString &fichier, const QString &raisonLecteur)
{
    QString raison = raisonLecteur;
    const bool duLecteur = raison.startsWith(prefixeLecteur);
    if (duLecteur) raison.remove(0, prefixeLecteur.size());
    const QString cr(QChar(13));
    const QString texte = QStringLiteral("تعذر فتح مقطع الفيديو") + cr + fichier;
    if (raison.trimmed().isEmpty()) return texte;
    for (const TraductionChiffree &t : traductionsChiffrees) {
        const QRegularExpressionMatch m =
            QRegularExpression(QString::fromUtf8(t.motif)).match(raison);
        if (m.hasMatch())
            return texte + cr + QString::fromUtf8(t.arabe).arg(m.captured(1), m.captured(2));
    }
    for (const Traduction &t : traductions) {
        const QString francais = QString::fromUtf8(t.francais);
        if (raison.startsWith(francais))
            return texte + cr + QString::fromUtf8(t.arabe) + raison.mid(francais.size());
    }
    if (!duLecteur) return texte + cr + raison;
    // The decoding library's words: an Arabic reason, its own words as a detail line.
    QString arabe = QStringLiteral("تعذرت قراءة الملف");
    for (const RaisonBibliotheque &r : raisonsBibliotheque)
        if (raison == texteErreur(r.code)) {
            arabe = QString::fromUtf8(r.arabe);
            break;
        }
    return texte + cr + arabe + cr + QStringLiteral("التفاصيل : ") + raison;
}

#include "clip/echecOuverture.h"

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

const QString prefixeLecteur = QStringLiteral("Impossible d'ouvrir le fichier vidéo : ");

} // namespace

QString messageEchecOuverture(const QString &fichier, const QString &raisonLecteur)
{
    QString raison = raisonLecteur;
    if (raison.startsWith(prefixeLecteur)) raison.remove(0, prefixeLecteur.size());
    for (const TraductionChiffree &t : traductionsChiffrees) {
        const QRegularExpressionMatch m =
            QRegularExpression(QString::fromUtf8(t.motif)).match(raison);
        if (m.hasMatch()) raison = QString::fromUtf8(t.arabe).arg(m.captured(1), m.captured(2));
    }
    for (const Traduction &t : traductions) {
        const QString francais = QString::fromUtf8(t.francais);
        if (raison.startsWith(francais)) {
            raison = QString::fromUtf8(t.arabe) + raison.mid(francais.size());
            break;
        }
    }
    const QChar cr(13);
    QString texte = QStringLiteral("تعذر فتح مقطع الفيديو") + cr + fichier;
    if (!raison.trimmed().isEmpty()) texte += cr + raison;
    return texte;
}

#include "clip/echecOuverture.h"

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

const QString prefixeLecteur = QStringLiteral("Impossible d'ouvrir le fichier vidéo : ");

} // namespace

QString messageEchecOuverture(const QString &fichier, const QString &raisonLecteur)
{
    QString raison = raisonLecteur;
    if (raison.startsWith(prefixeLecteur)) raison.remove(0, prefixeLecteur.size());
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

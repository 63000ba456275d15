#include "export/configuration.h"

#include "export/cp1256.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <sys/stat.h>
#include <unistd.h>

bool ConfigCurvalis::valide() const
{
    return !programme.isEmpty() &&
           (version == QLatin1String("win") || version == QLatin1String("dos"));
}

QString cheminConfiguration(const QString &repertoire)
{
    return repertoire + QStringLiteral("/kmconfig.txt");
}

namespace
{

// Characters a path written in UTF-8 by this program or by a teacher's editor is made of:
// Arabic and Persian letters and forms, Latin and Greek ones, punctuation. Windows-1256 bytes
// that happen to be UTF-8 give others (control codes, Cyrillic, Hebrew …).
bool caractereVraisemblable(char32_t c)
{
    return c < 0x80 || (c >= 0xA0 && c < 0x250) || (c >= 0x370 && c < 0x400) ||
           (c >= 0x600 && c < 0x700) || (c >= 0x750 && c < 0x780) || (c >= 0x2000 && c < 0x2070) ||
           (c >= 0xFB50 && c < 0xFE00) || (c >= 0xFE70 && c < 0xFF00);
}

} // namespace

QString texteLigne(const QByteArray &ligne)
{
    // The whole line decides: a stateless decoder counts a sequence left unfinished at its
    // end (a Windows-1256 letter that is a UTF-8 lead byte) as an error instead of holding it.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString s = utf8(ligne);
    if (utf8.hasError()) return depuisCp1256(ligne);
    // Windows-1256 bytes may also form valid UTF-8 ("شک" reads as one Cyrillic letter): the
    // reading made only of the characters paths are written with is the one that was meant.
    const QList<uint> points = s.toUcs4();
    for (const uint c : points)
        if (!caractereVraisemblable(c)) return depuisCp1256(ligne);
    return s;
}

ConfigCurvalis lireConfiguration(const QByteArray &octets)
{
    QList<QByteArray> lignes = octets.split('\n');
    while (lignes.size() < 2)
        lignes << QByteArray();
    auto texte = [](QByteArray ligne) {
        if (ligne.endsWith('\r')) ligne.chop(1);
        return texteLigne(ligne);
    };
    return {texte(lignes[0]), texte(lignes[1]).toLower()};
}

QByteArray texteConfiguration(const QString &programme, bool windows)
{
    int remplaces = 0;
    QByteArray chemin = versCp1256(programme, &remplaces);
    if (remplaces > 0) chemin = programme.toUtf8();
    return chemin + "\r\n" + (windows ? "win" : "DOS") + "\r\n";
}

bool estProgrammeWindows(const QString &programme)
{
    if (programme.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) return true;
    QFile f(programme);
    return f.open(QIODevice::ReadOnly) && f.read(2) == "MZ";
}

CommandeLancement commandeLancement(const QString &programme, const QString &parametre,
                                    const QString &wine)
{
    if (!wine.isEmpty() && estProgrammeWindows(programme)) return {wine, {programme, parametre}};
    return {programme, {parametre}};
}

QString cheminWine()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

QString raisonEchecLancement(const QString &programme, const QString &wine)
{
    const QFileInfo f(programme);
    if (!f.exists()) return QStringLiteral("الملف غير موجود : ") + programme;
    if (!f.isFile() || !f.isReadable()) return QStringLiteral("تعذرت قراءة الملف : ") + programme;
    if (estProgrammeWindows(programme) && wine.isEmpty())
        return QStringLiteral("هذا برنامج ويندوز، ولتشغيله يجب تثبيت wine");
    if (!estProgrammeWindows(programme) && !f.isExecutable())
        return QStringLiteral("الملف غير قابل للتنفيذ : ") + programme;
    return QStringLiteral("رفض النظام تشغيل البرنامج : ") + programme;
}

std::optional<QString> configurationDouteuse(const QString &chemin)
{
    struct stat etat;
    if (::stat(QFile::encodeName(chemin).constData(), &etat) != 0) return std::nullopt;
    if (etat.st_uid != ::geteuid()) return QStringLiteral("يملكه مستخدم آخر");
    if (etat.st_mode & (S_IWGRP | S_IWOTH)) return QStringLiteral("يمكن لمستخدمين آخرين تعديله");
    return std::nullopt;
}

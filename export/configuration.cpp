#include "export/configuration.h"

#include "export/cp1256.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

bool ConfigCurvalis::valide() const
{
    return !programme.isEmpty() &&
           (version == QLatin1String("win") || version == QLatin1String("dos"));
}

QString cheminConfiguration(const QString &repertoire)
{
    return repertoire + QStringLiteral("/kmconfig.txt");
}

ConfigCurvalis lireConfiguration(const QByteArray &octets)
{
    QList<QByteArray> lignes = octets.split('\n');
    while (lignes.size() < 2)
        lignes << QByteArray();
    auto texte = [](QByteArray ligne) {
        if (ligne.endsWith('\r')) ligne.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString s = utf8(ligne);
        return utf8.hasError() ? depuisCp1256(ligne) : s;
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

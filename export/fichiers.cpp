#include "export/fichiers.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

bool fichierExiste(const QString &nom)
{
    if (nom.isEmpty()) return false;
    QFile f(nom);
    const bool ouvert = f.open(QIODevice::ReadOnly);
    f.close();
    return ouvert;
}

std::optional<QString> ecrireFichier(const QString &nom, const QByteArray &octets)
{
    QSaveFile f(nom);
    if (!f.open(QIODevice::WriteOnly)) return f.errorString();
    if (f.write(octets) != octets.size()) {
        const QString raison = f.errorString();
        f.cancelWriting();
        f.commit();
        return raison;
    }
    if (!f.commit()) return f.errorString();
    return std::nullopt;
}

QString texteErreurEcriture(const QString &nom, const QString &raison)
{
    const QChar cr(13);
    return QStringLiteral("تعذر حفظ الملف") + cr + QDir::toNativeSeparators(nom) + cr + raison;
}

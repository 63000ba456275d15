#include "export/fichiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool fichierExiste(const QString &nom)
{
    if (nom.isEmpty()) return false;
    QFile f(nom);
    const bool ouvert = f.open(QIODevice::ReadOnly);
    f.close();
    return ouvert;
}

namespace
{

// Every byte written, then flushed to the disk; 0, else the system's error number. write()
// may take fewer bytes than asked (a signal, a limit): go on until all are written or the
// system refuses; a full disk may only show when the data reaches it.
int ecrireTout(int fd, const QByteArray &octets)
{
    const char *p = octets.constData();
    qint64 reste = octets.size();
    while (reste > 0) {
        const ssize_t n = ::write(fd, p, size_t(std::min<qint64>(reste, 1 << 20)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        p += n;
        reste -= n;
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

QString raisonSysteme(int erreur)
{
    return QString::fromLocal8Bit(std::strerror(erreur));
}

} // namespace

std::optional<QString> ajouterAuFichier(const QString &nom, const QByteArray &octets)
{
    const QByteArray chemin = QFile::encodeName(nom);
    const int fd = ::open(chemin.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return raisonSysteme(errno);
    struct stat avant;
    if (::fstat(fd, &avant) != 0) {
        const int erreur = errno;
        ::close(fd);
        return raisonSysteme(erreur);
    }
    int erreur = ecrireTout(fd, octets);
    // What a failure left half written goes: the file ends on its last whole addition.
    if (erreur && ::ftruncate(fd, avant.st_size) == 0) ::fsync(fd);
    if (::close(fd) != 0 && !erreur) erreur = errno;
    if (erreur) return raisonSysteme(erreur);
    return std::nullopt;
}

std::optional<QString> ecrireFichier(const QString &nom, const QByteArray &octets, int droits)
{
    QFileInfo cible(nom);
    if (cible.isSymLink() && !cible.symLinkTarget().isEmpty())
        cible = QFileInfo(cible.symLinkTarget());
    const QByteArray chemin = QFile::encodeName(cible.absoluteFilePath());
    const QByteArray debut =
        QFile::encodeName(cible.absolutePath() + QStringLiteral("/.") + cible.fileName());
    const auto raison = raisonSysteme;

    // A new name beside the file, created by this call alone; 0666 lets the umask decide.
    QByteArray temporaire;
    int fd = -1;
    for (int essai = 0; fd < 0 && essai < 100; ++essai) {
        temporaire = debut + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporaire.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return raison(errno);
    }
    if (fd < 0) return raison(EEXIST);
    const auto echec = [&](int erreur, bool ouvert) {
        if (ouvert) ::close(fd);
        ::unlink(temporaire.constData());
        return raison(erreur);
    };
    // The permissions asked, else those of the file replaced.
    struct stat ancien;
    if (droits < 0 && ::stat(chemin.constData(), &ancien) == 0) droits = ancien.st_mode & 07777;
    if (droits >= 0 && ::fchmod(fd, mode_t(droits)) != 0) return echec(errno, true);

    if (const int erreur = ecrireTout(fd, octets)) return echec(erreur, true);
    if (::close(fd) != 0) return echec(errno, false);
    if (::rename(temporaire.constData(), chemin.constData()) != 0) return echec(errno, false);
    return std::nullopt;
}

QString texteErreurEcriture(const QString &nom, const QString &raison)
{
    const QChar cr(13);
    return QStringLiteral("تعذر حفظ الملف") + cr + QDir::toNativeSeparators(nom) + cr + raison;
}

#include "app/recuperation.h"

#include "export/fichiers.h"
#include "measure/fichierMesure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace
{

QString verrouDe(const QString &fichier)
{
    return fichier.left(fichier.size() - int(qstrlen(".kinemar"))) + QStringLiteral(".lock");
}

} // namespace

Recuperation::Recuperation(QObject *parent) : QObject(parent)
{
    const QString d = dossier();
    QDir().mkpath(d);
    // The start time in the name: a process id may come back after a crash.
    const QString base = QStringLiteral("%1/kinemar-%2-%3")
                             .arg(d)
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    fichier_ = base + QStringLiteral(".kinemar");
    verrou_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    verrou_->setStaleLockTime(0);
    verrou_->tryLock(0);
    ecrivain_.setMaxThreadCount(1);
    minuterie_.setSingleShot(true);
    connect(&minuterie_, &QTimer::timeout, this, &Recuperation::ecrire);
    // The main window outlives the event loop: the clean exit is when the loop ends.
    if (auto *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &Recuperation::nettoyer);
}

Recuperation::~Recuperation()
{
    nettoyer();
}

void Recuperation::nettoyer()
{
    fini_ = true;
    minuterie_.stop();
    ecrivain_.waitForDone();
    QFile::remove(fichier_);
    verrou_->unlock();
}

QString Recuperation::dossier()
{
    QString etat = qEnvironmentVariable("XDG_STATE_HOME");
    if (etat.isEmpty() || QFileInfo(etat).isRelative())
        etat = QDir::homePath() + QStringLiteral("/.local/state");
    return etat + QStringLiteral("/kinemar");
}

QStringList Recuperation::recuperables() const
{
    QStringList l;
    const QDir d(dossier());
    for (const QFileInfo &f :
         d.entryInfoList({QStringLiteral("kinemar-*.kinemar")}, QDir::Files, QDir::Time)) {
        if (f.absoluteFilePath() == fichier_) continue;
        // A lock we can take belongs to no running program.
        QLockFile verrou(verrouDe(f.absoluteFilePath()));
        verrou.setStaleLockTime(0);
        if (!verrou.tryLock(0)) continue;
        verrou.unlock();
        l << f.absoluteFilePath();
    }
    return l;
}

void Recuperation::abandonner(const QString &fichier)
{
    QFile::remove(fichier);
    QFile::remove(verrouDe(fichier));
}

void Recuperation::planifier()
{
    if (fini_ || !source) return;
    if (minuterie_.isActive()) return;
    const qint64 attente = ecrit_ ? std::max<qint64>(0, 1000 - depuisEcriture_.elapsed()) : 0;
    minuterie_.start(int(attente));
}

void Recuperation::ecrire()
{
    if (enCours_) {
        minuterie_.start(100);
        return;
    }
    Mesure m = source();
    if (m.clip.fichier.isEmpty()) return;
    enCours_ = true;
    ecrit_ = true;
    depuisEcriture_.start();
    ecrivain_.start([this, m = std::move(m), f = fichier_] {
        // The journal goes through the same writer as every save: a failed write leaves
        // the last good copy in place.
        const std::optional<QString> raison = ecrireFichier(f, texteSession(m, f));
        QMetaObject::invokeMethod(
            this, [this, raison] { ecrit(raison); }, Qt::QueuedConnection);
        enCours_ = false;
    });
}

void Recuperation::ecrit(const std::optional<QString> &raison)
{
    if (protege_ == !raison) return;
    protege_ = !raison;
    emit protection(protege_, raison.value_or(QString()));
}

void Recuperation::effacer()
{
    minuterie_.stop();
    ecrivain_.waitForDone();
    QFile::remove(fichier_);
}

void Recuperation::attendre()
{
    ecrivain_.waitForDone();
    if (minuterie_.isActive()) {
        minuterie_.stop();
        ecrire();
        ecrivain_.waitForDone();
    }
}

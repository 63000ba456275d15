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
    journal_ = journalDe(fichier_);
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
    QFile::remove(journal_);
    verrou_->unlock();
}

QString Recuperation::journalDe(const QString &fichier)
{
    return fichier + QStringLiteral(".journal");
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
    QFile::remove(journalDe(fichier));
    QFile::remove(verrouDe(fichier));
}

LectureSession Recuperation::lire(const QString &fichier)
{
    LectureSession l = lireFichierSession(fichier);
    QFile journal(journalDe(fichier));
    if (l.mesure && journal.open(QIODevice::ReadOnly))
        rejouerJournal(*l.mesure, journal.readAll(), fichier);
    return l;
}

void Recuperation::noter(const Mesure &m, const PlageMesure &plage)
{
    if (fini_) return;
    if (!copieAFaire_) enAttente_ += lignesJournal(m, plage, fichier_);
    planifier();
}

void Recuperation::toutReecrire()
{
    copieAFaire_ = true;
    enAttente_.clear();
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
    // Past this the journal is written again as a whole copy: replaying stays quick.
    constexpr qint64 kJournalMax = 4 << 20;
    if (copieAFaire_ || tailleJournal_ + enAttente_.size() > kJournalMax) {
        Mesure m = source();
        if (m.clip.fichier.isEmpty()) return;
        copieAFaire_ = false;
        enAttente_.clear();
        tailleJournal_ = 0;
        lancer([m = std::move(m), f = fichier_, j = journal_] {
            // The copy holds every change noted so far: the journal starts again after it.
            auto raison = ecrireFichier(f, texteSession(m, f));
            if (!raison) raison = ecrireFichier(j, QByteArray());
            return raison;
        });
        return;
    }
    if (enAttente_.isEmpty()) return;
    tailleJournal_ += enAttente_.size();
    lancer([l = std::exchange(enAttente_, QByteArray()), j = journal_] {
        return ajouterAuFichier(j, l);
    });
}

void Recuperation::lancer(std::function<std::optional<QString>()> ecriture)
{
    enCours_ = true;
    ecrit_ = true;
    depuisEcriture_.start();
    // The copy and the journal go through the same checked writes as every save: a failure
    // leaves the last good copy, and the journal ending on its last whole line.
    ecrivain_.start([this, ecriture = std::move(ecriture)] {
        const std::optional<QString> raison = ecriture();
        QMetaObject::invokeMethod(
            this, [this, raison] { ecrit(raison); }, Qt::QueuedConnection);
    });
}

void Recuperation::ecrit(const std::optional<QString> &raison)
{
    enCours_ = false;
    // A journal missing lines would replay wrong: the next write is whole.
    if (raison) toutReecrire();
    if (protege_ == !raison) return;
    protege_ = !raison;
    emit protection(protege_, raison.value_or(QString()));
}

void Recuperation::effacer()
{
    minuterie_.stop();
    ecrivain_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QFile::remove(fichier_);
    QFile::remove(journal_);
    toutReecrire();
}

void Recuperation::attendre()
{
    ecrivain_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (minuterie_.isActive()) {
        minuterie_.stop();
        ecrire();
        ecrivain_.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

#pragma once
// Recovery after a crash: the measurement is kept in the user's state folder
// ($XDG_STATE_HOME/kinemar, else ~/.local/state/kinemar) as a whole copy (a session file) and a
// journal beside it of the changes made since, written at most once a second by a worker
// thread so that pointing never waits for the disk. A change costs its journal lines; the whole
// copy is written again (and the journal emptied) when the journal has grown large. Each
// running program owns one copy, its journal and a lock; a copy whose lock's process is gone
// is work left by a crash or a kill. A clean exit removes the program's own files.
#include "measure/fichierMesure.h"
#include "measure/mesure.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class Recuperation : public QObject
{
    Q_OBJECT
public:
    explicit Recuperation(QObject *parent = nullptr);
    ~Recuperation() override; // the clean exit: nothing left to recover

    static QString dossier();
    // Work left by programs that ended without closing: newest first.
    QStringList recuperables() const;
    // Removes a recovered file, its journal and its lock once its work is open again.
    static void abandonner(const QString &fichier);
    // The work a recovery file holds: the whole copy with its journal replayed.
    static LectureSession lire(const QString &fichier);

    // What to write: called when the write starts, so that the copy shares the pointings
    // with the window's value and costs nothing until one side changes them.
    std::function<Mesure()> source;
    // Writes the measurement within a second (at most one write a second): the changes noted
    // since, or the whole of it when asked by toutReecrire (or nothing was written yet).
    void planifier();
    // A change of the measurement m (after it): its lines go to the journal.
    void noter(const Mesure &m, const PlageMesure &plage);
    // The next write is a whole copy (another measurement was put in place).
    void toutReecrire();
    // Nothing to recover any more (another clip was opened).
    void effacer();
    // Waits for the write in progress, if any (tests, exit).
    void attendre();
    QString fichier() const { return fichier_; }
    static QString journalDe(const QString &fichier);
    // Waits for the writer and removes the file and its lock (a clean exit).
    void nettoyer();

signals:
    // The work in progress stopped being protected (a write failed: the system's reason), or
    // is protected again; raised on each change only, in the window's thread.
    void protection(bool protege, const QString &raison);

private:
    void ecrire();
    void lancer(std::function<std::optional<QString>()> ecriture);
    void ecrit(const std::optional<QString> &raison);

    QString fichier_, journal_;
    QByteArray enAttente_;   // journal lines not written yet
    qint64 tailleJournal_ = 0; // bytes in the journal since the whole copy
    bool copieAFaire_ = true;  // the next write is a whole copy
    std::unique_ptr<QLockFile> verrou_;
    QTimer minuterie_;
    QElapsedTimer depuisEcriture_;
    bool ecrit_ = false;
    bool fini_ = false;
    bool protege_ = true;
    std::atomic<bool> enCours_{false};
    QThreadPool ecrivain_;
};

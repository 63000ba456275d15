#pragma once
// The session file (.kinemar): the whole measurement as UTF-8 JSON with a format number.
// One serialisation serves saving, opening and recovery.
#include "measure/commandesMesure.h"
#include "measure/mesure.h"

#include <QString>

constexpr int kFormatSession = 1;

// The measurement as file bytes. The clip is named relative to the session file when it
// lies in the session's folder or below it, so that a folder copied whole opens elsewhere.
QByteArray texteSession(const Mesure &m, const QString &fichierSession);
// Writes beside and renames once every byte is on the disk: a failed or interrupted save
// leaves the old file whole.
// Empty result = success, otherwise the reason in Arabic.
QString ecrireSession(const Mesure &m, const QString &fichierSession);

struct LectureSession {
    std::optional<Mesure> mesure; // the clip path made absolute
    QString autreChemin;          // the clip's absolute path when the file was saved
    QString erreur;               // Arabic, when mesure is empty
};
// Reads and checks everything (types, ranges, format number) before returning a value.
LectureSession lireSession(const QByteArray &octets, const QString &fichierSession);
LectureSession lireFichierSession(const QString &fichierSession);

// The recovery journal: the changes made since the last whole copy, one line each, in order.
// "P point frame x y" a position, "E point frame" a position cleared, "A frame degrees" an
// angle of the protractor ("A frame" cleared), "R {...}" the settings (the session file's
// JSON without the pointings). Every line sets a value whole, so that
// replaying a line twice changes nothing.
QByteArray lignesJournal(const Mesure &m, const PlageMesure &plage, const QString &fichierSession);
// Replays a journal on the whole copy it follows. A line that does not read (the end of a
// write cut by a crash) ends the replay: what came before it is kept. Returns the lines
// applied.
int rejouerJournal(Mesure &m, const QByteArray &journal, const QString &fichierSession);

// SHA-256 (hex) of the first MiB of a file; empty when it cannot be read.
QByteArray empreinteClip(const QString &fichier);

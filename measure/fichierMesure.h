#pragma once
// The session file (.kinemar): the whole measurement as UTF-8 JSON with a format number.
// One serialisation serves saving, opening and recovery.
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

// SHA-256 (hex) of the first MiB of a file; empty when it cannot be read.
QByteArray empreinteClip(const QString &fichier);

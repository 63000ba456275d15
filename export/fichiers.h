#pragma once
// Files of the exports: the existence test, and writing a file whole or not at all.
#include <QByteArray>
#include <QString>
#include <optional>

// True when the file can be opened for reading (a missing file, a folder or an unreadable
// file give false). It opens and at once closes the file.
bool fichierExiste(const QString &nom);

// Writes the bytes beside the file, then puts them in its place in one step, so that a
// failure (read-only folder, full disk, vanished stick) leaves no half-written file under
// that name and an existing file as it was. Nothing on success, else the system's reason.
std::optional<QString> ecrireFichier(const QString &nom, const QByteArray &octets);

// The message shown when a file could not be written: the file and the reason.
QString texteErreurEcriture(const QString &nom, const QString &raison);

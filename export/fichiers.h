#pragma once
// Files of the exports: the existence test, and writing a file whole or not at all.
#include <QByteArray>
#include <QString>
#include <optional>

// True when the file can be opened for reading (a missing file, a folder or an unreadable
// file give false). It opens and at once closes the file.
bool fichierExiste(const QString &nom);

// Writes the bytes to a new file beside the file, checks every write, the flush to the disk
// and the close, and only then puts the new file in its place in one step: a failure
// (read-only folder, full disk, file-size limit, vanished stick) leaves the existing file
// byte for byte as it was and nothing beside it. The file gets the permissions `droits`
// (e.g. 0644) when given, else keeps those it had, else gets those the umask leaves of 0666.
// A symbolic link is followed. Nothing on success, else the system's reason. Every file the program
// writes goes through here.
std::optional<QString> ecrireFichier(const QString &nom, const QByteArray &octets, int droits = -1);

// Adds the bytes at the end of a file (made, private to the user, when missing) with the same
// checks; a failure cuts the file back to its length before, so that it never ends on half an
// addition. For journals, which grow by small additions. Nothing on success, else the reason.
std::optional<QString> ajouterAuFichier(const QString &nom, const QByteArray &octets);

// The message shown when a file could not be written: the file and the reason.
QString texteErreurEcriture(const QString &nom, const QString &raison);

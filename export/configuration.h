#pragma once
// The analysis program's configuration (kmconfig.txt in the start directory: line 1 the
// program, line 2 its version) and how that program is started.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct ConfigCurvalis {
    QString programme; // line 1, as written
    QString version;   // line 2, lower-cased: "win" or "dos" when valid
    // A launch needs a program and a known version; an empty program line would otherwise
    // make the exchange file's writer ask for a file.
    bool valide() const;
    bool windows() const { return version == QLatin1String("win"); }
};

QString cheminConfiguration(const QString &repertoire);

// One line of kmconfig.txt as text: UTF-8 when the whole line is UTF-8 made of the characters
// paths are written with, else Windows-1256 (what the configuration dialog writes).
QString texteLigne(const QByteArray &ligne);

// At most the first two lines; CR LF or LF; each line as texteLigne reads it, UTF-8 or
// Windows-1256. Missing lines read as empty.
ConfigCurvalis lireConfiguration(const QByteArray &octets);

// Two lines, each ended by CR LF: the program, then "win" or "DOS". Windows-1256 when the
// path fits in it, else UTF-8 (only this program reads the file).
QByteArray texteConfiguration(const QString &programme, bool windows);

// A Windows program: its name ends in ".exe" (any case) or its first bytes are "MZ".
bool estProgrammeWindows(const QString &programme);

struct CommandeLancement {
    QString programme;
    QStringList arguments;
};
// What to start for the program with its one parameter: a Windows program through `wine`
// when wine is installed (its path given), any other program as it is.
CommandeLancement commandeLancement(const QString &programme, const QString &parametre,
                                    const QString &wine);

// The path of wine on this system, empty when it is not installed.
QString cheminWine();

// Why the program could not be started, in words for the user.
QString raisonEchecLancement(const QString &programme, const QString &wine);

// Nothing when kmconfig.txt may name the program to launch: owned by the user and writable
// by nobody else (as ssh treats its files). Else why not, for the message: a file planted in
// a downloaded folder would launch any program.
std::optional<QString> configurationDouteuse(const QString &chemin);

#pragma once
// What the export dialogs share: writing a file with its error message, the title box, the
// separator group and the two-column radio groups.
#include <QByteArray>
#include <QString>
#include <QStringList>

class QLineEdit;
class TRadioGroup;

// Writes the file whole or not at all; a failure shows an error naming the file and the
// reason, and gives false. A success says nothing.
bool enregistrerFichier(const QString &nom, const QByteArray &octets, int droits = -1);

// The text and clipboard dialogs' title at start.
QString titreExportInitial();
// Items of the separator groups, index as in separateurChoisi.
QStringList elementsSeparateur();

// The "," item is not offered while "," is the decimal mark (a spreadsheet could not split
// the fields); a group standing on it moves to ";".
void offrirSeparateurs(TRadioGroup *groupe);

// Lays the group's items out in columns, filled column by column.
void disposerEnColonnes(TRadioGroup *groupe, int colonnes);

// The title box of the text file keeps what the file can hold: a line break or another
// control character becomes a blank, a character the code page lacks is not taken.
void filtrerTitreCp1256(QLineEdit *titre);

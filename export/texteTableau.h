#pragma once
// The table as text: the text file (Windows-1256, CR LF after every line) and the text put
// on the clipboard. Both start with a title line, a line of names and a line of units.
#include "export/instantane.h"

#include <QByteArray>
#include <QString>

// The field separator of the separator groups: tab, ";", "," or one blank.
QChar separateurChoisi(int index);

// The separator the text forms write: the chosen one, or ";" when the chosen one is the
// decimal mark ("0,5,1,2" could not be split by any spreadsheet).
QChar separateurDeChamps(QChar choisi, QChar decimal);

// The title as one line: line breaks and other control characters become blanks.
QString titreSurUneLigne(const QString &titre);

// The text file. `remplaces`, when given, receives how many characters of the title the code
// page lacks (each written "?").
QByteArray fichierTexte(const InstantaneTableau &tableau, QChar separateur, const QString &titre,
                        int *remplaces = nullptr);

// The clipboard text: lines joined by CR LF, none after the last. Throws ErreurKinemar when a
// value cell is not a number (the program never writes such a cell).
QString textePressePapiers(const InstantaneTableau &tableau, QChar separateur,
                           const QString &titre);

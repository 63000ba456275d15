#pragma once
// The message shown when a chosen clip cannot be opened: the program's own words in Arabic,
// the file, then the player's reason in Arabic.
#include <QString>

// raisonLecteur is the text of the player's error. Its own reasons are put into Arabic; a
// reason it passes on from the decoding library gets an Arabic reason by the library's error
// code, its own words following on a detail line.
QString messageEchecOuverture(const QString &fichier, const QString &raisonLecteur);

#pragma once
// Hints, help contexts and the help file's place: the parts that need no window.
#include <QString>
#include <QStringList>

// A hint is "short|long": the short part goes in the bubble, the long one in the status bar.
// A hint without a bar serves as both.
QString partieCourte(const QString &hint);
QString partieLongue(const QString &hint);

// Help-context number of a control, menu item or dialog by its name; 0 when it has none of
// its own (the context then comes from the control that holds it).
int contexteAideNomme(const QString &nom);

// The help file's usual name and the other spelling found on case-sensitive disks.
inline const QString kNomFichierAide = QStringLiteral("kineMar2.hlp");

// The folders where the help file is looked for, in order: the folder the program asked for
// (the start directory), beside the program, and the installed data folders.
QStringList dossiersAide(const QString &fichierDemande);
// The first existing file among the folders under the requested name, "kineMar2.hlp" or
// "kinemar2.hlp"; empty when there is none.
QString chercherFichierAide(const QString &fichierDemande, const QStringList &dossiers);

#pragma once
// Pictures of the bitmap buttons, drawn in code (24 x 24, with a double-size version for
// high-density screens). Buttons are named after the control that carries the picture:
// "bbtnOpenAvi", "bbtnIma", "bbtnCible", "bbtnCurExec", "bbtnCopierMesuresPP",
// "bbtnCopierGraphiquePP", "bbtnEnregistrerMesures", "bbtnImprimer", "BitBtn1" (help),
// "bbtnQuitter", "bbtnPlay", "bbtnDeb", "bbtnFin", "bbtnPre", "bbtnSui",
// "bbtnCouleurPoint", "bbtnCouleurAxes", "SpeedButton1" (colour palette), "btnParcourir".
#include <QIcon>
#include <QString>
#include <QStringList>

// Case is ignored; an unknown name gives a null icon.
QIcon imageBouton(const QString &nom);

// The names imageBouton knows, for callers that lay out every button at once.
QStringList nomsImagesBoutons();

#pragma once
// The analysis program's data files: the Windows format (.cw3) and the DOS format (.ccc),
// single bytes, every line ended by CR LF.
#include "export/instantane.h"

#include <QByteArray>
#include <QString>

// The text with the first occurrence of `car` replaced by `par`; unchanged without it.
QString remplaceCar(const QString &texte, QChar car, QChar par);

// The file for `extension`: "cw3" (exactly) gives the Windows format, anything else DOS.
QByteArray fichierCurvalis(const InstantaneTableau &tableau, const QString &extension);

// The exchange file beside the analysis program: the directory part of `programme`
// (through its last "/") followed by "~kincur~." and the extension.
QString nomFichierEchange(const QString &programme, const QString &extension);

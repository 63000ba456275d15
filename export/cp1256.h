#pragma once
// The program's code page (Windows-1256) for the text export and the configuration file.
#include <QByteArray>
#include <QString>

// The text in Windows-1256, one byte per character. A character the code page lacks becomes
// "?"; `remplaces`, when given, receives how many were replaced.
QByteArray versCp1256(const QString &texte, int *remplaces = nullptr);
bool encodableCp1256(QChar c);
// Every byte of Windows-1256 has a character, so nothing is lost this way.
QString depuisCp1256(const QByteArray &octets);

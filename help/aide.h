#pragma once
// Help commands, hints and context help of the main window.
#include <QString>

class QObject;
class TForm1;

// Sets up, once the main window exists: the status bar, the bubbles and their timings,
// F1 context help and the hints of controls and menu items that have none of their own.
void installerAide(TForm1 *fenetre);
// Whether hint bubbles are shown; DisplayHint copies the "?" menu's choice here.
bool bullesActives();
// The help-context number of a control or menu item: its own, else that of what holds it,
// else 1 (the main window's).
int contexteAide(const QObject *objet);
// The help file the program asks for: the start directory followed by "/kineMar2.hlp".
QString fichierAide();

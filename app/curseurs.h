#pragma once
// The numbered pointer table: every command chooses its screen pointer by slot number
// (colour x 100 + shape for the pointing and calibration pointers, 50/51 for the hands).
#include <QCursor>
#include <QString>

// Fills a slot from the pointer resource of that name, looked up without regard to case.
// False, and the slot emptied, when there is no such resource or it cannot be read.
bool chargerCurseur(int slot, const QString &nomRessource);

// The pointer of a slot; an empty slot gives the default arrow.
QCursor curseurSlot(int slot);

// Loads the program's 28 pointers into their slots.
void chargerCurseursKinemar();

// Registers the compiled-in resources (pointers); the window library is static, so the
// program must do it once before the first lookup. Safe to call more than once.
void initialiserRessources();

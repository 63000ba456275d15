// The print command of the main window.
#include "app/Unit1.h"
#include "printing/Imprimer.h"

void TForm1::bbtnImprimerClick()
{
    if (!clipOuvert()) return;
    dlgImprimer->ShowModal();
}

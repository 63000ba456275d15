// The print command of the main window.
#include "app/Unit1.h"

void TForm1::bbtnImprimerClick() {}

// Export commands of the main window: data files, text, clipboard, analysis program.
#include "app/Unit1.h"

void TForm1::mnuTableauPPClick() {}
void TForm1::mnuGraphiquePPClick() {}
void TForm1::bbtnEnregistrerMesuresClick() {}
void TForm1::SaveCW3Execute() {}
void TForm1::SaveCCCExecute() {}
void TForm1::SaveTXTExecute() {}
void TForm1::CurPathExecute() {}
void TForm1::CurExecExecute() {}

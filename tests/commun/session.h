#pragma once
// Each window test starts from freshly created windows on a scripted platform, with "."
// as the decimal separator, and leaves nothing behind for the next one.
#include "app/Unit1.h"
#include "commun/plateformescriptee.h"
#include "measure/Nbreels.h"

inline void debuterSession(PlateformeScriptee &plateformeTest)
{
    plateformeTest = PlateformeScriptee();
    installerPlateforme(&plateformeTest);
    definirSeparateurDecimal(QLatin1Char('.'));
    creerFenetres();
}

inline void terminerSession()
{
    detruireFenetres();
    installerPlateforme(nullptr);
}

// kmconfig.txt: at most two lines, in UTF-8 or Windows-1256; whatever it holds, the version
// read is lower-cased and the launch check answers.
#include "../cible.h"

#include "export/configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    const ConfigCurvalis c = lireConfiguration(octets);
    if (c.version != c.version.toLower()) promesseRompue();
    if (c.valide()) (void)texteConfiguration(c.programme, c.windows());
    return 0;
}

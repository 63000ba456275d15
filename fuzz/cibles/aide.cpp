// The help file: HTML decoded by its own declared encoding and searched for the context
// anchors, as the help viewer does (its layout is Qt's, and leaves the font library's caches
// behind for the leak checker).
#include "../cible.h"

#include <QGuiApplication>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    QStringDecoder decodeur(
        QStringConverter::encodingForHtml(octets).value_or(QStringConverter::Utf8));
    QTextDocument document;
    document.setHtml(decodeur(octets));
    int ancres = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            ancres += int(it.fragment().charFormat().anchorNames().size());
    return ancres < 0;
}

// Replays files through one fuzz target without libFuzzer: every file given, or every file
// under a folder given, once. Used by the tests on the seed corpora and on any input a
// fuzzer saved. Exit status 0 when every input went through.
#include "cible.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    QStringList fichiers;
    for (int i = 1; i < argc; ++i) {
        const QString chemin = QFile::decodeName(argv[i]);
        if (QFileInfo(chemin).isDir()) {
            QDirIterator it(chemin, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                fichiers << it.next();
        } else {
            fichiers << chemin;
        }
    }
    fichiers.sort();
    if (fichiers.isEmpty()) {
        std::fprintf(stderr, "rejouer: no input\n");
        return 2;
    }
    for (const QString &f : fichiers) {
        QFile fichier(f);
        if (!fichier.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "rejouer: cannot read %s\n", qPrintable(f));
            return 2;
        }
        const QByteArray octets = fichier.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(octets.constData()),
                               size_t(octets.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(fichiers.size()));
    return 0;
}

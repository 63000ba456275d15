// Memory of the undo history: 1,000 steps on a 90,000-frame clip with 4 points pointed on
// every frame (the worst case for the clearing commands), against what the same history
// would cost as whole copies of the measurement. Prints figures measured in this run.
#include "measure/commandesMesure.h"
#include "measure/fichierMesure.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUndoStack>

#include <cstdio>
#include <malloc.h>
#include <utility>

namespace
{

constexpr int kImages = 90000;

std::size_t tas()
{
    return mallinfo2().uordblks;
}

double mio(std::size_t octets)
{
    return double(octets) / (1024.0 * 1024.0);
}

} // namespace

int main()
{
    Mesure m;
    m.clip.fichier = QStringLiteral("/tmp/bench.avi");
    m.clip.nbImages = kImages;
    m.reglages.largeurAffichee = 640;
    m.reglages.hauteurAffichee = 480;
    m.reglages.nbPoints = 4;
    for (int p = 0; p < kPointsMesure; ++p)
        for (int f = 0; f < kImages; ++f)
            m.positions[p].insert(f, QPointF((f + 97 * p) % 640, (3 * f + p) % 480));

    // One whole copy, as a snapshot-based history would keep per step.
    const std::size_t avantCopie = tas();
    std::size_t copie = 0;
    {
        Mesure c = m;
        for (auto &carte : c.positions)
            carte.detach();
        copie = tas() - avantCopie;
    }

    // The whole measurement as a session file: what recovery writes, off the window's thread.
    QTemporaryDir dossier;
    const QString session = dossier.filePath(QStringLiteral("b.kinemar"));
    QElapsedTimer chronoFichier;
    chronoFichier.start();
    ecrireSession(m, session);
    const qint64 msEcrire = chronoFichier.restart();
    const bool relu = lireFichierSession(session).mesure.has_value();
    const qint64 msLire = chronoFichier.elapsed();

    QUndoStack pile;
    pile.setUndoLimit(1000);
    int pointages = 0, reglages = 0, lignes = 0, colonnes = 0, tableaux = 0;
    std::size_t entrees = 0;
    auto pousser = [&](std::vector<ChangementPosition> ch, const ReglagesMesure &apres) {
        entrees += ch.size();
        appliquerChangements(m, ch, true);
        const ReglagesMesure avantReglages = m.reglages;
        m.reglages = apres;
        pile.push(new CommandeMesure(m, nullptr, std::move(ch), avantReglages, apres));
    };
    auto effacer = [&](int p, int depuis, int jusqua) {
        std::vector<ChangementPosition> ch;
        const auto &carte = std::as_const(m.positions[p]);
        for (auto i = carte.lowerBound(depuis); i != carte.cend() && i.key() <= jusqua; ++i)
            ch.push_back({i.key(), std::int8_t(p), i.value(), std::nullopt});
        return ch;
    };

    QElapsedTimer chrono;
    chrono.start();
    for (int k = 0; k < 1000; ++k) {
        ReglagesMesure g = m.reglages;
        if (k == 999) { // clear the table: every point that is left
            std::vector<ChangementPosition> ch;
            for (int p = 0; p < kPointsMesure; ++p) {
                auto e = effacer(p, 0, kImages);
                ch.insert(ch.end(), e.begin(), e.end());
            }
            pousser(std::move(ch), g);
            ++tableaux;
        } else if (k % 250 == 100) { // clear one point's column pair, all 90,000 frames
            pousser(effacer(k / 250, 0, kImages), g);
            ++colonnes;
        } else if (k % 25 == 7) { // clear one row
            std::vector<ChangementPosition> ch;
            for (int p = 0; p < kPointsMesure; ++p) {
                auto e = effacer(p, k * 50, k * 50);
                ch.insert(ch.end(), e.begin(), e.end());
            }
            pousser(std::move(ch), g);
            ++lignes;
        } else if (k % 10 == 3) { // Origin, axes, calibration, time origin in turn
            g.origineX = k % 640;
            g.sensY = -g.sensY;
            g.echelleH = 0.001L * k;
            g.texteSH = QString::number(k);
            g.origineTemps = 1 + k;
            pousser({}, g);
            ++reglages;
        } else { // a pointing: one new or moved position
            const int p = k % kPointsMesure, f = (k * 89) % kImages;
            const auto &carte = std::as_const(m.positions[p]);
            std::optional<QPointF> ancien;
            if (carte.contains(f)) ancien = carte.value(f);
            pousser({{f, std::int8_t(p), ancien, QPointF(k % 640, k % 480)}}, g);
            ++pointages;
        }
    }
    const qint64 msPousser = chrono.restart();
    std::size_t declare = 0;
    for (int i = 0; i < pile.count(); ++i)
        declare += static_cast<const CommandeMesure *>(pile.command(i))->octets();
    while (pile.canUndo())
        pile.undo();
    const qint64 msAnnuler = chrono.restart();
    while (pile.canRedo())
        pile.redo();
    const qint64 msRetablir = chrono.restart();
    // What the history holds is what dropping it frees (the measurement is the same
    // before and after: every step redone).
    const int etapes = pile.count();
    const std::size_t avecHistorique = tas();
    pile.clear();
    const std::size_t historique = avecHistorique - tas();

    std::printf("clip: %d frames x %d points, all pointed at start\n", kImages, kPointsMesure);
    std::printf("steps: %d (%d pointings, %d settings, %d rows, %d column pairs, %d whole "
                "table); %zu pointings changed in all\n",
                etapes, pointages, reglages, lignes, colonnes, tableaux, entrees);
    std::printf("undo history: %.1f MiB on the heap (%.1f MiB counted by the steps)\n",
                mio(historique), mio(declare));
    std::printf("one whole copy of the measurement: %.1f MiB; 1,000 copies: %.0f MiB\n", mio(copie),
                mio(copie) * 1000);
    std::printf("history / copies: %.4f\n", double(historique) / (double(copie) * 1000));
    std::printf("limit 50 MiB: %s\n", mio(historique) < 50 ? "under" : "OVER");
    std::printf("time: 1,000 steps recorded in %lld ms, undone in %lld ms, redone in %lld ms\n",
                static_cast<long long>(msPousser), static_cast<long long>(msAnnuler),
                static_cast<long long>(msRetablir));
    std::printf("session file of the whole measurement: %.1f MiB, written in %lld ms, read and "
                "checked in %lld ms%s\n",
                mio(std::size_t(QFileInfo(session).size())), static_cast<long long>(msEcrire),
                static_cast<long long>(msLire), relu ? "" : " (NOT READ BACK)");
    return mio(historique) < 50 ? 0 : 1;
}

// The measurement document and the table's grids that show it, on a 90,000-frame clip with 4
// points pointed on every frame, against a 1,000-frame one pointed the same way:
// - one pointing: the document's step (undo included), the two grids brought up to date and
//   the visible rows painted, the new marker drawn, the recovery writer told;
// - a change of scale: the table brought up to date (the texts of the visible rows computed
//   through the grid), against formatting the same numbers alone;
// - the session saved and opened again (the whole file, as Ctrl+S and opening do);
// - memory of the document and its grids.
// Prints figures measured in this run; its last lines are the ratios.
#include "app/etat.h"
#include "app/recuperation.h"
#include "bench/commun.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/dessin.h"
#include "measure/document.h"
#include "measure/fichierMesure.h"
#include "measure/grilles.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <memory>

namespace
{

constexpr int kGrand = 90000, kPetit = 1000, kPoints = 4;

double ms(std::chrono::steady_clock::time_point depuis)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - depuis)
        .count();
}

std::size_t tas()
{
    return mallinfo2().uordblks;
}

Mesure pleine(int images)
{
    Mesure m;
    m.clip.fichier = QStringLiteral("/tmp/bench.avi");
    m.clip.nbImages = images;
    m.reglages.largeurAffichee = 640;
    m.reglages.hauteurAffichee = 480;
    m.reglages.nbPoints = kPoints;
    for (int p = 0; p < kPoints; ++p)
        for (int f = 0; f < images; ++f)
            m.positions[p].insert(f, QPointF((f + 97 * p) % 640, (3 * f + p) % 480));
    return m;
}

// The document with its two grids, as the window lays them out.
struct Vue {
    DocumentMesure document;
    TStringGrid pixels, metres;
    Recuperation recuperation;

    explicit Vue(int images)
    {
        nbImages = images;
        document.remplacer(pleine(images));
        recuperation.source = [this] { return document.mesure(); };
        pixels.setFournisseur(
            {[this](int c, int r) {
                 return texteCellulePixels(document, c, r, document.reglages().origineTemps);
             },
             {}});
        metres.setFournisseur(
            {[this](int c, int r) {
                 return texteCelluleMetres(document, c, r, document.reglages().origineTemps);
             },
             {}});
        for (TStringGrid *g : {&pixels, &metres}) {
            tailleGrille(g, 2 * kPoints + 1, images + 1);
            g->resize(420, 640);
        }
        metres.show();
        QObject::connect(&document, &DocumentMesure::modifie, &metres,
                         [this](const PlageMesure &plage) {
                             rafraichirGrille(&pixels, plage);
                             rafraichirGrille(&metres, plage);
                         });
    }
    ~Vue() { recuperation.nettoyer(); }

    // One pointing on frame f, the row on screen, as the window does it: the step, the row
    // painted again and the current cell moved down, the marker drawn; milliseconds.
    double pointer(int f, QImage &image)
    {
        const auto debut = std::chrono::steady_clock::now();
        const QPointF pos(100 + f % 300, 200 + f % 200);
        document.pointer(0, f, pos);
        metres.setRow(f + 2);
        QApplication::processEvents(); // the paint
        {
            QPainter canevas(&image);
            dessinePoint(canevas, Qt::red, 1, int(pos.x()), int(pos.y()), 0);
        }
        recuperation.planifier();
        return ms(debut);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_STATE_HOME", QByteArray("/tmp/kinemar-bench-document"));
    QApplication app(argc, argv);
    periode = 0.04L;
    formatTemps = QStringLiteral("0.000");
    chiffresXY = 3;
    origineX = 12;
    origineY = 479;
    echelleH = 0.00123456789L;
    echelleV = 0.00234567891L;
    QImage image(640, 480, QImage::Format_RGB32);

    // ---- memory ----
    const std::size_t avant = tas();
    auto grand = std::make_unique<Vue>(kGrand);
    QApplication::processEvents();
    const double memoire = double(tas() - avant) / (1024.0 * 1024.0);

    // ---- one pointing, rounds of both sizes in turn ----
    auto petit = std::make_unique<Vue>(kPetit);
    QApplication::processEvents(); // shown: its repaints paint
    nbImages = kGrand; // the rows the providers give: every row of both
    std::vector<double> tPetit, tGrand;
    for (int tour = 0; tour < 5; ++tour) {
        // Frames pointed one after the other from the top of the rows shown.
        const int debutPetit = 100 * tour, debutGrand = 17000 * tour;
        petit->metres.setTopRow(debutPetit + 1);
        grand->metres.setTopRow(debutGrand + 1);
        for (int i = 0; i < 12; ++i) {
            tPetit.push_back(petit->pointer(debutPetit + i, image));
            tGrand.push_back(grand->pointer(debutGrand + i, image));
        }
    }
    const double pointagePetit = mediane(tPetit), pointageGrand = mediane(tGrand);

    // ---- a change of scale: the visible rows' texts, against formatting them alone ----
    TStringGrid &m = grand->metres;
    m.setTopRow(45000);
    std::vector<double> tTable, tFormat;
    std::size_t controle = 0;
    for (int essai = 0; essai < 15; ++essai) {
        echelleH *= 1.01L;
        auto debut = std::chrono::steady_clock::now();
        m.rafraichir();
        for (int r = m.TopRow(); r < m.TopRow() + m.VisibleRowCount(); ++r)
            for (int c = 0; c < m.ColCount(); ++c)
                controle += std::size_t(m.Cells(c, r).size());
        tTable.push_back(ms(debut));
        debut = std::chrono::steady_clock::now();
        for (int r = m.TopRow(); r < m.TopRow() + m.VisibleRowCount(); ++r) {
            controle += std::size_t(formateReel(formatTemps, ecartTemps(r - 1, 0)).size());
            for (int p = 0; p < kPoints; ++p) {
                const QPointF pos = *grand->document.position(p, r - 1);
                controle += std::size_t(
                    texteSci(chiffresXY - 1,
                             static_cast<long double>(pos.x() - origineX) * sensX * echelleH)
                        .size());
                controle += std::size_t(
                    texteSci(chiffresXY - 1,
                             static_cast<long double>(origineY - pos.y()) * sensY * echelleV)
                        .size());
            }
        }
        tFormat.push_back(ms(debut));
    }
    auto debut = std::chrono::steady_clock::now();
    m.viewport()->repaint();
    const double peinture = ms(debut);

    // ---- the session saved and opened ----
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("b.kinemar"));
    std::vector<double> tEcrire, tLire;
    bool relu = true;
    for (int essai = 0; essai < 5; ++essai) {
        debut = std::chrono::steady_clock::now();
        relu = relu && ecrireSession(grand->document.mesure(), fichier).isEmpty();
        tEcrire.push_back(ms(debut));
        debut = std::chrono::steady_clock::now();
        const LectureSession l = lireFichierSession(fichier);
        relu = relu && l.mesure && l.mesure->positions == grand->document.mesure().positions;
        tLire.push_back(ms(debut));
    }

    std::printf("rows on screen: %d, check %zu, session read back whole: %s\n",
                m.VisibleRowCount(), controle, relu ? "yes" : "NO");
    std::printf("memory of the document and its grids, %d frames x %d points: %.1f MiB\n", kGrand,
                kPoints, memoire);
    std::printf("one pointing, %d frames: %.3f ms; %d frames: %.3f ms (medians of %zu)\n", kPetit,
                pointagePetit, kGrand, pointageGrand, tGrand.size());
    std::printf("scale change, visible rows: table %.3f ms, formatting alone %.3f ms; one "
                "repaint of the table %.3f ms\n",
                mediane(tTable), mediane(tFormat), peinture);
    std::printf("session of %d frames x %d points: save %.0f ms, open %.0f ms (medians of %zu)\n",
                kGrand, kPoints, mediane(tEcrire), mediane(tLire), tEcrire.size());
    std::printf("ratio pointing 90000/1000=%.2f\n", pointageGrand / pointagePetit);
    std::printf("ratio scale table/format=%.2f\n", mediane(tTable) / mediane(tFormat));
    return 0;
}

// The two crossings between the measurement's settings and the window: taking them from the
// globals and controls, and putting them back after undo, redo or an opened session. The
// positions are the document's; the grids draw them.
#include "analyse/graphes.h"
#include "app/Unit1.h"
#include "app/tailleIma.h"

#include "clip/TMediaPlayer.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/commandesMesure.h"
#include "measure/document.h"
#include "measure/mesure.h"
#include "measure/sessionMesure.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>


ReglagesMesure TForm1::lireReglages() const
{
    ReglagesMesure g;
    g.pourcentAffichage = pcAffichage;
    g.largeurAffichee = largeurAffichee;
    g.hauteurAffichee = hauteurAffichee;
    g.nbPoints = udPointsPlan->Position();
    g.origineTemps = udt0->Position();
    const int k = decimalesDeMotif(formatTemps);
    g.decimalesTemps = k >= 0 ? k : udFmt_t->Position();
    g.chiffresXY = chiffresXY;
    g.modeEtalonnage = sessionMesure ? sessionMesure->modeEtalonnage() : 0;
    g.etalonP1 = etalonP1;
    g.etalonP2 = etalonP2;
    g.texteSH = edSH->text();
    g.texteSV = edSV->text();
    g.texteSi = edSi->text();
    g.echelleH = echelleH;
    g.echelleV = echelleV;
    g.origineX = origineX;
    g.origineY = origineY;
    g.sensX = sensX;
    g.sensY = sensY;
    g.angleAxes = angleAxes;
    g.aspects = document->reglages().aspects;
    g.taillePoints = taillePoints;
    g.cadenceTournage = ::cadenceTournage;
    return g;
}

Mesure TForm1::lireMesure() const
{
    if (!clipOuvert()) return {};
    Mesure m = document->mesure();
    if (sessionMesure) m.clip = sessionMesure->infoClip();
    m.reglages = lireReglages();
    // The graphs and their fits as they stand now: pointings made since the last change of the
    // panel have moved the fits' parameters.
    if (GrapheBox) m.graphes = GrapheBox->etatActuel();
    return m;
}

void TForm1::poserMesure(const Mesure &m, const PlageMesure &plage)
{
    if (!clipOuvert()) return;
    // The working state's settings are the document's: m.reglages may be them, already set.
    // What the controls and the picture show is compared instead, from a copy, since laying
    // out a display size resets the calibration on the way.
    const ReglagesMesure g = m.reglages;
    if (plage.reglages) {
        // A display size undone or redone: the picture first, the calibration after it.
        if (MediaPlayer1->DisplayRect().size() != QSize(g.largeurAffichee, g.hauteurAffichee)) {
            {
                const QSignalBlocker bloque(tailleImaBox->chkBxAdapter);
                tailleImaBox->chkBxAdapter->setChecked(false);
            }
            tailleImaBox->udPc->setPosition(g.pourcentAffichage);
            tailleImaBox->appliquerTaille(g.pourcentAffichage);
            pcAffichage = g.pourcentAffichage;
        }
        if (g.nbPoints != udPointsPlan->Position()) {
            udPointsPlan->setPosition(g.nbPoints);
            udPointsPlanClick();
        }
        mesureDeTravail().reglages.aspects = g.aspects;
        chkBoxAxDed->setChecked(g.aspects[0].trace);
        ChgPointNumero(udPointNumero->Position());
        if (g.taillePoints != udTaillePoints->Position()) {
            udTaillePoints->setPosition(g.taillePoints);
            udTaillePointsClick();
        }
        if (g.decimalesTemps != decimalesDeMotif(formatTemps)) {
            udFmt_t->setPosition(g.decimalesTemps);
            udFmt_tClick();
        }
        if (g.chiffresXY != udFmt_xy->Position() + 1) {
            udFmt_xy->setPosition(g.chiffresXY - 1);
            udFmt_xyClick();
        }
        if (g.origineTemps != udt0->Position()) {
            udt0->setPosition(g.origineTemps);
            udt0Click();
            udt0MouseUp();
        }
        const QString cadence = g.cadenceTournage > 0 ? QString::number(g.cadenceTournage) : QString();
        auto *edCadence = findChild<QLineEdit *>(QStringLiteral("edCadenceTournage"));
        if (edCadence && edCadence->text() != cadence) {
            ::cadenceTournage = g.cadenceTournage;
            edCadence->setText(cadence);
            udt0MouseUp(); // every time rescaled
        }
        origineX = g.origineX;
        origineY = g.origineY;
        sensX = g.sensX;
        sensY = g.sensY;
        QToolButton *axes[] = {tbXpYp, tbXnYp, tbXpYn, tbXnYN};
        axes[(sensX == 1 ? 0 : 1) + (sensY == 1 ? 0 : 2)]->setChecked(true);
        if (rbChxOrig->isChecked()) CursOrig();
        angleAxes = g.angleAxes;
        afficherAngleAxes();
        etalonP1 = g.etalonP1;
        etalonP2 = g.etalonP2;
        for (auto [edit, texte] : {std::pair{edSH, &g.texteSH}, std::pair{edSV, &g.texteSV},
                                   std::pair{edSi, &g.texteSi}}) {
            const QSignalBlocker bloque(edit);
            edit->setText(*texte);
        }
        echelleH = g.echelleH;
        echelleV = g.echelleV;
        affichSH(echelleH);
        affichSV(echelleV);
        placerIndicateurs();
        MaJlblP();
    }
    // The grids draw the positions from the document.
    if (plage.reglages) ActualGrid();
    // One pointing undone or redone: show where it was.
    if (plage.positions.size() == 1) {
        const ChangementPosition &c = plage.positions.front();
        if (c.point < g.nbPoints && c.image < nbImages) {
            StringGrid1->setCol(2 * c.point + 1);
            StringGrid1->setRow(c.image + 1);
        }
    }
    redessinerImageCourante();
    // Undo, redo and a session opened change the table behind the graphs' back.
    emit tableauModifie(0, 0);
}

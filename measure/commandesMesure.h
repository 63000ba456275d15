#pragma once
// Undo steps of the measurement. Each keeps a difference, not a copy: the pointings it
// changed (a pointing: one entry; a cleared table: what it removed) and, only when they
// changed, the settings before and after (a few hundred bytes).
#include "measure/mesure.h"

#include <QElapsedTimer>
#include <QUndoCommand>

#include <memory>

// What a change touched, for the window to redraw no more than that.
struct PlageMesure {
    bool reglages = false;                     // settings changed: the whole table is rewritten
    std::vector<ChangementPosition> positions; // the pointings changed
    std::vector<ChangementAngle> angles;       // the protractor's angles changed
};

class ObservateurMesure
{
public:
    virtual ~ObservateurMesure() = default;
    // m is the measurement after the change; the window makes itself show it.
    virtual void mesureModifiee(const Mesure &m, const PlageMesure &plage) = 0;
};

class CommandeMesure : public QUndoCommand
{
public:
    // Ids of mergeable steps: holding the time-origin arrow, typing a length, cells of the
    // pixel grid written in one turn of the event loop, turning the axes, nudging a pointing
    // with the keys.
    enum Id {
        IdOrigineTemps = 1501,
        IdEtalonnage = 1502,
        IdCellules = 1503,
        IdAngleAxes = 1504,
        IdDeplacement = 1505
    };

    // The step from avant to apres, already applied to mesure (the first redo does nothing).
    CommandeMesure(Mesure &mesure, ObservateurMesure *observateur, const Mesure &avant,
                   const Mesure &apres);
    // The same from the pointings that changed and the settings before and after.
    CommandeMesure(Mesure &mesure, ObservateurMesure *observateur,
                   std::vector<ChangementPosition> changements, const ReglagesMesure &avant,
                   const ReglagesMesure &apres);
    bool vide() const { return changements_.empty() && angles_.empty() && !reglagesAvant_; }
    // Makes it (also) a change of the protractor's angles, already applied.
    void setAngles(std::vector<ChangementAngle> angles);
    void undo() override;
    void redo() override;
    int id() const override { return id_; }
    bool mergeWith(const QUndoCommand *autre) override;
    // Makes it a step of cell writes that merges with the others of the same burst.
    void setRafale(int rafale);
    // Makes it a nudge of one pointing, which merges with the next nudges of that pointing.
    void setDeplacement()
    {
        id_ = IdDeplacement;
        setText(QStringLiteral("تحريك تنقيط"));
    }
    // Memory the step holds, for the benchmark.
    std::size_t octets() const;

private:
    void appliquer(bool versApres);

    Mesure &mesure_;
    ObservateurMesure *observateur_;
    std::vector<ChangementPosition> changements_;
    std::vector<ChangementAngle> angles_;
    std::unique_ptr<ReglagesMesure> reglagesAvant_, reglagesApres_;
    int id_ = -1;
    int rafale_ = 0;
    bool dejaFait_ = true;
    QElapsedTimer age_;
};

#include "measure/commandesMesure.h"

namespace
{

// Settings that differ only in the time origin, or only in calibration fields.
bool seulementTemps(const ReglagesMesure &a, const ReglagesMesure &b)
{
    ReglagesMesure c = a;
    c.origineTemps = b.origineTemps;
    return c == b;
}

bool seulementEtalonnage(const ReglagesMesure &a, const ReglagesMesure &b)
{
    ReglagesMesure c = a;
    c.etalonP1 = b.etalonP1;
    c.etalonP2 = b.etalonP2;
    c.texteSH = b.texteSH;
    c.texteSV = b.texteSV;
    c.texteSi = b.texteSi;
    c.echelleH = b.echelleH;
    c.echelleV = b.echelleV;
    c.modeEtalonnage = b.modeEtalonnage;
    return c == b;
}

bool seulementAngle(const ReglagesMesure &a, const ReglagesMesure &b)
{
    ReglagesMesure c = a;
    c.angleAxes = b.angleAxes;
    return c == b;
}

QString texteEtape(const std::vector<ChangementPosition> &d, bool reglages)
{
    if (d.empty()) return reglages ? QStringLiteral("إعدادات") : QString();
    if (d.size() == 1 && d.front().apres) return QStringLiteral("تنقيط");
    return QStringLiteral("مسح");
}

} // namespace

CommandeMesure::CommandeMesure(Mesure &mesure, ObservateurMesure *observateur, const Mesure &avant,
                               const Mesure &apres)
    : CommandeMesure(mesure, observateur, differencePositions(avant, apres), avant.reglages,
                     apres.reglages)
{
    if (auto a = differenceAngles(avant, apres); !a.empty()) setAngles(std::move(a));
}

CommandeMesure::CommandeMesure(Mesure &mesure, ObservateurMesure *observateur,
                               std::vector<ChangementPosition> changements,
                               const ReglagesMesure &avant, const ReglagesMesure &apres)
    : mesure_(mesure), observateur_(observateur), changements_(std::move(changements))
{
    changements_.shrink_to_fit();
    if (avant != apres) {
        reglagesAvant_ = std::make_unique<ReglagesMesure>(avant);
        reglagesApres_ = std::make_unique<ReglagesMesure>(apres);
        if (changements_.empty()) {
            if (seulementTemps(avant, apres))
                id_ = IdOrigineTemps;
            else if (seulementEtalonnage(avant, apres))
                id_ = IdEtalonnage;
            else if (seulementAngle(avant, apres))
                id_ = IdAngleAxes;
        }
    }
    setText(texteEtape(changements_, bool(reglagesAvant_)));
    age_.start();
}

void CommandeMesure::appliquer(bool versApres)
{
    appliquerChangements(mesure_, changements_, versApres);
    appliquerAngles(mesure_, angles_, versApres);
    PlageMesure plage;
    plage.angles = angles_;
    if (reglagesAvant_) {
        mesure_.reglages = versApres ? *reglagesApres_ : *reglagesAvant_;
        plage.reglages = true;
    }
    plage.positions = changements_;
    if (observateur_) observateur_->mesureModifiee(mesure_, plage);
}

void CommandeMesure::undo()
{
    appliquer(false);
}

void CommandeMesure::redo()
{
    if (dejaFait_) {
        dejaFait_ = false;
        return;
    }
    appliquer(true);
}

void CommandeMesure::setAngles(std::vector<ChangementAngle> angles)
{
    angles_ = std::move(angles);
    if (changements_.empty()) setText(QStringLiteral("زاوية"));
}

void CommandeMesure::setRafale(int rafale)
{
    id_ = IdCellules;
    rafale_ = rafale;
}

bool CommandeMesure::mergeWith(const QUndoCommand *autre)
{
    auto *c = static_cast<const CommandeMesure *>(autre);
    if (id_ == IdCellules) {
        if (c->id() != id_ || c->rafale_ != rafale_) return false;
        // x then y of one cell pair: one change from the first state to the last.
        for (const ChangementPosition &n : c->changements_) {
            if (!changements_.empty() && changements_.back().image == n.image &&
                changements_.back().point == n.point)
                changements_.back().apres = n.apres;
            else
                changements_.push_back(n);
        }
        setText(texteEtape(changements_, false));
        return true;
    }
    if (id_ == IdDeplacement) {
        // The same pointing nudged again, within two seconds: one move from where it was.
        if (c->id() != id_ || changements_.size() != 1 || c->changements_.size() != 1 ||
            c->changements_[0].image != changements_[0].image ||
            c->changements_[0].point != changements_[0].point || age_.elapsed() > 2000)
            return false;
        changements_[0].apres = c->changements_[0].apres;
        age_.restart();
        if (changements_[0].apres == changements_[0].avant) setObsolete(true);
        return true;
    }
    // Only a run of changes of one setting, each within two seconds of the last: one held
    // arrow or one typed length is one step, two calibrations a minute apart are two.
    if (c->id() != id_ || age_.elapsed() > 2000) return false;
    *reglagesApres_ = *c->reglagesApres_;
    age_.restart();
    if (*reglagesApres_ == *reglagesAvant_) setObsolete(true);
    return true;
}

std::size_t CommandeMesure::octets() const
{
    std::size_t n = sizeof(*this) + changements_.capacity() * sizeof(ChangementPosition) +
                    angles_.capacity() * sizeof(ChangementAngle);
    if (reglagesAvant_) n += 2 * sizeof(ReglagesMesure);
    return n;
}

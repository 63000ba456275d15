#include "measure/document.h"

#include "measure/pixels.h"

#include <QTimer>

#include <cmath>
#include <QUndoStack>

Mesure &mesureDeTravail()
{
    static Mesure m;
    return m;
}

DocumentMesure::DocumentMesure(QObject *parent, Mesure *valeur)
    : QObject(parent), mesure_(valeur ? *valeur : propre_), pile_(new QUndoStack(this))
{
    setObjectName(QStringLiteral("documentMesure"));
    pile_->setUndoLimit(1000);
    mesure_.clip = ClipMesure();
    for (auto &carte : mesure_.positions)
        carte.clear();
    mesure_.angles.clear();
    enregistres_ = mesure_.reglages;
}

DocumentMesure::~DocumentMesure() = default;

std::optional<QPointF> DocumentMesure::position(int point, int image) const
{
    if (point < 0 || point >= kPointsMesure) return std::nullopt;
    const auto &carte = mesure_.positions[point];
    const auto i = carte.constFind(image);
    if (i == carte.cend()) return std::nullopt;
    return *i;
}

std::optional<double> DocumentMesure::angle(int image) const
{
    const auto i = mesure_.angles.constFind(image);
    if (i == mesure_.angles.cend()) return std::nullopt;
    return *i;
}

double DocumentMesure::arrondiAngle(double degres)
{
    return std::round(degres * 10.0) / 10.0;
}

void DocumentMesure::changerAngle(int image, std::optional<double> degres)
{
    if (image < 0 || (degres && !std::isfinite(*degres))) return;
    if (avantOperation) avantOperation();
    if (degres) degres = arrondiAngle(*degres);
    const ChangementAngle c{image, angle(image), degres};
    if (c.avant == c.apres) return;
    appliquerAngles(mesure_, {c}, true);
    pousser({}, enregistres_, 0, {c});
}

bool DocumentMesure::occupe(int n) const
{
    for (int p = 0; p < std::min(n, kPointsMesure); ++p)
        if (!mesure_.positions[p].isEmpty()) return true;
    return false;
}

QPointF DocumentMesure::arrondi(const QPointF &p)
{
    return {valeurPixel(textePixel(p.x())), valeurPixel(textePixel(p.y()))};
}

void DocumentMesure::pointer(int point, int image, std::optional<QPointF> pos)
{
    changerPositions({{image, std::int8_t(point), std::nullopt, pos}});
}

std::vector<ChangementPosition>
DocumentMesure::aFaire(std::vector<ChangementPosition> changements)
{
    if (avantOperation) avantOperation();
    std::vector<ChangementPosition> faits;
    faits.reserve(changements.size());
    for (ChangementPosition &c : changements) {
        if (c.point < 0 || c.point >= kPointsMesure || c.image < 0) continue;
        if (c.apres) c.apres = arrondi(*c.apres);
        c.avant = position(c.point, c.image);
        if (c.avant == c.apres) continue;
        faits.push_back(c);
    }
    return faits;
}

void DocumentMesure::changerPositions(std::vector<ChangementPosition> changements)
{
    auto faits = aFaire(std::move(changements));
    if (faits.empty()) return;
    appliquerChangements(mesure_, faits, true);
    pousser(std::move(faits), enregistres_);
}

void DocumentMesure::ecrireCellule(int point, int image, std::optional<QPointF> pos)
{
    auto faits = aFaire({{image, std::int8_t(point), std::nullopt, pos}});
    if (faits.empty()) return;
    if (!rafale_) {
        rafale_ = ++rafales_;
        QTimer::singleShot(0, this, [this] { rafale_ = 0; });
    }
    appliquerChangements(mesure_, faits, true);
    pousser(std::move(faits), enregistres_, rafale_);
}

void DocumentMesure::effacer(int premierPoint, int dernierPoint, int premiere, int derniere,
                             bool avecAngles)
{
    std::vector<ChangementPosition> c;
    for (int p = std::max(premierPoint, 0); p <= std::min(dernierPoint, kPointsMesure - 1); ++p) {
        const auto &carte = mesure_.positions[p];
        for (auto i = carte.lowerBound(premiere); i != carte.cend() && i.key() <= derniere; ++i)
            c.push_back({i.key(), std::int8_t(p), std::nullopt, std::nullopt});
    }
    std::vector<ChangementAngle> a;
    if (avecAngles)
        for (auto i = mesure_.angles.lowerBound(premiere);
             i != mesure_.angles.cend() && i.key() <= derniere; ++i)
            a.push_back({i.key(), i.value(), std::nullopt});
    if (a.empty()) {
        changerPositions(std::move(c));
        return;
    }
    auto faits = aFaire(std::move(c));
    appliquerChangements(mesure_, faits, true);
    appliquerAngles(mesure_, a, true);
    pousser(std::move(faits), enregistres_, 0, std::move(a));
}

void DocumentMesure::changerReglages(const ReglagesMesure &r, bool effacerPositions)
{
    std::vector<ChangementPosition> effaces;
    if (effacerPositions)
        for (int p = 0; p < kPointsMesure; ++p)
            for (auto i = mesure_.positions[p].cbegin(); i != mesure_.positions[p].cend(); ++i)
                effaces.push_back({i.key(), std::int8_t(p), i.value(), std::nullopt});
    if (r == enregistres_ && effaces.empty()) return;
    const ReglagesMesure avant = enregistres_;
    mesure_.reglages = r;
    enregistres_ = r;
    appliquerChangements(mesure_, effaces, true);
    pousser(std::move(effaces), avant);
}

void DocumentMesure::pousser(std::vector<ChangementPosition> changements,
                             const ReglagesMesure &avant, int rafale,
                             std::vector<ChangementAngle> angles)
{
    PlageMesure plage;
    plage.reglages = avant != enregistres_;
    plage.positions = changements;
    plage.angles = angles;
    auto *etape = new CommandeMesure(mesure_, this, std::move(changements), avant, enregistres_);
    if (rafale) etape->setRafale(rafale);
    if (!angles.empty()) etape->setAngles(std::move(angles));
    pile_->push(etape);
    emit modifie(plage);
}

void DocumentMesure::remplacer(const Mesure &m)
{
    PlageMesure plage;
    plage.reglages = true;
    plage.positions = differencePositions(mesure_, m);
    plage.angles = differenceAngles(mesure_, m);
    mesure_ = m;
    enregistres_ = mesure_.reglages;
    pile_->clear();
    emit remplace();
    emit modifie(plage);
}

void DocumentMesure::mesureModifiee(const Mesure &m, const PlageMesure &plage)
{
    enregistres_ = m.reglages;
    if (observateur_) observateur_->mesureModifiee(m, plage);
    emit modifie(plage);
}

#include "export/texteTableau.h"

#include "measure/erreurs.h"
#include "calibration/transformation.h"
#include "export/cp1256.h"
#include "measure/Nbreels.h"

namespace
{

const QString kCrLf = QStringLiteral("\r\n");

// The row as fields, or nothing when one of its cells is empty. With the protractor's angle,
// a row with a time is written when either all its positions or its angle are there, the
// missing fields left empty (a pendulum may be followed by its angle alone).
template <typename Champ>
QString ligneTableau(const InstantaneTableau &t, int r, QChar sep, Champ champ)
{
    const int V = t.colonnes();
    bool partiel = false;
    if (t.angle) {
        if (t.cellule(0, r).isEmpty()) return {};
        for (int k = 1; k < V - 1; ++k)
            partiel = partiel || t.cellule(k, r).isEmpty();
        if (partiel && t.cellule(V - 1, r).isEmpty()) return {};
    }
    QString ligne;
    for (int k = 0; k < V; ++k) {
        const QString cellule = t.cellule(k, r);
        if (k > 0) ligne += sep;
        if (cellule.isEmpty()) {
            if (!t.angle) return {};
            continue;
        }
        ligne += champ(k, cellule);
    }
    return ligne;
}

QString nomsEtUnites(const InstantaneTableau &t, QChar sep, const QString &temps,
                     const QString &metre, const QString &degre)
{
    QString noms = QStringLiteral("t");
    QString unites = temps;
    for (int k = 1; k < t.colonnes(); ++k) {
        noms += sep + t.noms.value(k);
        unites += sep + (t.angle && k == t.colonnes() - 1 ? degre : metre);
    }
    return noms + kCrLf + unites;
}

} // namespace

QChar separateurChoisi(int index)
{
    switch (index) {
    case 1:
        return QLatin1Char(';');
    case 2:
        return QLatin1Char(',');
    case 3:
        return QLatin1Char(' ');
    default:
        return QLatin1Char('\t');
    }
}

QString titreSurUneLigne(const QString &titre)
{
    QString resultat = titre;
    for (QChar &c : resultat) {
        const auto cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Separator_Line ||
            cat == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return resultat;
}

QChar separateurDeChamps(QChar choisi, QChar decimal)
{
    return choisi == decimal ? QLatin1Char(';') : choisi;
}

QByteArray fichierTexte(const InstantaneTableau &tableau, QChar separateur, const QString &titre,
                        int *remplaces)
{
    separateur = separateurDeChamps(separateur, tableau.separateur);
    QString texte = titreSurUneLigne(titre) + kCrLf;
    texte +=
        nomsEtUnites(tableau, separateur, QStringLiteral("(s)"), QStringLiteral("(m)"),
                     QStringLiteral("(°)")) +
        kCrLf;
    for (int r = 1; r <= tableau.nbLignes(); ++r) {
        // Each cell loses the one blank the table puts before a non-negative value.
        const QString ligne = ligneTableau(tableau, r, separateur, [](int, const QString &c) {
            return c.startsWith(QLatin1Char(' ')) ? c.mid(1) : c;
        });
        if (!ligne.isEmpty()) texte += ligne + kCrLf;
    }
    return versCp1256(texte, remplaces);
}

QString textePressePapiers(const InstantaneTableau &tableau, QChar separateur, const QString &titre)
{
    separateur = separateurDeChamps(separateur, tableau.separateur);
    QStringList lignes{titreSurUneLigne(titre),
                       nomsEtUnites(tableau, separateur, QStringLiteral("s"), QStringLiteral("m"),
                                    QStringLiteral("°"))};
    for (int r = 1; r <= tableau.nbLignes(); ++r) {
        // Every blank goes; then a value that is not negative gets exactly one.
        const QString ligne =
            ligneTableau(tableau, r, separateur, [&](int k, const QString &cellule) {
                QString c = cellule;
                c.remove(QLatin1Char(' '));
                if (k == 0) return c;
                const auto v = lireReel(c, tableau.separateur);
                if (!v) throw ErreurKinemar(texteErreurConversion(c));
                return estNegatif(*v) ? c : QLatin1Char(' ') + c;
            });
        if (!ligne.isEmpty()) lignes << ligne;
    }
    return lignes.join(kCrLf);
}

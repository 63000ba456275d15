#include "export/fichiersCurvalis.h"

#include "export/uniConst.h"

namespace
{

class Lignes
{
public:
    void operator<<(const QByteArray &ligne)
    {
        octets_ += ligne;
        octets_ += "\r\n";
    }
    void vides(int n)
    {
        for (int i = 0; i < n; ++i)
            *this << QByteArray();
    }
    QByteArray octets_;
};

QByteArray nombre(int n)
{
    return QByteArray::number(n);
}

QByteArray ascii(const QString &texte)
{
    return texte.toLatin1();
}

// The values of row r from column 1 on, each behind one blank, with "." as the decimal
// point; empty when a cell of the row is empty (the analysis program needs whole rows).
QByteArray valeurs(const InstantaneTableau &t, int r)
{
    QByteArray texte;
    for (int k = 1; k < t.colonnes(); ++k) {
        const QString cellule = t.cellule(k, r);
        if (cellule.isEmpty()) return {};
        QString v = remplaceCar(cellule, t.separateur, QLatin1Char('.'));
        if (v.startsWith(QLatin1Char('-'))) v.prepend(QLatin1Char(' '));
        texte += ascii(v);
    }
    return texte;
}

void donnees(const InstantaneTableau &t, Lignes &l)
{
    for (int r = std::max(1, t.origineTemps); r <= t.nbLignes(); ++r) {
        const QByteArray v = valeurs(t, r);
        const QString temps = t.cellule(0, r);
        // A row without its time would shift every column for the reader.
        if (v.isEmpty() || temps.isEmpty()) continue;
        l << ascii(remplaceCar(temps, t.separateur, QLatin1Char('.'))) + v;
    }
}

QByteArray nom(const InstantaneTableau &t, int k)
{
    return ascii(t.noms.value(k));
}

void unites(const InstantaneTableau &t, Lignes &l)
{
    l << "s";
    for (int k = 1; k < t.colonnes(); ++k)
        l << "m";
}

QByteArray fichierDos(const InstantaneTableau &t)
{
    const int V = t.colonnes();
    const QByteArray &fb = enteteDos[dosMarqueur];
    Lignes l;
    l << enteteDos[dosTitre];
    l << enteteDos[dosMemo];
    QByteArray noms;
    for (int k = 0; k < V; ++k)
        noms += ' ' + nom(t, k);
    l << noms;
    l.vides(V);
    l << fb + nombre(V) + enteteDos[dosExpr];
    l.vides(V);
    l << fb + nombre(V) + enteteDos[dosIncert];
    l.vides(V);
    l << fb + nombre(V) + enteteDos[dosUnite];
    unites(t, l);
    l << enteteDos[dosCfg];
    l << nom(t, 1);
    l << nom(t, 2);
    l << nom(t, 0);
    l.vides(2);
    for (int i = 0; i < 3; ++i)
        l << enteteDos[dosFaux];
    l << "0";
    l << "1";
    for (int i = 0; i < 3; ++i)
        l << enteteDos[dosVrai];
    l << enteteDos[dosRad];
    l << enteteDos[dosFaux];
    l << enteteDos[dosFaux];
    l << enteteDos[dosVrai];
    l << enteteDos[dosInterface];
    l << enteteDos[dosClavier];
    l << enteteDos[dosFinEntete];
    donnees(t, l);
    return l.octets_;
}

QByteArray fichierWin(const InstantaneTableau &t)
{
    const int V = t.colonnes();
    const QByteArray &a3 = enteteWin[winMarqueur];
    Lignes l;
    l << enteteWin[winTitre];
    l << a3 + nombre(V) + enteteWin[winNom];
    for (int k = 0; k < V; ++k)
        l << nom(t, k);
    l << a3 + nombre(V) + enteteWin[winGenre];
    for (int k = 0; k < V; ++k)
        l << "0";
    l << a3 + nombre(V) + enteteWin[winUnite];
    unites(t, l);
    l << a3 + nombre(V) + enteteWin[winIncertitude];
    l.vides(V);
    l << enteteWin[winTrigo];
    l << "0";
    l << enteteWin[winLog];
    l << "0";
    l << enteteWin[winMemo];
    l << enteteWin[winMemoTexte];
    l << enteteWin[winAcquisition];
    l << enteteWin[winClavier];
    l.vides(1);
    l << enteteWin[winGraphe];
    l << enteteWin[winX];
    l << nom(t, 1);
    l.vides(4);
    l << enteteWin[winY];
    l << nom(t, 2);
    l.vides(4);
    l << enteteWin[winMonde];
    for (int i = 0; i < 5; ++i)
        l << "1";
    l << enteteWin[winGraduation];
    for (int i = 0; i < 3; ++i)
        l << "0";
    l << enteteWin[winZero];
    for (int i = 0; i < 3; ++i)
        l << "1";
    l << enteteWin[winOptions];
    for (const char *option : {"12", "2", "1", "3", "3", "0", "0"})
        l << option;
    l << enteteWin[winCommentaire];
    l.vides(1);
    // The table's row count, not the number of data lines: the reader has always had it so.
    l << '&' + nombre(t.nbLignes()) + enteteWin[winValeur];
    donnees(t, l);
    l << enteteWin[winFin];
    l << "1";
    l << "1";
    return l.octets_;
}

} // namespace

QString InstantaneTableau::cellule(int k, int r) const
{
    if (r < 1 || r > nbLignes()) return {};
    return lignes[static_cast<size_t>(r - 1)].value(k);
}

InstantaneTableau InstantaneTableau::sansAngle() const
{
    if (!angle) return *this;
    InstantaneTableau t = *this;
    t.angle = false;
    t.noms.removeLast();
    for (QStringList &l : t.lignes)
        if (l.size() > t.noms.size()) l.removeLast();
    return t;
}

QString remplaceCar(const QString &texte, QChar car, QChar par)
{
    QString resultat = texte;
    const qsizetype i = resultat.indexOf(car);
    if (i >= 0) resultat[i] = par;
    return resultat;
}

QByteArray fichierCurvalis(const InstantaneTableau &tableau, const QString &extension)
{
    // The analysis program's layout has no place for the protractor's angle.
    const InstantaneTableau t = tableau.sansAngle();
    return extension == QLatin1String("cw3") ? fichierWin(t) : fichierDos(t);
}

QString nomFichierEchange(const QString &programme, const QString &extension)
{
    return programme.left(programme.lastIndexOf(QLatin1Char('/')) + 1) +
           QStringLiteral("~kincur~.") + extension;
}

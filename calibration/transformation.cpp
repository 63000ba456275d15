#include "calibration/transformation.h"

#include "app/etat.h"
#include "measure/document.h"

#include <charconv>
#include <cmath>
#include <string>

namespace
{

bool chiffre(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a number from position i of texte with the decimal mark point. On success i is past
// the number and nombre holds it in plain ASCII for from_chars; otherwise i is on the
// offending character (or at the end when the text stops too early).
bool lireNombre(const QString &texte, int &i, QChar point, std::string &nombre)
{
    const int n = texte.size();
    nombre.clear();
    if (i < n && (texte[i] == QLatin1Char('+') || texte[i] == QLatin1Char('-'))) {
        if (texte[i] == QLatin1Char('-')) nombre += '-';
        ++i;
    }
    int chiffres = 0;
    while (i < n && chiffre(texte[i])) {
        nombre += char(texte[i++].unicode());
        ++chiffres;
    }
    if (i < n && texte[i] == point) {
        nombre += '.';
        ++i;
        while (i < n && chiffre(texte[i])) {
            nombre += char(texte[i++].unicode());
            ++chiffres;
        }
    }
    if (chiffres == 0) return false;
    if (i < n && (texte[i] == QLatin1Char('E') || texte[i] == QLatin1Char('e'))) {
        int j = i + 1;
        std::string exposant = "e";
        if (j < n && (texte[j] == QLatin1Char('+') || texte[j] == QLatin1Char('-'))) {
            if (texte[j] == QLatin1Char('-')) exposant += '-';
            ++j;
        }
        if (j >= n || !chiffre(texte[j])) {
            i = j;
            return false;
        }
        while (j < n && chiffre(texte[j]))
            exposant += char(texte[j++].unicode());
        nombre += exposant;
        i = j;
    }
    return true;
}

// The value of a checked ASCII number; nothing when it is out of the 80-bit range.
std::optional<long double> valeur(const std::string &nombre)
{
    long double v = 0;
    const auto r = std::from_chars(nombre.data(), nombre.data() + nombre.size(), v,
                                   std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != nombre.data() + nombre.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool blanc(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

LectureVal lireVal(const QString &texte)
{
    LectureVal r;
    int i = 0;
    while (i < texte.size() && blanc(texte[i]))
        ++i;
    std::string nombre;
    if (!lireNombre(texte, i, QLatin1Char('.'), nombre) || i < texte.size()) {
        r.position = i + 1;
        return r;
    }
    const auto v = valeur(nombre);
    if (!v) {
        r.position = texte.size() + 1;
        return r;
    }
    r.valeur = *v;
    return r;
}

std::optional<long double> lireLongueur(const QString &texte)
{
    if (texte.isEmpty()) return std::nullopt;
    LectureVal r = lireVal(texte);
    if (r.position > 0 && r.position <= texte.size() && texte[r.position - 1] == QLatin1Char(','))
        r = lireVal(texte.left(r.position - 1) + QLatin1Char('.') + texte.mid(r.position));
    if (r.position != 0 || r.valeur == 0) return std::nullopt;
    return r.valeur;
}

std::optional<long double> lireReel(const QString &texte, QChar separateur)
{
    int debut = 0, fin = texte.size();
    while (debut < fin && texte[debut] <= QLatin1Char(' '))
        ++debut;
    while (fin > debut && texte[fin - 1] <= QLatin1Char(' '))
        --fin;
    const QString coeur = texte.mid(debut, fin - debut);
    int i = 0;
    std::string nombre;
    if (coeur.isEmpty() || !lireNombre(coeur, i, separateur, nombre) || i < coeur.size())
        return std::nullopt;
    return valeur(nombre);
}

QString texteErreurConversion(const QString &texte)
{
    return QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(texte);
}

QChar filtreToucheEtalon(QChar touche, QChar separateur)
{
    if (touche == QChar(13)) return QChar();
    if (touche == QLatin1Char('e')) touche = QLatin1Char('E');
    if (touche == QLatin1Char(',') || touche == QLatin1Char('.')) touche = separateur;
    if (touche == QChar(8) || touche == QLatin1Char('+') || touche == QLatin1Char('-') ||
        chiffre(touche) || touche == QLatin1Char('E') || touche == separateur)
        return touche;
    return QChar();
}

long double echelleSimultanee(long double longueur, QPoint p1, QPoint p2)
{
    const long long dx = (long long)p1.x() - p2.x();
    const long long dy = (long long)p1.y() - p2.y();
    return std::sqrt(longueur * longueur / (long double)(dx * dx + dy * dy));
}

int pXRelatif(int X)
{
    return sensX * (X - origineX);
}

int pYRelatif(int Y)
{
    return sensY * (origineY - Y);
}

long double xMetres(double X)
{
    return static_cast<long double>(X - origineX) * sensX * echelleH;
}

long double yMetres(double Y)
{
    return static_cast<long double>(origineY - Y) * sensY * echelleV;
}

QPoint pixelsRelatifs(QPoint P)
{
    return pixelsRelatifs(mesureDeTravail().reglages, QPointF(P)).toPoint();
}

long double xMetres(QPointF P)
{
    return xMetres(mesureDeTravail().reglages, P);
}

long double yMetres(QPointF P)
{
    return yMetres(mesureDeTravail().reglages, P);
}

int slotCurseurOrigine(int sX, int sY, int couleur, bool &bip)
{
    int forme;
    bip = false;
    if (sY == 1)
        forme = sX == 1 ? 11 : 12;
    else if (sX == 1) {
        forme = 13;
        bip = true;
    } else
        forme = 14;
    if (couleur != 1 && couleur != 2) return 0;
    return couleur * 100 + forme;
}

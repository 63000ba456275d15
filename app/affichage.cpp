#include "app/affichage.h"

#include <algorithm>

long long arrondiPair(long long num, long long den)
{
    long long q = num / den, r = num % den;
    if (r < 0) {
        q -= 1;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    return q;
}

QSize tailleAffichee(QSize naturelle, int pourcent)
{
    auto cote = [pourcent](int n) {
        return int(std::max(1LL, arrondiPair(static_cast<long long>(n) * pourcent, 100)));
    };
    return {cote(naturelle.width()), cote(naturelle.height())};
}

int pourcentAdapte(QSize zone, QSize naturelle, int minimum, int maximum)
{
    const long long L = naturelle.width(), H = naturelle.height();
    if (L <= 0 || H <= 0) return std::clamp(100, minimum, maximum);
    const long long h = zone.height() - 9, l = zone.width() - 9;
    // rH = h / H against rW = l / L, compared without division.
    const long long pourcent = h * L <= l * H ? arrondiPair(100 * h, H) : arrondiPair(100 * l, L);
    return int(std::clamp<long long>(pourcent, minimum, maximum));
}

int largeurCoteClip(int largeurFenetre, int largeurPnl1, int largeurForm)
{
    if (largeurForm <= 0) return largeurPnl1;
    return int(arrondiPair(static_cast<long long>(largeurFenetre) * largeurPnl1, largeurForm));
}

#include "clip/clesSansIndex.h"

#include <algorithm>
#include <cstddef>

// Cinepak: a frame stands alone when every strip has intra vectors and both codebooks given
// in full in this frame (or handed down from the strip above), and the strips cover the
// picture's height.
bool cinepakAutonome(const uint8_t *p, int n, int hauteur)
{
    if (n < 10) return false;
    const int drapeaux = p[0];
    const int nbBandes = (p[8] << 8) | p[9];
    if (nbBandes <= 0) return false;
    const uint8_t *q = p + 10;
    const uint8_t *const fin = p + n;
    bool v1Precedent = false, v4Precedent = false;
    int y0 = 0;
    for (int i = 0; i < nbBandes; ++i) {
        if (fin - q < 12) return false;
        const int tailleBande = ((q[1] << 16) | (q[2] << 8) | q[3]) - 12;
        int y1 = (q[4] << 8) | q[5];
        int y2 = (q[8] << 8) | q[9];
        if (y1 == 0) {
            y1 = y0;
            y2 += y0;
        }
        if (tailleBande < 0 || y1 > y0 || y2 <= y1) return false;
        q += 12;
        const uint8_t *finBande = q + std::min<ptrdiff_t>(tailleBande, fin - q);
        bool v1 = false, v4 = false;
        if (i > 0 && !(drapeaux & 0x01)) {
            v1 = v1Precedent;
            v4 = v4Precedent;
        }
        bool intra = false;
        while (finBande - q >= 4) {
            const int id = q[0];
            const int tailleMorceau = ((q[1] << 16) | (q[2] << 8) | q[3]) - 4;
            if (tailleMorceau < 0) return false;
            q += 4;
            if (id == 0x20 || id == 0x24)
                v4 = true;
            else if (id == 0x22 || id == 0x26)
                v1 = true;
            else if (id == 0x30) {
                intra = v1 && v4;
                break;
            } else if (id == 0x32) {
                intra = v1;
                break;
            } else if (id == 0x31)
                return false;
            q += std::min<ptrdiff_t>(tailleMorceau, finBande - q);
        }
        if (!intra) return false;
        q = finBande;
        v1Precedent = v1;
        v4Precedent = v4;
        y0 = y2;
    }
    return y0 >= hauteur;
}

// Microsoft Video 1: a frame stands alone when it codes every 4x4 block, skipping none.
bool msvideo1Autonome(const uint8_t *p, int n, int largeur, int hauteur, bool huitBits)
{
    int blocs = (largeur / 4) * (hauteur / 4);
    int pos = 0;
    while (blocs > 0) {
        if (pos + 2 > n) return false;
        const int b = p[pos + 1];
        pos += 2;
        if ((b & 0xFC) == 0x84) return false;
        if (huitBits) {
            if (b < 0x80)
                pos += 2;
            else if (b >= 0x90)
                pos += 8;
        } else if (b < 0x80) {
            if (pos + 4 > n) return false;
            const int couleur0 = p[pos] | (p[pos + 1] << 8);
            pos += (couleur0 & 0x8000) ? 16 : 4;
        }
        --blocs;
    }
    return pos <= n;
}

#!/usr/bin/env python3
"""Writes the program's 28 pointer images as 32 x 32 XPM files into curseurs/.

Run it again after changing a drawing and commit the .xpm files it writes; the build only
reads the .xpm files. Each pointer is drawn once as a set of pixels; the black variant is
those pixels in black, the white variant the same pixels in white with a one-pixel dark
outline so that it stays visible on a light picture. The hot spot goes into the XPM header.
"""

import math
import os

TAILLE = 32
TRANSPARENT, NOIR, BLANC = " ", "#", "."


class Dessin:
    """A set of figure pixels, plus pixels that must stay clear even in the outline."""

    def __init__(self):
        self.pixels = set()
        self.libres = set()

    def point(self, x, y):
        if 0 <= x < TAILLE and 0 <= y < TAILLE:
            self.pixels.add((x, y))

    def ligne(self, x0, y0, x1, y1):
        # Both ends included.
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.point(x0, y0)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def cercle(self, cx, cy, r):
        # Midpoint circle: a closed one-pixel ring, 2r + 1 pixels across.
        x, y, err = r, 0, 1 - r
        while x >= y:
            for px, py in ((x, y), (y, x), (-y, x), (-x, y), (-x, -y), (-y, -x), (y, -x), (x, -y)):
                self.point(cx + px, cy + py)
            y += 1
            if err < 0:
                err += 2 * y + 1
            else:
                x -= 1
                err += 2 * (y - x) + 1

    def fleche(self, x0, y0, x1, y1, longueur=4):
        """A line from (x0, y0) to the tip (x1, y1), with an open head of two barbs."""
        self.ligne(x0, y0, x1, y1)
        self.pointe(x0, y0, x1, y1, longueur)

    def pointe(self, x0, y0, x1, y1, longueur=4):
        ux, uy = x1 - x0, y1 - y0
        n = math.hypot(ux, uy)
        ux, uy = ux / n, uy / n
        for cote in (1, -1):
            # Barbs at 45 degrees back from the tip.
            bx = -ux - cote * uy
            by = -uy + cote * ux
            k = longueur / math.sqrt(2)
            self.ligne(x1, y1, x1 + round(bx * k), y1 + round(by * k))

    def texte(self, x, y, motif):
        """Stamps a small bitmap given as rows of '#' and '.' with its top-left at (x, y)."""
        for j, rangee in enumerate(motif):
            for i, c in enumerate(rangee):
                if c == "#":
                    self.point(x + i, y + j)


CHIFFRES = {
    "1": ["..#.", ".##.", "..#.", "..#.", "..#.", "..#.", ".###"],
    "2": [".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"],
}
LETTRES = {
    "x": ["#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "y": ["#...#", ".#.#.", "..#..", "..#..", "..#.."],
}


def grille_unie(dessin, couleur):
    g = [[TRANSPARENT] * TAILLE for _ in range(TAILLE)]
    for x, y in dessin.pixels:
        g[y][x] = couleur
    return g


def grille_blanche(dessin):
    """White figure with a dark outline (8-neighbourhood), clear pixels kept clear."""
    g = grille_unie(dessin, BLANC)
    for x, y in dessin.pixels:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                ax, ay = x + dx, y + dy
                if (0 <= ax < TAILLE and 0 <= ay < TAILLE and (ax, ay) not in dessin.pixels
                        and (ax, ay) not in dessin.libres):
                    g[ay][ax] = NOIR
    return g


def ecrire_xpm(dossier, nom, grille, chaud, couleurs):
    """couleurs: (character, XPM colour) pairs, transparent first."""
    ident = nom.lower()
    lignes = ["/* XPM */", "static const char *%s[] = {" % ident,
              '"%d %d %d 1 %d %d",' % (TAILLE, TAILLE, len(couleurs), chaud[0], chaud[1])]
    for c, valeur in couleurs:
        lignes.append('"%s c %s",' % (c, valeur))
    for j, rangee in enumerate(grille):
        fin = "," if j < TAILLE - 1 else ""
        lignes.append('"%s"%s' % ("".join(rangee), fin))
    lignes.append("};")
    with open(os.path.join(dossier, nom + ".xpm"), "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lignes) + "\n")


def paire(dossier, base, dessin, chaud):
    """Writes the black (base + 'N') and white (base + 'B') variants of one pointer."""
    ecrire_xpm(dossier, base + "N", grille_unie(dessin, NOIR), chaud,
               [(TRANSPARENT, "None"), (NOIR, "#000000")])
    ecrire_xpm(dossier, base + "B", grille_blanche(dessin), chaud,
               [(TRANSPARENT, "None"), (NOIR, "#000000"), (BLANC, "#FFFFFF")])


# --- Pointing pointers, hot spot (11, 11) ------------------------------------------------

C = 11  # centre of the targets and of the calibration pointers


def grande_cible():
    d = Dessin()
    d.cercle(C, C, 9)  # 19 pixels across
    for a in range(4, 8):  # short ticks pointing at the centre
        d.point(C - a, C)
        d.point(C + a, C)
        d.point(C, C - a)
        d.point(C, C + a)
    d.point(C, C)
    return d


def petite_cible():
    d = Dessin()
    d.cercle(C, C, 5)  # 11 pixels across
    d.ligne(C - 9, C, C + 9, C)
    d.ligne(C, C - 9, C, C + 9)
    return d


def croix():
    d = Dessin()
    d.ligne(C - 9, C, C + 9, C)  # 19 pixels each
    d.ligne(C, C - 9, C, C + 9)
    # The pixel under the hot spot stays clear so that the user sees what is aimed at.
    d.pixels.discard((C, C))
    d.libres.add((C, C))
    return d


# --- Calibration pointers, hot spot (11, 11) ---------------------------------------------


def viseur(d):
    """A cross-hair with a dot at the hot spot and a one-pixel gap around it."""
    d.point(C, C)
    d.ligne(C - 7, C, C - 2, C)
    d.ligne(C + 2, C, C + 7, C)
    d.ligne(C, C - 7, C, C - 2)
    d.ligne(C, C + 2, C, C + 7)
    for p in ((C - 1, C), (C + 1, C), (C, C - 1), (C, C + 1)):
        d.libres.add(p)


def etalon(mode, numero):
    d = Dessin()
    viseur(d)
    d.texte(22, 21, CHIFFRES[numero])
    if mode == "H":  # the horizontal distance: a double arrow along the bottom
        d.fleche(11, 29, 3, 29, 3)
        d.fleche(11, 29, 19, 29, 3)
    elif mode == "V":  # the vertical distance: a double arrow along the right edge
        d.fleche(29, 11, 29, 3, 3)
        d.fleche(29, 11, 29, 19, 3)
    else:  # the straight distance: a diagonal double arrow in the top-right corner
        d.fleche(25, 8, 21, 12, 3)
        d.fleche(25, 8, 29, 4, 3)
    return d


# --- Origin pointers -----------------------------------------------------------------------


def origine(sx, sy):
    """Two arrows in the button's directions, crossing at the hot spot near one corner."""
    d = Dessin()
    ox = 7 if sx > 0 else 24
    oy = 24 if sy > 0 else 7
    d.fleche(ox, oy, 30 if sx > 0 else 1, oy)
    d.fleche(ox, oy, ox, 1 if sy > 0 else 30)
    # The letters sit inside the quarter spanned by the two axes, next to the arrow heads.
    d.texte(22 if sx > 0 else 5, oy - 11 if sy > 0 else oy + 7, LETTRES["x"])
    d.texte(ox + 6 if sx > 0 else ox - 10, 2 if sy > 0 else 25, LETTRES["y"])
    # A small foot behind the crossing marks the Origin itself.
    d.point(ox - sx, oy + sy)
    d.point(ox - 2 * sx, oy + 2 * sy)
    return d, (ox, oy)


# --- Hands for dragging the picture --------------------------------------------------------


def capsule(masque, x0, y0, x1, y1, r):
    for y in range(TAILLE):
        for x in range(TAILLE):
            px, py = x, y
            vx, vy = x1 - x0, y1 - y0
            n2 = vx * vx + vy * vy
            t = 0.0 if n2 == 0 else max(0.0, min(1.0, ((px - x0) * vx + (py - y0) * vy) / n2))
            qx, qy = x0 + t * vx, y0 + t * vy
            if (px - qx) ** 2 + (py - qy) ** 2 <= r * r:
                masque.add((x, y))


def main_dessinee(doigts, pouce, haut_paume=17):
    """A hand outlined in black and filled white; fingers separated by dark lines."""
    paume = set()
    capsule(paume, 12.5, haut_paume, 19.5, haut_paume, 5.6)
    capsule(paume, 13, haut_paume + 4, 19, haut_paume + 4, 5.2)
    parties = []
    for (x0, y0, x1, y1) in doigts + [pouce]:
        m = set()
        capsule(m, x0, y0, x1, y1, 1.6)
        parties.append(m)
    tout = set(paume)
    for m in parties:
        tout |= m
    g = [[TRANSPARENT] * TAILLE for _ in range(TAILLE)]
    for x, y in tout:
        g[y][x] = BLANC
    for x, y in tout:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if (x + dx, y + dy) not in tout:
                g[y][x] = NOIR
    # A dark line between neighbouring fingers above the palm.
    for i, m in enumerate(parties):
        for x, y in m:
            if (x, y) in paume:
                continue
            for j, autre in enumerate(parties):
                if j != i and (x + 1, y) in autre and (x + 1, y) not in m:
                    g[y][x] = NOIR
    return g


def main_ouverte():
    doigts = [(10, 6, 10, 16), (13.5, 4, 13.5, 15), (17, 4.5, 17, 15), (20.5, 7, 20.5, 16)]
    pouce = (5, 13, 9, 19)
    return main_dessinee(doigts, pouce)


def main_fermee():
    # Curled fingers: short stubs whose tips show above the palm as knuckles.
    doigts = [(10, 11, 10, 16), (13.5, 10, 13.5, 16), (17, 10, 17, 16), (20.5, 11, 20.5, 16)]
    pouce = (7, 16, 9.5, 20)
    return main_dessinee(doigts, pouce, haut_paume=19)


def principal():
    dossier = os.path.join(os.path.dirname(os.path.abspath(__file__)), "curseurs")
    os.makedirs(dossier, exist_ok=True)
    couleurs_main = [(TRANSPARENT, "None"), (NOIR, "#000000"), (BLANC, "#FFFFFF")]
    ecrire_xpm(dossier, "POIGNEE", main_ouverte(), (15, 15), couleurs_main)
    ecrire_xpm(dossier, "POIGNEE2", main_fermee(), (15, 15), couleurs_main)
    paire(dossier, "CIBLEG", grande_cible(), (C, C))
    paire(dossier, "CIBLEP", petite_cible(), (C, C))
    paire(dossier, "CIBLEC", croix(), (C, C))
    for nom, sx, sy in (("XpYp", 1, 1), ("XnYp", -1, 1), ("XpYn", 1, -1), ("XnYn", -1, -1)):
        d, chaud = origine(sx, sy)
        paire(dossier, nom, d, chaud)
    for base, mode in (("echH", "H"), ("echV", "V"), ("ech", "S")):
        for numero in ("1", "2"):
            paire(dossier, base + numero, etalon(mode, numero), (C, C))


if __name__ == "__main__":
    principal()

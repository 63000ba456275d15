#!/usr/bin/env bash
# Installs into a temporary prefix and starts the installed program from another folder:
# the command-line answers without a display, a clip opened from its command line, and the
# desktop files accepted by the validators when they are installed.
# Arguments: build folder, a test clip.
set -euo pipefail
build=$1 clip=$2
prefixe=$(mktemp -d) ailleurs=$(mktemp -d)
trap 'rm -rf "$prefixe" "$ailleurs"' EXIT
cmake --install "$build" --prefix "$prefixe" >/dev/null
kinemar=$prefixe/bin/kinemar
cd "$ailleurs"
export XDG_STATE_HOME=$ailleurs/etat

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kinemar" --version | grep -qx 'kinemar [0-9.]*'
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kinemar" --help | grep -q -- '--capture'
if "$kinemar" --nimporte 2>/dev/null; then echo "an unknown option was accepted"; exit 1; fi

QT_QPA_PLATFORM=offscreen "$kinemar" "$clip" --capture fenetre.png
test -s fenetre.png
# A file that is no clip: the open command's error, on the error output in this mode.
echo "pas un clip" > faux.avi
if QT_QPA_PLATFORM=offscreen "$kinemar" faux.avi --capture faux.png 2>erreur.txt; then
    echo "a file that is no clip was opened"; exit 1
fi
test -s erreur.txt
# A session file on the command line opens its clip (the test clip: 30 frames of 160 x 120).
cat > seance.kinemar <<FIN
{"format": 1, "clip": {"fichier": "$clip", "taille": $(stat -c %s "$clip"),
  "empreinte": "$(head -c 1048576 "$clip" | sha256sum | cut -d' ' -f1)", "images": 30},
 "affichage": {"pourcent": 100, "largeur": 160, "hauteur": 120}, "points": 1,
 "temps": {"origine": 1, "decimales": 3}, "chiffres": 3,
 "etalonnage": {"mode": 0, "p1": [1, 1], "p2": [2, 2], "longueurH": "1", "longueurV": "1",
                "longueur": "1.41", "echelleH": "0.01", "echelleV": "0.01"},
 "origine": {"x": 0, "y": 119, "sensX": 1, "sensY": 1},
 "aspect": {"taille": 1, "elements": [{"couleur": 0, "trace": true, "forme": 0},
   {"couleur": 255, "trace": true, "forme": 0}, {"couleur": 255, "trace": true, "forme": 0},
   {"couleur": 255, "trace": true, "forme": 0}, {"couleur": 255, "trace": true, "forme": 0}]},
 "pointages": [[[0, 50, 60], [1, 52, 58]], [], [], []]}
FIN
QT_QPA_PLATFORM=offscreen "$kinemar" seance.kinemar --capture seance.png
test -s seance.png
# Clean exits leave nothing to recover.
test -z "$(ls -A "$XDG_STATE_HOME/kinemar" 2>/dev/null)" || { echo "recovery files left"; exit 1; }

partage=$prefixe/share
for f in applications/org.kinemar.Kinemar.desktop metainfo/org.kinemar.Kinemar.metainfo.xml \
         icons/hicolor/scalable/apps/org.kinemar.Kinemar.svg \
         icons/hicolor/48x48/apps/org.kinemar.Kinemar.png kinemar/kineMar2.hlp \
         mime/packages/org.kinemar.Kinemar.xml man/man1/kinemar.1.gz doc/kinemar/copyright \
         doc/kinemar/changelog.gz; do
    test -s "$partage/$f" || { echo "not installed: $f"; exit 1; }
done
# The manual page tells every option the usage gives.
manuel=$(zcat "$partage/man/man1/kinemar.1.gz" | sed 's/\\-/-/g')
for o in $("$kinemar" --help | grep -o -- '--[a-z]*' | sort -u); do
    grep -q -- "$o" <<<"$manuel" || { echo "the manual page lacks $o"; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$partage/applications/org.kinemar.Kinemar.desktop"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$partage/metainfo/org.kinemar.Kinemar.metainfo.xml"
fi
echo "installation: ok"

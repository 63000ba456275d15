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

partage=$prefixe/share
for f in applications/org.kinemar.Kinemar.desktop metainfo/org.kinemar.Kinemar.metainfo.xml \
         icons/hicolor/scalable/apps/org.kinemar.Kinemar.svg \
         icons/hicolor/48x48/apps/org.kinemar.Kinemar.png kinemar/kineMar2.hlp; do
    test -s "$partage/$f" || { echo "not installed: $f"; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$partage/applications/org.kinemar.Kinemar.desktop"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$partage/metainfo/org.kinemar.Kinemar.metainfo.xml"
fi
echo "installation: ok"

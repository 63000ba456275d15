#pragma once
// What FFmpeg reads of a clip in another container than AVI (MP4, MOV, MKV, WebM, 3GP), for
// the preview while choosing a clip: the same values the AVI header gives, taken from the
// container's own description without reading the packets.
#include <QString>

struct InfosClip {
    int nbImages = 0;
    int largeur = 0; // as shown, the display rotation applied
    int hauteur = 0;
    double periode = 0;  // seconds per frame, from the stream's frame rate
    double duree = 0;    // seconds
    int frequence = 0;   // frames per second, rounded
    QString codec;       // FFmpeg's short name ("h264")
    QString nomCodec;    // and its long one
    int rotation = 0;    // quarter turns clockwise to show the picture upright, 0 to 3
    bool valide = false; // a video stream with a size and a rate
};

// Reads the container's header; an unreadable file or one without video is not valid.
InfosClip lireInfosClip(const QString &chemin);

// Quarter turns clockwise (0 to 3) a stream's display matrix asks for, 0 when it has none.
struct AVStream;
int quartsDeTour(const AVStream *flux);

// The long name of the FFmpeg codec with this short name, empty when there is none.
QString nomLongCodec(const QString &nomCourt);

// Filters of the dialogs that choose a clip. The AVI filter comes first and is selected at
// index 0; the filter of every clip a phone or a camera writes is at index 1.
QString filtresClips();
constexpr int indiceFiltreTousClips = 1;
// For a dialog looking for this clip (moved since): its own type first, selected at index 0,
// then every clip.
QString filtresPourClip(const QString &fichier);

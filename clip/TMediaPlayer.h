#pragma once
// The media player: opens a clip with FFmpeg and shows any frame exactly, by its index.
// It draws nothing itself: the clip panel paints image() scaled into DisplayRect() and
// repaints on imageChangee(). Positioning is complete when a call returns.
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include "measure/erreurs.h"

#include <chrono>
#include <functional>
#include <memory>

// Open() gave up because the user cancelled its progress window.
class OuvertureAnnulee : public ErreurKinemar
{
public:
    OuvertureAnnulee() : ErreurKinemar(QStringLiteral("Ouverture annulée")) {}
};

class TMediaPlayer : public QObject
{
    Q_OBJECT
public:
    enum class FormatTemps { Millisecondes, Images };
    enum class ModeLecteur { NonOuvert, Arrete, Lecture };

    explicit TMediaPlayer(QObject *parent = nullptr);
    ~TMediaPlayer() override;

    void setFileName(const QString &nom);
    QString FileName() const;
    // Throws ErreurKinemar with a readable reason (OuvertureAnnulee when cancelled); on
    // failure the player stays closed. A clip with an index opens in the time its index
    // takes to read; one without is read once, packet by packet, never decoded.
    void Open();
    // Called while Open() reads a clip packet by packet, with the share read (0 to 1);
    // returning false cancels the open.
    void setProgression(std::function<bool(double)> progression);
    // Longest time Open() waits on the file without reading further (60 s).
    void setDelaiOuverture(std::chrono::milliseconds delai);
    void Close();
    bool estOuvert() const; // the "device open" test

    void setTimeFormat(FormatTemps format);
    FormatTemps TimeFormat() const;
    // Frames: number of frames, dropped frames included. Milliseconds: the duration.
    int Length() const;
    // Index of the frame shown (Length() once playing ran to the end), in the time format.
    int Position() const;
    void setPosition(int position);
    int Frames() const; // frames moved by one Step or Back
    void setFrames(int n);
    void Step();
    void Back();
    // Goes to frame a from the position now shown in one Step or Back by the distance,
    // the way the program's own positioning moves (frames per step is left at the distance).
    void deplacerVers(int a);

    QRect DisplayRect() const;
    void setDisplayRect(const QRect &r);
    QSize tailleNaturelle() const;

    ModeLecteur Mode() const;
    bool Notify() const;
    void setNotify(bool n);
    // Plays from the current position at the clip's frame rate; returns at once.
    void Play();
    // Interrupts playing; raises the notice like the end of the clip does.
    void Stop();

    // The frame now shown, at natural size; a null image when no clip is open.
    QImage image() const;
    // Grey levels of a region of the frame shown, at natural size, taken from the luma plane
    // where the decoder gives one, so that following an object converts no whole pictures.
    // What lies outside the picture is black. A null image when no clip is open.
    QImage gris(const QRect &zone) const;

    // Budget of the cache of decoded frames, in MiB.
    void setCacheMio(int mio);
    int CacheMio() const;

    // Seconds per frame (the stream's time base), 0 when closed.
    double periodeSecondes() const;
    // Decoder name, for diagnosis.
    QString nomDecodeur() const;
    // Seconds from frame 0 to frame `image`: its own time outside AVI (variable frame rates
    // included), the frame count times the period in AVI.
    double tempsImage(int image) const;
    // Outside AVI, the gaps between frames differ from the period by more than 1 %.
    bool cadenceVariable() const;
    // FFmpeg's short name of the stream's codec ("h264"), empty when closed.
    QString nomCodecFlux() const;
    // Frames from the point where reading the file failed (a cut or damaged file) to the
    // end; they show the last picture read. 0 when closed.
    int imagesIlisibles() const;

signals:
    void imageChangee();
    void OnNotify();

private:
    struct Prive;
    std::unique_ptr<Prive> d;

    void allerA(int image);
    void finLecture();
    void tic();
};

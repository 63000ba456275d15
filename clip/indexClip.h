#pragma once
// The clip's file and its table of frame slots. SourceClip owns the demuxer and is the only
// piece that reads the file; it never decodes.
//
// Two units. The chunk is the container's frame slot in decoding order (the AVI frame
// number): packets, keys and the decoder's pictures are counted in chunks. The frame is what
// the program counts, from 0: chunkPour(f) says whose picture frame f shows. A slot without
// data (a dropped frame) shows the picture before it.
//
// With B-frames, pictures come out of the decoder in another order than their packets. The
// display order of a group (a key chunk and the chunks up to the next key) is learned from
// the packets' headers with FFmpeg's parser the first time the group is needed: from the
// index's positions when there is an index, from the one reading pass otherwise. For a codec
// FFmpeg has no parser for, the decoder decodes the group once on its own to tell
// (typesParDecodage): SourceClip itself never decodes.
//
// ouvrir() and construireTable() throw ErreurKinemar (OuvertureAnnulee when cancelled); the
// caller then drops the object, which frees all it holds.
#include "clip/poignees.h"

#include <QFile>

#include <algorithm>
#include <climits>
#include <functional>
#include <unordered_map>
#include <vector>

class SourceClip
{
public:
    // Share read so far, 0 to 1; returns false when the user cancels.
    using Progression = std::function<bool(double)>;

    // Opens the file, finds the video stream, checks its picture size and frame rate.
    void ouvrir(const QString &nom);
    // Builds the table from the index, or by reading every packet once (never decoding)
    // when there is no usable index. reordonner: the decoder reorders pictures.
    void construireTable(bool reordonner, const Progression &progression);

    // Seeks so that the next packet read is the one of chunk cle or one before it.
    // False: the file can no longer be read.
    bool chercher(int cle);
    // The next packet of the video stream, with its chunk (-1 when its time tells nothing).
    // Returns 0 or FFmpeg's error (AVERROR_EOF at the end).
    int lirePaquet(AVPacket *p, int *chunk);
    bool rouvrir();
    bool lisible() const { return fc != nullptr; }

    int nbChunks() const { return indexPropre ? chunksIndex : int(dtsDe.size()); }
    bool aDonnees(int c) const
    {
        return c >= 0 && c < nbChunks() &&
               (indexPropre ? !std::binary_search(vides.begin(), vides.end(), c)
                            : dtsDe[size_t(c)] != AV_NOPTS_VALUE);
    }
    // Chunk whose picture frame f shows; frames from the first unreadable chunk on show the
    // last picture before it.
    int chunkPour(int f);
    // Frame where the picture of chunk c is first shown (c itself without reordering).
    int aff(int c);
    // A decode from key chunk cle gives the picture of chunk s.
    bool valideDepuis(int cle, int s) { return cle <= s && aff(cle) <= aff(s); }
    // The latest key chunk a decode for s can start from.
    int clePour(int s);
    // The first key chunk after chunk c (INT_MAX when there is none): a picture damaged at c
    // harms no picture from there on.
    int cleApres(int c) const
    {
        const auto it = std::upper_bound(cles.begin(), cles.end(), c);
        return it == cles.end() ? INT_MAX : *it;
    }
    // Reading failed at chunk c (cut or damaged file): nothing from there on is asked for.
    void marquerIlisible(int c);
    // Frames that show the last picture read instead of their own.
    int imagesIlisibles();

    const AVStream *flux() const { return fc->streams[indiceFlux]; }
    int indice() const { return indiceFlux; }

    const AVCodec *decodeur = nullptr;
    int largeur = 0, hauteur = 0;
    AVRational baseTemps{1, 25};
    double periode = 0.04; // seconds per frame
    int nbImages = 0;      // frames, dropped ones included
    bool intra = false;    // every picture stands alone
    // The decoder draws each picture over the one before, in the same buffer: any reference
    // kept to the previous picture makes it copy the whole picture first.
    bool enPlace = false;
    bool reordonne = false;
    Echeance echeance;
    // Longest wait on the file while opening: reading may take longer as long as it goes on.
    std::chrono::milliseconds delaiOuverture{std::chrono::seconds(60)};
    // Outside AVI: each frame's time in seconds from frame 0, and whether the gaps between
    // frames differ from the period by more than 1 %. Empty and false for AVI.
    std::vector<double> temps;
    bool variable = false;
    int rotation = 0; // quarter turns clockwise that show the picture upright

    // For a reordering codec FFmpeg has no parser for: the picture type of each of the given
    // packets (in decoding order) as a decode of them alone gives it, AV_PICTURE_TYPE_NONE for
    // one that gives no picture. Set by the decoder; a group's order is then learned by
    // decoding it once, the first time it is needed.
    std::function<std::vector<int64_t>(const std::vector<QByteArray> &)> typesParDecodage;
    // For the tests: every codec taken as one FFmpeg has no parser for.
    static bool sansParseur;

private:
    bool depuisIndex();
    bool depuisEchantillons();
    bool lireIdx1();
    // Reads every packet once, from fc or from the given context.
    void parcourir(const Progression &progression, AVFormatContext *lecture = nullptr);
    bool parcourirSansImages(const Progression &progression);
    bool mp4() const;
    // Outside AVI, a packet's times as the table keeps them: a missing presentation time is
    // its decoding time, a missing decoding time its presentation time (or 0): seeking goes
    // by decoding time, and the first packets of some files have none.
    struct Temps {
        int64_t pts, dts;
    };
    static Temps tempsHorsAvi(const AVPacket *p);
    void rembobiner();
    bool luEnAvance = false; // packets were read from fc before the reading pass
    void finaliser();
    void calculerTemps();
    void ouvrirFormat();
    void ouvrirFormatSansIndex();
    void preparerParseur();
    int chunkDe(int64_t dts) const;
    int64_t ordrePaquet(const uint8_t *donnees, int taille);
    int64_t lireOrdre(int c);
    QByteArray lireDonnees(int c, int maximum);
    void apprendre(size_t groupe);
    int chunkDuRang(int r);
    int place(int r) const;
    int64_t dtsChunk(int c) const { return indexPropre ? c : dtsDe[size_t(c)]; }
    int64_t positionChunk(int c);
    int tailleChunk(int c);
    int rangImage(int f) const;
    int premierRangIlisible();

    QByteArray url;
    QString chemin;
    Format fc;
    int indiceFlux = -1;
    bool avi = true;
    int64_t debut = 0; // dts of frame 0 outside AVI, once known
    // An AVI file whose index we read ourselves, in one pass over its mapped entries: the
    // demuxer is opened without reading it (its own reading takes a time in proportion to the
    // clip's length) and is told only of the key frames it seeks to.
    bool indexPropre = false;
    std::vector<bool> cleConnue; // per chunk: told to the demuxer
    // The index's entries are read once at opening for what every frame needs (the count,
    // the key and empty chunks); a chunk's place and size are read again from the file, a
    // block of chunks at a time, when it is first needed. A chunk's dts is its number.
    struct EntreeIndex {
        quint32 position, taille; // as written; size 0: an empty slot
    };
    static constexpr int chunksParBloc = 4096;
    const EntreeIndex *entreeIndex(int c);
    int chunksIndex = 0;
    int64_t debutIdx1 = 0;                       // where the index's entries start in the file
    int entreesIdx1 = 0;                         // entries of every stream
    std::vector<int> debutsBlocs;                // per block: the entry of its first chunk
    std::vector<std::vector<EntreeIndex>> blocs; // read as needed
    char chiffresFlux[2] = {'0', '0'};           // the stream's number in its chunks' names
    int64_t decalageIndex = 0;                   // where the entries' offsets count from

    // Without our own index, per chunk: its packet's dts (AV_NOPTS_VALUE for an empty slot),
    // and with the demuxer's index its place and size in the file (-1 when unknown).
    std::vector<int64_t> dtsDe;
    std::vector<int64_t> posDe;
    // Outside AVI: per chunk its presentation time, and the chunk of a packet by its place.
    std::vector<int64_t> ptsDe;
    std::unordered_map<int64_t, int> chunkDePos;
    std::vector<int> tailleDe;
    std::vector<int> cles; // chunks a decode can start from, ascending
    // The empty slots (dropped frames), ascending: ranks of the slots that hold data are
    // counted from it.
    std::vector<int> vides;
    // Packets whose dts said another slot (out of order, or a jump no packet backs).
    std::unordered_map<int64_t, int> reparations;
    int paquets = 0;          // chunks with data
    int premierIlisible = -1; // first chunk that could not be read, -1 if none

    // Reordering. ordreDe: chunk -> its picture type, or its picture order count for the
    // codecs that have one; filled by the reading pass only, otherwise read from the file as
    // groups are learned. affDe: chunk -> frame where its picture shows; rangAffiche: rank in
    // display order -> chunk. Both are left unwritten (so never touched in memory) until
    // their group is learned: a long clip costs nothing for the groups never shown.
    static constexpr int64_t inconnu = INT64_MIN;
    bool parPoc = false;
    std::vector<int64_t> ordreDe;
    std::unique_ptr<int[]> affDe;
    std::unique_ptr<int[]> rangAffiche;
    std::vector<bool> appris; // per key: its group is learned
    int rang(int c) const;    // chunks with data before chunk c
    size_t groupeDe(int c) const;
    Codec ccParseur;
    Parseur parseur;
    QFile fichier; // read for packet headers, apart from the demuxer
};

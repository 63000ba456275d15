#pragma once
// The decoder: gives the picture of a chunk, decoding from the right key chunk or going on
// from where it stands, and keeps recent pictures for showing again. It reads packets only
// through SourceClip, the way a decoder is handed packets; it owns the codec context, the
// pictures it decodes and both caches, never the file. Unit: the chunk (see indexClip.h).
// The constructor throws ErreurKinemar when the codec cannot be opened.
#include "clip/cacheTrames.h"
#include "clip/indexClip.h"

#include <QString>

#include <deque>
#include <vector>

class Decodeur
{
public:
    explicit Decodeur(SourceClip &source);
    ~Decodeur();
    // The decoder hands pictures out in another order than their packets (B-frames).
    bool reordonne() const;
    void setBudget(size_t octets);
    // The picture of chunk s, or nullptr when it does not decode. With garder, every picture
    // decoded on the way is kept for the steps back that follow; otherwise only the last few,
    // which costs no more than decoding without a cache.
    const AVFrame *obtenir(int s, bool garder);
    // Chunk s is known to give no picture: asking for it fails at once.
    bool connuSansImage(int s) const
    {
        return size_t(s) < sansImage.size() && sansImage[size_t(s)];
    }
    bool enCache(int s) const { return recents.contient(s) || cache.contient(s); }
    QString nom() const { return QString::fromUtf8(cc->codec->name); }

private:
    // The decode now under way: started at key chunk `cle`, last packet sent `envoye`,
    // last display frame that came out `sorti` (reordering only).
    struct Course {
        bool active = false;
        bool fin = false;
        int cle = -1;
        int envoye = -1;
        int sorti = -1;
        bool enAvant = false; // the request went on from the decoder's position
        bool garder = false;  // every picture decoded goes to the cache
        bool trouve = false;  // the target came out, in `resultat`
        // Damage: the first chunk whose packet did not decode whole, and the key chunk after
        // it. The pictures of the chunks between them miss a part or refer to one that does.
        int abimeDepuis = -1;
        int reprise = -1;
        std::deque<int> gardes; // the last chunks whose picture this decode kept
    };
    void demarrer(int cle);
    std::vector<int64_t> typesDe(const std::vector<QByteArray> &paquets) const;
    void recevoir(int s);
    void enregistrer(int c, int s);
    bool peutContinuer(int s);
    void abimer(int c, int s);
    bool abime(int c) const;
    void sansImagePour(int c);

    SourceClip &src;
    Codec cc;
    Paquet paquet{av_packet_alloc()};
    Trame trame{av_frame_alloc()};
    Trame resultat{av_frame_alloc()};
    Course course;
    CacheTrames cache;
    static constexpr int nbRecents = 4;
    CacheTrames recents{nbRecents};
    // Chunks whose packet went through the decoder without a picture (damaged): asked for
    // again, they fail at once instead of decoding their group again.
    std::vector<bool> sansImage;
};

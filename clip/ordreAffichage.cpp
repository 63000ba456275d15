// SourceClip, continued: the display order of a group of pictures, learned from the packets'
// headers with FFmpeg's parser the first time the group is needed (see indexClip.h).
#include "clip/indexClip.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace
{

// Bytes of a packet read to learn its picture type: the headers come first.
constexpr int octetsEntete = 8192;

bool estImageB(int64_t type)
{
    return type == AV_PICTURE_TYPE_B || type == AV_PICTURE_TYPE_BI;
}

} // namespace

int64_t SourceClip::ordrePaquet(const uint8_t *donnees, int taille)
{
    if (!parseur || !donnees || taille <= 0) return inconnu;
    uint8_t *sortie = nullptr;
    int tailleSortie = 0;
    parseur->pict_type = AV_PICTURE_TYPE_NONE;
    av_parser_parse2(parseur.get(), ccParseur.get(), &sortie, &tailleSortie, donnees, taille,
                     AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (parseur->pict_type == AV_PICTURE_TYPE_NONE) return inconnu;
    return parPoc ? int64_t(parseur->output_picture_number) : int64_t(parseur->pict_type);
}

// At most the first `maximum` bytes of chunk c's packet, followed by the zeroed padding FFmpeg
// reads past a packet's end (in the size); empty when it cannot be read.
QByteArray SourceClip::lireDonnees(int c, int maximum)
{
    int64_t debutDonnees = positionChunk(c);
    const int taille = tailleChunk(c);
    if (debutDonnees < 0 || taille <= 0) return {};
    if (!fichier.isOpen()) {
        fichier.setFileName(chemin);
        if (!fichier.open(QIODevice::ReadOnly)) return {};
    }
    if (avi) {
        // The index points at the chunk header: its id, then the size it gives.
        char entete[8];
        if (!fichier.seek(debutDonnees) || fichier.read(entete, 8) != 8) return {};
        quint32 t = 0;
        std::memcpy(&t, entete + 4, 4);
        if (qFromLittleEndian(t) == quint32(taille)) debutDonnees += 8;
    }
    // Nothing is allocated on the word of an index entry for more than the file holds.
    const int lus = std::min({taille, maximum, INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE});
    if (debutDonnees + lus > fichier.size()) return {};
    QByteArray donnees(lus + AV_INPUT_BUFFER_PADDING_SIZE, '\0');
    if (!fichier.seek(debutDonnees) || fichier.read(donnees.data(), lus) != lus) return {};
    return donnees;
}

int64_t SourceClip::lireOrdre(int c)
{
    const QByteArray entete = lireDonnees(c, octetsEntete);
    if (entete.isEmpty()) return inconnu;
    return ordrePaquet(reinterpret_cast<const uint8_t *>(entete.constData()),
                       entete.size() - AV_INPUT_BUFFER_PADDING_SIZE);
}

void SourceClip::apprendre(size_t groupe)
{
    if (groupe >= cles.size() || appris[groupe]) return;
    appris[groupe] = true;
    const int debutGroupe = cles[groupe];
    const int finGroupe = groupe + 1 < cles.size() ? cles[groupe + 1] : nbChunks();
    std::vector<int> membres;
    for (int c = debutGroupe; c < finGroupe; ++c)
        if (aDonnees(c)) membres.push_back(c);
    std::unordered_map<int, int64_t> ordre;
    bool ordreConnu = true;
    if (!parseur && !parPoc && typesParDecodage) {
        // No parser: the group is decoded once on its own. A picture that does not come out
        // misses a reference from the group before: a B-picture shown before the key.
        std::vector<QByteArray> paquets;
        for (const int c : membres)
            paquets.push_back(lireDonnees(c, INT_MAX));
        const std::vector<int64_t> types = typesParDecodage(paquets);
        for (size_t i = 0; i < membres.size(); ++i)
            ordre[membres[i]] = i < types.size() && types[i] != AV_PICTURE_TYPE_NONE
                                    ? types[i]
                                    : int64_t(AV_PICTURE_TYPE_B);
    } else {
        for (const int c : membres) {
            const int64_t o = size_t(c) < ordreDe.size() ? ordreDe[size_t(c)] : lireOrdre(c);
            ordreConnu = ordreConnu && o != inconnu;
            ordre[c] = o;
        }
    }
    std::vector<int> affichage;
    if (parPoc) {
        // The picture order count says it; without it for every picture, decoding order.
        affichage = membres;
        if (ordreConnu)
            std::stable_sort(affichage.begin(), affichage.end(),
                             [&](int a, int b) { return ordre[a] < ordre[b]; });
    } else {
        // A B-picture is shown as it comes; any other waits for the next one that is not a
        // B-picture, or the end of its group. The B-pictures right after the key are thus
        // shown before it, after the pictures of the group before.
        int enAttente = -1;
        for (const int c : membres) {
            if (estImageB(ordre[c])) {
                affichage.push_back(c);
                continue;
            }
            if (enAttente >= 0) affichage.push_back(enAttente);
            enAttente = c;
        }
        if (enAttente >= 0) affichage.push_back(enAttente);
    }
    // The group's pictures fill the ranks of its packets, in display order.
    int r = rang(debutGroupe);
    for (const int c : affichage) {
        affDe[size_t(c)] = place(r);
        rangAffiche[size_t(r)] = c;
        ++r;
    }
}

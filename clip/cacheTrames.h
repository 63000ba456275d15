#pragma once
// Decoded pictures kept for showing again, by chunk number (the container's frame slot).
// Owns its references to the pictures; it never decodes. Bounded in bytes and in entries:
// the least recently used picture goes first.
#include "clip/poignees.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

// Bytes a decoded picture holds, its buffers included.
size_t octetsTrame(const AVFrame *f);

class CacheTrames
{
public:
    explicit CacheTrames(size_t maxEntrees = SIZE_MAX) : maxEntrees_(maxEntrees) {}
    void setBudget(size_t octets);
    // The picture of chunk, or nullptr; a hit makes it the most recently used.
    const AVFrame *trouver(int chunk);
    bool contient(int chunk) const { return index_.count(chunk) != 0; }
    // Keeps a reference to source (no copy of the pixels).
    void ajouter(int chunk, const AVFrame *source);
    void retirer(int chunk);
    void vider();
    size_t octets() const { return total_; }
    size_t entrees() const { return lru_.size(); }

private:
    struct Entree {
        int chunk;
        Trame trame;
        size_t octets;
    };
    void elaguer();
    std::list<Entree> lru_;
    std::unordered_map<int, std::list<Entree>::iterator> index_;
    size_t total_ = 0;
    size_t budget_ = 256u << 20;
    size_t maxEntrees_;
};

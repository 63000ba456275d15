#include "clip/cacheTrames.h"

size_t octetsTrame(const AVFrame *f)
{
    size_t n = sizeof(AVFrame);
    for (const AVBufferRef *b : f->buf)
        if (b) n += b->size;
    for (int i = 0; i < f->nb_extended_buf; ++i)
        n += f->extended_buf[i]->size;
    return n;
}

void CacheTrames::setBudget(size_t octets)
{
    budget_ = octets;
    elaguer();
}

const AVFrame *CacheTrames::trouver(int chunk)
{
    auto it = index_.find(chunk);
    if (it == index_.end()) return nullptr;
    lru_.splice(lru_.begin(), lru_, it->second);
    return it->second->trame.get();
}

void CacheTrames::ajouter(int chunk, const AVFrame *source)
{
    if (contient(chunk)) return;
    Trame copie(av_frame_alloc());
    if (!copie || av_frame_ref(copie.get(), source) < 0) return;
    const size_t octets = octetsTrame(copie.get());
    lru_.push_front(Entree{chunk, std::move(copie), octets});
    index_[chunk] = lru_.begin();
    total_ += octets;
    elaguer();
}

void CacheTrames::retirer(int chunk)
{
    auto it = index_.find(chunk);
    if (it == index_.end()) return;
    total_ -= it->second->octets;
    lru_.erase(it->second);
    index_.erase(it);
}

void CacheTrames::vider()
{
    lru_.clear();
    index_.clear();
    total_ = 0;
}

void CacheTrames::elaguer()
{
    while ((total_ > budget_ || lru_.size() > maxEntrees_) && !lru_.empty()) {
        total_ -= lru_.back().octets;
        index_.erase(lru_.back().chunk);
        lru_.pop_back();
    }
}

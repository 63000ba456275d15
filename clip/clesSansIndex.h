#pragma once
// Without an index the AVI demuxer calls every packet a key frame. For the two codecs whose
// delta frames would then be taken for starting points, the frame's own bytes tell whether
// it stands alone. Pure functions of the packet's bytes.
#include <cstdint>

// Cinepak: every strip intra-coded with full codebooks, the strips covering the picture.
bool cinepakAutonome(const uint8_t *p, int n, int hauteur);
// Microsoft Video 1: every 4x4 block coded, none skipped.
bool msvideo1Autonome(const uint8_t *p, int n, int largeur, int hauteur, bool huitBits);

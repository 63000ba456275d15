// The AVI index reader (and the AVI header the player reads first): the clip target on files
// that always start as AVI files.
#define KINEMAR_CIBLE_AVI
#include "clip.cpp"

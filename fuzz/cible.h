#pragma once
// One libFuzzer entry point per reader of outside bytes. The same source builds the fuzzer
// (KINEMAR_FUZZ=ON, clang) and the replay of its corpus that the test suite runs.
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille);
// Optional: what a target needs once before its first input (an application object).
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);

// A reader broke a promise it makes (a value that does not read back): stop here, so the
// fuzzer keeps the input.
[[noreturn]] inline void promesseRompue()
{
    __builtin_trap();
}

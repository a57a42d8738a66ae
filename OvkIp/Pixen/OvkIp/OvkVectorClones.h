// Marks a hot loop to be compiled twice, for AVX2 and for the base instruction set; the loader picks the
// copy the processor can run. Only integer loops are marked, so both copies give the same bytes.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define OVK_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define OVK_VECTOR_CLONES
#endif

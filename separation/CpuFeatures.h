#pragma once

namespace logosmith::separation_detail {

// What the processor offers the engine's vector loops, asked once per run of the program. All
// false where those loops are not built (not x86-64, or a compiler without its intrinsics).
struct CpuFeatures {
    bool avx2 = false;
    bool avx512 = false;       // AVX-512 F: 16-lane vectors
    bool byteShuffles = false; // AVX-512 F, BW and VBMI: 64-byte byte permutes
};

const CpuFeatures& cpuFeatures();

} // namespace logosmith::separation_detail

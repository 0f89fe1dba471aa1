#include "separation/CpuFeatures.h"

namespace logosmith::separation_detail {

const CpuFeatures& cpuFeatures() {
    static const CpuFeatures features = [] {
        CpuFeatures f;
#if defined(__x86_64__) && defined(__GNUC__)
        f.avx2 = __builtin_cpu_supports("avx2");
        f.avx512 = __builtin_cpu_supports("avx512f");
        f.byteShuffles =
            f.avx512 && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#endif
        return f;
    }();
    return features;
}

} // namespace logosmith::separation_detail

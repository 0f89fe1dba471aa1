// Dithering into L ink, R ink and paper (the rule is described at DitherMode). Each pixel is
// first given its shares of the three, how much of its area each should cover; then the shares
// are turned into dots by error diffusion or by a threshold matrix. The shares live in the
// plane of the three display colours in linear RGB, written as u (L share) and v (R share)
// with paper 1 - u - v; distances in that plane are measured with the Gram matrix of
// e1 = L - P and e2 = R - P, so "nearest" means nearest in linear light.
//
// This file chooses the kernel and the way of dithering; DitherShares.cpp gives each pixel its
// shares, DitherOrdered.cpp and DitherDiffusion.cpp turn them into dots, DitherBest.cpp improves
// the diffusion's dots, and DitherVector.cpp holds the AVX-512 loops.

#include "separation/Separation.h"

#include "separation/CpuFeatures.h"
#include "separation/DitherPlan.h"
#include "separation/SeparationInternal.h"

namespace logosmith::separation_detail {

namespace {

bool useVector(PreviewKernel kernel) {
#ifdef LOGOSMITH_DITHER_VECTOR
    return kernel == PreviewKernel::Fastest && cpuFeatures().byteShuffles;
#else
    (void)kernel;
    return false;
#endif
}

} // namespace

bool rebuildDithered(PreviewKernel kernel, const SeparationSettings& settings,
                     const Picture& working, Picture& preview, const std::stop_token& stop) {
    if (working.isEmpty())
        return true;
    if (preview.width() != working.width() || preview.height() != working.height())
        preview = Picture(working.width(), working.height());
    DitherPlan plan;
    buildPlan(settings, plan);
    const bool fastest = kernel == PreviewKernel::Fastest;
    if (settings.dither == DitherMode::Ordered)
        rebuildOrdered(plan, useVector(kernel), working, preview);
    else if (settings.dither == DitherMode::Best)
        return rebuildBest(plan, useVector(kernel), fastest, working, preview, stop);
    else
        rebuildDiffused(plan, useVector(kernel), fastest, working, preview);
    return true;
}

} // namespace logosmith::separation_detail

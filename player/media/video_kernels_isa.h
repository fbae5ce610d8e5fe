// The kernel tables of each instruction set, defined in files of their own
// that are compiled for it; only video_kernels.cpp, which checks the
// processor first, hands them out.
#pragma once

#include "video_kernels.h"

#ifndef KESTREL_X86_KERNELS
#define KESTREL_X86_KERNELS 0
#endif

namespace kestrel {

#if KESTREL_X86_KERNELS
const VideoKernels& Sse2VideoKernels();
const VideoKernels& Avx2VideoKernels();
#endif

}  // namespace kestrel

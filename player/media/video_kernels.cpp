#include "video_kernels.h"

#include <cstdlib>

#include "video_kernels_isa.h"

namespace kestrel {

namespace {

bool ProcessorRuns(VideoPath path) {
#if KESTREL_X86_KERNELS
  __builtin_cpu_init();
  switch (path) {
    case VideoPath::Reference:
      return true;
    case VideoPath::Sse2:
      return __builtin_cpu_supports("sse2");
    // The check includes the system's saving of the 256-bit registers.
    case VideoPath::Avx2:
      return __builtin_cpu_supports("avx2");
  }
  return false;
#else
  return path == VideoPath::Reference;
#endif
}

}  // namespace

const VideoKernels* KernelsFor(VideoPath path) {
  if (path == VideoPath::Reference || !ProcessorRuns(path)) return nullptr;
#if KESTREL_X86_KERNELS
  if (path == VideoPath::Sse2) return &Sse2VideoKernels();
  if (path == VideoPath::Avx2) return &Avx2VideoKernels();
#endif
  return nullptr;
}

bool PathAvailable(VideoPath path) { return path == VideoPath::Reference || KernelsFor(path) != nullptr; }

VideoPath BestVideoPath() {
  for (VideoPath path : {VideoPath::Avx2, VideoPath::Sse2})
    if (PathAvailable(path)) return path;
  return VideoPath::Reference;
}

std::string_view PathName(VideoPath path) {
  switch (path) {
    case VideoPath::Reference:
      return "reference";
    case VideoPath::Sse2:
      return "sse2";
    case VideoPath::Avx2:
      return "avx2";
  }
  return "";
}

std::optional<VideoPath> PathFromName(std::string_view name) {
  for (VideoPath path : {VideoPath::Reference, VideoPath::Sse2, VideoPath::Avx2})
    if (name == PathName(path)) return path;
  return std::nullopt;
}

VideoPath DefaultVideoPath() {
  if (const char* chosen = std::getenv("KESTREL_VIDEO_PATH")) {
    const auto path = PathFromName(chosen);
    if (path && PathAvailable(*path)) return *path;
  }
  return BestVideoPath();
}

}  // namespace kestrel

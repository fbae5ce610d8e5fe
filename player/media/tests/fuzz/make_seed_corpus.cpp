// Writes the committed seed corpus of the fuzz targets:
//   make_seed_corpus DIR   ->  DIR/message/* and DIR/payload/*
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/message_builder.h"

using namespace kestrel;
using namespace kestrel::testing;

namespace {

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::uint8_t> WithControl(std::uint8_t control, std::vector<std::uint8_t> payload) {
  payload.insert(payload.begin(), control);
  return payload;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir / "message");
  std::filesystem::create_directories(dir / "payload");

  auto grey = EmptyFrame();
  grey.values[0] = 100;
  const auto black = Encode(EmptyFrame());
  const auto busy = Encode(RandomFrame(1, ValueSpread::AsFrequencies));

  Write(dir / "message" / "sound-only.qrv", MessageBuilder().ToneAudio(3).Bytes());
  Write(dir / "message" / "video.qrv", MessageBuilder().FrameRate(5).Video(busy).ToneAudio(1).Video(black).Bytes());
  Write(dir / "message" / "odd-records.qrv",
        MessageBuilder().FrameRate(2).Raw({2, 7}).Video({}).VideoWithLength(16385, {1, 2, 3}).ToneAudio(1).Bytes());
  Write(dir / "message" / "header-only.qrv", MessageBuilder().Bytes());

  Write(dir / "payload" / "black", WithControl(3, black));
  Write(dir / "payload" / "grey", WithControl(3, Encode(grey)));
  Write(dir / "payload" / "busy", WithControl(3, busy));
  Write(dir / "payload" / "busy-double", WithControl(7, busy));
  Write(dir / "payload" / "uniform", WithControl(0, Encode(RandomFrame(2, ValueSpread::Uniform))));
  return 0;
}

// Writes the committed seed corpus of the fuzz targets:
//   make_seed_corpus DIR   ->  DIR/message/*, DIR/payload/* and DIR/audio/*
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "message_format.h"
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
  std::filesystem::create_directories(dir / "audio");

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

  // One audio record each (ten frames): speech-like, loud enough to saturate,
  // noise alone, and silence.
  Write(dir / "audio" / "tone", EncodeToneRecords(1, 440.0, 1, 9000, 401)[0]);
  Write(dir / "audio" / "loud", EncodeToneRecords(1, 1800.0, 2, 32000, 1501)[0]);
  Write(dir / "audio" / "noise", EncodeToneRecords(1, 0.0, 3, 0, 30001)[0]);
  Write(dir / "audio" / "silence", std::vector<std::uint8_t>(kAudioRecordBytes, 0));
  return 0;
}

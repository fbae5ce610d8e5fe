#include "message_builder.h"

#include <gsm.h>
#include <gtest/gtest.h>

#include <cmath>

#include <cstdio>
#include <filesystem>
#include <random>

#include "audio_frame.h"
#include "message_format.h"
#include "video_payload_writer.h"

namespace kestrel::testing {

MessageBuilder& MessageBuilder::Magic(std::string magic) {
  magic_ = std::move(magic);
  return *this;
}
MessageBuilder& MessageBuilder::FrameRate(std::uint8_t rate) {
  rate_ = rate;
  return *this;
}
MessageBuilder& MessageBuilder::AudioFrameCount(std::uint32_t count) {
  count_ = count;
  return *this;
}
MessageBuilder& MessageBuilder::Audio(const std::vector<std::uint8_t>& bytes330) {
  body_.push_back(kAudioRecordType);
  body_.insert(body_.end(), bytes330.begin(), bytes330.end());
  ++audioRecords_;
  return *this;
}
MessageBuilder& MessageBuilder::SilentAudio(int records) {
  for (int i = 0; i < records; ++i) Audio(std::vector<std::uint8_t>(kAudioRecordBytes, 0));
  return *this;
}
MessageBuilder& MessageBuilder::ToneAudio(int records, double hertz, std::uint32_t seed) {
  for (const auto& record : EncodeToneRecords(records, hertz, seed, 9000, 401)) Audio(record);
  return *this;
}

std::vector<std::vector<std::uint8_t>> EncodeToneRecords(int records, double hertz, std::uint32_t seed, int amplitude,
                                                         int noiseSpan) {
  std::mt19937 rng(seed);
  gsm encoder = gsm_create();
  std::vector<std::vector<std::uint8_t>> out;
  double phase = 0;
  // Noise from -span/2 on, whole steps only.
  const int noiseFloor = -(noiseSpan / 2);
  for (int r = 0; r < records; ++r) {
    std::vector<std::uint8_t> record;
    for (std::size_t f = 0; f < kAudioFramesPerRecord; ++f) {
      gsm_signal pcm[kSamplesPerAudioFrame];
      for (auto& sample : pcm) {
        phase += 2 * M_PI * hertz / kSampleRate;
        sample =
            static_cast<gsm_signal>(amplitude * std::sin(phase) + static_cast<int>(rng() % noiseSpan) + noiseFloor);
      }
      gsm_byte frame[33];
      gsm_encode(encoder, pcm, frame);
      GsmParameters parameters{};
      gsm_explode(encoder, frame, parameters.data());
      const AudioFrameBytes packed = PackAudioFrame(parameters);
      record.insert(record.end(), packed.begin(), packed.end());
    }
    out.push_back(std::move(record));
  }
  gsm_destroy(encoder);
  return out;
}

MessageBuilder& MessageBuilder::Video(const std::vector<std::uint8_t>& payload) {
  return VideoWithLength(static_cast<std::uint16_t>(payload.size()), payload);
}
MessageBuilder& MessageBuilder::VideoWithLength(std::uint16_t length, const std::vector<std::uint8_t>& payload) {
  body_.push_back(kVideoRecordType);
  body_.push_back(static_cast<std::uint8_t>(length & 0xFF));
  body_.push_back(static_cast<std::uint8_t>(length >> 8));
  body_.insert(body_.end(), payload.begin(), payload.end());
  return *this;
}
MessageBuilder& MessageBuilder::Raw(const std::vector<std::uint8_t>& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

std::vector<std::uint8_t> MessageBuilder::Bytes() const {
  std::vector<std::uint8_t> out(magic_.begin(), magic_.end());
  out.push_back(rate_);
  const std::uint32_t count = count_.value_or(static_cast<std::uint32_t>(audioRecords_ * 10));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
  out.insert(out.end(), body_.begin(), body_.end());
  return out;
}

std::string MessageBuilder::WriteTo(const std::string& path) const {
  const auto bytes = Bytes();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
  }
  return path;
}

VideoSymbols EmptyFrame() {
  VideoSymbols frame;
  frame.skipMap.fill(0xFF);
  frame.skipMap[kSkipMapBytes - 1] = 0x0F;  // bits 300-303 are not blocks
  frame.values.fill(0);
  return frame;
}

const VideoCodeTables& Tables() {
  static const VideoCodeTables tables = BuildVideoCodeTables();
  return tables;
}
const VideoCodeBook& CodeBook() {
  static const VideoCodeBook book = BuildVideoCodeBook(Tables());
  return book;
}

std::vector<std::uint8_t> Encode(const VideoSymbols& frame) { return WriteVideoPayload(CodeBook(), frame); }

VideoSymbols RandomFrame(std::uint32_t seed, ValueSpread spread) {
  std::mt19937 rng(seed);
  VideoSymbols frame = EmptyFrame();
  frame.skipMap.fill(0);
  for (int b = 0; b < kBlockCount; ++b) frame.SetBlockSkipped(b, rng() & 1u);
  const auto coded = static_cast<std::uint32_t>(frame.CodedBlockCount());
  frame.coarseCount = coded * kCoarseValuesPerBlock;
  frame.fineCount = coded * kFineValuesPerBlock;
  for (const SymbolRegion& region : kSymbolRegions) {
    const FrequencyTable& f = FrequenciesFor(region.table);
    std::uniform_int_distribution<std::uint32_t> uniform(0, static_cast<std::uint32_t>(f.size - 1));
    std::discrete_distribution<std::uint32_t> weighted(f.counts, f.counts + f.size);
    for (std::size_t i = 0; i < region.capacity; ++i) {
      const std::uint32_t symbol = spread == ValueSpread::Uniform ? uniform(rng) : weighted(rng);
      frame.values[region.start + i] = static_cast<std::int16_t>(SymbolToValue(symbol, region.centre));
    }
  }
  // Entries past the counts are not written; the parser reads them back as 0.
  std::fill(frame.values.begin() + 1800 + frame.coarseCount, frame.values.begin() + 5400, std::int16_t{0});
  std::fill(frame.values.begin() + 5400 + frame.fineCount, frame.values.end(), std::int16_t{0});
  return frame;
}

std::string TempPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrel-tests" /
                              (std::string(info->test_suite_name()) + "." + info->name());
  // Each test starts from an empty folder, whatever an earlier run left.
  static std::string current;
  if (current != dir.string()) {
    current = dir.string();
    std::filesystem::remove_all(dir);
  }
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

}  // namespace kestrel::testing

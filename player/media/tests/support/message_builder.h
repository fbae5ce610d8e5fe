// Builds message files and video payloads from chosen records, for tests.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "video_code_tables.h"
#include "video_symbols.h"

namespace kestrel::testing {

class MessageBuilder {
 public:
  MessageBuilder& Magic(std::string magic);
  MessageBuilder& FrameRate(std::uint8_t rate);
  // Without a call, the count is ten times the number of audio records.
  MessageBuilder& AudioFrameCount(std::uint32_t count);
  MessageBuilder& Audio(const std::vector<std::uint8_t>& bytes330);
  MessageBuilder& SilentAudio(int records = 1);  // all-zero frames
  // Records of a sine tone (with a little noise) encoded by libgsm and packed
  // in the file's own packing: what a recorder writes.
  MessageBuilder& ToneAudio(int records, double hertz = 440.0, std::uint32_t seed = 1);
  MessageBuilder& Video(const std::vector<std::uint8_t>& payload);
  // A video record whose length field says `length` and that carries `payload`.
  MessageBuilder& VideoWithLength(std::uint16_t length, const std::vector<std::uint8_t>& payload);
  MessageBuilder& Raw(const std::vector<std::uint8_t>& bytes);

  std::vector<std::uint8_t> Bytes() const;
  // Writes the file; returns its path. Fails the current test on error.
  std::string WriteTo(const std::string& path) const;

 private:
  std::string magic_ = "QRV01.01";
  std::uint8_t rate_ = 0;
  std::optional<std::uint32_t> count_;
  int audioRecords_ = 0;
  std::vector<std::uint8_t> body_;
};

// Audio records (330 bytes each) of a sine tone of `amplitude` with uniform
// noise spanning `noiseSpan` values, encoded by libgsm and packed in the
// file's own packing; the seed decides the noise.
std::vector<std::vector<std::uint8_t>> EncodeToneRecords(int records, double hertz, std::uint32_t seed, int amplitude,
                                                         int noiseSpan);

// A payload with every block skipped and all values zero except those set.
VideoSymbols EmptyFrame();
// The payload of `frame` in the codes of the fixed tables.
std::vector<std::uint8_t> Encode(const VideoSymbols& frame);
const VideoCodeTables& Tables();
const VideoCodeBook& CodeBook();

// A well-formed frame with about half the blocks coded and random values in
// every run: uniform over each table's range, or drawn by the tables' own
// frequencies (the sizes a recorder's payloads have). The seed decides all.
enum class ValueSpread { Uniform, AsFrequencies };
VideoSymbols RandomFrame(std::uint32_t seed, ValueSpread spread = ValueSpread::Uniform);

// A path in the test's temporary directory.
std::string TempPath(const std::string& name);

}  // namespace kestrel::testing

// Audio records with real speech-codec frames: a tone with noise, encoded
// with libgsm and packed in the message file's own bit order.
#pragma once

#include <cstdint>
#include <vector>

namespace kestrel::testing {

// `records` audio records of 330 bytes each, one after the other.
std::vector<std::vector<std::uint8_t>> ToneRecords(int records, double hertz, std::uint32_t seed);

// What the player's decoder makes of them: 1600 samples per record.
std::vector<std::int16_t> DecodeRecords(const std::vector<std::vector<std::uint8_t>>& records);

}  // namespace kestrel::testing

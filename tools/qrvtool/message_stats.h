// What `qrvtool info` reports about a message file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "message_scan.h"

namespace kestrel::tool {

struct MessageStats {
  std::uint8_t frameRate = 0;
  std::uint32_t audioFrameCount = 0;
  std::size_t audioRecords = 0;
  std::size_t videoRecords = 0;
  std::size_t passedOverBytes = 0;
  std::size_t oversizeRecords = 0;
  std::size_t cutShortRecords = 0;
  std::size_t malformedPayloads = 0;  // counts off, cut, or codes past the record
  std::size_t smallestPayload = 0, largestPayload = 0;
  double meanPayload = 0;

  double DurationSeconds() const { return audioFrameCount * 0.02; }
  bool CountMatchesRecords() const { return audioFrameCount == audioRecords * 10; }
  bool WellFormed() const {
    return oversizeRecords == 0 && cutShortRecords == 0 && malformedPayloads == 0 && CountMatchesRecords();
  }
};

// Reads the rest of an opened message.
void CollectStats(MessageInput& message, MessageStats& stats);

void PrintStatsText(std::ostream& out, const std::string& name, const MessageStats& stats);

}  // namespace kestrel::tool

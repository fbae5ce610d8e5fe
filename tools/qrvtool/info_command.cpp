#include "info_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "command_line.h"
#include "message_stats.h"
#include "open_failure.h"
#include "video_code_tables.h"

namespace kestrel::tool {

ScanOutcome CollectStats(const std::string& path, MessageStats& stats) {
  const VideoCodeTables tables = BuildVideoCodeTables();
  auto symbols = std::make_unique<VideoSymbols>();
  std::size_t payloadTotal = 0;
  ScanCallbacks callbacks;
  callbacks.onRecord = [&](const Record& record, const std::uint8_t* payload) {
    if (record.CutShort()) ++stats.cutShortRecords;
    switch (record.kind) {
      case RecordKind::Audio: ++stats.audioRecords; break;
      case RecordKind::PassedOver: ++stats.passedOverBytes; break;
      case RecordKind::OversizeVideo: ++stats.oversizeRecords; break;
      case RecordKind::Video: {
        const std::size_t size = record.bytesRead;
        stats.smallestPayload = stats.videoRecords == 0 ? size : std::min(stats.smallestPayload, size);
        stats.largestPayload = std::max(stats.largestPayload, size);
        payloadTotal += size;
        ++stats.videoRecords;
        if (!ParseVideoFrame(tables, payload, size, *symbols).WellFormed()) ++stats.malformedPayloads;
        break;
      }
      case RecordKind::EndOfData: break;
    }
  };
  ScanOutcome outcome = ScanMessage(path, callbacks);
  stats.frameRate = outcome.frameRate;
  stats.audioFrameCount = outcome.audioFrameCount;
  if (stats.videoRecords) stats.meanPayload = static_cast<double>(payloadTotal) / static_cast<double>(stats.videoRecords);
  return outcome;
}

namespace {

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

void PrintStatsText(std::ostream& out, const std::string& path, const MessageStats& s) {
  out << "file:               " << path << "\n"
      << "frame rate:         " << int(s.frameRate) << (s.frameRate == 0 ? " (sound only)" : " pictures/s") << "\n"
      << "audio frame count:  " << s.audioFrameCount << "\n"
      << "duration:           " << Fixed(s.DurationSeconds(), 2) << " s\n"
      << "audio records:      " << s.audioRecords
      << (s.CountMatchesRecords() ? "" : " (the frame count expects ten frames per record)") << "\n"
      << "video records:      " << s.videoRecords << "\n"
      << "passed-over bytes:  " << s.passedOverBytes << "\n"
      << "oversize records:   " << s.oversizeRecords << "\n"
      << "cut-short records:  " << s.cutShortRecords << "\n"
      << "malformed payloads: " << s.malformedPayloads << "\n";
  if (s.videoRecords)
    out << "video payload:      smallest " << s.smallestPayload << ", mean " << Fixed(s.meanPayload, 1) << ", largest "
        << s.largestPayload << " bytes\n";
  out << "well formed:        " << (s.WellFormed() ? "yes" : "no") << "\n";
}

void PrintStatsJson(std::ostream& out, const std::string& path, const MessageStats& s) {
  out << "{\"file\": " << JsonString(path) << ", \"frame_rate\": " << int(s.frameRate)
      << ", \"audio_frame_count\": " << s.audioFrameCount << ", \"duration_seconds\": " << Fixed(s.DurationSeconds(), 2)
      << ", \"audio_records\": " << s.audioRecords << ", \"video_records\": " << s.videoRecords
      << ", \"passed_over_bytes\": " << s.passedOverBytes << ", \"oversize_records\": " << s.oversizeRecords
      << ", \"cut_short_records\": " << s.cutShortRecords << ", \"malformed_payloads\": " << s.malformedPayloads
      << ", \"video_payload_bytes\": {\"smallest\": " << s.smallestPayload << ", \"mean\": " << Fixed(s.meanPayload, 1)
      << ", \"largest\": " << s.largestPayload << "}"
      << ", \"count_matches_records\": " << (s.CountMatchesRecords() ? "true" : "false")
      << ", \"well_formed\": " << (s.WellFormed() ? "true" : "false") << "}\n";
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {"--json"});
  if (!parsed.error.empty() || parsed.positional.size() != 1) {
    err << "usage: qrvtool info FILE [--json]" << (parsed.error.empty() ? "" : " (" + parsed.error + ")") << "\n";
    return kExitBadInput;
  }
  const std::string& path = parsed.positional[0];
  MessageStats stats;
  const ScanOutcome outcome = CollectStats(path, stats);
  if (outcome.open != OpenResult::Ok) return ReportOpenFailure(err, path, outcome);
  if (parsed.Flag("--json"))
    PrintStatsJson(out, path, stats);
  else
    PrintStatsText(out, path, stats);
  return kExitOk;
}

}  // namespace kestrel::tool
